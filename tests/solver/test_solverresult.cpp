#include "app/settings/settings.h"
#include "app/solver/solverfiles.h"
#include "app/solver/solverresult.h"
#include "common/focalmath.h"
#include "resbuilder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dyma;
using test::ResLines;

namespace {

IniImage DocumentWithPicks() {
    IniImage image;
    image.WriteString("Datas", "SignalFileShort", "ev01.mbj");
    const char* labels[] = {"12Z", "7Z"};
    const char* types[] = {"C", "A"};
    for (int i = 0; i < 2; ++i) {
        image.WriteString(ChannelSection(i + 1), "Nazwa", labels[i]);
        image.WriteString(ChannelSection(i + 1), "WaveType", types[i]);
    }
    return image;
}

// Source at depth 0.75 km; 12Z is deeper (the direct ray keeps its sign),
// 7Z is a seam wave.
const std::vector<test::ResStation> kStations = {
    {1, "12Z", 13.5, -3.25, 1.75, 0, 0, 1.0},
    {2, "7Z", 12.5, -1.25, 0.1, 0, 0, -0.5},
};

}  // namespace

TEST(SolverResult, ParsedMergedWithGeometryAndStored) {
    for (char sep : {'.', ','}) {
        IniImage image = DocumentWithPicks();
        Settings s;
        s.defaultAAngle = sep == ',' ? "112,5" : "112.5";
        SolutionRecord r;
        ASSERT_TRUE(TakeSolverResult(ResLines(kStations), image, s, sep, r));
        EXPECT_EQ(r.aa, 112.5);
        EXPECT_EQ(r.bb, 72);
        EXPECT_EQ(r.Tilt, 4);
        EXPECT_EQ(r.DrTilt, 45);
        EXPECT_EQ(r.SignalFileShort, "ev01.mbj");
        EXPECT_EQ(r.stations[0].Type, "C");
        EXPECT_EQ(r.stations[0].Sign, 1);
        EXPECT_NEAR(r.stations[0].Angle, 45, 1e-9);  // 1 km across, 1 km down
        EXPECT_EQ(r.stations[1].Type, "A");
        EXPECT_EQ(r.stations[1].Sign, -1);
        EXPECT_NEAR(r.stations[1].Angle, 112.5 + 4 * std::cos(45 * focal::kPi / 180), 1e-9);  // along the strike
        EXPECT_TRUE(image.ReadBool("Result", "Exists", false));
        EXPECT_EQ(image.ReadInteger("Result", "StationCount", 0), 2);
        EXPECT_EQ(image.ReadString("Station001", "Type", ""), "A");
    }
}

TEST(SolverResult, ABrokenResultNeverReplacesTheStoredOne) {
    IniImage image = DocumentWithPicks();
    SolutionRecord good;
    ASSERT_TRUE(TakeSolverResult(ResLines(kStations), image, Settings{}, '.', good));
    auto broken = ResLines(kStations);
    broken.pop_back();
    SolutionRecord r;
    EXPECT_FALSE(TakeSolverResult(broken, image, Settings{}, '.', r));
    EXPECT_TRUE(image.ReadBool("Result", "Exists", false));
    EXPECT_EQ(image.ReadString("Result", "SA", ""), "123.4");
}

TEST(SolverResult, LegacyResultTakesTypesFromTheDat) {
    PickRow a;
    a.Name = "12Z";
    a.WaveType = "B";
    a.FirstArrival = "+";
    a.Wage = 1;
    const std::vector<std::string> dat = {"DYMA", "     12.500     -3.250       .750", DatPickLine(a, 1, false)};
    SolutionRecord r;
    EXPECT_TRUE(TakeLegacyResult(ResLines(kStations), dat, Settings{}, '.', r));
    EXPECT_EQ(r.stations[0].Type, "B");
    EXPECT_EQ(r.stations[0].Sign, -1);  // "B" is negated
    EXPECT_NEAR(r.stations[0].Angle, 72 + 4 * std::cos((45 - 90) * focal::kPi / 180), 1e-9);
    EXPECT_EQ(r.stations[1].Type, "-");  // no pick line: as parsed
    EXPECT_EQ(r.stations[1].Sign, -1);
    // a result without "SOURCE:" still gets the DAT's source and is shown as far as it goes
    SolutionRecord partial;
    EXPECT_FALSE(TakeLegacyResult({"nothing"}, dat, Settings{}, '.', partial));
    EXPECT_EQ(partial.Z, 0.75);
    EXPECT_EQ(partial.aa, 114);
}
