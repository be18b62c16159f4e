// What the solver says about how well it knows its solution: the quality
// file beside the result, the ray trials, and error boxes that hold the
// truth as often as they claim.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "common/qualityfile.h"
#include "common/textfile.h"
#include "npfa/focalsearch.h"
#include "npfa/inputfiles.h"
#include "npfa/observations.h"
#include "npfa/solverrun.h"
#include "support/tempdir.h"
#include "tools/focalsynth/focalsynth.h"

using namespace dyma;

namespace {

synth::Event SmallNetworkEvent(unsigned seed, int picks, double flip) {
    std::mt19937 rng(seed);
    synth::Options o;
    o.smallNetwork = true;
    o.shareA = o.shareB = 0.25;
    o.stations = picks;
    o.flipShare = flip;
    return synth::MakeEvent(synth::RandomMechanism(rng), o, rng);
}

double Wrap(double d) {
    d = std::fmod(d, 360.0);
    if (d > 180) d -= 360;
    if (d <= -180) d += 360;
    return d;
}

bool InBox(const focal::Plane& p, const focal::Plane& c, const npfa::PlaneErrors& e) {
    return std::fabs(Wrap(p.strike - c.strike)) <= e.strike && std::fabs(p.dip - c.dip) <= e.dip &&
           std::fabs(Wrap(p.rake - c.rake)) <= e.rake;
}

// One of the truth's planes within plane A's box or plane B's, a plane near
// the vertical also in its form continued past it.
bool Covers(const npfa::FocalSolution& s, const focal::Plane& truth) {
    for (const focal::Plane& t : {truth, focal::AuxiliaryPlane(truth)})
        for (const focal::Plane& f : {t, focal::Plane{t.strike + 180, 180 - t.dip, -t.rake}})
            if (InBox(f, s.planeA, s.errorsA) || InBox(f, s.planeB, s.errorsB)) return true;
    return false;
}

}  // namespace

TEST(QualityFile, WrittenBesideTheResultWithTheSolutionsFigures) {
    for (const char* seventh : {"", "75,2.5"}) {
        SCOPED_TRACE(std::string("seventh line \"") + seventh + "\"");
        test::TempDir dir;
        const synth::Event ev = SmallNetworkEvent(7, 24, 0.1);
        synth::WriteEvent(dir.Path().string(), ev);
        std::vector<std::string> par = synth::ParLines();
        if (*seventh) par.push_back(seventh);
        WriteTextLines(dir.File("NPF.PAR"), par);
        std::ostringstream err;
        ASSERT_EQ(npfa::RunSolver(dir.Path().string(), err), 0) << err.str();

        SolutionQuality q;
        std::string why;
        ASSERT_TRUE(ParseQualityFile(ReadTextLines(dir.File(kQualityFileName)), q, why)) << why;
        std::vector<npfa::Observation> obs;
        const npfa::FocalSolution sol = npfa::SolveWorkDir(dir.Path().string(), &obs);
        EXPECT_EQ(q.quality, sol.quality);
        EXPECT_EQ(q.misfitCount, npfa::MisfitCount(obs, sol.planeA));
        EXPECT_EQ(q.polarityCount, static_cast<int>(obs.size()));
        EXPECT_NEAR(q.errorRate, sol.errorRate, 5e-4);
        EXPECT_NEAR(q.azimuthGap, sol.azimuthGap, 0.05);
        EXPECT_EQ(q.locationError, *seventh ? 75 : npfa::kDefaultLocationError);
        EXPECT_EQ(q.seamAngleError, *seventh ? 2.5 : npfa::kDefaultSeamAngleError);
        ASSERT_FALSE(q.axes.empty());
        EXPECT_LE(q.axes.size(), static_cast<size_t>(kMaxAcceptableAxes));
        ASSERT_EQ(q.axes.size(), sol.acceptableAxes.size());
        // The axes are those of double couples: P and T at right angles.
        for (const AcceptableAxes& a : q.axes) {
            const focal::Vec3 p = focal::RayVector(90 - a.pPlunge, a.pTrend);
            const focal::Vec3 t = focal::RayVector(90 - a.tPlunge, a.tTrend);
            EXPECT_NEAR(focal::Dot(p, t), 0, 0.01);
        }

        // A run that fails takes the quality file of an earlier run away
        // with the result.
        WriteTextLines(dir.File("NPF.DAT"), {"WinDYMA", "a b c"});
        EXPECT_NE(npfa::RunSolver(dir.Path().string(), err), 0);
        EXPECT_FALSE(FileExists(dir.File("NPF.RES")));
        EXPECT_FALSE(FileExists(dir.File(kQualityFileName)));
    }
}

TEST(RayTrials, MoveTheRaysAndWidenTheErrors) {
    const synth::Event ev = SmallNetworkEvent(17, 30, 0.1);
    test::TempDir dir;
    synth::WriteEvent(dir.Path().string(), ev);
    const auto dat = npfa::ParseDat(ReadTextLines(dir.File("NPF.DAT")), "NPF.DAT");
    const auto net = npfa::ParseNet(ReadTextLines(dir.File("NPF.NET")), "NPF.NET");
    const auto rows = npfa::BuildPickRows(dat, net);
    const auto obs = npfa::FittedObservations(rows);

    EXPECT_TRUE(npfa::RayTrials(dat, net, rows, 0, 0).empty());
    npfa::SearchSettings none, wide;
    wide.trials = npfa::RayTrials(dat, net, rows, 300, 10);
    ASSERT_EQ(wide.trials.size(), static_cast<size_t>(npfa::kRayTrials));
    double largest = 0;
    for (const auto& t : wide.trials) {
        ASSERT_EQ(t.size(), obs.size());
        for (size_t i = 0; i < t.size(); ++i)
            largest = std::max(largest, focal::Deg(std::acos(std::min(1.0, focal::Dot(t[i].ray, obs[i].ray)))));
    }
    EXPECT_GT(largest, 3);  // 300 m beside stations a few hundred metres away
    const npfa::FocalSolution a = npfa::SolveFocalMechanism(obs, none);
    const npfa::FocalSolution b = npfa::SolveFocalMechanism(obs, wide);
    EXPECT_EQ(a.trials, 0);
    EXPECT_EQ(b.trials, npfa::kRayTrials);
    const auto sum = [](const npfa::FocalSolution& s) {
        return s.errorsA.strike + s.errorsA.dip + s.errorsA.rake + s.errorsB.strike + s.errorsB.dip + s.errorsB.rake;
    };
    EXPECT_GT(sum(b), sum(a));
    EXPECT_GE(b.rmsRotation, a.rmsRotation);
}

TEST(ErrorBoxes, HoldTheTruthInMostEventsAndSayMoreWithMorePicks) {
    // Small mine networks with reversed polarities, as the solver meets
    // them; the boxes should hold the truth in about 90 % of events.
    struct Group {
        int picks;
        double flip;
    } groups[] = {{20, 0.2}, {40, 0.1}};
    double medianError[2] = {};
    for (size_t g = 0; g < 2; ++g) {
        int covered = 0, events = 0;
        std::vector<double> errors;
        for (unsigned seed = 1; seed <= 30; ++seed) {
            const synth::Event ev = SmallNetworkEvent(1000 * static_cast<unsigned>(groups[g].picks) + seed,
                                                      groups[g].picks, groups[g].flip);
            test::TempDir dir;
            synth::WriteEvent(dir.Path().string(), ev);
            const npfa::FocalSolution sol = npfa::SolveWorkDir(dir.Path().string());
            ++events;
            covered += Covers(sol, ev.truth);
            errors.push_back((sol.errorsA.strike + sol.errorsA.dip + sol.errorsA.rake) / 3);
        }
        std::sort(errors.begin(), errors.end());
        medianError[g] = errors[errors.size() / 2];
        SCOPED_TRACE(std::to_string(groups[g].picks) + " picks");
        EXPECT_GE(covered, events * 3 / 4) << covered << " of " << events;
        EXPECT_LT(medianError[g], 60);  // a box that says something
    }
    EXPECT_LT(medianError[1], medianError[0]);
}
