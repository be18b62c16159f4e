// The folder of one run of the program inside the temporary directory.
//
// Every temporary file of a run (the sample tables of open signals, the
// solver copy, the solver's exchange files) goes into a folder of its own,
// "WinDYMA-XXXXXX" for the desktop program, "dyma-XXXXXX" for the
// command-line tool. So the temporary directory may be any folder, one with
// the operator's own files in it too, and two programs running at once never
// take each other's files: the clean-ups look into their own folder only
// and delete only the program's own kind of files there.
//
// A lock file inside ("run.lock", a QLockFile) names the process the folder
// belongs to; a mark file (".windyma-run") says that it is a run folder at
// all, so that no other folder whose name happens to fit is ever swept. A run that was killed leaves its folder and its lock behind;
// so does a run that ended keeping its temporary files (the setting
// RemoveTempDir off). The next start sweeps the folders whose process is
// gone: their own files go and, when nothing else is left, the folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

class QLockFile;

namespace dyma {

inline constexpr char kProgramRunPrefix[] = "WinDYMA-";
inline constexpr char kToolRunPrefix[] = "dyma-";
inline constexpr char kRunLockName[] = "run.lock";
inline constexpr char kRunMarkName[] = ".windyma-run";

class RunFolder {
public:
    // Makes a new folder "<prefix>XXXXXX" in `base` (which must exist) and
    // takes its lock. Throws FileError when that is not possible.
    RunFolder(const std::string& base, const std::string& prefix);
    // Lets go of the lock; the folder and its files stay (the next start
    // sweeps them) unless Remove was called.
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    const std::string& Base() const { return base_; }
    const std::string& Path() const { return path_; }

    // Deletes the program's own files in the folder and then the folder
    // with its lock, when nothing else is left in it.
    void Remove();

private:
    std::string base_, path_;
    std::unique_ptr<QLockFile> lock_;
};

// The run folders "<prefix>XXXXXX" (with their mark) in `base` whose
// process is gone (their lock is stale, or missing because that run ended):
// each is emptied of the program's own files and removed when nothing else
// is left in it. Folders of running processes and folders without the mark
// are not touched. Returns the folders removed.
std::vector<std::string> SweepEndedRuns(const std::string& base, const std::string& prefix);

}  // namespace dyma
