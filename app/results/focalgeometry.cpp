#include "focalgeometry.h"

#include <algorithm>
#include <cmath>

namespace dyma {

void ComputeStationGeometry(SolutionRecord& r) {
    const focal::SeamModel model{r.aa, r.bb, r.Tilt, r.DrTilt};
    const int count = std::clamp(r.StationCount, 0, kMaxStations);
    for (int k = 0; k < count; ++k) {
        SolutionStation& st = r.stations[static_cast<size_t>(k)];
        const double dx = st.XS - r.X, dy = st.YS - r.Y, dz = st.ZS - r.Z;
        focal::RayAngles ray{st.Angle, st.SinBet, st.CosBet, st.SinAl, st.CosAl};
        focal::ComputeRay(st.Type, dx, dy, dz, model, ray);
        // No horizontal offset means no direction on the disc, whatever the
        // wave type: a station without one keeps its stored take-off values
        // but loses a direction it could not have.
        if (dx * dx + dy * dy == 0.0) ray.SinAl = ray.CosAl = 0;
        st.Angle = ray.Angle;
        st.SinBet = ray.SinBet;
        st.CosBet = ray.CosBet;
        st.SinAl = ray.SinAl;
        st.CosAl = ray.CosAl;
    }
}

void SetDrawingFrame(SolutionRecord& r, double width, double height) {
    r.PlotWidth = width;
    r.PlotHeight = height;
    r.PlotCenterX = 0.5 * width;
    r.PlotCenterY = 0.5 * height;
    r.PlotRadiusX = 0.9 * r.PlotCenterX;
    r.PlotRadiusY = 0.9 * r.PlotCenterY;
}

namespace {
// Truncation toward zero, kept inside the range a drawing call can take.
int ToPixel(double v) {
    if (!(v == v)) return 0;
    constexpr double limit = 1 << 30;
    return static_cast<int>(std::trunc(std::clamp(v, -limit, limit)));
}
}  // namespace

PixelPoint DiscToPixel(const SolutionRecord& r, const focal::DiscPoint& p) {
    return {ToPixel(r.PlotCenterX + p.x * r.PlotRadiusX), ToPixel(r.PlotCenterY - p.y * r.PlotRadiusY)};
}

PlaneTracePoints PlaneATrace(const SolutionRecord& r) { return focal::PlaneTrace(r.SA, r.DA); }
PlaneTracePoints PlaneBTrace(const SolutionRecord& r) { return focal::PlaneTrace(r.SB, r.RB); }
focal::DiscPoint PAxisPoint(const SolutionRecord& r) { return focal::AxisPoint(r.PTrend, r.PPlunge); }
focal::DiscPoint TAxisPoint(const SolutionRecord& r) { return focal::AxisPoint(r.TTrend, r.TPlunge); }

bool StationDiscPoint(const SolutionStation& st, focal::DiscPoint& point) {
    return focal::StationPoint({st.Angle, st.SinBet, st.CosBet, st.SinAl, st.CosAl}, point);
}

focal::Vec3 DiscRay(const focal::DiscPoint& p) {
    const double r = std::min(std::hypot(p.x, p.y), 1.0);
    const double takeoff = 2.0 * std::asin(r / std::sqrt(2.0));
    const double azimuth = std::atan2(p.x, p.y);
    return focal::RayVector(focal::Deg(takeoff), focal::Deg(azimuth));
}

namespace {
int SignOf(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }
}  // namespace

int PredictedPolarity(const SolutionRecord& r, const SolutionStation& st) {
    const focal::Vec3 ray = focal::RayVector(focal::RayAngles{st.Angle, st.SinBet, st.CosBet, st.SinAl, st.CosAl});
    if (focal::Dot(ray, ray) <= 1e-12) return 0;
    const focal::Plane a{r.SA, r.DA, r.RA};
    return SignOf(focal::PAmplitude(focal::FaultNormal(a), focal::SlipVector(a), focal::Normalized(ray)));
}

bool StationMisfits(const SolutionRecord& r, const SolutionStation& st) {
    if (st.Sign == 0 || st.Weight == 0) return false;
    return PredictedPolarity(r, st) != SignOf(st.Sign);
}

SphereAssessment AssessSolution(const SolutionRecord& r) {
    SphereAssessment a;
    const int count = std::clamp(r.StationCount, 0, kMaxStations);
    for (int k = 0; k < count; ++k)
        if (StationMisfits(r, r.stations[static_cast<size_t>(k)])) a.misfitRows.push_back(k);
    a.misfits = static_cast<int>(a.misfitRows.size());
    // The solver's own account of how well the data hold the mechanism: the
    // axes of its acceptable set and its quality letter. An older result
    // (no quality file) has none, and its picture stays as it was.
    if (const auto& q = r.AcceptableSet) {
        a.quality = std::string(1, q->quality);
        for (const AcceptableAxes& m : q->axes) {
            a.pAxes.push_back({m.pTrend, m.pPlunge});
            a.tAxes.push_back({m.tTrend, m.tPlunge});
        }
    }
    return a;
}

std::vector<focal::DiscPoint> HalfDiscBehindPlane(double strikeDeg, double dipDeg) {
    const PlaneTracePoints trace = focal::PlaneTrace(strikeDeg, dipDeg);
    std::vector<focal::DiscPoint> polygon(trace.begin(), trace.end());
    // The trace ends at strike + 180; the arc goes on through strike + 270
    // back to the strike point, in half-degree steps.
    for (int k = 1; k < 360; ++k) {
        const double azimuth = focal::Rad(strikeDeg + 180.0 + 0.5 * k);
        polygon.push_back({std::sin(azimuth), std::cos(azimuth)});
    }
    return polygon;
}

int CompressionBehindBothPlanes(const SolutionRecord& r) {
    const focal::Plane a{r.SA, r.DA, r.RA}, b{r.SB, r.RB, r.DB};
    const focal::Vec3 normalA = focal::FaultNormal(a), slipA = focal::SlipVector(a), normalB = focal::FaultNormal(b);
    // Plane B is where plane A's slip meets the sphere at right angles: the
    // slip is plane B's normal (up to its sign), and only then do the two
    // traces bound the quadrants of one double couple.
    const double along = focal::Dot(slipA, normalB);
    if (std::fabs(along) < 0.5) return 0;
    // A point well inside each half: half-way out towards strike + 270.
    auto behind = [](double strike) {
        const double azimuth = focal::Rad(strike + 270.0);
        return DiscRay({0.5 * std::sin(azimuth), 0.5 * std::cos(azimuth)});
    };
    const int sideA = SignOf(focal::Dot(normalA, behind(r.SA)));
    const int sideB = SignOf(focal::Dot(normalB, behind(r.SB)));
    // The amplitude is (nA.r)(sA.r) = (nA.r)(nB.r) x sign(sA.nB) there.
    return sideA * sideB * SignOf(along);
}

}  // namespace dyma
