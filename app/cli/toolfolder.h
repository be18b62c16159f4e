// The temporary folders of dyma: a RunFolder "dyma-XXXXXX" in the system's
// temporary directory for each signal read and each solver run, emptied of
// dyma's own files and removed when it goes. A dyma that was killed leaves
// its folders behind; the next dyma sweeps those whose process is gone.
#pragma once

#include <memory>
#include <string>

namespace dyma {
class RunFolder;
}

namespace dyma::cli {

class ToolFolder {
public:
    ToolFolder();
    ~ToolFolder();
    ToolFolder(const ToolFolder&) = delete;
    ToolFolder& operator=(const ToolFolder&) = delete;

    // False when the folder could not be made; Error() says why.
    bool Valid() const { return folder_ != nullptr; }
    const std::string& Error() const { return error_; }
    const std::string& Path() const;

private:
    std::unique_ptr<RunFolder> folder_;
    std::string error_;
};

// At the start of dyma: the folders of earlier runs whose process is gone.
void SweepEndedToolRuns();

}  // namespace dyma::cli
