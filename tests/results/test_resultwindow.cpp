// The focal-sphere picture (pixel checks at the circle, the plane traces, the
// centre cross and the station symbols) and the result window's layout,
// labels, help key and ownership of its record.
#include "app/results/focalsphererenderer.h"
#include "app/results/formresult2.h"
#include "app/results/solutionpanel.h"
#include "app/widgets/helpsystem.h"
#include "support/guiapp.h"

#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include <cmath>

using namespace dyma;
using namespace dyma::gui;

namespace {

// Two vertical planes along the diagonals, the axes between them.
SolutionRecord Diagonals() {
    SolutionRecord r;
    r.Exists = true;
    r.SA = 45, r.DA = 90, r.SB = 135, r.RB = 90;
    r.PTrend = 0, r.PPlunge = 0;   // top of the circle
    r.TTrend = 90, r.TPlunge = 0;  // right of the circle
    return r;
}

// A station whose ray leaves at 45 degrees in the direction (cos Al, sin Al)
// given exactly, so that the symbol lands on whole pixels.
SolutionStation StationAt(double sinAl, double cosAl, double sign, const char* channel) {
    SolutionStation s;
    s.Channel = channel;
    s.Sign = sign;
    s.SinBet = std::sqrt(0.5);
    s.CosBet = -std::sqrt(0.5);
    s.SinAl = sinAl;
    s.CosAl = cosAl;
    s.Type = "C";
    return s;
}

QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// Lines land within a pixel of where the arithmetic puts them.
bool BlackNear(const QImage& image, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.pixelColor(x + dx, y + dy) == QColor(Qt::black)) return true;
    return false;
}

TEST(FocalSphere, CirclePlanesCrossAndAxisLabels) {
    SolutionRecord r = Diagonals();
    const QImage image = RenderFocalSphere(r, 400, 400);
    ASSERT_EQ(image.size(), QSize(400, 400));
    EXPECT_DOUBLE_EQ(r.PlotRadiusX, 180.0) << "the frame is set by the rendering";
    // Background and circle (radius 180 about (200, 200)).
    EXPECT_EQ(At(image, 5, 5), QColor(Qt::white));
    EXPECT_TRUE(BlackNear(image, 380, 200));
    EXPECT_TRUE(BlackNear(image, 200, 380));
    EXPECT_TRUE(BlackNear(image, 20, 200));
    EXPECT_TRUE(BlackNear(image, 200, 20));
    EXPECT_TRUE(BlackNear(image, int(200 + 180 * std::sqrt(0.5)), int(200 - 180 * std::sqrt(0.5))));
    // Plane A, strike 45 and vertical: the diagonal from upper right to
    // lower left; plane B the other diagonal.
    const int d = int(200 + 0.5 * 180 * std::sqrt(0.5));  // halfway out along the diagonal
    EXPECT_TRUE(BlackNear(image, d, 400 - d));
    EXPECT_TRUE(BlackNear(image, 400 - d, d));
    EXPECT_TRUE(BlackNear(image, d, d));
    EXPECT_TRUE(BlackNear(image, 400 - d, 400 - d));
    EXPECT_EQ(At(image, 200, 250), QColor(Qt::white)) << "between the planes";
    // The grey centre cross, 0.1 of the radius long.
    EXPECT_EQ(At(image, 210, 200), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(At(image, 200, 190), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(At(image, 200, 225), QColor(Qt::white));
    // T at the right edge, P at the top: green letters with their top-left
    // corner at the axis point.
    auto greenIn = [&](QRect box) {
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                if (At(image, x, y) == QColor(0, 0x80, 0)) ++n;
        return n;
    };
    EXPECT_GT(greenIn(QRect(380, 200, 20, 30)), 10);
    EXPECT_GT(greenIn(QRect(200, 20, 20, 30)), 10);
    EXPECT_EQ(greenIn(QRect(0, 0, 400, 15)), 0);
}

// On a screen of twice the density the sphere is drawn with twice the
// pixels each way, not scaled up: the circle is round at the finer pixels and
// its line keeps its weight (two device pixels).
TEST(FocalSphere, DrawnAtTheScreensDensity) {
    SolutionRecord r = Diagonals();
    const QImage one = RenderFocalSphereForScreen(r, QSize(200, 200), 1);
    EXPECT_EQ(one, RenderFocalSphere(r, 200, 200)) << "an ordinary screen gets the picture as before";
    const QImage two = RenderFocalSphereForScreen(r, QSize(200, 200), 2);
    ASSERT_EQ(two.size(), QSize(400, 400));
    EXPECT_EQ(two.devicePixelRatio(), 2);
    EXPECT_EQ(two.deviceIndependentSize(), QSizeF(200, 200));
    // The circle of radius 0.9 x 200 device pixels about (200, 200).
    EXPECT_TRUE(BlackNear(two, 380, 200));
    EXPECT_TRUE(BlackNear(two, 200, 20));
    EXPECT_TRUE(BlackNear(two, int(200 + 180 * std::sqrt(0.5)), int(200 - 180 * std::sqrt(0.5))));
    // The lines keep their weight: twice as long and twice as wide, so about
    // four times the black pixels (one-pixel lines would give two times).
    auto black = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += At(image, x, y) == QColor(Qt::black) ? 1 : 0;
        return n;
    };
    const double weight = double(black(two)) / black(one);
    EXPECT_GT(weight, 3.2);
    EXPECT_LT(weight, 5.5);
    // Finer than a scaled-up picture: along the circle, device pixel pairs
    // of one control pixel differ.
    int fine = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (two.pixel(2 * x, 2 * y) != two.pixel(2 * x + 1, 2 * y)) ++fine;
    EXPECT_GT(fine, 200);
}

TEST(FocalSphere, StationSymbolsInTheirColoursWithCentredLabels) {
    SolutionRecord r = Diagonals();
    r.PlusColor = 0x0000FF;   // red
    r.MinusColor = 0xFF0000;  // blue
    r.stations[0] = StationAt(1, 0, 1, "12Z");   // Al 90: (0.541, 0), right
    r.stations[1] = StationAt(0, -1, -1, "7N");  // Al 180: (0, -0.541), bottom
    r.stations[2] = StationAt(0, 1, 0, "3E");    // Al 0: (0, 0.541), Sign 0
    r.StationCount = 3;
    const QImage image = RenderFocalSphere(r, 400, 400);
    const int off = int(180 * std::sqrt(2.0) * std::sin(M_PI / 8));  // 97 pixels from the centre
    const QColor red(255, 0, 0), blue(0, 0, 255);
    // "+": four arms of 0.05 radius (9 pixels).
    EXPECT_EQ(At(image, 200 + off + 5, 200), red);
    EXPECT_EQ(At(image, 200 + off - 5, 200), red);
    EXPECT_EQ(At(image, 200 + off, 195), red);
    EXPECT_EQ(At(image, 200 + off, 205), red);
    // "-": only the horizontal arms.
    EXPECT_EQ(At(image, 205, 200 + off), blue);
    EXPECT_EQ(At(image, 195, 200 + off), blue);
    EXPECT_NE(At(image, 200, 200 + off - 5), blue);
    // Sign 0: neither symbol nor label.
    for (int y = 200 - off - 10; y < 200 - off + 25; ++y)
        for (int x = 180; x < 220; ++x) ASSERT_EQ(At(image, x, y), QColor(Qt::white)) << x << "," << y;
    // The label stands below the "+", centred on it.
    int left = 400, right = -1;
    for (int y = 210; y < 230; ++y)
        for (int x = 200 + off - 30; x < 200 + off + 30; ++x)
            if (qGray(image.pixel(x, y)) < 100) left = std::min(left, x), right = std::max(right, x);
    ASSERT_GT(right, left) << "label drawn";
    EXPECT_NEAR((left + right) / 2.0, 200 + off, 3);
    EXPECT_GE(left, 200 + off - 20);
}

TEST(FocalSphere, RaysBeyondTheHorizonAreDrawnInTheSecondPassAtTheirAntipode) {
    SolutionRecord r = Diagonals();
    r.PlusColor = 0x0000FF;
    r.MinusColor = 0xFF0000;
    // Both at the same place: the one going the other way (drawn second)
    // covers the first.
    r.stations[0] = StationAt(-1, 0, 1, "A");  // Al 270 going the other way: drawn at Al 90
    r.stations[0].CosBet = std::sqrt(0.5);
    r.stations[1] = StationAt(1, 0, -1, "B");
    r.StationCount = 2;
    const QImage image = RenderFocalSphere(r, 400, 400);
    const int off = int(180 * std::sqrt(2.0) * std::sin(M_PI / 8));
    EXPECT_EQ(At(image, 200 + off + 5, 200), QColor(255, 0, 0)) << "the + of the second pass is on top";
    EXPECT_EQ(At(image, 200 + off, 195), QColor(255, 0, 0));
}

class ResultWindowTest : public test::GuiTest {};

std::unique_ptr<SolutionRecord> Solution() {
    auto r = std::make_unique<SolutionRecord>(Diagonals());
    r->X = 1234.5;
    r->Y = -20.25;
    r->Z = -700;
    r->SA = 123.44, r->SAB = 2;
    r->DA = 80, r->DAB = 1.25;
    r->RA = -90, r->RAB = 0;
    r->SB = 303.4, r->SBB = 3;
    r->RB = 10, r->RBB = 4;  // dip of plane B
    r->DB = -95, r->DBB = 5; // rake of plane B
    r->PTrend = 213.4, r->PPlunge = 55;
    return r;
}

TEST_F(ResultWindowTest, ValueLabels) {
    TfmResult2 window;
    window.SetSolution(Solution(), ',');
    auto text = [&](const char* name) { return window.Panel1().Value(name)->text(); };
    EXPECT_EQ(text("X"), "1234,500");
    EXPECT_EQ(text("Y"), "-20,250");
    EXPECT_EQ(text("SA"), "123,4 ± 2,0 °");
    EXPECT_EQ(text("DA"), "80,0 ± 1,3 °");
    EXPECT_EQ(text("SB"), "303,4 ± 3,0 °");
    EXPECT_EQ(text("DB"), "10,0 ± 4,0 °") << "the δ row of plane B shows RB";
    EXPECT_EQ(text("RB"), "-95,0 ± 5,0 °") << "the λ row shows DB";
    EXPECT_EQ(text("PTrend"), "213,4 °");
    EXPECT_EQ(window.Panel1().findChild<QLabel*>("Label8")->text(), "φ");
    EXPECT_EQ(window.Panel1().findChild<QLabel*>("Label1")->text(), "Położenie wstrząsu");
    EXPECT_EQ(window.Panel1().width(), 277);

    TSolutionPanel page(341, TSolutionPanel::CoordinateNames::XXYYZZ);
    page.Fill(*window.Record(), '.');
    EXPECT_EQ(page.Value("ZZ")->text(), "-700.000");
    EXPECT_EQ(page.Value("X"), nullptr);
}

TEST_F(ResultWindowTest, SquareCentredSphereAndMinimumSize) {
    QMdiArea area;
    area.resize(1000, 800);
    area.show();
    auto* window = new TfmResult2;  // the sub-window owns it
    window->SetSolution(Solution(), '.');
    QMdiSubWindow* sub = area.addSubWindow(window);
    sub->show();
    // A client area of 686 x 418 leaves the sphere panel 409 x 418.
    window->resize(686, 418);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->LeftPanel().size(), QSize(409, 418));
    EXPECT_EQ(window->LeftPanel().Image()->geometry(), QRect(0, 4, 409, 409));
    // The paint box draws the sphere.
    const QImage shown = window->LeftPanel().Image()->grab().toImage();
    EXPECT_EQ(shown.size(), QSize(409, 409));
    EXPECT_TRUE(BlackNear(shown, int(204.5 + 0.9 * 204.5), 204)) << "the circle";
    sub->resize(400, 200);
    EXPECT_EQ(sub->size(), QSize(600, 340));
}

TEST_F(ResultWindowTest, F1OpensTheSolutionHelpAndClosingFreesTheRecord) {
    ApplicationHelp().SetHelpDirectory(QDir(DYMA_PROGRAM_DIR).filePath("help"));
    TfmResult2 window;
    window.SetSolution(Solution(), '.');
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(ApplicationHelp().LastContext(), 4050);
    EXPECT_TRUE(recorded.Silent());
    window.close();
    EXPECT_EQ(window.Record(), nullptr);
    EXPECT_EQ(window.LeftPanel().Record(), nullptr);
}

}  // namespace
