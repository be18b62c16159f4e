// What the sphere shows beyond the planes (the shaded compressional
// quadrants, the acceptable set's axes, the ringed misfits, the quality
// lines) and the picture written as PNG, SVG and PDF.
#include "app/results/focalgeometry.h"
#include "app/results/focalsphererenderer.h"
#include "app/results/formresult2.h"
#include "app/results/solutionpanel.h"
#include "app/results/sphereimage.h"
#include "common/textfile.h"
#include "support/guiapp.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

using namespace dyma;
using namespace dyma::gui;

namespace {

constexpr int kSize = 400;

// A solution of plane A with plane B its auxiliary plane and the axes of
// the double couple, as the solver writes them.
SolutionRecord Mechanism(double strike, double dip, double rake) {
    SolutionRecord r;
    r.Exists = true;
    const focal::Plane a{strike, dip, rake};
    const focal::Plane b = focal::AuxiliaryPlane(a);
    r.SA = a.strike, r.DA = a.dip, r.RA = a.rake;
    r.SB = b.strike, r.RB = b.dip, r.DB = b.rake;
    focal::Axis p, t, n;
    focal::PrincipalAxes(a, p, t, n);
    r.PTrend = p.trend, r.PPlunge = p.plunge, r.TTrend = t.trend, r.TPlunge = t.plunge;
    return r;
}

// The unit-disc point under the middle of a pixel of a 400 x 400 picture.
focal::DiscPoint DiscUnder(int x, int y) {
    const double radius = 0.9 * kSize / 2, centre = kSize / 2.0;
    return {(x + 0.5 - centre) / radius, (centre - y - 0.5) / radius};
}

double Amplitude(const SolutionRecord& r, const focal::DiscPoint& d) {
    const focal::Plane a{r.SA, r.DA, r.RA};
    return focal::PAmplitude(focal::FaultNormal(a), focal::SlipVector(a), DiscRay(d));
}

// A station whose ray is the one under disc point `d` (lower hemisphere).
SolutionStation StationUnder(const focal::DiscPoint& d, double sign, const char* channel) {
    const focal::Vec3 ray = DiscRay(d);
    SolutionStation s;
    s.Channel = channel;
    s.Sign = sign;
    s.Weight = 1;
    s.Type = "C";
    const double h = std::hypot(ray.x, ray.y);
    s.SinBet = h;
    s.CosBet = -ray.z;
    s.SinAl = ray.y / h;
    s.CosAl = ray.x / h;
    s.Angle = focal::Deg(std::acos(ray.z));
    return s;
}

QPoint PixelOf(const SolutionRecord& r, const focal::DiscPoint& d) {
    const PixelPoint p = DiscToPixel(r, d);
    return {p.x, p.y};
}

int CountColour(const QImage& image, const QColor& colour, QRect box = {}) {
    if (box.isNull()) box = image.rect();
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (image.rect().contains(x, y) && image.pixelColor(x, y) == colour) ++n;
    return n;
}

// Dark pixels of text (drawn smooth, so mostly not pure black).
int Ink(const QImage& image, const QRect& box) {
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (qGray(image.pixel(x, y)) < 110) ++n;
    return n;
}

// Shading on: every pixel well inside a quadrant is grey exactly where
// plane A's double couple gives compression; shading off, none is. Pixels
// near the planes (small amplitude), at the rim and under the centre cross
// and the axis letters are left out.
TEST(SpherePicture, ShadingCoversExactlyTheCompressionalQuadrants) {
    struct Case {
        const char* name;
        double strike, dip, rake;
    } cases[] = {
        {"strike-slip", 30, 90, 0},    {"thrust", 120, 40, 90}, {"normal", 300, 55, -90},
        {"oblique", 25, 75, 20},       {"shallow", 200, 12, 60}, {"reverse oblique", 80, 65, 130},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SolutionRecord r = Mechanism(c.strike, c.dip, c.rake);
        SphereStyle shaded;
        shaded.shadeCompression = true;
        const QImage on = RenderFocalSphere(r, kSize, kSize, 1, shaded);
        const QImage off = RenderFocalSphere(r, kSize, kSize);
        int compression = 0, dilatation = 0;
        for (int y = 0; y < kSize; y += 4) {
            for (int x = 0; x < kSize; x += 4) {
                const focal::DiscPoint d = DiscUnder(x, y);
                const double rim = std::hypot(d.x, d.y);
                if (rim > 0.95 || rim < 0.15) continue;
                const double amplitude = Amplitude(r, d);
                if (std::fabs(amplitude) < 0.12) continue;
                const QColor shown = on.pixelColor(x, y);
                if (shown != QColor(Qt::white) && shown != kCompressionShade) continue;  // a letter
                ASSERT_EQ(shown == kCompressionShade, amplitude > 0) << x << "," << y;
                ASSERT_EQ(off.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
                ++(amplitude > 0 ? compression : dilatation);
            }
        }
        EXPECT_GT(compression, 150);
        EXPECT_GT(dilatation, 150);
        // Outside the circle nothing is shaded.
        EXPECT_EQ(CountColour(on, kCompressionShade, QRect(0, 0, 15, 15)), 0);
    }
}

TEST(SpherePicture, PlanesThatAreNoDoubleCoupleAreNotShaded) {
    SolutionRecord r = Mechanism(30, 60, 45);
    r.SB = r.SA, r.RB = r.DA;  // plane B drawn over plane A
    EXPECT_EQ(CompressionBehindBothPlanes(r), 0);
    SphereStyle shaded;
    shaded.shadeCompression = true;
    EXPECT_EQ(CountColour(RenderFocalSphere(r, kSize, kSize, 1, shaded), kCompressionShade), 0);
}

// The stations that plane A's double couple does not explain: each case a
// station placed in a quadrant with a sign; a ring goes round exactly the
// misfits, and the count stands in the corner.
TEST(SpherePicture, MisfittingStationsAreRingedAndCounted) {
    SolutionRecord r = Mechanism(30, 90, 0);  // quadrants about the N30E and N120E lines
    struct Placed {
        focal::DiscPoint at;
        double sign, weight;
        bool misfit;
    } placed[] = {
        {{0.0, 0.5}, 0, 1, false},    // no sign: not drawn, no misfit
        {{0.5, 0.0}, 0, 0, false},
        {{-0.35, 0.35}, 0, 1, false},
        {{0.35, -0.35}, 0, 1, false},
        {{0.0, -0.6}, 0, 1, false},
    };
    // Signs from the amplitude: the first two agree, the next two are
    // reversed, the last agrees but its weight is 0 (the solver did not use
    // it): only the reversed two with a weight are misfits.
    const double agree[] = {1, 1, -1, -1, 1};
    placed[1].weight = 1;
    placed[4].weight = 0;
    for (int k = 0; k < 5; ++k) {
        const double a = Amplitude(r, placed[k].at);
        ASSERT_GT(std::fabs(a), 0.2) << k;
        placed[k].sign = (a > 0 ? 1 : -1) * agree[k];
        placed[k].misfit = agree[k] < 0 && placed[k].weight != 0;
        r.stations[size_t(k)] = StationUnder(placed[k].at, placed[k].sign, "S");
        r.stations[size_t(k)].Weight = placed[k].weight;
    }
    r.StationCount = 5;
    const SphereAssessment assessment = AssessSolution(r);
    EXPECT_EQ(assessment.misfitRows, (std::vector<int>{2, 3}));
    EXPECT_EQ(assessment.misfits, 2);

    SphereStyle style;
    style.assessment = assessment;
    const QImage image = RenderFocalSphere(r, kSize, kSize, 1, style);
    SetDrawingFrame(r, kSize, kSize);
    for (int k = 0; k < 5; ++k) {
        const QPoint p = PixelOf(r, placed[k].at);
        const int rings = CountColour(image, kMisfitRingColour, QRect(p - QPoint(20, 20), QSize(41, 41)));
        if (placed[k].misfit)
            EXPECT_GT(rings, 40) << k;
        else
            EXPECT_EQ(rings, 0) << k;
    }
    // "Niezgodne: 2" in black in the top-left corner; without misfits and
    // without the solver's quality the corner stays white.
    EXPECT_GT(Ink(image, QRect(0, 0, 100, 36)), 20);
    SolutionRecord clean = Mechanism(30, 90, 0);
    style.assessment = AssessSolution(clean);
    EXPECT_EQ(Ink(RenderFocalSphere(clean, kSize, kSize, 1, style), QRect(0, 0, 100, 36)), 0);
}

// The acceptable set's axes are dots at their own projections, P and T in
// their colours; the quality class is written with the misfit count.
TEST(SpherePicture, TheCloudIsDrawnAtTheAcceptableSetsAxes) {
    SolutionRecord r = Mechanism(120, 40, 90);
    SphereAssessment a;
    a.pAxes = {{10, 20}, {25, 35}, {300, 5}};
    a.tAxes = {{200, 70}, {150, 60}};
    a.quality = "B";
    a.misfits = 0;
    SphereStyle style;
    style.assessment = a;
    const QImage image = RenderFocalSphere(r, kSize, kSize, 1, style);
    SetDrawingFrame(r, kSize, kSize);
    auto dotAt = [&](const focal::Axis& axis, const QColor& colour) {
        const QPoint p = PixelOf(r, focal::AxisPoint(axis.trend, axis.plunge));
        return CountColour(image, colour, QRect(p - QPoint(2, 2), QSize(5, 5)));
    };
    for (const focal::Axis& axis : a.pAxes) {
        EXPECT_GT(dotAt(axis, kPCloudColour), 3) << axis.trend;
        EXPECT_EQ(dotAt(axis, kTCloudColour), 0) << axis.trend;
    }
    for (const focal::Axis& axis : a.tAxes) EXPECT_GT(dotAt(axis, kTCloudColour), 3) << axis.trend;
    // Two lines of text in the corner: quality and misfits.
    int rowsWithInk = 0;
    for (int y = 0; y < 60; ++y)
        if (Ink(image, QRect(0, y, 90, 1)) > 0) ++rowsWithInk;
    EXPECT_GT(rowsWithInk, 14);
    // Without an assessment nothing of it is drawn.
    const QImage plain = RenderFocalSphere(r, kSize, kSize);
    EXPECT_EQ(CountColour(plain, kPCloudColour) + CountColour(plain, kTCloudColour), 0);
}

// The picture's cloud is the record's acceptable set: every member's P and
// T axis, and the solver's quality letter; a record without the solver's
// quality file (an older result) gets neither.
TEST(SpherePicture, TheCloudIsTheRecordsAcceptableSet) {
    SolutionRecord r = Mechanism(80, 65, 130);
    SolutionQuality q;
    q.quality = 'C';
    q.axes = {{12, 30, 190, 55}, {20, 28, 200, 50}, {355, 35, 170, 48}};
    r.AcceptableSet = q;
    const SphereAssessment a = AssessSolution(r);
    EXPECT_EQ(a.quality, "C");
    ASSERT_EQ(a.pAxes.size(), q.axes.size());
    ASSERT_EQ(a.tAxes.size(), q.axes.size());
    for (size_t k = 0; k < q.axes.size(); ++k) {
        EXPECT_EQ(a.pAxes[k].trend, q.axes[k].pTrend);
        EXPECT_EQ(a.pAxes[k].plunge, q.axes[k].pPlunge);
        EXPECT_EQ(a.tAxes[k].trend, q.axes[k].tTrend);
        EXPECT_EQ(a.tAxes[k].plunge, q.axes[k].tPlunge);
    }
    const QImage image = RenderFocalSphere(r, kSize, kSize, 1, SphereStyleFor(r));
    SetDrawingFrame(r, kSize, kSize);
    for (const AcceptableAxes& m : q.axes) {
        const QPoint p = PixelOf(r, focal::AxisPoint(m.pTrend, m.pPlunge));
        const QPoint t = PixelOf(r, focal::AxisPoint(m.tTrend, m.tPlunge));
        EXPECT_GT(CountColour(image, kPCloudColour, QRect(p - QPoint(2, 2), QSize(5, 5))), 3) << m.pTrend;
        EXPECT_GT(CountColour(image, kTCloudColour, QRect(t - QPoint(2, 2), QSize(5, 5))), 3) << m.tTrend;
    }
    r.AcceptableSet.reset();
    const SphereAssessment older = AssessSolution(r);
    EXPECT_TRUE(older.quality.empty());
    EXPECT_TRUE(older.pAxes.empty() && older.tAxes.empty());
}

// ---- the image files

SolutionRecord WithStations() {
    SolutionRecord r = Mechanism(25, 75, 20);
    r.PlusColor = 0x0000FF;   // red
    r.MinusColor = 0xFF0000;  // blue
    const focal::DiscPoint at[] = {{0.4, 0.3}, {-0.5, 0.2}, {0.1, -0.6}, {-0.3, -0.4}};
    for (int k = 0; k < 4; ++k) {
        const double a = Amplitude(r, at[k]);
        r.stations[size_t(k)] = StationUnder(at[k], a > 0 ? 1 : -1, k % 2 ? "7N" : "12Z");
    }
    r.StationCount = 4;
    return r;
}

TEST(SphereImage, FormatFromTheExtension) {
    struct Case {
        const char* name;
        std::optional<SphereImageFormat> format;
    } cases[] = {
        {"a.png", SphereImageFormat::Png}, {"b.PNG", SphereImageFormat::Png}, {"c.svg", SphereImageFormat::Svg},
        {"d.Pdf", SphereImageFormat::Pdf}, {"e.jpg", std::nullopt},         {"png", std::nullopt},
        {"f.png.txt", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(SphereImageFormatOf(c.name), c.format) << c.name;
}

class SphereImageTest : public test::GuiTest {};

TEST_F(SphereImageTest, PngHasTheStationsInTheirColours) {
    SolutionRecord r = WithStations();
    const QByteArray bytes = SphereImageBytes(r, SphereImageFormat::Png, 300, {});
    QImage image;
    ASSERT_TRUE(image.loadFromData(bytes, "PNG"));
    ASSERT_EQ(image.size(), QSize(300, 300));
    SetDrawingFrame(r, 300, 300);
    for (int k = 0; k < r.StationCount; ++k) {
        const SolutionStation& s = r.stations[size_t(k)];
        focal::DiscPoint d;
        ASSERT_TRUE(StationDiscPoint(s, d));
        const QPoint p = PixelOf(r, d);
        const QColor colour = s.Sign > 0 ? QColor(255, 0, 0) : QColor(0, 0, 255);
        // The horizontal arm of the symbol, either sign.
        EXPECT_EQ(image.pixelColor(p + QPoint(4, 0)), colour) << k;
        EXPECT_EQ(image.pixelColor(p - QPoint(4, 0)), colour) << k;
    }
}

// The SVG holds the picture as lines: the circle, both plane traces through
// their points, and one stroke per station arm, in the stations' colours.
TEST_F(SphereImageTest, SvgHoldsThePlanesAndStationsAsLines) {
    SolutionRecord r = WithStations();
    const QByteArray bytes = SphereImageBytes(r, SphereImageFormat::Svg, 400, {});
    // Every polyline's points.
    std::vector<std::vector<QPointF>> polylines;
    QXmlStreamReader xml(bytes);
    QString viewBox;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("svg")) viewBox = xml.attributes().value("viewBox").toString();
        if (xml.name() != QLatin1String("polyline")) continue;
        std::vector<QPointF> points;
        const QStringList pairs = xml.attributes().value("points").toString().split(' ', Qt::SkipEmptyParts);
        for (const QString& pair : pairs) {
            const QStringList xy = pair.split(',');
            if (xy.size() == 2) points.push_back({xy[0].toDouble(), xy[1].toDouble()});
        }
        polylines.push_back(points);
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(viewBox, "0 0 400 400");
    SetDrawingFrame(r, 400, 400);
    auto traced = [&](const PlaneTracePoints& trace) {
        for (const auto& line : polylines) {
            if (line.size() != trace.size() + 1) continue;
            bool all = true;
            for (size_t j = 0; j < trace.size() && all; ++j) {
                const QPoint p = PixelOf(r, trace[j]);
                all = std::fabs(line[j + 1].x() - p.x()) < 0.01 && std::fabs(line[j + 1].y() - p.y()) < 0.01;
            }
            if (all) return true;
        }
        return false;
    };
    EXPECT_TRUE(traced(PlaneATrace(r))) << "plane A";
    EXPECT_TRUE(traced(PlaneBTrace(r))) << "plane B";
    EXPECT_TRUE(std::any_of(polylines.begin(), polylines.end(), [](const auto& l) { return l.size() == 722; }))
        << "the circle";

    // The station arms: strokes from the station's pixel, in red or blue.
    const QString text = QString::fromUtf8(bytes);
    for (int k = 0; k < r.StationCount; ++k) {
        const SolutionStation& s = r.stations[size_t(k)];
        focal::DiscPoint d;
        ASSERT_TRUE(StationDiscPoint(s, d));
        const QPoint p = PixelOf(r, d);
        const QRegularExpression stroke(QStringLiteral("<polyline[^>]*points=\"%1,%2 ").arg(p.x()).arg(p.y()));
        EXPECT_EQ(text.count(stroke), s.Sign > 0 ? 4 : 2) << k;
    }
    EXPECT_TRUE(text.contains("#ff0000") && text.contains("#0000ff")) << "the stations' colours";
    EXPECT_TRUE(text.contains(">12Z<") && text.contains(">7N<")) << "the labels as text";
}

TEST_F(SphereImageTest, PdfIsOnePageOfThePicturesSize) {
    SolutionRecord r = WithStations();
    const QByteArray bytes = SphereImageBytes(r, SphereImageFormat::Pdf, 500, {});
    ASSERT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 1) << "one page";
    const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 500(\\.0*)? 500(\\.0*)?\\]"));
    EXPECT_TRUE(QString::fromLatin1(bytes).contains(box)) << "a page of 500 x 500 points";
}

// Written through a temporary file: a folder that is not there leaves
// nothing behind and an existing file is replaced whole.
TEST_F(SphereImageTest, WrittenWholeOrNotAtAll) {
    SolutionRecord r = WithStations();
    const std::string missing = work.File("no/such/folder/kula.png");
    EXPECT_THROW(WriteSphereImage(r, missing, SphereImageFormat::Png, 100, {}), FileError);
    EXPECT_FALSE(std::filesystem::exists(missing));

    const std::string path = work.File("kula.svg");
    { std::ofstream(path) << "stary plik"; }
    WriteSphereImage(r, path, SphereImageFormat::Svg, 100, {});
    const std::string written = ReadFileBytes(path);
    EXPECT_EQ(written.rfind("<?xml", 0), 0u);
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(work.Path())) ++files;
    EXPECT_EQ(files, 1) << "no temporary file left";
}

// The result window's panel: the switch shades every view and is kept in
// the settings; the button saves the picture through the save dialog as the
// format the name asks for.
TEST_F(SphereImageTest, ResultWindowShadesAndSavesThePicture) {
    TfmResult2 window;
    window.SetSolution(std::make_unique<SolutionRecord>(WithStations()), '.');
    window.resize(686, 418);
    window.show();
    QCoreApplication::processEvents();
    auto shaded = [&] { return CountColour(window.LeftPanel().Image()->grab().toImage(), kCompressionShade); };
    // (Smooth text has a few pixels of that grey too.)
    EXPECT_LT(shaded(), 40);
    QCheckBox& box = window.Panel1().ShadingBox();
    EXPECT_EQ(box.text(), "Cieniuj ćwiartki kompresji");
    box.click();
    EXPECT_TRUE(SphereShading());
    EXPECT_TRUE(Key().value("Sphere/ShadeCompression").toBool());
    EXPECT_GT(shaded(), 1000);

    const std::string target = work.File("kula.svg");
    QString title;
    QStringList filters;
    ScopedDialogRunner runner([&](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        title = dialog.windowTitle();
        filters = dialog.nameFilters();
        dialog.selectFile(QString::fromStdString(target));
        return int(QDialog::Accepted);
    });
    window.Panel1().SaveImageButton().click();
    EXPECT_EQ(title, "Zapisywanie obrazu kuli ogniskowej");
    EXPECT_EQ(filters, (QStringList{"Obraz PNG (*.png)", "Rysunek SVG (*.svg)", "Dokument PDF (*.pdf)"}));
    ASSERT_TRUE(std::filesystem::exists(target));
    EXPECT_NE(ReadFileBytes(target).find("<svg"), std::string::npos) << "the kind the name asks for";
    EXPECT_NE(ReadFileBytes(target).find("fill=\"#d8d8d8\""), std::string::npos) << "shaded as shown";
    ASSERT_EQ(recorded.infos.size(), 1u);
    EXPECT_EQ(recorded.infos[0], "Plik " + target + " został pomyślnie wyeksportowany");

    // A name of another kind is refused with a warning and writes nothing.
    const std::string jpeg = work.File("kula.jpg");
    ScopedDialogRunner other([&](QDialog& d) {
        dynamic_cast<QFileDialog&>(d).selectFile(QString::fromStdString(jpeg));
        return int(QDialog::Accepted);
    });
    window.Panel1().SaveImageButton().click();
    EXPECT_FALSE(std::filesystem::exists(jpeg));
    ASSERT_EQ(recorded.warnings.size(), 1u);
    TSphereView::SetShading(false);
    EXPECT_FALSE(box.isChecked()) << "the switch follows the choice";
}

}  // namespace
