// The solver's working directory (the temporary directory of the settings):
// emptying it before a run and putting the solver executable there.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace dyma {

// Directories whose files must never be deleted, whatever the temporary
// directory setting says: a mistyped setting must not wipe the operator's
// home folder, the program or its solver copy, or the seismograms and
// results.
struct ProtectedDirectories {
    std::string home;          // the user's home directory
    std::string program;       // where the program lives
    std::string repository;    // the master copy of the solver
    std::string seismograms;   // the seismogram directory of the settings
    std::string output;        // the output directory of the settings
};

// The user's home directory from the environment ("" when unknown).
std::string UserHomeDirectory();

struct CleanOutcome {
    bool cleaned = false;     // false: the directory was refused, nothing deleted
    std::string refusal;      // the warning to show when refused
    int deleted = 0;          // files removed
    int kept = 0;             // files that could not be removed
};

// Why the directory must not be emptied ("" when it may be): an empty path,
// a file-system root or one of the protected directories.
std::string CleanRefusal(const std::string& directory, const ProtectedDirectories& guarded);

// Deletes every file directly in `directory`; subdirectories and files that
// cannot be deleted stay, without a message. `progress` gets the full path
// of each file once its deletion was tried (the window shows it in the
// processing box and paces the loop there). A refused directory is left
// untouched and the outcome carries the reason; the processing and the
// import then end after that warning rather than run the solver among the
// operator's own files.
CleanOutcome CleanTemporaryDirectory(const std::string& directory, const ProtectedDirectories& guarded,
                                     const std::function<void(const std::string&)>& progress = {});

std::string SolverCopyFailedMessage();

// Copies NPFA.EXE from the repository directory into the working directory
// unless it is there already. False when the copy failed.
bool PlaceSolverExecutable(const std::string& repositoryDirectory, const std::string& workDirectory);

}  // namespace dyma
