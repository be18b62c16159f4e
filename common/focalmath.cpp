#include "focalmath.h"

#include <algorithm>
#include <cmath>

namespace dyma::focal {

RayResult ComputeRay(std::string_view type, double dx, double dy, double dz, const SeamModel& m, RayAngles& ray) {
    // A coordinate typed far beyond any mine (1e196 km) squares to
    // infinity and the angles to NaN; the same offsets scaled down point
    // the same way.
    const double largest = std::max({std::fabs(dx), std::fabs(dy), std::fabs(dz)});
    if (largest > 1e150 && std::isfinite(largest))
        return ComputeRay(type, dx / largest, dy / largest, dz / largest, m, ray);
    const double h2 = dx * dx + dy * dy;
    const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    const double h = std::sqrt(h2);
    const bool direct = type == "C" || type == "D";
    const bool seam = type == "A" || type == "B";
    if (!direct && !seam) return RayResult::Unchanged;
    if (h2 == 0.0) {
        ray.SinAl = 0;
        ray.CosAl = 0;
        return RayResult::NoOffset;
    }
    // Angle from +Y towards +X, as the layer tilt term has always used it.
    const double az = std::atan2(dx, dy);
    if (seam) {
        const double base = type == "A" ? m.aa : m.bb;
        ray.Angle = base + m.tilt * std::cos(Rad(m.drtilt) - az);
        ray.SinBet = std::sin(Rad(ray.Angle));
        ray.CosBet = -std::cos(Rad(ray.Angle));
    } else {
        ray.SinBet = h / d;
        ray.CosBet = -dz / d;
        ray.Angle = Deg(std::acos(std::clamp(dz / d, -1.0, 1.0)));
    }
    ray.SinAl = dy / h;
    ray.CosAl = dx / h;
    return RayResult::Computed;
}

bool KeepsPolarity(std::string_view type, double stationDepth, double sourceDepth, double takeoffDeg) {
    return type == "A" || (type == "C" && stationDepth > sourceDepth) || (type == "D" && takeoffDeg > 90);
}

std::array<DiscPoint, kPlaneTracePoints> PlaneTrace(double strikeDeg, double dipDeg) {
    std::array<DiscPoint, kPlaneTracePoints> pts{};
    const double s = Rad(strikeDeg);
    const double dip = Rad(dipDeg);
    const double sinS = std::sin(s), cosS = std::cos(s), cosD = std::cos(dip);
    for (int j = 0; j < kPlaneTracePoints; ++j) {
        const double t = j * kPi / 200.0;
        const double a = std::cos(t);
        const double b = std::sin(t) * cosD;
        const double L = std::sqrt(a * a + b * b);
        const double i = std::asin(std::min(L, 1.0));
        const double r = std::sqrt(2.0) * std::sin(i / 2.0);
        const double u = L > 0 ? r * a / L : 0.0;
        const double v = L > 0 ? r * b / L : 0.0;
        pts[static_cast<size_t>(j)] = {sinS * u + cosS * v, cosS * u - sinS * v};
    }
    return pts;
}

DiscPoint AxisPoint(double trendDeg, double plungeDeg) {
    const double th = Rad(trendDeg);
    const double r = std::sqrt(2.0) * std::sin((kPi / 2.0 - Rad(plungeDeg)) / 2.0);
    return {std::sin(th) * r, std::cos(th) * r};
}

bool StationPoint(const RayAngles& ray, DiscPoint& point) {
    const double a = ray.SinBet * ray.CosAl;
    const double b = ray.SinBet * ray.SinAl;
    const double m = std::sqrt(a * a + b * b);
    if (ray.CosBet == 0.0 || m == 0.0) return false;
    const double cb = std::clamp(ray.CosBet, -1.0, 1.0);
    if (ray.CosBet < 0) {
        const double r = std::sqrt(2.0) * std::sin((kPi - std::acos(cb)) / 2.0);
        point = {b * r / m, a * r / m};
    } else {
        const double r = std::sqrt(2.0) * std::sin(std::acos(cb) / 2.0);
        point = {-b * r / m, -a * r / m};
    }
    return true;
}

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 Normalized(const Vec3& v) {
    const double n = std::sqrt(Dot(v, v));
    if (n == 0) return v;
    return {v.x / n, v.y / n, v.z / n};
}

Vec3 FaultNormal(const Plane& p) {
    const double s = Rad(p.strike), d = Rad(p.dip);
    return FaultNormal(std::sin(s), std::cos(s), std::sin(d), std::cos(d));
}

Vec3 SlipVector(const Plane& p) {
    const double s = Rad(p.strike), d = Rad(p.dip), r = Rad(p.rake);
    return SlipVector(std::sin(s), std::cos(s), std::sin(d), std::cos(d), std::sin(r), std::cos(r));
}

namespace {
double Wrap360(double deg) {
    double v = std::fmod(deg, 360.0);
    if (v < 0) v += 360.0;
    if (v >= 360.0) v -= 360.0;
    return v;
}
double WrapRake(double deg) {
    double v = std::fmod(deg, 360.0);
    if (v <= -180.0) v += 360.0;
    if (v > 180.0) v -= 360.0;
    return v;
}
}  // namespace

Plane PlaneFromNormalAndSlip(Vec3 n, Vec3 s) {
    n = Normalized(n);
    s = Normalized(s);
    // The normal of the hanging wall points up (negative z in this frame).
    if (n.z > 0) {
        n = {-n.x, -n.y, -n.z};
        s = {-s.x, -s.y, -s.z};
    }
    Plane p;
    const double cosD = std::clamp(-n.z, -1.0, 1.0);
    p.dip = Deg(std::acos(cosD));
    const double sinD = std::sqrt(std::max(0.0, 1.0 - cosD * cosD));
    double strike;
    if (sinD < 1e-12) {
        // Horizontal plane: any strike works; take the one that makes the
        // slip point along the strike (rake 0).
        strike = std::atan2(s.y, s.x);
    } else {
        strike = std::atan2(-n.x, n.y);
    }
    p.strike = Wrap360(Deg(strike));
    const double cs = std::cos(strike), ss = std::sin(strike);
    const double cosR = s.x * cs + s.y * ss;
    double sinR;
    if (sinD > 0.5)
        sinR = -s.z / sinD;
    else
        sinR = (s.x * ss - s.y * cs) / cosD;
    p.rake = WrapRake(Deg(std::atan2(sinR, cosR)));
    return p;
}

Plane AuxiliaryPlane(const Plane& p) { return PlaneFromNormalAndSlip(SlipVector(p), FaultNormal(p)); }

Axis AxisFromVector(Vec3 v) {
    v = Normalized(v);
    if (v.z < 0) v = {-v.x, -v.y, -v.z};
    Axis a;
    a.plunge = Deg(std::asin(std::clamp(v.z, -1.0, 1.0)));
    a.trend = (std::fabs(v.x) < 1e-15 && std::fabs(v.y) < 1e-15) ? 0.0 : Wrap360(Deg(std::atan2(v.y, v.x)));
    return a;
}

void PrincipalAxes(const Plane& p, Axis& pAxis, Axis& tAxis, Axis& bAxis) {
    const Vec3 n = FaultNormal(p), s = SlipVector(p);
    const Vec3 t{n.x + s.x, n.y + s.y, n.z + s.z};
    const Vec3 pp{n.x - s.x, n.y - s.y, n.z - s.z};
    tAxis = AxisFromVector(t);
    pAxis = AxisFromVector(pp);
    bAxis = AxisFromVector(Cross(n, s));
}

Vec3 RayVector(double takeoffDeg, double azimuthDeg) {
    const double i = Rad(takeoffDeg), a = Rad(azimuthDeg);
    return {std::sin(i) * std::cos(a), std::sin(i) * std::sin(a), std::cos(i)};
}

Vec3 RayVector(const RayAngles& ray) { return {ray.SinBet * ray.CosAl, ray.SinBet * ray.SinAl, -ray.CosBet}; }

double PAmplitude(const Vec3& n, const Vec3& s, const Vec3& r) { return 2.0 * Dot(n, r) * Dot(s, r); }

namespace {
struct Frame {
    Vec3 t, p, b;
};
Frame FrameOf(const Plane& pl) {
    const Vec3 n = FaultNormal(pl), s = SlipVector(pl);
    Frame f;
    f.t = Normalized({n.x + s.x, n.y + s.y, n.z + s.z});
    f.p = Normalized({n.x - s.x, n.y - s.y, n.z - s.z});
    f.b = Cross(f.t, f.p);
    return f;
}
}  // namespace

double KaganAngle(const Plane& a, const Plane& b) {
    const Frame fa = FrameOf(a), fb = FrameOf(b);
    // Rotation R = B * A^T expressed through the cosines between the axes;
    // the double couple is unchanged by 180-degree turns about T, P or B, so
    // the smallest of the four candidate rotations is the angle.
    const double tt = Dot(fa.t, fb.t), pp = Dot(fa.p, fb.p), bb = Dot(fa.b, fb.b);
    const double traces[4] = {tt + pp + bb, tt - pp - bb, -tt + pp - bb, -tt - pp + bb};
    double best = 180.0;
    for (double tr : traces) {
        const double c = std::clamp((tr - 1.0) / 2.0, -1.0, 1.0);
        best = std::min(best, Deg(std::acos(c)));
    }
    return best;
}

}  // namespace dyma::focal
