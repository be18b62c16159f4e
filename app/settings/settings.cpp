#include "settings.h"

#include "common/numberformat.h"

namespace dyma {

ProcessFlags& GlobalFlags() {
    static ProcessFlags flags;
    return flags;
}

double GeologyValue(const std::string& text, char sep) { return ParseNumber(text, sep); }

namespace {
std::string Join(const std::string& dir, const std::string& name) {
    if (name.empty()) return dir;
    return dir + kPathSeparator + name;
}
}  // namespace

std::string DirectoryLookup(const Settings& s, const std::string& programDir, int kind, const std::string& fileName) {
    switch (kind) {
    case kSeismogramDir: return Join(s.SeismogramDirectory, fileName);
    case kTempDir: return Join(s.TempDirectory, fileName);
    case kOutputDir: return Join(s.OutputDirectory, fileName);
    case kProgramDir: return Join(programDir, fileName);
    case kRepositoryDir: return Join(programDir + kPathSeparator + "repository", fileName);
    default: return {};
    }
}

std::string TidyPath(std::string path) {
    const char doubled[] = {kPathSeparator, kPathSeparator, 0};
    for (size_t pos = path.find(doubled); pos != std::string::npos; pos = path.find(doubled))
        path.erase(pos, 1);
    return path;
}

std::string DefaultDirectoryBase(const std::string& programDir, bool programDirWritable,
                                 const std::string& userDataDir) {
    return programDirWritable || userDataDir.empty() ? programDir : userDataDir;
}

void ApplyDefaultDirectories(Settings& s, const std::string& base) {
    s.SeismogramDirectory = base + kPathSeparator + "Sejsmogramy";
    s.TempDirectory = base + kPathSeparator + "Temp";
    s.OutputDirectory = base + kPathSeparator + "Roboczy";
}

}  // namespace dyma
