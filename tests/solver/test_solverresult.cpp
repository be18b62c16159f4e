#include "app/document/projectfile.h"
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

namespace {

SolutionQuality SampleQuality(size_t axes) {
    SolutionQuality q;
    q.quality = 'B';
    q.misfitCount = 3;
    q.polarityCount = 41;
    q.errorRate = 0.093;
    q.stationRatio = 0.712;
    q.azimuthGap = 87.5;
    q.takeOffGap = 42.25;
    q.locationError = 75;
    q.seamAngleError = 2.5;
    for (size_t i = 0; i < axes; ++i) {
        const double f = static_cast<double>(i);
        q.axes.push_back({std::fmod(3.7 * f, 360), std::fmod(1.3 * f, 90), std::fmod(183.1 + 2.9 * f, 360),
                          std::fmod(45.5 + 0.7 * f, 90)});
    }
    return q;
}

void ExpectSameQuality(const SolutionQuality& a, const SolutionQuality& b) {
    EXPECT_EQ(a.quality, b.quality);
    EXPECT_EQ(a.misfitCount, b.misfitCount);
    EXPECT_EQ(a.polarityCount, b.polarityCount);
    EXPECT_NEAR(a.errorRate, b.errorRate, 5e-4);
    EXPECT_NEAR(a.stationRatio, b.stationRatio, 5e-4);
    EXPECT_NEAR(a.azimuthGap, b.azimuthGap, 0.05);
    EXPECT_NEAR(a.takeOffGap, b.takeOffGap, 0.05);
    EXPECT_NEAR(a.locationError, b.locationError, 0.05);
    EXPECT_NEAR(a.seamAngleError, b.seamAngleError, 0.005);
    ASSERT_EQ(a.axes.size(), b.axes.size());
    for (size_t i = 0; i < a.axes.size(); ++i) {
        EXPECT_NEAR(a.axes[i].pTrend, b.axes[i].pTrend, 0.05) << i;
        EXPECT_NEAR(a.axes[i].pPlunge, b.axes[i].pPlunge, 0.05) << i;
        EXPECT_NEAR(a.axes[i].tTrend, b.axes[i].tTrend, 0.05) << i;
        EXPECT_NEAR(a.axes[i].tPlunge, b.axes[i].tPlunge, 0.05) << i;
    }
}

}  // namespace

TEST(SolverResult, QualityFileReachesTheRecordAndSurvivesTheProjectFile) {
    // Both separators of the project file, and the set empty, small and full.
    for (char sep : {'.', ','}) {
        for (size_t axes : {size_t{0}, size_t{7}, size_t{kMaxAcceptableAxes}}) {
            SCOPED_TRACE(std::string("separator ") + sep + ", axes " + std::to_string(axes));
            const SolutionQuality written = SampleQuality(axes);
            IniImage image = DocumentWithPicks();
            SolutionRecord r;
            ASSERT_TRUE(TakeSolverResult(ResLines(kStations), image, Settings{}, sep, r, QualityFileLines(written)));
            ASSERT_TRUE(r.AcceptableSet.has_value());
            ExpectSameQuality(*r.AcceptableSet, written);

            // Through the text of the project file and back.
            const IniImage reread = IniImage::FromText(image.ToText());
            SolutionRecord loaded;
            LoadResult(loaded, reread);
            ASSERT_TRUE(loaded.AcceptableSet.has_value());
            ExpectSameQuality(*loaded.AcceptableSet, written);
            EXPECT_EQ(loaded.SA, r.SA);  // the plain solution as before
        }
    }
}

TEST(SolverResult, WithoutAQualityFileTheResultIsAsBeforeAndOldFiguresGo) {
    IniImage image = DocumentWithPicks();
    SolutionRecord first;
    ASSERT_TRUE(TakeSolverResult(ResLines(kStations), image, Settings{}, '.', first, QualityFileLines(SampleQuality(5))));
    ASSERT_TRUE(image.ValueExists("Result", "Acceptable004"));

    // A later run of an older solver: no quality file.
    SolutionRecord second;
    ASSERT_TRUE(TakeSolverResult(ResLines(kStations), image, Settings{}, '.', second));
    EXPECT_FALSE(second.AcceptableSet.has_value());
    for (const char* key : {"Quality", "MisfitCount", "ErrorRate", "AcceptableCount", "Acceptable000", "Acceptable004"})
        EXPECT_FALSE(image.ValueExists("Result", key)) << key;
    SolutionRecord loaded;
    LoadResult(loaded, image);
    EXPECT_FALSE(loaded.AcceptableSet.has_value());
    EXPECT_TRUE(loaded.Exists);
    EXPECT_EQ(loaded.SA, second.SA);
}

TEST(SolverResult, ADamagedQualityFileLeavesThePlainResult) {
    const std::vector<std::string> good = QualityFileLines(SampleQuality(3));
    struct Case {
        const char* what;
        std::vector<std::string> lines;
    };
    std::vector<Case> cases;
    cases.push_back({"no header", {good.begin() + 1, good.end()}});
    cases.push_back({"an axis line missing", {good.begin(), good.end() - 1}});
    auto badNumber = good;
    badNumber[4] = "ERRORRATE x";
    cases.push_back({"a figure that does not convert", badNumber});
    auto badLetter = good;
    badLetter[1] = "QUALITY E";
    cases.push_back({"a letter beyond D", badLetter});
    auto badAxis = good;
    badAxis.back() = "1.0 2.0 3.0";
    cases.push_back({"an axis line of three angles", badAxis});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SolutionQuality q;
        std::string why;
        EXPECT_FALSE(ParseQualityFile(c.lines, q, why));
        EXPECT_FALSE(why.empty());
        IniImage image = DocumentWithPicks();
        SolutionRecord r;
        EXPECT_TRUE(TakeSolverResult(ResLines(kStations), image, Settings{}, '.', r, c.lines));
        EXPECT_FALSE(r.AcceptableSet.has_value());
        EXPECT_FALSE(image.ValueExists("Result", "Quality"));
    }
}
