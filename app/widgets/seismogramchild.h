// What the main window asks of a seismogram window. The seismogram window
// (an MDI child) implements this next to its QWidget base; the main window
// finds it by a dynamic_cast of the active child's widget and forwards its
// seismogram, picking, save and output commands to it.
#pragma once

#include "app/document/iniimage.h"
#include "app/document/tremordocument.h"
#include "app/seismogram/channeltables.h"
#include "app/seismogram/timewindow.h"
#include "app/solver/solverfiles.h"
#include "app/widgets/pickingcommands.h"

#include <string>
#include <vector>

class QObject;

namespace dyma::gui {


class SeismogramChild {
public:
    virtual ~SeismogramChild() = default;

    // Channel navigation.
    virtual void FirstChannel() = 0;
    virtual void PreviousChannel() = 0;
    virtual void NextChannel() = 0;
    virtual void LastChannel() = 0;
    // Fast or slow forward or backward, or the first 5 or 10 seconds.
    virtual void MoveTimeWindow(MoveMode mode) = 0;
    // The vertical scale factor is multiplied by (1 + delta); 0 resets it.
    virtual void ScaleVertical(double delta) = 0;
    virtual void ZoomIn() = 0;
    virtual void ZoomOut() = 0;

    // The picking toolbar of the main window. `sender` is the pressed
    // component; its "tag" property is 0 direct wave, 1 upper seam wave A,
    // 2 lower seam wave B.
    virtual void BWaveClick(QObject* sender) = 0;
    // The weight edit changed (`sender` is the main window's Wage).
    virtual void WageChange(QObject* sender) = 0;
    // Before every step of the weight up-down; the main window steps anyway.
    virtual void WageControllerChanging(bool& allowChange) = 0;
    virtual void bRemoveMarkerClick(QObject* sender) = 0;
    // The picking keys (PickingCommand); a window without them ignores them.
    virtual void PickingKey(int command) { (void)command; }
    // Whether the band-pass view is on (the picking bar's switch shows it).
    virtual bool ViewFiltered() const { return false; }

    // The window's history of pick changes.
    virtual void Undo() {}
    virtual void Redo() {}
    virtual bool CanUndo() const { return false; }
    virtual bool CanRedo() const { return false; }

    // Read by the command states.
    virtual bool Modified() const = 0;
    virtual bool ResultShown() const = 0;
    virtual bool ReadyToProcess() const = 0;

    // Saving: the document's current file name (the project file, or the
    // working file before the first save) and the save under a new name,
    // after which the document lives on at that name. False (after the
    // warning) when it was not saved.
    virtual std::string DocumentFileName() const = 0;
    virtual bool SaveDocumentAs(const std::string& path) = 0;

    // The solution of the document when it has been computed, else null;
    // printing and the text report read it.
    virtual SolutionRecord* Solution() = 0;
    // The channels of the open signal file (the QuakeML export names the
    // picks' streams by them); none when the window has no signal.
    virtual std::vector<ChannelFacts> ChannelList() const { return {}; }

    // Processing. The document image (the solver's DAT lines and the result
    // go there) and what the solver files are made of, read from the
    // window as the operator sees it now: the data page texts, the signal's
    // name and start, the pick list rows in list order and the station
    // record of every channel of the signal file.
    virtual IniImage& DocumentImage() = 0;
    virtual SolverInput ProcessingInput() = 0;
    // A new solution is in the image: the page "Dane" becomes the active
    // page, the window is modified, the page "Rozwiązanie" is shown, filled
    // from the image, and the result commands follow it (ResultShown).
    virtual void SolutionStored() = 0;
};

}  // namespace dyma::gui
