// The processing command (Ctrl+Enter, "Oblicz mechanizm"): the focal
// mechanism of the document in the active seismogram window, computed by
// NPFA.EXE in this run's folder of the temporary directory (TfmMain::
// RunDirectory) while the interface stays responsive,
// then stored in the document and shown in a new result window. The legacy
// import runs the solver the same way.
#pragma once

#include "app/solver/solverprocess.h"

#include <QString>

#include <memory>
#include <string>

namespace dyma {
struct SolutionRecord;
}

namespace dyma::gui {

class TfmMain;
class TfmResult2;

// How long the solver may take: 200 waits of 500 ms, and 10 s for an old
// NPF.RES to vanish. Tests shorten them.
struct SolverLimits {
    int waitBudget = 200;
    int waitMilliseconds = 500;
    int staleResultTimeoutMs = 10000;
};

void StartProcessing(TfmMain& main, const SolverLimits& limits = {});

// Whether a solver run of the processing command or the import is under
// way (the event loop runs while it waits, so the commands can be asked for
// again meanwhile).
bool SolverRunning();

// Prepares the run's folder for a run of the solver: empties it of the
// program's own files (the sample tables of open seismograms stay) and puts
// a fresh copy of NPFA.EXE there. False (after its warning) when the directory may
// not be emptied or the copy failed.
bool PrepareSolverDirectory(TfmMain& main);

// Starts NPFA.EXE in the temporary directory and waits for a complete
// NPF.RES with the processing box "Przetwarzanie..." shown. The solver
// process is gone when this returns.
SolverRunResult RunSolverInProcessingBox(TfmMain& main, const SolverLimits& limits);

// A result window that takes the record over, captioned `caption`.
TfmResult2& OpenResultWindow(TfmMain& main, std::unique_ptr<SolutionRecord> record, const QString& caption);

}  // namespace dyma::gui
