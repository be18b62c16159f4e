// From the network's coordinates to latitude and longitude, through PROJ.
// The program keeps every coordinate as it came with the signal files:
// metres, x north, y east (the order of the Polish grids' own axes), z up.
// Latitude and longitude are WGS 84 degrees.
//
// The network's coordinate system is written as
// - an EPSG code of a projected system in metres, "EPSG:2180" (PUWG 1992)
//   or "EPSG:2177" (PUWG 2000 zone 6) for the Polish grids; PROJ takes it
//   from its database (Debian's proj-data);
// - "local:LAT,LON,ROTATION" for a mine's own grid: the grid's origin at
//   latitude LAT and longitude LON (degrees, WGS 84) and its x axis turned
//   ROTATION degrees clockwise from true north; the grid is taken as the
//   azimuthal equidistant projection about its origin, which is exact to
//   well under a millimetre within a mine's few kilometres.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace dyma {

// What is wrong with a coordinate system, in Polish.
class CoordinateSystemError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct GeoPoint {
    double latitude = 0, longitude = 0;  // degrees
};

class GeographicConverter {
public:
    // Throws CoordinateSystemError for a text that names no usable system
    // (an unknown code, a system not projected in metres, a malformed
    // "local:" triple, PROJ's database missing).
    explicit GeographicConverter(const std::string& coordinateSystem);
    ~GeographicConverter();
    GeographicConverter(const GeographicConverter&) = delete;
    GeographicConverter& operator=(const GeographicConverter&) = delete;

    // Throws CoordinateSystemError when PROJ cannot convert the point.
    GeoPoint ToGeographic(double xNorth, double yEast) const;

    // The direction of the grid's x axis at the point, degrees clockwise
    // from true north: what turns the grid's strikes, trends and azimuths
    // into true ones (the local grid's rotation; for a national grid the
    // meridian convergence, which reaches a few degrees at a zone's edge).
    double GridNorthAzimuth(double xNorth, double yEast) const;

    const std::string& Name() const { return name_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string name_;
};

// True geodesic azimuth (degrees clockwise from north, 0..360) and distance
// (metres) from a to b on the WGS 84 ellipsoid.
void GeodesicInverse(const GeoPoint& a, const GeoPoint& b, double& azimuthDeg, double& distanceMetres);

}  // namespace dyma
