// The focal-sphere geometry of a solution record: where each station's ray
// pierces the sphere, and the projection of planes, axes and stations onto
// the drawing disc and from the disc onto pixels. Pure functions, so that
// the result window and the printout draw exactly the same picture; the ray
// rules themselves live in common/focalmath, which the solver links too.
#pragma once

#include "app/document/tremordocument.h"
#include "common/focalmath.h"

#include <array>

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

}  // namespace dyma
