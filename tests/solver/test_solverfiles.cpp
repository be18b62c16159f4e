#include "app/settings/settings.h"
#include "app/solver/fixedcolumns.h"
#include "app/solver/solverfiles.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "support/recordingmessages.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dyma;

namespace {

PickRow Row(int ident, const std::string& name, const std::string& comp, const std::string& type,
            const std::string& first, double wage, bool active = true) {
    PickRow r;
    r.Ident = ident;
    r.Name = name;
    r.Skladowa = comp;
    r.WaveType = type;
    r.FirstArrival = first;
    r.Wage = wage;
    r.MarkerPosition = 1.5;
    r.Active = active;
    return r;
}

DataPageValues Page(const std::string& x, const std::string& y, const std::string& z, bool reversed = false) {
    DataPageValues p;
    p.X = x;
    p.Y = y;
    p.Z = z;
    p.ReversePolarization = reversed;
    return p;
}

}  // namespace

TEST(SolverFiles, DatCoordinatesAreKilometresWithDepthDown) {
    for (char sep : {'.', ','}) {
        const std::string x = sep == ',' ? "12345,6" : "12345.6";
        const auto dat = BuildDat(Page(x, "-500", "-650"), {}, {}, sep);
        ASSERT_EQ(dat.size(), 2u) << "no picks: only the two header lines";
        EXPECT_EQ(dat[0], "WinDYMA");
        EXPECT_EQ(dat[1], "     12.346      -.500       .650") << sep;
    }
    // a tremor above sea level has a negative depth; zero has no sign
    EXPECT_EQ(BuildDat(Page("0", "250", "1500"), {}, {}, '.')[1], "       .000       .250     -1.500");
}

TEST(SolverFiles, PickLinesCarryTheCorrectedPolarity) {
    struct Case {
        PickRow row;
        int channelPolarity;
        bool reversedDocument;
        const char* line;
    } cases[] = {
        {Row(1, "12", "Z", "C", "+", 1.0), 1, false, "12Z  C + 1.0        .0"},
        {Row(1, "12", "Z", "a", "-", 0.7), 1, false, "12Z  A -  .7        .0"},  // weight 70: " .7"
        {Row(1, "123", "NS", "B", "+", 0.3), 1, false, "123N B +  .3        .0"},  // label cut to four
        // a reversed sensor, a reversed document, both
        {Row(1, "12", "Z", "C", "+", 1.0), -1, false, "12Z  C - 1.0        .0"},
        {Row(1, "12", "Z", "C", "-", 1.0), 1, true, "12Z  C + 1.0        .0"},
        {Row(1, "12", "Z", "C", "+", 1.0), -1, true, "12Z  C + 1.0        .0"},
        // an unset first arrival stays unset whatever is reversed
        {Row(1, "12", "Z", "C", "0", 1.0), -1, false, "12Z  C 0 1.0        .0"},
        {Row(1, "12", "Z", "C", "0", 1.0), 1, true, "12Z  C 0 1.0        .0"},
    };
    for (const Case& c : cases) {
        const std::string line = DatPickLine(c.row, c.channelPolarity, c.reversedDocument);
        EXPECT_EQ(line, c.line) << c.row.Name << c.row.FirstArrival << c.channelPolarity << c.reversedDocument;
    }
    EXPECT_EQ(CharCount(DatPickLine(Row(1, "12", "Z", "C", "+", 1.0), 1, false)), 22u);
}

TEST(SolverFiles, InactiveRowsAreLeftOutAndPolaritiesFollowTheirRows) {
    const std::vector<PickRow> rows = {Row(1, "1", "Z", "C", "+", 1.0), Row(2, "2", "Z", "C", "+", 1.0, false),
                                       Row(3, "3", "Z", "C", "+", 1.0)};
    const auto dat = BuildDat(Page("1", "1", "1"), rows, {1, 1, -1}, '.');
    ASSERT_EQ(dat.size(), 4u);
    EXPECT_EQ(dat[2].substr(0, 8), "1Z   C +");
    EXPECT_EQ(dat[3].substr(0, 8), "3Z   C -");
}

TEST(SolverFiles, NetHoldsTheModelAndEveryChannel) {
    Settings s;  // 114, 72, dip 4, strike 45
    const std::vector<NetStation> stations = {{"123", "NS", 12345.6, -500, -650}, {"7", "Z", 0, 0, 250}};
    for (char sep : {'.', ','}) {
        const auto net = BuildNet(s, stations, sep);
        ASSERT_EQ(net.size(), 3u);
        EXPECT_EQ(net[0], " 114.00  72.00   4.00  45.00 0");
        EXPECT_EQ(net[1], "123N     12.346      -.500       .650");
        EXPECT_EQ(net[2], "7Z         .000       .000      -.250");
    }
    s.defaultAAngle = "112,5";
    EXPECT_EQ(BuildNet(s, {}, ',')[0], " 112.50  72.00   4.00  45.00 0");
}

TEST(SolverFiles, LocationQuestionAsksForAnyZeroCoordinate) {
    struct Case {
        const char *x, *y, *z;
        bool warning, asked;
    } cases[] = {
        {"0", "0", "0", false, false},      {"1", "2", "3", true, false}, {"0", "2", "3", true, true},
        {"1", "2", "0", true, true},        {"0", "0", "0", true, true},
    };
    for (const Case& c : cases) {
        for (bool answer : {true, false}) {
            test::RecordingMessages m;
            m.answer = answer;
            const bool goOn = CheckLocation(Page(c.x, c.y, c.z), c.warning, ',', m);
            EXPECT_EQ(m.questions.size(), c.asked ? 1u : 0u) << c.x << c.y << c.z << c.warning;
            EXPECT_EQ(goOn, !c.asked || answer);
        }
    }
    test::RecordingMessages m;
    m.answer = false;
    EXPECT_FALSE(CheckLocation(Page("0", "5.5", "-3"), true, ',', m));
    ASSERT_EQ(m.questions.size(), 1u);
    EXPECT_EQ(m.questions[0],
              "Wydaje się, że nie została wprowadzona poprawna lokalizacja wstrząsu: X = 0,00 Y = 5,50 Z = -3,00. Czy "
              "chcesz kontynuować przetwarzanie? Jeśli chcesz poprawić dane, wciśnij NIE i wprowadź prawidłowe "
              "współrzędne na zakładce Dane przetwarzanego dokumentu");
}

TEST(SolverFiles, WriteInputFilesStoresDatAndWritesThreeFiles) {
    for (char sep : {'.', ','}) {
        test::TempDir dir;
        IniImage image;
        image.WriteInteger(ChannelSection(2), "Polarity", -1);  // reversed sensor on the second channel
        SolverInput in;
        in.page = Page(sep == ',' ? "1234,5" : "1234.5", "-500", "-650", true);
        in.signal.SignalFile = "/data/ev.mbj";
        in.rows = {Row(1, "1", "Z", "C", "+", 1.0), Row(2, "2", "Z", "A", "+", 0.5)};
        in.stations = {{"1", "Z", 1000.25, 2000, -100}, {"2", "Z", 3000, 4000, -200}};

        WriteInputFiles(image, in, Settings{}, dir.Path().string(), sep);

        const std::string dat = test::ReadAll(dir.File("NPF.DAT"));
        const std::string net = test::ReadAll(dir.File("NPF.NET"));
        const std::string par = test::ReadAll(dir.File("NPF.PAR"));
        EXPECT_EQ(dat,
                  "WinDYMA\r\n      1.235      -.500       .650\r\n"
                  "1Z   C - 1.0        .0\r\n"   // reversed document
                  "2Z   A +  .5        .0\r\n");  // reversed document and sensor
        EXPECT_EQ(net.find(','), std::string::npos);
        EXPECT_NE(net.find("1Z        1.000      2.000       .100\r\n"), std::string::npos);
        // The six lines of the older solver, then the errors of the ray
        // trials from the settings (their defaults here).
        EXPECT_EQ(par, "NPF.DAT\r\nNPF.RES\r\nNPF.PNY\r\nNPF.NET\r\nNPF.BIN\r\n0,0,14,1,12,3,0\r\n50,5\r\n");

        EXPECT_EQ(ReadLines(image, "DATStringList"), SplitLines(dat));
        // the header and picks went into the image first
        EXPECT_EQ(image.ReadString("Channel002", "Nazwa", ""), "2Z");
        EXPECT_TRUE(image.ReadBool("Datas", "ReversePolarization", false));
    }
}

TEST(SolverFiles, ConversionErrorsLeaveNoSolverFile) {
    test::TempDir dir;
    SolverInput in;
    in.rows = {Row(1, "1", "Z", "C", "+", 1.0)};
    in.stations = {{"1", "Z", 0, 0, 0}};
    Settings bad;
    bad.defaultUpad = "cztery";
    IniImage image;
    EXPECT_THROW(WriteInputFiles(image, in, bad, dir.Path().string(), '.'), ConversionError);
    in.page.X = "12a";
    EXPECT_THROW(WriteInputFiles(image, in, Settings{}, dir.Path().string(), '.'), ConversionError);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(SolverFiles, TheSeventhParLineCarriesTheRayTrialErrorsFromTheSettings) {
    Settings s;
    s.defaultLocationError = "120";
    s.defaultSeamAngleError = " 3 ";
    for (char sep : {'.', ','}) {
        const std::vector<std::string> par = BuildPar(s, sep);
        ASSERT_EQ(par.size(), 7u);
        EXPECT_EQ(std::vector<std::string>(par.begin(), par.begin() + 6), BuildPar());
        EXPECT_EQ(par[6], "120,3");
    }
    s.defaultSeamAngleError = "x";
    EXPECT_THROW(BuildPar(s, '.'), ConversionError);
}
