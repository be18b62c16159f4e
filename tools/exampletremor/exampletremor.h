// The bundled example tremor: a synthetic mine tremor of the Rudna type
// whose first motions encode a known focal mechanism. It is written with the
// project's own signal-file generator and the program's own document model,
// so it opens in the program and in "dyma solve" like a recorded one:
//
//   tremor.mbj   MBJ signal, 30 vertical channels at 500 Hz with noise, P
//                onsets at the travel times of the settings' velocities
//   tremor.dym   project file with the tremor location and one pick per
//                channel (direct, upper and lower seam waves)
//   tremor.dbs   location file of the mine's event database
//   truth.txt    the mechanism, axes and location the picks encode
//   KG.RUDNA.2024.074               the same record as miniSEED (Steim-2,
//                                   written by libmseed), an archive name
//                                   without an extension
//   KG.RUDNA.2024.074.stations.csv  its station table
#pragma once

#include "common/focalmath.h"

#include <string>

namespace dyma::example {

inline constexpr char kSignalFile[] = "tremor.mbj";
inline constexpr char kProjectFile[] = "tremor.dym";
inline constexpr char kLocationFile[] = "tremor.dbs";
inline constexpr char kTruthFile[] = "truth.txt";
inline constexpr char kMiniSeedFile[] = "KG.RUDNA.2024.074";
inline constexpr char kMiniSeedStations[] = "KG.RUDNA.2024.074.stations.csv";

struct Truth {
    focal::Plane planeA, planeB;
    focal::Axis pAxis, tAxis;
    double X = 0, Y = 0, Z = 0;  // metres, Z negative below sea level
};

// Writes the four files into `directory` (created when missing) and returns
// what they encode. Throws std::runtime_error when a file cannot be written
// or when the signal, read back through the program's reader, would not
// show the intended first motion at a pick.
Truth WriteExampleTremor(const std::string& directory);

// The truth file read back; throws std::runtime_error when it is missing.
Truth ReadTruthFile(const std::string& path);

}  // namespace dyma::example
