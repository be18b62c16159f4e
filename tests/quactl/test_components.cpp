#include "quactl/quacolorbar.h"
#include "quactl/quadirectorydialog.h"
#include "quactl/quagraph.h"
#include "quactltest.h"

#include <gtest/gtest.h>

using namespace quactl;
using quactl::test::PixelAt;
using quactl::test::Rgb;

namespace {

// Answers the folder browser without showing it.
class ScriptedDialog : public TQuaDirectoryDialog {
public:
    using TQuaDirectoryDialog::TQuaDirectoryDialog;
    bool accept = false;
    QString answer;
    QString askedTitle;
    QFileDialog::Options askedOptions;

protected:
    bool Browse(QWidget*, const QString& title, QFileDialog::Options options, QString& chosen) override {
        askedTitle = title;
        askedOptions = options;
        chosen = accept ? answer : QString();
        return accept;
    }
};

}  // namespace

TEST(ComponentTest, ColourBarGradientAndOffsets) {
    TQuaColorBar bar;
    EXPECT_EQ(bar.size(), QSize(159, 31));
    bar.SetOffsetLeft(200);
    EXPECT_EQ(bar.OffsetLeft(), 159);
    bar.SetOffsetLeft(-3);
    EXPECT_EQ(bar.OffsetLeft(), 0);

    bar.resize(100, 10);
    QImage image = bar.Picture();
    EXPECT_EQ(PixelAt(image, 0, 5), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 50, 0), Rgb(127, 0, 127));
    EXPECT_EQ(PixelAt(image, 99, 9), Rgb(2, 0, 252));

    bar.SetOffsetLeft(10);
    bar.SetOffsetRight(20);
    bar.SetEndColor(clLime);
    image = bar.Picture();
    EXPECT_EQ(PixelAt(image, 9, 5), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 10, 5), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 45, 5), Rgb(127, 127, 0));
    EXPECT_EQ(PixelAt(image, 80, 5), Rgb(0, 255, 0));
    // No gradient columns left: only the solid blocks.
    bar.SetOffsetRight(95);
    EXPECT_EQ(bar.OffsetRight(), 90);
    image = bar.Picture();
    EXPECT_EQ(PixelAt(image, 9, 5), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 10, 5), Rgb(0, 255, 0));
}

TEST(ComponentTest, DirectoryDialogKeepsTheFolderOnCancel) {
    ScriptedDialog dialog;
    EXPECT_EQ(dialog.Directory(), ".");
    EXPECT_EQ(dialog.Title(), "Wybierz folder");
    EXPECT_EQ(dialog.BrowseFlags(), 0x0001u);
    dialog.SetDirectory("/data/sejsmogramy");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Directory(), "/data/sejsmogramy");
    EXPECT_EQ(dialog.askedTitle, "Wybierz folder");
    EXPECT_TRUE(dialog.askedOptions.testFlag(QFileDialog::ShowDirsOnly));

    dialog.accept = true;
    dialog.answer = "/tmp/wyniki";
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Directory(), QDir::toNativeSeparators("/tmp/wyniki"));

    dialog.SetStyle(DirStyleBit(qdsBrowseOnlyComputers) | DirStyleBit(qdsBrowseOnlyPrinters) |
                    DirStyleBit(qdsLocalhostOnly) | DirStyleBit(qdsAncestorsOnly) | DirStyleBit(qdsDirsOnly));
    EXPECT_EQ(dialog.BrowseFlags(), 0x300Bu);
    dialog.SetStyle(DirStyleBit(qdsLocalhostOnly));
    EXPECT_FALSE(dialog.DialogOptions().testFlag(QFileDialog::ShowDirsOnly));
}
