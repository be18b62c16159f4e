#include "quactl/ezlines.h"
#include "quactltest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace quactl;
using quactl::test::PixelAt;
using quactl::test::Rgb;

namespace {

class EzLineTest : public ::testing::Test {
protected:

    // White pen over black, one pixel wide, as the simplest readable case.
    TEZLine WhitePen(double width) {
        TEZLine line;
        line.SetProperty(clWhite, width, 1.0, 0, true, true, psSolid, pmCopy);
        return line;
    }

    static TQuaBitmap& Black(TQuaBitmap& b) {
        b.Image().fill(Qt::black);
        return b;
    }
};

int Grey(const QImage& image, int x, int y) { return image.pixelColor(x, y).red(); }

}  // namespace

TEST(EzRounding, FloorRoundKeepsIntegersAndRoundIntTiesToEven) {
    struct Case {
        double x;
        int floorRound, roundInt;
    };
    for (const Case& c : {Case{2.0, 2, 2}, Case{2.5, 2, 2}, Case{3.5, 3, 4}, Case{2.9999, 2, 3}, Case{-0.5, -1, 0},
                          Case{-1.0, -1, -1}, Case{-2.5, -3, -2}, Case{0.0, 0, 0}, Case{58.6, 58, 59},
                          Case{255.0, 255, 255}, Case{7.9999999999999991, 8, 8}, Case{254.99999999999, 254, 255}}) {
        EXPECT_EQ(FloorRound(c.x), c.floorRound) << c.x;
        EXPECT_EQ(RoundInt(c.x), c.roundInt) << c.x;
    }
}

TEST(EzCoverage, FadesOverThreeUnits) {
    EXPECT_EQ(TEZLine::Coverage(3, 0), 255);
    EXPECT_EQ(TEZLine::Coverage(3, 1), 58);
    EXPECT_EQ(TEZLine::Coverage(3, 1.5), 0);
    EXPECT_EQ(TEZLine::Coverage(3, 2), 0);
    EXPECT_EQ(TEZLine::Coverage(2, 0), 180);  // width 0.5: effective width 0, plus 2
}

TEST(EzBlend, SixteenPenModes) {
    const int d = 0x5A, p = 0xC3;
    struct Case {
        TPenMode mode;
        int x;
    };
    const std::vector<Case> cases = {
        {pmBlack, 0},         {pmWhite, 255},       {pmNot, 255 - d},     {pmCopy, p},
        {pmNotCopy, 255 - p}, {pmMergePenNot, 231}, {pmMaskPenNot, 129},  {pmMergeNotPen, 126},
        {pmMaskNotPen, 24},   {pmMerge, 219},       {pmNotMerge, 36},     {pmMask, 66},
        {pmNotMask, 189},     {pmXor, 153},         {pmNotXor, 102},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TEZLine::BlendChannel(d, p, 255, c.mode), (255 * c.x) >> 8) << int(c.mode);
        EXPECT_EQ(TEZLine::BlendChannel(d, p, 128, c.mode), (128 * c.x + d * 127) >> 8) << int(c.mode);
    }
    EXPECT_EQ(TEZLine::BlendChannel(d, p, 200, pmNop), d);
    EXPECT_EQ(TEZLine::BlendChannel(d, p, 200, static_cast<TPenMode>(77)), d);
    // The weights sum to 255 and the sum is divided by 256.
    EXPECT_EQ(TEZLine::BlendChannel(0, 255, 255, pmCopy), 254);
}

TEST(EzDash, PatternsBySyle) {
    const double pi = std::numbers::pi;
    EXPECT_EQ(TEZLine::DashPattern(psSolid, 1.7), 1);
    EXPECT_EQ(TEZLine::DashPattern(psInsideFrame, 1.7), 1);
    EXPECT_EQ(TEZLine::DashPattern(psClear, 1.7), 0);
    EXPECT_EQ(TEZLine::DashPattern(psDot, pi / 2), 1);
    EXPECT_EQ(TEZLine::DashPattern(psDot, 3 * pi / 2), 0);
    EXPECT_EQ(TEZLine::DashPattern(psDash, 0), 0);
    EXPECT_EQ(TEZLine::DashPattern(psDash, 2 * pi), 1);
    // Where the long dash is off, dash-dot falls back to the dots of sin(s).
    const double s = 4 * pi;  // sin(s/3) < 0
    EXPECT_DOUBLE_EQ(TEZLine::DashPattern(psDashDot, s), std::max(std::sin(s), 0.0));
}

TEST_F(EzLineTest, OnePixelHorizontalLineHasCoverage255Then58Then0) {
    TQuaBitmap bitmap(20, 11);
    Black(bitmap);
    TEZLine line = WhitePen(1);
    EXPECT_DOUBLE_EQ(line.Line(2, 5, 17, 5, &bitmap), 15);
    const QImage& image = bitmap.Image();
    for (int x : {4, 10, 15}) {
        EXPECT_EQ(PixelAt(image, x, 5), Rgb(254, 254, 254)) << x;
        EXPECT_EQ(Grey(image, x, 4), (58 * 255) >> 8) << x;
        EXPECT_EQ(Grey(image, x, 6), (58 * 255) >> 8) << x;
        EXPECT_EQ(Grey(image, x, 3), 0) << x;
        EXPECT_EQ(Grey(image, x, 7), 0) << x;
    }
}

TEST_F(EzLineTest, TooThinOrFarAwayDrawsNothingAndReturnsTheLength) {
    TQuaBitmap bitmap(20, 10);
    Black(bitmap);
    const QImage before = bitmap.Image().copy();
    TEZLine thin = WhitePen(0.009);
    thin.PathOffset = 3;
    EXPECT_DOUBLE_EQ(thin.Line(2, 5, 6, 8, &bitmap), 3 + 5);
    TEZLine far = WhitePen(4);
    EXPECT_DOUBLE_EQ(far.Line(-1000, -1000, -900, -1000, &bitmap), 100);
    EXPECT_DOUBLE_EQ(far.Line(500, 5, 500, 9, &bitmap), 4);
    EXPECT_EQ(bitmap.Image(), before);
    // A missing bitmap is no error either.
    EXPECT_DOUBLE_EQ(far.Line(0, 0, 3, 4, nullptr), 5);
}

TEST_F(EzLineTest, HalfPixelWidthDrawsAsEffectiveWidthZero) {
    TQuaBitmap bitmap(20, 10);
    Black(bitmap);
    TEZLine line = WhitePen(0.5);
    line.Line(2, 5, 17, 5, &bitmap);
    EXPECT_EQ(Grey(bitmap.Image(), 10, 5), (180 * 255) >> 8);
    EXPECT_EQ(Grey(bitmap.Image(), 10, 4), 0);
}

TEST_F(EzLineTest, LineLeavingTheBitmapKeepsItsSlope) {
    TQuaBitmap bitmap(40, 40);
    Black(bitmap);
    TEZLine line = WhitePen(1);
    line.Line(-100, 0, 20, 20, &bitmap);
    // y = (x + 100) / 6 on the true line: at x = 8 the line is at row 18.
    EXPECT_GT(Grey(bitmap.Image(), 8, 18), 200);
    EXPECT_EQ(Grey(bitmap.Image(), 8, 8), 0);
    // A full-width line reaches both edge columns.
    TQuaBitmap wide(30, 10);
    Black(wide);
    line.Line(0, 5, 30, 5, &wide);
    EXPECT_EQ(Grey(wide.Image(), 0, 5), 254);
    EXPECT_EQ(Grey(wide.Image(), 29, 5), 254);
}

TEST_F(EzLineTest, DottedPolylineContinuesItsPatternAcrossJoints) {
    auto dotted = [] {
        TEZLine line;
        line.SetProperty(clWhite, 2, 1.0, 0, true, true, psDot, pmCopy);
        return line;
    };
    TQuaBitmap path(60, 20), single(60, 20), restarted(60, 20);
    Black(path);
    Black(single);
    Black(restarted);

    TEZLine a = dotted();
    const std::vector<QPoint> points = {{5, 10}, {25, 10}, {45, 10}};
    EXPECT_DOUBLE_EQ(a.PolyLine(points, 2, &path), 40);
    EXPECT_DOUBLE_EQ(a.PathOffset, 40);

    TEZLine b = dotted();
    b.Line(5, 10, 45, 10, &single);
    EXPECT_EQ(path.Image(), single.Image());

    // Restarting the pattern at the joint gives a different picture, so the
    // comparison above does see the phase.
    TEZLine c = dotted();
    c.Line(5, 10, 25, 10, &restarted);
    c.Line(25, 10, 45, 10, &restarted);
    EXPECT_NE(restarted.Image(), single.Image());
}

TEST_F(EzLineTest, JointPixelsAreBlendedExactlyOnce) {
    TQuaBitmap bitmap(40, 40);
    Black(bitmap);
    TEZLine line;
    line.SetProperty(clWhite, 3, 0.5, 0, true, true, psSolid, pmCopy);
    const std::vector<QPoint> corner = {{5, 20}, {20, 20}, {20, 5}, {35, 30}};
    line.PolyLine(corner, 3, &bitmap);
    const int single = (FloorRound(255 * 0.5) * 255) >> 8;
    int brightest = 0;
    const QImage& image = bitmap.Image();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) brightest = std::max(brightest, Grey(image, x, y));
    EXPECT_EQ(brightest, single);  // a pixel blended twice would be brighter
    EXPECT_EQ(Grey(image, 20, 20), single);  // and the corner itself is not left out
    EXPECT_EQ(Grey(image, 20, 5), single);
}

TEST_F(EzLineTest, ClosedShapesAndCurves) {
    TQuaBitmap bitmap(60, 60);
    Black(bitmap);
    TEZLine line = WhitePen(1);
    line.Recangle(5, 5, 30, 20, &bitmap);
    const QImage& r = bitmap.Image();
    for (const QPoint& p : {QPoint(15, 5), QPoint(30, 12), QPoint(15, 20), QPoint(5, 12), QPoint(5, 5), QPoint(30, 5),
                            QPoint(30, 20), QPoint(5, 20)})
        EXPECT_GT(Grey(r, p.x(), p.y()), 200) << p.x() << "," << p.y();
    EXPECT_EQ(Grey(r, 15, 12), 0);

    Black(bitmap);
    line.PathOffset = 0;
    line.Ellips(30, 30, 45, 38, &bitmap);
    for (const QPoint& p : {QPoint(45, 30), QPoint(30, 38), QPoint(15, 30), QPoint(30, 22)})
        EXPECT_GT(Grey(bitmap.Image(), p.x(), p.y()), 200) << p.x() << "," << p.y();
    EXPECT_EQ(Grey(bitmap.Image(), 30, 30), 0);
    EXPECT_GT(line.PathOffset, 2 * std::numbers::pi * 8);

    Black(bitmap);
    line.PathOffset = 0;
    line.Bezier(5, 50, 15, 10, 40, 10, 50, 50, &bitmap);
    EXPECT_GT(Grey(bitmap.Image(), 5, 50), 200);
    EXPECT_GT(Grey(bitmap.Image(), 50, 50), 200);
    EXPECT_EQ(Grey(bitmap.Image(), 28, 45), 0);
    EXPECT_GT(line.PathOffset, 45);    // longer than the chord
    EXPECT_LT(line.PathOffset, 107.5);  // shorter than the control polygon
}

TEST_F(EzLineTest, SuperShapeWithMZeroIsACircleAndAZeroStepDrawsNothing) {
    TQuaBitmap bitmap(50, 50);
    Black(bitmap);
    TEZLine line = WhitePen(1);
    line.SuperShape(25, 25, 10, 0, 0, 1, 1, 1, 2 * std::numbers::pi, 0.05, &bitmap);
    for (const QPoint& p : {QPoint(35, 25), QPoint(25, 35), QPoint(15, 25), QPoint(25, 15)})
        EXPECT_GT(Grey(bitmap.Image(), p.x(), p.y()), 200) << p.x() << "," << p.y();
    EXPECT_EQ(Grey(bitmap.Image(), 25, 25), 0);

    Black(bitmap);
    const QImage before = bitmap.Image().copy();
    line.SuperShape(25, 25, 10, 0, 0, 1, 1, 1, 2 * std::numbers::pi, 0, &bitmap);
    line.SuperShape(25, 25, 10, 0, 0, 0.001, 1, 1, 2 * std::numbers::pi, 0.1, &bitmap);  // e1 too small
    EXPECT_EQ(bitmap.Image(), before);
}

TEST_F(EzLineTest, WithoutAntialiasingTheCanvasPenDraws) {
    TQuaBitmap bitmap(20, 20);
    Black(bitmap);
    TEZLine line;
    line.SetProperty(clRed, 1.7, 1.0, 0, false, true, psSolid, pmCopy);
    line.Line(2, 5, 10, 5, &bitmap);
    const QImage& image = bitmap.Image();
    EXPECT_EQ(PixelAt(image, 5, 5), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 5, 4), Rgb(0, 0, 0));  // no fading edge
    EXPECT_EQ(PixelAt(image, 10, 5), Rgb(0, 0, 0));  // the last pixel is left out
    EXPECT_EQ(bitmap.Canvas().Pen.Width, 1);

    line.Recangle(2, 8, 8, 12, &bitmap);
    EXPECT_EQ(PixelAt(bitmap.Image(), 8, 12), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(bitmap.Image(), 5, 10), Rgb(0, 0, 0));  // clear brush

    line.PenMode = pmXor;
    line.Line(2, 5, 10, 5, &bitmap);
    EXPECT_EQ(PixelAt(bitmap.Image(), 5, 5), Rgb(0, 0, 0));
}
