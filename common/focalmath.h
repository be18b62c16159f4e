// The focal-mechanism geometry that the program's drawing and the nodal-plane
// solver must agree on. Both link this one unit, so the picture of a solution
// and the fit that produced it can never use different rays or conventions.
//
// Frame of the solution record and of the solver files: X north, Y east,
// Z depth (positive downward), any length unit. Take-off angles are measured
// from straight down, azimuths clockwise from X (north). Nodal planes follow
// Aki & Richards: strike clockwise from north, dip to the right of the strike
// direction, rake in the fault plane from the strike direction.
#pragma once

#include <array>
#include <string_view>

namespace dyma::focal {

constexpr double kPi = 3.14159265358979323846;
inline double Rad(double degrees) { return degrees * kPi * (1.0 / 180.0); }
inline double Deg(double radians) { return radians * 180.0 * (1.0 / kPi); }

// Where a ray pierces the focal sphere, in the record's own terms: Angle is
// the take-off angle from the direction of increasing Z (down), Bet =
// 180 - Angle is measured from up, Al is the horizontal direction towards the
// station from +X towards +Y.
struct RayAngles {
    double Angle = 0, SinBet = 0, CosBet = 0, SinAl = 0, CosAl = 0;
};

enum class RayResult {
    Computed,   // all five values set
    NoOffset,   // station straight above or below: SinAl = CosAl = 0, the rest kept
    Unchanged,  // a wave type without ray rules ("-"): nothing touched
};

// The seam-wave model: take-off angles of the upper (aa) and lower (bb) seam
// wave, tilted by the layer dip (tilt) as seen in the station's direction
// relative to the layer strike (drtilt); all degrees.
struct SeamModel {
    double aa = 0, bb = 0, tilt = 0, drtilt = 0;
};

// The take-off rules of the three wave types. "C" (direct wave) and "D" go
// straight from source to station; "A" and "B" leave at the model angle.
// dx, dy, dz are station minus source.
RayResult ComputeRay(std::string_view waveType, double dx, double dy, double dz, const SeamModel& model,
                     RayAngles& ray);

// The polarity rule that the picture and the fit share: a pick keeps the
// polarity read off its trace when it is the upper seam wave ("A"), a direct
// wave ("C") to a station deeper than the source, or a "D" ray leaving upward
// (take-off above 90 degrees); every other ray has it reversed. Depths grow
// downward; takeoffDeg is the ray's Angle (only "D" reads it).
bool KeepsPolarity(std::string_view waveType, double stationDepth, double sourceDepth, double takeoffDeg);

// ---- equal-area projection on the unit disc (x right = east, y up = north),
// lower hemisphere: rays going up are shown at their antipode.
struct DiscPoint {
    double x = 0, y = 0;
};

constexpr int kPlaneTracePoints = 201;
std::array<DiscPoint, kPlaneTracePoints> PlaneTrace(double strikeDeg, double dipDeg);
DiscPoint AxisPoint(double trendDeg, double plungeDeg);
// False when the ray is exactly horizontal in the record's terms (CosBet 0)
// or has no horizontal direction: the station is then not drawn.
bool StationPoint(const RayAngles& ray, DiscPoint& point);

// ---- double couples
struct Vec3 {
    double x = 0, y = 0, z = 0;
};
inline double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(const Vec3& a, const Vec3& b);
Vec3 Normalized(const Vec3& v);

struct Plane {
    double strike = 0, dip = 0, rake = 0;  // degrees
};
struct Axis {
    double trend = 0, plunge = 0;  // degrees, plunge >= 0 (downward)
};

Vec3 FaultNormal(const Plane& p);
Vec3 SlipVector(const Plane& p);
// The same from the sines and cosines of strike, dip and rake, for callers
// that build many mechanisms from a few angles.
inline Vec3 FaultNormal(double ss, double cs, double sd, double cd) { return {-sd * ss, sd * cs, -cd}; }
inline Vec3 SlipVector(double ss, double cs, double sd, double cd, double sr, double cr) {
    return {cr * cs + sr * cd * ss, cr * ss - sr * cd * cs, -sr * sd};
}
// Strike in [0, 360), dip in [0, 90], rake in (-180, 180].
Plane PlaneFromNormalAndSlip(Vec3 normal, Vec3 slip);
Plane AuxiliaryPlane(const Plane& p);
Axis AxisFromVector(Vec3 v);
void PrincipalAxes(const Plane& p, Axis& pAxis, Axis& tAxis, Axis& bAxis);

// Unit ray from take-off angle (from down) and azimuth (clockwise from north).
Vec3 RayVector(double takeoffDeg, double azimuthDeg);
Vec3 RayVector(const RayAngles& ray);
// Far-field P amplitude factor 2 (n.r)(s.r): positive means compression
// (first motion away from the source, "+").
double PAmplitude(const Vec3& normal, const Vec3& slip, const Vec3& ray);

// Smallest rotation (degrees) that takes one double couple into the other.
double KaganAngle(const Plane& a, const Plane& b);

}  // namespace dyma::focal
