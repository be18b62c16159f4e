#include "projectlock.h"

#include "common/textfile.h"

#include <QLockFile>
#include <QString>

namespace dyma {

std::string ProjectLock::LockFileOf(const std::string& projectFile) { return CanonicalPath(projectFile) + ".lock"; }

ProjectLock::ProjectLock(const std::string& projectFile)
    : projectFile_(projectFile), lockFile_(LockFileOf(projectFile)) {
    lock_ = std::make_unique<QLockFile>(QString::fromStdString(lockFile_));
    // A project stays open for hours: only a lock whose process is gone is
    // stale, never an old one.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        state_ = State::Held;
        return;
    }
    if (lock_->error() != QLockFile::LockFailedError) {
        state_ = State::Unavailable;
        return;
    }
    state_ = State::HeldElsewhere;
    qint64 pid = 0;
    QString host, program;
    if (lock_->getLockInfo(&pid, &host, &program)) {
        ownerPid_ = pid;
        ownerHost_ = host.toStdString();
    }
}

ProjectLock::~ProjectLock() {
    if (state_ == State::Held) lock_->unlock();
}

std::string ProjectLock::InUseText() const {
    std::string owner;
    if (ownerPid_ > 0) {
        owner = " (proces " + std::to_string(ownerPid_);
        if (!ownerHost_.empty()) owner += ", komputer " + ownerHost_;
        owner += ")";
    }
    return "Plik " + projectFile_ + " jest już otwarty w innym programie WinDYMA" + owner + ".";
}

}  // namespace dyma
