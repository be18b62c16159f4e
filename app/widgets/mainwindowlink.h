// What a child window, dialog or command of the seismogram, result and
// solver parts may ask of the main window. The main window implements it;
// those parts hold a MainWindowLink& and never the main window's class, so
// they depend on the shared window helpers below them and not on the shell
// above them.
#pragma once

#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace dyma::gui {

class SeismogramChild;
class TfmPreferences;
class TfmProcessing;
class TWageSpinBox;

// The picking toolbar (ToolBar3) as the seismogram window writes it.
struct PickingBar {
    QLabel* Label3 = nullptr;  // "Kanał: "
    QLabel* Label2 = nullptr;  // the current channel
    QLabel* CurrentWaveType = nullptr;
    QLabel* Label18 = nullptr;  // "Waga:"
    TWageSpinBox* Wage = nullptr;
    QAction* waveButtons[3] = {};    // DirectWave, AWave, BWave (tags 0, 1, 2)
    QAction* waveMenuItems[3] = {};  // mDirectWave, mAWave, mBWave
    QAction* bRemoveMarker = nullptr;
    QAction* filter = nullptr;  // the band-pass view switch (mFilter, checkable)
};

class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;

    // The main window as a widget: the parent of dialogs, the window that is
    // brought to the front.
    virtual QWidget& Window() = 0;

    // The two other long-lived windows.
    virtual TfmPreferences& Preferences() = 0;
    virtual TfmProcessing& Processing() = 0;

    // The picking toolbar the seismogram window writes.
    virtual PickingBar& Picking() = 0;
    // Makes the next timer tick re-apply the command states.
    virtual void SetRefreshToolbars() = 0;

    // The list of files open in seismogram windows. Names are kept and
    // compared canonical, so a file reached through a symbolic link or a
    // path with ".." is the same file. AddOpenFile returns the name as
    // listed.
    virtual bool IsFileOpen(const std::string& name) const = 0;
    virtual std::string AddOpenFile(const std::string& name) = 0;
    virtual void RemoveOpenFile(const std::string& name) = 0;
    virtual const std::vector<std::string>& OpenFileList() const = 0;

    // MDI children. The area owns a child once it is added.
    virtual QMdiArea* MdiArea() const = 0;
    virtual QMdiSubWindow* AddChild(std::unique_ptr<QWidget> child) = 0;
    virtual QWidget* ActiveChild() const = 0;
    virtual SeismogramChild* ActiveSeismogram() const = 0;

    // This run's own folder in the temporary directory, where the sample
    // tables, the solver and its files go. Throws FileError when it cannot
    // be made.
    virtual std::string RunDirectory() = 0;
    // Empties this run's folder of the program's own files; false (after a
    // warning) when the folder must not be emptied.
    virtual bool CleanTemporaryDirectory() = 0;

protected:
    MainWindowLink() = default;
    MainWindowLink(const MainWindowLink&) = default;
    MainWindowLink& operator=(const MainWindowLink&) = default;
};

}  // namespace dyma::gui
