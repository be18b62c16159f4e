// The search itself: exactness against an exhaustive scan of the grid, the
// fit of noise-free events, the region a few stations leave open, and the
// accuracy that a well-covered focal sphere allows.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "npfa/fastatan.h"
#include "npfa/focalsearch.h"
#include "tools/focalsynth/focalsynth.h"

using namespace dyma;
using npfa::Observation;

namespace {

std::vector<Observation> ObservationsOf(const synth::Event& ev) {
    std::vector<Observation> obs;
    for (const synth::Pick& p : ev.picks) obs.push_back({p.ray, p.fitted, p.weight});
    return obs;
}

// Every mechanism of a grid with `step` degrees, straight from the
// definition: the polarity is the sign of 2 (n.r)(u.r).
template <typename Visit>
void ScanGrid(const std::vector<Observation>& obs, int step, Visit visit) {
    std::vector<double> a(obs.size()), p(obs.size()), q(obs.size());
    for (int s = 0; s < 360; s += step) {
        for (int d = 0; d <= 90; d += step) {
            const double sr = focal::Rad(s), dr = focal::Rad(d);
            const focal::Vec3 n{-std::sin(dr) * std::sin(sr), std::sin(dr) * std::cos(sr), -std::cos(dr)};
            const focal::Vec3 es{std::cos(sr), std::sin(sr), 0};
            const focal::Vec3 ed{std::cos(dr) * std::sin(sr), -std::cos(dr) * std::cos(sr), -std::sin(dr)};
            for (size_t i = 0; i < obs.size(); ++i) {
                a[i] = focal::Dot(n, obs[i].ray);
                p[i] = focal::Dot(es, obs[i].ray);
                q[i] = focal::Dot(ed, obs[i].ray);
            }
            for (int r = -179; r <= 180; r += step) {
                const double c = std::cos(focal::Rad(r)), si = std::sin(focal::Rad(r));
                double misfit = 0;
                for (size_t i = 0; i < obs.size(); ++i) {
                    const double amp = a[i] * (p[i] * c + q[i] * si);
                    if (!(amp * obs[i].polarity > 0)) misfit += obs[i].weight;
                }
                visit(focal::Plane{double(s), double(d), double(r)}, misfit);
            }
        }
    }
}

synth::Event Noisy(unsigned seed, int stations, double flip, bool weights) {
    std::mt19937 rng(seed);
    synth::Options o;
    o.stations = stations;
    o.flipShare = flip;
    synth::Event ev = synth::MakeEvent(synth::RandomMechanism(rng), o, rng);
    if (weights) {
        std::uniform_int_distribution<int> w(1, 10);
        for (synth::Pick& p : ev.picks) p.weight = w(rng) / 10.0;
    }
    return ev;
}

}  // namespace

TEST(FastAtan2, StaysWithinItsErrorBoundAllRoundTheCircle) {
    double worst = 0;
    for (int i = 0; i <= 2000000; ++i) {
        const double angle = -focal::kPi + 2 * focal::kPi * i / 2000000.0;
        for (double radius : {1e-3, 1.0, 7.5}) {
            const double y = radius * std::sin(angle), x = radius * std::cos(angle);
            double e = std::fabs(npfa::FastAtan2Deg(y, x) - focal::Deg(std::atan2(y, x)));
            if (e > 180) e = std::fabs(e - 360);
            worst = std::max(worst, e);
        }
    }
    EXPECT_LT(worst, npfa::kFastAtan2ErrorDeg);
    EXPECT_EQ(npfa::FastAtan2Deg(0, 0), 0);
}

TEST(Search, FindsTheMinimumAndTheAcceptableSetOfAnExhaustiveScan) {
    // Noisy events of few stations have wide, ragged acceptable sets: the
    // hardest case for the bounds. Weighted and unweighted.
    struct Case {
        unsigned seed;
        int stations;
        double flip;
        bool weights;
    } cases[] = {{11, 10, 0.2, false}, {12, 12, 0.25, true}, {13, 7, 0.0, false}};
    for (const Case& c : cases) {
        const synth::Event ev = Noisy(c.seed, c.stations, c.flip, c.weights);
        const std::vector<Observation> obs = ObservationsOf(ev);
        const npfa::FocalSolution sol = npfa::SolveFocalMechanism(obs);

        double least = 1e9;
        ScanGrid(obs, 1, [&](const focal::Plane&, double m) { least = std::min(least, m); });
        long long acceptable = 0;
        const double threshold = least + sol.tolerance + 1e-9;
        ScanGrid(obs, 1, [&](const focal::Plane&, double m) { acceptable += m <= threshold; });

        SCOPED_TRACE("seed " + std::to_string(c.seed));
        EXPECT_NEAR(sol.minimum, least, 1e-9);
        EXPECT_NEAR(npfa::WeightedMisfit(obs, sol.best), least, 1e-9);
        // The preferred solution gives up at most one polarity of mean
        // weight to the best, and only where the best misfits some.
        const double meanWeight = sol.totalWeight / static_cast<double>(obs.size());
        EXPECT_NEAR(npfa::WeightedMisfit(obs, sol.planeA), sol.misfit, 1e-9);
        EXPECT_LE(sol.misfit, least + (least > 0 ? meanWeight : 0) + 1e-9);
        EXPECT_EQ(sol.acceptableCount, acceptable);
        EXPECT_GT(sol.acceptableCount, 0);
    }
}

TEST(Search, NoiseFreeEventsAreExplainedCompletely) {
    // Direct and seam waves together; finding a misfit above the truth's
    // zero would mean the search missed the minimum.
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        synth::Options o;
        o.stations = 8 + static_cast<int>(seed) * 6;
        const synth::Event ev = synth::MakeEvent(synth::RandomMechanism(rng), o, rng);
        const std::vector<Observation> obs = ObservationsOf(ev);
        const npfa::FocalSolution sol = npfa::SolveFocalMechanism(obs);
        EXPECT_EQ(npfa::MisfitCount(obs, sol.planeA), 0) << "seed " << seed;
        EXPECT_EQ(sol.misfit, 0);
        // Plane B and the axes describe the same double couple.
        EXPECT_NEAR(focal::KaganAngle(sol.planeA, sol.planeB), 0, 1e-4);
        EXPECT_EQ(npfa::MisfitCount(obs, sol.planeB), 0);
    }
}

TEST(Search, FewStationsGiveASolutionInsideTheRegionThatExplainsThemAll) {
    for (int stations : {12, 20}) {
        for (unsigned seed = 21; seed <= 23; ++seed) {
            std::mt19937 rng(seed + 100 * stations);
            synth::Options o;
            o.stations = stations;
            const synth::Event ev = synth::MakeEvent(synth::RandomMechanism(rng), o, rng);
            const std::vector<Observation> obs = ObservationsOf(ev);
            const npfa::FocalSolution sol = npfa::SolveFocalMechanism(obs);

            // The region, measured independently on a 2-degree grid: every
            // mechanism that explains all polarities, and how far it
            // reaches from the truth.
            long long members = 0;
            double reach = 0;
            ScanGrid(obs, 2, [&](const focal::Plane& p, double m) {
                if (m > 0) return;
                ++members;
                reach = std::max(reach, focal::KaganAngle(p, ev.truth));
            });
            SCOPED_TRACE(std::to_string(stations) + " stations, seed " + std::to_string(seed));
            ASSERT_GT(members, 0);
            EXPECT_EQ(npfa::MisfitCount(obs, sol.planeA), 0);  // inside the region
            EXPECT_LE(focal::KaganAngle(sol.planeA, ev.truth), reach + 2);
            // The region is part of the acceptable set (a 2-degree cell
            // holds 8 grid mechanisms of 1 degree, less at the dip edges).
            EXPECT_GE(sol.acceptableCount, members * 4);
        }
    }
}

TEST(Search, SixtyStationsOverTheWholeSphereComeWithinFiveDegrees) {
    for (unsigned seed = 31; seed <= 36; ++seed) {
        std::mt19937 rng(seed);
        synth::Options o;
        o.stations = 60;
        o.wholeSphere = true;
        o.shareA = o.shareB = 0.05;
        const synth::Event ev = synth::MakeEvent(synth::RandomMechanism(rng), o, rng);
        const npfa::FocalSolution sol = npfa::SolveFocalMechanism(ObservationsOf(ev));
        EXPECT_LE(focal::KaganAngle(sol.planeA, ev.truth), 5.0) << "seed " << seed;
        EXPECT_EQ(sol.quality, 'A') << "seed " << seed;
    }
}

TEST(Search, ErrorsGrowWhenPolaritiesGetScarce) {
    std::mt19937 rng(41);
    const focal::Plane truth = synth::RandomMechanism(rng);
    synth::Options many, few;
    many.stations = 80;
    few.stations = 10;
    const npfa::FocalSolution a = npfa::SolveFocalMechanism(ObservationsOf(synth::MakeEvent(truth, many, rng)));
    const npfa::FocalSolution b = npfa::SolveFocalMechanism(ObservationsOf(synth::MakeEvent(truth, few, rng)));
    EXPECT_LT(a.rmsRotation, b.rmsRotation);
    EXPECT_LT(a.acceptableCount, b.acceptableCount);
    EXPECT_LT(a.errorsA.strike + a.errorsA.dip + a.errorsA.rake, b.errorsA.strike + b.errorsA.dip + b.errorsA.rake);
}

TEST(PlaneAlignment, PairsPlanesAndFollowsThemAcrossTheVertical) {
    const focal::Plane a{30, 60, 45};
    const focal::Plane b = focal::AuxiliaryPlane(a);
    const npfa::PlaneAligner align(a, b);
    for (const focal::Plane& same : {a, b}) {
        const npfa::PlaneDifferences d = align.Differences(same);
        for (double v : {d.a.strike, d.a.dip, d.a.rake, d.b.strike, d.b.dip, d.b.rake}) EXPECT_NEAR(v, 0, 1e-6);
    }
    const npfa::PlaneDifferences turned = align.Differences({33, 58, 45});
    EXPECT_NEAR(turned.a.strike, 3, 1e-9);
    EXPECT_NEAR(turned.a.dip, -2, 1e-9);

    // A plane just past vertical is written as dip 91, not as strike + 180.
    const focal::Plane v{100, 89, 10};
    const npfa::PlaneAligner vertical(v, focal::AuxiliaryPlane(v));
    const npfa::PlaneDifferences past = vertical.Differences({280, 89, -10});
    EXPECT_NEAR(past.a.strike, 0, 1e-9);
    EXPECT_NEAR(past.a.dip, 2, 1e-9);
    EXPECT_NEAR(past.a.rake, 0, 1e-9);
}

TEST(Quality, FollowsTheGradesInOrder) {
    EXPECT_EQ(npfa::QualityOf(0.05, 10, 0.95), 'A');
    EXPECT_EQ(npfa::QualityOf(0.18, 10, 0.95), 'B');
    EXPECT_EQ(npfa::QualityOf(0.05, 40, 0.95), 'C');
    EXPECT_EQ(npfa::QualityOf(0.05, 10, 0.55), 'C');
    EXPECT_EQ(npfa::QualityOf(0.35, 10, 0.95), 'D');
}
