// The main window: command states, forwarding by tag and shortcut, the save
// dialog, start-up (settings, registration, directories), help commands and
// the escaping-exception handler.
#include "app/results/formresult2.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/dymaapplication.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/wizytowka.h"
#include "app/widgets/helpsystem.h"
#include "app/widgets/helpviewer.h"
#include "app/widgets/wagespinbox.h"
#include "support/guiapp.h"
#include "support/testdirectories.h"
#include "fakeseismogram.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTextBrowser>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <fstream>

using namespace dyma;
using namespace dyma::gui;
using dyma::test::FakeSeismogram;

namespace {

class MainWindowTest : public test::GuiTest {
protected:
    void SetUp() override {
        QSettings key = Key();
        test::WriteTestDirectories(key, work.Path().string());
        fm = std::make_unique<TfmMain>(DYMA_PROGRAM_DIR);
    }
    void TearDown() override { fm.reset(); }

    QString Dir(const char* name) const { return QString::fromStdString(work.File(name)); }

    void ShowActive() {
        fm->show();
        QApplication::setActiveWindow(fm.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(fm.get()));
        fm->TimerTimer();
    }
    FakeSeismogram& AddSeismogram(const QString& title = QStringLiteral("sejsmogram")) {
        auto child = std::make_unique<FakeSeismogram>(title);
        FakeSeismogram& ref = *child;
        fm->AddChild(std::move(child));
        return ref;
    }
    bool Enabled(const char* name) const { return fm->Action(name)->isEnabled(); }

    std::unique_ptr<TfmMain> fm;
};

const char* const kSeismogramCommands[] = {"mFirstSeismogram", "bNextSeismogram", "mFastForward", "b5Seconds",
                                           "mStretch", "bCancelStretch", "mZoomOut", "mAWave", "DirectWave",
                                           "bRemoveMarker"};

TEST_F(MainWindowTest, CommandStatesWithoutSeismogramWindow) {
    ShowActive();
    for (const char* name : kSeismogramCommands) EXPECT_FALSE(Enabled(name)) << name;
    for (const char* name : {"mSave", "bSave", "mExport", "bExport", "mPrint", "bPrint", "mDymaStart", "mArrange",
                             "mCascade", "mHorizontal", "mVertical"})
        EXPECT_FALSE(Enabled(name)) << name;
    for (const char* name : {"mOpenFile", "bOpen", "mImport", "bImport", "mPreferences", "bPreferences",
                             "mPrinterProperties", "mQuit", "mHelpSystem", "mAboutProgram"})
        EXPECT_TRUE(Enabled(name)) << name;
    EXPECT_EQ(fm->Picking().Label2->text(), "Brak sejsmogramu");
    EXPECT_EQ(fm->Picking().CurrentWaveType->text(), "-");
    EXPECT_FALSE(fm->Picking().Wage->isEnabled());
    EXPECT_FALSE(fm->Picking().Label18->isEnabled());

    // Only a result window: the kind stays 1, only the arrangement commands
    // follow.
    auto result = std::make_unique<TfmResult2>();
    result->SetSolution(std::make_unique<SolutionRecord>(), '.');
    TfmResult2& shown = *result;
    fm->AddChild(std::move(result));
    fm->TimerTimer();
    EXPECT_EQ(fm->ActiveChildKind(), 1);
    for (const char* name : kSeismogramCommands) EXPECT_FALSE(Enabled(name)) << name;
    for (const char* name : {"mSave", "mExport", "mPrint", "mDymaStart"}) EXPECT_FALSE(Enabled(name)) << name;
    for (const char* name : {"mArrange", "mCascade", "mHorizontal", "mVertical"}) EXPECT_TRUE(Enabled(name)) << name;

    // F1 in the result window is its own help, not the main window's.
    shown.setFocus();
    QTest::keyClick(&shown, Qt::Key_F1);
    EXPECT_EQ(ApplicationHelp().LastContext(), 4050);
    QTest::keyClick(fm->MdiArea(), Qt::Key_F1);
    EXPECT_EQ(ApplicationHelp().LastContext(), 1000);
}

TEST_F(MainWindowTest, CommandStatesFollowTheSeismogramWindow) {
    ShowActive();
    FakeSeismogram& first = AddSeismogram("pierwszy");
    fm->TimerTimer();
    EXPECT_EQ(fm->ActiveChildKind(), 0);
    for (const char* name : kSeismogramCommands) EXPECT_TRUE(Enabled(name)) << name;
    EXPECT_TRUE(fm->Picking().Wage->isEnabled());
    for (const char* name : {"mSave", "bSave", "mExport", "mPrint", "mDymaStart"}) EXPECT_FALSE(Enabled(name)) << name;

    // A second window that is modified. The switch back to the first
    // applies the states of the window switched to ...
    FakeSeismogram& second = AddSeismogram("drugi");
    second.modified = second.resultShown = second.readyToProcess = true;
    fm->TimerTimer();  // AddChild asked for a refresh: applies once
    first.modified = true;
    fm->MdiArea()->setActiveSubWindow(fm->MdiArea()->subWindowList().first());
    EXPECT_TRUE(Enabled("mSave"));
    // ... and a change that the window has not reported waits for its
    // refresh.
    first.modified = false;
    fm->TimerTimer();
    EXPECT_TRUE(Enabled("mSave")) << "states stay until the window reports a change";
    // ... a window that reports a change does, at the next tick.
    fm->SetRefreshToolbars();
    fm->TimerTimer();
    EXPECT_FALSE(Enabled("mSave"));
    first.modified = first.resultShown = first.readyToProcess = true;
    fm->SetRefreshToolbars();
    fm->TimerTimer();
    for (const char* name : {"mSave", "bSave", "mExport", "bExport", "mPrint", "bPrint", "mDymaStart"})
        EXPECT_TRUE(Enabled(name)) << name;

    // The real timer does it within 100 ms.
    first.modified = false;
    fm->SetRefreshToolbars();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Enabled("mSave"); }, 1000));
}

TEST_F(MainWindowTest, TagsAndShortcutsReachTheSeismogramWindow) {
    {
        QSettings key = Key();
        key.setValue("Seismograms/MagnificationFactorY", 10);
    }
    ShowActive();
    FakeSeismogram& s = AddSeismogram();
    s.setFocus();
    fm->TimerTimer();
    struct Case {
        QKeyCombination key;
        const char* expected;
    };
    const Case cases[] = {
        {Qt::Key_Home, "FirstChannel"},
        {Qt::Key_PageUp, "PreviousChannel"},
        {Qt::Key_PageDown, "NextChannel"},
        {Qt::Key_End, "LastChannel"},
        {Qt::SHIFT | Qt::Key_Left, "MoveTimeWindow(5)"},
        {Qt::Key_Left, "MoveTimeWindow(7)"},
        {Qt::Key_Right, "MoveTimeWindow(6)"},
        {Qt::SHIFT | Qt::Key_Right, "MoveTimeWindow(4)"},
        {Qt::Key_F9, "MoveTimeWindow(8)"},
        {Qt::Key_F10, "MoveTimeWindow(9)"},
        {Qt::Key_Insert, "ZoomIn"},
        {Qt::Key_Delete, "ZoomOut"},
    };
    for (const Case& c : cases) {
        s.calls.clear();
        QTest::keyClick(&s, c.key.key(), c.key.keyboardModifiers());
        ASSERT_EQ(s.calls.size(), 1u) << c.expected;
        EXPECT_EQ(s.calls[0], c.expected);
    }
    // The vertical step is MagnificationFactorY percent, read at the command.
    QTest::keyClick(&s, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(s.lastDelta, -0.1);
    QTest::keyClick(&s, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(s.lastDelta, 0.1);
    fm->Action("bCancelStretch")->trigger();
    EXPECT_DOUBLE_EQ(s.lastDelta, 0.0);

    // Buttons carry the same tags as their menu items.
    s.calls.clear();
    for (const char* name : {"bFirstSeismogram", "bLastSeismogram", "bFastBackward", "b10Seconds", "bZoomIn"})
        fm->Action(name)->trigger();
    EXPECT_EQ(s.calls, (std::vector<std::string>{"FirstChannel", "LastChannel", "MoveTimeWindow(5)",
                                                 "MoveTimeWindow(9)", "ZoomIn"}));

    // Wave types, weight and marker removal.
    s.calls.clear();
    fm->Action("AWave")->trigger();
    fm->Action("mBWave")->trigger();
    fm->Action("DirectWave")->trigger();
    EXPECT_EQ(s.calls, (std::vector<std::string>{"BWaveClick(1)", "BWaveClick(2)", "BWaveClick(0)"}));
    s.calls.clear();
    fm->Picking().Wage->stepBy(1);
    EXPECT_EQ(fm->Picking().Wage->value(), 20) << "the up-down steps whatever the window answers";
    EXPECT_EQ(s.calls, (std::vector<std::string>{"WageControllerChanging(true)", "WageChange"}));
    EXPECT_EQ(s.lastSender, fm->Picking().Wage);
    fm->Action("bRemoveMarker")->trigger();
    EXPECT_EQ(s.calls.back(), "bRemoveMarkerClick");

    // Keys typed into the weight edit are the edit's, not the shortcuts'.
    s.calls.clear();
    fm->Picking().Wage->setFocus();
    QTest::keyClick(fm->Picking().Wage, Qt::Key_Up);
    QTest::keyClick(fm->Picking().Wage, Qt::Key_Left);
    QTest::keyClick(fm->Picking().Wage, Qt::Key_Home);
    EXPECT_EQ(fm->Picking().Wage->value(), 30);
    for (const std::string& call : s.calls) EXPECT_TRUE(call.rfind("Wage", 0) == 0) << call;

    // Without a seismogram window active nothing is forwarded.
    fm->AddChild(std::make_unique<QWidget>());
    s.calls.clear();
    fm->ChildOperations(fm->Action("mNextSeismogram"));
    fm->BWaveClick(fm->Action("AWave"));
    EXPECT_TRUE(s.calls.empty());
}

TEST_F(MainWindowTest, CommandTableCaptionsShortcutsAndMenus) {
    struct Row {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const Row rows[] = {
        {"mOpenFile", "&Otwórz", "Ctrl+O"},       {"mQuit", "Zakończ", "Ctrl+Alt+Q"},
        {"mSlowBackward", "Przewiń do tyłu", "Left"}, {"mDymaStart", "Oblicz mechanizm", "Ctrl+Return"},
        {"mHelpSystem", "System Pomocy", "F1"},   {"mPrinterProperties", "Własności drukowania", "Ctrl+P"},
        {"mUndo", "Cofnij", "Ctrl+Z"},             {"mRedo", "Ponów", "Ctrl+Y"},
        {"mPolarityPlus", "Polaryzacja +", "+"},   {"mPolarityMinus", "Polaryzacja -", "-"},
        {"mPlaceAtMouse", "Marker w miejscu kursora", "P"}, {"mRemovePick", "Usuń marker", "Backspace"},
        {"mAcceptSuggestion", "Przyjmij sugerowane wejście", "S"}, {"mZoomToOnset", "Pokaż okolice wejścia", "Z"},
        {"mFilter", "Filtr pasmowy", "F"},         {"mWeight10", "Waga 10", "1"},
        {"mWeight100", "Waga 100", "0"},
    };
    for (const Row& r : rows) {
        QAction* a = fm->Action(r.name);
        ASSERT_NE(a, nullptr) << r.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(r.caption));
        EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), r.shortcut) << r.name;
    }
    EXPECT_EQ(fm->Action("mFastBackward")->statusTip(), "Przesunięcie sejsmogramu szybko do tyłu ");
    EXPECT_EQ(fm->Action("bFirstSeismogram")->toolTip(), "Skok do pierwszego sejsmogramu w pliku sygnału (Home}");
    EXPECT_EQ(fm->Action("mZoomOut")->property("tag").toInt(), 41);
    EXPECT_EQ(fm->windowTitle(), "WinDYMA 1.5.0");
    QStringList menus;
    for (QAction* a : fm->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&Plik", "&Edycja", "Widok", "&Sejsmogram", "&Odczyt", "Przetwarzanie", "P&omoc"}));
    // Every button has both images.
    const QIcon icon = fm->Action("bOpen")->icon();
    EXPECT_NE(icon.pixmap(24, QIcon::Normal).toImage(), icon.pixmap(24, QIcon::Disabled).toImage());
}

TEST_F(MainWindowTest, SaveDialogOfTheActiveSeismogramWindow) {
    ShowActive();
    FakeSeismogram& s = AddSeismogram();
    s.modified = true;
    fm->TimerTimer();
    QString title, directory, file, filter, suffix;
    const std::string target = work.File("nowy.dym");
    {
        ScopedDialogRunner answer([&](QDialog& d) {
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            title = dialog.windowTitle();
            directory = dialog.directory().absolutePath();
            file = dialog.selectedFiles().value(0);
            filter = dialog.nameFilters().value(0);
            suffix = dialog.defaultSuffix();
            dialog.selectFile(QString::fromStdString(target));
            return int(QDialog::Accepted);
        });
        fm->Action("mSave")->trigger();
    }
    EXPECT_EQ(title, "Zapis pliku");
    EXPECT_EQ(directory, Dir("Sejsmogramy"));
    EXPECT_EQ(QFileInfo(file).fileName(), "wstrzas 12.dym");
    EXPECT_EQ(filter, "Plik programu Dyma (*.dym)");
    EXPECT_EQ(suffix, "dym");
    EXPECT_EQ(s.savedAs, std::vector<std::string>{target});

    ScopedDialogRunner cancel([](QDialog&) { return int(QDialog::Rejected); });
    fm->Zmiana();
    EXPECT_EQ(s.savedAs.size(), 1u);
}

TEST_F(MainWindowTest, StartWithoutRegistrationWritesNothingAndMakesTheDirectories) {
    ShowActive();
    EXPECT_TRUE(recorded.Silent()) << (recorded.warnings.empty() ? "" : recorded.warnings[0]);
    EXPECT_TRUE(std::filesystem::is_empty(dataDir.Path()));
    for (const char* d : {"Temp", "Sejsmogramy", "Roboczy"}) EXPECT_TRUE(QFileInfo(Dir(d)).isDir()) << d;
    EXPECT_TRUE(fm->Timer().isActive());
    EXPECT_FALSE(fm->TerminateRequested());
    EXPECT_EQ(ApplicationHelp().HelpDirectory(), QDir(DYMA_PROGRAM_DIR).filePath("help"));
}

TEST_F(MainWindowTest, FirstStartRegistersTheProjectFileType) {
    QSettings(Key()).remove("Globals/FirstTime");
    ShowActive();
    const std::filesystem::path data = dataDir.Path();
    EXPECT_TRUE(std::filesystem::exists(data / "mime/packages/quarnet-windyma.xml"));
    const std::string entry = test::ReadAll((data / "applications/quarnet-windyma.desktop").string());
    EXPECT_NE(entry.find("MimeType=application/x-windyma-project;"), std::string::npos);
    EXPECT_NE(entry.find("Exec=" + QCoreApplication::applicationFilePath().toStdString() + " %f"), std::string::npos)
        << entry;
}

TEST_F(MainWindowTest, DirectoryThatCannotBeMadeEndsTheProgram) {
    const std::string blocker = work.Write("plik", "x");
    QSettings(Key()).setValue("Dirs/TempDirectory", QString::fromStdString(blocker + "/Temp"));
    ShowActive();
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0], "Nie mogę otworzyć katalogu " + blocker + "/Temp. Program zostanie zamknięty.");
    EXPECT_TRUE(fm->TerminateRequested());
    EXPECT_TRUE(fm->Timer().isActive());
}

TEST_F(MainWindowTest, ClosingClosesTheChildrenAndEmptiesTheRunsFolder) {
    ShowActive();
    const std::string run = fm->RunDirectory();
    EXPECT_EQ(std::filesystem::path(run).parent_path(), work.Path() / "Temp");
    std::filesystem::create_directories(std::filesystem::path(run) / "keep");
    const std::string npf = run + "/NPF.DAT";
    std::ofstream(npf) << "x";
    // The operator's own file in the temporary directory, and one that only
    // looks like the program's.
    const std::string notes = work.Write("Temp/notatki.txt", "cudzy");
    const std::string legacy = work.Write("Temp/NPF.DAT", "cudzy");
    AddSeismogram();
    fm->AddOpenFile("/a/b.mbi");
    EXPECT_TRUE(fm->close());
    EXPECT_TRUE(fm->MdiArea()->subWindowList().isEmpty() ||
                !fm->MdiArea()->subWindowList().first()->isVisible());
    EXPECT_TRUE(fm->OpenFileList().empty());
    EXPECT_FALSE(std::filesystem::exists(npf));
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(run) / "keep")) << "directories stay";
    EXPECT_EQ(test::ReadAll(notes), "cudzy");
    EXPECT_EQ(test::ReadAll(legacy), "cudzy");
    EXPECT_TRUE(recorded.Silent());
}

TEST_F(MainWindowTest, ClosingKeepsTheTemporaryFilesWhenAskedAndTheNextStartSweepsThem) {
    {
        QSettings key = Key();
        key.setValue("Additional/RemoveTempDir", 0);
    }
    ShowActive();
    const std::string run = fm->RunDirectory();
    const std::string npf = run + "/NPF.DAT";
    std::ofstream(npf) << "x";
    fm->close();
    EXPECT_TRUE(std::filesystem::exists(npf));

    // The run is over: the next start takes its files and its folder.
    fm = std::make_unique<TfmMain>(DYMA_PROGRAM_DIR);
    ShowActive();
    EXPECT_FALSE(std::filesystem::exists(run));

    // A temporary directory set to the seismogram directory: the program's
    // folder in it goes at the end, the seismograms stay.
    fm = std::make_unique<TfmMain>(DYMA_PROGRAM_DIR);
    {
        QSettings key = Key();
        key.setValue("Additional/RemoveTempDir", 1);
        key.setValue("Dirs/TempDirectory", Dir("Sejsmogramy"));
    }
    ShowActive();
    const std::string tremor = work.Write("Sejsmogramy/wstrzas.mbi", "x");
    const std::string second = fm->RunDirectory();
    EXPECT_EQ(std::filesystem::path(second).parent_path(), work.Path() / "Sejsmogramy");
    fm->close();
    EXPECT_TRUE(std::filesystem::exists(tremor));
    EXPECT_FALSE(std::filesystem::exists(second));
    EXPECT_TRUE(recorded.Silent());
}

// Records what the desktop was asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() {
        for (const char* scheme : {"file", "http", "https"}) QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlRecorder() override {
        for (const char* scheme : {"file", "http", "https"}) QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(MainWindowTest, HelpCommands) {
    ShowActive();
    QTest::keyClick(fm.get(), Qt::Key_F1);
    ASSERT_NE(ApplicationHelp().Viewer(), nullptr);
    EXPECT_EQ(QFileInfo(ApplicationHelp().Viewer()->CurrentPage()).fileName(), "1000.html");
    EXPECT_FALSE(ApplicationHelp().Viewer()->Browser()->toPlainText().isEmpty());

    QString about;
    {
        ScopedDialogRunner answer([&](QDialog& d) {
            d.show();
            about = d.windowTitle();
            EXPECT_EQ(dynamic_cast<TfmWizytowka&>(d).Version()->text(), "1.5.0");
            return int(QDialog::Accepted);
        });
        fm->Action("mAboutProgram")->trigger();
    }
    EXPECT_EQ(about, "WinDYMA 1.5.0 - Informacje o programie");

    // The texts beside the program and the two documentation pages go to
    // the desktop.
    UrlRecorder desktop;
    for (const char* name : {"mReadme", "mHistory", "mAutorPage", "mDymaWebPage"}) fm->Action(name)->trigger();
    const QDir program(DYMA_PROGRAM_DIR);
    EXPECT_EQ(desktop.urls, (QList<QUrl>{QUrl::fromLocalFile(program.filePath("readme.txt")),
                                         QUrl::fromLocalFile(program.filePath("historia.txt")),
                                         QUrl::fromLocalFile(program.filePath("help/autor.html")),
                                         QUrl::fromLocalFile(program.filePath("help/projekt.html"))}));
    EXPECT_TRUE(recorded.Silent());
}

TEST_F(MainWindowTest, ReadmeAndWebPagesFailWithTheirWarnings) {
    // A program directory without the texts and pages.
    TfmMain bare(work.Path().string());
    bare.Action("mReadme")->trigger();
    bare.Action("mDymaWebPage")->trigger();
    ASSERT_EQ(recorded.warnings.size(), 2u);
    EXPECT_EQ(recorded.warnings[0], "Program nie mogl otworzyć pliku: " + work.File("readme.txt") + ".");
    EXPECT_EQ(recorded.warnings[1], "Strona WWW: " + QUrl::fromLocalFile(Dir("help/projekt.html")).toString().toStdString() +
                                        " nie została otworzona.");
}

TEST_F(MainWindowTest, OpenFileListAndCommandLineFiles) {
    fm->AddOpenFile("/a/b.mbi");
    fm->AddOpenFile("/a/b.dym");
    EXPECT_TRUE(fm->IsFileOpen("/a/b.mbi"));
    EXPECT_FALSE(fm->IsFileOpen("/a/B.mbi")) << "exact names";
    fm->RemoveOpenFile("/a/b.mbi");
    fm->RemoveOpenFile("/not/there");
    EXPECT_FALSE(fm->IsFileOpen("/a/b.mbi"));
    EXPECT_TRUE(fm->IsFileOpen("/a/b.dym"));

    // Names from the desktop wait until the open command is plugged in.
    fm->OpenByFileName("/x/one.dym");
    fm->OpenByFileName("/x/two.dym");
    EXPECT_EQ(fm->PendingFiles().size(), 2);
    QStringList opened;
    DocumentCommands commands;
    commands.openByFileName = [&](MainWindowLink&, const QString& path) { opened << path; };
    fm->SetDocumentCommands(commands);
    fm->OpenByFileName("/x/three.dym");
    EXPECT_EQ(opened, (QStringList{"/x/one.dym", "/x/two.dym", "/x/three.dym"}));
    EXPECT_TRUE(fm->PendingFiles().isEmpty());

    const QStringList files = CommandLineFiles({"Dyma2", "", "rel.dym", "/abs/p.dym"});
    EXPECT_EQ(files, (QStringList{QDir::current().absoluteFilePath("rel.dym"), "/abs/p.dym"}));
}

// A widget whose event handler throws.
class Throwing : public QWidget {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("błąd w obsłudze zdarzenia");
        return QWidget::event(e);
    }
};

TEST_F(MainWindowTest, EscapingExceptionIsShownAndTheProgramGoesOn) {
    Throwing w;
    QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(recorded.warnings, (std::vector<std::string>{"błąd w obsłudze zdarzenia", "błąd w obsłudze zdarzenia"}));
}

}  // namespace

#include "test_mainwindow.moc"
