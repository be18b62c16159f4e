#include "signalformat.h"

#include "app/document/projectfile.h"
#include "common/textfile.h"

#include <libmseed.h>

#include <fstream>

namespace dyma {

namespace {
bool IsSeedDigitOrBlank(char c) { return (c >= '0' && c <= '9') || c == ' ' || c == '\0'; }
}  // namespace

SignalContent DetectSignalContent(const std::string& path) {
    // With fewer bytes than a whole record the library still recognises a
    // record's header and leaves its length open.
    char buffer[8192] = {};
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return SignalContent::Other;
    in.read(buffer, sizeof buffer);
    const std::streamsize got = in.gcount();
    if (got < 48) return SignalContent::Other;
    if (ms_detect(buffer, static_cast<int>(got)) >= 0) return SignalContent::MiniSeed;
    // A volume starts with a control header: a sequence number, then "V"
    // (volume), "A" (abbreviations), "S" (station) or "T" (time span).
    bool sequence = true;
    for (int i = 0; i < 6; ++i) sequence = sequence && IsSeedDigitOrBlank(buffer[i]);
    const char kind = buffer[6];
    if (sequence && (kind == 'V' || kind == 'A' || kind == 'S' || kind == 'T') &&
        (buffer[7] == ' ' || buffer[7] == '*'))
        return SignalContent::SeedVolume;
    return SignalContent::Other;
}

bool IsSignalFile(const std::string& path) {
    return IsSignalFileName(path) || DetectSignalContent(path) != SignalContent::Other;
}

}  // namespace dyma
