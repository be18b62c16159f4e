#include "focalsphererenderer.h"

#include "app/results/focalgeometry.h"
#include "app/widgets/qtconvert.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace dyma::gui {

namespace {

const QColor kCrossGrey(0x80, 0x80, 0x80);
const QColor kAxisGreen(0x00, 0x80, 0x00);

QPoint Pixel(const SolutionRecord& r, double x, double y) {
    const PixelPoint p = DiscToPixel(r, {x, y});
    return {p.x, p.y};
}

// A new colour at the line width the rendering started with.
void SetPen(QPainter& p, const QColor& colour) { p.setPen(QPen(colour, p.pen().width())); }

// A font whose character height is `height` pixels (the Windows font
// height -height); nothing is written below one pixel.
bool SetFont(QPainter& p, int height) {
    if (height < 1) return false;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(height);
    p.setFont(font);
    return true;
}

// Text with its top-left corner at `corner`.
void TextAt(QPainter& p, const QPoint& corner, const QString& text) {
    p.drawText(corner + QPoint(0, p.fontMetrics().ascent()), text);
}

void PlaneTrace(QPainter& p, const SolutionRecord& r, double strike, const PlaneTracePoints& trace) {
    QPolygon line;
    line.reserve(int(trace.size()) + 1);
    line << Pixel(r, std::sin(focal::Rad(strike)), std::cos(focal::Rad(strike)));
    for (const focal::DiscPoint& point : trace) line << Pixel(r, point.x, point.y);
    p.drawPolyline(line);
}

void Station(QPainter& p, SolutionRecord& r, const SolutionStation& s, const focal::DiscPoint& at) {
    const bool plus = s.Sign > 0;
    SetPen(p, ToQColor(plus ? r.PlusColor : r.MinusColor));
    const double x = at.x, y = at.y, d = 0.05;
    p.drawLine(Pixel(r, x, y), Pixel(r, x + d, y));
    p.drawLine(Pixel(r, x, y), Pixel(r, x - d, y));
    if (plus) {
        p.drawLine(Pixel(r, x, y), Pixel(r, x, y + d));
        p.drawLine(Pixel(r, x, y), Pixel(r, x, y - d));
    }
    SetPen(p, Qt::black);
    if (!SetFont(p, int(0.06 * r.PlotRadiusY))) return;
    const QString label = Q(s.Channel);
    const int halfWidth = p.fontMetrics().horizontalAdvance(label) / 2;
    const int column = int(r.PlotCenterX + x * r.PlotRadiusX - halfWidth);
    TextAt(p, QPoint(column, Pixel(r, x, y - d).y()), label);
}

}  // namespace

QImage RenderFocalSphere(SolutionRecord& r, int width, int height, int penWidth) {
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    SetDrawingFrame(r, width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBackgroundMode(Qt::TransparentMode);
    p.setPen(QPen(Qt::black, std::max(penWidth, 1)));

    // 1. The nodal planes, from their strike points.
    PlaneTrace(p, r, r.SA, PlaneATrace(r));
    PlaneTrace(p, r, r.SB, PlaneBTrace(r));

    // 2. The circle, 721 points ending where it started.
    QPolygon circle;
    circle << Pixel(r, 1, 0);
    for (int k = 0; k <= 720; ++k)
        circle << Pixel(r, std::cos(k * focal::kPi / 360.0), std::sin(k * focal::kPi / 360.0));
    p.drawPolyline(circle);

    // 3. The centre cross.
    SetPen(p, kCrossGrey);
    const QPoint centre = Pixel(r, 0, 0);
    for (const auto& [x, y] : {std::pair{0.1, 0.0}, {-0.1, 0.0}, {0.0, 0.1}, {0.0, -0.1}})
        p.drawLine(centre, Pixel(r, x, y));
    SetPen(p, Qt::black);

    // 4. T, then P on top of it.
    if (SetFont(p, int(0.15 * r.PlotRadiusY))) {
        SetPen(p, kAxisGreen);
        const focal::DiscPoint t = TAxisPoint(r), pa = PAxisPoint(r);
        TextAt(p, Pixel(r, t.x, t.y), QStringLiteral("T"));
        TextAt(p, Pixel(r, pa.x, pa.y), QStringLiteral("P"));
        SetPen(p, Qt::black);
    }

    // 5. Stations: the rays that keep their direction first, then the ones
    // shown at their antipode; each pass in row order.
    const int count = std::clamp(r.StationCount, 0, kMaxStations);
    for (const bool firstPass : {true, false}) {
        for (int k = 0; k < count; ++k) {
            const SolutionStation& s = r.stations[size_t(k)];
            if (firstPass ? !(s.CosBet < 0) : !(s.CosBet > 0)) continue;
            if (s.Sign == 0) continue;
            focal::DiscPoint at;
            if (StationDiscPoint(s, at)) Station(p, r, s, at);
        }
    }
    return image;
}

QImage RenderFocalSphereForScreen(SolutionRecord& record, QSize size, double ratio) {
    if (!(ratio > 0) || !std::isfinite(ratio)) ratio = 1;
    const int width = int(std::lround(size.width() * ratio)), height = int(std::lround(size.height() * ratio));
    QImage picture = RenderFocalSphere(record, width, height, std::max(1, int(std::lround(ratio))));
    picture.setDevicePixelRatio(ratio);
    return picture;
}

void PaintFocalSphere(SolutionRecord& record, QWidget& paintBox) {
    const QImage picture = RenderFocalSphereForScreen(record, paintBox.size(), paintBox.devicePixelRatioF());
    QPainter p(&paintBox);
    p.drawImage(0, 0, picture);
}

}  // namespace dyma::gui
