#include "solutionmerge.h"

#include "common/focalmath.h"
#include "common/numberformat.h"

namespace dyma {

void CopyHeaderIntoRecord(const IniImage& image, SolutionRecord& r) {
    const std::string d = "Datas";
    r.SignalFileShort = image.ReadString(d, "SignalFileShort", "brak danych");
    r.Zakres = ParseNumber(image.ReadString(d, "Zakres", "5000"), '.');
    r.Description = image.ReadString(d, "Description", "");
    r.Operator = image.ReadString(d, "Operator", "");
    r.Date = ParseNumber(image.ReadString(d, "Date", "0"), '.');
    r.Time = ParseNumber(image.ReadString(d, "Time", "0"), '.');
    r.PlusColor = static_cast<Colour>(image.ReadInteger(d, "PlusColor", 255));
    r.MinusColor = static_cast<Colour>(image.ReadInteger(d, "MinusColor", 16711680));
}

double DisplaySign(double sign, const SolutionStation& st, const std::string& type, double sourceZ) {
    return focal::KeepsPolarity(type, st.ZS, sourceZ, st.Angle) ? sign : -sign;
}

void ComputeDirectRayIfD(SolutionStation& st, const SolutionRecord& r) {
    if (st.Type != "D") return;
    focal::RayAngles ray{st.Angle, st.SinBet, st.CosBet, st.SinAl, st.CosAl};
    focal::ComputeRay("D", st.XS - r.X, st.YS - r.Y, st.ZS - r.Z, focal::SeamModel{}, ray);
    st.Angle = ray.Angle;
    st.SinBet = ray.SinBet;
    st.CosBet = ray.CosBet;
    st.SinAl = ray.SinAl;
    st.CosAl = ray.CosAl;
}

namespace {
// The solver files carry labels cut to four characters, so a channel whose
// label is longer (station 123, component NS) comes back as "123N".
bool LabelMatches(const std::string& nazwa, const std::string& stationLabel) {
    if (nazwa == "-" || stationLabel.empty()) return false;
    if (nazwa == stationLabel) return true;
    return nazwa.size() > 4 && stationLabel.size() == 4 && nazwa.compare(0, 4, stationLabel) == 0;
}
}  // namespace

int MatchedChannelSection(const IniImage& image, const std::string& stationLabel) {
    for (int ident = 1; ident <= kMaxChannels; ++ident) {
        const std::string section = ChannelSection(ident);
        if (!image.SectionExists(section)) continue;
        if (LabelMatches(image.ReadString(section, "Nazwa", "-"), stationLabel)) return ident;
    }
    return 0;
}

void ApplySignRules(const IniImage& image, SolutionRecord& r) {
    for (int k = 0; k < r.StationCount && k < kMaxStations; ++k) {
        SolutionStation& st = r.stations[static_cast<size_t>(k)];
        double sign = st.Weight > 0 ? 1.0 : -1.0;
        const int ident = MatchedChannelSection(image, st.Channel);
        const bool matched = ident != 0;
        const std::string type = matched ? image.ReadString(ChannelSection(ident), "WaveType", "-") : "-";
        st.Type = type;
        ComputeDirectRayIfD(st, r);
        sign = DisplaySign(sign, st, type, r.Z);
        if (!matched) sign = 0;
        st.Sign = sign;
        st.SignString = st.Sign > 0 ? "+" : "-";
    }
}

void MergeDocumentIntoRecord(const IniImage& image, SolutionRecord& r) {
    CopyHeaderIntoRecord(image, r);
    ApplySignRules(image, r);
}

}  // namespace dyma
