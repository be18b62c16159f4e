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

}  // namespace dyma
