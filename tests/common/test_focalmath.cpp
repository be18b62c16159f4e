#include "common/focalmath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

using namespace dyma::focal;

TEST(Ray, DirectWaveFollowsTheStraightLine) {
    RayAngles r;
    ASSERT_EQ(ComputeRay("C", 100, 0, 100, {}, r), RayResult::Computed);
    EXPECT_NEAR(r.Angle, 45, 1e-12);
    EXPECT_NEAR(r.SinBet, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(r.CosBet, -std::sqrt(0.5), 1e-12);
    EXPECT_DOUBLE_EQ(r.CosAl, 1);
    EXPECT_DOUBLE_EQ(r.SinAl, 0);
    DiscPoint p;
    ASSERT_TRUE(StationPoint(r, p));
    EXPECT_NEAR(p.x, 0, 1e-12);
    EXPECT_NEAR(p.y, std::sqrt(2) * std::sin(Rad(22.5)), 1e-12);  // 0.541, top of the disc

    ASSERT_EQ(ComputeRay("C", 100, 0, -100, {}, r), RayResult::Computed);
    EXPECT_NEAR(r.Angle, 135, 1e-12);
    EXPECT_GT(r.CosBet, 0);
    ASSERT_TRUE(StationPoint(r, p));
    EXPECT_NEAR(p.y, -0.5412, 1e-4);  // drawn at its antipode

    ASSERT_EQ(ComputeRay("C", 100, 0, 0, {}, r), RayResult::Computed);
    EXPECT_NEAR(r.Angle, 90, 1e-12);
    EXPECT_FALSE(StationPoint(r, p));
}

TEST(Ray, OffsetsFarBeyondAnyMineStillGiveADirection) {
    // Squares of such offsets overflow; the ray must be the one of the same
    // offsets scaled down, not NaN.
    RayAngles big, small;
    ASSERT_EQ(ComputeRay("C", 2.0, -3e196, 1.2, {}, big), RayResult::Computed);
    ASSERT_EQ(ComputeRay("C", 2.0 / 3e196, -1.0, 1.2 / 3e196, {}, small), RayResult::Computed);
    for (double v : {big.Angle, big.SinBet, big.CosBet, big.SinAl, big.CosAl}) EXPECT_TRUE(std::isfinite(v));
    EXPECT_DOUBLE_EQ(big.Angle, small.Angle);
    EXPECT_DOUBLE_EQ(big.SinAl, -1);
    ASSERT_EQ(ComputeRay("A", 1e300, 1e300, 0, {114, 72, 4, 45}, big), RayResult::Computed);
    EXPECT_TRUE(std::isfinite(big.Angle));
    EXPECT_NEAR(big.SinAl, std::sqrt(0.5), 1e-12);
}

TEST(Ray, SeamWaveUsesTheModelAngle) {
    RayAngles r;
    for (double dx : {-300.0, 10.0, 5000.0}) {
        ASSERT_EQ(ComputeRay("A", dx, 77, -12, {80, 72, 0, 45}, r), RayResult::Computed);
        EXPECT_DOUBLE_EQ(r.Angle, 80);
        ASSERT_EQ(ComputeRay("B", dx, 77, -12, {80, 72, 0, 45}, r), RayResult::Computed);
        EXPECT_DOUBLE_EQ(r.Angle, 72);
    }
    // the layer dip tilts the ray: station in the direction where the cosine is 1
    ASSERT_EQ(ComputeRay("A", 0, 1, 0, {114, 72, 4, 0}, r), RayResult::Computed);
    EXPECT_DOUBLE_EQ(r.Angle, 118);
    EXPECT_NEAR(r.CosBet, -std::cos(Rad(118)), 1e-12);
}

TEST(Ray, UnknownTypeAndZeroOffsetKeepTheAngles) {
    RayAngles r{33, 0.5, 0.25, 0.1, 0.2};
    EXPECT_EQ(ComputeRay("-", 10, 10, 10, {}, r), RayResult::Unchanged);
    EXPECT_DOUBLE_EQ(r.Angle, 33);
    EXPECT_DOUBLE_EQ(r.SinAl, 0.1);
    EXPECT_EQ(ComputeRay("C", 0, 0, 10, {}, r), RayResult::NoOffset);
    EXPECT_DOUBLE_EQ(r.Angle, 33);
    EXPECT_DOUBLE_EQ(r.SinAl, 0);
    EXPECT_DOUBLE_EQ(r.CosAl, 0);
    RayAngles d;
    ASSERT_EQ(ComputeRay("D", 0, 100, 100, {}, d), RayResult::Computed);  // "D" like "C"
    EXPECT_NEAR(d.Angle, 45, 1e-12);
}

TEST(Projection, PlaneTracesOfVerticalAndHorizontalPlanes) {
    for (double strike : {0.0, 37.0, 200.0}) {
        const auto vertical = PlaneTrace(strike, 90);
        const double sx = std::sin(Rad(strike)), sy = std::cos(Rad(strike));
        EXPECT_NEAR(vertical.front().x, sx, 1e-12);
        EXPECT_NEAR(vertical.front().y, sy, 1e-12);
        EXPECT_NEAR(vertical.back().x, -sx, 1e-12);
        EXPECT_NEAR(vertical.back().y, -sy, 1e-12);
        for (const auto& p : vertical) EXPECT_NEAR(p.x * sy - p.y * sx, 0, 1e-12);  // on the diameter

        const auto flat = PlaneTrace(strike, 0);
        const double side = Rad(strike + 90);
        for (const auto& p : flat) {
            EXPECT_NEAR(std::hypot(p.x, p.y), 1, 1e-7);  // on the circle (asin near 1 costs digits)
            EXPECT_GE(p.x * std::sin(side) + p.y * std::cos(side), -1e-12);       // on the S+90 side
        }
        const auto mid = PlaneTrace(strike, 30)[100];
        EXPECT_NEAR(std::hypot(mid.x, mid.y), std::sqrt(2) * std::sin(Rad(30)), 1e-12);
    }
}

TEST(Projection, AxisPoints) {
    DiscPoint c = AxisPoint(123, 90);
    EXPECT_NEAR(c.x, 0, 1e-12);
    EXPECT_NEAR(c.y, 0, 1e-12);
    DiscPoint e = AxisPoint(90, 0);
    EXPECT_NEAR(e.x, 1, 1e-12);
    EXPECT_NEAR(e.y, 0, 1e-12);
}

TEST(DoubleCouple, AuxiliaryPlaneAndAxesMatchAPublishedSolution) {
    // 3143312 ref30 of the HASH example: 254/60/46, aux 136.6/51.5/140.3,
    // P 13.5/5.0, T 110.1/52.6
    const Plane a{254, 60, 46};
    const Plane b = AuxiliaryPlane(a);
    EXPECT_NEAR(b.strike, 136.6, 0.1);
    EXPECT_NEAR(b.dip, 51.5, 0.1);
    EXPECT_NEAR(b.rake, 140.3, 0.1);
    const Plane back = AuxiliaryPlane(b);
    EXPECT_NEAR(back.strike, 254, 1e-9);
    EXPECT_NEAR(back.dip, 60, 1e-9);
    EXPECT_NEAR(back.rake, 46, 1e-9);
    Axis p, t, n;
    PrincipalAxes(a, p, t, n);
    EXPECT_NEAR(p.trend, 13.5, 0.1);
    EXPECT_NEAR(p.plunge, 5.0, 0.1);
    EXPECT_NEAR(t.trend, 110.1, 0.1);
    EXPECT_NEAR(t.plunge, 52.6, 0.1);
    // compression along T, dilatation along P
    EXPECT_GT(PAmplitude(FaultNormal(a), SlipVector(a), RayVector(90 - t.plunge, t.trend)), 0.99);
    EXPECT_LT(PAmplitude(FaultNormal(a), SlipVector(a), RayVector(90 - p.plunge, p.trend)), -0.99);
}

TEST(DoubleCouple, KaganAnglesOfTheReferenceTable) {
    std::ifstream in(DYMA_SOURCE_DIR "/tests/anchors/hash-example1/kagan_pairs.txt");
    ASSERT_TRUE(in) << "anchor table missing";
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ss(line);
        Plane a, b;
        double expected;
        ss >> a.strike >> a.dip >> a.rake >> b.strike >> b.dip >> b.rake >> expected;
        EXPECT_NEAR(KaganAngle(a, b), expected, 0.02) << line;
        EXPECT_NEAR(KaganAngle(a, AuxiliaryPlane(a)), 0, 1e-6);
        ++rows;
    }
    EXPECT_EQ(rows, 6);
}
