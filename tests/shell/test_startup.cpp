// Start-up pieces: the registration texts and paths, the splash screen, the
// processing box and the pictures.
#include "app/shell/dymaapplication.h"
#include "app/shell/registration.h"
#include "app/shell/splash.h"
#include "app/solver/processing.h"
#include "app/widgets/helpsystem.h"
#include "app/widgets/helpviewer.h"
#include "app/widgets/icons.h"
#include "support/guiapp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTextBrowser>
#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QMimeDatabase>

using namespace dyma;
using namespace dyma::gui;

namespace {

TEST(Registration, BasePathKeepsDotsOfDirectories) {
    struct Case {
        const char* executable;
        const char* base;
    };
    const Case cases[] = {
        {"C:\\Programy\\Dyma.1.5\\Dyma2.exe", "C:\\Programy\\Dyma.1.5\\Dyma2"},
        {"/opt/windyma.d/bin/Dyma2", "/opt/windyma.d/bin/Dyma2"},
        {"/opt/windyma.d/bin/Dyma2.bin", "/opt/windyma.d/bin/Dyma2"},
        {"/home/u/.local/Dyma2", "/home/u/.local/Dyma2"},
        {"/x/.Dyma2", "/x/.Dyma2"},
        {"Dyma2.exe", "Dyma2"},
    };
    for (const Case& c : cases) EXPECT_EQ(BasePath(c.executable), c.base) << c.executable;
    const FileTypePaths paths = RegistrationPaths("/opt/windyma.d/bin/Dyma2");
    EXPECT_EQ(paths.executable, "/opt/windyma.d/bin/Dyma2");
    EXPECT_EQ(paths.icon, "/opt/windyma.d/bin/Dyma2.png");
    EXPECT_EQ(FileTypeDescription(), "Plik programuWinDYMA 1.5.0");
}

TEST(Registration, ExecArgumentsAreQuotedAndEscaped) {
    EXPECT_EQ(DesktopExecArgument("/opt/dyma/Dyma2"), "/opt/dyma/Dyma2");
    EXPECT_EQ(DesktopExecArgument("/opt/my dyma/Dyma2"), "\"/opt/my dyma/Dyma2\"");
    // Inside quotes \" \$ \` \\ ; then every backslash doubled for the file.
    EXPECT_EQ(DesktopExecArgument("/opt/a$b/Dyma2"), "\"/opt/a\\\\$b/Dyma2\"");
    EXPECT_EQ(DesktopExecArgument("/opt/100%/Dyma2"), "/opt/100%%/Dyma2");
    const std::string entry = DesktopEntryText({"/opt/my dyma/Dyma2", "/opt/my dyma/Dyma2.png"});
    EXPECT_NE(entry.find("\nExec=\"/opt/my dyma/Dyma2\" %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=/opt/my dyma/Dyma2.png\n"), std::string::npos);
    EXPECT_NE(entry.find("\nName=WinDyma\n"), std::string::npos);
}

class RegistrationTest : public test::GuiTest {};

TEST_F(RegistrationTest, TheDesktopKnowsDymFilesAfterwards) {
    const std::string program = work.File("my.programs") + "/Dyma2";
    std::filesystem::create_directories(work.File("my.programs"));
    BeachBallImage(64).save(QString::fromStdString(program + ".png"));
    RegisterProjectFileType(program);
    const std::filesystem::path data = dataDir.Path();
    const std::string entry = test::ReadAll((data / "applications/quarnet-windyma.desktop").string());
    EXPECT_NE(entry.find("Exec=" + program + " %f"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Icon=" + program + ".png"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(data / "icons/hicolor/64x64/mimetypes/application-x-windyma-project.png"));
    // The mime database of this process is read once, at first use: here.
    QMimeDatabase db;
    EXPECT_EQ(db.mimeTypeForFile("wstrzas.dym", QMimeDatabase::MatchExtension).name(), "application/x-windyma-project");
    EXPECT_EQ(db.mimeTypeForFile("WSTRZAS.DYM", QMimeDatabase::MatchExtension).name(), "application/x-windyma-project");

    // A second run finds everything in place and rewrites nothing.
    const auto stamp = std::filesystem::last_write_time(data / "mime/packages/quarnet-windyma.xml");
    RegisterProjectFileType(program);
    EXPECT_EQ(std::filesystem::last_write_time(data / "mime/packages/quarnet-windyma.xml"), stamp);
}

TEST_F(RegistrationTest, UnwritableDataDirectoryRaises) {
    const std::string blocker = work.Write("data", "x");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(blocker));
    EXPECT_THROW(RegisterProjectFileType(work.File("Dyma2")), RegistrationError);
}

class HelpPagesTest : public test::GuiTest {};

TEST_F(HelpPagesTest, EveryContextOfTheProgramHasItsPolishPage) {
    HelpSystem& help = ApplicationHelp();
    help.SetHelpDirectory(QDir(DYMA_PROGRAM_DIR).filePath("help"));
    for (int context : {1000, 4000, 4010, 4020, 4030, 4040, 4050, 4060, 5010, 5020, 5030, 5040, 5050}) {
        ASSERT_TRUE(help.ShowContext(context)) << context;
        const QTextBrowser& page = *help.Viewer()->Browser();
        EXPECT_FALSE(page.documentTitle().isEmpty()) << context;
        EXPECT_GT(page.toPlainText().size(), 400) << context;
        EXPECT_TRUE(page.toPlainText().contains(QStringLiteral("ą")) || page.toPlainText().contains(QStringLiteral("ę")))
            << context;
    }
    EXPECT_TRUE(recorded.Silent());
    EXPECT_FALSE(help.ShowContext(4070));
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_NE(recorded.warnings[0].find("4070.html"), std::string::npos);
}

TEST(MessageBoxes, PolishTitlesAndButtons) {
    QtUserMessages boxes;
    QString title, buttons;
    QString press;
    ScopedDialogRunner answer([&](QDialog& d) {
        auto& box = dynamic_cast<QMessageBox&>(d);
        title = box.windowTitle();
        buttons.clear();
        for (QAbstractButton* b : box.buttons()) buttons += b->text() + ";";
        for (QAbstractButton* b : box.buttons())
            if (b->text() == press) b->click();
        return box.result();
    });
    press = "OK";
    boxes.Warning("Uwaga!");
    EXPECT_EQ(title, "Ostrzeżenie");
    EXPECT_EQ(buttons, "OK;");
    boxes.Information("Zapisano.");
    EXPECT_EQ(title, "Informacja");
    press = "Tak";
    EXPECT_TRUE(boxes.Question("Czy na pewno?"));
    EXPECT_EQ(title, "Pytanie");
    EXPECT_TRUE(buttons == "Tak;Nie;" || buttons == "Nie;Tak;") << buttons.toStdString();
    press = "Nie";
    EXPECT_FALSE(boxes.Question("Czy na pewno?"));
    press = "";  // closed without an answer
    EXPECT_FALSE(boxes.Question("Czy na pewno?"));
}

TEST(MessageBoxes, QtDialogsSpeakPolish) {
    auto* app = dynamic_cast<TDymaApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    ASSERT_TRUE(app->PolishLoaded()) << "qt6-translations-l10n missing";
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Szukaj w:");
    EXPECT_EQ(QCoreApplication::translate("QColorDialog", "Select Color"), "Wybierz kolor");
}

TEST(Splash, SizeCaptionAndVersion) {
    TfmSplash splash;
    EXPECT_EQ(splash.size(), QSize(500, 400));
    EXPECT_EQ(splash.windowTitle(), "WinDYMA 1.5.0");
    EXPECT_EQ(splash.Version()->text(), "Wersja 1.5.0");
    EXPECT_EQ(splash.Version()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    // The wait itself is a parameter: the program waits 2 s.
    EXPECT_EQ(kSplashWait.count(), 2000);
    QElapsedTimer clock;
    clock.start();
    ShowSplashScreen(std::chrono::milliseconds(50));
    EXPECT_GE(clock.elapsed(), 50);
}

TEST(ProcessingBox, ShowSetHide) {
    TfmProcessing box;
    box.ShowProcessing("Przetwarzanie...", "WinDYMA 1.5.0");
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(box.windowTitle(), "WinDYMA 1.5.0");
    EXPECT_EQ(box.Text(), "Przetwarzanie...");
    box.SetProcessingText("/tmp/plik");
    EXPECT_EQ(box.Text(), "/tmp/plik");
    box.HideProcessing();
    EXPECT_FALSE(box.isVisible());
    box.ShowProcessing("x");
    EXPECT_EQ(box.windowTitle(), "Przetwarzanie");
    EXPECT_FALSE(box.isModal());
}

TEST(Pictures, EveryIconHasAGreyDisabledVariant) {
    for (int k = int(IconKind::Open); k <= int(IconKind::RemoveMarker); ++k) {
        const QImage on = DrawToolImage(IconKind(k), 24);
        const QImage off = DisabledVariant(on);
        int drawn = 0, coloured = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                const QRgb p = off.pixel(x, y);
                if (qAlpha(p) == 0) continue;
                ++drawn;
                if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) ++coloured;
            }
        }
        EXPECT_GT(drawn, 20) << "icon " << k;
        EXPECT_EQ(coloured, 0) << "icon " << k;
    }
    // The beach ball: compressional quadrants black, dilatational white.
    const QImage ball = BeachBallImage(64);
    int black = 0, white = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb p = ball.pixel(x, y);
            if (qAlpha(p) < 255) continue;
            if (qGray(p) < 40) ++black;
            if (qGray(p) > 240) ++white;
        }
    EXPECT_GT(black, 600);
    EXPECT_GT(white, 600);
}

}  // namespace
