// What kind of signal file a file is. LGOM files are known by their
// extension (.mbi, .min, .mbj: the same header identifiers stand in files of
// different layouts, and the extension tells them apart); miniSEED files by
// their contents, through libmseed's record detection, so that archive
// names without an extension open too.
#pragma once

#include <string>

namespace dyma {

enum class SignalContent {
    MiniSeed,    // starts with a SEED data record
    SeedVolume,  // starts with a control header of a full SEED volume
    Other,       // anything else, an unreadable file included
};

SignalContent DetectSignalContent(const std::string& path);

// An LGOM extension, or contents that a signal reader takes or refuses with
// a reason of its own (miniSEED records, a SEED volume).
bool IsSignalFile(const std::string& path);

}  // namespace dyma
