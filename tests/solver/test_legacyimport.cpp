#include "app/solver/fixedcolumns.h"
#include "app/solver/legacyimport.h"
#include "app/solver/solverfiles.h"
#include "support/recordingmessages.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace dyma;

namespace {

std::string PickLine(const std::string& label, const char* type, const char* first = "+") {
    PickRow r;
    r.Name = label;
    r.WaveType = type;
    r.FirstArrival = first;
    r.Wage = 1.0;
    return DatPickLine(r, 1, false);
}

// A DAT with `picks` pick lines labelled 1Z, 2Z, ... and a NET that knows
// the first `known` of them.
std::vector<std::string> Dat(int picks) {
    std::vector<std::string> dat = {"WinDYMA", "     12.346      -.500       .650"};
    for (int i = 1; i <= picks; ++i) dat.push_back(PickLine(std::to_string(i) + "Z", "C"));
    return dat;
}
std::vector<std::string> Net(int known) {
    std::vector<std::string> net = {" 114.00  72.00   4.00  45.00 0"};
    for (int i = 1; i <= known; ++i) net.push_back(LeftField(std::to_string(i) + "Z", 4) + "      1.000      2.000       .100");
    return net;
}

}  // namespace

TEST(LegacyImport, TrailerAndCommentLinesAreRemovedFirst) {
    std::vector<std::string> dat = Dat(3);
    dat.insert(dat.begin() + 3, "// a comment with a slash");
    dat.push_back("#### end of picks");
    dat.push_back("99Z  C + 1.0        .0");  // after the trailer: gone
    const LegacyDatCheck check = PrepareLegacyDat(dat, Net(3));
    EXPECT_EQ(dat, Dat(3));
    EXPECT_EQ(check.missingCount, 0);
}

TEST(LegacyImport, MissingChannelsAndTheCountRule) {
    struct Case {
        int picks, known;
        bool goesOn;
        const char* warning;
    } cases[] = {
        {10, 10, true, nullptr},
        {10, 8, false,
         "W pliku NET brak informacji o niektórych kanałach pomiarowych: 9Z 10Z. Pozostała ilość kanałów jest za mała "
         "do rozpoczęcia przetwarzania. "},  // 12 lines - 2 = 10: not enough
        {11, 9, true,
         "W pliku NET brak informacji o niektórych kanałach pomiarowych: 10Z 11Z. Kanały te zostaną zignorowane w "
         "przetwarzaniu."},  // 13 lines - 2 = 11
        {3, 3, true, nullptr},  // no missing channel: no count check
    };
    for (const Case& c : cases) {
        std::vector<std::string> dat = Dat(c.picks);
        test::RecordingMessages m;
        EXPECT_EQ(PrepareLegacyFiles(dat, Net(c.known), m), c.goesOn) << c.picks << " " << c.known;
        if (c.warning) {
            ASSERT_EQ(m.warnings.size(), 1u);
            EXPECT_EQ(m.warnings[0], c.warning);
        } else {
            EXPECT_TRUE(m.Silent());
        }
        EXPECT_EQ(dat.size(), static_cast<size_t>(c.picks + 2)) << "missing channels stay in the DAT";
    }
}

TEST(LegacyImport, InputFilesAreWrittenAsPrepared) {
    test::TempDir dir;
    WriteLegacyInputFiles(dir.Path().string(), Dat(1), {"net line"});
    EXPECT_EQ(test::ReadAll(dir.File("NPF.NET")), "net line\r\n");
    EXPECT_EQ(test::ReadAll(dir.File("NPF.DAT")), "WinDYMA\r\n     12.346      -.500       .650\r\n1Z   C + 1.0        .0\r\n");
    EXPECT_EQ(test::ReadAll(dir.File("NPF.PAR")).substr(0, 9), "NPF.DAT\r\n");
}

TEST(LegacyImport, MergeDatSetsTypesAndSignsWithoutPolarityFactors) {
    const std::vector<std::string> dat = {
        "DYMA", "     12.346      -.500       .650",
        PickLine("1Z", "A", "-"),  PickLine("2Z", "C"), PickLine("3Z", "C"), PickLine("4Z", "D"),
        "5Z   B +",  // shorter than 10 characters: never a pick line
    };
    struct Row {
        const char* label;
        double weight, zs, xs;
        const char* type;
        double sign;
    } rows[] = {
        {"1Z", 1.0, 0.0, 1, "A", 1},   // seam wave A keeps its sign
        {"2Z", 1.0, 0.9, 1, "C", 1},   // direct wave, station deeper than the source
        {"3Z", -1.0, 0.1, 1, "C", 1},  // direct wave, station above: negated
        {"4Z", 1.0, 0.0, 1, "D", 1},   // "D" leaving upward (Angle > 90) keeps it
        {"5Z", 1.0, 0.0, 1, "-", 1},   // no pick line: left as parsed
        {"9Z", -0.5, 0.0, 1, "-", -1},
    };
    SolutionRecord r;
    r.StationCount = static_cast<int>(std::size(rows));
    for (size_t k = 0; k < std::size(rows); ++k) {
        SolutionStation& st = r.stations[k];
        st.Channel = rows[k].label;
        st.Weight = rows[k].weight;
        st.Sign = st.Weight > 0 ? 1 : -1;
        st.XS = 12.346 + rows[k].xs;
        st.YS = -0.5;
        st.ZS = rows[k].zs;
    }
    MergeDat(r, dat, ',');
    EXPECT_DOUBLE_EQ(r.X, 12.346);
    EXPECT_DOUBLE_EQ(r.Y, -0.5);
    EXPECT_DOUBLE_EQ(r.Z, 0.65);
    for (size_t k = 0; k < std::size(rows); ++k) {
        const SolutionStation& st = r.stations[k];
        EXPECT_EQ(st.Type, rows[k].type) << rows[k].label;
        EXPECT_EQ(st.Sign, rows[k].sign) << rows[k].label;
        if (st.Type != "-") {
            EXPECT_EQ(st.SignString, st.Sign > 0 ? "+" : "-");
        }
    }
    EXPECT_GT(r.stations[3].Angle, 90);  // the direct ray was computed for "D"
}
