// The focal-sphere geometry of a solution record: where each station's ray
// pierces the sphere, and the projection of planes, axes and stations onto
// the drawing disc and from the disc onto pixels. Pure functions, so that
// the result window and the printout draw exactly the same picture; the ray
// rules themselves live in common/focalmath, which the solver links too.
#pragma once

#include "app/document/tremordocument.h"
#include "common/focalmath.h"

#include <array>
#include <string>
#include <vector>

namespace dyma {

// Angle, SinBet, CosBet, SinAl, CosAl of stations 0 .. StationCount - 1 from
// the source and station coordinates, the station's wave type and the seam
// model (aa, bb, Tilt, DrTilt). A station straight above or below the source
// gets SinAl = CosAl = 0 and keeps its take-off values; a station without a
// wave type keeps everything else. Never fails.
void ComputeStationGeometry(SolutionRecord& record);

// ---- the drawing frame of one rendering
// Sets PlotWidth, PlotHeight, the centre and the disc radii (0.9 of the
// half-size along each axis).
void SetDrawingFrame(SolutionRecord& record, double width, double height);

struct PixelPoint {
    int x = 0, y = 0;
};
// Column = centre + x * radius, row = centre - y * radius, both truncated
// toward zero.
PixelPoint DiscToPixel(const SolutionRecord& record, const focal::DiscPoint& point);

// ---- what the renderer draws, on the unit disc
using PlaneTracePoints = std::array<focal::DiscPoint, focal::kPlaneTracePoints>;
PlaneTracePoints PlaneATrace(const SolutionRecord& record);  // strike SA, dip DA
PlaneTracePoints PlaneBTrace(const SolutionRecord& record);  // strike SB, dip RB
focal::DiscPoint PAxisPoint(const SolutionRecord& record);
focal::DiscPoint TAxisPoint(const SolutionRecord& record);
// False when the station is not drawn (a horizontal ray, CosBet = 0, or no
// horizontal direction).
bool StationDiscPoint(const SolutionStation& station, focal::DiscPoint& point);

// ---- how well the picture's mechanism is determined
// The ray through a point of the disc (the inverse of the projection): the
// lower hemisphere, x north, y east, z down. Points outside the circle are
// taken on it.
focal::Vec3 DiscRay(const focal::DiscPoint& point);

// The polarity plane A's double couple gives a station's ray: +1
// compression, -1 dilatation, 0 on a nodal plane or for a station without
// a ray.
int PredictedPolarity(const SolutionRecord& record, const SolutionStation& station);
// A polarity the solver used (a sign and a weight) that plane A's double
// couple does not explain.
bool StationMisfits(const SolutionRecord& record, const SolutionStation& station);

// What the picture shows beside the planes: the P and T axes of the
// solver's acceptable set (a cloud around the preferred axes), its quality
// class, the number of polarities plane A does not explain and which
// station rows they are.
struct SphereAssessment {
    std::vector<focal::Axis> pAxes, tAxes;
    std::string quality;  // empty: none given
    int misfits = -1;     // below 0: not known
    std::vector<int> misfitRows;
};
// The assessment of a stored solution: the misfits from its planes and
// station rows.
SphereAssessment AssessSolution(const SolutionRecord& record);

// The part of the disc behind a nodal plane (on the side away from its dip
// direction): the plane's trace from its strike point to the opposite one,
// closed along the circle through strike + 270 degrees. A closed polygon
// on the unit disc.
std::vector<focal::DiscPoint> HalfDiscBehindPlane(double strikeDeg, double dipDeg);
// The sign of plane A's P amplitude in the parts of the disc behind both
// planes or behind neither (the other two parts have the opposite sign):
// +1 when those parts are compressional, -1 when dilatational, 0 when the
// record's planes B is not plane A's auxiliary plane (no quadrants to shade).
int CompressionBehindBothPlanes(const SolutionRecord& record);

}  // namespace dyma
