// A drawing surface with the behaviour the components were designed for: a
// canvas whose pen, brush, font and pen position persist between calls (a
// series may rely on the brush colour an earlier series left behind), lines
// that leave out their last pixel, rectangles that end one pixel before their
// right and bottom coordinates, opaque text boxes in the brush colour, and
// the sixteen pen modes as raster operations.
//
// TQuaBitmap owns an image and its canvas. The canvas keeps one QPainter open
// while it draws; anything that reads or writes the pixels directly (the
// antialiased lines, the rectangle bands) asks the bitmap for them, which
// closes the painter first.
//
// Sharp on any screen: a bitmap has a device pixel ratio, the device pixels
// per logical pixel each way (2 on a screen of twice the usual density). Its
// size and every coordinate given to its canvas are logical pixels, the
// geometry the components are laid out in; the image holds size x ratio
// device pixels, so text and shapes come out at the screen's own resolution.
// A pen of one pixel covers `ratio` device pixels (lines keep their weight);
// DevicePolyline takes its points in device pixels, for a series that can
// place them finer than a logical pixel.
#pragma once

#include "quactl/quatypes.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>

#include <cmath>
#include <optional>
#include <span>

namespace quactl {

struct TQuaPen {
    TColor Color = clBlack;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    int Width = 1;
};

struct TQuaBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Text metrics at the 96 dots per inch of every image the components draw
// into, in logical pixels, so that sizes computed before drawing match what
// is drawn at any device pixel ratio.
QUACTL_EXPORT QFontMetrics QuaFontMetrics(const QFont& font);

// The device pixel at which a logical coordinate starts.
inline long long ToDevicePixels(double logical, double ratio) {
    return static_cast<long long>(std::floor(logical * ratio + 0.5));
}

class QUACTL_EXPORT TQuaCanvas {
public:
    explicit TQuaCanvas(QImage& target);
    ~TQuaCanvas();
    TQuaCanvas(const TQuaCanvas&) = delete;
    TQuaCanvas& operator=(const TQuaCanvas&) = delete;

    TQuaPen Pen;
    TQuaBrush Brush;
    TQuaFont Font;
    QPoint PenPos;

    // Device pixels per logical pixel of the target image.
    double Ratio() const;

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Lines through all points; the pen ends at the last one.
    void Polyline(std::span<const QPoint> points);
    // The same with the points in device pixels of the target (the pen
    // position is left alone); where the line runs along a column and back
    // over part of it, the column is one run with both ends' pixels.
    void DevicePolyline(std::span<const QPoint> points);
    // A cubic Bezier curve through 3n + 1 points.
    void PolyBezier(std::span<const QPoint> points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Ellipse(int x1, int y1, int x2, int y2);
    // Fills [x1, x2) x [y1, y2) with the brush, in the pen mode.
    void FillRect(const QRect& rect);
    void TextOut(int x, int y, const QString& text);
    // Text turned a quarter turn counter-clockwise (reading bottom to top),
    // its box's top-left corner at (x, y); the background is left alone.
    void TextOutUp(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    // Copies an image with its top-left corner at (x, y).
    void Draw(int x, int y, const QImage& image);
    // Copies an image stretched (nearest pixel) into left/top/right/bottom;
    // a right edge left of the left edge or a bottom above the top mirrors it.
    void StretchDraw(int left, int top, int right, int bottom, const QImage& image);

    // Closes the painter so the pixels can be used directly.
    void Release();

private:
    QPainter& Painter();
    // An image without pixels (a bitmap not sized yet) takes no drawing.
    bool Drawable() const;
    bool PlainPen() const;
    // From one device pixel up to (not including) another, `thickness`
    // device pixels across.
    void PlainLine(long long x0, long long y0, long long x1, long long y1, int thickness);
    void PlainLogicalLine(QPoint from, QPoint to);
    int PenThickness() const;
    void ApplyPen(QPainter& p) const;
    void ApplyBrush(QPainter& p) const;
    bool PenVisible() const { return Pen.Style != psClear && Pen.Mode != pmNop; }

    QImage& target_;
    std::optional<QPainter> painter_;
};

class QUACTL_EXPORT TQuaBitmap {
public:
    explicit TQuaBitmap(QImage::Format format = QImage::Format_RGB888);
    TQuaBitmap(int width, int height, QImage::Format format = QImage::Format_RGB888);
    TQuaBitmap(const TQuaBitmap&) = delete;
    TQuaBitmap& operator=(const TQuaBitmap&) = delete;

    // Sizes in logical pixels. New pixels are white; the canvas keeps its
    // pen, brush and font. Without a ratio the bitmap keeps the one it has
    // (1 to begin with).
    void SetSize(int width, int height);
    void SetSize(int width, int height, double ratio);
    int Width() const { return width_; }
    int Height() const { return height_; }
    double Ratio() const { return ratio_; }
    // The image's own size, in device pixels.
    int DeviceWidth() const { return image_.width(); }
    int DeviceHeight() const { return image_.height(); }
    bool Empty() const { return image_.isNull() || width_ <= 0 || height_ <= 0; }

    TQuaCanvas& Canvas() { return canvas_; }
    // The finished pixels (the canvas painter is closed first); the image
    // carries the device pixel ratio.
    QImage& Image();
    // Direct pixel access, device row by device row.
    uchar* ScanLine(int y);
    // Makes the pixels 24-bit, three bytes a pixel, R G B.
    void MakeRgb888();

private:
    QImage::Format format_;
    QImage image_;
    int width_ = 0, height_ = 0;
    double ratio_ = 1;
    TQuaCanvas canvas_;
};

// Fills the whole bitmap with one colour, which the canvas keeps as its
// pen and brush colour (a series may rely on the brush the fill left).
QUACTL_EXPORT void FillBitmap(TQuaBitmap& bitmap, TColor color);

}  // namespace quactl
