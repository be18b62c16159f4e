#include "quactl/quaseries.h"

#include "quactl/ezlines.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace quactl {

namespace {

// A colour-map value of 0..1 taken to 0..255, halves upward.
int ToByte(double v) { return static_cast<int>(std::floor(std::clamp(v, 0.0, 1.0) * 255 + 0.5)); }

struct Rgb {
    double r, g, b;
};

Rgb Hot(int i) {
    const double n = 96;
    return {std::min((i + 1) / n, 1.0), std::clamp((i + 1 - n) / n, 0.0, 1.0), std::clamp((i + 1 - 2 * n) / 64, 0.0, 1.0)};
}

Rgb Hsv(int i) {
    const double h6 = i / 256.0 * 6;
    const int sector = static_cast<int>(std::floor(h6));
    const double f = h6 - sector;
    switch (sector) {
    case 0: return {1, f, 0};
    case 1: return {1 - f, 1, 0};
    case 2: return {0, 1, f};
    case 3: return {0, 1 - f, 1};
    case 4: return {f, 0, 1};
    default: return {1, 0, 1 - f};
    }
}

// The default map in steps of 255/64, rounded the same way.
int MapStep(int k) { return static_cast<int>(std::floor(k * 255.0 / 64 + 0.5)); }

TColor DefaultEntry(int i) {
    const int blue = i <= 31 ? MapStep(i + 33) : i <= 95 ? 255 : i <= 159 ? MapStep(160 - i) : 0;
    const int green = i <= 31 ? 0 : i <= 95 ? MapStep(i - 31) : i <= 159 ? 255 : i <= 223 ? MapStep(224 - i) : 0;
    const int red = i <= 95 ? 0 : i <= 159 ? MapStep(i - 95) : i <= 223 ? 255 : MapStep(288 - i);
    return RGBColor(red, green, blue);
}

TColor FromUnit(const Rgb& c) { return RGBColor(ToByte(c.r), ToByte(c.g), ToByte(c.b)); }

std::array<std::uint8_t, 4> ZBytes(float z) { return std::bit_cast<std::array<std::uint8_t, 4>>(z); }

std::uint8_t ClampByte(double v) { return static_cast<std::uint8_t>(std::clamp(std::trunc(v), 0.0, 255.0)); }

}  // namespace

// ---- fast line -------------------------------------------------------------

namespace {

// Lowest and highest of n values. Four independent lanes let the compiler
// keep them in vector registers; the trace is scanned at every paint.
void GroupRange(const double* y, std::size_t n, double& low, double& high) {
    double lo[4] = {kQuaLargeValue, kQuaLargeValue, kQuaLargeValue, kQuaLargeValue};
    double hi[4] = {-kQuaLargeValue, -kQuaLargeValue, -kQuaLargeValue, -kQuaLargeValue};
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4)
        for (int k = 0; k < 4; ++k) {
            lo[k] = y[i + k] < lo[k] ? y[i + k] : lo[k];
            hi[k] = y[i + k] > hi[k] ? y[i + k] : hi[k];
        }
    for (; i < n; ++i) {
        lo[0] = y[i] < lo[0] ? y[i] : lo[0];
        hi[0] = y[i] > hi[0] ? y[i] : hi[0];
    }
    low = std::min(std::min(lo[0], lo[1]), std::min(lo[2], lo[3]));
    high = std::max(std::max(hi[0], hi[1]), std::max(hi[2], hi[3]));
}

}  // namespace

TQuaFastLineSeries::TQuaFastLineSeries(QString name, int capacity, TColor color)
    : TQuaGraphSeries(qskFastLine, std::move(name), capacity), Color(color) {}

std::vector<QPoint> TQuaFastLineSeries::Path(const TQuaTransform& t) const {
    std::vector<QPoint> path;
    const int n = GetN();
    if (n == 0) return path;
    const std::span<const double> xs = XValues(), ys = YValues();
    path.emplace_back(t.X(xs[0]), t.Y(ys[0]));
    const double perColumn = t.Width > 0 ? static_cast<double>(n) / t.Width : 0;
    if (perColumn < 10) {
        path.reserve(static_cast<std::size_t>(n) + 1);
        for (int i = 0; i < n; ++i) path.emplace_back(t.X(xs[i]), t.Y(ys[i]));
        return path;
    }
    const auto group = static_cast<std::size_t>(perColumn);
    path.reserve(static_cast<std::size_t>(t.Width) * 3 + 1);
    for (std::size_t start = 0; start + group <= ys.size(); start += group) {
        double low, high;
        GroupRange(ys.data() + start, group, low, high);
        const int x = t.X(xs[start + group - 1]);
        if (high != low) {
            path.emplace_back(x, t.Y(low));
            path.emplace_back(x, t.Y(high));
            path.emplace_back(x, t.Y((high + low) * 0.5));
        } else {
            path.emplace_back(x, t.Y(high));
        }
    }
    return path;
}

void TQuaFastLineSeries::Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) {
    canvas.Pen.Color = Color;
    canvas.Brush.Style = bsSolid;
    if (bitmap.Ratio() == 1) {
        const std::vector<QPoint> path = Path(Transform());
        canvas.MoveTo(path.front().x(), path.front().y());
        canvas.Polyline(path);
        return;
    }
    // On a finer screen the trace is thinned column by device column and
    // its vertices fall on device pixels: the detail the screen can show.
    TQuaTransform device = Transform();
    device.Width = bitmap.DeviceWidth();
    device.Height = bitmap.DeviceHeight();
    canvas.DevicePolyline(Path(device));
}

// ---- markers ---------------------------------------------------------------

TQuaMarkerSeries::TQuaMarkerSeries(QString name, int capacity, TColor labelBackColor, TColor labelFontColor)
    : TQuaGraphSeries(qskMarker, std::move(name), capacity), LabelBackColor(labelBackColor), LabelFontColor(labelFontColor) {}

void TQuaMarkerSeries::Draw(TQuaBitmap& bitmap, TQuaCanvas& canvas) {
    canvas.Font.Assign(Font);
    canvas.Font.SetColor(LabelFontColor);
    canvas.Brush.Color = LabelBackColor;
    canvas.Brush.Style = bsSolid;
    const TPenStyle keepStyle = canvas.Pen.Style;
    canvas.Pen.Style = LinePenStyle;
    const int height = bitmap.Height();
    for (int i = 0; i < GetN(); ++i) {
        canvas.Pen.Color = ColorAt(i);
        const int x = TransferX(XAt(i));
        const QString& label = LabelAt(i);
        const int t = canvas.TextHeight(label);
        const double row = YAt(i);
        int y = row >= 0 ? TruncPixel(row * t) : TruncPixel(height - t - std::abs(row) * t);
        for (QString line : label.split(QLatin1Char('|'))) {
            if (line.startsWith(QLatin1Char('@'))) {
                line.remove(0, 1);
                canvas.TextOut(x - canvas.TextWidth(line) - 1, y, line);
            } else {
                canvas.TextOut(x + 2, y, line);
            }
            y += row >= 0 ? t : -t;
        }
        canvas.MoveTo(x, 0);
        canvas.LineTo(x, height);
    }
    canvas.Pen.Style = keepStyle;
    canvas.Brush.Style = bsSolid;
}

// ---- shapes ----------------------------------------------------------------

TQuaShapeSeries::TQuaShapeSeries(QString name, TQuaShapeStyle style, int capacity)
    : TQuaGraphSeries(qskShape, std::move(name), capacity), Style(style) {}

void TQuaShapeSeries::Draw(TQuaBitmap&, TQuaCanvas& canvas) {
    canvas.Font.Assign(Font);
    canvas.Brush.Style = bsSolid;
    for (int i = 0; i < GetN(); ++i) {
        canvas.Pen.Color = ColorAt(i);
        canvas.Brush.Color = ColorAt(i);
        const double z = ZAt(i), x = XAt(i), y = YAt(i);
        int left, top, right, bottom;
        if (SizeInAxisUnits) {
            left = TransferX(x - z);
            top = TransferY(y - z);
            right = TransferX(x + z);
            bottom = TransferY(y + z);
        } else {
            left = TruncPixel(TransferX(x) - z);
            right = TruncPixel(TransferX(x) + z);
            top = TruncPixel(TransferY(y) - z);
            bottom = TruncPixel(TransferY(y) + z);
        }
        if (Style == qssEllipse) {
            canvas.Ellipse(left, top, right, bottom);
        } else if (Style == qssFrame) {
            canvas.Brush.Style = bsClear;
            canvas.Rectangle(left, top, right, bottom);
            canvas.Brush.Style = bsSolid;
        }
        const QString& label = LabelAt(i);
        if (label.isEmpty()) continue;
        // Below the shape's lower edge on screen, whichever way the Y axis runs.
        canvas.Brush.Style = bsClear;
        canvas.TextOut((left + right) / 2 - canvas.TextWidth(label) / 2, std::max(top, bottom) + 1, label);
        canvas.Brush.Style = bsSolid;
    }
}

// ---- free lines ------------------------------------------------------------

TQuaFreeLineSeries::TQuaFreeLineSeries(QString name, int capacity) : TQuaGraphSeries(qskFreeLine, std::move(name), capacity) {}

void TQuaFreeLineSeries::Draw(TQuaBitmap&, TQuaCanvas& canvas) {
    canvas.Font.Assign(Font);
    canvas.Brush.Style = bsSolid;
    auto labelBelow = [&](int i, const QPoint& p) {
        const QString& label = LabelAt(i);
        if (!label.isEmpty()) canvas.TextOut(p.x() - canvas.TextWidth(label) / 2, p.y() + 1, label);
    };
    for (int i = 0; i + 1 < GetN(); i += 2) {
        const QPoint a(TransferX(XAt(i)), TransferY(YAt(i)));
        const QPoint b(TransferX(XAt(i + 1)), TransferY(YAt(i + 1)));
        // The first label still sits on the brush colour the previous pair left.
        labelBelow(i, a);
        canvas.Pen.Color = ColorAt(i + 1);
        canvas.Brush.Color = ColorAt(i + 1);
        canvas.MoveTo(a.x(), a.y());
        canvas.LineTo(b.x(), b.y());
        labelBelow(i + 1, b);
    }
}

// ---- image -----------------------------------------------------------------

TQuaImageSeries::TQuaImageSeries(QString name, int columns, int rows, const QString& paletteName)
    : TQuaGraphSeries(qskImage, std::move(name), columns > 0 && rows > 0 && columns <= (1 << 30) / rows ? columns * rows : 0),
      ImageWidth(columns),
      ImageHeight(rows),
      Palette(MakePalette(paletteName)) {}

std::array<TColor, 256> TQuaImageSeries::MakePalette(const QString& name) {
    const QString map = name.toLower();
    std::array<TColor, 256> palette{};
    for (int i = 0; i < 256; ++i) {
        if (map == QLatin1String("hot")) {
            palette[i] = FromUnit(Hot(i));
        } else if (map == QLatin1String("cool")) {
            palette[i] = FromUnit({i / 255.0, 1 - i / 255.0, 1});
        } else if (map == QLatin1String("hsv")) {
            palette[i] = FromUnit(Hsv(i));
        } else if (map == QLatin1String("bone")) {
            const Rgb hot = Hot(i);
            const double grey = 7 * i / 255.0;
            palette[i] = FromUnit({(grey + hot.b) / 8, (grey + hot.g) / 8, (grey + hot.r) / 8});
        } else {
            palette[i] = DefaultEntry(i);
        }
    }
    return palette;
}

void TQuaImageSeries::Draw(TQuaBitmap&, TQuaCanvas& canvas) {
    if (ImageWidth <= 0 || ImageHeight <= 0) return;
    if (!raster_) {
        QImage raster(ImageWidth, ImageHeight, QImage::Format_RGB32);
        raster.fill(Qt::white);
        const double zMin = GetMinZValue();
        const double span = GetMaxZValue() == zMin ? 1.0 : GetMaxZValue() - zMin;
        for (int k = 0; k < GetN(); ++k) {
            const int row = k / ImageWidth;
            if (row >= ImageHeight) break;
            const double f = (ZAt(k) - zMin) / span * 255;
            const int index = std::isfinite(f) ? std::clamp(static_cast<int>(f), 0, 255) : 0;
            raster.setPixelColor(k % ImageWidth, row, ToQColor(Palette[static_cast<std::size_t>(index)]));
        }
        raster_ = std::move(raster);
    }
    canvas.StretchDraw(TransferX(GetMinXValue()), TransferY(GetMinYValue()), TransferX(GetMaxXValue()),
                       TransferY(GetMaxYValue()), *raster_);
}

// ---- semi-fast line --------------------------------------------------------

TQuaSemiFastLineSeries::TQuaSemiFastLineSeries(QString name, int capacity)
    : TQuaGraphSeries(qskSemiFastLine, std::move(name), capacity) {}

void TQuaSemiFastLineSeries::Draw(TQuaBitmap&, TQuaCanvas& canvas) {
    canvas.Pen.Color = ColorAt(0);
    canvas.MoveTo(TransferX(XAt(0)), TransferY(YAt(0)));
    for (int i = 0; i < GetN(); ++i) {
        canvas.Pen.Style = LabelAt(i) == QLatin1String("N") ? psClear : psSolid;
        canvas.Pen.Color = ColorAt(i);
        canvas.LineTo(TransferX(XAt(i)), TransferY(YAt(i)));
    }
    canvas.Pen.Style = psSolid;
}

// ---- antialiased lines -----------------------------------------------------

TQuaAntialiasedLineSeries::TQuaAntialiasedLineSeries(QString name, int capacity, TQuaAntialiaseSeriesType lineType)
    : TQuaGraphSeries(qskAntialiasedLine, std::move(name), capacity), LineType(lineType) {
    IgnoreXLim = lineType == qatHorizontal;
    IgnoreYLim = lineType == qatVertical;
}

int TQuaAntialiasedLineSeries::AddPoint(double x, double y, TColor color, double width, double opacity,
                                        TPenStyle penStyle, TPenMode penMode) {
    const std::array<std::uint8_t, 4> bytes = {ClampByte(width), ClampByte(opacity * 255), penStyle, penMode};
    return AppendPoint(QString(), color, x, y, std::bit_cast<float>(bytes));
}

TQuaLineStyle TQuaAntialiasedLineSeries::DispatchValue(const TQuaPoint& point) {
    const std::array<std::uint8_t, 4> b = ZBytes(point.Z);
    return {static_cast<double>(b[0]), b[1] * 0.00392156862745098, static_cast<TPenStyle>(b[2]),
            static_cast<TPenMode>(b[3])};
}

void TQuaAntialiasedLineSeries::Draw(TQuaBitmap& bitmap, TQuaCanvas&) {
    const int n = GetN();
    if (n == 0) return;
    TEZLine line;
    auto styleOf = [&](int i) {
        const TQuaLineStyle s = DispatchValue(TQuaPoint(0, 0, QString(), 0, ZAt(i)));
        line.SetProperty(ColorAt(i), s.Width, s.Opacity, 0, true, true, s.PenStyle, s.PenMode);
    };
    auto at = [&](int i) { return QPoint(TransferX(XAt(i)), TransferY(YAt(i))); };
    switch (LineType) {
    case qatPolyline:
        for (int i = 1; i < n; ++i) {
            styleOf(i);
            const QPoint a = at(i - 1), b = at(i);
            line.Line(a.x(), a.y(), b.x(), b.y(), &bitmap);
        }
        break;
    case qatSegments:
        for (int i = 0; i + 1 < n; i += 2) {
            styleOf(i);
            const QPoint a = at(i), b = at(i + 1);
            line.Line(a.x(), a.y(), b.x(), b.y(), &bitmap);
        }
        break;
    case qatHorizontal:
        for (int i = 0; i < n; ++i) {
            styleOf(i);
            const int y = TransferY(YAt(i));
            line.Line(0, y, bitmap.Width(), y, &bitmap);
        }
        break;
    case qatVertical:
        for (int i = 0; i < n; ++i) {
            styleOf(i);
            const int x = TransferX(XAt(i));
            line.Line(x, 0, x, bitmap.Height(), &bitmap);
        }
        break;
    }
}

// ---- rectangle bands -------------------------------------------------------

TQuaRectangleSeries::TQuaRectangleSeries(QString name, int capacity) : TQuaGraphSeries(qskRectangle, std::move(name), capacity) {}

TColor TQuaRectangleSeries::Mix(TColor a, TColor b, double weight) {
    const double w = std::isnan(weight) ? 0.0 : weight;
    const int c = static_cast<int>(std::clamp(std::trunc(w * 256), 0.0, 256.0));
    auto channel = [&](int ca, int cb) { return ((256 - c) * ca + c * cb) / 256; };
    return RGBColor(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
                    channel(GetBValue(a), GetBValue(b)));
}

void TQuaRectangleSeries::LimitValue(int& value, int low, int high) { value = std::clamp(value, low, high); }

void TQuaRectangleSeries::Draw(TQuaBitmap& bitmap, TQuaCanvas&) {
    bitmap.MakeRgb888();
    const int width = bitmap.Width(), height = bitmap.DeviceHeight();
    const double ratio = bitmap.Ratio();
    for (int i = 0; i + 1 < GetN(); i += 2) {
        const double z = ZAt(i);
        const double weight = z > 1 ? 1.0 : z >= 0 ? z : 0.0;
        int x1 = TransferX(XAt(i)), x2 = TransferX(XAt(i + 1));
        LimitValue(x1, 0, width);
        LimitValue(x2, 0, width);
        // The columns' device pixels.
        x1 = static_cast<int>(ToDevicePixels(x1, ratio));
        x2 = static_cast<int>(ToDevicePixels(x2, ratio));
        for (int y = 0; y < height; ++y) {
            uchar* row = bitmap.ScanLine(y);
            for (int x = x1; x < x2; ++x) {
                uchar* p = row + 3 * x;
                const TColor mixed = Mix(RGBColor(p[0], p[1], p[2]), clRed, weight);
                p[0] = static_cast<uchar>(GetRValue(mixed));
                p[1] = static_cast<uchar>(GetGValue(mixed));
                p[2] = static_cast<uchar>(GetBValue(mixed));
            }
        }
    }
}

}  // namespace quactl
