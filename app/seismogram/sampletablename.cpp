#include "sampletablename.h"

#include "app/document/projectfile.h"
#include "app/settings/settings.h"
#include "common/textfile.h"

#include <set>

namespace dyma {

namespace {

// Everything runs on the GUI thread; the set needs no lock.
std::set<std::string>& TakenPaths() {
    static std::set<std::string> taken;
    return taken;
}

}  // namespace

SampleTableName::SampleTableName(const std::string& tempDirectory, const std::string& signalFile) {
    std::string directory = tempDirectory;
    if (!directory.empty() && directory.back() != '/' && directory.back() != '\\') directory += kPathSeparator;
    const std::string base = directory + FileNamePart(signalFile);
    // A file left behind by a run that ended abnormally is in the way as
    // much as one in use: the reader would overwrite what may be another
    // program's file, so the next free name is taken.
    for (int n = 1;; ++n) {
        const std::string candidate = n == 1 ? base + ".tmp" : base + "." + std::to_string(n) + ".tmp";
        if (Taken(candidate) || FileExists(candidate)) continue;
        path_ = candidate;
        break;
    }
    TakenPaths().insert(path_);
}

SampleTableName::~SampleTableName() { TakenPaths().erase(path_); }

bool SampleTableName::Taken(const std::string& path) { return TakenPaths().count(path) != 0; }

}  // namespace dyma
