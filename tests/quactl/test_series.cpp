#include "quactl/quacanvas.h"
#include "quactl/quaseries.h"
#include "quactltest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace quactl;
using quactl::test::PixelAt;
using quactl::test::Rgb;

namespace {

TQuaTransform Plain(int w, int h, double xmax, double ymax) {
    TQuaTransform t;
    t.XMax = xmax;
    t.YMax = ymax;
    t.Width = w;
    t.Height = h;
    return t;
}

// The bounding box of the pixels of one colour.
QRect BoxOf(const QImage& image, const QColor& color, int fromX, int toX) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = fromX; x < toX; ++x)
            if (image.pixelColor(x, y) == color) box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

TEST(SeriesTransform, LinearReversedAndLogarithmic) {
    TQuaTransform t = Plain(100, 50, 10, 5);
    EXPECT_EQ(t.X(2.5), 25);
    EXPECT_EQ(t.Y(1), 40);
    t.XReverse = t.YReverse = true;
    EXPECT_EQ(t.X(0), 100);
    EXPECT_EQ(t.X(2.5), 75);
    EXPECT_EQ(t.Y(1), 10);
    TQuaTransform log = Plain(100, 50, 2, 2);  // decades 10^0 .. 10^2
    log.XLog = log.YLog = true;
    EXPECT_EQ(log.X(10), 50);
    EXPECT_EQ(log.Y(10), 25);
    EXPECT_EQ(log.X(0), 0);
    EXPECT_EQ(log.Y(-3), 50);
    log.XReverse = log.YReverse = true;
    EXPECT_EQ(log.X(0), 100);
    EXPECT_EQ(log.Y(0), 0);
    EXPECT_EQ(log.X(100), 0);
    // Far-away data and an empty span give edge pixels, not overflow.
    TQuaTransform empty = Plain(100, 50, 0, 0);
    EXPECT_EQ(empty.X(1), 1 << 30);
    EXPECT_EQ(Plain(100, 50, 1, 1).X(std::numeric_limits<double>::quiet_NaN()), -(1 << 30));
}

TEST(SeriesPoints, ExtremesClosestPointAndCopies) {
    TQuaFastLineSeries s("trace", 4, clBlack);
    double distance = 42;
    EXPECT_EQ(s.FindClosestPointX(1, distance), -1);
    EXPECT_EQ(distance, 42);
    EXPECT_EQ(s.GetMaxXValue(), -1.7976931348623156E300);
    EXPECT_EQ(s.GetMinYValue(), 1.7976931348623156E300);
    EXPECT_EQ(s.AddPoint("a", clRed, 0, 5, 0.1), 1);
    EXPECT_EQ(s.AddPoint("", clBlue, 2, -1, 3), 2);
    EXPECT_EQ(s.FindClosestPointX(1, distance), 0);  // a tie goes to the earlier point
    EXPECT_EQ(distance, 1);
    EXPECT_EQ(s.GetMaxZValue(), 3);
    EXPECT_EQ(s.GetMinZValue(), static_cast<float>(0.1));
    s.ModifyPointY(1, 2);
    EXPECT_EQ(s.GetMinYValue(), -1);  // extremes never shrink
    s.ModifyPointX(0, 7);
    EXPECT_EQ(s.GetMaxXValue(), 7);
    const TQuaPoint p = s.GetPoint(0);
    EXPECT_EQ(p.Label, "a");
    EXPECT_EQ(p.Color, clRed);
    EXPECT_EQ(p.X, 7);
    EXPECT_EQ(s.GetPoint(1).Label, "");
    TQuaPoint q;
    q.Assign(p);
    EXPECT_EQ(q.Label, "a");
    EXPECT_EQ(q.Z, p.Z);
}

TEST(FastLine, ThinsFromTenPointsPerColumn) {
    const TQuaTransform t = Plain(1000, 100, 10000, 1);
    auto series = [](int n, bool flat) {
        auto s = std::make_unique<TQuaFastLineSeries>("s", n, clBlack);
        for (int i = 0; i < n; ++i) s->AddPoint("", 0, i, flat ? 0.5 : (i % 2) * 0.9, 0);
        return s;
    };
    EXPECT_EQ(series(9999, false)->Path(t).size(), 1u + 9999);
    EXPECT_EQ(series(10000, false)->Path(t).size(), 1u + 3 * 1000);
    EXPECT_EQ(series(10000, true)->Path(t).size(), 1u + 1000);
    // 10005 points: 1000 full groups of 10, the last 5 are not drawn.
    const auto withTail = series(10005, false);
    const std::vector<QPoint> path = withTail->Path(t);
    ASSERT_EQ(path.size(), 1u + 3 * 1000);
    EXPECT_EQ(path.back().x(), t.X(9999));
    // Each group: its low, its high, then the middle, at its last point's column.
    EXPECT_EQ(path[1], QPoint(t.X(9), t.Y(0)));
    EXPECT_EQ(path[2], QPoint(t.X(9), t.Y(0.9)));
    EXPECT_EQ(path[3], QPoint(t.X(9), t.Y(0.45)));
}

TEST(SeriesTest, SemiFastLineBreaksAtN) {
    TQuaBitmap bitmap(30, 30);
    bitmap.Image().fill(Qt::white);
    TQuaSemiFastLineSeries s("s", 3);
    s.AddPoint("", clRed, 2, 20, 0);
    s.AddPoint("N", clBlue, 12, 20, 0);
    s.AddPoint("", clLime, 22, 10, 0);
    s.DrawSeries(bitmap, 0, 30, 0, 30, false, false, false, false);
    const QImage& image = bitmap.Image();
    for (int x = 2; x < 12; ++x) EXPECT_EQ(PixelAt(image, x, 10), Rgb(255, 255, 255)) << x;
    EXPECT_EQ(PixelAt(image, 17, 15), Rgb(0, 255, 0));
    EXPECT_EQ(bitmap.Canvas().Pen.Style, psSolid);
}

TEST(SeriesTest, MarkerLabelRowsFromTopAndFromBottom) {
    const QColor yellow(255, 255, 0);
    for (double row : {0.0, -1.0}) {
        TQuaBitmap bitmap(120, 90);
        bitmap.Image().fill(Qt::white);
        // Text in the box colour: the boxes show where the lines went.
        TQuaMarkerSeries s("m", 1, clYellow, clYellow);
        s.AddPoint("@left|right", clRed, 50, row, 0);
        s.DrawSeries(bitmap, 0, 100, 0, 1, false, false, false, false);
        const QImage& image = bitmap.Image();
        const QFontMetrics fm = QuaFontMetrics(s.Font.Font());
        const int t = fm.height(), x = 60, h = 90;
        const QRect left = BoxOf(image, yellow, 0, x), right = BoxOf(image, yellow, x + 1, 120);
        const int leftTop = row >= 0 ? 0 : h - 2 * t;
        const int rightTop = row >= 0 ? t : h - 3 * t;
        EXPECT_EQ(left, QRect(x - fm.horizontalAdvance("left") - 1, leftTop, fm.horizontalAdvance("left"), t)) << row;
        EXPECT_EQ(right, QRect(x + 2, rightTop, fm.horizontalAdvance("right"), t)) << row;
        EXPECT_EQ(PixelAt(image, x, 0), Rgb(255, 0, 0));
        EXPECT_EQ(PixelAt(image, x, h - 1), Rgb(255, 0, 0));
    }
}

TEST(SeriesTest, FreeLineLabelsSitOnTheBrushColourOfTheirTime) {
    TQuaBitmap bitmap(100, 60);
    bitmap.Image().fill(Qt::white);
    TQuaFreeLineSeries s("f", 4);
    // A blank label shows only its box.
    s.AddPoint("", clRed, 10, 40, 0);
    s.AddPoint(" ", clRed, 40, 40, 0);
    s.AddPoint(" ", clBlue, 60, 20, 0);
    s.AddPoint("", clBlue, 90, 20, 0);
    s.AddPoint("", clLime, 0, 0, 0);  // an odd last point is ignored
    s.DrawSeries(bitmap, 0, 100, 0, 60, false, false, false, false);
    const QImage& image = bitmap.Image();
    const int t = QuaFontMetrics(s.Font.Font()).height();
    EXPECT_EQ(PixelAt(image, 25, 20), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 75, 40), Rgb(0, 0, 255));
    EXPECT_EQ(PixelAt(image, 40, 20 + 1 + t / 2), Rgb(255, 0, 0));  // second point of pair 1: its own colour
    EXPECT_EQ(PixelAt(image, 60, 40 + 1 + t / 2), Rgb(255, 0, 0));  // first point of pair 2: the colour left by pair 1
    EXPECT_EQ(PixelAt(image, 0, 59), Rgb(255, 255, 255));
}

TEST(SeriesTest, ShapesFillTheirBoxAndLabelBelowIt) {
    TQuaBitmap bitmap(100, 100);
    bitmap.Image().fill(Qt::white);
    TQuaShapeSeries s("s", qssEllipse, 1);
    s.SizeInAxisUnits = true;
    s.AddPoint(" ", clBlue, 50, 50, 10);
    s.Font.SetColor(clBlack);
    s.DrawSeries(bitmap, 0, 100, 0, 100, false, false, false, false);
    const QImage& image = bitmap.Image();
    EXPECT_EQ(PixelAt(image, 50, 50), Rgb(0, 0, 255));
    EXPECT_EQ(PixelAt(image, 50, 42), Rgb(0, 0, 255));
    EXPECT_EQ(PixelAt(image, 50, 70), Rgb(255, 255, 255));
    // The label has a clear brush: nothing is drawn below the lower edge.
    EXPECT_EQ(PixelAt(image, 50, 62), Rgb(255, 255, 255));

    TQuaShapeSeries frame("f", qssFrame, 1);
    frame.AddPoint("", clRed, 20, 80, 5);
    frame.DrawSeries(bitmap, 0, 100, 0, 100, false, false, false, false);
    EXPECT_EQ(PixelAt(bitmap.Image(), 15, 20), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(bitmap.Image(), 20, 20), Rgb(255, 255, 255));
}

TEST(SeriesTest, RectangleBandTintsTheFullHeightRed) {
    TQuaBitmap bitmap(20, 10);
    bitmap.Image().fill(Qt::white);
    TQuaRectangleSeries s("r", 2);
    s.AddPoint("", clBlue, 5, 3, 0.5);
    s.AddPoint("", clBlue, 15, 3, 0);
    s.DrawSeries(bitmap, 0, 20, 0, 10, false, false, false, false);
    const QImage& image = bitmap.Image();
    EXPECT_EQ(PixelAt(image, 5, 0), Rgb(255, 127, 127));
    EXPECT_EQ(PixelAt(image, 14, 9), Rgb(255, 127, 127));
    EXPECT_EQ(PixelAt(image, 4, 5), Rgb(255, 255, 255));
    EXPECT_EQ(PixelAt(image, 15, 5), Rgb(255, 255, 255));
    EXPECT_EQ(TQuaRectangleSeries::Mix(clWhite, clBlue, 1), clBlue);
    EXPECT_EQ(TQuaRectangleSeries::Mix(clWhite | 0xFF000000u, clBlue, 0), clWhite);
    int v = 30;
    TQuaRectangleSeries::LimitValue(v, 0, 20);
    EXPECT_EQ(v, 20);
}

TEST(ImagePalette, EndEntriesOfTheFiveMaps) {
    struct Case {
        const char* name;
        Rgb first, last;
    };
    for (const Case& c : {Case{"jet", {0, 0, 131}, {131, 0, 0}}, Case{"hot", {3, 0, 0}, {255, 255, 255}},
                          Case{"HOT", {3, 0, 0}, {255, 255, 255}}, Case{"cool", {0, 255, 255}, {255, 0, 255}},
                          Case{"hsv", {255, 0, 0}, {255, 0, 6}}, Case{"bone", {0, 0, 0}, {255, 255, 255}}}) {
        const auto p = TQuaImageSeries::MakePalette(c.name);
        EXPECT_EQ(Rgb(GetRValue(p[0]), GetGValue(p[0]), GetBValue(p[0])), c.first) << c.name;
        EXPECT_EQ(Rgb(GetRValue(p[255]), GetGValue(p[255]), GetBValue(p[255])), c.last) << c.name;
    }
    const auto jet = TQuaImageSeries::MakePalette("");
    EXPECT_EQ(jet[96], RGBColor(4, 255, 255));
}

TEST(SeriesTest, ImageSeriesMapsRowZeroToTheMinimumYEdgeAndCachesItsRaster) {
    TQuaBitmap bitmap(10, 10);
    TQuaImageSeries s("i", 2, 2, "jet");
    s.AddPoint("", 0, 0, 0, 0);
    s.AddPoint("", 0, 1, 0, 0);
    s.AddPoint("", 0, 0, 1, 1);
    s.AddPoint("", 0, 1, 1, 1);
    s.DrawSeries(bitmap, 0, 1, 0, 1, false, false, false, false);
    EXPECT_EQ(PixelAt(bitmap.Image(), 5, 8), Rgb(0, 0, 131));
    EXPECT_EQ(PixelAt(bitmap.Image(), 5, 1), Rgb(131, 0, 0));
    s.AddPoint("", 0, 0, 0, 0.5);
    s.DrawSeries(bitmap, 0, 1, 0, 1, false, false, false, false);
    EXPECT_EQ(PixelAt(bitmap.Image(), 5, 1), Rgb(131, 0, 0));

    TQuaImageSeries same("i", 2, 1, "hot");
    same.AddPoint("", 0, 0, 0, 7);
    same.AddPoint("", 0, 1, 1, 7);
    same.DrawSeries(bitmap, 0, 1, 0, 1, false, false, false, false);
    EXPECT_EQ(PixelAt(bitmap.Image(), 3, 3), Rgb(3, 0, 0));
}

TEST(SeriesTest, AntialiasedSeriesPacksItsStyleIntoZ) {
    TQuaAntialiasedLineSeries s("a", 2, qatHorizontal);
    EXPECT_TRUE(s.GetIgnoreXLim());
    EXPECT_FALSE(s.GetIgnoreYLim());
    EXPECT_EQ(s.AddPoint(0, 5, clWhite, 1.9, 200 / 255.0 + 1e-9, psDash, pmXor), 1);
    const TQuaLineStyle style = TQuaAntialiasedLineSeries::DispatchValue(s.GetPoint(0));
    EXPECT_EQ(style.Width, 1);
    EXPECT_DOUBLE_EQ(style.Opacity, 200 * 0.00392156862745098);
    EXPECT_EQ(style.PenStyle, psDash);
    EXPECT_EQ(style.PenMode, pmXor);
    EXPECT_EQ(s.GetMaxZValue(), -1.7976931348623156E300);  // Z extremes are not touched
    EXPECT_TRUE(TQuaAntialiasedLineSeries("v", 0, qatVertical).GetIgnoreYLim());

    TQuaAntialiasedLineSeries h("h", 1, qatHorizontal);
    h.AddPoint(0, 5, clWhite, 1, 1, psSolid, pmCopy);
    TQuaBitmap bitmap(30, 10);
    bitmap.Image().fill(Qt::black);
    h.DrawSeries(bitmap, 0, 1, 0, 10, false, false, false, false);
    EXPECT_EQ(PixelAt(bitmap.Image(), 0, 5), Rgb(254, 254, 254));
    EXPECT_EQ(PixelAt(bitmap.Image(), 29, 5), Rgb(254, 254, 254));
}
