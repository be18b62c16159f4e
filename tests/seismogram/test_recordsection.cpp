// The record section: the order of its rows, the traces thinned per pixel
// column, and the page of the seismogram window (a click and the channel
// keys choose the channel of the picking page; picks and reversals show).
#include "app/seismogram/recordsection.h"
#include "app/seismogram/recordsectionview.h"
#include "app/widgets/qtconvert.h"
#include "seismogram/seismogramfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace dyma;
using namespace dyma::gui;

namespace {

ChannelFacts At(double x, double y, double z) {
    ChannelFacts c;
    c.X = x, c.Y = y, c.Z = z;
    return c;
}

TEST(RecordSectionRows, ByDistanceNearestFirstOrByChannel) {
    const std::vector<ChannelFacts> channels = {At(0, 0, 0), At(300, 0, 0), At(100, 0, 0), At(0, -100, 0),
                                                At(0, 0, 50)};
    struct Case {
        const char* name;
        double x, y, z;
        SectionOrder order;
        std::vector<int> rows;
    } cases[] = {
        {"from the origin", 0, 0, 0, SectionOrder::Distance, {0, 4, 2, 3, 1}},  // 2 and 3 tie: channel order
        {"from the far station", 300, 0, 0, SectionOrder::Distance, {1, 2, 0, 4, 3}},
        {"depth counts", 0, 0, 60, SectionOrder::Distance, {4, 0, 2, 3, 1}},
        {"by number", 300, 0, 0, SectionOrder::Channel, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) EXPECT_EQ(SectionRows(channels, c.x, c.y, c.z, c.order), c.rows) << c.name;
    EXPECT_TRUE(SectionRows({}, 0, 0, 0, SectionOrder::Distance).empty());
}

TEST(RecordSectionThinning, ColumnsHoldTheirSamplesExtremes) {
    const std::vector<float> s = {0, 5, -3, 2, 8, -1, 4, 4, -6, 1};
    struct Case {
        const char* name;
        int first, last, columns;
        std::vector<std::pair<float, float>> spans;
        double level, amplitude;
    } cases[] = {
        {"two a column", 0, 10, 5, {{0, 5}, {-3, 2}, {-1, 8}, {4, 4}, {-6, 1}}, 1.4, 7.4},
        {"uneven columns", 0, 10, 3, {{-3, 5}, {-1, 8}, {-6, 4}}, 1.4, 7.4},
        {"a stretch", 3, 7, 2, {{2, 8}, {-1, 4}}, 3.25, 4.75},
        {"more columns than samples", 4, 6, 4, {{8, 8}, {8, 8}, {-1, -1}, {-1, -1}}, 3.5, 4.5},
        {"clipped to the trace", 8, 20, 2, {{-6, -6}, {1, 1}}, -2.5, 3.5},
    };
    for (const Case& c : cases) {
        ThinnedTrace t;
        ThinTrace(s, c.first, c.last, c.columns, t);
        ASSERT_EQ(t.columns.size(), c.spans.size()) << c.name;
        for (size_t i = 0; i < c.spans.size(); ++i) {
            EXPECT_EQ(t.columns[i].lo, c.spans[i].first) << c.name << " column " << i;
            EXPECT_EQ(t.columns[i].hi, c.spans[i].second) << c.name << " column " << i;
        }
        EXPECT_DOUBLE_EQ(t.level, c.level) << c.name;
        EXPECT_DOUBLE_EQ(t.amplitude, c.amplitude) << c.name;
    }
    ThinnedTrace none;
    ThinTrace(s, 12, 20, 4, none);
    EXPECT_TRUE(none.columns.empty()) << "a window past the trace";
}

// Columns of whole blocks read from the summary give exactly what the
// samples give; shorter columns are read from the samples themselves.
TEST(RecordSectionThinning, TheBlockSummaryGivesTheSameColumns) {
    std::vector<float> s(64 * 200 + 5);
    unsigned state = 12345;
    for (float& v : s) {
        state = state * 1103515245u + 12345u;
        v = float(int(state >> 16) % 2001 - 1000);
    }
    const TraceSummary summary = SummarizeTrace(s);
    EXPECT_EQ(summary.lo.size(), 64u * 200 / 16 + 1);
    struct Case {
        int first, last, columns;
    } cases[] = {{0, 64 * 200, 200}, {16 * 10, 16 * 10 + 64 * 50, 50}, {32, 32 + 128 * 40, 40}, {7, 300, 60}};
    for (const Case& c : cases) {
        ThinnedTrace exact, fast;
        ThinTrace(s, c.first, c.last, c.columns, exact);
        ThinTrace(s, summary, c.first, c.last, c.columns, fast);
        ASSERT_EQ(fast.columns.size(), exact.columns.size());
        for (size_t i = 0; i < exact.columns.size(); ++i) {
            EXPECT_EQ(fast.columns[i].lo, exact.columns[i].lo) << c.first << " column " << i;
            EXPECT_EQ(fast.columns[i].hi, exact.columns[i].hi) << c.first << " column " << i;
        }
        EXPECT_NEAR(fast.level, exact.level, 1e-9);
        EXPECT_DOUBLE_EQ(fast.amplitude, exact.amplitude);
    }
}

class RecordSectionPage : public test::SeismogramTest {
protected:
    // Six channels 100 m apart along X; the tremor between the third and
    // the fourth, so the rows by distance are 2, 3, 1, 4, 0, 5.
    TfmSeismogram* OpenSection() {
        TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 6, .seconds = 4, .onset = 1.0}));
        if (!w) return nullptr;
        w->DataEdit("X")->setText("250");
        w->DataEdit("Y")->setText("50");
        w->DataEdit("Z")->setText("-800");
        w->resize(900, 600);
        w->Pages().setCurrentIndex(kPageSection);
        QCoreApplication::processEvents();
        return w;
    }
    static void ClickRow(TfmSeismogram* w, int row) {
        const QRect r = w->Section().RowRect(row);
        QTest::mouseClick(&w->Section(), Qt::LeftButton, {}, QPoint(w->Section().width() / 2, r.center().y()));
    }
};

TEST_F(RecordSectionPage, RowsByDistanceOrByNumberAndAClickChoosesTheChannel) {
    TfmSeismogram* w = OpenSection();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Pages().tabText(kPageSection), "Wszystkie kanały");
    EXPECT_EQ(w->Section().Rows(), (std::vector<int>{2, 3, 1, 4, 0, 5}));

    ClickRow(w, 2);  // the third row: channel 1
    EXPECT_EQ(w->CurrentChannel(), 1);
    EXPECT_EQ(w->Section().CurrentChannel(), 1);
    EXPECT_TRUE(w->ChannelInfo(0).text().contains("Kanał: 02")) << "the picking page shows it";

    w->SectionOrderBox().setCurrentIndex(1);
    EXPECT_EQ(w->Section().Rows(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    ClickRow(w, 4);
    EXPECT_EQ(w->CurrentChannel(), 4);
    w->SectionOrderBox().setCurrentIndex(0);

    // A double click opens the channel on the picking page.
    const QRect r = w->Section().RowRect(5);
    QTest::mouseDClick(&w->Section(), Qt::LeftButton, {}, QPoint(w->Section().width() / 2, r.center().y()));
    EXPECT_EQ(w->CurrentChannel(), 5);
    EXPECT_EQ(w->Pages().currentIndex(), kPageSeismogram);
}

// The channel keys walk the rows in the order shown; the time keys move the
// section's own window and leave the picking page's alone.
TEST_F(RecordSectionPage, TheKeysMoveThroughTheRowsAndTheSectionsWindow) {
    TfmSeismogram* w = OpenSection();
    ASSERT_NE(w, nullptr);
    ClickRow(w, 0);
    ASSERT_EQ(w->CurrentChannel(), 2);
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int channel;
    } steps[] = {
        {Qt::Key_PageDown, Qt::NoModifier, 3}, {Qt::Key_PageDown, Qt::NoModifier, 1},
        {Qt::Key_Right, Qt::ControlModifier, 4}, {Qt::Key_PageUp, Qt::NoModifier, 1},
        {Qt::Key_End, Qt::NoModifier, 5},     {Qt::Key_PageDown, Qt::NoModifier, 5},
        {Qt::Key_Home, Qt::NoModifier, 2},    {Qt::Key_Left, Qt::ControlModifier, 2},
    };
    for (const Step& s : steps) {
        Press(w, s.key, s.mods);
        EXPECT_EQ(w->CurrentChannel(), s.channel) << QKeySequence(s.key | s.mods).toString().toStdString();
        EXPECT_EQ(w->Section().CurrentChannel(), s.channel);
    }

    const TimeWindow picking = w->Window();
    EXPECT_DOUBLE_EQ(w->Section().Window().VisibleWidth, 4.0) << "the whole record at first";
    Press(w, Qt::Key_Insert);
    EXPECT_NEAR(w->Section().Window().WindowStart, 0.4, 1e-9);
    EXPECT_NEAR(w->Section().Window().VisibleWidth, 3.2, 1e-9);
    Press(w, Qt::Key_F9);
    EXPECT_DOUBLE_EQ(w->Section().Window().VisibleWidth, 4.0) << "F9: the first 5 s of a 4 s record";
    EXPECT_DOUBLE_EQ(w->Window().WindowStart, picking.WindowStart);
    EXPECT_DOUBLE_EQ(w->Window().VisibleWidth, picking.VisibleWidth);
    Press(w, Qt::Key_Up);
    EXPECT_GT(w->Section().Gain(), 1.0) << "taller traces";
    Press(w, Qt::Key_Down);
    Press(w, Qt::Key_Down);
    EXPECT_LT(w->Section().Gain(), 1.0);
}

// The picker's onset stands on every row that has no pick yet, with the
// first motion's direction; once the operator takes it, the row shows the
// pick instead.
TEST_F(RecordSectionPage, SuggestedOnsetsOnTheRowsUntilTaken) {
    TfmSeismogram* w = OpenSection();
    ASSERT_NE(w, nullptr);
    const auto& suggested = w->Section().Suggestions();
    ASSERT_EQ(suggested.size(), 6u);
    for (int c = 0; c < 6; ++c) {
        ASSERT_TRUE(suggested[size_t(c)].has_value()) << c;
        EXPECT_NEAR(suggested[size_t(c)]->time, 1.0, 3.0 / 500) << c;
        EXPECT_EQ(suggested[size_t(c)]->polarity, c % 2 == 0 ? 1 : -1) << c;
    }
    ClickRow(w, 0);  // channel 2
    ASSERT_EQ(w->CurrentChannel(), 2);
    w->Pages().setCurrentIndex(kPageSeismogram);
    ASSERT_TRUE(w->AcceptSuggestion());
    w->Pages().setCurrentIndex(kPageSection);
    EXPECT_FALSE(w->Section().Suggestions()[2].has_value());
    EXPECT_TRUE(w->Section().Suggestions()[3].has_value());
}

// Every trace fills its row whatever its amplitude; a pick stands at its
// time with its polarity, in grey once switched off; a reversed sensor is
// marked after its label.
TEST_F(RecordSectionPage, TracesNormalisedPicksAndReversalsShown) {
    TfmSeismogram* w = OpenSection();
    ASSERT_NE(w, nullptr);
    const QImage before = w->Section().Picture(w->Section().size());
    const int labels = w->Section().ColumnOf(0);
    auto extent = [&](const QImage& image, int row, const QColor& colour) {
        const QRect r = w->Section().RowRect(row);
        int top = r.bottom(), bottom = r.top();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = labels; x < image.width(); ++x)
                if (image.pixelColor(x, y) == colour) top = std::min(top, y), bottom = std::max(bottom, y);
        return bottom - top;
    };
    const QColor trace = ToQColor(fm->Preferences().Values().PlotColor);
    for (int row = 0; row < 6; ++row) {
        // The generated channels differ in amplitude by up to a half; each
        // swing still reaches close to the edges of its row.
        EXPECT_GT(extent(before, row, trace), w->Section().RowRect(row).height() * 0.7) << row;
    }

    // A pick on channel 3 (row 1) at 1.5 s.
    ClickRow(w, 1);
    ASSERT_EQ(w->CurrentChannel(), 3);
    w->Pages().setCurrentIndex(kPageSeismogram);
    w->PlacePick(1.5);
    w->Pages().setCurrentIndex(kPageSection);
    const QImage picked = w->Section().Picture(w->Section().size());
    const QRect row1 = w->Section().RowRect(1);
    const int x = w->Section().ColumnOf(1.5);
    EXPECT_EQ(picked.pixelColor(x, row1.center().y()), QColor(255, 0, 0));
    EXPECT_NE(before.pixelColor(x, row1.center().y()), QColor(255, 0, 0));

    // Reversing channel 3's sensor marks its label in dark red.
    auto reversedMark = [&](const QImage& image) {
        int n = 0;
        for (int y = row1.top(); y <= row1.bottom(); ++y)
            for (int xx = 0; xx < labels; ++xx) {
                // Smooth text: reddish pixels, not only the pure colour.
                const QColor c = image.pixelColor(xx, y);
                n += c.red() > 120 && c.green() < 90 && c.blue() < 90 ? 1 : 0;
            }
        return n;
    };
    EXPECT_EQ(reversedMark(picked), 0);
    w->Image().WriteInteger("Channel004", "Polarity", -1);
    w->RefreshSection();
    EXPECT_GT(reversedMark(w->Section().Picture(w->Section().size())), 3);
}

}  // namespace
