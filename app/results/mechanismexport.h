// A solved tremor gathered for the exchange formats (QuakeML, the catalogue's
// CSV and JSON): the stored solution, the picks of the polarities the solver
// used, and the figures observatories describe a first-motion mechanism by,
// computed from the stored record.
#pragma once

#include "app/document/iniimage.h"
#include "app/document/tremordocument.h"
#include "app/seismogram/channeltables.h"
#include "common/focalmath.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace dyma {

// Why a document cannot be exported, in Polish.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One polarity the solver used, with its pick.
struct ExportedPick {
    int stationRow = 0;  // the solution's station row
    int ident = 0;       // the channel section it matched (channel index + 1)
    std::string label;   // the station's label in the solution
    // The stream of the channel: the SEED codes of a miniSEED channel; for
    // an LGOM channel no network, the station number and the component.
    std::string network, station, location, channel;
    std::string waveType;  // "C", "A", "B" (or "D" from older files)
    std::string phase;     // "P" direct wave, "PA" upper seam wave, "PB" lower seam wave
    double time = 0;       // the arrival, day count: the record's start plus the marker
    // The ground's first motion as the solver fitted it: the picked first
    // arrival after the sensor's and the document's reversals (the sign of
    // the solver's weight). +1 up/compression ("positive"), -1 "negative".
    int polarity = 0;
    double weight = 0;                // 0.1 .. 1.0
    double takeoff = 0, azimuth = 0;  // the solver's, degrees; azimuth from the grid's north
};

struct TremorExport {
    std::string projectFile;
    SolutionRecord record;   // the stored solution
    double recordStart = 0;  // day count: the signal's first sample
    // The source the solution was computed for, metres: x north, y east,
    // z up (negative below sea level).
    double xNorth = 0, yEast = 0, zUp = 0;
    std::vector<ExportedPick> picks;
    int polarityCount = 0;  // polarities the solver used (non-zero sign and weight)
    // Weighted share (0..1) of those polarities that plane A's double
    // couple does not explain; a ray on a nodal plane explains nothing.
    double misfit = 0;
    // Weighted mean of |P amplitude| of the unit double couple at the rays
    // (Reasenberg and Oppenheimer's STDR): near 0 when the stations lie on
    // the nodal planes, near 1 when they lie on the P and T axes.
    double distributionRatio = 0;
    // Largest angle between neighbouring station azimuths around the
    // source, degrees (360 with fewer than two directions).
    double azimuthalGap = 360;
    focal::Axis nAxis;    // null axis, orthogonal to the stored P and T
    std::string quality;  // the solver's quality letter when the document has one
};

// The solution of the document and the picks behind it. `channels` (the
// open signal's) give the streams' codes; without them (the signal file
// is not at hand) an LGOM-style code is made from the channel section.
// Throws ExportError when the document holds no solution.
TremorExport GatherTremor(const IniImage& image, const std::string& projectFile,
                          const std::vector<ChannelFacts>* channels);

// "P", "PA", "PB" for the wave types "C" (and "D"), "A", "B".
std::string PhaseOfWaveType(const std::string& waveType);

// A day count as ISO 8601 UTC with microseconds: 2024-03-14T07:42:16.123456Z.
std::string IsoUtc(double dayCount);

// The axis of a trend and plunge as a unit vector (x north, y east, z down).
focal::Vec3 AxisVector(double trendDeg, double plungeDeg);

}  // namespace dyma
