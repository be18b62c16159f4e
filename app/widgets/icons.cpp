#include "icons.h"

#include "common/focalmath.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace dyma::gui {

namespace {

const QColor kInk(40, 40, 40);
const QColor kChannelBlue(30, 90, 200);
const QColor kTimeGreen(20, 140, 60);
const QColor kTraceGrey(90, 90, 90);

// Every icon is designed on a 24 x 24 grid and scaled to the wanted size.
class Canvas {
public:
    explicit Canvas(int size) : image_(size, size, QImage::Format_ARGB32_Premultiplied) {
        image_.fill(Qt::transparent);
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.scale(size / 24.0, size / 24.0);
    }
    QPainter& P() { return painter_; }
    QImage Take() {
        painter_.end();
        return image_;
    }
    void Pen(const QColor& c, double width) {
        QPen pen(c, width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter_.setPen(pen);
    }
    void Polygon(std::initializer_list<QPointF> points, const QColor& fill) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(fill);
        painter_.drawPolygon(QPolygonF(QList<QPointF>(points)));
    }
    void Text(const QRectF& box, const QString& text, const QColor& c, double pixelSize) {
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);
        font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
        // The painter is scaled; the font size is in grid units.
        painter_.setFont(font);
        painter_.setPen(c);
        painter_.drawText(box, Qt::AlignCenter, text);
    }

private:
    QImage image_;
    QPainter painter_;
};

// A short wiggle, the sign of a seismogram.
void Wiggle(Canvas& c, double y, double x0, double x1, double amplitude, const QColor& colour) {
    QPainterPath path(QPointF(x0, y));
    const int n = 24;
    for (int i = 1; i <= n; ++i) {
        const double t = double(i) / n;
        const double envelope = t < 0.3 ? 0.15 : std::exp(-(t - 0.3) * 2.5);
        path.lineTo(x0 + (x1 - x0) * t, y - amplitude * envelope * std::sin(t * 30.0));
    }
    c.Pen(colour, 1.3);
    c.P().setBrush(Qt::NoBrush);
    c.P().drawPath(path);
}

void TriangleUp(Canvas& c, double cx, double top, const QColor& fill) {
    c.Polygon({{cx, top}, {cx + 6, top + 7}, {cx - 6, top + 7}}, fill);
}
void TriangleDown(Canvas& c, double cx, double top, const QColor& fill) {
    c.Polygon({{cx - 6, top}, {cx + 6, top}, {cx, top + 7}}, fill);
}
void TriangleLeft(Canvas& c, double left, double cy, const QColor& fill) {
    c.Polygon({{left, cy}, {left + 7, cy - 6}, {left + 7, cy + 6}}, fill);
}
void TriangleRight(Canvas& c, double left, double cy, const QColor& fill) {
    c.Polygon({{left, cy - 6}, {left + 7, cy}, {left, cy + 6}}, fill);
}

// The time axis under the time-window buttons.
void TimeAxis(Canvas& c) {
    c.Pen(kInk, 1.2);
    c.P().drawLine(QPointF(2, 20), QPointF(22, 20));
}

void Tray(Canvas& c) {
    c.Pen(kInk, 1.6);
    c.P().setBrush(QColor(230, 230, 235));
    c.P().drawRoundedRect(QRectF(3, 14, 18, 7), 1.5, 1.5);
}

void Magnifier(Canvas& c, bool plus) {
    c.Pen(kInk, 2.0);
    c.P().setBrush(QColor(220, 235, 255));
    c.P().drawEllipse(QPointF(10, 10), 6.5, 6.5);
    c.Pen(kInk, 3.0);
    c.P().drawLine(QPointF(15, 15), QPointF(21, 21));
    c.Pen(kChannelBlue, 2.0);
    c.P().drawLine(QPointF(7, 10), QPointF(13, 10));
    if (plus) c.P().drawLine(QPointF(10, 7), QPointF(10, 13));
}

void WaveButton(Canvas& c, const QString& letter, const QColor& colour) {
    Wiggle(c, 17, 2, 22, 5, kTraceGrey);
    c.Pen(colour, 1.6);
    c.P().drawLine(QPointF(8, 10), QPointF(8, 22));
    c.Text(QRectF(9, 0, 14, 12), letter, colour, 11);
}

void DrawIcon(Canvas& c, IconKind kind) {
    QPainter& p = c.P();
    switch (kind) {
    case IconKind::Open:
        c.Pen(QColor(150, 110, 20), 1.2);
        p.setBrush(QColor(240, 200, 80));
        p.drawPolygon(QPolygonF({{2, 6}, {9, 6}, {11, 8}, {21, 8}, {21, 20}, {2, 20}}));
        p.setBrush(QColor(252, 222, 120));
        p.drawPolygon(QPolygonF({{5, 11}, {23, 11}, {20, 20}, {2, 20}}));
        break;
    case IconKind::Save:
        c.Pen(QColor(20, 40, 100), 1.2);
        p.setBrush(QColor(50, 90, 180));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 3, 12, 7));
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(7, 14, 10, 7));
        p.setBrush(QColor(20, 40, 100));
        p.drawRect(QRectF(14, 4.5, 2.5, 4));
        break;
    case IconKind::Import:
        Tray(c);
        c.Pen(kTimeGreen, 2.6);
        p.drawLine(QPointF(12, 2), QPointF(12, 13));
        c.Polygon({{7, 10}, {17, 10}, {12, 16}}, kTimeGreen);
        break;
    case IconKind::Export:
        Tray(c);
        c.Pen(QColor(200, 90, 20), 2.6);
        p.drawLine(QPointF(12, 16), QPointF(12, 6));
        c.Polygon({{7, 8}, {17, 8}, {12, 2}}, QColor(200, 90, 20));
        break;
    case IconKind::Preferences:
        for (int i = 0; i < 3; ++i) {
            const double y = 6 + i * 6;
            const double knob = i == 0 ? 8 : (i == 1 ? 16 : 11);
            c.Pen(kInk, 1.6);
            p.drawLine(QPointF(3, y), QPointF(21, y));
            c.Pen(kInk, 1.2);
            p.setBrush(i == 1 ? QColor(230, 120, 40) : QColor(90, 150, 230));
            p.drawEllipse(QPointF(knob, y), 2.6, 2.6);
        }
        break;
    case IconKind::Print:
        c.Pen(kInk, 1.2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 2, 10, 8));
        p.setBrush(QColor(170, 170, 180));
        p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 15, 12, 7));
        c.Pen(kTraceGrey, 1.0);
        p.drawLine(QPointF(8, 18), QPointF(16, 18));
        p.drawLine(QPointF(8, 20), QPointF(14, 20));
        break;
    case IconKind::FirstSeismogram:
        c.Pen(kChannelBlue, 2.2);
        p.drawLine(QPointF(6, 3), QPointF(18, 3));
        TriangleUp(c, 12, 5, kChannelBlue);
        Wiggle(c, 18, 2, 22, 4, kTraceGrey);
        break;
    case IconKind::PreviousSeismogram:
        TriangleUp(c, 12, 3, kChannelBlue);
        Wiggle(c, 17, 2, 22, 4, kTraceGrey);
        break;
    case IconKind::NextSeismogram:
        Wiggle(c, 7, 2, 22, 4, kTraceGrey);
        TriangleDown(c, 12, 13, kChannelBlue);
        break;
    case IconKind::LastSeismogram:
        Wiggle(c, 6, 2, 22, 4, kTraceGrey);
        TriangleDown(c, 12, 12, kChannelBlue);
        c.Pen(kChannelBlue, 2.2);
        p.drawLine(QPointF(6, 21), QPointF(18, 21));
        break;
    case IconKind::FastBackward:
        TriangleLeft(c, 3, 10, kTimeGreen);
        TriangleLeft(c, 10, 10, kTimeGreen);
        TimeAxis(c);
        break;
    case IconKind::SlowBackward:
        TriangleLeft(c, 8, 10, kTimeGreen);
        TimeAxis(c);
        break;
    case IconKind::SlowForward:
        TriangleRight(c, 9, 10, kTimeGreen);
        TimeAxis(c);
        break;
    case IconKind::FastForward:
        TriangleRight(c, 7, 10, kTimeGreen);
        TriangleRight(c, 14, 10, kTimeGreen);
        TimeAxis(c);
        break;
    case IconKind::FiveSeconds:
        c.Text(QRectF(0, 1, 24, 15), QStringLiteral("5s"), kTimeGreen, 12);
        TimeAxis(c);
        c.Pen(kInk, 1.2);
        p.drawLine(QPointF(2, 17), QPointF(2, 22));
        break;
    case IconKind::TenSeconds:
        c.Text(QRectF(0, 1, 24, 15), QStringLiteral("10s"), kTimeGreen, 11);
        TimeAxis(c);
        c.Pen(kInk, 1.2);
        p.drawLine(QPointF(2, 17), QPointF(2, 22));
        break;
    case IconKind::Stretch:
        Wiggle(c, 12, 9, 23, 7, kTraceGrey);
        c.Polygon({{5, 1}, {9, 6}, {1, 6}}, kChannelBlue);
        c.Polygon({{1, 18}, {9, 18}, {5, 23}}, kChannelBlue);
        c.Pen(kChannelBlue, 1.6);
        p.drawLine(QPointF(5, 6), QPointF(5, 18));
        break;
    case IconKind::Shrink:
        Wiggle(c, 12, 9, 23, 3, kTraceGrey);
        c.Polygon({{1, 3}, {9, 3}, {5, 9}}, kChannelBlue);
        c.Polygon({{5, 15}, {9, 21}, {1, 21}}, kChannelBlue);
        break;
    case IconKind::CancelStretch:
        Wiggle(c, 17, 2, 22, 4, kTraceGrey);
        c.Text(QRectF(0, 0, 24, 12), QStringLiteral("1:1"), kChannelBlue, 10);
        break;
    case IconKind::ZoomIn: Magnifier(c, true); break;
    case IconKind::ZoomOut: Magnifier(c, false); break;
    case IconKind::DirectWave: WaveButton(c, QStringLiteral("C"), QColor(20, 20, 20)); break;
    case IconKind::AWave: WaveButton(c, QStringLiteral("A"), QColor(190, 30, 30)); break;
    case IconKind::BWave: WaveButton(c, QStringLiteral("B"), kChannelBlue); break;
    case IconKind::RemoveMarker:
        Wiggle(c, 15, 2, 22, 4, kTraceGrey);
        c.Pen(kTimeGreen, 1.8);
        p.drawLine(QPointF(9, 4), QPointF(9, 22));
        c.Pen(QColor(210, 30, 30), 2.6);
        p.drawLine(QPointF(13, 3), QPointF(21, 11));
        p.drawLine(QPointF(21, 3), QPointF(13, 11));
        break;
    }
}

}  // namespace

QImage DrawToolImage(IconKind kind, int size) {
    Canvas canvas(size);
    DrawIcon(canvas, kind);
    return canvas.Take();
}

QImage DisabledVariant(const QImage& enabled) {
    const QImage source = enabled.convertToFormat(QImage::Format_ARGB32);
    QImage out(source.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    // A white copy one pixel down and right, then the drawing in greys on
    // top: the engraved look of a disabled button.
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb s = source.pixel(x, y);
            if (qAlpha(s) == 0) continue;
            if (x + 1 < out.width() && y + 1 < out.height())
                out.setPixel(x + 1, y + 1, qRgba(255, 255, 255, qAlpha(s)));
        }
    }
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb s = source.pixel(x, y);
            const int a = qAlpha(s);
            if (a == 0) continue;
            const int grey = 110 + qGray(s) * 90 / 255;
            const QRgb under = out.pixel(x, y);
            // Source-over of the grey pixel on the white shadow.
            const int r = (grey * a + qRed(under) * (255 - a)) / 255;
            const int alpha = a + qAlpha(under) * (255 - a) / 255;
            out.setPixel(x, y, qRgba(r, r, r, std::min(255, alpha)));
        }
    }
    return out;
}

QIcon ToolIcon(IconKind kind) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        const QImage enabled = DrawToolImage(kind, size);
        icon.addPixmap(QPixmap::fromImage(enabled), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(DisabledVariant(enabled)), QIcon::Disabled);
    }
    return icon;
}

namespace {

QImage RenderBeachBall(int big) {
    // An oblique strike-slip mechanism: all four quadrants show, the
    // picture a seismologist knows at a glance. Drawn pixel by pixel
    // through the inverse equal-area projection.
    const focal::Plane plane{25, 75, 20};
    const focal::Vec3 n = focal::FaultNormal(plane), s = focal::SlipVector(plane);
    QImage image(big, big, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const double c = (big - 1) / 2.0, radius = big * 0.46;
    for (int y = 0; y < big; ++y) {
        for (int x = 0; x < big; ++x) {
            const double dx = (x - c) / radius, dy = (c - y) / radius;
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r > 1.0) continue;
            const double takeoff = focal::Deg(2.0 * std::asin(std::min(1.0, r / std::sqrt(2.0))));
            const double azimuth = focal::Deg(std::atan2(dx, dy));
            const double amp = focal::PAmplitude(n, s, focal::RayVector(takeoff, azimuth));
            image.setPixel(x, y, amp > 0 ? qRgb(25, 25, 30) : qRgb(255, 255, 255));
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 40, 110), big * 0.035));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(c, c), radius, radius);
    p.end();
    return image;
}

}  // namespace

QImage BeachBallImage(int size) {
    // One large drawing, made once, scaled down for every size: the smooth
    // scaling does the antialiasing.
    static const QImage master = RenderBeachBall(768);
    return master.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(BeachBallImage(size)));
    return icon;
}

QImage SeismogramTraceImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double mid = height / 2.0, onset = width * 0.3;
    p.setPen(QPen(QColor(200, 200, 200), 1));
    p.drawLine(QPointF(0, mid), QPointF(width, mid));
    QPainterPath path(QPointF(0, mid));
    for (int x = 1; x < width; ++x) {
        double v = 0.03 * std::sin(x * 0.9) + 0.02 * std::sin(x * 2.3);  // background noise
        if (x > onset) {
            const double t = (x - onset) / width;
            v += -std::exp(-t * 6.0) * std::sin(t * 90.0) * (1.0 - std::exp(-t * 80.0));
        }
        path.lineTo(x, mid - v * height * 0.42);
    }
    p.setPen(QPen(QColor(30, 60, 170), 1.2));
    p.drawPath(path);
    p.setPen(QPen(QColor(0, 128, 0), 1.5));
    p.drawLine(QPointF(onset, 2), QPointF(onset, height - 2));
    return image;
}

}  // namespace dyma::gui
