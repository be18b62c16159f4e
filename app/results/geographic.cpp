#include "geographic.h"

#include "common/numberformat.h"

#include <geodesic.h>
#include <proj.h>

#include <cmath>
#include <vector>

namespace dyma {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 1.0 / 298.257223563;

std::string ProjReason(PJ_CONTEXT* context) {
    const int code = proj_context_errno(context);
    const char* text = code ? proj_context_errno_string(context, code) : nullptr;
    std::string reason = text ? text : "nieznany błąd biblioteki PROJ";
    return reason;
}

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        parts.push_back(Trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

}  // namespace

struct GeographicConverter::Impl {
    PJ_CONTEXT* context = nullptr;
    PJ* toGeographic = nullptr;  // (easting, northing) -> (longitude, latitude)
    bool local = false;
    double rotation = 0;  // local grids: the x axis' azimuth, degrees
    // Where the system is meant to be used (degrees), when its definition
    // says; a point far outside was given in another system.
    bool hasArea = false;
    double west = 0, south = 0, east = 0, north = 0;
    std::string areaName;

    ~Impl() {
        if (toGeographic) proj_destroy(toGeographic);
        if (context) proj_context_destroy(context);
    }
};

GeographicConverter::GeographicConverter(const std::string& text) : impl_(std::make_unique<Impl>()), name_(Trim(text)) {
    const std::string name = name_;
    auto fail = [&](const std::string& why) {
        return CoordinateSystemError("Nie można użyć układu współrzędnych \"" + name + "\": " + why);
    };
    if (name.empty()) throw CoordinateSystemError("Nie podano układu współrzędnych sieci.");

    impl_->context = proj_context_create();
    if (!impl_->context) throw fail("nie udało się uruchomić biblioteki PROJ.");
    // PROJ would print its complaints itself; they come with our message.
    proj_log_level(impl_->context, PJ_LOG_NONE);

    std::string source;
    if (name.size() > 6 && EqualsIgnoreCase(name.substr(0, 6), "local:")) {
        const std::vector<std::string> parts = SplitCommas(name.substr(6));
        double values[3] = {};
        bool ok = parts.size() == 3;
        for (size_t i = 0; ok && i < 3; ++i) ok = TryStrToFloat(parts[i], '.', values[i]) && std::isfinite(values[i]);
        if (!ok) throw fail("zapis siatki kopalnianej to local:SZEROKOŚĆ,DŁUGOŚĆ,OBRÓT w stopniach (np. local:51.5,16.1,0).");
        if (std::fabs(values[0]) > 90 || std::fabs(values[1]) > 180)
            throw fail("szerokość musi leżeć w przedziale od -90 do 90, a długość od -180 do 180 stopni.");
        impl_->local = true;
        impl_->rotation = values[2];
        source = "+proj=aeqd +lat_0=" + FloatToStr(values[0], '.') + " +lon_0=" + FloatToStr(values[1], '.') +
                 " +x_0=0 +y_0=0 +datum=WGS84 +units=m +type=crs";
    } else {
        source = name;
        PJ* crs = proj_create(impl_->context, source.c_str());
        if (!crs) {
            const std::string reason = ProjReason(impl_->context);
            throw fail(reason + (reason.find("proj.db") != std::string::npos
                                     ? " (brak bazy danych PROJ: zainstaluj pakiet proj-data)."
                                     : " (oczekiwano kodu EPSG, np. EPSG:2180, albo local:SZEROKOŚĆ,DŁUGOŚĆ,OBRÓT)."));
        }
        // The program's coordinates are plane metres: a geographic or
        // geocentric system would take them for degrees or worse.
        const PJ_TYPE type = proj_get_type(crs);
        bool metres = false;
        if (type == PJ_TYPE_PROJECTED_CRS) {
            if (PJ* cs = proj_crs_get_coordinate_system(impl_->context, crs)) {
                double factor = 0;
                metres = proj_cs_get_axis_count(impl_->context, cs) == 2 &&
                         proj_cs_get_axis_info(impl_->context, cs, 0, nullptr, nullptr, nullptr, &factor, nullptr,
                                               nullptr, nullptr) &&
                         factor == 1.0;
                proj_destroy(cs);
            }
        }
        const char* areaName = nullptr;
        impl_->hasArea = proj_get_area_of_use(impl_->context, crs, &impl_->west, &impl_->south, &impl_->east,
                                              &impl_->north, &areaName) &&
                         impl_->west > -1000;
        if (areaName) impl_->areaName = areaName;
        while (!impl_->areaName.empty() && impl_->areaName.back() == '.') impl_->areaName.pop_back();
        proj_destroy(crs);
        if (type != PJ_TYPE_PROJECTED_CRS) throw fail("to nie jest układ płaski (odwzorowanie kartograficzne).");
        if (!metres) throw fail("współrzędne tego układu nie są w metrach.");
    }

    PJ* operation = proj_create_crs_to_crs(impl_->context, source.c_str(), "EPSG:4326", nullptr);
    if (!operation) {
        const std::string reason = ProjReason(impl_->context);
        throw fail(reason + (reason.find("proj.db") != std::string::npos
                                 ? " (brak bazy danych PROJ: zainstaluj pakiet proj-data)."
                                 : "."));
    }
    // Whatever order the system's definition gives its axes, the converter
    // takes easting then northing and gives longitude then latitude.
    impl_->toGeographic = proj_normalize_for_visualization(impl_->context, operation);
    proj_destroy(operation);
    if (!impl_->toGeographic) throw fail(ProjReason(impl_->context) + ".");
}

GeographicConverter::~GeographicConverter() = default;

GeoPoint GeographicConverter::ToGeographic(double xNorth, double yEast) const {
    double north = xNorth, east = yEast;
    if (impl_->local) {
        // The grid's x axis points `rotation` clockwise from true north.
        const double r = impl_->rotation * kPi / 180.0;
        north = xNorth * std::cos(r) - yEast * std::sin(r);
        east = xNorth * std::sin(r) + yEast * std::cos(r);
    }
    proj_errno_reset(impl_->toGeographic);
    const PJ_COORD out = proj_trans(impl_->toGeographic, PJ_FWD, proj_coord(east, north, 0, 0));
    const std::string point = "Punkt X = " + FloatToStr(xNorth, '.') + " m, Y = " + FloatToStr(yEast, '.') + " m";
    if (proj_errno(impl_->toGeographic) != 0 || !std::isfinite(out.lp.lam) || !std::isfinite(out.lp.phi))
        throw CoordinateSystemError(point + " nie daje się przeliczyć w układzie " + name_ + ": " +
                                    ProjReason(impl_->context) + ".");
    const GeoPoint p{out.xy.y, out.xy.x};
    // Coordinates of another system (a mine's own grid taken for a national
    // one) still convert, to a place far from where the system is used: a
    // wrong latitude is worse than none.
    constexpr double kMargin = 1.0;  // degrees
    if (impl_->hasArea && (p.latitude < impl_->south - kMargin || p.latitude > impl_->north + kMargin ||
                           p.longitude < impl_->west - kMargin || p.longitude > impl_->east + kMargin))
        throw CoordinateSystemError(point + " leży w układzie " + name_ + " poza obszarem jego stosowania (" +
                                    impl_->areaName + ": szerokość " + FormatFloat("0.0", impl_->south, '.') +
                                    "..." + FormatFloat("0.0", impl_->north, '.') + "°, długość " +
                                    FormatFloat("0.0", impl_->west, '.') + "..." +
                                    FormatFloat("0.0", impl_->east, '.') +
                                    "°). Sprawdź układ współrzędnych sieci.");
    return p;
}

double GeographicConverter::GridNorthAzimuth(double xNorth, double yEast) const {
    if (impl_->local) {
        const double a = std::fmod(impl_->rotation, 360.0);
        return a < 0 ? a + 360.0 : a;
    }
    // The direction in which the grid's x grows, measured on the ellipsoid
    // over a step short enough for the grid to be straight there.
    const GeoPoint here = ToGeographic(xNorth, yEast);
    const GeoPoint ahead = ToGeographic(xNorth + 10.0, yEast);
    double azimuth = 0, distance = 0;
    GeodesicInverse(here, ahead, azimuth, distance);
    return azimuth;
}

void GeodesicInverse(const GeoPoint& a, const GeoPoint& b, double& azimuthDeg, double& distanceMetres) {
    geod_geodesic g{};
    geod_init(&g, kWgs84A, kWgs84F);
    double azi1 = 0, azi2 = 0;
    geod_inverse(&g, a.latitude, a.longitude, b.latitude, b.longitude, &distanceMetres, &azi1, &azi2);
    azimuthDeg = azi1 < 0 ? azi1 + 360.0 : azi1;
}

}  // namespace dyma
