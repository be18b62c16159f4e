// Antialiased lines, polylines, Bezier curves, superformula shapes, ellipses
// and rectangles drawn straight into the pixels of a 24-bit bitmap.
// Coordinates and widths are the bitmap's logical pixels; the pixels visited
// are its device pixels (see TQuaBitmap).
//
// Every pixel near a segment gets a coverage from its distance to the
// segment, shaped by a smooth dash pattern, scaled by the opacity and blended
// with the pen colour in one of the sixteen pen modes. The segments of a path
// are cut along the bisectors of their joints so that no pixel is blended
// twice, and the distance travelled along the path carries the dash pattern
// on from one segment to the next. With Antialiased off every shape (except
// the superformula) is drawn with the bitmap's ordinary canvas pen.
#pragma once

#include "quactl/quacanvas.h"

#include <QPoint>

#include <span>

namespace quactl {

inline constexpr double N3 = 3.0;
inline constexpr double N0 = 0.0;
inline constexpr double N05 = 0.5;
inline constexpr double N255 = 255.0;
// Just below one half: FloorRound keeps exact integers where floor would too,
// and never lets a value a hair below an integer round up to it.
inline constexpr double N04 = 0.499999999999999;

// Round to nearest (ties to even) of x - N04: floor(x), an integer stays itself.
QUACTL_EXPORT int FloorRound(double x);
// Round to nearest, ties to even.
QUACTL_EXPORT int RoundInt(double x);

class QUACTL_EXPORT TEZLine {
public:
    TEZLine() = default;

    // Working values of the pixel last measured by DistanceLine.
    double along = 0;  // foot point's distance from the caller's start point
    double perp = 0;   // signed distance from the segment's line
    double param = 0;  // foot point as a fraction of the segment

    TColor Color = 255;
    double Width = 2.0;
    bool Antialiased = true;
    TPenStyle PenStyle = psSolid;
    TPenMode PenMode = pmCopy;
    double Opacity = 1.0;
    double PathOffset = 0;
    bool CutEnds = true;

    void SetProperty(TColor color, double width, double opacity, double pathOffset, bool antialiased, bool cutEnds,
                     TPenStyle penStyle, TPenMode penMode);

    void SetDisConst(double x1, double y1, double x2, double y2);
    double DistanceLine(double x, double y);

    // The full segment with its end cuts (slopes of 1E30 or more are
    // vertical); returns offset + segment length. The segment's own slope is
    // accepted for callers that have it; the cut sides follow from the points.
    double Line(double x1, double y1, double x2, double y2, TQuaBitmap* bitmap, bool noCutStart, bool noCutEnd,
                double startCutSlope, double endCutSlope, double segmentSlope, double offset);
    // Segment (x1, y1)-(x2, y2) of a path with neighbours (x0, y0) and (x3, y3).
    double LineCut(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3, bool first,
                   bool last, TQuaBitmap* bitmap, double offset);
    // A single segment starting at PathOffset (which it does not advance).
    double Line(double x1, double y1, double x2, double y2, TQuaBitmap* bitmap);

    // Points 0 .. last as one path; returns the advanced PathOffset.
    double PolyLine(std::span<const QPoint> points, int last, TQuaBitmap* bitmap);
    void Bezier(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                TQuaBitmap* bitmap);
    void SuperShape(double x, double y, double radius, double rotation, double m, double e1, double e2, double e3,
                    double endAngle, double step, TQuaBitmap* bitmap);
    void Ellips(double cx, double cy, double x, double y, TQuaBitmap* bitmap);
    void Recangle(double x1, double y1, double x2, double y2, TQuaBitmap* bitmap);

    // 0..255 from the effective width w and the distance d of a pixel.
    static int Coverage(double w, double d);
    // 0..1 at the distance s along the path.
    static double DashPattern(TPenStyle style, double s);
    static int BlendChannel(int destination, int pen, int alpha, TPenMode mode);
    // Slope of the bisector of the joint at (x1, y1) between the segments
    // from (x0, y0) and to (x2, y2); NaN when the path turns straight back.
    static double JointSlope(double x0, double y0, double x1, double y1, double x2, double y2);
    static double SegmentSlope(double x1, double y1, double x2, double y2);

private:
    struct Cut;
    void PrepareCanvasPen(TQuaBitmap& bitmap) const;
    // The plain fallback of Ellips and Recangle: canvas pen, clear brush.
    void PlainOutline(TQuaBitmap& bitmap, bool ellipse, int x1, int y1, int x2, int y2) const;
    void PlotPixel(uchar* pixel, int coverage, double offset, const int pen[3]) const;
    double DrawPath(std::span<const QPoint> points, bool closed, TQuaBitmap* bitmap, double offset);

    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    double alongScale_ = 1;  // logical pixels per device pixel of the bitmap drawn into
    double length_ = 0, length2_ = 0, dx_ = 0, ndx_ = 0, ndy_ = 0;
};

}  // namespace quactl
