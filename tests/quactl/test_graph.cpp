#include "common/daycount.h"
#include "quactl/quagraph.h"
#include "quactl/quaseries.h"
#include "quactltest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <cmath>

using namespace quactl;
using quactl::test::PixelAt;
using quactl::test::Rgb;

namespace {

class GraphTest : public ::testing::Test {
protected:

    static std::unique_ptr<TQuaFastLineSeries> Line(const QString& name, std::initializer_list<QPointF> points) {
        auto s = std::make_unique<TQuaFastLineSeries>(name, 0, clBlack);
        for (const QPointF& p : points) s->AddPoint("", clBlack, p.x(), p.y(), 0);
        return s;
    }

    static std::vector<QString> BottomLabels(TQuaGraph& g) {
        std::vector<QString> labels;
        g.OnAxisBottomLabel = [&](TQuaGraph*, double, QString& label) { labels.push_back(label); };
        g.Paint();
        g.OnAxisBottomLabel = nullptr;
        return labels;
    }
};

int TextWidth(const TQuaFont& f, const QString& s) { return QuaFontMetrics(f.Font()).horizontalAdvance(s); }
int TextHeight(const TQuaFont& f) { return QuaFontMetrics(f.Font()).height(); }

void Send(QWidget& w, QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons buttons) {
    const QPointF pos(x, y);
    QMouseEvent event(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}
void Press(QWidget& w, int x, int y) { Send(w, QEvent::MouseButtonPress, x, y, Qt::LeftButton, Qt::LeftButton); }
void Move(QWidget& w, int x, int y, bool held) {
    Send(w, QEvent::MouseMove, x, y, Qt::NoButton, held ? Qt::LeftButton : Qt::NoButton);
}
void Release(QWidget& w, int x, int y) { Send(w, QEvent::MouseButtonRelease, x, y, Qt::LeftButton, Qt::NoButton); }

// The picture expected with the band between two bottom-axis values inverted.
QImage WithBand(const QImage& plain, TQuaGraph& g, double from, double to) {
    QImage expected = plain.copy();
    const int left = static_cast<int>(g.PlotLeft());
    const int a = g.TransferX(from) + left, b = g.TransferX(to) + left;
    for (int y = static_cast<int>(g.PlotTop()); y < static_cast<int>(g.PlotBottom()); ++y)
        for (int x = std::min(a, b); x < std::max(a, b); ++x) expected.setPixel(x, y, ~expected.pixel(x, y) | 0xFF000000u);
    return expected;
}

}  // namespace

TEST_F(GraphTest, LayoutOfTheInitialControl) {
    TQuaGraph g;
    EXPECT_EQ(g.size(), QSize(200, 150));
    g.Paint();
    const TQuaAxis& left = g.AxisLeft();
    const int alw = 2 + 4 + TextWidth(left.Font(), "##0.000") + 3 + TextHeight(left.CaptionFont()) + 3;
    const int abh = 2 + 4 + TextHeight(g.AxisBottom().Font()) + 3 + TextHeight(g.AxisBottom().CaptionFont()) + 3;
    EXPECT_EQ(g.AxisLeftWidth(), alw);
    EXPECT_EQ(g.AxisBottomHeight(), abh);
    EXPECT_EQ(g.PlotLeft(), 4 + alw);
    EXPECT_EQ(g.PlotTop(), 3);
    EXPECT_EQ(g.PlotWidth(), 192 - alw);
    EXPECT_EQ(g.PlotHeight(), 144 - abh);
    EXPECT_EQ(g.PlotRight(), 196);
    EXPECT_EQ(g.PlotBottom(), 147 - abh);
    EXPECT_EQ(g.PlotImage().size(), QSize(192 - alw, 144 - abh));
    EXPECT_EQ(g.PlotImage().format(), QImage::Format_RGB888);

    g.SetTitle("Tytuł");
    g.Paint();
    EXPECT_EQ(g.PlotTop(), 3 + TextHeight(g.TitleFont()));

    g.AxisLeft().SetFormatString("0.00;-0.00");
    EXPECT_EQ(g.CalculateAxisLeftWidth(), 2 + 4 + TextWidth(left.Font(), "0.00") + 3 + TextHeight(left.CaptionFont()) + 3);
    g.AxisLeft().SetVisible(false);
    EXPECT_EQ(g.CalculateAxisLeftWidth(), 0);
}

TEST_F(GraphTest, MarginsStayWithinWhatTheOppositeMarginLeaves) {
    TQuaGraph g;
    g.SetMarginRight(50);
    g.SetMarginLeft(60);
    EXPECT_EQ(g.MarginLeft(), 50);
    g.SetMarginTop(-5);
    EXPECT_EQ(g.MarginTop(), 0);
    g.SetMarginBottom(150);
    EXPECT_EQ(g.MarginBottom(), 100);
    // No room for the plot: nothing is drawn and the old picture stays.
    g.SetMarginLeft(0);
    g.SetMarginRight(2);
    g.SetMarginTop(2);
    g.SetMarginBottom(2);
    g.Paint();
    const QImage before = g.ControlImage().copy();
    g.SetMarginTop(0);
    g.SetMarginBottom(99);
    g.Paint();
    EXPECT_LT(g.PlotHeight(), 0);
    EXPECT_EQ(g.ControlImage(), before);
}

TEST_F(GraphTest, ReversedBottomAxisLabelsAndSeriesPositions) {
    TQuaGraph g;
    auto shapes = std::make_unique<TQuaShapeSeries>("dots", qssEllipse, 2);
    shapes->AddPoint("", clRed, 0, 0.5, 3);
    shapes->AddPoint("", clBlue, 10, 0.5, 3);
    g.AddSeries(std::move(shapes));
    g.AxisBottom().SetReverse(true);
    EXPECT_EQ(BottomLabels(g), (std::vector<QString>{"10.000", "7.500", "5.000", "2.500", "0.000"}));
    const QImage& plot = g.PlotImage();
    const int y = plot.height() / 2;
    EXPECT_EQ(PixelAt(plot, plot.width() - 1, y), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(plot, 1, y), Rgb(0, 0, 255));
    g.AxisBottom().SetReverse(false);
    EXPECT_EQ(BottomLabels(g), (std::vector<QString>{"0.000", "2.500", "5.000", "7.500", "10.000"}));
    // The label event may rewrite a label; the separator is a property.
    g.AxisBottom().SetDecimalSeparator(',');
    EXPECT_EQ(BottomLabels(g)[1], "2,500");
}

TEST_F(GraphTest, DateAxisShowsClockTimes) {
    TQuaGraph g;
    TQuaAxis& x = g.AxisBottom();
    x.SetAuto(false);
    x.SetMaxValue(360);
    x.SetStartTime(dyma::EncodeTime(12, 0, 0, 0));
    x.SetDateAxis(true);
    std::vector<double> values;
    std::vector<QString> labels;
    g.OnAxisBottomLabel = [&](TQuaGraph* sender, double value, QString& label) {
        EXPECT_EQ(sender, &g);
        values.push_back(value);
        labels.push_back(label);
    };
    g.Paint();
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_EQ(labels[1], "12:01:30.000");
    EXPECT_EQ(labels[4], "12:06:00.000");
    EXPECT_DOUBLE_EQ(values[1], 0.5 + 90 * 0.000011574074074074073);
}

TEST_F(GraphTest, LogarithmicAxisRunsInDecades) {
    TQuaGraph g;
    g.AxisLeft().SetLogScale(true);
    int events = 0;
    g.OnAxisLeftLabel = [&](TQuaGraph*, double, QString&) { ++events; };
    g.AddSeries(Line("s", {{0, 0.5}, {1, 2000}}));
    EXPECT_EQ(g.AxisLeft().MinValue(), -1);
    EXPECT_EQ(g.AxisLeft().MaxValue(), 4);
    std::vector<QString> labels;
    for (const TQuaAxisTick& t : g.AxisLeft().Ticks(100))
        if (t.Labelled) labels.push_back(t.Label);
    EXPECT_EQ(labels, (std::vector<QString>{"0.100", "1.000", "10.000", "100.000", "1000.000", "10000.000"}));
    EXPECT_EQ(g.AxisLeft().Ticks(100).size(), 6u * 9);
    g.Paint();
    EXPECT_EQ(events, 0);
    // Non-positive data collapse to exponent 0; an empty pair is not taken.
    g.RemoveAllSeries();
    g.AddSeries(Line("s", {{0, -5}, {1, 100}}));
    EXPECT_EQ(g.AxisLeft().MinValue(), 0);
    EXPECT_EQ(g.AxisLeft().MaxValue(), 2);
}

TEST_F(GraphTest, EmptyFormatDrawsTicksWithoutLabels) {
    TQuaGraph g;
    g.AxisBottom().SetFormatString("");
    int events = 0;
    g.OnAxisBottomLabel = [&](TQuaGraph*, double, QString&) { ++events; };
    g.Paint();
    EXPECT_EQ(events, 0);
    const int a = g.AxisBottom().Offset() + g.AxisBottom().MajorTicksLength();
    const int middle = static_cast<int>(g.PlotLeft() + g.PlotWidth() * 0.5);
    EXPECT_EQ(PixelAt(g.ControlImage(), middle, static_cast<int>(g.PlotBottom()) + a - 2), Rgb(0, 0, 0));
}

TEST_F(GraphTest, AxisValueSettersHonourAutoAndLock) {
    TQuaAxis axis;
    int changes = 0;
    axis.OnChange = [&] { ++changes; };
    axis.SetMaxValue(5);
    EXPECT_EQ(axis.MaxValue(), 1);
    EXPECT_EQ(changes, 0);
    axis.SetAxis(-1, 3);
    EXPECT_EQ(axis.MinValue(), -1);
    EXPECT_EQ(axis.MaxValue(), 3);
    EXPECT_EQ(axis.Range(), 4);
    axis.SetAxis(3, 3);
    EXPECT_EQ(axis.MaxValue(), 3);
    EXPECT_TRUE(axis.LockAxis());
    EXPECT_EQ(changes, 0);
    axis.SetAuto(false);
    changes = 0;
    axis.SetMaxValue(-2);  // not above the minimum: refused, but reported
    EXPECT_EQ(axis.MaxValue(), 3);
    EXPECT_EQ(changes, 1);
    axis.SetLockAxis(false);
    axis.SetMaxValue(-2);
    EXPECT_EQ(axis.MaxValue(), -2);
    EXPECT_EQ(changes, 1);
    axis.SetOffset(-4);
    EXPECT_EQ(axis.Offset(), 0);
    axis.Font().SetSize(12);  // font edits reach the owner as a change
    EXPECT_EQ(changes, 3);
}

TEST_F(GraphTest, SeriesListOwnsAndHandsBack) {
    TQuaGraph g;
    EXPECT_EQ(g.AddSeries(std::make_unique<TQuaFastLineSeries>("empty", 0, clBlack)), nullptr);
    TQuaFastLineSeries* first = g.AddSeries(Line("a", {{0, 0}, {4, 2}}));
    ASSERT_NE(first, nullptr);
    g.AddSeries(Line("a", {{1, 1}}));
    g.AddSeries(Line("b", {{-3, 7}}));
    EXPECT_EQ(g.AxisBottom().MinValue(), -3);
    EXPECT_EQ(g.AxisBottom().MaxValue(), 4);
    EXPECT_EQ(g.AxisLeft().MaxValue(), 7);
    EXPECT_EQ(g.FindSeries("a"), first);
    EXPECT_EQ(g.FindSeries(""), nullptr);
    EXPECT_EQ(g.RemoveSeries(""), 0);
    EXPECT_EQ(g.RemoveSeries("a"), 2);
    EXPECT_EQ(g.SeriesCount(), 1);
    std::unique_ptr<TQuaGraphSeries> back = g.RemoveSeriesPointer("b");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Name, "b");
    EXPECT_EQ(g.SeriesCount(), 0);
    EXPECT_EQ(g.RemoveSeriesPointer("b"), nullptr);
}

TEST_F(GraphTest, UpdatingSuppressesPainting) {
    TQuaGraph g;
    g.BeginUpdate();
    g.Paint();
    EXPECT_EQ(g.PlotWidth(), 0);
    EXPECT_TRUE(g.ControlImage().isNull());
    g.EndUpdate();
    g.Paint();
    EXPECT_GT(g.PlotWidth(), 0);
}

class SelectionTest : public GraphTest {
protected:
    void SetUp() override {
        g.resize(400, 300);
        g.AddSeries(Line("trace", {{0, -1}, {5, 1}, {10, 0}}));
        g.Paint();
        plain = g.ControlImage().copy();
        left = static_cast<int>(g.PlotLeft());
        top = static_cast<int>(g.PlotTop()) + 20;
    }
    double ValueAt(int x) const { return g.InvertTransformX(x - left); }

    TQuaGraph g;
    QImage plain;
    int left = 0, top = 0;
};

TEST_F(SelectionTest, PressAndReleaseAtOnePointSelectsNothing) {
    Press(g, left + 50, top);
    EXPECT_TRUE(g.Dragging());
    Release(g, left + 50, top);
    EXPECT_FALSE(g.Dragging());
    EXPECT_FALSE(g.Selected());
    EXPECT_EQ(g.ControlImage(), plain);
}

TEST_F(SelectionTest, DraggingSelectsAndInvertsTheBand) {
    Press(g, left + 50, top);
    Move(g, left + 120, top, true);
    EXPECT_TRUE(g.Dragging());
    EXPECT_EQ(g.ControlImage(), WithBand(plain, g, ValueAt(left + 50), ValueAt(left + 120)));
    Release(g, left + 150, top);
    EXPECT_TRUE(g.Selected());
    EXPECT_FALSE(g.Dragging());
    EXPECT_DOUBLE_EQ(g.MarkerStart(), ValueAt(left + 50));
    EXPECT_DOUBLE_EQ(g.MarkerEnd(), ValueAt(left + 150));
    EXPECT_EQ(g.ControlImage(), WithBand(plain, g, g.MarkerStart(), g.MarkerEnd()));
    // A full repaint draws the band into the back buffer again.
    g.Paint();
    EXPECT_EQ(g.ControlImage(), WithBand(plain, g, g.MarkerStart(), g.MarkerEnd()));
    // A new press elsewhere erases the band and starts over.
    Press(g, left + 250, top);
    EXPECT_FALSE(g.Selected());
    EXPECT_EQ(g.ControlImage(), plain);
}

TEST_F(SelectionTest, GrabbingAMarkerEdgeReanchorsTheSelection) {
    Press(g, left + 50, top);
    Release(g, left + 150, top);
    const double a = g.MarkerStart(), b = g.MarkerEnd();

    Move(g, left + 151, top, false);
    EXPECT_TRUE(g.OverMarkerEdge());
    EXPECT_EQ(g.cursor().shape(), Qt::SplitHCursor);
    Press(g, left + 151, top);
    EXPECT_TRUE(g.Dragging());
    EXPECT_FALSE(g.Selected());
    EXPECT_EQ(g.MarkerStart(), a);
    EXPECT_EQ(g.DrawnMarkerEnd(), b);
    Move(g, left + 200, top, true);
    Release(g, left + 200, top);
    EXPECT_TRUE(g.Selected());
    EXPECT_EQ(g.MarkerStart(), a);
    EXPECT_DOUBLE_EQ(g.MarkerEnd(), ValueAt(left + 200));
    EXPECT_EQ(g.ControlImage(), WithBand(plain, g, a, g.MarkerEnd()));

    // At the start edge the old end becomes the anchor.
    const double end = g.MarkerEnd();
    Move(g, left + 49, top, false);
    Press(g, left + 49, top);
    EXPECT_EQ(g.MarkerStart(), end);
    EXPECT_EQ(g.DrawnMarkerEnd(), a);
    Move(g, left + 20, top, true);
    Release(g, left + 20, top);
    EXPECT_EQ(g.MarkerStart(), end);
    EXPECT_DOUBLE_EQ(g.MarkerEnd(), ValueAt(left + 20));
    EXPECT_EQ(g.ControlImage(), WithBand(plain, g, end, g.MarkerEnd()));
}

TEST_F(SelectionTest, LeavingThePlotEndsTheDragAndReturningToTheStartLeavesNothing) {
    Press(g, left + 50, top);
    Move(g, static_cast<int>(g.PlotRight()) + 5, top, true);
    EXPECT_FALSE(g.Dragging());
    EXPECT_TRUE(g.Selected());
    EXPECT_EQ(g.MarkerEnd(), g.AxisBottom().MaxValue());
    EXPECT_EQ(g.cursor().shape(), Qt::ArrowCursor);

    Press(g, left + 60, top);
    Move(g, left + 90, top, true);
    Move(g, left + 60, top, true);
    Release(g, left + 60, top);
    EXPECT_FALSE(g.Selected());
    EXPECT_EQ(g.ControlImage(), plain);
}

TEST_F(GraphTest, SelectBeforeTheFirstPaintShowsTheBandWhenPainted) {
    TQuaGraph g;
    g.AddSeries(Line("trace", {{0, 0}, {10, 1}}));
    g.Select(2, 5);
    g.Paint();
    const QImage shown = g.ControlImage().copy();
    g.RemoveSelection();
    EXPECT_EQ(shown, WithBand(g.ControlImage(), g, 2, 5));
}

TEST_F(SelectionTest, SelectAndRemoveSelectionFromCode) {
    g.Select(2, 5);
    EXPECT_TRUE(g.Selected());
    EXPECT_EQ(g.ControlImage(), WithBand(plain, g, 2, 5));
    g.Select(1, 30);  // the end is held to the axis
    EXPECT_EQ(g.MarkerEnd(), 10);
    EXPECT_EQ(g.ControlImage(), WithBand(plain, g, 1, 10));
    g.RemoveSelection();
    EXPECT_FALSE(g.Selected());
    EXPECT_EQ(g.MarkerStart(), 0);
    EXPECT_EQ(g.ControlImage(), plain);
}

TEST_F(SelectionTest, MouseValuesAndTheXorCursorLine) {
    std::vector<std::pair<int, int>> seen;
    g.Canvas().Pen.Color = clWhite;
    g.OnMouseMove = [&](TQuaGraph* sender, TShiftState, int, int) {
        seen.emplace_back(sender->PreviousMouseX(), sender->MouseX());
        sender->DrawLine();
    };
    const int x1 = left + 40, x2 = left + 90;
    Move(g, x1, top, false);
    EXPECT_DOUBLE_EQ(g.MouseValueX(), ValueAt(x1));
    EXPECT_DOUBLE_EQ(g.MouseValueY(), g.InvertTransformY(top - static_cast<int>(g.PlotTop())));
    EXPECT_EQ(g.MouseY(), top);
    const int row = static_cast<int>(g.PlotTop()) + 3;
    const QRgb background = plain.pixel(x1, row);
    EXPECT_EQ(g.ControlImage().pixel(x1, row), (background ^ 0xFFFFFFu) | 0xFF000000u);
    Move(g, x2, top, false);
    EXPECT_EQ(g.ControlImage().pixel(x1, row), plain.pixel(x1, row));
    EXPECT_NE(g.ControlImage().pixel(x2, row), plain.pixel(x2, row));
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{-1, x1}, {x1, x2}}));
}

// A repaint puts the surface back without the line; the next move must not
// draw a second line where the old one was.
TEST_F(SelectionTest, TheCursorLineLeavesNoTraceAfterARepaint) {
    g.Canvas().Pen.Color = clWhite;
    g.OnMouseMove = [](TQuaGraph* sender, TShiftState, int, int) { sender->DrawLine(); };
    // A picture with one cursor line added.
    auto withLineAt = [&](const QImage& picture, int x) {
        QImage expected = picture.copy();
        for (int y = static_cast<int>(g.PlotTop()); y < static_cast<int>(g.PlotTop() + g.PlotHeight()); ++y)
            expected.setPixel(x, y, (expected.pixel(x, y) ^ 0xFFFFFFu) | 0xFF000000u);
        return expected;
    };
    const int x1 = left + 40, x2 = left + 90, x3 = left + 130;
    Move(g, x1, top, false);
    EXPECT_EQ(g.ControlImage(), withLineAt(plain, x1));
    g.Invalidate();
    g.Paint();
    EXPECT_EQ(g.ControlImage(), withLineAt(plain, x1)) << "the line stays where the mouse is";
    Move(g, x2, top, false);
    EXPECT_EQ(g.ControlImage(), withLineAt(plain, x2)) << "the old line is gone, nothing new at its place";

    // After a resize the line is drawn again in the new layout, and the
    // next move again leaves only its own line.
    g.resize(420, 280);
    g.Paint();
    TQuaGraph same;
    same.resize(420, 280);
    same.AddSeries(Line("trace", {{0, -1}, {5, 1}, {10, 0}}));
    same.Paint();
    EXPECT_EQ(g.ControlImage(), withLineAt(same.ControlImage(), x2));
    Move(g, x3, top, false);
    EXPECT_EQ(g.ControlImage(), withLineAt(same.ControlImage(), x3));
}
