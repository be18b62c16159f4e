// The data of one plot layer: TQuaPoint, and the abstract series that holds
// the points with their running extremes and maps data to the pixels of the
// bitmap it is drawn into.
#pragma once

#include "quactl/quacanvas.h"

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace quactl {

struct QUACTL_EXPORT TQuaPoint {
    double X = 0;
    double Y = 0;
    QString Label;
    TColor Color = 0;
    // A value, size or opacity by series; the antialiased-line series keeps
    // four bytes of its own here (see TQuaAntialiasedLineSeries).
    float Z = 0;

    TQuaPoint() = default;
    TQuaPoint(double x, double y, QString label, TColor color, float z)
        : X(x), Y(y), Label(std::move(label)), Color(color), Z(z) {}
    void Assign(const TQuaPoint& other) { *this = other; }
};

// The one mapping between data values and pixels: the axis limits and
// modes with the size of the area they span. The series map into their
// bitmap with it (honouring the axis modes); the graph maps its plot area
// with a linear one (TQuaGraph::PlotMapping). On logarithmic axes the limits
// are decade exponents.
struct QUACTL_EXPORT TQuaTransform {
    double XMin = 0, XMax = 1, YMin = 0, YMax = 1;
    bool XLog = false, YLog = false, XReverse = false, YReverse = false;
    int Width = 0, Height = 0;  // pixels of the area, X right and Y down

    // Data value to pixel offset from the area's left (top) edge, truncated.
    int X(double x) const;
    int Y(double y) const;
    // Pixel offset to data value: the inverse of X and Y before truncation.
    double InvertX(double px) const;
    double InvertY(double py) const;
};

// Truncation toward zero, kept within +-2^30 so that a point far outside the
// axis range (or a division by an empty span) cannot overflow the pixel.
QUACTL_EXPORT int TruncPixel(double v);

inline constexpr double kQuaLargeValue = 1.7976931348623156E300;

// The eight kinds of series, with the codes the component set gives them.
enum TQuaSeriesKind : std::uint8_t {
    qskFastLine = 1,
    qskMarker = 2,
    qskShape = 3,
    qskFreeLine = 4,
    qskImage = 5,
    qskSemiFastLine = 6,
    qskAntialiasedLine = 7,
    qskRectangle = 8,
};

class QUACTL_EXPORT TQuaGraphSeries {
public:
    TQuaGraphSeries(TQuaSeriesKind kind, QString name, int capacity);
    virtual ~TQuaGraphSeries();
    TQuaGraphSeries(const TQuaGraphSeries&) = delete;
    TQuaGraphSeries& operator=(const TQuaGraphSeries&) = delete;

    TQuaSeriesKind Kind() const { return kind_; }
    QString Name;
    TQuaFont Font;

    // Index of the point whose X is nearest (the earlier one on a tie), -1
    // for an empty series; distance receives |x - X| of that point.
    virtual int FindClosestPointX(double x, double& distance) const;
    // Appends a point and widens the extremes; returns the new point count.
    virtual int AddPoint(const QString& label, TColor color, double x, double y, double z);
    virtual TQuaPoint GetPoint(int i) const;
    virtual bool GetIgnoreXLim() const { return IgnoreXLim; }
    virtual bool GetIgnoreYLim() const { return IgnoreYLim; }

    // Stores the drawing context and draws the points into the bitmap.
    void DrawSeries(TQuaBitmap& bitmap, double xMin, double xMax, double yMin, double yMax, bool xLog, bool yLog,
                    bool xReverse, bool yReverse);

    int GetN() const { return static_cast<int>(x_.size()); }
    void ModifyPointX(int i, double x);
    void ModifyPointY(int i, double y);
    double GetMaxXValue() const { return maxX_; }
    double GetMinXValue() const { return minX_; }
    double GetMaxYValue() const { return maxY_; }
    double GetMinYValue() const { return minY_; }
    double GetMaxZValue() const { return maxZ_; }
    double GetMinZValue() const { return minZ_; }

    // Pixels (logical, see TQuaBitmap) in the bitmap of the current (or
    // last) DrawSeries call; valid only from the first DrawSeries on.
    int TransferX(double x) const { return transform_.X(x); }
    int TransferY(double y) const { return transform_.Y(y); }
    const TQuaTransform& Transform() const { return transform_; }

    // The coordinates as stored, for series that scan many points.
    std::span<const double> XValues() const { return x_; }
    std::span<const double> YValues() const { return y_; }

    bool IgnoreXLim = false;
    bool IgnoreYLim = false;

protected:
    virtual void Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) = 0;

    // Appends without touching the Z extremes.
    int AppendPoint(const QString& label, TColor color, double x, double y, float z);
    void WidenX(double x);
    void WidenY(double y);
    const QString& LabelAt(int i) const;
    TColor ColorAt(int i) const { return color_[static_cast<std::size_t>(i)]; }
    float ZAt(int i) const { return z_[static_cast<std::size_t>(i)]; }
    double XAt(int i) const { return x_[static_cast<std::size_t>(i)]; }
    double YAt(int i) const { return y_[static_cast<std::size_t>(i)]; }

private:
    TQuaSeriesKind kind_;
    // The points column by column: a trace of a million samples is scanned
    // at every paint, and its Y column alone is a small part of the memory
    // that whole points would take. Labels are kept only once one is set.
    std::vector<double> x_, y_;
    std::vector<float> z_;
    std::vector<TColor> color_;
    std::vector<QString> label_;
    bool hasLabels_ = false;
    double maxX_ = -kQuaLargeValue, minX_ = kQuaLargeValue;
    double maxY_ = -kQuaLargeValue, minY_ = kQuaLargeValue;
    double maxZ_ = -kQuaLargeValue, minZ_ = kQuaLargeValue;
    TQuaTransform transform_;
};

}  // namespace quactl
