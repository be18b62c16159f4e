// Opening a signal file of any kind: the one way the program, the project
// file's signal lookup and the command-line tool read a record into a
// signal container. The kind comes from the contents: miniSEED records go
// to the miniSEED reader, everything else to the LGOM reader (which knows
// its layouts by extension and header identifier). Full SEED volumes are
// not read.
//
// A miniSEED record has no station coordinates: they come from its station
// table (app/seismogram/stationtable.h), looked for beside the record, or
// one the operator names. Channels the table does not place stay without
// coordinates and inactive, so no pick of theirs reaches the solver.
#pragma once

#include "kelsig/signalprocessing.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dyma {

struct StationTableChoice {
    // A table named by the operator beforehand (dyma --stations); when
    // empty the table is looked for beside the record.
    std::string file;
    // Asked for a table when there is none beside the record (the program's
    // file dialog); returns the chosen file, or "" to go on without one.
    std::function<std::string(const std::string& signalFile)> choose;
};

struct OpenedSignal {
    std::unique_ptr<Kelo::signalprocessing> signal;
    bool miniSeed = false;
    std::string stationTable;  // the table that placed the stations ("" none)
    // The streams ("NET.STA.LOC.CHA") the table does not place.
    std::vector<std::string> withoutStation;
};

// Reads `path` with its samples in the table file `sampleTable`. Throws the
// reader's exceptions (their text is the reason), StationTableError for a
// station table that cannot be used, and QuaEWrongOperation for a SEED
// volume.
OpenedSignal OpenSignalFile(const std::string& path, const std::string& sampleTable,
                            const StationTableChoice& stations = {});

// What the operator is told about channels without coordinates: which they
// are and that they cannot take part in a mechanism; "" when every channel
// has its place.
std::string WithoutStationMessage(const OpenedSignal& opened);

}  // namespace dyma
