// A stored solution gathered for the exchange formats: the used polarities
// with their picks, and the misfit, station distribution ratio, azimuthal
// gap and null axis, checked against the textbook radiation pattern of a
// vertical strike-slip fault, whose P amplitude along a horizontal ray of
// azimuth az is sin(2 az) (Aki and Richards).
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/results/catalogue.h"
#include "app/results/mechanismexport.h"
#include "app/results/textreport.h"
#include "common/daycount.h"
#include "common/numberformat.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dyma;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct StationSpec {
    const char* label;
    double azimuth;  // horizontal ray, degrees from north
    double sign;     // the sign the picture and the fit use
    double weight;   // signed as the solver received the polarity
    const char* waveType;
    double marker;
};

// Strike 0, dip 90, rake 0: left-lateral on a north-south plane; T at 45,
// P at 135, both horizontal.
SolutionRecord StrikeSlip(const std::vector<StationSpec>& specs) {
    SolutionRecord r;
    r.Exists = true;
    r.X = 24.612;
    r.Y = 17.385;
    r.Z = 0.955;
    r.SA = 0, r.DA = 90, r.RA = 0;
    r.SB = 90, r.RB = 90, r.DB = 180;
    r.SAB = 11.3, r.DAB = 6.9, r.RAB = 6.3, r.SBB = 19, r.RBB = 6.3, r.DBB = 25;
    r.TTrend = 45, r.TPlunge = 0, r.PTrend = 135, r.PPlunge = 0;
    r.StationCount = static_cast<int>(specs.size());
    for (size_t i = 0; i < specs.size(); ++i) {
        SolutionStation& st = r.stations[i];
        st.No = static_cast<int>(i + 1);
        st.Channel = specs[i].label;
        st.Weight = specs[i].weight;
        st.Sign = specs[i].sign;
        st.SignString = st.Sign > 0 ? "+" : "-";
        st.Type = specs[i].waveType;
        st.Angle = 90;
        st.SinBet = 1;
        st.CosBet = 0;
        st.SinAl = std::sin(specs[i].azimuth * kPi / 180);
        st.CosAl = std::cos(specs[i].azimuth * kPi / 180);
        st.TakeOff = 90;
        st.Azimuth = specs[i].azimuth;
    }
    return r;
}

// A document whose channels carry the stations' picks.
IniImage Document(const test::TempDir& dir, const SolutionRecord& r, const std::vector<StationSpec>& specs) {
    IniImage image(dir.File("t.dym"));
    image.WriteFloat("Datas", "Date", EncodeDate(2024, 3, 14), '.');
    image.WriteFloat("Datas", "Time", EncodeTime(7, 42, 16, 0), '.');
    image.WriteString("Datas", "Operator", "Józef Żółć");
    for (size_t i = 0; i < specs.size(); ++i) {
        const std::string s = ChannelSection(static_cast<int>(i) + 1);
        const std::string label = specs[i].label;
        image.WriteString(s, "Name", label.substr(0, label.size() - 1));
        image.WriteString(s, "Skladowa", label.substr(label.size() - 1));
        image.WriteString(s, "Nazwa", label);
        image.WriteString(s, "WaveType", specs[i].waveType);
        image.WriteFloat(s, "MarkerPosition", specs[i].marker, '.');
        image.WriteFloat(s, "Wage", std::fabs(specs[i].weight), '.');
    }
    SaveResult(r, image, '.');
    return image;
}

}  // namespace

TEST(MechanismExport, FiguresOfAStrikeSlipSolution) {
    const std::vector<StationSpec> specs = {
        {"1Z", 45, +1, 1.0, "C", 0.8},    // on T: amplitude +1
        {"2Z", 135, -1, -1.0, "C", 0.9},  // on P: amplitude -1
        {"3Z", 225, +1, 0.5, "A", 1.0},   // on T
        {"4Z", 300, +1, 0.5, "B", 1.1},   // amplitude sin 600 deg < 0: against the solution
        {"5Z", 10, 0, 1.0, "C", 1.2},     // matched no channel: not used
    };
    const SolutionRecord r = StrikeSlip(specs);
    test::TempDir dir;
    IniImage image = Document(dir, r, specs);
    image.EraseSection(ChannelSection(5));
    const TremorExport t = GatherTremor(image, dir.File("t.dym"), nullptr);

    EXPECT_EQ(t.polarityCount, 4);
    ASSERT_EQ(t.picks.size(), 4u);
    auto amplitude = [](double az) { return std::sin(2 * az * kPi / 180); };
    const double total = 1.0 + 1.0 + 0.5 + 0.5;
    EXPECT_NEAR(t.misfit, 0.5 / total, 1e-12);
    EXPECT_NEAR(t.distributionRatio,
                (1.0 * std::fabs(amplitude(45)) + 1.0 * std::fabs(amplitude(135)) + 0.5 * std::fabs(amplitude(225)) +
                 0.5 * std::fabs(amplitude(300))) /
                    total,
                1e-12);
    // Azimuths 45, 135, 225, 300: the widest opening is 300 -> 45.
    EXPECT_NEAR(t.azimuthalGap, 105, 1e-9);
    EXPECT_NEAR(t.nAxis.plunge, 90, 1e-9) << "the null axis of a vertical strike-slip fault is vertical";
    EXPECT_NEAR(t.xNorth, 24612, 1e-9);
    EXPECT_NEAR(t.yEast, 17385, 1e-9);
    EXPECT_NEAR(t.zUp, -955, 1e-9);
    EXPECT_DOUBLE_EQ(t.recordStart, EncodeDate(2024, 3, 14) + EncodeTime(7, 42, 16, 0));
    EXPECT_EQ(t.quality, "") << "a result without the solver's quality file has no class";

    // With the solver's quality file the class travels through the project
    // into the catalogue.
    SolutionRecord rated = r;
    SolutionQuality q;
    q.quality = 'B';
    q.axes = {{135, 0, 45, 0}};
    rated.AcceptableSet = q;
    IniImage ratedImage = Document(dir, rated, specs);
    EXPECT_EQ(GatherTremor(ratedImage, dir.File("t.dym"), nullptr).quality, "B");
}

// A pick's polarity is the ground's motion the solver fitted (the sign of
// its weight), whatever the picture shows for the ray; its time is the
// record's start plus the marker; its phase follows the wave type.
TEST(MechanismExport, PicksOfTheUsedPolarities) {
    const std::vector<StationSpec> specs = {
        {"1Z", 45, +1, -1.0, "C", 0.8},  // a station above the source: the picture flips the sign
        {"2N", 135, -1, -0.7, "A", 0.9},
        {"3E", 225, +1, 0.0, "B", 1.0},  // weight 0: not used
        {"4Z", 300, -1, 0.4, "B", 1.25},
    };
    test::TempDir dir;
    const IniImage image = Document(dir, StrikeSlip(specs), specs);
    const TremorExport t = GatherTremor(image, dir.File("t.dym"), nullptr);
    ASSERT_EQ(t.picks.size(), 3u);
    struct Expected {
        const char* label;
        int ident;
        int polarity;
        const char* phase;
        double marker;
        const char* station;
        const char* channel;
    };
    const Expected expected[] = {
        {"1Z", 1, -1, "P", 0.8, "1", "Z"}, {"2N", 2, -1, "PA", 0.9, "2", "N"}, {"4Z", 4, +1, "PB", 1.25, "4", "Z"}};
    const double start = EncodeDate(2024, 3, 14) + EncodeTime(7, 42, 16, 0);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i].label);
        const ExportedPick& p = t.picks[i];
        EXPECT_EQ(p.label, expected[i].label);
        EXPECT_EQ(p.ident, expected[i].ident);
        EXPECT_EQ(p.polarity, expected[i].polarity);
        EXPECT_EQ(p.phase, expected[i].phase);
        EXPECT_NEAR((p.time - start) * 86400.0, expected[i].marker, 1e-6);
        EXPECT_EQ(p.network, "");
        EXPECT_EQ(p.station, expected[i].station);
        EXPECT_EQ(p.channel, expected[i].channel);
    }
    EXPECT_NEAR(t.picks[1].weight, 0.7, 1e-12);

    // With the open signal's channels the streams are the records' own.
    std::vector<ChannelFacts> channels(4);
    channels[1].Number = 2;
    channels[1].Network = "KG";
    channels[1].Station = "RUD02";
    channels[1].Location = "00";
    channels[1].Channel = "HHN";
    channels[3].Number = 4;
    channels[3].Component = "ZZ";
    const TremorExport named = GatherTremor(image, dir.File("t.dym"), &channels);
    EXPECT_EQ(named.picks[1].network, "KG");
    EXPECT_EQ(named.picks[1].station, "RUD02");
    EXPECT_EQ(named.picks[1].location, "00");
    EXPECT_EQ(named.picks[1].channel, "HHN");
    EXPECT_EQ(named.picks[2].station, "4") << "an LGOM channel: its number and component";
    EXPECT_EQ(named.picks[2].channel, "ZZ");
}

TEST(MechanismExport, ADocumentWithoutASolutionCannotBeExported) {
    test::TempDir dir;
    IniImage image(dir.File("empty.dym"));
    image.WriteString("Datas", "X", "1");
    try {
        GatherTremor(image, "empty.dym", nullptr);
        FAIL() << "gathered a missing solution";
    } catch (const ExportError& e) {
        EXPECT_NE(std::string(e.what()).find("empty.dym nie zawiera rozwiązania"), std::string::npos) << e.what();
    }
}

TEST(MechanismExport, TimesAndPhasesAsExchangeFormatsWriteThem) {
    EXPECT_EQ(IsoUtc(EncodeDate(2024, 3, 14) + EncodeTime(7, 42, 16, 123)), "2024-03-14T07:42:16.123000Z");
    EXPECT_EQ(IsoUtc(EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 999) + 0.5e-3 / 86400),
              "1999-12-31T23:59:59.999500Z");
    EXPECT_EQ(IsoUtc(EncodeDate(2000, 2, 29)), "2000-02-29T00:00:00.000000Z");
    EXPECT_EQ(PhaseOfWaveType("C"), "P");
    EXPECT_EQ(PhaseOfWaveType("D"), "P");
    EXPECT_EQ(PhaseOfWaveType("A"), "PA");
    EXPECT_EQ(PhaseOfWaveType("B"), "PB");
}

// A date or time no record can hold (another tool wrote the project) gives
// neither an origin time nor a catalogue date or time: it is never computed
// into one (1E30 days overflowed the time's conversion).
TEST(MechanismExport, ADateOutsideTheCalendarIsNoRecordStart) {
    struct Case {
        const char* date;
        const char* time;
        bool dateShown, timeShown;
    };
    const std::string lastDay = FloatToStr(EncodeDate(2100, 12, 31), '.');
    const std::string afterLast = FloatToStr(EncodeDate(2101, 1, 1), '.');
    const Case cases[] = {
        {"1E30", "0.25", false, true},
        {"45365", "1E30", true, false},
        {"-1E30", "-1E30", false, false},
        {"45365", "-0.25", true, false},
        {afterLast.c_str(), "0.5", false, true},
        {"0", "0.5", false, true},  // no date: 1899-12-30
        {lastDay.c_str(), "0.5", true, true},
        {"45365", "0.25", true, true},
    };
    const std::vector<StationSpec> specs = {{"1Z", 45, +1, 1.0, "C", 0.8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.date) + " " + c.time);
        test::TempDir dir;
        IniImage image = Document(dir, StrikeSlip(specs), specs);
        image.WriteString("Datas", "Date", c.date);
        image.WriteString("Datas", "Time", c.time);
        const TremorExport t = GatherTremor(image, dir.File("t.dym"), nullptr);
        const double date = std::stod(c.date), time = std::stod(c.time);
        EXPECT_EQ(t.recordStart, c.dateShown && c.timeShown ? date + time : 0.0);
        const std::vector<std::string> row = SolutionCsvFields("t.dym", t.record, '.');
        EXPECT_EQ(row[1], c.dateShown ? NumericDate(date) : "");
        EXPECT_EQ(row[2], c.timeShown ? NumericTime(time) : "");
    }
}
