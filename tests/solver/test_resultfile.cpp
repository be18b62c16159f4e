#include "app/solver/resultfile.h"
#include "common/textfile.h"
#include "resbuilder.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace dyma;
using test::ResLines;
using test::ResStation;

namespace {
const std::vector<ResStation> kStations = {
    {1, "12Z", 10.5, 20.25, 0.5, 45.5, 120.0, 1.0},
    {2, "7Z", -1.125, 2.5, 0.875, 100.0, 300.5, -0.7},
    {3, "123N", 3, 4, 0.25, 10, 5, 0.0},  // weight 0 counts as a dilatation
};
}  // namespace

TEST(ResultFile, ReadsEveryFieldByItsColumns) {
    for (char sep : {'.', ','}) {
        SolutionRecord r;
        ASSERT_TRUE(ParseResult(r, ResLines(kStations), sep)) << sep;
        EXPECT_TRUE(r.Exists);
        EXPECT_DOUBLE_EQ(r.X, 12.5);
        EXPECT_DOUBLE_EQ(r.Y, -3.25);
        EXPECT_DOUBLE_EQ(r.Z, 0.75);
        ASSERT_EQ(r.StationCount, 3);  // the header rows are not stations
        const SolutionStation& a = r.stations[0];
        EXPECT_EQ(a.No, 1);
        EXPECT_EQ(a.Channel, "12Z");
        EXPECT_DOUBLE_EQ(a.XS, 10.5);
        EXPECT_DOUBLE_EQ(a.YS, 20.25);
        EXPECT_DOUBLE_EQ(a.ZS, 0.5);
        EXPECT_DOUBLE_EQ(a.TakeOff, 45.5);
        EXPECT_DOUBLE_EQ(a.Azimuth, 120);
        EXPECT_DOUBLE_EQ(a.Weight, 1.0);
        EXPECT_EQ(r.stations[2].Channel, "123N");
        EXPECT_DOUBLE_EQ(r.stations[1].XS, -1.125);
        const double signs[] = {1, -1, -1};
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(r.stations[static_cast<size_t>(k)].Sign, signs[k]) << k;
            EXPECT_EQ(r.stations[static_cast<size_t>(k)].SVP, 0);
            EXPECT_EQ(r.stations[static_cast<size_t>(k)].WT, 0);
        }
        EXPECT_DOUBLE_EQ(r.ACC, 0.925);
        EXPECT_DOUBLE_EQ(r.PTrend, 210.5);
        EXPECT_DOUBLE_EQ(r.TTrend, 30.25);
        EXPECT_DOUBLE_EQ(r.PPlunge, 78.5);
        EXPECT_DOUBLE_EQ(r.TPlunge, 11.5);
        const std::array<double, 12> copy = {123.4, 56.7, -89.1, 301.2, 33.3, -91.5, 5.5, 4.5, 12.5, 7.5, 6, 11};
        EXPECT_EQ(r.solverCopy, copy);
        EXPECT_EQ((std::array<double, 6>{r.SA, r.DA, r.RA, r.SB, r.RB, r.DB}),
                  (std::array<double, 6>{123.4, 56.7, -89.1, 301.2, 33.3, -91.5}));
        EXPECT_EQ((std::array<double, 6>{r.SAB, r.DAB, r.RAB, r.SBB, r.RBB, r.DBB}),
                  (std::array<double, 6>{5.5, 4.5, 12.5, 7.5, 6, 11}));
    }
}

TEST(ResultFile, StationNumbersAreRoundedHalfUp) {
    SolutionRecord r;
    ASSERT_TRUE(ParseResult(r, ResLines({{2.5, "1Z", 0, 0, 0, 0, 0, 1}, {7.4, "2Z", 0, 0, 0, 0, 0, 1}}), '.'));
    EXPECT_EQ(r.stations[0].No, 3);
    EXPECT_EQ(r.stations[1].No, 7);
}

TEST(ResultFile, AFileWrittenInStepsIsNotReadBeforeItIsWhole) {
    const auto whole = ResLines(kStations);
    for (size_t n = 0; n < whole.size(); ++n) {
        std::vector<std::string> part(whole.begin(), whole.begin() + static_cast<long>(n));
        SolutionRecord r;
        EXPECT_FALSE(ParseResult(r, part, '.')) << n << " lines";
        EXPECT_FALSE(r.Exists);
        // the last line cut in the middle of its first field
        if (n > 0 && part.back().size() > 12) {
            part.back().resize(12);
            EXPECT_FALSE(ParseResult(r, part, '.')) << n << " lines, the last one cut";
        }
    }
    SolutionRecord r;
    EXPECT_TRUE(ParseResult(r, whole, '.'));
}

// A solver that writes NPF.RES a few bytes at a time: while it runs, no
// prefix of the file counts as complete before the line ending after the
// error line, though a prefix cut inside the last field ("1" of "11.5")
// parses. Once the solver has exited, the file is what it is.
TEST(ResultFile, APrefixIsCompleteOnlyOnceItsLastLineIsEnded) {
    const std::string bytes = JoinLinesCrLf(ResLines(kStations));
    const size_t errorLineEnd = bytes.size() - 2;  // the CR after the error line
    ASSERT_EQ(bytes.substr(errorLineEnd), "\r\n");
    for (size_t n = 0; n <= bytes.size(); ++n) {
        const ResultText text = ResultTextOf(bytes.substr(0, n));
        EXPECT_EQ(ResultIsComplete(text, '.', false), n > errorLineEnd) << n << " bytes";
    }
    // Cut inside the last field: it parses; complete only when the solver
    // has exited.
    const std::string cut = bytes.substr(0, errorLineEnd - 3);
    SolutionRecord r;
    ASSERT_TRUE(ParseResult(r, ResultTextOf(cut).lines, '.'));
    EXPECT_EQ(r.TPlunge, 1.0);
    EXPECT_FALSE(ResultIsComplete(ResultTextOf(cut), '.', false));
    EXPECT_TRUE(ResultIsComplete(ResultTextOf(cut), '.', true));
    // More lines after the error line end it too.
    EXPECT_TRUE(ResultIsComplete(ResultTextOf(bytes + "x"), '.', false));
    EXPECT_FALSE(ResultIsComplete(ResultTextOf(bytes.substr(0, 40)), '.', true));
}

TEST(ResultFile, AnEmptyStationBlockStillReadsTheSolution) {
    std::vector<std::string> lines = ResLines({});
    SolutionRecord r;
    ASSERT_TRUE(ParseResult(r, lines, '.'));
    EXPECT_EQ(r.StationCount, 0);
    EXPECT_DOUBLE_EQ(r.SA, 123.4);
    EXPECT_DOUBLE_EQ(r.TPlunge, 11.5);
}

TEST(ResultFile, MoreThan96RowsKeepTheFirst96AndTheSolution) {
    std::vector<ResStation> many;
    for (int i = 1; i <= 100; ++i) many.push_back({double(i), std::to_string(i) + "Z", 0, 0, 0, 0, 0, 1});
    std::vector<std::string> lines = ResLines(many);
    // rows beyond the record's room are not even read
    for (std::string& l : lines)
        if (l.rfind(" 100", 0) == 0) l.replace(11, 9, "  garbage");
    SolutionRecord r;
    ASSERT_TRUE(ParseResult(r, lines, '.'));
    EXPECT_EQ(r.StationCount, 96);
    EXPECT_EQ(r.stations[95].Channel, "96Z");
    EXPECT_DOUBLE_EQ(r.DB, -91.5);
    EXPECT_DOUBLE_EQ(r.DBB, 11);
}

TEST(ResultFile, BrokenFilesReturnFalseWithoutThrowing) {
    auto with = [](size_t index, const std::string& text) {
        auto lines = ResLines(kStations);
        lines[index] = text;
        return lines;
    };
    const auto whole = ResLines(kStations);
    const size_t solution = whole.size() - 2, errors = whole.size() - 1;
    std::string badWeight = whole[6];
    badWeight.replace(51, 4, " x.5");
    std::string badAcc = whole[solution];
    badAcc.replace(0, 7, "   n/a ");
    std::string emptyTrend = whole[errors];
    emptyTrend.replace(72, 6, "      ");
    std::string cutErrors = whole[errors].substr(0, 70);
    const std::vector<std::vector<std::string>> broken = {
        {},
        {"no marker at all", "1", "2"},
        with(2, " S O U R C E"),  // no "SOURCE:" line
        with(3, " X Y Z:      abc"),
        with(6, badWeight),
        with(solution, badAcc),
        with(errors, emptyTrend),
        with(errors, cutErrors),
        {whole.begin(), whole.begin() + 8},  // the block never ends
    };
    for (size_t i = 0; i < broken.size(); ++i) {
        SolutionRecord r;
        bool ok = true;
        EXPECT_NO_THROW(ok = ParseResult(r, broken[i], '.'));
        EXPECT_FALSE(ok) << "case " << i;
        EXPECT_FALSE(r.Exists);
    }
}

TEST(ResultFile, AnUnreadableFileHasNoLines) {
    test::TempDir dir;
    EXPECT_TRUE(LoadResultLines(dir.File("NPF.RES")).empty());
    dir.Write("NPF.RES", "a\r\nb\r\n");
    EXPECT_EQ(LoadResultLines(dir.File("NPF.RES")), (std::vector<std::string>{"a", "b"}));
}
