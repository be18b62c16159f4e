// The network's coordinates to latitude and longitude through PROJ, checked
// against textbook geodesy: the azimuthal equidistant grid keeps distances
// and azimuths from its origin exactly, the Polish PUWG 1992 grid (EPSG:2180)
// is a transverse Mercator grid whose northing on its central meridian is
// the scaled meridian arc, and its grid north turns by the meridian
// convergence.
#include "app/results/geographic.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dyma;

namespace {

constexpr double kPi = 3.14159265358979323846;
double Rad(double d) { return d * kPi / 180.0; }
double Deg(double r) { return r * 180.0 / kPi; }

// The meridian arc from the equator to latitude phi on the GRS 80
// ellipsoid (Helmert's series, good to well under a millimetre).
double MeridianArc(double phiDeg) {
    const double a = 6378137.0, f = 1 / 298.257222101;
    const double e2 = f * (2 - f), e4 = e2 * e2, e6 = e4 * e2;
    const double p = Rad(phiDeg);
    return a * ((1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256) * p - (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024) * std::sin(2 * p) +
                (15 * e4 / 256 + 45 * e6 / 1024) * std::sin(4 * p) - (35 * e6 / 3072) * std::sin(6 * p));
}

std::string FailureOf(const std::string& system) {
    try {
        GeographicConverter c(system);
    } catch (const CoordinateSystemError& e) {
        return e.what();
    }
    return "(accepted)";
}

}  // namespace

TEST(Geographic, AMineGridKeepsDistanceAndAzimuthFromItsOrigin) {
    const GeographicConverter grid("local:51.5,16.1,30");
    const GeoPoint origin = grid.ToGeographic(0, 0);
    EXPECT_NEAR(origin.latitude, 51.5, 1e-12);
    EXPECT_NEAR(origin.longitude, 16.1, 1e-12);
    struct Case {
        double x, y, azimuth;
    };
    // x north and y east of the grid, whose x axis points 30 degrees east
    // of true north.
    const Case cases[] = {{1000, 0, 30}, {0, 1000, 120}, {-2500, 0, 210}, {3000, -3000, 345}};
    for (const Case& c : cases) {
        double azimuth = 0, distance = 0;
        GeodesicInverse(origin, grid.ToGeographic(c.x, c.y), azimuth, distance);
        EXPECT_NEAR(distance, std::hypot(c.x, c.y), 1e-6) << c.x << " " << c.y;
        EXPECT_NEAR(azimuth, c.azimuth, 1e-8) << c.x << " " << c.y;
    }
    EXPECT_DOUBLE_EQ(grid.GridNorthAzimuth(5000, -300), 30);
    EXPECT_DOUBLE_EQ(GeographicConverter("local:50,20,-10").GridNorthAzimuth(0, 0), 350);
    EXPECT_EQ(grid.Name(), "local:51.5,16.1,30");
}

// x is the northing and y the easting, as the Polish grids name them: taken
// the other way round the point would land hundreds of kilometres away.
TEST(Geographic, PolishGridNorthingIsTheScaledMeridianArc) {
    const GeographicConverter puwg("EPSG:2180");
    for (double latitude : {49.5, 52.0, 54.5}) {
        const double northing = 0.9993 * MeridianArc(latitude) - 5300000.0;
        const GeoPoint p = puwg.ToGeographic(northing, 500000.0);
        EXPECT_NEAR(p.latitude, latitude, 1e-8) << latitude;
        EXPECT_NEAR(p.longitude, 19.0, 1e-9) << latitude;
        EXPECT_NEAR(puwg.GridNorthAzimuth(northing, 500000.0), 0.0, 1e-6) << "grid north is true north there";
    }
}

// Away from the central meridian the grid's north turns from true north by
// the convergence, atan(tan(dLon) sin(lat)) to first order.
TEST(Geographic, GridNorthTurnsByTheMeridianConvergence) {
    const GeographicConverter puwg("EPSG:2180");
    for (double easting : {250000.0, 380000.0, 640000.0, 760000.0}) {
        const double northing = 0.9993 * MeridianArc(51.6) - 5300000.0;
        const GeoPoint p = puwg.ToGeographic(northing, easting);
        const double expected = Deg(std::atan(std::tan(Rad(p.longitude - 19.0)) * std::sin(Rad(p.latitude))));
        double got = puwg.GridNorthAzimuth(northing, easting);
        if (got > 180) got -= 360;
        EXPECT_NEAR(got, expected, 0.005) << easting;
        EXPECT_GT(std::fabs(got), 0.5) << "a real turn at " << easting;
    }
}

TEST(Geographic, SystemsThatCannotBeUsedSayWhy) {
    struct Case {
        const char* system;
        const char* expected;
    };
    const Case cases[] = {
        {"", "Nie podano układu współrzędnych sieci."},
        {"   ", "Nie podano układu współrzędnych sieci."},
        {"EPSG:4326", "to nie jest układ płaski"},
        {"EPSG:4978", "to nie jest układ płaski"},
        {"EPSG:2229", "nie są w metrach"},
        {"EPSG:999999", "Nie można użyć układu współrzędnych \"EPSG:999999\""},
        {"PUWG92", "oczekiwano kodu EPSG"},
        {"local:51.5,16.1", "local:SZEROKOŚĆ,DŁUGOŚĆ,OBRÓT"},
        {"local:51.5,16.1,x", "local:SZEROKOŚĆ,DŁUGOŚĆ,OBRÓT"},
        {"local:91,16,0", "szerokość musi leżeć w przedziale od -90 do 90"},
        {"local:51,181,0", "długość od -180 do 180"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.system);
        const std::string message = FailureOf(c.system);
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
    EXPECT_EQ(FailureOf("epsg:2177"), "(accepted)") << "codes in any case";
    EXPECT_EQ(FailureOf(" LOCAL:50.1,19.9,0 "), "(accepted)");
}

// A mine's own coordinates (a few kilometres from its origin) taken for the
// national grid would land in another country: refused, not converted.
TEST(Geographic, PointsFarOutsideTheSystemsAreaAreRefused) {
    const GeographicConverter puwg("EPSG:2180");
    EXPECT_NO_THROW(puwg.ToGeographic(0.9993 * MeridianArc(51.2) - 5300000.0, 390000.0));
    for (const auto& [x, y] : std::vector<std::pair<double, double>>{{24612, 17385}, {1e12, 500000}, {500000, -4e6}}) {
        try {
            puwg.ToGeographic(x, y);
            ADD_FAILURE() << "converted " << x << " " << y;
        } catch (const CoordinateSystemError& e) {
            EXPECT_NE(std::string(e.what()).find("poza obszarem jego stosowania (Poland"), std::string::npos)
                << e.what();
        }
    }
}
