#include "app/document/solutionmerge.h"

#include <gtest/gtest.h>

using namespace dyma;

namespace {

IniImage DocumentWith(const std::vector<std::pair<std::string, std::string>>& labelsAndTypes, bool reversed = false,
                      int polarity = 1) {
    IniImage ini;
    ini.WriteString("Datas", "SignalFileShort", "ev.mbj");
    ini.WriteBool("Datas", "ReversePolarization", reversed);
    int ident = 1;
    for (const auto& [label, type] : labelsAndTypes) {
        const std::string s = ChannelSection(ident++);
        ini.WriteInteger(s, "Polarity", polarity);
        ini.WriteString(s, "Nazwa", label);
        ini.WriteString(s, "WaveType", type);
    }
    return ini;
}

SolutionStation Station(const std::string& label, double weight, double zs, double xs = 1) {
    SolutionStation s;
    s.Channel = label;
    s.Weight = weight;
    s.XS = xs;
    s.ZS = zs;
    return s;
}

}  // namespace

TEST(SignRules, WhichRaysKeepTheirSign) {
    // source at depth 0.5 km; a station deeper than it is "below"
    struct Case {
        const char* type;
        double weight, zs;
        double sign;
    } cases[] = {
        {"A", 1.0, 0.0, 1},  {"A", -0.7, 0.0, -1}, {"B", 1.0, 0.0, -1}, {"B", -1.0, 0.9, 1},
        {"C", 1.0, 0.9, 1},  {"C", 1.0, 0.1, -1},  {"C", -0.1, 0.1, 1}, {"C", 0.0, 0.9, -1},  // weight 0 is "-"
        {"D", 1.0, 0.1, 1},  {"D", 1.0, 0.9, -1},  // "D": kept when leaving upward (Angle > 90)
    };
    for (const auto& c : cases) {
        IniImage ini = DocumentWith({{"12Z", c.type}});
        SolutionRecord r;
        r.Z = 0.5;
        r.StationCount = 1;
        r.stations[0] = Station("12Z", c.weight, c.zs);
        MergeDocumentIntoRecord(ini, r);
        EXPECT_EQ(r.stations[0].Sign, c.sign) << c.type << " " << c.weight << " " << c.zs;
        EXPECT_EQ(r.stations[0].SignString, c.sign > 0 ? "+" : "-");
        EXPECT_EQ(r.stations[0].Type, c.type);
    }
}

TEST(SignRules, UnmatchedStationGetsSignZero) {
    IniImage ini = DocumentWith({{"12Z", "A"}, {"-", "A"}});
    SolutionRecord r;
    r.StationCount = 2;
    r.stations[0] = Station("99Z", 1.0, 0);
    r.stations[1] = Station("-", 1.0, 0);  // a Nazwa of "-" never matches
    MergeDocumentIntoRecord(ini, r);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(r.stations[static_cast<size_t>(i)].Sign, 0);
        EXPECT_EQ(r.stations[static_cast<size_t>(i)].SignString, "-");
        EXPECT_EQ(r.stations[static_cast<size_t>(i)].Type, "-");
    }
    EXPECT_EQ(r.SignalFileShort, "ev.mbj");
}

TEST(SignRules, ReversedSensorsAndDocumentAreNotAppliedTwice) {
    // The solver fitted polarities already corrected for both, so the
    // displayed sign depends on the signed weight and the ray only.
    for (bool reversed : {false, true}) {
        for (int polarity : {1, -1}) {
            IniImage ini = DocumentWith({{"12Z", "A"}, {"13Z", "C"}}, reversed, polarity);
            SolutionRecord r;
            r.Z = 0.5;
            r.StationCount = 2;
            r.stations[0] = Station("12Z", 1.0, 0);
            r.stations[1] = Station("13Z", 1.0, 0.9);
            MergeDocumentIntoRecord(ini, r);
            EXPECT_EQ(r.stations[0].Sign, 1) << reversed << polarity;
            EXPECT_EQ(r.stations[1].Sign, 1) << reversed << polarity;
        }
    }
}

TEST(SignRules, LabelsCutToFourCharactersStillMatch) {
    IniImage ini = DocumentWith({{"123NS", "A"}});
    SolutionRecord r;
    r.StationCount = 1;
    r.stations[0] = Station("123N", 1.0, 0);
    MergeDocumentIntoRecord(ini, r);
    EXPECT_EQ(r.stations[0].Sign, 1);
    EXPECT_EQ(r.stations[0].Type, "A");
}

TEST(SignRules, DStationsGetTheDirectRayFirst) {
    IniImage ini = DocumentWith({{"12Z", "D"}});
    SolutionRecord r;
    r.Z = 0;
    r.StationCount = 1;
    r.stations[0] = Station("12Z", 1.0, -1, 1);  // above the source: Angle 135
    MergeDocumentIntoRecord(ini, r);
    EXPECT_NEAR(r.stations[0].Angle, 135, 1e-9);
    EXPECT_EQ(r.stations[0].Sign, 1);
}
