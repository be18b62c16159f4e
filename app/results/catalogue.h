// Solutions as catalogue rows, one per tremor: the CSV of "dyma solve --csv"
// and the CSV and JSON of "dyma export". CSV files are code page 1250 with
// CR LF and a Polish header, like the program's other text files; ";"
// separates the fields where "," is the decimal separator, as spreadsheets
// on a Polish system expect. Coordinates are the report's (kilometres, Z
// above sea level) and the angles the grid's, as in the report.
#pragma once

#include "app/document/tremordocument.h"

#include <optional>
#include <string>
#include <vector>

namespace dyma {

struct TremorExport;
struct GeoPoint;

// One CSV line: fields quoted where they hold the separator, a quotation
// mark or a line break.
std::string CsvLine(const std::vector<std::string>& fields, char decimalSeparator);

// The columns of a solution (dyma solve --csv).
std::vector<std::string> SolutionCsvHeader();
std::vector<std::string> SolutionCsvFields(const std::string& projectFile, const SolutionRecord& record,
                                           char decimalSeparator);

// The export's columns: the solution's, then the source's latitude and
// longitude and the direction of the grid's north (empty without a
// coordinate system), the count of polarities, misfit, station
// distribution ratio, azimuthal gap and quality.
std::vector<std::string> CatalogueCsvHeader();
struct PlacedSource {
    double latitude = 0, longitude = 0, gridNorth = 0;
};
std::vector<std::string> CatalogueCsvFields(const TremorExport& tremor, const std::optional<PlacedSource>& placed,
                                            char decimalSeparator);

}  // namespace dyma
