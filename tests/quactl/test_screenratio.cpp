// The components on a screen of twice the usual density: the application
// starts with QT_SCALE_FACTOR=2 (as a user would set it, or as a
// high-density screen reports itself), and the components follow the
// screen without being told.
#include "quactl/quacolorbar.h"
#include "quactl/quagraph.h"
#include "quactl/quaseries.h"

#include <gtest/gtest.h>

#include <QApplication>

using namespace quactl;

TEST(ScreenRatio, TheGraphPaintsAtTheScreensRatioAndShowsItPixelForPixel) {
    TQuaGraph g;
    g.resize(300, 200);
    g.SetTitle("Tytuł");
    auto s = std::make_unique<TQuaFastLineSeries>("s", 3, clNavy);
    for (auto [x, y] : {std::pair{0.0, 0.0}, {1.0, 3.0}, {2.0, 1.0}}) s->AddPoint("", clNavy, x, y, 0);
    g.AddSeries(std::move(s));
    ASSERT_EQ(g.devicePixelRatioF(), 2) << "the screen of this test";
    EXPECT_EQ(g.PixelRatio(), 2);
    const QImage shown = g.grab().toImage();
    EXPECT_EQ(g.ControlImage().size(), QSize(600, 400));
    ASSERT_EQ(shown.size(), QSize(600, 400));
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32), g.ControlImage().convertToFormat(QImage::Format_RGB32));
    // A ratio set by hand wins; 0 follows the screen again.
    g.SetPixelRatio(1);
    g.Paint();
    EXPECT_EQ(g.ControlImage().size(), QSize(300, 200));
    g.SetPixelRatio(0);
    g.Paint();
    EXPECT_EQ(g.ControlImage().size(), QSize(600, 400));
}

TEST(ScreenRatio, TheColourBarShowsItsGradientInDevicePixels) {
    TQuaColorBar bar;
    bar.resize(100, 10);
    const QImage shown = bar.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(200, 20));
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32), bar.Picture(2).convertToFormat(QImage::Format_RGB32));
}

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
