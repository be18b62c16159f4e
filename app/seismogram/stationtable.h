// The station table of a miniSEED record: where each stream's sensor stands.
// miniSEED files carry samples and stream codes only, so the coordinates
// come from a CSV file beside the record:
//
//   network,station,location,channel,x,y,z,reversed
//   PL,RUD01,,HHZ,24750.0,-755.0,-820.0,0
//
// One line per stream; an empty location is an empty field; x north, y east
// and z up, in metres, in the network's coordinate system like the LGOM
// files' station coordinates (z negative below sea level); reversed 1 for
// a sensor wired the other way round, else 0. A table saved by a Polish
// spreadsheet (";" between the fields and "," in the numbers) reads as well.
// Blank lines are skipped.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace dyma {

// What is wrong with a table, in Polish, with the file and the line number
// (counted from 1, the header being line 1).
class StationTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct StationRow {
    std::string network, station, location, channel;
    double x = 0, y = 0, z = 0;
    bool reversed = false;
    int line = 0;  // where it stands in the file
};

class StationTable {
public:
    // The table in `text` (UTF-8 or code page 1250, a UTF-8 byte-order mark
    // allowed); `fileName` names it in the messages. Throws
    // StationTableError.
    static StationTable Parse(const std::string& text, const std::string& fileName);
    // Throws StationTableError also for a file that cannot be read.
    static StationTable Read(const std::string& path);

    // The row of a stream, null when the table has none. Codes compare
    // exactly, as the records spell them.
    const StationRow* Find(const std::string& network, const std::string& station, const std::string& location,
                           const std::string& channel) const;

    const std::vector<StationRow>& Rows() const { return rows_; }
    const std::string& FileName() const { return fileName_; }

private:
    std::vector<StationRow> rows_;
    std::string fileName_;
};

inline constexpr char kStationTableHeader[] = "network,station,location,channel,x,y,z,reversed";

// Where a record's table is looked for, in this order: "<name without
// extension>.stations.csv", then "stations.csv" in the record's folder.
std::vector<std::string> StationTableCandidates(const std::string& signalFile);

}  // namespace dyma
