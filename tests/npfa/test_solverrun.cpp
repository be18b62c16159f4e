// Whole runs in a working directory: the result file column by column, the
// picture the program's merge rules make of it, the listing, and every way
// the input can be wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/document/solutionmerge.h"
#include "common/textfile.h"
#include "npfa/focalsearch.h"
#include "npfa/observations.h"
#include "npfa/solverrun.h"
#include "resultcolumns.h"
#include "support/tempdir.h"
#include "tools/focalsynth/focalsynth.h"

using namespace dyma;
namespace fs = std::filesystem;

namespace {

synth::Event MineEvent(unsigned seed, int stations, double flip = 0) {
    std::mt19937 rng(seed);
    synth::Options o;
    o.stations = stations;
    o.flipShare = flip;
    return synth::MakeEvent(synth::RandomMechanism(rng), o, rng);
}

int RunIn(const test::TempDir& dir, std::string* errors = nullptr) {
    std::ostringstream err;
    const int status = npfa::RunSolver(dir.Path().string(), err);
    if (errors) *errors = err.str();
    return status;
}

test::ResFile ReadRes(const test::TempDir& dir) {
    test::ResFile res;
    std::string why;
    EXPECT_TRUE(test::ReadResColumns(ReadTextLines(dir.File("NPF.RES")), res, why)) << why;
    return res;
}

// The listing as text (it is written in code page 1250).
std::string Listing(const test::TempDir& dir) {
    std::string text;
    for (const std::string& line : ReadTextLines(dir.File("NPF.PNY"))) text += line + "\n";
    return text;
}

npfa::FocalSolution SolveInProcess(const test::TempDir& dir, std::vector<npfa::Observation>& obs) {
    return npfa::SolveWorkDir(dir.Path().string(), &obs);
}

}  // namespace

TEST(SolverRun, ResultFileCarriesTheSolutionInTheProgramsColumns) {
    test::TempDir dir;
    synth::Event ev = MineEvent(51, 24, 0.1);
    ev.picks[3].weight = 0.7;
    ev.picks[4].observed = 0;  // listed, not fitted
    synth::WriteEvent(dir.Path().string(), ev);
    ASSERT_EQ(RunIn(dir), 0);

    std::vector<npfa::Observation> obs;
    const npfa::FocalSolution sol = SolveInProcess(dir, obs);
    const test::ResFile res = ReadRes(dir);
    EXPECT_DOUBLE_EQ(res.x, ev.x);
    EXPECT_DOUBLE_EQ(res.y, ev.y);
    EXPECT_DOUBLE_EQ(res.z, ev.depth);
    ASSERT_EQ(res.rows.size(), ev.picks.size() - 1);  // the pick without polarity is not a station
    size_t row = 0;
    for (size_t i = 0; i < ev.picks.size(); ++i) {
        if (i == 4) continue;
        const test::ResRow& r = res.rows[row++];
        const synth::Pick& p = ev.picks[i];
        EXPECT_EQ(r.no, static_cast<double>(i + 1));
        EXPECT_EQ(r.channel, p.label);
        EXPECT_DOUBLE_EQ(r.xs, p.x);
        EXPECT_DOUBLE_EQ(r.ys, p.y);
        EXPECT_DOUBLE_EQ(r.zs, p.depth);
        EXPECT_DOUBLE_EQ(r.weight, p.observed * p.weight);
        focal::RayAngles ray;
        focal::ComputeRay(p.type, p.x - ev.x, p.y - ev.y, p.depth - ev.depth, ev.model, ray);
        EXPECT_NEAR(r.takeoff, ray.Angle, 0.05);
    }
    EXPECT_NEAR(res.acc, 1 - sol.misfit / sol.totalWeight, 5e-4);
    const auto angle = [](double written, double value) {
        EXPECT_NEAR(std::remainder(written - value, 360.0), 0, 0.05 + 1e-9);
    };
    angle(res.sa, sol.planeA.strike);
    angle(res.da, sol.planeA.dip);
    angle(res.ra, sol.planeA.rake);
    angle(res.sb, sol.planeB.strike);
    angle(res.rb, sol.planeB.dip);
    angle(res.db, sol.planeB.rake);
    angle(res.ptrend, sol.pAxis.trend);
    angle(res.pplunge, sol.pAxis.plunge);
    angle(res.ttrend, sol.tAxis.trend);
    angle(res.tplunge, sol.tAxis.plunge);
    EXPECT_NEAR(res.sab, sol.errorsA.strike, 0.05 + 1e-9);
    EXPECT_NEAR(res.dab, sol.errorsA.dip, 0.05 + 1e-9);
    EXPECT_NEAR(res.rab, sol.errorsA.rake, 0.05 + 1e-9);
    EXPECT_NEAR(res.sbb, sol.errorsB.strike, 0.05 + 1e-9);
    EXPECT_NEAR(res.rbb, sol.errorsB.dip, 0.5 + 1e-9);  // three columns: whole degrees from 10 on
    EXPECT_NEAR(res.dbb, sol.errorsB.rake, 0.5 + 1e-9);
    EXPECT_GT(res.sab + res.dab + res.rab, 0);
}

TEST(SolverRun, AfterTheMergeRulesEveryExplainedStationShowsTheSignOfItsQuadrant) {
    for (unsigned seed : {61u, 62u, 63u}) {
        test::TempDir dir;
        const synth::Event ev = MineEvent(seed, 30, 0.1);
        synth::WriteEvent(dir.Path().string(), ev);
        ASSERT_EQ(RunIn(dir), 0);
        const test::ResFile res = ReadRes(dir);

        // The program's side: a document with the picks' channels, the
        // record as its parser fills it, the merge, the station geometry.
        IniImage doc;
        for (size_t i = 0; i < ev.picks.size(); ++i) {
            doc.WriteString(ChannelSection(static_cast<int>(i) + 1), "Nazwa", ev.picks[i].label);
            doc.WriteString(ChannelSection(static_cast<int>(i) + 1), "WaveType", ev.picks[i].type);
        }
        SolutionRecord rec;
        rec.X = res.x;
        rec.Y = res.y;
        rec.Z = res.z;
        rec.StationCount = static_cast<int>(res.rows.size());
        for (size_t k = 0; k < res.rows.size(); ++k) {
            SolutionStation& st = rec.stations[k];
            st.Channel = res.rows[k].channel;
            st.XS = res.rows[k].xs;
            st.YS = res.rows[k].ys;
            st.ZS = res.rows[k].zs;
            st.Weight = res.rows[k].weight;
        }
        MergeDocumentIntoRecord(doc, rec);
        const focal::Plane a{res.sa, res.da, res.ra};
        int agreeing = 0;
        for (int k = 0; k < rec.StationCount; ++k) {
            const SolutionStation& st = rec.stations[static_cast<size_t>(k)];
            focal::RayAngles ray;
            ASSERT_EQ(focal::ComputeRay(st.Type, st.XS - rec.X, st.YS - rec.Y, st.ZS - rec.Z, ev.model, ray),
                      focal::RayResult::Computed);
            const double quadrant =
                focal::PAmplitude(focal::FaultNormal(a), focal::SlipVector(a), focal::RayVector(ray));
            agreeing += (quadrant > 0) == (st.Sign > 0);
        }
        EXPECT_NEAR(agreeing, res.acc * rec.StationCount, 0.5) << "seed " << seed;
    }
}

TEST(SolverRun, ListingShowsPicksSolutionAndSkippedChannels) {
    test::TempDir dir;
    synth::Event ev = MineEvent(71, 12);
    synth::WriteEvent(dir.Path().string(), ev);
    std::vector<std::string> dat = synth::DatLines(ev);
    dat.push_back(synth::DatLine("77Q", "C", 1, 1.0));  // no such channel in the NET
    WriteTextLines(dir.File("NPF.DAT"), dat);
    ASSERT_EQ(RunIn(dir), 0);
    const std::string pny = Listing(dir);
    EXPECT_NE(pny.find("77Q"), std::string::npos);
    EXPECT_NE(pny.find("niezgodne odczyty: 0 z 12"), std::string::npos);
    EXPECT_NE(pny.find("0,0,14,1,12,3,0"), std::string::npos);
    EXPECT_NE(pny.find("Jako"), std::string::npos);
    EXPECT_EQ(pny.find("BŁĄD"), std::string::npos);
    EXPECT_EQ(ReadRes(dir).rows.size(), 12u);
}

TEST(SolverRun, BadInputEndsWithAReasonAndNoResult) {
    const synth::Event ev = MineEvent(81, 12);
    const std::vector<std::string> dat = synth::DatLines(ev), net = synth::NetLines(ev), par = synth::ParLines();
    const auto cut = [](std::vector<std::string> v, size_t n, size_t chars = std::string::npos) {
        v.resize(n);
        if (chars != std::string::npos) v.back() = v.back().substr(0, chars);
        return v;
    };
    struct Case {
        const char* name;
        std::vector<std::string> dat, net, par;
        const char* says;
        bool writePar = true;
    } cases[] = {
        {"no NPF.PAR", dat, net, par, "NPF.PAR", false},
        {"empty NPF.PAR", dat, net, {}, "NPF.PAR"},
        {"truncated NPF.PAR", dat, net, cut(par, 2), "NPF.PAR, wiersz 3"},
        {"PAR names a missing file", dat, net, {"X.DAT", "NPF.RES", "NPF.PNY", "NPF.NET"}, "X.DAT"},
        {"empty DAT", {}, net, par, "NPF.DAT"},
        {"DAT without picks", cut(dat, 2), net, par, "Za mało polaryzacji"},
        {"truncated DAT", cut(dat, 6, 11), net, par, "Za mało polaryzacji"},
        {"garbage DAT", {"WinDYMA", "a b c"}, net, par, "NPF.DAT, wiersz 2"},
        {"empty NET", dat, {}, par, "NPF.NET"},
        {"truncated NET", dat, cut(net, 5, 20), par, "NPF.NET, wiersz 5"},
        {"garbage NET", dat, {"\x01\x02 zz", "yy"}, par, "NPF.NET, wiersz 1"},
        {"five polarities", cut(dat, 7), net, par, "Za mało polaryzacji do rozwiązania: 5"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        WriteTextLines(dir.File("NPF.DAT"), c.dat);
        WriteTextLines(dir.File("NPF.NET"), c.net);
        if (c.writePar) WriteTextLines(dir.File("NPF.PAR"), c.par);
        dir.Write("NPF.RES", "a result of an earlier run\r\n");
        std::string errors;
        EXPECT_EQ(RunIn(dir, &errors), npfa::kExitInput) << c.name;
        EXPECT_FALSE(FileExists(dir.File("NPF.RES"))) << c.name;
        EXPECT_NE(errors.find(c.says), std::string::npos) << c.name << ": " << errors;
        EXPECT_NE(Listing(dir).find("BŁĄD"), std::string::npos) << c.name;
    }
}

TEST(SolverRun, DamagedFilesNeverCrashOrLeaveAHalfResult) {
    // Random cuts and byte changes of good files: every run ends, either
    // with a complete result or with none.
    const synth::Event ev = MineEvent(91, 20);
    std::mt19937 rng(92);
    int solved = 0, refused = 0;
    for (int trial = 0; trial < 24; ++trial) {
        test::TempDir dir;
        synth::WriteEvent(dir.Path().string(), ev);
        const std::string target = dir.File(trial % 3 == 0 ? "NPF.NET" : trial % 3 == 1 ? "NPF.DAT" : "NPF.PAR");
        std::string bytes = test::ReadAll(target);
        if (trial % 2 == 0) {
            bytes.resize(std::uniform_int_distribution<size_t>(0, bytes.size())(rng));
        } else {
            for (int k = 0; k < 3; ++k)
                bytes[std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(rng)] =
                    static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
        }
        dir.Write(fs::path(target).filename().string(), bytes);
        const int status = RunIn(dir);
        if (status == 0) {
            ++solved;
            // A changed byte may rename the result in NPF.PAR.
            const std::string res = npfa::ParsePar(ReadTextLines(dir.File("NPF.PAR")), "NPF.PAR").res;
            test::ResFile parsed;
            std::string why;
            EXPECT_TRUE(test::ReadResColumns(ReadTextLines(dir.File(res)), parsed, why)) << why;
        } else {
            ++refused;
            EXPECT_FALSE(FileExists(dir.File("NPF.RES")));
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(solved, 0);
}

namespace {

// A command line through the system's shell, its output discarded. The
// shell of Windows strips the first and the last quote of a line that
// starts with one, so the whole line is quoted once more there.
int RunQuietly(const std::string& command) {
#ifdef _WIN32
    return std::system(("\"" + command + " >NUL 2>&1\"").c_str());
#else
    return std::system((command + " >/dev/null 2>&1").c_str());
#endif
}

}  // namespace

TEST(SolverExecutable, RunsInTheGivenOrTheCurrentDirectory) {
    // With its drive: the second run starts it from the test's folder.
    const std::string exe = fs::absolute(DYMA_PROGRAM_DIR "/repository/NPFA.EXE").make_preferred().string();
    ASSERT_TRUE(FileExists(exe)) << "the build copies the solver into the repository folder";
    test::TempDir dir;
    synth::WriteEvent(dir.Path().string(), MineEvent(101, 16));
    EXPECT_EQ(RunQuietly("\"" + exe + "\" \"" + dir.Path().string() + "\""), 0);
    EXPECT_TRUE(FileExists(dir.File("NPF.RES")));
    fs::remove(dir.File("NPF.RES"));
#ifdef _WIN32
    const std::string cd = "cd /d ";  // also to another drive
#else
    const std::string cd = "cd ";
#endif
    EXPECT_EQ(RunQuietly(cd + "\"" + dir.Path().string() + "\" && \"" + exe + "\""), 0);
    EXPECT_TRUE(FileExists(dir.File("NPF.RES")));

    fs::remove(dir.File("NPF.NET"));
    EXPECT_NE(RunQuietly("\"" + exe + "\" \"" + dir.Path().string() + "\""), 0);
    EXPECT_FALSE(FileExists(dir.File("NPF.RES")));
}
