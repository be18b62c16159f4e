// One run of the solver in a working directory: NPF.PAR, the DAT and NET it
// names, the search, NPF.PNY and, last and only when complete, the result
// file. main() is a thin wrapper around RunSolver so that tests and the
// benchmark run the very same code in-process.
#pragma once

#include <ostream>
#include <string>

#include "npfa/focalsearch.h"

namespace dyma::npfa {

inline constexpr int kMinimumPolarities = 6;

enum ExitStatus : int {
    kExitOk = 0,
    kExitInput = 1,   // missing, unreadable or malformed input, too few polarities
    kExitOutput = 2,  // a result file could not be written
    kExitFault = 3,   // anything else
};

// The search a run in workDir makes (its NPF.PAR, DAT and NET, the ray
// trials), without writing anything; `observations` receives the fitted
// picks. Throws InputError as the run would fail.
FocalSolution SolveWorkDir(const std::string& workDir, std::vector<Observation>* observations = nullptr);

// Runs in workDir ("" = the current directory). Reasons for a failure go to
// `errors` and into the listing file.
int RunSolver(const std::string& workDir, std::ostream& errors);

}  // namespace dyma::npfa
