// The lock beside an open project file, "<project>.lock": a QLockFile that
// names the process, its program and its computer. While one program has a
// project open, a second one (another copy of the program started by the
// desktop, or the command-line tool saving its result) learns so and
// neither opens nor writes it. A lock left behind by a process that is gone
// (killed, crashed) is taken over.
//
// The lock lies beside the canonical path of the project, so every path to
// one project (a symbolic link, a path with "..") meets the same lock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class QLockFile;

namespace dyma {

class ProjectLock {
public:
    enum class State {
        Held,           // this program holds it
        HeldElsewhere,  // a running process holds it
        Unavailable,    // no lock could be made there (a read-only folder): nothing to protect against
    };

    // Tries once to take the lock of `projectFile` (which need not exist).
    explicit ProjectLock(const std::string& projectFile);
    // Lets go of the lock (its file goes) when held.
    ~ProjectLock();
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    State GetState() const { return state_; }
    bool HeldElsewhere() const { return state_ == State::HeldElsewhere; }
    const std::string& LockFile() const { return lockFile_; }

    // When held elsewhere: "Plik <project> jest już otwarty w innym
    // programie WinDYMA (proces <pid>, komputer <host>)."
    std::string InUseText() const;

    static std::string LockFileOf(const std::string& projectFile);

private:
    std::string projectFile_, lockFile_;
    std::unique_ptr<QLockFile> lock_;
    State state_ = State::Unavailable;
    std::int64_t ownerPid_ = 0;
    std::string ownerHost_;
};

}  // namespace dyma
