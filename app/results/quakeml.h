// Solved tremors as a QuakeML 1.2 document (the exchange format observatory
// systems and the common seismological toolkits read): per tremor one event
// with its origin, its focal mechanism and one pick per polarity the solver
// used. Written with Qt's XML writer, UTF-8.
//
// - The origin is the source the solution was computed for, converted to
//   latitude and longitude in the network's coordinate system; its depth is
//   metres below sea level; the local X, Y, Z go into its comment. Its time
//   is the first sample of the record (the program does not locate the
//   origin time), which its comment says.
// - Strikes, trends and azimuths are turned from the grid's north to true
//   north (the grid's x axis at the source); the comment gives the angle.
// - Plane A, the plane the solver reports its solution in, is the preferred
//   plane; plane B is the auxiliary plane of the same double couple.
// - The principal axes' lengths are the eigenvalues of the unit double
//   couple, T 1, P -1, N 0: a first-motion solution has no moment. A
//   comment of the mechanism says so.
#pragma once

#include "app/results/geographic.h"
#include "app/results/mechanismexport.h"

#include <string>
#include <vector>

namespace dyma {

// `creationTime` is the ISO 8601 UTC moment written as the creation time.
// Throws CoordinateSystemError when a source cannot be converted and
// ExportError when a tremor has no record date; nothing is then returned.
std::string BuildQuakeML(const std::vector<TremorExport>& tremors, const GeographicConverter& coordinates,
                         const std::string& creationTime);

// The current moment as ISO 8601 UTC.
std::string CurrentIsoUtc();

// The method written as the mechanism's methodID: the solver and the
// version it ships with.
std::string SolverMethodId();

}  // namespace dyma
