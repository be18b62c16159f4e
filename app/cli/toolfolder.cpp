#include "toolfolder.h"

#include "app/solver/runfolder.h"

#include <QDir>

namespace dyma::cli {

namespace {

std::string SystemTemporaryDirectory() { return QDir::toNativeSeparators(QDir::tempPath()).toStdString(); }

}  // namespace

ToolFolder::ToolFolder() {
    try {
        folder_ = std::make_unique<RunFolder>(SystemTemporaryDirectory(), kToolRunPrefix);
    } catch (const std::exception& e) {
        error_ = e.what();
    }
}

ToolFolder::~ToolFolder() {
    if (folder_) folder_->Remove();
}

const std::string& ToolFolder::Path() const {
    static const std::string none;
    return folder_ ? folder_->Path() : none;
}

void SweepEndedToolRuns() { SweepEndedRuns(SystemTemporaryDirectory(), kToolRunPrefix); }

}  // namespace dyma::cli
