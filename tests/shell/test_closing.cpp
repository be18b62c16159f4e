// Closing documents and the program: the question about unsaved changes on
// every path that closes a modified document (its window, "Zakończ", the
// window manager, the end of the desktop session), the question box itself,
// the command states on every switch of the active window, and the end of
// the program with the help window open.
#include "app/shell/helpsystem.h"
#include "app/shell/helpviewer.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/unsavedchanges.h"
#include "fakeseismogram.h"
#include "support/guiapp.h"
#include "support/testdirectories.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

using namespace dyma;
using namespace dyma::gui;
using dyma::test::FakeSeismogram;

namespace {

class ClosingTest : public test::GuiTest {
protected:
    void SetUp() override {
        QSettings key = Key();
        test::WriteTestDirectories(key, work.Path().string());
        fm = std::make_unique<TfmMain>(DYMA_PROGRAM_DIR);
        fm->show();
        QApplication::setActiveWindow(fm.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(fm.get()));
    }
    void TearDown() override { fm.reset(); }

    FakeSeismogram& Add(const QString& title, bool modified) {
        auto child = std::make_unique<FakeSeismogram>(title);
        FakeSeismogram& ref = *child;
        ref.modified = modified;
        fm->AddChild(std::move(child));
        return ref;
    }
    int OpenWindows() const {
        int n = 0;
        for (QMdiSubWindow* sub : fm->MdiArea()->subWindowList()) n += sub->isVisible() ? 1 : 0;
        return n;
    }
    static std::string Question(const char* name) { return UnsavedChangesQuestion(name); }

    std::unique_ptr<TfmMain> fm;
};

// How a document gets closed.
enum class Path { Window, Quit, WindowManager, SessionEnd };

}  // namespace

TEST_F(ClosingTest, EveryPathThatClosesAModifiedDocumentAsks) {
    struct Case {
        const char* name;
        Path path;
        std::vector<SaveChoice> answers;
        bool dialogAccepted;
        bool mayClose;      // the documents go (or, at the session's end, may go)
        int savedFiles;
    } cases[] = {
        {"okno, Zapisz", Path::Window, {SaveChoice::Save}, true, true, 1},
        {"okno, Zapisz, dialog anulowany", Path::Window, {SaveChoice::Save}, false, false, 0},
        {"okno, Nie zapisuj", Path::Window, {SaveChoice::Discard}, true, true, 0},
        {"okno, Anuluj", Path::Window, {SaveChoice::Cancel}, true, false, 0},
        {"Zakończ, Zapisz oba", Path::Quit, {SaveChoice::Save, SaveChoice::Save}, true, true, 2},
        {"Zakończ, Nie zapisuj oba", Path::Quit, {SaveChoice::Discard, SaveChoice::Discard}, true, true, 0},
        {"Zakończ, Nie zapisuj i Anuluj", Path::Quit, {SaveChoice::Discard, SaveChoice::Cancel}, true, false, 0},
        {"Zakończ, Anuluj", Path::Quit, {SaveChoice::Cancel}, true, false, 0},
        {"menedżer okien, Zapisz i Nie zapisuj", Path::WindowManager, {SaveChoice::Save, SaveChoice::Discard}, true,
         true, 1},
        {"menedżer okien, Anuluj", Path::WindowManager, {SaveChoice::Cancel}, true, false, 0},
        {"koniec sesji, Nie zapisuj oba", Path::SessionEnd, {SaveChoice::Discard, SaveChoice::Discard}, true, true, 0},
        {"koniec sesji, Zapisz i Anuluj", Path::SessionEnd, {SaveChoice::Save, SaveChoice::Cancel}, true, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        FakeSeismogram& first = Add("pierwszy", true);
        FakeSeismogram& clean = Add("czysty", false);
        Add("drugi", c.path != Path::Window);
        recorded.saveAnswers = c.answers;
        recorded.saveQuestions.clear();
        bool mayEnd = false;
        std::vector<std::string> savedTo;
        {
            ScopedDialogRunner saveDialog([&](QDialog& d) {
                const std::string target = work.File("zapis" + std::to_string(savedTo.size()) + ".dym");
                savedTo.push_back(target);
                dynamic_cast<QFileDialog&>(d).selectFile(QString::fromStdString(target));
                return int(c.dialogAccepted ? QDialog::Accepted : QDialog::Rejected);
            });
            switch (c.path) {
            case Path::Window: fm->MdiArea()->subWindowList().first()->close(); break;
            case Path::Quit: fm->Action("mQuit")->trigger(); break;
            case Path::WindowManager: fm->windowHandle()->close(); break;
            case Path::SessionEnd: mayEnd = fm->ConfirmCloseAll(); break;
            }
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        // One question for each modified document, in window order, until
        // the first "Anuluj"; none for the unmodified one.
        std::vector<std::string> asked{Question("pierwszy"), Question("drugi")};
        asked.resize(c.answers.size());
        EXPECT_EQ(recorded.saveQuestions, asked);
        // (A closed window is gone: its saves are counted by the dialog.)
        EXPECT_EQ(c.dialogAccepted ? int(savedTo.size()) : 0, c.savedFiles);
        switch (c.path) {
        case Path::Window: EXPECT_EQ(OpenWindows(), c.mayClose ? 2 : 3); break;
        case Path::Quit:
        case Path::WindowManager:
            // "Anuluj" keeps everything open, the documents answered before
            // it too, with their changes.
            EXPECT_EQ(fm->isVisible(), !c.mayClose);
            if (!c.mayClose) {
                EXPECT_EQ(OpenWindows(), 3);
                EXPECT_TRUE(first.modified || first.savedAs.size() == 1);
                EXPECT_FALSE(clean.modified);
            }
            break;
        case Path::SessionEnd:
            // The session ends the program; the question only decides.
            EXPECT_EQ(mayEnd, c.mayClose);
            EXPECT_EQ(OpenWindows(), 3);
            break;
        }
        TearDown();
    }
}

TEST_F(ClosingTest, TheQuestionBox) {
    QtUserMessages boxes;
    struct Case {
        const char* button;  // null: closed without a button
        SaveChoice choice;
    } cases[] = {{"buttonSave", SaveChoice::Save},
                 {"buttonDiscard", SaveChoice::Discard},
                 {"buttonCancel", SaveChoice::Cancel},
                 {nullptr, SaveChoice::Cancel}};
    for (const Case& c : cases) {
        QString title, text, defaultButton, escapeButton;
        QStringList buttons;
        ScopedDialogRunner answer([&](QDialog& d) {
            auto& box = dynamic_cast<QMessageBox&>(d);
            title = box.windowTitle();
            text = box.text();
            for (QAbstractButton* b : box.buttons()) buttons << b->text();
            defaultButton = box.defaultButton() ? box.defaultButton()->text() : QString();
            escapeButton = box.escapeButton() ? box.escapeButton()->text() : QString();
            if (c.button) box.findChild<QPushButton*>(c.button)->click();
            return 0;
        });
        EXPECT_EQ(boxes.AskToSave(Question("wstrzas.mbj")), c.choice) << (c.button ? c.button : "none");
        EXPECT_EQ(title, "Pytanie");
        EXPECT_EQ(text, "Dokument wstrzas.mbj został zmodyfikowany. Czy zapisać zmiany?");
        buttons.sort();
        EXPECT_EQ(buttons, (QStringList{"Anuluj", "Nie zapisuj", "Zapisz"}));
        EXPECT_EQ(defaultButton, "Zapisz");
        EXPECT_EQ(escapeButton, "Anuluj");
    }
}

TEST_F(ClosingTest, CommandStatesFollowEverySwitchOfTheActiveWindow) {
    FakeSeismogram& modified = Add("zmieniony", true);
    FakeSeismogram& saved = Add("zapisany", false);
    modified.readyToProcess = modified.resultShown = true;
    QMdiSubWindow* modifiedWindow = fm->MdiArea()->subWindowList().at(0);
    QMdiSubWindow* savedWindow = fm->MdiArea()->subWindowList().at(1);
    // No timer tick, no refresh asked for: the switch alone.
    fm->Timer().stop();
    for (int round = 0; round < 2; ++round) {
        fm->MdiArea()->setActiveSubWindow(modifiedWindow);
        for (const char* name : {"mSave", "bSave", "mDymaStart", "mExport", "mPrint"})
            EXPECT_TRUE(fm->Action(name)->isEnabled()) << name << " in round " << round;
        fm->MdiArea()->setActiveSubWindow(savedWindow);
        for (const char* name : {"mSave", "bSave", "mDymaStart", "mExport", "mPrint"})
            EXPECT_FALSE(fm->Action(name)->isEnabled()) << name << " in round " << round;
    }
    EXPECT_FALSE(saved.modified);
}

TEST_F(ClosingTest, ZakonczEndsTheProgramWithTheHelpWindowOpen) {
    ASSERT_TRUE(ApplicationHelp().ShowContext(help::kContents));
    TfmHelpViewer* viewer = ApplicationHelp().Viewer();
    ASSERT_TRUE(viewer->isVisible());
    // Only this test's windows are up.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != fm.get() && w != viewer && w->isVisible()) w->hide();

    QTimer::singleShot(0, fm.get(), [this] { fm->Action("mQuit")->trigger(); });
    // Should the program go on running, this ends the wait.
    QTimer stillRunning;
    stillRunning.setSingleShot(true);
    QObject::connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    stillRunning.start(5000);
    const int code = QApplication::exec();
    stillRunning.stop();
    EXPECT_EQ(code, 0) << "the program went on running after its main window closed";
    EXPECT_FALSE(fm->isVisible());
    EXPECT_FALSE(viewer->isVisible());
}
