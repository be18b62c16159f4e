// Running NPFA.EXE in its working directory and waiting for a complete
// NPF.RES, shared by the processing command, the legacy import and the
// command-line tool.
//
// The solver is started with no arguments in the working directory, at idle
// priority; with DebugMode its output goes to the program's console. The
// wait is a budget of 200 waits of 500 ms; during every wait the event loop
// runs (the interface stays responsive) and after it the result file is
// tried: the run is over as soon as NPF.RES parses as a whole and its last
// line is ended (or the solver has exited). Whatever happens, the solver and
// every process it started (its process group) are ended before this
// returns, so no stray process is left behind.
#pragma once

#include <functional>
#include <string>

namespace dyma {

struct SolverRunOptions {
    std::string workDirectory;      // holds NPFA.EXE and its files
    std::string executable;         // the solver in workDirectory
    bool debugMode = false;         // solver output to our console
    int waitBudget = 200;           // waits of waitMilliseconds
    int waitMilliseconds = 500;
    int staleResultTimeoutMs = 10000;  // an old NPF.RES must vanish by then
    char decimalSeparator = ',';
    // Called often while waiting (the processing box text, say); the event
    // loop itself runs inside the waits.
    std::function<void()> onWait;
};

enum class SolverRunStatus {
    Completed,           // NPF.RES parses as a whole
    StaleResultFile,     // an old NPF.RES did not disappear
    StartFailed,         // the process could not be created
    TimedOut,            // the budget was used up while the solver kept running
    EndedWithoutResult,  // the solver ended without a complete NPF.RES
};

struct SolverRunResult {
    SolverRunStatus status = SolverRunStatus::StartFailed;
    // The warning to show (empty for Completed).
    std::string message;
    // The solver's own reason when it ended without a result: its error
    // output, or the end of NPF.PNY.
    std::string solverReason;
    int exitCode = -1;
};

// Needs a QCoreApplication (the waits run its event loop).
SolverRunResult RunSolver(const SolverRunOptions& options);

std::string SolverStartFailedMessage();
std::string SolverTimedOutMessage();

}  // namespace dyma
