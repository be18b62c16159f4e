// TfmMain, the program's main window: an MDI frame with the menus, the three
// toolbars and the status bar. It hosts the seismogram windows and the
// result windows, forwards the seismogram and picking commands to the active
// seismogram window, and keeps every command's enabled state in step with
// the kind of the active child on a 100 ms timer.
#pragma once

#include "app/settings/settingsstore.h"
#include "app/widgets/documentcommands.h"
#include "app/widgets/mainwindowlink.h"
#include "app/widgets/seismogramchild.h"

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace dyma {
class RunFolder;
}

namespace dyma::gui {

class TfmPreferences;
class TfmProcessing;
class TfmMain;

class TfmMain : public QMainWindow, public MainWindowLink {
public:
    explicit TfmMain(std::string programDirectory = ApplicationDirectory(), QWidget* parent = nullptr);
    ~TfmMain() override;

    QWidget& Window() override { return *this; }

    // The two other long-lived windows, created right after this one.
    TfmPreferences& Preferences() override { return *fmPreferences_; }
    TfmProcessing& Processing() override { return *fmProcessing_; }
    const std::string& ProgramDirectory() const { return programDirectory_; }

    // The list of files open in seismogram windows. Names are kept and
    // compared canonical (CanonicalPath), so a file reached through a
    // symbolic link or a path with ".." is the same file.
    bool IsFileOpen(const std::string& name) const override;
    // Returns the name as listed.
    std::string AddOpenFile(const std::string& name) override;
    void RemoveOpenFile(const std::string& name) override;
    const std::vector<std::string>& OpenFileList() const override { return openFileList_; }

    // Makes the next timer tick re-apply the command states.
    void SetRefreshToolbars() override { refreshToolbars_ = true; }

    // MDI children. The area owns a child once it is added.
    QMdiArea* MdiArea() const override { return mdiArea_; }
    QMdiSubWindow* AddChild(std::unique_ptr<QWidget> child) override;
    QWidget* ActiveChild() const override;
    SeismogramChild* ActiveSeismogram() const override;

    PickingBar& Picking() override { return picking_; }
    // A menu item or toolbar button by its component name ("mSave", "bSave").
    QAction* Action(const QString& name) const;
    // Made at the first print command: asking the print system for its
    // printers takes a noticeable moment.
    QPrinter& Printer();

    void SetDocumentCommands(DocumentCommands commands);
    // Opens a file as the open command would; kept for later while no
    // document part is plugged in.
    void OpenByFileName(const QString& path);
    const QStringList& PendingFiles() const { return pendingFiles_; }

    // This run's own folder in the temporary directory (RunFolder), where
    // the sample tables, the solver and its files go. Made at the first
    // call, and anew when the temporary directory setting changed. Throws
    // FileError when it cannot be made.
    std::string RunDirectory() override;

    // Empties this run's folder of the program's own files, file by file in
    // the processing box; the sample tables of open seismograms stay, and so
    // does every file the program did not write. A folder that must not be
    // emptied (one holding an open document's files, ...) is left alone
    // with a warning; false then.
    bool CleanTemporaryDirectory() override;

    // The question before closing modified documents. MayCloseChild asks
    // about one window (when it closes by itself); ConfirmCloseAll asks
    // about every modified window in turn, the one asked about shown, and
    // stops at the first "Anuluj" or failed save: false then, and every
    // window stays open with its changes. The main window's close and the
    // end of the desktop session ask through it.
    bool MayCloseChild(SeismogramChild& child);
    bool ConfirmCloseAll();
    // The save command on one window: the save dialog, then the save.
    // True when the document was saved.
    bool SaveChild(SeismogramChild& child);

    // Set when the start-up failed and the program is ending.
    bool TerminateRequested() const { return terminateRequested_; }

    // Handlers, named as the commands call them.
    void OpenFile();
    bool Zmiana();
    void Export();
    void ExportQuakeML();
    void Import();
    void mPreferencesClick();
    void mPrintClick();
    void mPrinterPropertiesClick();
    void mArrangeClick();
    void mCascadeClick();
    void mHorizontalClick();
    void mVerticalClick();
    void ChildOperations(QObject* sender);
    void BWaveClick(QObject* sender);
    void WageChange();
    void WageControllerChanging();
    void bRemoveMarkerClick(QObject* sender);
    // The picking keys and the "Odczyt" menu, by the sender's tag.
    void PickingKey(QObject* sender);
    void mDymaStartClick();
    void HelpSystem(QObject* sender);
    void TimerTimer();

    // Command-state bookkeeping, visible for tests.
    int ActiveChildKind() const { return activeChildKind_; }
    int ShownChildKind() const { return shownChildKind_; }
    QTimer& Timer() { return timer_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildCommands();
    void BuildMenus();
    void BuildToolbars();
    QAction* MakeButton(QToolBar* bar, const struct ButtonCommand& command);
    void Dispatch(int handler, QObject* sender);
    void ApplyCommandStates(SeismogramChild* seismogram);
    void FillWindowMenu();
    void FormShow();
    void OpenReadmeFile(const QString& name);
    void OpenDocumentationPage(const QString& name);
    void SweepEndedRuns();
    void EndRunFolders();

    std::string programDirectory_;
    QMdiArea* mdiArea_;
    QMenu* windowMenu_ = nullptr;
    std::vector<QAction*> windowListActions_;
    PickingBar picking_;
    std::unique_ptr<QPrinter> printer_;
    QTimer timer_;
    DocumentCommands commands_;
    QStringList pendingFiles_;

    int activeChildKind_ = 1;
    int shownChildKind_ = 1;
    // The child whose states were applied last: another one active, even of
    // the same kind, applies them anew.
    QPointer<QWidget> shownChild_;
    bool refreshToolbars_ = true;
    // Set while the main window closes its children after the operator
    // answered for all of them.
    bool closeConfirmed_ = false;
    bool terminateRequested_ = false;
    std::vector<std::string> openFileList_;
    // The folders of this run, the current one last.
    std::vector<std::unique_ptr<RunFolder>> runFolders_;

    std::unique_ptr<TfmPreferences> fmPreferences_;
    std::unique_ptr<TfmProcessing> fmProcessing_;
};

}  // namespace dyma::gui
