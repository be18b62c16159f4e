// One run of the solver in a working directory: NPF.PAR, the DAT and NET it
// names, the search, NPF.PNY and, last and only when complete, the result
// file. main() is a thin wrapper around RunSolver so that tests and the
// benchmark run the very same code in-process.
#pragma once

#include <ostream>
#include <string>

namespace dyma::npfa {

inline constexpr int kMinimumPolarities = 6;

enum ExitStatus : int {
    kExitOk = 0,
    kExitInput = 1,   // missing, unreadable or malformed input, too few polarities
    kExitOutput = 2,  // a result file could not be written
    kExitFault = 3,   // anything else
};

// Runs in workDir ("" = the current directory). Reasons for a failure go to
// `errors` and into the listing file.
int RunSolver(const std::string& workDir, std::ostream& errors);

}  // namespace dyma::npfa
