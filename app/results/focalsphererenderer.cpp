#include "focalsphererenderer.h"

#include "app/results/focalgeometry.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace dyma::gui {

namespace {

const QColor kCrossGrey(0x80, 0x80, 0x80);
const QColor kAxisGreen(0x00, 0x80, 0x00);

QString Q(const std::string& text) { return QString::fromStdString(text); }
QColor ToQColor(Colour c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

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

QPainterPath PixelPath(const SolutionRecord& r, const std::vector<focal::DiscPoint>& polygon) {
    QPolygon pixels;
    pixels.reserve(int(polygon.size()));
    for (const focal::DiscPoint& point : polygon) pixels << Pixel(r, point.x, point.y);
    QPainterPath path;
    path.addPolygon(QPolygonF(pixels));
    path.closeSubpath();
    return path;
}

// Plane A's compressional quadrants: the parts of the disc behind both
// traces and behind neither, or the other two, as the double couple says.
void ShadeCompression(QPainter& p, const SolutionRecord& r) {
    const int behindBoth = CompressionBehindBothPlanes(r);
    if (behindBoth == 0) return;
    std::vector<focal::DiscPoint> circle;
    for (int k = 0; k < 720; ++k) circle.push_back({std::cos(k * focal::kPi / 360.0), std::sin(k * focal::kPi / 360.0)});
    const QPainterPath disc = PixelPath(r, circle);
    const QPainterPath a = PixelPath(r, HalfDiscBehindPlane(r.SA, r.DA)).intersected(disc);
    const QPainterPath b = PixelPath(r, HalfDiscBehindPlane(r.SB, r.RB)).intersected(disc);
    const QPainterPath compression =
        behindBoth > 0 ? a.intersected(b).united(disc.subtracted(a.united(b))) : a.subtracted(b).united(b.subtracted(a));
    p.fillPath(compression, kCompressionShade);
}

// The acceptable set's axes: a small dot at each, P and T in colours of
// their own, under the planes and labels.
void Cloud(QPainter& p, const SolutionRecord& r, const std::vector<focal::Axis>& axes, const QColor& colour) {
    const int radius = std::max(1, int(0.012 * r.PlotRadiusY));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (const focal::Axis& axis : axes) {
        const focal::DiscPoint d = focal::AxisPoint(axis.trend, axis.plunge);
        p.drawEllipse(Pixel(r, d.x, d.y), radius, radius);
    }
    p.restore();
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

// A misfitting station stands out: a ring round its symbol, thicker than
// the lines.
void MisfitRing(QPainter& p, const SolutionRecord& r, const focal::DiscPoint& at) {
    const int width = p.pen().width();
    p.save();
    p.setPen(QPen(kMisfitRingColour, 2 * width));
    p.setBrush(Qt::NoBrush);
    const QPoint centre = Pixel(r, at.x, at.y);
    p.drawEllipse(centre, int(0.075 * r.PlotRadiusX), int(0.075 * r.PlotRadiusY));
    p.restore();
}

// The quality class and the misfit count in the top-left corner, outside
// the circle. A solution without the solver's assessment says nothing while
// its planes explain every polarity: it looks as it always has.
void AssessmentText(QPainter& p, const SolutionRecord& r, const SphereAssessment& a) {
    QStringList lines;
    if (!a.quality.empty()) lines << QStringLiteral("Jakość: ") + Q(a.quality);
    if (a.misfits > 0 || (a.misfits == 0 && !a.quality.empty()))
        lines << QStringLiteral("Niezgodne: ") + QString::number(a.misfits);
    if (lines.isEmpty() || !SetFont(p, int(0.07 * r.PlotRadiusY))) return;
    SetPen(p, Qt::black);
    const int margin = std::max(2, int(0.02 * r.PlotWidth));
    const int step = p.fontMetrics().height();
    for (int i = 0; i < lines.size(); ++i) TextAt(p, QPoint(margin, margin + i * step), lines[i]);
}

}  // namespace

void DrawFocalSphere(QPainter& p, SolutionRecord& r, int width, int height, int penWidth, const SphereStyle& style) {
    p.save();
    p.fillRect(QRect(0, 0, width, height), Qt::white);
    SetDrawingFrame(r, width, height);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBackgroundMode(Qt::TransparentMode);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, std::max(penWidth, 1)));

    // Under everything: the shading and the acceptable set's axes.
    if (style.shadeCompression) ShadeCompression(p, r);
    if (style.assessment) {
        Cloud(p, r, style.assessment->pAxes, kPCloudColour);
        Cloud(p, r, style.assessment->tAxes, kTCloudColour);
    }

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
    // shown at their antipode; each pass in row order. A misfit's ring goes
    // round its symbol as soon as it is drawn.
    const int count = std::clamp(r.StationCount, 0, kMaxStations);
    const std::vector<int> noRows;
    const std::vector<int>& misfits = style.assessment ? style.assessment->misfitRows : noRows;
    for (const bool firstPass : {true, false}) {
        for (int k = 0; k < count; ++k) {
            const SolutionStation& s = r.stations[size_t(k)];
            if (firstPass ? !(s.CosBet < 0) : !(s.CosBet > 0)) continue;
            if (s.Sign == 0) continue;
            focal::DiscPoint at;
            if (!StationDiscPoint(s, at)) continue;
            Station(p, r, s, at);
            if (std::find(misfits.begin(), misfits.end(), k) != misfits.end()) MisfitRing(p, r, at);
        }
    }

    if (style.assessment) AssessmentText(p, r, *style.assessment);
    p.restore();
}

QImage RenderFocalSphere(SolutionRecord& r, int width, int height, int penWidth, const SphereStyle& style) {
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    DrawFocalSphere(p, r, width, height, penWidth, style);
    return image;
}

QImage RenderFocalSphereForScreen(SolutionRecord& record, QSize size, double ratio, const SphereStyle& style) {
    if (!(ratio > 0) || !std::isfinite(ratio)) ratio = 1;
    const int width = int(std::lround(size.width() * ratio)), height = int(std::lround(size.height() * ratio));
    QImage picture = RenderFocalSphere(record, width, height, std::max(1, int(std::lround(ratio))), style);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

namespace {
constexpr char kShadingKey[] = "Sphere/ShadeCompression";
}  // namespace

bool SphereShading() {
    const QSettings key(QSettings::NativeFormat, QSettings::UserScope, "Quarnet", "Dyma");
    return key.value(kShadingKey, false).toBool();
}

void SetSphereShading(bool on) {
    QSettings key(QSettings::NativeFormat, QSettings::UserScope, "Quarnet", "Dyma");
    key.setValue(kShadingKey, on);
}

SphereStyle SphereStyleFor(const SolutionRecord& record) {
    SphereStyle style;
    style.shadeCompression = SphereShading();
    style.assessment = AssessSolution(record);
    return style;
}

}  // namespace dyma::gui
