#include "mechanismexport.h"

#include "app/document/projectfile.h"
#include "app/document/solutionmerge.h"
#include "common/daycount.h"
#include "common/numberformat.h"

#include <algorithm>
#include <cmath>

namespace dyma {

namespace {

// Day count of 1970-01-01, where ISO times are counted from.
constexpr double kUnixEpochDays = 25569.0;

focal::RayAngles RayOf(const SolutionStation& st) { return {st.Angle, st.SinBet, st.CosBet, st.SinAl, st.CosAl}; }

// The stream of channel `ident` (1-based): the open signal's codes when
// known, else what the channel section says (the LGOM style: no network,
// the station number and the component).
void StreamOf(const IniImage& image, int ident, const std::vector<ChannelFacts>* channels, ExportedPick& pick) {
    if (channels && ident >= 1 && static_cast<size_t>(ident) <= channels->size()) {
        const ChannelFacts& c = (*channels)[static_cast<size_t>(ident - 1)];
        if (!c.Station.empty()) {
            pick.network = c.Network;
            pick.station = c.Station;
            pick.location = c.Location;
            pick.channel = c.Channel;
        } else {
            pick.station = std::to_string(c.Number);
            pick.channel = c.Component;
        }
        return;
    }
    const std::string section = ChannelSection(ident);
    pick.station = image.ReadString(section, "Name", "");
    pick.channel = image.ReadString(section, "Skladowa", "");
    if (pick.station.empty()) pick.station = pick.label;
}

double AzimuthalGap(std::vector<double> azimuths) {
    if (azimuths.size() < 2) return 360;
    std::sort(azimuths.begin(), azimuths.end());
    double gap = azimuths.front() + 360 - azimuths.back();
    for (size_t i = 1; i < azimuths.size(); ++i) gap = std::max(gap, azimuths[i] - azimuths[i - 1]);
    return gap;
}

}  // namespace

std::string PhaseOfWaveType(const std::string& waveType) {
    if (waveType == wave::kUpperSeam) return "PA";
    if (waveType == wave::kLowerSeam) return "PB";
    return "P";
}

std::string IsoUtc(double dayCount) {
    const long long micro = std::llround((dayCount - kUnixEpochDays) * 86400.0 * 1e6);
    long long seconds = micro / 1000000, fraction = micro % 1000000;
    if (fraction < 0) {
        fraction += 1000000;
        --seconds;
    }
    long long days = seconds / 86400, inDay = seconds % 86400;
    if (inDay < 0) {
        inDay += 86400;
        --days;
    }
    const CivilDateTime date = DecodeDateTime(kUnixEpochDays + static_cast<double>(days));
    return FormatInt(date.year, 4) + "-" + FormatInt(date.month, 2) + "-" + FormatInt(date.day, 2) + "T" +
           FormatInt(inDay / 3600, 2) + ":" + FormatInt(inDay / 60 % 60, 2) + ":" + FormatInt(inDay % 60, 2) + "." +
           FormatInt(fraction, 6) + "Z";
}

focal::Vec3 AxisVector(double trendDeg, double plungeDeg) {
    const double t = focal::Rad(trendDeg), p = focal::Rad(plungeDeg);
    return {std::cos(p) * std::cos(t), std::cos(p) * std::sin(t), std::sin(p)};
}

TremorExport GatherTremor(const IniImage& image, const std::string& projectFile,
                          const std::vector<ChannelFacts>* channels) {
    if (!image.ReadBool("Result", "Exists", false))
        throw ExportError("Plik projektu " + projectFile +
                          " nie zawiera rozwiązania: najpierw trzeba obliczyć mechanizm.");
    TremorExport t;
    t.projectFile = projectFile;
    LoadResult(t.record, image);
    const SolutionRecord& r = t.record;
    // A date or time outside the calendar (a damaged or hand-edited file)
    // is as good as none: it is never turned into a time.
    t.recordStart = IsShownDate(r.Date) && IsShownTime(r.Time) ? r.Date + r.Time : 0;
    // The solution's source is in the solver's kilometres with the depth
    // positive downward.
    t.xNorth = r.X * 1000.0;
    t.yEast = r.Y * 1000.0;
    t.zUp = -r.Z * 1000.0;

    const focal::Plane planeA{r.SA, r.DA, r.RA};
    const focal::Vec3 normal = focal::FaultNormal(planeA), slip = focal::SlipVector(planeA);
    double totalWeight = 0, misfitWeight = 0, amplitudeSum = 0;
    std::vector<double> azimuths;
    for (int k = 0; k < r.StationCount && k < kMaxStations; ++k) {
        const SolutionStation& st = r.stations[static_cast<size_t>(k)];
        // The polarities the solver used: matched to a channel (a sign of
        // its own) and weighted.
        if (st.Sign == 0 || st.Weight == 0) continue;
        ++t.polarityCount;
        const double weight = std::fabs(st.Weight);
        // The ray as the picture and the fit both take it; a station the
        // record could not place (straight above or below the source) has
        // none and is left out of the two figures.
        const focal::Vec3 ray = focal::RayVector(RayOf(st));
        if (focal::Dot(ray, ray) > 1e-12) {
            totalWeight += weight;
            const double amplitude = focal::PAmplitude(normal, slip, focal::Normalized(ray));
            const double predicted = amplitude > 0 ? 1 : amplitude < 0 ? -1 : 0;
            if (predicted != (st.Sign > 0 ? 1 : -1)) misfitWeight += weight;
            amplitudeSum += weight * std::fabs(amplitude);
        }
        if (st.SinAl != 0 || st.CosAl != 0) {
            double az = focal::Deg(std::atan2(st.SinAl, st.CosAl));
            azimuths.push_back(az < 0 ? az + 360 : az);
        }

        ExportedPick pick;
        pick.stationRow = k;
        pick.label = st.Channel;
        pick.ident = MatchedChannelSection(image, st.Channel);
        const ChannelPick channel = ReadChannelPick(image, pick.ident);
        StreamOf(image, pick.ident, channels, pick);
        pick.waveType = channel.WaveType;
        pick.phase = PhaseOfWaveType(channel.WaveType);
        pick.time = t.recordStart + channel.MarkerPosition / 86400.0;
        pick.polarity = st.Weight > 0 ? 1 : -1;
        pick.weight = weight;
        pick.takeoff = st.TakeOff;
        pick.azimuth = st.Azimuth;
        t.picks.push_back(std::move(pick));
    }
    if (totalWeight > 0) {
        t.misfit = misfitWeight / totalWeight;
        t.distributionRatio = amplitudeSum / totalWeight;
    }
    t.azimuthalGap = AzimuthalGap(std::move(azimuths));
    const focal::Vec3 n = focal::Cross(AxisVector(r.TTrend, r.TPlunge), AxisVector(r.PTrend, r.PPlunge));
    t.nAxis = focal::AxisFromVector(focal::Normalized(n));
    // The quality class is the solver's verdict on its acceptable set; a
    // result without the solver's quality file has none to give.
    if (r.AcceptableSet) t.quality = std::string(1, r.AcceptableSet->quality);
    return t;
}

}  // namespace dyma
