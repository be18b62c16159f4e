// The solver's working directory (the program's folder in the temporary
// directory): what the program itself keeps there, emptying it of exactly
// that before a run and at the end, and putting the solver executable there.
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
    // The files of the open documents (project and signal files): a folder
    // that holds one of them is never emptied.
    std::vector<std::string> openDocuments;
};

// Whether a file of this name (without folder) is one the program itself
// writes into its temporary folder: the solver copy NPFA.EXE, the exchange
// files NPF.DAT, NPF.NET, NPF.PAR, NPF.RES, NPF.PNY, NPF.BIN, NPF.ACC, the temporary
// files through which they are written ("NPF.RES.<digits>.tmp"), and the
// sample tables of signal files ("<signal>.mbj.tmp", "<signal>.mbj.2.tmp",
// for .mbi, .min and .mbj in any case). The clean-up deletes these and
// nothing else.
bool IsOwnTemporaryFile(const std::string& fileName);

// The user's home directory from the environment ("" when unknown).
std::string UserHomeDirectory();

struct CleanOutcome {
    bool cleaned = false;     // false: the directory was refused, nothing deleted
    std::string refusal;      // the warning to show when refused
    int deleted = 0;          // files removed
    int kept = 0;             // files that could not be removed
};

// Why the directory must not be emptied ("" when it may be): an empty path,
// a file-system root, one of the protected directories or the folder of an
// open document.
std::string CleanRefusal(const std::string& directory, const ProtectedDirectories& guarded);

// Deletes the program's own files (IsOwnTemporaryFile) directly in
// `directory`, except those `inUse` names (the sample tables of open
// seismograms); every other file, subdirectories and files that cannot be
// deleted stay, without a message. `progress` gets the full path of each
// file once its deletion was tried (the window shows it in the processing
// box and paces the loop there). A refused directory is left untouched and
// the outcome carries the reason; the processing and the import then end
// after that warning.
CleanOutcome CleanTemporaryDirectory(const std::string& directory, const ProtectedDirectories& guarded,
                                     const std::function<void(const std::string&)>& progress = {},
                                     const std::function<bool(const std::string&)>& inUse = {});

std::string SolverCopyFailedMessage();

// Copies NPFA.EXE from the repository directory into the working directory
// unless it is there already. False when the copy failed.
bool PlaceSolverExecutable(const std::string& repositoryDirectory, const std::string& workDirectory);

}  // namespace dyma
