// Painting at a device pixel ratio: a screen of twice the density gets
// twice the pixels each way, the layout in control pixels stays, lines keep
// their weight, text and traces use the finer pixels.
#include "quactl/ezlines.h"
#include "quactl/quacolorbar.h"
#include "quactl/quagraph.h"
#include "quactl/quaseries.h"
#include "quactltest.h"

#include <gtest/gtest.h>

using namespace quactl;
using quactl::test::PixelAt;
using quactl::test::Rgb;

namespace {

// Every pixel doubled each way, as a picture scaled up would be.
QImage Doubled(const QImage& image) {
    QImage out(image.width() * 2, image.height() * 2, image.format());
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) out.setPixel(x, y, image.pixel(x / 2, y / 2));
    return out;
}

// 2 x 2 blocks (of the rectangle, in control pixels) that are not one colour:
// detail no scaled-up picture has.
int FineBlocks(const QImage& image, const QRect& area) {
    int fine = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb a = image.pixel(2 * x, 2 * y);
            if (image.pixel(2 * x + 1, 2 * y) != a || image.pixel(2 * x, 2 * y + 1) != a ||
                image.pixel(2 * x + 1, 2 * y + 1) != a)
                ++fine;
        }
    return fine;
}

// A graph of straight lines only: axis lines and ticks without labels or
// captions, a zero line, marker lines, a tinted band, a selection.
void LinesOnly(TQuaGraph& g, double ratio) {
    g.SetPixelRatio(ratio);
    g.resize(300, 200);
    for (TQuaAxis* a : {&g.AxisLeft(), &g.AxisBottom()}) {
        a->SetFormatString("");
        a->SetShowCaption(false);
    }
    auto zero = std::make_unique<TQuaFreeLineSeries>("zero", 2);
    zero->AddPoint("", clGreen, 0, 0, 0);
    zero->AddPoint("", clGreen, 10, 0, 0);
    g.AddSeries(std::move(zero));
    auto markers = std::make_unique<TQuaMarkerSeries>("m", 2, clWhite, clBlack);
    markers->AddPoint("", clRed, 2.5, 0, 0);
    markers->AddPoint("", clBlue, 7.1, 0, 0);
    g.AddSeries(std::move(markers));
    auto band = std::make_unique<TQuaRectangleSeries>("band", 2);
    band->AddPoint("", 0, 4, -1, 0.5);
    band->AddPoint("", 0, 5.5, 1, 0);
    g.AddSeries(std::move(band));
    g.Select(1, 3);
    g.Paint();
}

}  // namespace

TEST(PixelRatio, TwiceTheDensityGivesTwiceThePixelsInTheSameLayout) {
    TQuaGraph one, two;
    LinesOnly(one, 1);
    LinesOnly(two, 2);
    EXPECT_EQ(one.PixelRatio(), 1);
    EXPECT_EQ(two.PixelRatio(), 2);
    EXPECT_EQ(two.ControlImage().size(), QSize(600, 400));
    EXPECT_EQ(two.ControlImage().devicePixelRatio(), 2);
    EXPECT_EQ(two.PlotImage().size(), one.PlotImage().size() * 2);
    EXPECT_EQ(two.PlotImage().format(), QImage::Format_RGB888);
    // The layout, in control pixels, and the mapping are those of ratio 1.
    for (auto f : {&TQuaGraph::PlotLeft, &TQuaGraph::PlotTop, &TQuaGraph::PlotWidth, &TQuaGraph::PlotHeight,
                   &TQuaGraph::PlotRight, &TQuaGraph::PlotBottom})
        EXPECT_EQ((two.*f)(), (one.*f)());
    EXPECT_EQ(two.AxisLeftWidth(), one.AxisLeftWidth());
    EXPECT_EQ(two.TransferX(6.3), one.TransferX(6.3));
    // Straight lines and bands cover exactly the control pixels they cover
    // at ratio 1: the picture is the ratio-1 picture with every pixel doubled.
    EXPECT_EQ(two.ControlImage().convertToFormat(QImage::Format_RGB32),
              Doubled(one.ControlImage().convertToFormat(QImage::Format_RGB32)));
}

TEST(PixelRatio, TextIsDrawnWithTheFinerPixels) {
    TQuaGraph one, two;
    for (auto [g, ratio] : {std::pair{&one, 1.0}, std::pair{&two, 2.0}}) {
        g->SetPixelRatio(ratio);
        g->resize(300, 200);
        g->SetTitle("Sejsmogram żółw");
        g->Paint();
    }
    const QFontMetrics fm = QuaFontMetrics(one.TitleFont().Font());
    const int width = fm.horizontalAdvance("Sejsmogram żółw");
    const QRect title((300 - width) / 2, 0, width, fm.height());
    // Not a scaled-up picture: the letters have edges inside control pixels.
    EXPECT_EQ(FineBlocks(one.ControlImage().scaled(600, 400), title), 0) << "the measure itself";
    EXPECT_GT(FineBlocks(two.ControlImage(), title), width);
    // In the same place: above the plot, nothing is drawn outside the
    // title's box (a device pixel of slack each side).
    const QImage& image = two.ControlImage();
    const QRect box(2 * title.left() - 1, 0, 2 * width + 2, 2 * title.height());
    for (int y = 0; y < 2 * title.height(); ++y)
        for (int x = 0; x < 600; ++x)
            if (!box.contains(x, y)) ASSERT_EQ(image.pixel(x, y), 0xFFFFFFFFu) << x << ", " << y;
}

TEST(PixelRatio, TheTraceIsThinnedColumnByDeviceColumn) {
    // A swing growing from nothing to full scale over 4000 samples, twenty
    // to a control column. Thinned by device column, the top of the ink
    // climbs from one device column to the next; thinned by control column
    // and scaled up, both device columns of a control column would match.
    auto trace = std::make_unique<TQuaFastLineSeries>("trace", 4000, clBlack);
    for (int i = 0; i < 4000; ++i) trace->AddPoint("", clBlack, i, (i % 2 ? 1 : -1) * i / 4000.0, 0);
    TQuaBitmap plot;
    plot.SetSize(200, 400, 2);
    FillBitmap(plot, clWhite);
    trace->DrawSeries(plot, 0, 4000, -1, 1, false, false, false, false);
    const QImage& image = plot.Image();
    ASSERT_EQ(image.size(), QSize(400, 800));
    auto topOfInk = [&](int x) {
        for (int y = 0; y < image.height(); ++y)
            if (PixelAt(image, x, y) == Rgb(0, 0, 0)) return y;
        return image.height();
    };
    int withinControlColumn = 0;
    for (int x = 20; x < 380; x += 2) withinControlColumn += topOfInk(x) != topOfInk(x + 1) ? 1 : 0;
    EXPECT_GT(withinControlColumn, 150);
    // The line keeps its weight: two device pixels wide.
    EXPECT_EQ(PixelAt(image, 200, topOfInk(200) + 1), Rgb(0, 0, 0));
}

TEST(PixelRatio, AColumnDownAndBackUpIsOneRunWithBothEnds) {
    // Device points: up column 10 from row 40 to row 20, back down to row
    // 30. Each point stands for a block of 2 x 2.
    const QPoint points[] = {{10, 40}, {10, 20}, {10, 30}};
    auto draw = [&](TPenMode mode) {
        TQuaBitmap bitmap;
        bitmap.SetSize(20, 30, 2);
        FillBitmap(bitmap, mode == pmCopy ? clWhite : clBlack);
        TQuaCanvas& c = bitmap.Canvas();
        c.Pen.Color = mode == pmCopy ? clBlack : clWhite;
        c.Pen.Mode = mode;
        c.DevicePolyline(points);
        return bitmap.Image().copy();
    };
    // A copy pen: rows 20 to 41 (both end blocks), both columns, nothing
    // above.
    const QImage copy = draw(pmCopy);
    for (int x : {10, 11}) {
        EXPECT_EQ(PixelAt(copy, x, 19), Rgb(255, 255, 255)) << x;
        for (int y = 20; y <= 41; ++y) EXPECT_EQ(PixelAt(copy, x, y), Rgb(0, 0, 0)) << x << ", " << y;
    }
    // An XOR pen draws the lines as they are: the way back up undoes the
    // rows it passes again (22 to 29).
    const QImage xored = draw(pmXor);
    for (int y = 20; y <= 41; ++y)
        EXPECT_EQ(PixelAt(xored, 10, y), (y >= 22 && y <= 29) ? Rgb(0, 0, 0) : Rgb(255, 255, 255)) << y;
}

TEST(PixelRatio, AnAntialiasedLineFadesOverOneDevicePixel) {
    // A horizontal line one pixel wide at row 10, white over black: rows 20
    // and 21 full (254 after blending), rows 19 and 22 at the coverage of
    // one and a half device pixels (58, blending to 57), then nothing.
    TQuaBitmap bitmap(40, 30);
    bitmap.SetSize(40, 30, 2);
    bitmap.Image().fill(Qt::black);
    TEZLine line;
    line.SetProperty(clWhite, 1, 1.0, 0, true, true, psSolid, pmCopy);
    line.Line(5, 10, 35, 10, &bitmap);
    const QImage& image = bitmap.Image();
    const int expected[][2] = {{17, 0}, {18, 0}, {19, 57}, {20, 254}, {21, 254}, {22, 57}, {23, 0}};
    for (const auto& [row, grey] : expected) EXPECT_EQ(image.pixelColor(40, row).red(), grey) << row;
}

TEST(PixelRatio, CursorLineAndBandAreExactOnTheFinerSurface) {
    TQuaGraph g;
    g.SetPixelRatio(2);
    g.resize(400, 300);
    auto trace = std::make_unique<TQuaFastLineSeries>("trace", 3, clBlack);
    for (auto [x, y] : {std::pair{0.0, -1.0}, {5.0, 1.0}, {10.0, 0.0}}) trace->AddPoint("", clBlack, x, y, 0);
    g.AddSeries(std::move(trace));
    g.Paint();
    const QImage plain = g.ControlImage().copy();
    const int left = static_cast<int>(g.PlotLeft()), top = static_cast<int>(g.PlotTop());

    // The XOR line covers both device columns of its control column.
    g.Canvas().Pen.Color = clWhite;
    g.MouseMove(0, left + 40, top + 20);
    g.DrawLine();
    const QImage& shown = g.ControlImage();
    for (int dx : {0, 1})
        EXPECT_EQ(shown.pixel(2 * (left + 40) + dx, 2 * top + 9), (plain.pixel(2 * (left + 40) + dx, 2 * top + 9) ^ 0xFFFFFFu))
            << dx;
    EXPECT_EQ(shown.pixel(2 * (left + 40) + 2, 2 * top + 9), plain.pixel(2 * (left + 40) + 2, 2 * top + 9));
    // Moved on, repainted, moved again: only the last line is there.
    g.MouseMove(0, left + 90, top + 20);
    g.DrawLine();
    g.Invalidate();
    g.Paint();
    g.MouseMove(0, left + 150, top + 20);
    g.DrawLine();
    QImage expected = plain.copy();
    for (int y = 2 * top; y < 2 * static_cast<int>(g.PlotTop() + g.PlotHeight()); ++y)
        for (int dx : {0, 1}) expected.setPixel(2 * (left + 150) + dx, y, expected.pixel(2 * (left + 150) + dx, y) ^ 0xFFFFFFu);
    EXPECT_EQ(g.ControlImage(), expected);

    // The inverted band drawn and taken away leaves the picture as it was.
    g.Select(2, 6);
    EXPECT_NE(g.ControlImage(), expected);
    const int a = 2 * (g.TransferX(2) + left), b = 2 * (g.TransferX(6) + left);
    EXPECT_EQ(g.ControlImage().pixel(a + 3, 2 * top + 5), expected.pixel(a + 3, 2 * top + 5) ^ 0xFFFFFFu);
    EXPECT_EQ(g.ControlImage().pixel(b - 1, 2 * top + 5), expected.pixel(b - 1, 2 * top + 5) ^ 0xFFFFFFu);
    EXPECT_EQ(g.ControlImage().pixel(b, 2 * top + 5), expected.pixel(b, 2 * top + 5));
    g.RemoveSelection();
    EXPECT_EQ(g.ControlImage(), expected);
}

TEST(PixelRatio, TheColourBarRunsItsGradientOverDevicePixels) {
    TQuaColorBar bar;
    bar.resize(100, 10);
    const QImage one = bar.Picture(), two = bar.Picture(2);
    EXPECT_EQ(two.size(), QSize(200, 20));
    EXPECT_EQ(two.devicePixelRatio(), 2);
    // Red to blue over 200 device columns: column 1 has moved on already,
    // where the ratio-1 bar's first column is still pure red.
    EXPECT_EQ(PixelAt(one, 0, 5), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(two, 1, 5), Rgb(253, 0, 1));
    EXPECT_EQ(PixelAt(two, 100, 19), Rgb(127, 0, 127));
    EXPECT_EQ(PixelAt(two, 199, 0), Rgb(1, 0, 253));
    // Offsets in control pixels, solid blocks in device pixels.
    bar.SetOffsetLeft(10);
    const QImage offset = bar.Picture(2);
    EXPECT_EQ(PixelAt(offset, 19, 5), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(offset, 20, 5), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(offset, 21, 5), Rgb(253, 0, 1));
}
