#include "quactl/ezlines.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace quactl {

namespace {

constexpr double kVerticalSlope = 1e30;
constexpr double kCutTolerance = 0.001;

bool Bad(const TQuaBitmap* bitmap) { return bitmap == nullptr || bitmap->Empty(); }

// Pixel index of a coordinate, kept inside [lo, hi] so that far-away or
// non-finite coordinates cannot overflow an int.
int ClampIndex(double v, int lo, int hi) {
    if (!(v > lo)) return lo;
    if (!(v < hi)) return hi;
    return static_cast<int>(v);
}

// Consecutive equal points carry no direction for a joint and add no length.
std::vector<QPoint> WithoutRepeats(std::span<const QPoint> points, bool closed) {
    std::vector<QPoint> out;
    out.reserve(points.size());
    for (const QPoint& p : points)
        if (out.empty() || out.back() != p) out.push_back(p);
    if (closed)
        while (out.size() > 1 && out.back() == out.front()) out.pop_back();
    return out;
}

}  // namespace

// Rounding x - N04 to nearest, done exactly: in double arithmetic 255 - N04
// would itself round to the tie 254.5 and end at 254. With f = floor(x) the
// fraction x - f is exact, and x - N04 rounds up only from a fraction of
// 0.5 + N04 on (even on the tie).
int FloorRound(double x) {
    if (!(std::abs(x) < 2e9)) return x > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
    const double f = std::floor(x);
    const double fraction = x - f;
    constexpr double kRoundsUp = 0.999999999999999;  // 0.5 + N04
    int result = static_cast<int>(f);
    if (fraction > kRoundsUp || (fraction == kRoundsUp && result % 2 != 0)) ++result;
    return result;
}

int RoundInt(double x) { return static_cast<int>(std::nearbyint(x)); }

// A cut end: the line through the end point with a slope; a pixel belongs to
// the segment when it lies on the side of the other end point. Pixels on the
// line itself (within the tolerance) go to the segment that starts there, so
// that the two segments of a joint share its pixels out exactly once.
struct TEZLine::Cut {
    bool active = false;
    bool isStart = false;
    double px = 0, py = 0;   // point on the cut line
    double nx = 0, ny = 0;   // unit normal, pointing to the segment's side

    Cut(bool cut, bool start, double x, double y, double slope, double otherX, double otherY) : isStart(start) {
        if (!cut || std::isnan(slope)) return;
        px = x;
        py = y;
        if (std::abs(slope) >= kVerticalSlope) {
            nx = 1;
            ny = 0;
        } else {
            const double norm = std::sqrt(1 + slope * slope);
            nx = -slope / norm;
            ny = 1 / norm;
        }
        const double side = (otherX - px) * nx + (otherY - py) * ny;
        if (std::abs(side) < kCutTolerance) return;  // degenerate: the cut would contain the segment
        if (side < 0) {
            nx = -nx;
            ny = -ny;
        }
        active = true;
    }

    bool Inside(double x, double y) const {
        if (!active) return true;
        const double f = (x - px) * nx + (y - py) * ny;
        return isStart ? f > -kCutTolerance : f > kCutTolerance;
    }
};

void TEZLine::SetProperty(TColor color, double width, double opacity, double pathOffset, bool antialiased,
                          bool cutEnds, TPenStyle penStyle, TPenMode penMode) {
    Color = color;
    Width = width;
    Opacity = opacity;
    PathOffset = pathOffset;
    Antialiased = antialiased;
    CutEnds = cutEnds;
    PenStyle = penStyle;
    PenMode = penMode;
}

void TEZLine::SetDisConst(double x1, double y1, double x2, double y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    dx_ = x2 - x1;
    ndx_ = -dx_;
    ndy_ = -(y2 - y1);
    length2_ = dx_ * dx_ + ndy_ * ndy_;
    length_ = std::sqrt(length2_);
}

double TEZLine::DistanceLine(double x, double y) {
    const double ex = x - x1_, ey = y - y1_;
    if (length_ == 0) {
        param = 0;
        perp = 0;
        along = 0;
        return std::hypot(ex, ey);
    }
    const double dy = -ndy_;
    const double h = (ex * dx_ + ey * dy) / length2_;
    const double g = (ex * dy - ey * dx_) / length2_;
    param = h;
    perp = g * length_;
    along = length_ * h;
    if (h > 1) return std::hypot(x - x2_, y - y2_);
    if (h < 0) return std::hypot(ex, ey);
    return std::abs(length_ * g);
}

int TEZLine::Coverage(double w, double d) {
    const double c = w - 2 * d;
    if (c >= N3) return 255;
    if (c < N0) return 0;
    const double s = std::sin(c * N05);
    return FloorRound(N255 * s * s);
}

double TEZLine::DashPattern(TPenStyle style, double s) {
    switch (style) {
    case psSolid:
    case psInsideFrame: return 1;
    case psClear: return 0;
    case psDash: return std::clamp(std::abs(std::sin(s / 4) * 3) - 0.5, 0.0, 1.0);
    case psDot: return std::clamp(std::sin(s) * 2, 0.0, 1.0);
    case psDashDot: {
        double a = std::min(std::sin(s / 3) * 3, 1.0);
        if (a <= 0) a = std::sin(s);
        return std::max(a, 0.0);
    }
    case psDashDotDot: {
        double a = std::min(std::sin(s / 4) * 3, 1.0);
        if (a <= 0) a = std::sin(s - 2);
        return std::max(a, 0.0);
    }
    }
    return 1;
}

int TEZLine::BlendChannel(int d, int p, int a, TPenMode mode) {
    if (mode == pmNop || mode > pmNotXor) return d;
    return (a * RasterOp(mode, d, p) + d * (255 - a)) >> 8;
}

double TEZLine::SegmentSlope(double x1, double y1, double x2, double y2) {
    const double run = x2 - x1;
    if (run == 0) return kVerticalSlope;
    return (y2 - y1) / run;
}

// The bisector of a joint is the line perpendicular to the mean of the two
// unit directions: it splits the joint into two mitred halves.
double TEZLine::JointSlope(double x0, double y0, double x1, double y1, double x2, double y2) {
    const double la = std::hypot(x1 - x0, y1 - y0), lb = std::hypot(x2 - x1, y2 - y1);
    if (la == 0 || lb == 0) return std::nan("");
    const double nx = (x1 - x0) / la + (x2 - x1) / lb;
    const double ny = (y1 - y0) / la + (y2 - y1) / lb;
    if (std::hypot(nx, ny) < 1e-9) return std::nan("");
    if (std::abs(ny) * kVerticalSlope <= std::abs(nx)) return kVerticalSlope;
    return -nx / ny;
}

void TEZLine::PlotPixel(uchar* pixel, int coverage, double offset, const int pen[3]) const {
    const int alpha =
        std::clamp(FloorRound(DashPattern(PenStyle, along * alongScale_ + offset) * coverage * Opacity), 0, 255);
    if (coverage == 0 || alpha == 0) return;
    for (int c = 0; c < 3; ++c) pixel[c] = static_cast<uchar>(BlendChannel(pixel[c], pen[c], alpha, PenMode));
}

double TEZLine::Line(double x1, double y1, double x2, double y2, TQuaBitmap* bitmap, bool noCutStart,
                     bool noCutEnd, double startCutSlope, double endCutSlope, double /*segmentSlope*/,
                     double offset) {
    const double result = offset + std::hypot(x2 - x1, y2 - y1);
    if (!Antialiased || Width < 0.01 || Bad(bitmap)) return result;

    // Drawn at the bitmap's own resolution: coordinates and width scale to
    // device pixels (a logical pixel's centre to the centre of its device
    // pixels), so the edges fade over device pixels and stay sharp; the dash
    // pattern still runs in logical pixels.
    const double ratio = bitmap->Ratio();
    if (ratio != 1) {
        auto device = [ratio](double v) { return v * ratio + (ratio - 1) / 2; };
        x1 = device(x1);
        y1 = device(y1);
        x2 = device(x2);
        y2 = device(y2);
    }
    alongScale_ = 1 / ratio;
    double w = (Width >= 1 ? Width : 2 * Width - 1) * ratio;
    const int width = bitmap->DeviceWidth(), height = bitmap->DeviceHeight();
    const int margin = RoundInt(w / 2 + 2);
    if ((x1 < -margin && x2 < -margin) || (y1 < -margin && y2 < -margin) ||
        (x1 > width - 1 + margin && x2 > width - 1 + margin) ||
        (y1 > height - 1 + margin && y2 > height - 1 + margin))
        return result;
    if (!CutEnds) noCutStart = noCutEnd = true;

    w += 2;
    const double reach = w / 2 + 1;
    SetDisConst(x1, y1, x2, y2);
    const Cut startCut(!noCutStart, true, x1, y1, startCutSlope, x2, y2);
    const Cut endCut(!noCutEnd, false, x2, y2, endCutSlope, x1, y1);

    bitmap->MakeRgb888();
    const TColor rgb = ColorToRGB(Color);
    const int pen[3] = {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};

    // Only the band around the segment is visited, clipped to the bitmap;
    // the geometry itself is never moved, so a line leaving the bitmap keeps
    // its slope and its dash phase.
    const double dx = x2 - x1, dy = y2 - y1;
    const int rowFirst = ClampIndex(std::floor(std::min(y1, y2) - reach), 0, height - 1);
    const int rowLast = ClampIndex(std::ceil(std::max(y1, y2) + reach), 0, height - 1);
    if (std::max(y1, y2) + reach < 0 || std::min(y1, y2) - reach > height - 1) return result;
    for (int y = rowFirst; y <= rowLast; ++y) {
        double lo = std::min(x1, x2) - reach, hi = std::max(x1, x2) + reach;
        if (std::abs(dy) > 1e-12) {
            const double centre = x1 + (y - y1) * dx / dy;
            const double half = reach * length_ / std::abs(dy);
            lo = std::max(lo, centre - half);
            hi = std::min(hi, centre + half);
        }
        if (hi < 0 || lo > width - 1 || lo > hi) continue;
        const int colFirst = ClampIndex(std::ceil(lo), 0, width - 1);
        const int colLast = ClampIndex(std::floor(hi), 0, width - 1);
        uchar* row = bitmap->ScanLine(y);
        for (int x = colFirst; x <= colLast; ++x) {
            const int coverage = Coverage(w, DistanceLine(x, y));
            if (coverage == 0 || !startCut.Inside(x, y) || !endCut.Inside(x, y)) continue;
            PlotPixel(row + 3 * x, coverage, offset, pen);
        }
    }
    return result;
}

double TEZLine::LineCut(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                        bool first, bool last, TQuaBitmap* bitmap, double offset) {
    const double startSlope = first ? 0 : JointSlope(x0, y0, x1, y1, x2, y2);
    const double endSlope = last ? 0 : JointSlope(x1, y1, x2, y2, x3, y3);
    return Line(x1, y1, x2, y2, bitmap, first || std::isnan(startSlope), last || std::isnan(endSlope), startSlope,
                endSlope, SegmentSlope(x1, y1, x2, y2), offset);
}

void TEZLine::PrepareCanvasPen(TQuaBitmap& bitmap) const {
    TQuaPen& pen = bitmap.Canvas().Pen;
    pen.Width = std::max(FloorRound(Width), 0);
    pen.Color = Color;
    pen.Style = PenStyle;
    pen.Mode = PenMode;
}

void TEZLine::PlainOutline(TQuaBitmap& bitmap, bool ellipse, int x1, int y1, int x2, int y2) const {
    PrepareCanvasPen(bitmap);
    TQuaCanvas& canvas = bitmap.Canvas();
    const TBrushStyle keep = canvas.Brush.Style;
    canvas.Brush.Style = bsClear;
    if (ellipse)
        canvas.Ellipse(x1, y1, x2, y2);
    else
        canvas.Rectangle(x1, y1, x2, y2);
    canvas.Brush.Style = keep;
}

double TEZLine::Line(double x1, double y1, double x2, double y2, TQuaBitmap* bitmap) {
    if (Bad(bitmap)) return PathOffset + std::hypot(x2 - x1, y2 - y1);
    if (!Antialiased) {
        PrepareCanvasPen(*bitmap);
        TQuaCanvas& canvas = bitmap->Canvas();
        canvas.MoveTo(RoundInt(x1), RoundInt(y1));
        canvas.LineTo(RoundInt(x2), RoundInt(y2));
        return PathOffset + std::hypot(x2 - x1, y2 - y1);
    }
    return Line(x1, y1, x2, y2, bitmap, true, true, 0, 0, SegmentSlope(x1, y1, x2, y2), PathOffset);
}

double TEZLine::DrawPath(std::span<const QPoint> input, bool closed, TQuaBitmap* bitmap, double offset) {
    const std::vector<QPoint> p = WithoutRepeats(input, closed);
    const int n = static_cast<int>(p.size());
    if (n < 2) return offset;
    const int segments = closed ? n : n - 1;
    auto at = [&](int i) { return p[((i % n) + n) % n]; };
    for (int i = 0; i < segments; ++i) {
        const bool first = !closed && i == 0;
        const bool last = !closed && i == segments - 1;
        const QPoint a = first ? at(i) : at(i - 1);
        const QPoint b = at(i), c = at(i + 1);
        const QPoint d = last ? at(i + 1) : at(i + 2);
        offset = LineCut(a.x(), a.y(), b.x(), b.y(), c.x(), c.y(), d.x(), d.y(), first, last, bitmap, offset);
    }
    return offset;
}

double TEZLine::PolyLine(std::span<const QPoint> points, int last, TQuaBitmap* bitmap) {
    if (Bad(bitmap) || last < 1) return PathOffset;
    const auto count = std::min<std::size_t>(static_cast<std::size_t>(last) + 1, points.size());
    const std::span<const QPoint> used = points.first(count);
    if (!Antialiased) {
        PrepareCanvasPen(*bitmap);
        bitmap->Canvas().Polyline(used);
        return PathOffset;
    }
    PathOffset = DrawPath(used, false, bitmap, PathOffset);
    return PathOffset;
}

void TEZLine::Bezier(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                     TQuaBitmap* bitmap) {
    if (Bad(bitmap)) return;
    if (!Antialiased) {
        PrepareCanvasPen(*bitmap);
        const QPoint control[4] = {{RoundInt(x0), RoundInt(y0)}, {RoundInt(x1), RoundInt(y1)},
                                   {RoundInt(x2), RoundInt(y2)}, {RoundInt(x3), RoundInt(y3)}};
        bitmap->Canvas().PolyBezier(control);
        return;
    }
    std::vector<QPoint> points;
    for (int k = 0; k <= 30; ++k) {
        const double t = k / 30.0, u = 1 - t;
        const double bx = u * u * u * x0 + 3 * t * u * u * x1 + 3 * t * t * u * x2 + t * t * t * x3;
        const double by = u * u * u * y0 + 3 * t * u * u * y1 + 3 * t * t * u * y2 + t * t * t * y3;
        const QPoint p(RoundInt(bx), RoundInt(by));
        if (points.empty() || points.back() != p) points.push_back(p);
    }
    PolyLine(points, static_cast<int>(points.size()) - 1, bitmap);
}

void TEZLine::SuperShape(double x, double y, double radius, double rotation, double m, double e1, double e2,
                         double e3, double endAngle, double step, TQuaBitmap* bitmap) {
    if (Bad(bitmap) || !Antialiased) return;
    // A step that does not advance would never reach the end angle.
    if (!(step > 0) || !std::isfinite(endAngle)) return;
    constexpr long kMaxPoints = 1'000'000;
    const double turn = rotation * std::numbers::pi / 180;
    std::vector<QPoint> points;
    for (long k = 0; k < kMaxPoints; ++k) {
        const double phi = k * step;
        if (phi > endAngle) break;
        if (e1 < 0.01 || e2 <= 0.01 || e3 <= 0.01) continue;
        const double den = std::pow(std::abs(std::cos(m * phi / 4)), e2) + std::pow(std::abs(std::sin(m * phi / 4)), e3);
        if (den == 0) continue;
        const double r = radius / std::pow(den, 1 / e1);
        const QPoint p(static_cast<int>(x) + RoundInt(r * std::cos(phi + turn)),
                       static_cast<int>(y) + RoundInt(r * std::sin(phi + turn)));
        if (points.empty() || points.back() != p) points.push_back(p);
    }
    DrawPath(points, false, bitmap, 0);
}

void TEZLine::Ellips(double cx, double cy, double x, double y, TQuaBitmap* bitmap) {
    if (Bad(bitmap)) return;
    if (!Antialiased) {
        PlainOutline(*bitmap, true, RoundInt(2 * cx - x), RoundInt(2 * cy - y), RoundInt(x) + 1, RoundInt(y) + 1);
        return;
    }
    const double rx = std::abs(x - cx), ry = std::abs(y - cy);
    // The perimeter 2 pi R walked in steps of 1/(15 pi) of it: 49 points
    // 2/15 radian apart, slightly more than a full turn.
    std::vector<QPoint> points;
    for (int k = 0; k <= 48; ++k) {
        const double theta = 2.0 * k / 15.0;
        points.emplace_back(RoundInt(cx + rx * std::cos(theta)), RoundInt(cy + ry * std::sin(theta)));
    }
    PathOffset = DrawPath(points, true, bitmap, PathOffset);
}

void TEZLine::Recangle(double x1, double y1, double x2, double y2, TQuaBitmap* bitmap) {
    if (Bad(bitmap)) return;
    if (!Antialiased) {
        PlainOutline(*bitmap, false, RoundInt(x1), RoundInt(y1), RoundInt(x2) + 1, RoundInt(y2) + 1);
        return;
    }
    const QPoint corners[4] = {{RoundInt(x1), RoundInt(y1)}, {RoundInt(x2), RoundInt(y1)},
                               {RoundInt(x2), RoundInt(y2)}, {RoundInt(x1), RoundInt(y2)}};
    DrawPath(corners, true, bitmap, 0);
}

}  // namespace quactl
