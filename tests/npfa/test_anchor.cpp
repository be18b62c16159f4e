// Real data: the 24 example events of a widely used first-motion program,
// as straight-ray station geometry (tests/anchors/hash-example1), written
// as the program writes its solver files and solved by a full run.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "common/textfile.h"
#include "npfa/focalsearch.h"
#include "npfa/observations.h"
#include "npfa/solverrun.h"
#include "resultcolumns.h"
#include "support/tempdir.h"
#include "tools/focalsynth/focalsynth.h"

using namespace dyma;

namespace {

const std::string kAnchor = DYMA_SOURCE_DIR "/tests/anchors/hash-example1/";

struct AnchorPick {
    std::string station;
    double x, y, z;
    int polarity;
};

struct AnchorEvent {
    std::string id;
    double depth = 0;
    std::vector<AnchorPick> picks;
    int gridMinimum = 0;  // that program's 5-degree grid minimum
    int exhaustive1 = 0;  // the exhaustive 1-degree strike/dip/rake minimum
    focal::Plane exact1;  // its answer on the nominal rays
    int exact1Misfit = 0;
    char exact1Quality = 'D';
};

std::vector<std::string> DataLines(const std::string& file) {
    std::ifstream in(kAnchor + file);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

std::vector<AnchorEvent> LoadAnchor() {
    std::vector<AnchorEvent> events;
    std::map<std::string, size_t> index;
    for (const std::string& l : DataLines("events.txt")) {
        std::istringstream ss(l);
        AnchorEvent e;
        double x, y;
        ss >> e.id >> x >> y >> e.depth;
        index[e.id] = events.size();
        events.push_back(e);
    }
    for (const std::string& l : DataLines("stations.txt")) {
        std::istringstream ss(l);
        std::string id;
        AnchorPick p;
        ss >> id >> p.station >> p.x >> p.y >> p.z >> p.polarity;
        events[index.at(id)].picks.push_back(p);
    }
    for (const std::string& l : DataLines("min_misfit.txt")) {
        std::istringstream ss(l);
        std::string id;
        int npol, impulsive, grid5, at5;
        ss >> id >> npol;
        AnchorEvent& e = events[index.at(id)];
        ss >> e.gridMinimum >> impulsive >> grid5 >> at5 >> e.exhaustive1;
    }
    for (const std::string& l : DataLines("hash_answers.txt")) {
        std::istringstream ss(l);
        std::string id, run, skip;
        int sol;
        ss >> id >> run >> sol;
        if (run != "exact1") continue;
        AnchorEvent& e = events[index.at(id)];
        ss >> e.exact1.strike >> e.exact1.dip >> e.exact1.rake;
        for (int i = 0; i < 11; ++i) ss >> skip;  // aux plane, axes, uncertainties, npol, mfrac
        ss >> e.exact1Quality;
        for (int i = 0; i < 3; ++i) ss >> skip;  // prob, stdr, multiple
        ss >> e.exact1Misfit;
    }
    return events;
}

// NPF.DAT and NPF.NET as the program writes them: 4-character labels, every
// pick a direct wave of weight 1.0 (that program counts misfits unweighted),
// and the written polarity the one whose fitted polarity is the observed
// compression or dilatation (reversed for a station above the source).
void WriteAnchorEvent(const test::TempDir& dir, const AnchorEvent& e) {
    std::vector<std::string> dat{"WinDYMA", synth::DatSourceLine(0, 0, e.depth)};
    std::vector<std::string> net{synth::NetModelLine({114, 72, 4, 45})};
    std::set<std::string> listed;
    for (const AnchorPick& p : e.picks) {
        const bool keeps = focal::KeepsPolarity("C", p.z, e.depth, 0);
        dat.push_back(synth::DatLine(p.station, "C", keeps ? p.polarity : -p.polarity, 1.0));
        if (listed.insert(p.station).second) net.push_back(synth::NetLine(p.station, p.x, p.y, p.z));
    }
    WriteTextLines(dir.File("NPF.DAT"), dat);
    WriteTextLines(dir.File("NPF.NET"), net);
    WriteTextLines(dir.File("NPF.PAR"), synth::ParLines());
}

int ListedMinimum(const test::TempDir& dir) {
    for (const std::string& line : ReadTextLines(dir.File("NPF.PNY"))) {
        const size_t at = line.find("niezgodne odczyty: ");
        if (at != std::string::npos) return std::stoi(line.substr(at + 19));
    }
    return -1;
}

}  // namespace

TEST(AnchorHashExample1, AllEventsMeetTheReferenceMisfitsAndAnswers) {
    const std::vector<AnchorEvent> events = LoadAnchor();
    ASSERT_EQ(events.size(), 24u);
    size_t picks = 0;
    for (const AnchorEvent& e : events) picks += e.picks.size();
    ASSERT_EQ(picks, 1039u);

    std::printf("%-8s %4s %6s %6s %6s %6s %6s %5s %7s %4s %6s  %s\n", "event", "npol", "min", "ref5", "grid1", "pref",
                "exact1", "qual", "kagan", "q1", "acc-n", "solution (strike/dip/rake)");
    int within = 0, qualityA = 0;
    for (const AnchorEvent& e : events) {
        test::TempDir dir;
        WriteAnchorEvent(dir, e);
        std::ostringstream err;
        ASSERT_EQ(npfa::RunSolver(dir.Path().string(), err), 0) << e.id << ": " << err.str();

        test::ResFile res;
        std::string why;
        ASSERT_TRUE(test::ReadResColumns(ReadTextLines(dir.File("NPF.RES")), res, why)) << why;
        const focal::Plane solution{res.sa, res.da, res.ra};
        // The preferred solution's misfit, counted again on the rays of the
        // files as written.
        const auto dat = npfa::ParseDat(ReadTextLines(dir.File("NPF.DAT")), "NPF.DAT");
        const auto net = npfa::ParseNet(ReadTextLines(dir.File("NPF.NET")), "NPF.NET");
        const std::vector<npfa::Observation> obs = npfa::FittedObservations(npfa::BuildPickRows(dat, net));
        ASSERT_EQ(obs.size(), e.picks.size());
        const int preferred = npfa::MisfitCount(obs, solution);
        const int smallest = ListedMinimum(dir);
        const double kagan = focal::KaganAngle(solution, e.exact1);
        std::string quality;
        for (const std::string& line : ReadTextLines(dir.File("NPF.RES")))
            if (line.find("QUALITY") != std::string::npos) quality = line.substr(line.find("QUALITY") + 8, 1);

        std::printf("%-8s %4zu %6d %6d %6d %6d %6d %5s %7.1f %4c %6.0f  %.0f/%.0f/%.0f\n", e.id.c_str(), e.picks.size(),
                    smallest, e.gridMinimum, e.exhaustive1, preferred, e.exact1Misfit, quality.c_str(), kagan,
                    e.exact1Quality, res.acc * obs.size(), res.sa, res.da, res.ra);
        EXPECT_GE(smallest, 0) << e.id;
        EXPECT_LE(smallest, e.gridMinimum) << e.id;
        EXPECT_EQ(smallest, e.exhaustive1) << e.id;  // the same grid, searched another way
        EXPECT_LE(preferred, e.exact1Misfit) << e.id;
        if (e.exact1Quality == 'A') {
            ++qualityA;
            EXPECT_LE(kagan, 30) << e.id;
            within += kagan <= 30;
        }
    }
    std::printf("A-quality events within 30 degrees of the reference: %d of %d\n", within, qualityA);
}
