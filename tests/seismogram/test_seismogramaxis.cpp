// The seismogram view's time axis: labels at round times, as many as fit,
// and the time grid through them at every zoom.
#include "seismogramfixture.h"

#include "common/numberformat.h"
#include "quactl/quacanvas.h"

#include <cmath>

using namespace dyma;
using namespace dyma::gui;
using namespace dyma::test;

namespace {

// Decimals that show every multiple of the step exactly: 0.05 needs 2,
// 0.25 needs 2, 2.5 needs 1, 20 needs none.
int DecimalsOf(double step) {
    for (int d = 0; d < 12; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled) return d;
    }
    return 12;
}

bool IsRoundStep(double step) {
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    for (double m : {1.0, 2.0, 2.5, 5.0})
        if (std::abs(mantissa - m) < 1e-6) return true;
    return false;
}

// Share of the plot's rows where the column of control pixel x has the colour.
double ShareOfColumn(quactl::TQuaGraph& g, int x, QRgb colour) {
    const QImage& image = g.ControlImage();
    const int top = int(g.PlotTop()), bottom = int(g.PlotBottom());
    int hits = 0;
    for (int y = top; y < bottom; ++y) hits += (image.pixel(x, y) & 0xFFFFFFu) == colour ? 1 : 0;
    return double(hits) / (bottom - top);
}

TEST_F(SeismogramTest, TimeLabelsSitAtRoundTimesAndTheGridRunsThroughThemAtEveryZoom) {
    SetSetting("Seismograms/VerticalGrid", 1);
    TfmSeismogram* w = Open(WriteSignal("axis.mbj", {.channels = 2, .seconds = 10, .rate = 1000}));
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);
    quactl::TQuaGraph& g = w->Graph();
    const quactl::TQuaAxis& axis = g.AxisBottom();
    const QFontMetrics metrics = quactl::QuaFontMetrics(axis.Font().Font());
    constexpr QRgb kGrey = 0x808080;

    struct Case {
        const char* what;
        double from, to;
    };
    const Case cases[] = {
        {"the first two seconds", 0, 2},
        {"zoomed to an onset", 0.8, 1.0},
        {"zoomed in closely (no half second in view)", 0.8, 0.84},
        {"a window that starts off the grid", 0.437, 1.637},
        {"the whole record", 0, 10},
    };
    for (const Case& c : cases) {
        w->SetTimeWindow(c.from, c.to);
        g.Paint();
        std::vector<double> values;
        std::vector<QString> labels;
        std::vector<int> columns;
        for (const quactl::TQuaAxisTick& t : g.BottomAxisTicks()) {
            if (!t.Labelled) continue;
            values.push_back(t.Value);
            labels.push_back(t.Label);
            // A line at the end of the axis is the plot's last column.
            const int x = quactl::TQuaAxis::TickPixel(t, quactl::TQuaAxisOrientation::Horizontal, int(g.PlotWidth()));
            columns.push_back(int(g.PlotLeft()) + std::min(x, int(g.PlotWidth()) - 1));
        }
        ASSERT_GE(values.size(), 3u) << c.what;
        const double step = values[1] - values[0];
        EXPECT_TRUE(IsRoundStep(step)) << c.what << ": step " << step;
        const int decimals = DecimalsOf(step);
        const std::string pattern = decimals ? "0." + std::string(size_t(decimals), '0') : "0";
        for (size_t i = 0; i < values.size(); ++i) {
            // Every multiple of the step in the window, none left out.
            if (i > 0) {
                EXPECT_NEAR(values[i] - values[i - 1], step, 1e-9 * step) << c.what;
            }
            EXPECT_NEAR(values[i] / step, std::round(values[i] / step), 1e-6) << c.what;
            EXPECT_EQ(labels[i].toStdString(), FormatFloat(pattern, values[i], axis.DecimalSeparator())) << c.what;
            // The grid line at the label's time, through the plot (the trace
            // and the zero line cross it here and there).
            EXPECT_GT(ShareOfColumn(g, columns[i], kGrey), 0.5) << c.what << " at " << values[i];
        }
        EXPECT_GE(values.front(), c.from - 1e-9) << c.what;
        EXPECT_LT(values.front() - step, c.from) << c.what;
        EXPECT_LE(values.back(), c.to + 1e-9) << c.what;
        EXPECT_GT(values.back() + step, c.to) << c.what;
        // Halfway between two labels there is no grid line.
        EXPECT_LT(ShareOfColumn(g, (columns[0] + columns[1]) / 2, kGrey), 0.2) << c.what;
        // The labels are apart: their boxes as drawn do not touch.
        int previousEnd = -1000;
        for (size_t i = 0; i < labels.size(); ++i) {
            const int width = metrics.horizontalAdvance(labels[i]);
            const int start = std::clamp(columns[i] - int(g.PlotLeft()) - width / 2, 0, int(g.PlotWidth()) - width);
            EXPECT_GT(start, previousEnd) << c.what << " at " << labels[i].toStdString();
            previousEnd = start + width;
        }
    }

    // Switched off in the preferences, the grid goes at the next showing.
    SetSetting("Seismograms/VerticalGrid", 0);
    w->ShowChannel();
    g.Paint();
    EXPECT_FALSE(axis.Grid());
    const quactl::TQuaAxisTick first = g.BottomAxisTicks().front();
    EXPECT_LT(ShareOfColumn(g, int(g.PlotLeft()) + int(first.Offset), kGrey), 0.2);
}

}  // namespace
