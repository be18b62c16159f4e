// The export command: the save dialog as prepared, the report written in
// code page 1250, the two messages, and no export without a shown solution.
#include "common/cp1250.h"
#include "shell/fakeseismogram.h"
#include "support/mainwindowfixture.h"

#include <QAction>
#include <QFileDialog>

#include <filesystem>

using namespace dyma;
using namespace dyma::gui;

namespace {

class ExportTest : public test::MainWindowFixture {
protected:
    void SetUp() override { MakeMainWindow(); }

    test::FakeSeismogram& Seismogram(bool resultShown) {
        auto child = std::make_unique<test::FakeSeismogram>();
        child->solution.Exists = true;
        child->solution.SignalFileShort = "wstrzas.mbj";
        child->solution.SA = 123.4;
        child->solution.StationCount = 1;
        child->solution.stations[0].No = 3;
        child->solution.stations[0].Channel = "3Z";
        child->resultShown = resultShown;
        return Add(std::move(child));
    }

    // Runs the export, answering its dialog with `target` (empty: cancel).
    int Export(const std::string& target) {
        int dialogs = 0;
        ScopedDialogRunner answer([&](QDialog& d) {
            ++dialogs;
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            title = dialog.windowTitle();
            directory = QDir::toNativeSeparators(dialog.directory().absolutePath());
            filter = dialog.nameFilters().value(0);
            suffix = dialog.defaultSuffix();
            if (target.empty()) return int(QDialog::Rejected);
            dialog.selectFile(QString::fromStdString(target));
            return int(QDialog::Accepted);
        });
        fm->Export();
        return dialogs;
    }

    QString title, directory, filter, suffix;
};

}  // namespace

TEST_F(ExportTest, WritesTheReportAndSaysSo) {
    Seismogram(true);
    fm->TimerTimer();
    ASSERT_TRUE(fm->Action("mExport")->isEnabled());
    const std::string target = work.File("raport wstrząsu.txt");
    ASSERT_EQ(Export(target), 1);
    EXPECT_EQ(title, "Eksportowanie wyniku do pliku tekstowego");
    EXPECT_EQ(filter, "Tekstowy plik wynikowy (*.txt)");
    EXPECT_EQ(suffix, "txt");
    EXPECT_EQ(directory, Dir("Sejsmogramy"));

    ASSERT_EQ(recorded.infos.size(), 1u);
    EXPECT_EQ(recorded.infos[0], "Plik " + target + " został pomyślnie wyeksportowany");
    EXPECT_TRUE(recorded.warnings.empty());
    const std::string bytes = test::ReadAll(target);
    EXPECT_EQ(bytes.rfind(Utf8ToCp1250("PLIK WYNIKOWY PRZETWARZANIA PROGRAMU WinDYMA 1.5.0\r\n"), 0), 0u);
    EXPECT_NE(bytes.find(Utf8ToCp1250("  Bieg: 123")), std::string::npos);
    EXPECT_NE(bytes.find("\r\n03\t3Z\t"), std::string::npos);
}

TEST_F(ExportTest, AFileThatCannotBeWrittenGivesTheWarning) {
    Seismogram(true);
    // A folder where the file should go.
    const std::string target = work.File("raport.txt");
    std::filesystem::create_directories(target);
    Export(target);
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0], "Nie udało się zapisac tekstowego pliku wynikowego: " + target);
    EXPECT_TRUE(recorded.infos.empty());
}

TEST_F(ExportTest, NothingWithoutAShownSolutionOrWhenCancelled) {
    Seismogram(false);
    EXPECT_EQ(Export(work.File("a.txt")), 0);
    EXPECT_FALSE(std::filesystem::exists(work.File("a.txt")));

    Seismogram(true);
    EXPECT_EQ(Export(""), 1);
    EXPECT_TRUE(recorded.Silent());
}
