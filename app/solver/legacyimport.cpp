#include "legacyimport.h"

#include "app/document/solutionmerge.h"
#include "app/solver/fixedcolumns.h"
#include "app/solver/solverfiles.h"
#include "common/numberformat.h"
#include "common/usermessages.h"

#include <algorithm>

namespace dyma {

namespace {
const char kMissingIntro[] = "W pliku NET brak informacji o niektórych kanałach pomiarowych: ";

std::string Label(const std::string& line, size_t lastColumn) { return Trim(Columns(line, 1, lastColumn)); }
}  // namespace

std::string MissingChannelsIgnoredMessage(const std::string& list) {
    return kMissingIntro + Trim(list) + ". Kanały te zostaną zignorowane w przetwarzaniu.";
}

std::string TooFewChannelsMessage(const std::string& list) {
    return kMissingIntro + Trim(list) + ". Pozostała ilość kanałów jest za mała do rozpoczęcia przetwarzania. ";
}

LegacyDatCheck PrepareLegacyDat(std::vector<std::string>& dat, const std::vector<std::string>& net) {
    auto trailer = std::find_if(dat.begin(), dat.end(),
                                [](const std::string& l) { return l.find("####") != std::string::npos; });
    dat.erase(trailer, dat.end());
    dat.erase(std::remove_if(dat.begin(), dat.end(), [](const std::string& l) { return l.find('/') != std::string::npos; }),
              dat.end());

    LegacyDatCheck check;
    for (size_t i = 2; i < dat.size(); ++i) {
        const std::string label = Label(dat[i], 5);
        // A blank line names no channel, so it cannot be missing from the NET.
        if (label.empty()) continue;
        const bool known = std::any_of(net.begin() + std::min<size_t>(1, net.size()), net.end(),
                                       [&](const std::string& n) { return Label(n, 5) == label; });
        if (known) continue;
        check.missingList += label + " ";
        ++check.missingCount;
    }
    return check;
}

bool PrepareLegacyFiles(std::vector<std::string>& dat, const std::vector<std::string>& net, UserMessages& messages) {
    const LegacyDatCheck check = PrepareLegacyDat(dat, net);
    if (check.missingCount == 0) return true;
    if (static_cast<long long>(dat.size()) - check.missingCount > 10) {
        messages.Warning(MissingChannelsIgnoredMessage(check.missingList));
        return true;
    }
    messages.Warning(TooFewChannelsMessage(check.missingList));
    return false;
}

void WriteLegacyInputFiles(const std::string& directory, const std::vector<std::string>& dat,
                           const std::vector<std::string>& net) {
    WriteSolverFiles(directory, dat, net, BuildPar());
}

void MergeDat(SolutionRecord& r, const std::vector<std::string>& dat, char sep) {
    if (dat.size() >= 2) {
        const std::string& line = dat[1];
        const double x = ParseNumber(Columns(line, 2, 13), sep);
        const double y = ParseNumber(Columns(line, 13, 24), sep);
        const double z = ParseNumber(Columns(line, 24, 35), sep);
        r.X = x;
        r.Y = y;
        r.Z = z;
    }
    const int count = std::clamp(r.StationCount, 0, kMaxStations);
    for (int k = 0; k < count; ++k) {
        SolutionStation& st = r.stations[static_cast<size_t>(k)];
        const std::string channel = Trim(st.Channel);
        auto pick = std::find_if(dat.begin() + std::min<size_t>(2, dat.size()), dat.end(), [&](const std::string& l) {
            return CharCount(l) >= 10 && Label(l, 4) == channel;
        });
        if (pick == dat.end()) continue;
        st.Type = Columns(*pick, 6, 6);
        ComputeDirectRayIfD(st, r);
        st.Sign = DisplaySign(st.Sign, st, st.Type, r.Z);
        st.SignString = st.Sign > 0 ? "+" : "-";
    }
}

}  // namespace dyma
