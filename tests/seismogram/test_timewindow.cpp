// The view rules of the seismogram window: moves, zooms, vertical scale,
// the right-button selection and the visible samples; and
// the names of the sample tables in the temporary directory.
#include "app/seismogram/sampletablename.h"
#include "app/seismogram/timewindow.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace dyma;

namespace {

struct MoveCase {
    const char* what;
    MoveMode mode;
    bool relative;
    double start, width, record, span;
    double expectedStart, expectedWidth;
};

TEST(TimeWindow, MovesInEveryMode) {
    const MoveCase cases[] = {
        {"relative fast forward: half the span", kFastForward, true, 1, 2, 60, 2, 2, 2},
        {"relative slow forward: a tenth", kSlowForward, true, 1, 2, 60, 2, 1.2, 2},
        {"absolute fast forward: the step", kFastForward, false, 1, 2, 60, 2, 1.5, 2},
        {"absolute slow forward: a quarter step", kSlowForward, false, 1, 2, 60, 2, 1.125, 2},
        {"forward stops at the end", kFastForward, true, 57.5, 2, 60, 2, 58, 2},
        {"a window wider than the record stays at 0", kSlowForward, true, 0, 5, 3, 5, 0, 5},
        {"relative fast backward", kFastBackward, true, 4, 2, 60, 2, 3, 2},
        {"absolute slow backward", kSlowBackward, false, 4, 2, 60, 2, 3.875, 2},
        {"backward stops at 0", kFastBackward, true, 0.5, 2, 60, 2, 0, 2},
        {"backward to exactly 0", kSlowBackward, false, 0.125, 2, 60, 2, 0, 2},
        {"first 5 seconds", kFirst5Seconds, true, 7, 2, 60, 2, 0, 5},
        {"first 10 seconds", kFirst10Seconds, true, 7, 2, 60, 2, 0, 10},
        {"first 5 seconds of a 3 s record", kFirst5Seconds, true, 1, 1, 3, 1, 0, 3},
        {"first 10 seconds of a 3 s record", kFirst10Seconds, true, 1, 1, 3, 1, 0, 3},
        {"an unknown mode changes nothing", static_cast<MoveMode>(3), true, 1, 2, 60, 2, 1, 2},
    };
    for (const MoveCase& c : cases) {
        TimeWindow w{c.record, c.start, c.width};
        MoveTimeWindow(w, c.mode, MoveSteps{c.relative, 0.5}, c.span);
        EXPECT_DOUBLE_EQ(w.WindowStart, c.expectedStart) << c.what;
        EXPECT_DOUBLE_EQ(w.VisibleWidth, c.expectedWidth) << c.what;
    }
}

TEST(TimeWindow, ZoomsKeepTheWindowInTheRecord) {
    TimeWindow w{10, 9.9, 0.1};
    ZoomIn(w, {});
    EXPECT_DOUBLE_EQ(w.WindowStart, 9.9);
    EXPECT_NEAR(w.VisibleWidth, 0.08, 1e-12);

    w = {10, 1, 5};
    ZoomIn(w, {});
    EXPECT_DOUBLE_EQ(w.WindowStart, 1.5);
    EXPECT_DOUBLE_EQ(w.VisibleWidth, 4);

    w = {10, 0.2, 5};
    ZoomOut(w);
    EXPECT_DOUBLE_EQ(w.WindowStart, 0);
    EXPECT_DOUBLE_EQ(w.VisibleWidth, 6);
    w = {10, 8, 2};
    ZoomOut(w);
    EXPECT_DOUBLE_EQ(w.WindowStart, 7.8);
    EXPECT_NEAR(w.VisibleWidth, 2.2, 1e-12);

    // A ready selection becomes the window, ends in either order, clipped
    // to the record; one without width there zooms as if there were none.
    TimeSelection s;
    s.RightClick(6);
    s.RightClick(4);
    w = {10, 0, 10};
    ZoomIn(w, s);
    EXPECT_DOUBLE_EQ(w.WindowStart, 4);
    EXPECT_DOUBLE_EQ(w.VisibleWidth, 2);
    s = {};
    s.RightClick(12);
    s.RightClick(14);
    w = {10, 0, 10};
    ZoomIn(w, s);
    EXPECT_DOUBLE_EQ(w.WindowStart, 1);
    EXPECT_DOUBLE_EQ(w.VisibleWidth, 8);
}

TEST(TimeWindow, RightClicksAndVerticalScale) {
    TimeSelection s;
    s.RightClick(1.5);
    EXPECT_FALSE(s.Ready);
    s.RightClick(2.5);
    EXPECT_TRUE(s.Ready);
    s.RightClick(3.5);  // a new selection starts at the third click
    EXPECT_EQ(s.Clicks, 1);
    EXPECT_DOUBLE_EQ(s.Start, 3.5);
    s.RightClick(4.5);
    EXPECT_DOUBLE_EQ(s.End, 4.5);

    double scale = 1;
    for (int i = 0; i < 10; ++i) scale = ScaleVertical(scale, -0.5);
    EXPECT_DOUBLE_EQ(scale, 0.001);
    for (int i = 0; i < 30; ++i) scale = ScaleVertical(scale, 0.5);
    EXPECT_DOUBLE_EQ(scale, 20);
    EXPECT_DOUBLE_EQ(ScaleVertical(7, 0), 1);
    EXPECT_DOUBLE_EQ(ScaleVertical(1, -0.1), 0.9);
}

TEST(TimeWindow, VisibleSamples) {
    const SampleRange r = VisibleSamples({60, 1.2, 2}, 500);
    EXPECT_EQ(r.first, 600);
    EXPECT_EQ(r.last, 1600);
}

TEST(SampleTableName, SignalNamePlusTmpAndUniqueWhileTaken) {
    test::TempDir temp;
    const std::string dir = temp.Path().string();
    auto first = std::make_unique<SampleTableName>(dir, "/data/a/event.mbj");
    EXPECT_EQ(first->Path(), temp.File("event.mbj.tmp"));
    {
        // Another folder's signal of the same name, while the first is open.
        SampleTableName second(dir + "/", "/data/b/event.mbj");
        EXPECT_EQ(second.Path(), temp.File("event.mbj.2.tmp"));
        EXPECT_TRUE(SampleTableName::Taken(second.Path()));
    }
    EXPECT_FALSE(SampleTableName::Taken(temp.File("event.mbj.2.tmp")));
    first.reset();
    // A file left behind is not overwritten.
    temp.Write("event.mbj.tmp", "left over");
    SampleTableName third(dir, "event.mbj");
    EXPECT_EQ(third.Path(), temp.File("event.mbj.2.tmp"));
}

}  // namespace
