// Axes: round ticks whose labels neither overlap nor get cut, the grid, and
// the one data-to-pixel mapping the graph and the series share.
#include "common/daycount.h"
#include "common/numberformat.h"
#include "quactl/quagraph.h"
#include "quactl/quaseries.h"
#include "quactltest.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quactl;
using quactl::test::PixelAt;
using quactl::test::Rgb;

namespace {

constexpr auto kHorizontal = TQuaAxisOrientation::Horizontal;
constexpr auto kVertical = TQuaAxisOrientation::Vertical;

// Decimals that show every multiple of the step exactly.
int DecimalsOf(double step) {
    for (int d = 0; d < 15; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled) return d;
    }
    return 15;
}

std::string PatternFor(double step) {
    const int d = DecimalsOf(step);
    return d ? "0." + std::string(static_cast<std::size_t>(d), '0') : "0";
}

bool IsRoundStep(double step) {
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    for (double m : {1.0, 2.0, 2.5, 5.0})
        if (std::abs(mantissa - m) < 1e-6) return true;
    return false;
}

// The round step below (finer than) a round step.
double FinerStep(double step) {
    const double decade = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double m = step / decade;
    if (std::abs(m - 1) < 1e-6) return 0.5 * decade;
    if (std::abs(m - 2) < 1e-6) return decade;
    if (std::abs(m - 2.5) < 1e-6) return 2 * decade;
    return 2.5 * decade;
}

// Label boxes along the strip, [start, end), as a reader of the axis
// would place them: centred on the tick, moved into the strip.
struct Box {
    int start, end;
};

int TickPixelOf(double offset, TQuaAxisOrientation o, int length) {
    return o == kVertical ? static_cast<int>(length - offset) : static_cast<int>(offset);
}

Box BoxOf(double offset, const QString& label, const QFontMetrics& fm, TQuaAxisOrientation o, int length) {
    const int extent = o == kVertical ? fm.height() : fm.horizontalAdvance(label);
    const int start = std::clamp(TickPixelOf(offset, o, length) - extent / 2, 0, std::max(length - extent, 0));
    return {start, start + extent};
}

// Smallest gap between neighbouring boxes (negative when they overlap).
int SmallestGap(std::vector<Box> boxes) {
    std::sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.start < b.start; });
    int gap = 1 << 30;
    for (std::size_t i = 1; i < boxes.size(); ++i) gap = std::min(gap, boxes[i].start - boxes[i - 1].end);
    return gap;
}

struct RoundCase {
    const char* what;
    double min, max;
    int length;
    TQuaAxisOrientation orientation;
    bool reverse = false;
    double multiplier = 1;
};

}  // namespace

TEST(RoundTicks, OffByDefault) {
    TQuaAxis axis;
    EXPECT_FALSE(axis.RoundTicks());
    EXPECT_FALSE(axis.Grid());
    axis.SetAxis(0, 10);
    // The quarters, labelled with the format.
    std::vector<QString> labels;
    for (const TQuaAxisTick& t : axis.Ticks(400)) labels.push_back(t.Label);
    EXPECT_EQ(labels, (std::vector<QString>{"0.000", "2.500", "5.000", "7.500", "10.000"}));
}

TEST(RoundTicks, TableOfRangesGivesRoundStepsAsDenseAsTheLabelsFitWithoutOverlapOrCutting) {
    const RoundCase cases[] = {
        {"an onset in the seismogram view", 0.8, 1.0, 540, kHorizontal},
        {"ten seconds", 0, 10, 600, kHorizontal},
        {"an odd range", -3.7, 12.2, 333, kHorizontal},
        {"a tiny span far from zero", 0.0012345, 0.0012395, 500, kHorizontal},
        {"big amplitudes on a left axis", -250000, 250000, 400, kVertical},
        {"a short left axis", -1.05, -0.95, 120, kVertical},
        {"a reversed axis", 0, 10, 400, kHorizontal, true},
        {"seconds shown as milliseconds", 0, 0.25, 500, kHorizontal, false, 1000},
        {"a negative multiplier", 0, 4, 300, kHorizontal, false, -1},
        {"a narrow graph", 0, 1000, 70, kHorizontal},
    };
    for (const RoundCase& c : cases) {
        TQuaAxis axis;
        axis.SetRoundTicks(true);
        axis.SetAxis(c.min, c.max);
        axis.SetReverse(c.reverse);
        axis.SetScaleMultiplier(c.multiplier);
        const QFontMetrics fm = QuaFontMetrics(axis.Font().Font());
        const int gap = c.orientation == kVertical ? fm.height() : fm.horizontalAdvance(QStringLiteral("000"));
        std::vector<double> shown;
        std::vector<Box> boxes;
        for (const TQuaAxisTick& t : axis.Ticks(c.length, c.orientation)) {
            ASSERT_TRUE(t.Labelled) << c.what;
            const double value = t.Value * c.multiplier;
            shown.push_back(value);
            // At its value's place, honouring the reversal.
            const double fraction = (t.Value - c.min) / (c.max - c.min);
            EXPECT_NEAR(t.Offset, c.length * (c.reverse ? 1 - fraction : fraction), 1e-6) << c.what;
            boxes.push_back(BoxOf(t.Offset, t.Label, fm, c.orientation, c.length));
            EXPECT_GE(boxes.back().start, 0) << c.what;
            EXPECT_LE(boxes.back().end, c.length) << c.what;
        }
        ASSERT_GE(shown.size(), c.length > 100 ? 3u : 1u) << c.what;
        if (shown.size() < 2) continue;
        std::sort(shown.begin(), shown.end());
        const double step = shown[1] - shown[0];
        EXPECT_TRUE(IsRoundStep(step)) << c.what << ": " << step;
        const double lo = std::min(c.min * c.multiplier, c.max * c.multiplier);
        const double hi = std::max(c.min * c.multiplier, c.max * c.multiplier);
        EXPECT_LT(shown.front() - step, lo) << c.what << ": a label left out at the start";
        EXPECT_GT(shown.back() + step, hi) << c.what << ": a label left out at the end";
        for (std::size_t i = 1; i < shown.size(); ++i) EXPECT_NEAR(shown[i] - shown[i - 1], step, 1e-9 * step) << c.what;
        // Apart by at least three digits' width (side by side) or a line
        // (one above the other).
        EXPECT_GE(SmallestGap(boxes), gap) << c.what;
        // The labels read the values with the decimals the step needs.
        for (const TQuaAxisTick& t : axis.Ticks(c.length, c.orientation))
            EXPECT_EQ(t.Label.toStdString(), dyma::FormatFloat(PatternFor(step), t.Value * c.multiplier, '.')) << c.what;

        // As dense as they fit: the next finer step would crowd them.
        const double finer = FinerStep(step);
        std::vector<Box> crowded;
        for (double k = std::ceil(lo / finer - 1e-9); k <= std::floor(hi / finer + 1e-9); k += 1) {
            const double value = k * finer / c.multiplier;
            const double fraction = (value - c.min) / (c.max - c.min);
            const QString label = QString::fromStdString(dyma::FormatFloat(PatternFor(finer), k * finer, '.'));
            crowded.push_back(BoxOf(c.length * (c.reverse ? 1 - fraction : fraction), label, fm, c.orientation, c.length));
        }
        EXPECT_LT(SmallestGap(crowded), gap) << c.what << ": the finer step " << finer << " would fit";
    }
}

TEST(RoundTicks, TheViewOfAnOnsetReadsInTwentiethsOfASecond) {
    TQuaAxis axis;
    axis.SetRoundTicks(true);
    axis.SetAxis(0.8, 1.0);
    axis.SetDecimalSeparator(',');
    std::vector<QString> labels;
    for (const TQuaAxisTick& t : axis.Ticks(230)) labels.push_back(t.Label);
    EXPECT_EQ(labels, (std::vector<QString>{"0,80", "0,85", "0,90", "0,95", "1,00"}));
}

TEST(RoundTicks, NarrowerGraphsThinTheirLabels) {
    TQuaAxis axis;
    axis.SetRoundTicks(true);
    axis.SetAxis(0, 1000);
    std::size_t previous = 1000;
    for (int length : {1600, 800, 400, 200, 100, 50}) {
        const std::size_t count = axis.Ticks(length).size();
        EXPECT_LE(count, previous) << length;
        EXPECT_GE(count, 1u) << length;
        previous = count;
    }
    // A strip too short for any label gets none rather than a cut one.
    EXPECT_TRUE(axis.Ticks(4).empty());
}

TEST(RoundTicks, DateAxisTicksAtRoundClockTimes) {
    TQuaAxis axis;
    axis.SetRoundTicks(true);
    axis.SetDateAxis(true);
    axis.SetStartTime(dyma::EncodeTime(12, 0, 0, 370));
    axis.SetAxis(0, 3);  // 12:00:00.370 to 12:00:03.370
    const std::vector<TQuaAxisTick> ticks = axis.Ticks(800);
    ASSERT_GE(ticks.size(), 3u);
    std::vector<int> milliseconds;
    for (const TQuaAxisTick& t : ticks) {
        ASSERT_EQ(t.Label.size(), 12) << t.Label.toStdString();
        EXPECT_TRUE(t.Label.startsWith("12:00:0")) << t.Label.toStdString();
        milliseconds.push_back(t.Label.mid(6, 2).toInt() * 1000 + t.Label.mid(9, 3).toInt());
        EXPECT_DOUBLE_EQ(t.EventValue, dyma::EncodeTime(12, 0, 0, 0) + milliseconds.back() / 86400000.0);
    }
    const int step = milliseconds[1] - milliseconds[0];
    EXPECT_TRUE(IsRoundStep(step)) << step;
    for (int ms : milliseconds) EXPECT_EQ(ms % step, 0) << ms;
    EXPECT_LT(milliseconds.front() - step, 370);
    EXPECT_GT(milliseconds.back() + step, 3370);
}

// The widest label of a left axis is drawn whole: every pixel of its ink is
// in the strip, where the format-sized strip cuts it.
TEST(RoundTicks, BigValuesAreNotCutAtTheLeft) {
    auto inkOf = [](TQuaGraph& g, const QString& label) {
        // The label alone, on a roomy white bitmap.
        TQuaBitmap alone(200, 40, QImage::Format_RGB32);
        TQuaCanvas& c = alone.Canvas();
        c.Font.Assign(g.AxisLeft().Font());
        c.Brush.Style = bsClear;
        c.TextOut(20, 10, label);
        int ink = 0;
        const QImage& a = alone.Image();
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) ink += a.pixel(x, y) != 0xFFFFFFFFu ? 1 : 0;
        return ink;
    };
    auto inkInStrip = [](TQuaGraph& g, int top, int bottom) {
        // Left of the axis line and its ticks, in the rows of one label.
        const QImage& image = g.ControlImage();
        const int left = static_cast<int>(g.PlotLeft()) - g.AxisLeftWidth();
        const int lineX = static_cast<int>(g.PlotLeft()) - g.AxisLeft().Offset() - g.AxisLeft().MajorTicksLength() - 1;
        int ink = 0;
        for (int y = std::max(top, 0); y < bottom; ++y)
            for (int x = left; x < lineX; ++x) ink += image.pixel(x, y) != 0xFFFFFFFFu ? 1 : 0;
        return ink;
    };
    for (const bool round : {false, true}) {
        TQuaGraph g;
        g.resize(400, 300);
        g.SetMarginLeft(0);
        g.AxisLeft().SetShowCaption(false);
        g.AxisLeft().SetFormatString("0");
        g.AxisLeft().SetRoundTicks(round);
        auto s = std::make_unique<TQuaFastLineSeries>("s", 2, clBlack);
        s->AddPoint("", clBlack, 0, 0, 0);
        s->AddPoint("", clBlack, 1, 250000, 0);
        g.AddSeries(std::move(s));
        g.Paint();
        // The top label: the axis maximum in quarters, the highest round
        // value with round ticks.
        const std::vector<TQuaAxisTick> ticks = g.LeftAxisTicks();
        ASSERT_FALSE(ticks.empty());
        const TQuaAxisTick& top = *std::max_element(ticks.begin(), ticks.end(),
                                                    [](const auto& a, const auto& b) { return a.Value < b.Value; });
        EXPECT_EQ(top.Label, "250000");
        const int h = QuaFontMetrics(g.AxisLeft().Font().Font()).height();
        const int row = static_cast<int>(g.PlotTop()) +
                        TQuaAxis::LabelStart(top, kVertical, static_cast<int>(g.PlotHeight()), h);
        if (round)
            EXPECT_EQ(inkInStrip(g, row, row + h), inkOf(g, top.Label)) << "the whole label";
        else
            EXPECT_LT(inkInStrip(g, row, row + h), inkOf(g, top.Label)) << "the format's width is too small";
    }
}

TEST(AxisGrid, LinesAtTheMajorTicksUnderTheSeries) {
    TQuaGraph g;
    g.resize(400, 300);
    g.SetGraphColor(clWhite);
    g.AxisBottom().SetGrid(true);
    g.AxisBottom().SetGridColor(clLime);
    g.AxisLeft().SetGrid(true);
    g.AxisLeft().SetGridColor(clAqua);
    g.AxisLeft().SetLogScale(true);
    auto s = std::make_unique<TQuaFastLineSeries>("s", 2, clRed);
    s->AddPoint("", clRed, 0, 1, 0);
    s->AddPoint("", clRed, 8, 1000, 0);  // decades 0 ... 3
    g.AddSeries(std::move(s));
    // A horizontal line over the grid, through x = 2 (a quarter).
    auto over = std::make_unique<TQuaFreeLineSeries>("over", 2);
    over->AddPoint("", clBlue, 0, 5, 0);
    over->AddPoint("", clBlue, 8, 5, 0);
    g.AddSeries(std::move(over));
    g.Paint();
    const QImage& plot = g.PlotImage();
    const int w = plot.width(), h = plot.height();
    // Bottom axis: the five quarters, the last one on the plot's last column.
    // (A row the trace, running corner to corner, crosses at no quarter.)
    const int row = static_cast<int>(h * 0.45);
    for (int x : {0, w / 4, w / 2, 3 * w / 4, w - 1}) EXPECT_EQ(PixelAt(plot, x, row), Rgb(0, 255, 0)) << x;
    EXPECT_EQ(PixelAt(plot, 3 * w / 8, row), Rgb(255, 255, 255));
    // Left axis (logarithmic): the decades, not the 2 ... 9 between them.
    for (int decade = 0; decade <= 3; ++decade) {
        const int y = std::clamp(static_cast<int>(h - decade * (h / 3.0)), 0, h - 1);
        EXPECT_EQ(PixelAt(plot, 3 * w / 8, y), Rgb(0, 255, 255)) << decade;
    }
    EXPECT_EQ(PixelAt(plot, 3 * w / 8, g.Series(0)->TransferY(2)), Rgb(255, 255, 255));
    // The series lie over the grid.
    EXPECT_EQ(PixelAt(plot, w / 4, g.Series(1)->TransferY(5)), Rgb(0, 0, 255));
}

TEST(PlotMapping, GraphAndSeriesShareOneMappingAndItsInverse) {
    struct Case {
        const char* what;
        bool log, reverse;
    };
    for (const Case& c : {Case{"linear", false, false}, Case{"reversed", false, true}, Case{"logarithmic", true, false},
                          Case{"logarithmic, reversed", true, true}}) {
        TQuaTransform t;
        t.XMin = c.log ? -1 : -2.5;
        t.XMax = 3;
        t.YMin = c.log ? 0 : -7;
        t.YMax = c.log ? 2 : 11;
        t.XLog = t.YLog = c.log;
        t.XReverse = t.YReverse = c.reverse;
        t.Width = 317;
        t.Height = 211;
        // Every pixel maps back to itself; data values within a pixel.
        for (int p = 0; p < 317; ++p) EXPECT_EQ(t.X(t.InvertX(p + 0.5)), p) << c.what << " x " << p;
        for (int p = 0; p < 211; ++p) EXPECT_EQ(t.Y(t.InvertY(p + 0.5)), p) << c.what << " y " << p;
    }
    // The graph's coordinates are the linear mapping of its plot area, with
    // the formulas the component set gives them.
    TQuaGraph g;
    g.resize(300, 200);
    g.AxisBottom().SetReverse(true);  // the graph's mapping stays linear
    auto s = std::make_unique<TQuaFastLineSeries>("s", 2, clBlack);
    s->AddPoint("", clBlack, -2, -5, 0);
    s->AddPoint("", clBlack, 6, 15, 0);
    g.AddSeries(std::move(s));
    g.Paint();
    const double pw = g.PlotWidth(), ph = g.PlotHeight();
    EXPECT_EQ(g.TransferX(1.3), static_cast<int>((1.3 + 2) * pw / 8));
    EXPECT_EQ(g.TransferY(2.2), static_cast<int>(ph - ph * (2.2 + 5) / 20));
    EXPECT_DOUBLE_EQ(g.InvertTransformX(37), -2 + 37 * 8 / pw);
    EXPECT_DOUBLE_EQ(g.InvertTransformY(41), -5 + (ph - 41) * 20 / ph);
    const TQuaTransform m = g.PlotMapping();
    EXPECT_FALSE(m.XReverse);
    EXPECT_EQ(m.Width, static_cast<int>(pw));
    EXPECT_EQ(m.Height, static_cast<int>(ph));
}
