// The eight kinds of series. They share the points and transforms of
// TQuaGraphSeries and differ only in how they turn the points into pixels.
// Points are data values; sizes in pixels (shapes, line widths, label
// offsets) are the bitmap's logical pixels.
#pragma once

#include "quactl/quagraphseries.h"

#include <QImage>

#include <array>
#include <optional>
#include <vector>

namespace quactl {

// Kind 1: the trace. With ten or more points per pixel column the points are
// drawn group by group as the group's low, high and middle value at the
// column of its last point, so drawing time follows the plot width.
class QUACTL_EXPORT TQuaFastLineSeries : public TQuaGraphSeries {
public:
    TQuaFastLineSeries(QString name, int capacity, TColor color);
    TColor Color;

    // The vertices the pen visits, starting with the point it moves to.
    std::vector<QPoint> Path(const TQuaTransform& transform) const;

protected:
    void Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) override;
};

// Kind 2: vertical marker lines with labels. The label is split at "|"
// into lines; a line starting with "@" is written left of the marker. Y is
// the label row: rows count from the top for Y >= 0 and from the bottom
// upward for negative Y.
class QUACTL_EXPORT TQuaMarkerSeries : public TQuaGraphSeries {
public:
    TQuaMarkerSeries(QString name, int capacity, TColor labelBackColor, TColor labelFontColor);
    TColor LabelBackColor;
    TColor LabelFontColor;
    TPenStyle LinePenStyle = psSolid;

protected:
    void Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) override;
};

enum TQuaShapeStyle : std::uint8_t { qssEllipse = 0, qssFrame = 1 };

// Kind 3: a filled ellipse or a frame around every point, Z being its half
// size in pixels or (SizeInAxisUnits) in axis units.
class QUACTL_EXPORT TQuaShapeSeries : public TQuaGraphSeries {
public:
    TQuaShapeSeries(QString name, TQuaShapeStyle style, int capacity);
    TQuaShapeStyle Style;
    bool SizeInAxisUnits = false;

protected:
    void Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) override;
};

// Kind 4: separate segments between the points 0-1, 2-3 ..., each in the
// colour of its second point, labels centred below the points.
class QUACTL_EXPORT TQuaFreeLineSeries : public TQuaGraphSeries {
public:
    TQuaFreeLineSeries(QString name, int capacity);

protected:
    void Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) override;
};

// Kind 5: a raster of ImageWidth x ImageHeight values (points row after
// row), coloured through a 256-entry map and stretched over the points' X
// and Y extent. The raster is built at the first draw and kept.
class QUACTL_EXPORT TQuaImageSeries : public TQuaGraphSeries {
public:
    TQuaImageSeries(QString name, int columns, int rows, const QString& paletteName);
    int ImageWidth;
    int ImageHeight;
    std::array<TColor, 256> Palette;

    // "bone", "hsv", "hot", "cool" (in any letter case); any other name
    // gives the blue-cyan-yellow-red map.
    static std::array<TColor, 256> MakePalette(const QString& name);

protected:
    void Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) override;

private:
    std::optional<QImage> raster_;
};

// Kind 6: a line through every point in the point's colour; a point
// labelled "N" starts a new stretch (the segment leading to it is not drawn).
class QUACTL_EXPORT TQuaSemiFastLineSeries : public TQuaGraphSeries {
public:
    TQuaSemiFastLineSeries(QString name, int capacity);

protected:
    void Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) override;
};

enum TQuaAntialiaseSeriesType : std::uint8_t { qatPolyline = 0, qatSegments = 1, qatHorizontal = 2, qatVertical = 3 };

struct TQuaLineStyle {
    double Width;
    double Opacity;
    TPenStyle PenStyle;
    TPenMode PenMode;
};

// Kind 7: antialiased lines through TEZLine. Every point carries its own
// line style packed into the four bytes of Z.
class QUACTL_EXPORT TQuaAntialiasedLineSeries : public TQuaGraphSeries {
public:
    TQuaAntialiasedLineSeries(QString name, int capacity, TQuaAntialiaseSeriesType lineType);
    TQuaAntialiaseSeriesType LineType;

    using TQuaGraphSeries::AddPoint;
    int AddPoint(double x, double y, TColor color, double width, double opacity, TPenStyle penStyle, TPenMode penMode);
    static TQuaLineStyle DispatchValue(const TQuaPoint& point);

protected:
    void Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) override;
};

// Kind 8: red bands over the full plot height between the X of the points
// 0-1, 2-3 ..., the first point's Z (0..1) being the tint's weight.
class QUACTL_EXPORT TQuaRectangleSeries : public TQuaGraphSeries {
public:
    TQuaRectangleSeries(QString name, int capacity);

    static TColor Mix(TColor a, TColor b, double weight);
    static void LimitValue(int& value, int low, int high);

protected:
    void Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) override;
};

}  // namespace quactl
