// Reading NPF.PAR, the DAT and the NET in the program's and the older layout,
// and turning picks into fitted polarities.
#include <gtest/gtest.h>

#include <cmath>

#include "npfa/inputfiles.h"
#include "npfa/observations.h"
#include "tools/focalsynth/focalsynth.h"

using namespace dyma;
using namespace dyma::npfa;

namespace {

std::string ErrorOf(auto parse) {
    try {
        parse();
    } catch (const InputError& e) {
        return e.what();
    }
    return {};
}

}  // namespace

TEST(DatFile, ReadsBothLayoutsAndIsLenientWithBlanksAndShortLines) {
    const std::vector<std::string> lines = {
        "WinDYMA",
        "     12.346      -.500       .650",
        synth::DatLine("12Z", "C", 1, 1.0),  // program layout: 4-character label
        "",
        synth::DatLine("7N", "A", -1, 0.7),
        "1234ZB + 0.5",  // older layout: 5-character label, no trailing field
        "13Z  C -",      // short: no weight, so weight 0
        "14Z  C",        // no polarity
        "12.03.1999 / remark of the older workflow",
        "15Z  c +  .4       .0",  // lower-case wave type
        "#### end of picks",
        "garbage after the trailer is never read 1.x",
    };
    const DatFile dat = ParseDat(lines, "NPF.DAT");
    EXPECT_EQ(dat.title, "WinDYMA");
    EXPECT_DOUBLE_EQ(dat.x, 12.346);
    EXPECT_DOUBLE_EQ(dat.y, -0.5);
    EXPECT_DOUBLE_EQ(dat.depth, 0.65);
    ASSERT_EQ(dat.picks.size(), 6u);
    struct Expect {
        const char* label;
        const char* type;
        char pol;
        double weight;
        int line;
    } expected[] = {{"12Z", "C", '+', 1.0, 3}, {"7N", "A", '-', 0.7, 5},  {"1234Z", "B", '+', 0.5, 6},
                    {"13Z", "C", '-', 0.0, 7}, {"14Z", "C", '0', 0.0, 8}, {"15Z", "C", '+', 0.4, 10}};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(dat.picks[i].label, expected[i].label);
        EXPECT_EQ(dat.picks[i].waveType, expected[i].type);
        EXPECT_EQ(dat.picks[i].polarity, expected[i].pol);
        EXPECT_DOUBLE_EQ(dat.picks[i].weight, expected[i].weight);
        EXPECT_EQ(dat.picks[i].line, expected[i].line);
    }
    EXPECT_EQ(dat.skippedLines, std::vector<int>{9});
}

TEST(DatFile, BadContentNamesTheFileAndTheLine) {
    struct Case {
        std::vector<std::string> lines;
        const char* says;
    } cases[] = {
        {{}, "pusty"},
        {{"WinDYMA"}, "wiersz 2"},
        {{"WinDYMA", "  1.0  2.0"}, "wiersz 2"},
        {{"WinDYMA", "  1.0  x.0  3.0"}, "wiersz 2: Y \"x.0\" nie jest liczbą"},
        {{"WinDYMA", "1 2 3", "12Z  C + 1.0", "13Z  C + 1,0"}, "NPF.DAT, wiersz 4: waga \"1,0\""},
        {{"WinDYMA", "1 2 3", "random text that is no pick at all"}, "wiersz 3"},
    };
    for (const Case& c : cases) {
        const std::string err = ErrorOf([&] { ParseDat(c.lines, "NPF.DAT"); });
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
    }
}

TEST(NetFile, ReadsTheModelAndStationsAndRejectsBrokenLines) {
    const NetFile net = ParseNet({synth::NetModelLine({114, 72, 4, 45}), synth::NetLine("12Z", 1.5, -2.25, 0.75), "",
                                  "1234Z     -3.000      4.000      1.000", synth::NetLine("12Z", 9, 9, 9)},
                                 "NPF.NET");
    EXPECT_DOUBLE_EQ(net.model.aa, 114);
    EXPECT_DOUBLE_EQ(net.model.bb, 72);
    EXPECT_DOUBLE_EQ(net.model.tilt, 4);
    EXPECT_DOUBLE_EQ(net.model.drtilt, 45);
    ASSERT_EQ(net.stations.size(), 3u);
    ASSERT_NE(net.Find("12Z"), nullptr);
    EXPECT_DOUBLE_EQ(net.Find("12Z")->y, -2.25);  // the first of two lines with one label
    EXPECT_DOUBLE_EQ(net.Find("1234Z")->x, -3);
    EXPECT_EQ(net.Find("99Z"), nullptr);

    struct Case {
        std::vector<std::string> lines;
        const char* says;
    } cases[] = {
        {{""}, "pusty"},
        {{"114.00  72.00"}, "wiersz 1"},
        {{"114.00  72.00   a.00  45.00 0"}, "upad warstw \"a.00\""},
        {{"114 72 4 45", "12Z      1.500     -2.2"}, "wiersz 2"},  // cut in the middle
        {{"114 72 4 45", "12Z      1.500     -2.250      7..5"}, "wiersz 2: głębokość"},
    };
    for (const Case& c : cases) {
        const std::string err = ErrorOf([&] { ParseNet(c.lines, "NPF.NET"); });
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
    }
}

TEST(ParFile, NeedsTheFourNamesItUses) {
    const ParFile par = ParsePar(synth::ParLines(), "NPF.PAR");
    EXPECT_EQ(par.dat, "NPF.DAT");
    EXPECT_EQ(par.res, "NPF.RES");
    EXPECT_EQ(par.pny, "NPF.PNY");
    EXPECT_EQ(par.net, "NPF.NET");
    EXPECT_EQ(par.bin, "NPF.BIN");
    EXPECT_EQ(par.parameters, "0,0,14,1,12,3,0");
    EXPECT_NE(ErrorOf([] { ParsePar({"NPF.DAT", "NPF.RES"}, "NPF.PAR"); }).find("wiersz 3"), std::string::npos);
    EXPECT_NE(ErrorOf([] { ParsePar({}, "NPF.PAR"); }).find("wiersz 1"), std::string::npos);
    // A result named like an input would overwrite the operator's file.
    EXPECT_FALSE(ErrorOf([] { ParsePar({"NPF.DAT", "NPF.DAT", "NPF.PNY", "NPF.NET"}, "NPF.PAR"); }).empty());
}

TEST(Observations, FitThePolarityTheProgramShows) {
    // Source at depth 1 km. The fitted polarity is the written one, reversed
    // except for "A", for "C" below the source and for "D" leaving upward.
    DatFile dat;
    dat.depth = 1.0;
    NetFile net;
    net.model = {114, 72, 0, 0};
    net.stations = {{2, "DN", 1, 0, 2}, {3, "UP", 1, 0, 0.5}, {4, "ZZ", 0, 0, 0.2}};
    struct Case {
        const char* label;
        const char* type;
        char pol;
        double weight;
        int fitted;
    } cases[] = {
        {"DN", "C", '+', 1, 1}, {"UP", "C", '+', 1, -1}, {"UP", "A", '+', 1, 1},  {"UP", "B", '+', 1, -1},
        {"UP", "D", '+', 1, 1}, {"DN", "D", '+', 1, -1}, {"DN", "C", '-', 1, -1}, {"DN", "C", '0', 1, 0},
        {"DN", "C", '+', 0, 0}, {"XX", "C", '+', 1, 0},  {"DN", "-", '+', 1, 0},  {"ZZ", "C", '-', 1, 1},
        {"ZZ", "A", '+', 1, 0},  // a seam wave has no direction to a station straight above
    };
    for (const Case& c : cases) dat.picks.push_back({0, c.label, c.type, c.pol, c.weight});
    const std::vector<PickRow> rows = BuildPickRows(dat, net);
    ASSERT_EQ(rows.size(), std::size(cases));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].fitted, cases[i].fitted) << i << " " << cases[i].label << " " << cases[i].type;
        EXPECT_EQ(rows[i].fitted == 0, !rows[i].note.empty()) << i;
    }
    EXPECT_NEAR(rows[0].takeoff, 45, 1e-9);
    EXPECT_NEAR(rows[0].azimuth, 0, 1e-9);
    EXPECT_NEAR(rows[2].takeoff, 114, 1e-9);   // the model angle
    EXPECT_NEAR(rows[11].takeoff, 180, 1e-9);  // straight up: a ray the fit can still use
    const std::vector<npfa::Observation> obs = FittedObservations(rows);
    EXPECT_EQ(obs.size(), 8u);
    EXPECT_NEAR(obs.back().ray.z, -1, 1e-12);
}

TEST(Observations, CoordinatesBeyondTheNumbersNeverGiveAFittedRayThatIsNoDirection) {
    // Found by fuzzing: a station 3e196 km away gave a NaN ray to the fit.
    DatFile dat;
    dat.x = -1.7e308;
    dat.depth = 1.0;
    NetFile net;
    net.model = {114, 72, 4, 45};
    net.stations = {{2, "FAR", 2.0, -3e196, 1.2}, {3, "OUT", 1.7e308, 0, 0.5}};
    dat.picks = {{0, "FAR", "C", '+', 1.0}, {0, "OUT", "C", '+', 1.0}};
    const std::vector<PickRow> rows = BuildPickRows(dat, net);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(rows[0].fitted, 0);  // far, but a direction
    EXPECT_EQ(rows[1].fitted, 0);  // the difference of the coordinates overflows
    EXPECT_EQ(rows[1].note, "współrzędne stacji lub ogniska poza zakresem");
    for (const npfa::Observation& o : FittedObservations(rows)) {
        EXPECT_TRUE(std::isfinite(o.ray.x) && std::isfinite(o.ray.y) && std::isfinite(o.ray.z));
        EXPECT_NEAR(o.ray.x * o.ray.x + o.ray.y * o.ray.y + o.ray.z * o.ray.z, 1, 1e-12);
    }
}

TEST(ParFile, AnAddedSeventhLineGivesTheErrorsOfTheRayTrials) {
    struct Case {
        const char* line;
        double location, angle;
        const char* says;  // empty: read
    } cases[] = {
        {"75,2.5", 75, 2.5, ""},
        {" 0 ; 0 ", 0, 0, ""},
        {"120 10", 120, 10, ""},
        {"50", 0, 0, "wiersz 7"},
        {"50,5,30", 0, 0, "wiersz 7"},
        {"a,5", 0, 0, "błąd lokalizacji"},
        {"-10,5", 0, 0, "poza zakresem"},
        {"50,60", 0, 0, "poza zakresem"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = synth::ParLines();
        lines.push_back(c.line);
        const std::string err = ErrorOf([&] {
            const ParFile par = ParsePar(lines, "NPF.PAR");
            EXPECT_TRUE(par.errorsGiven) << c.line;
            EXPECT_EQ(par.locationError, c.location) << c.line;
            EXPECT_EQ(par.seamAngleError, c.angle) << c.line;
        });
        if (*c.says == 0)
            EXPECT_EQ(err, "") << c.line;
        else
            EXPECT_NE(err.find(c.says), std::string::npos) << c.line << ": " << err;
    }
    // The older six lines, or a blank seventh: the defaults.
    for (const std::vector<std::string>& lines : {synth::ParLines(), [] {
             auto l = synth::ParLines();
             l.push_back("  ");
             return l;
         }()}) {
        const ParFile par = ParsePar(lines, "NPF.PAR");
        EXPECT_FALSE(par.errorsGiven);
        EXPECT_EQ(par.locationError, kDefaultLocationError);
        EXPECT_EQ(par.seamAngleError, kDefaultSeamAngleError);
    }
}
