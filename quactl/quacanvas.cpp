#include "quactl/quacanvas.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <vector>

namespace quactl {

namespace {

QPainter::CompositionMode CompositionFor(TPenMode mode) {
    switch (mode) {
    case pmBlack: return QPainter::RasterOp_ClearDestination;
    case pmWhite: return QPainter::RasterOp_SetDestination;
    case pmNop: return QPainter::CompositionMode_Destination;
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmCopy: return QPainter::CompositionMode_SourceOver;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    }
    return QPainter::CompositionMode_SourceOver;
}

// The dash lengths of the classic one-pixel pens.
QList<qreal> DashesFor(TPenStyle style) {
    switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

const QImage& MetricsDevice() {
    static const QImage device(1, 1, QImage::Format_RGB32);
    return device;
}

}  // namespace

QFontMetrics QuaFontMetrics(const QFont& font) {
    return QFontMetrics(font, &MetricsDevice());
}

TQuaCanvas::TQuaCanvas(QImage& target) : target_(target) {}

TQuaCanvas::~TQuaCanvas() { Release(); }

void TQuaCanvas::Release() { painter_.reset(); }

bool TQuaCanvas::Drawable() const { return !target_.isNull(); }

QPainter& TQuaCanvas::Painter() {
    if (!painter_) {
        painter_.emplace(&target_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    return *painter_;
}

void TQuaCanvas::ApplyPen(QPainter& p) const {
    if (!PenVisible()) {
        p.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(Pen.Color));
    if (Pen.Width <= 1) {
        // A cosmetic pen with flat caps leaves out the last pixel of a line,
        // so consecutive lines meet without drawing their joint twice. On a
        // finer screen the pen is one logical pixel wide instead, as wide as
        // the plain lines drawn beside it.
        pen.setWidthF(Ratio() > 1 ? 1.0 : 0.0);
        pen.setCapStyle(Qt::FlatCap);
        const QList<qreal> dashes = DashesFor(Pen.Style);
        if (!dashes.isEmpty()) pen.setDashPattern(dashes);
    } else {
        pen.setWidth(Pen.Width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    p.setPen(pen);
    p.setCompositionMode(CompositionFor(Pen.Mode));
}

void TQuaCanvas::ApplyBrush(QPainter& p) const {
    if (Brush.Style == bsClear)
        p.setBrush(Qt::NoBrush);
    else
        p.setBrush(ToQColor(Brush.Color));
}

double TQuaCanvas::Ratio() const { return target_.devicePixelRatio(); }

void TQuaCanvas::MoveTo(int x, int y) { PenPos = QPoint(x, y); }

// A one-pixel solid pen is drawn straight into the pixels: QPainter sends
// the spans of a 24-bit image through its generic, thread-pooled blending,
// which costs more than the lines themselves.
bool TQuaCanvas::PlainPen() const {
    const QImage::Format f = target_.format();
    return Pen.Width <= 1 && (Pen.Style == psSolid || Pen.Style == psInsideFrame) &&
           (f == QImage::Format_RGB888 || f == QImage::Format_RGB32);
}

// A pen of one logical pixel, in device pixels.
int TQuaCanvas::PenThickness() const { return std::max(1, static_cast<int>(std::lround(Ratio()))); }

// The pixels from (x0, y0) up to, not including, (x1, y1) (Bresenham, the
// minor coordinate rounded half up), each step `thickness` pixels across the
// line's main direction, so that a horizontal or vertical line covers whole
// logical pixels and every pixel is touched once (a raster operation drawn
// twice erases itself). Clipped to the image without walking the parts
// outside it.
void TQuaCanvas::PlainLine(long long x0, long long y0, long long x1, long long y1, int thickness) {
    const long long dx = x1 - x0, dy = y1 - y0;
    if ((dx == 0 && dy == 0) || Pen.Mode == pmNop) return;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const long long major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const long long n = std::abs(major), step = major > 0 ? 1 : -1;
    // A point stands for the block of thickness x thickness pixels from it
    // rightwards and downwards; walking up or left the line starts at the
    // block's far side, so that it covers the same blocks either way.
    const long long start = (xMajor ? x0 : y0) + (step < 0 ? thickness - 1 : 0), other = xMajor ? y0 : x0;
    const long long majorLimit = (xMajor ? target_.width() : target_.height()) - 1;
    const long long minorLimit = (xMajor ? target_.height() : target_.width()) - 1;
    // Steps i in [0, n) whose major coordinate start + i * step lies inside.
    long long first = step > 0 ? -start : start - majorLimit;
    long long last = step > 0 ? majorLimit - start : start;
    first = std::max(first, 0LL);
    last = std::min(last, n - 1);
    if (first > last) return;

    const TColor rgb = ColorToRGB(Pen.Color);
    const int pen[3] = {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};
    const bool rgb888 = target_.format() == QImage::Format_RGB888;
    uchar* bits = target_.bits();
    const qsizetype stride = target_.bytesPerLine();
    // minor offset at step i = floor((2 i minor + n) / 2n), kept incrementally
    const long long den = 2 * n;
    long long num = 2 * first * minor + n;
    long long offset = num >= 0 ? num / den : -((-num + den - 1) / den);
    long long rest = num - offset * den;
    // Each step sets a run of pixels across the main direction: a column
    // of rows for a flat line, a stretch of one row for a steep one.
    const qsizetype pixelBytes = rgb888 ? 3 : 4;
    const qsizetype majorStride = (xMajor ? pixelBytes : stride) * step;
    const qsizetype runStride = xMajor ? stride : pixelBytes;
    auto address = [&](long long a, long long b) {
        return xMajor ? bits + b * stride + a * pixelBytes : bits + a * stride + b * pixelBytes;
    };
    // The runs stay inside the image when the minor coordinate does all the
    // way: then the pixel address just moves along, step by step.
    const long long lowest = std::min(other + offset, other + minor), highest = std::max(other + offset, other + minor);
    const bool inside = lowest >= 0 && highest + thickness - 1 <= minorLimit;
    auto walk = [&](auto&& set) {
        if (inside && minor == 0) {
            // Straight across or down, most of a trace: no stepping aside.
            uchar* p = address(start + first * step, other + offset);
            for (long long i = first; i <= last; ++i, p += majorStride)
                for (int k = 0; k < thickness; ++k) set(p + k * runStride);
            return;
        }
        if (inside) {
            uchar* p = address(start + first * step, other + offset);
            for (long long i = first; i <= last; ++i, p += majorStride) {
                for (int k = 0; k < thickness; ++k) set(p + k * runStride);
                rest += 2 * minor;
                if (rest >= den) {
                    rest -= den;
                    p += runStride;
                } else if (rest < 0) {
                    rest += den;
                    p -= runStride;
                }
            }
            return;
        }
        for (long long i = first; i <= last; ++i) {
            const long long from = std::max(other + offset, 0LL);
            const long long to = std::min(other + offset + thickness - 1, minorLimit);
            if (from <= to) {
                uchar* p = address(start + i * step, from);
                for (long long b = from; b <= to; ++b, p += runStride) set(p);
            }
            rest += 2 * minor;
            if (rest >= den) {
                rest -= den;
                ++offset;
            } else if (rest < 0) {
                rest += den;
                --offset;
            }
        }
    };
    // A plain copy, the pen of every trace, is written without the table
    // of raster operations.
    if (Pen.Mode == pmCopy && rgb888) {
        const uchar r = static_cast<uchar>(pen[0]), g = static_cast<uchar>(pen[1]), b = static_cast<uchar>(pen[2]);
        walk([&](uchar* p) {
            p[0] = r;
            p[1] = g;
            p[2] = b;
        });
    } else if (Pen.Mode == pmCopy) {
        const QRgb value = qRgb(pen[0], pen[1], pen[2]);
        walk([&](uchar* p) { *reinterpret_cast<QRgb*>(p) = value; });
    } else if (rgb888) {
        walk([&](uchar* p) {
            for (int c = 0; c < 3; ++c) p[c] = static_cast<uchar>(RasterOp(Pen.Mode, p[c], pen[c]));
        });
    } else {
        walk([&](uchar* p) {
            auto* q = reinterpret_cast<QRgb*>(p);
            *q = qRgb(RasterOp(Pen.Mode, qRed(*q), pen[0]), RasterOp(Pen.Mode, qGreen(*q), pen[1]),
                      RasterOp(Pen.Mode, qBlue(*q), pen[2]));
        });
    }
}

void TQuaCanvas::PlainLogicalLine(QPoint from, QPoint to) {
    const double r = Ratio();
    PlainLine(ToDevicePixels(from.x(), r), ToDevicePixels(from.y(), r), ToDevicePixels(to.x(), r),
              ToDevicePixels(to.y(), r), PenThickness());
}

void TQuaCanvas::LineTo(int x, int y) {
    const QPoint to(x, y);
    if (!Drawable()) {
        PenPos = to;
        return;
    }
    if (PenVisible() && to != PenPos && PlainPen()) {
        Release();
        PlainLogicalLine(PenPos, to);
    } else if (PenVisible() && to != PenPos) {
        QPainter& p = Painter();
        ApplyPen(p);
        p.drawLine(PenPos, to);
    }
    PenPos = to;
}

void TQuaCanvas::Polyline(std::span<const QPoint> points) {
    if (points.empty()) return;
    if (!Drawable()) {
        PenPos = points.back();
        return;
    }
    if (PenVisible() && points.size() > 1 && PlainPen()) {
        Release();
        for (std::size_t i = 1; i < points.size(); ++i) PlainLogicalLine(points[i - 1], points[i]);
    } else if (PenVisible() && points.size() > 1) {
        QPainter& p = Painter();
        ApplyPen(p);
        p.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
    PenPos = points.back();
}

void TQuaCanvas::DevicePolyline(std::span<const QPoint> points) {
    if (points.size() < 2 || !PenVisible() || !Drawable()) return;
    if (PlainPen()) {
        Release();
        const int thickness = PenThickness();
        for (std::size_t i = 1; i < points.size(); ++i) {
            const QPoint a = points[i - 1], b = points[i];
            // Along a column and back over part of it (a thinned trace's
            // low, high and middle): one run over the column from end to
            // end, each pixel written once, where the two lines would write
            // half of it twice. Only a copy pen may skip the second pass.
            if (Pen.Mode == pmCopy && i + 1 < points.size()) {
                const QPoint c = points[i + 1];
                const int top = std::min(a.y(), b.y()), bottom = std::max(a.y(), b.y());
                if (a.x() == b.x() && c.x() == b.x() && c.y() >= top && c.y() <= bottom) {
                    PlainLine(a.x(), top, a.x(), bottom + thickness, thickness);
                    ++i;
                    continue;
                }
            }
            PlainLine(a.x(), a.y(), b.x(), b.y(), thickness);
        }
        return;
    }
    QPainter& p = Painter();
    p.save();
    p.scale(1 / Ratio(), 1 / Ratio());
    ApplyPen(p);
    QPen pen = p.pen();
    if (pen.style() != Qt::NoPen && pen.widthF() > 0) {
        pen.setWidthF(pen.widthF() * Ratio());
        p.setPen(pen);
    }
    p.drawPolyline(points.data(), static_cast<int>(points.size()));
    p.restore();
}

void TQuaCanvas::PolyBezier(std::span<const QPoint> points) {
    if (points.size() < 4 || !PenVisible() || !Drawable()) return;
    QPainterPath path(points[0]);
    for (std::size_t i = 1; i + 2 < points.size(); i += 3) path.cubicTo(points[i], points[i + 1], points[i + 2]);
    QPainter& p = Painter();
    ApplyPen(p);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void TQuaCanvas::FillRect(const QRect& rect) {
    const QRect r = rect.normalized();
    if (r.isEmpty() || Brush.Style == bsClear || Pen.Mode == pmNop || !Drawable()) return;
    QPainter& p = Painter();
    p.setCompositionMode(CompositionFor(Pen.Mode));
    p.fillRect(r, ToQColor(Brush.Color));
}

void TQuaCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    const int left = std::min(x1, x2), right = std::max(x1, x2);
    const int top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (right - left <= 0 || bottom - top <= 0 || !Drawable()) return;
    QPainter& p = Painter();
    const QPainter::CompositionMode mode = CompositionFor(Pen.Mode);
    if (!PenVisible()) {
        // Without a pen the filled area is one pixel smaller each way.
        if (Brush.Style != bsClear && Pen.Mode != pmNop) {
            p.setCompositionMode(mode);
            p.fillRect(QRect(left, top, right - left - 1, bottom - top - 1), ToQColor(Brush.Color));
        }
        return;
    }
    if (Pen.Width > 1 && Pen.Mode == pmCopy) {
        ApplyPen(p);
        ApplyBrush(p);
        const int w = Pen.Width;
        p.drawRect(QRectF(left + w / 2.0, top + w / 2.0, right - left - w, bottom - top - w));
        return;
    }
    // Border and interior are disjoint, so a raster operation touches every
    // pixel once: an inverted rectangle drawn twice disappears.
    p.setCompositionMode(mode);
    const int width = right - left, height = bottom - top;
    if (Brush.Style != bsClear && width > 2 && height > 2)
        p.fillRect(QRect(left + 1, top + 1, width - 2, height - 2), ToQColor(Brush.Color));
    const QColor pen = ToQColor(Pen.Color);
    if (width <= 2 || height <= 2) {
        p.fillRect(QRect(left, top, width, height), pen);
        return;
    }
    p.fillRect(QRect(left, top, width, 1), pen);
    p.fillRect(QRect(left, bottom - 1, width, 1), pen);
    p.fillRect(QRect(left, top + 1, 1, height - 2), pen);
    p.fillRect(QRect(right - 1, top + 1, 1, height - 2), pen);
}

void TQuaCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    const QRect r = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
    if (r.width() <= 0 || r.height() <= 0 || !Drawable()) return;
    QPainter& p = Painter();
    ApplyPen(p);
    ApplyBrush(p);
    p.setCompositionMode(CompositionFor(Pen.Mode));
    if (PenVisible())
        p.drawEllipse(r.adjusted(0, 0, -1, -1));
    else
        p.drawEllipse(r);
}

int TQuaCanvas::TextWidth(const QString& text) const {
    return QuaFontMetrics(Font.Font()).horizontalAdvance(text);
}

int TQuaCanvas::TextHeight(const QString& text) const {
    return QuaFontMetrics(Font.Font()).height();
}

void TQuaCanvas::TextOut(int x, int y, const QString& text) {
    const QFontMetrics fm = QuaFontMetrics(Font.Font());
    const int width = fm.horizontalAdvance(text);
    if (!text.isEmpty() && Drawable()) {
        QPainter& p = Painter();
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (Brush.Style != bsClear) p.fillRect(QRect(x, y, width, fm.height()), ToQColor(Brush.Color));
        p.setFont(Font.Font());
        p.setPen(ToQColor(Font.Color()));
        p.drawText(QPoint(x, y + fm.ascent()), text);
    }
    PenPos = QPoint(x + width, y);
}

void TQuaCanvas::TextOutUp(int x, int y, const QString& text) {
    if (text.isEmpty() || !Drawable()) return;
    const QFontMetrics fm = QuaFontMetrics(Font.Font());
    QPainter& p = Painter();
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.translate(x, y + fm.horizontalAdvance(text));
    p.rotate(-90);
    p.setFont(Font.Font());
    p.setPen(ToQColor(Font.Color()));
    p.drawText(QPoint(0, fm.ascent()), text);
    p.restore();
}

namespace {

// The plot bitmap (24-bit) is copied into the 32-bit back buffer at every
// paint, pixel for pixel at a device position. QPainter converts the rows on
// the fly (with vector instructions, ten times as fast as a loop by hand)
// when it draws into a view of the target's rectangle at a ratio of 1.
void CopyRgb888IntoRgb32(QImage& target, int x, int y, const QImage& source) {
    const QRect area = QRect(x, y, source.width(), source.height()).intersected(target.rect());
    if (area.isEmpty()) return;
    const qsizetype stride = target.bytesPerLine();
    QImage view(target.bits() + area.top() * stride + area.left() * 4, area.width(), area.height(), stride,
                QImage::Format_RGB32);
    QImage pixels = source;  // shares the pixels; only the ratio differs
    pixels.setDevicePixelRatio(1);
    QPainter p(&view);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), pixels, QRect(area.left() - x, area.top() - y, area.width(), area.height()));
}

}  // namespace

void TQuaCanvas::Draw(int x, int y, const QImage& image) {
    if (image.isNull() || !Drawable()) return;
    if (image.format() == QImage::Format_RGB888 && target_.format() == QImage::Format_RGB32 &&
        image.devicePixelRatio() == Ratio()) {
        Release();
        const double r = Ratio();
        CopyRgb888IntoRgb32(target_, static_cast<int>(ToDevicePixels(x, r)), static_cast<int>(ToDevicePixels(y, r)),
                            image);
        return;
    }
    QPainter& p = Painter();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(x, y, image);
}

void TQuaCanvas::StretchDraw(int left, int top, int right, int bottom, const QImage& image) {
    if (image.isNull() || left == right || top == bottom || !Drawable()) return;
    const bool mirrorX = right < left, mirrorY = bottom < top;
    const QRect target(QPoint(std::min(left, right), std::min(top, bottom)),
                       QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1));
    QPainter& p = Painter();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (mirrorX || mirrorY)
        p.drawImage(target, image.mirrored(mirrorX, mirrorY));
    else
        p.drawImage(target, image);
}

TQuaBitmap::TQuaBitmap(QImage::Format format) : format_(format), canvas_(image_) {}

TQuaBitmap::TQuaBitmap(int width, int height, QImage::Format format) : format_(format), canvas_(image_) {
    SetSize(width, height);
}

void TQuaBitmap::SetSize(int width, int height) { SetSize(width, height, ratio_); }

void TQuaBitmap::SetSize(int width, int height, double ratio) {
    canvas_.Release();
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (!(ratio > 0) || !std::isfinite(ratio)) ratio = 1;
    if (width_ == width && height_ == height && ratio_ == ratio && image_.format() == format_ && !image_.isNull())
        return;
    auto device = [ratio](int logical) {
        return logical == 0 ? 0 : std::max(1, static_cast<int>(std::min<long long>(ToDevicePixels(logical, ratio), 1 << 30)));
    };
    image_ = QImage(device(width), device(height), format_);
    ratio_ = ratio;
    if (image_.isNull()) {
        width_ = height_ = 0;
        return;
    }
    image_.setDevicePixelRatio(ratio);
    image_.fill(Qt::white);
    width_ = width;
    height_ = height;
}

QImage& TQuaBitmap::Image() {
    canvas_.Release();
    return image_;
}

uchar* TQuaBitmap::ScanLine(int y) {
    canvas_.Release();
    return image_.scanLine(y);
}

void TQuaBitmap::MakeRgb888() {
    canvas_.Release();
    format_ = QImage::Format_RGB888;
    if (!image_.isNull() && image_.format() != QImage::Format_RGB888) {
        image_.convertTo(QImage::Format_RGB888);
        image_.setDevicePixelRatio(ratio_);
    }
}

void FillBitmap(TQuaBitmap& bitmap, TColor color) {
    TQuaCanvas& c = bitmap.Canvas();
    c.Pen.Mode = pmCopy;
    c.Pen.Style = psSolid;
    c.Pen.Width = 1;
    c.Pen.Color = color;
    c.Brush.Color = color;
    c.Brush.Style = bsSolid;
    c.Rectangle(0, 0, bitmap.Width(), bitmap.Height());
}

}  // namespace quactl
