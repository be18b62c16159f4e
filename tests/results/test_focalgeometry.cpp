#include "app/results/focalgeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dyma;
using focal::DiscPoint;

namespace {

const double kR45 = std::sqrt(2.0) * std::sin(22.5 * focal::kPi / 180);  // 0.541

// A record with its source away from the origin and one station at the
// given offset from it.
SolutionRecord OneStation(const char* type, double dx, double dy, double dz) {
    SolutionRecord r;
    r.X = 1000;
    r.Y = 2000;
    r.Z = -500;
    r.aa = 80;
    r.bb = 72;
    r.Tilt = 0;
    r.DrTilt = 45;
    r.StationCount = 1;
    SolutionStation& st = r.stations[0];
    st.Type = type;
    st.XS = r.X + dx;
    st.YS = r.Y + dy;
    st.ZS = r.Z + dz;
    return r;
}

}  // namespace

TEST(StationGeometry, DirectWaveCases) {
    struct Case {
        double dz, angle, cosBet;
        bool drawn;
        double y;
    } cases[] = {
        {100, 45, -std::sqrt(0.5), true, kR45},    // below the source: own direction, top of the disc
        {-100, 135, std::sqrt(0.5), true, -kR45},  // above: drawn at its antipode, bottom
        {0, 90, 0, false, 0},                      // horizontal ray: not drawn
    };
    for (const char* type : {"C", "D"}) {
        for (const Case& c : cases) {
            SolutionRecord r = OneStation(type, 100, 0, c.dz);
            ComputeStationGeometry(r);
            const SolutionStation& st = r.stations[0];
            EXPECT_NEAR(st.Angle, c.angle, 1e-9) << type << c.dz;
            EXPECT_NEAR(st.CosBet, c.cosBet, 1e-12);
            EXPECT_NEAR(st.SinBet, std::sqrt(0.5) * (c.dz != 0) + (c.dz == 0), 1e-12);
            EXPECT_DOUBLE_EQ(st.CosAl, 1);
            EXPECT_DOUBLE_EQ(st.SinAl, 0);
            DiscPoint p;
            ASSERT_EQ(StationDiscPoint(st, p), c.drawn);
            if (c.drawn) {
                EXPECT_NEAR(p.x, 0, 1e-12);
                EXPECT_NEAR(p.y, c.y, 1e-12);
            }
        }
    }
}

TEST(StationGeometry, SeamWavesUseTheModelAngle) {
    for (auto [dx, dy, dz] : {std::array{100.0, 0.0, 50.0}, {-3000.0, 20.0, -700.0}, {5.0, -5.0, 0.0}}) {
        SolutionRecord r = OneStation("A", dx, dy, dz);
        r.StationCount = 2;
        r.stations[1] = r.stations[0];
        r.stations[1].Type = "B";
        ComputeStationGeometry(r);
        EXPECT_DOUBLE_EQ(r.stations[0].Angle, 80);
        EXPECT_DOUBLE_EQ(r.stations[1].Angle, 72);
        const double h = std::hypot(dx, dy);
        EXPECT_DOUBLE_EQ(r.stations[0].CosAl, dx / h);
        EXPECT_DOUBLE_EQ(r.stations[0].SinAl, dy / h);
        EXPECT_NEAR(r.stations[0].CosBet, -std::cos(80 * focal::kPi / 180), 1e-15);
    }
    // the layer dip tilts the ray as seen along the layer strike
    SolutionRecord r = OneStation("A", 100, 100, 0);  // azimuth 45 from +Y: along the strike
    r.Tilt = 4;
    ComputeStationGeometry(r);
    EXPECT_NEAR(r.stations[0].Angle, 84, 1e-12);
}

TEST(StationGeometry, StationsWithoutRayRulesOrOffsetKeepTheirAngles) {
    struct Case {
        const char* type;
        double dx;
    } cases[] = {{"-", 100}, {"-", 0}, {"C", 0}, {"A", 0}};
    for (const Case& c : cases) {
        SolutionRecord r = OneStation(c.type, c.dx, 0, 100);
        SolutionStation& st = r.stations[0];
        st.Angle = 33;
        st.SinBet = 0.5;
        st.CosBet = 0.25;
        st.SinAl = 0.6;
        st.CosAl = 0.8;
        ComputeStationGeometry(r);
        EXPECT_EQ(st.Angle, 33) << c.type << c.dx;
        EXPECT_EQ(st.SinBet, 0.5);
        EXPECT_EQ(st.CosBet, 0.25);
        // with no horizontal offset there is no direction to keep
        EXPECT_EQ(st.SinAl, c.dx == 0 ? 0 : 0.6);
        EXPECT_EQ(st.CosAl, c.dx == 0 ? 0 : 0.8);
        DiscPoint p;
        if (c.dx == 0) {
            EXPECT_FALSE(StationDiscPoint(st, p));
        }
    }
}

TEST(DrawingFrame, DiscToPixelTruncatesTowardZero) {
    SolutionRecord r;
    SetDrawingFrame(r, 470, 300);
    EXPECT_EQ(r.PlotCenterX, 235);
    EXPECT_EQ(r.PlotCenterY, 150);
    EXPECT_DOUBLE_EQ(r.PlotRadiusX, 211.5);
    EXPECT_DOUBLE_EQ(r.PlotRadiusY, 135);
    struct Case {
        double x, y;
        int col, row;
    } cases[] = {
        {0, 0, 235, 150},     {1, 0, 446, 150},  {0, 1, 235, 15},   {0, -1, 235, 285},
        {0.5, 0.5, 340, 82},  // 340.75, 82.5
        {-1.112, 1.112, 0, 0},  // -0.188 and -0.12 go to 0, not -1
    };
    for (const Case& c : cases) {
        const PixelPoint p = DiscToPixel(r, {c.x, c.y});
        EXPECT_EQ(p.x, c.col) << c.x << "," << c.y;
        EXPECT_EQ(p.y, c.row) << c.x << "," << c.y;
    }
    // the station of the 45-degree case lands above the centre of a square frame
    SolutionRecord s = OneStation("C", 100, 0, 100);
    ComputeStationGeometry(s);
    SetDrawingFrame(s, 200, 200);
    DiscPoint d;
    ASSERT_TRUE(StationDiscPoint(s.stations[0], d));
    EXPECT_EQ(DiscToPixel(s, d).x, 100);
    EXPECT_EQ(DiscToPixel(s, d).y, 51);  // 100 - 0.541 * 90
}

TEST(PlaneTrace, VerticalAndHorizontalPlanes) {
    SolutionRecord r;
    r.SA = 30;
    r.DA = 90;
    r.SB = 120;
    r.RB = 0;
    const auto a = PlaneATrace(r);
    const auto b = PlaneBTrace(r);
    ASSERT_EQ(a.size(), 201u);
    const double s = std::sin(30 * focal::kPi / 180), c = std::cos(30 * focal::kPi / 180);
    EXPECT_NEAR(a.front().x, s, 1e-12);
    EXPECT_NEAR(a.front().y, c, 1e-12);
    EXPECT_NEAR(a.back().x, -s, 1e-12);
    EXPECT_NEAR(a.back().y, -c, 1e-12);
    for (const DiscPoint& p : a) EXPECT_NEAR(p.x * c - p.y * s, 0, 1e-12);  // on the diameter
    EXPECT_NEAR(a[100].x, 0, 1e-12);
    EXPECT_NEAR(a[100].y, 0, 1e-12);
    // dip 0: the semicircle on the side strike + 90 (here 210 degrees)
    // asin is steep next to 1, so rounding in L shows as 1e-8 of the radius
    for (const DiscPoint& p : b) EXPECT_NEAR(std::hypot(p.x, p.y), 1, 1e-7);
    EXPECT_NEAR(b[100].x, std::sin(210 * focal::kPi / 180), 1e-7);
    EXPECT_NEAR(b[100].y, std::cos(210 * focal::kPi / 180), 1e-7);
}

TEST(PlaneTrace, MiddleOfAnInclinedPlaneAndTheAxes) {
    SolutionRecord r;
    r.SA = 0;
    r.DA = 40;
    const auto a = PlaneATrace(r);
    EXPECT_NEAR(a[100].x, std::sqrt(2.0) * std::sin(25 * focal::kPi / 180), 1e-12);  // east, r(50 deg)
    EXPECT_NEAR(a[100].y, 0, 1e-12);

    struct Case {
        double trend, plunge, x, y;
    } axes[] = {{123, 90, 0, 0}, {0, 0, 0, 1}, {90, 0, 1, 0}, {180, 0, 0, -1}, {90, 45, std::sqrt(2.0) * std::sin(22.5 * focal::kPi / 180), 0}};
    for (const Case& c : axes) {
        r.PTrend = c.trend;
        r.PPlunge = c.plunge;
        r.TTrend = c.trend;
        r.TPlunge = c.plunge;
        for (DiscPoint p : {PAxisPoint(r), TAxisPoint(r)}) {
            EXPECT_NEAR(p.x, c.x, 1e-12) << c.trend << "/" << c.plunge;
            EXPECT_NEAR(p.y, c.y, 1e-12) << c.trend << "/" << c.plunge;
        }
    }
}
