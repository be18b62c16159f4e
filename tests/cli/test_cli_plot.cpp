// dyma plot: the focal sphere of a solved project written as PNG, SVG or
// PDF, and what it refuses.
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/document/tremordocument.h"
#include "cli/clirun.h"
#include "common/focalmath.h"
#include "common/textfile.h"

#include <QImage>

#include <fstream>

using namespace clitest;
using namespace dyma;
namespace fs = std::filesystem;

namespace {

class Plot : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        project_ = Dir("p") + "/wstrzas.dym";
        IniImage image(project_);
        WriteFileInfo(image);
        SolutionRecord r;
        r.Exists = true;
        const focal::Plane a{25, 75, 20}, b = focal::AuxiliaryPlane(a);
        r.SA = a.strike, r.DA = a.dip, r.RA = a.rake;
        r.SB = b.strike, r.RB = b.dip, r.DB = b.rake;
        SaveResult(r, image, '.');
        image.UpdateFile();
        unsolved_ = Dir("p") + "/bez.dym";
        IniImage other(unsolved_);
        WriteFileInfo(other);
        other.UpdateFile();
    }

    static int Grey(const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == QColor(0xD8, 0xD8, 0xD8) ? 1 : 0;
        return n;
    }

    std::string project_, unsolved_;
};

TEST_F(Plot, WritesTheKindTheNameAsksForAtTheSizeGiven) {
    const std::string dir = Dir("out");
    const CliResult png = Dyma({"plot", project_, "--out", dir + "/kula.png", "--size", "240"});
    ASSERT_EQ(png.code, 0) << png.err;
    QImage image(QString::fromStdString(dir + "/kula.png"));
    ASSERT_EQ(image.size(), QSize(240, 240));
    EXPECT_EQ(Grey(image), 0) << "not shaded unless asked";
    EXPECT_EQ(image.pixelColor(120 + 108, 120), QColor(Qt::black)) << "the circle, 0.9 of the half-size out";

    const CliResult shaded = Dyma({"plot", project_, "-o", dir + "/cien.png", "--size", "240", "--shade"});
    ASSERT_EQ(shaded.code, 0) << shaded.err;
    EXPECT_GT(Grey(QImage(QString::fromStdString(dir + "/cien.png"))), 240 * 240 / 8) << "about half the disc";

    const CliResult svg = Dyma({"plot", project_, "--out", dir + "/kula.SVG"});
    ASSERT_EQ(svg.code, 0) << svg.err;
    const std::string text = ReadFileBytes(dir + "/kula.SVG");
    EXPECT_NE(text.find("viewBox=\"0 0 800 800\""), std::string::npos) << "800 by default";
    EXPECT_NE(text.find("<polyline"), std::string::npos);

    const CliResult pdf = Dyma({"plot", project_, "--out", dir + "/kula.pdf", "--size", "300"});
    ASSERT_EQ(pdf.code, 0) << pdf.err;
    EXPECT_EQ(ReadFileBytes(dir + "/kula.pdf").rfind("%PDF-", 0), 0u);
    // Only the four pictures: no temporary file beside them.
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 4);
}

TEST_F(Plot, RefusesWhatItCannotDoAndOverwritesOnlyWhenTold) {
    const std::string dir = Dir("out");
    const std::string existing = dir + "/stary.png";
    { std::ofstream(existing) << "nie obraz"; }
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int code;
        const char* says;
    } cases[] = {
        {"no output", {"plot", project_}, 2, "--out"},
        {"unknown kind", {"plot", project_, "--out", dir + "/kula.jpg"}, 2, "PNG, SVG albo PDF"},
        {"size too small", {"plot", project_, "--out", dir + "/a.png", "--size", "10"}, 2, "50 a 10000"},
        {"size not a number", {"plot", project_, "--out", dir + "/a.png", "--size", "duzo"}, 2, "--size"},
        {"no solution", {"plot", unsolved_, "--out", dir + "/a.png"}, 1, "nie zawiera rozwiązania"},
        {"not a project", {"plot", dir + "/brak.dym", "--out", dir + "/a.png"}, 1, "brak.dym"},
        {"existing file", {"plot", project_, "--out", existing}, 1, "już istnieje"},
    };
    for (const Case& c : cases) {
        const CliResult r = Dyma(c.args);
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.name << ": " << r.err;
    }
    EXPECT_FALSE(fs::exists(dir + "/a.png"));
    EXPECT_FALSE(fs::exists(dir + "/kula.jpg"));
    EXPECT_EQ(ReadFileBytes(existing), "nie obraz");

    const CliResult replaced = Dyma({"plot", project_, "--out", existing, "--overwrite"});
    ASSERT_EQ(replaced.code, 0) << replaced.err;
    EXPECT_FALSE(QImage(QString::fromStdString(existing)).isNull());
}

}  // namespace
