#include "catalogue.h"

#include "app/results/mechanismexport.h"
#include "app/results/textreport.h"
#include "common/numberformat.h"

namespace dyma {

namespace {

std::string CsvField(const std::string& text, char fieldSeparator) {
    if (text.find_first_of(std::string{fieldSeparator, '"', '\n', '\r'}) == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// Excel and its kin split on ";" where "," is the decimal separator.
char CsvSeparator(char decimalSeparator) { return decimalSeparator == ',' ? ';' : ','; }

}  // namespace

std::string CsvLine(const std::vector<std::string>& fields, char decimalSeparator) {
    const char fs = CsvSeparator(decimalSeparator);
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) line += (i ? std::string(1, fs) : "") + CsvField(fields[i], fs);
    return line;
}

std::vector<std::string> SolutionCsvHeader() {
    return {"Plik",         "Data",         "Czas",          "X [km]",          "Y [km]",
            "Z [km]",       "Bieg A",       "Upad A",        "Kierunek A",      "Bieg B",
            "Upad B",       "Kierunek B",   "Błąd biegu A",  "Błąd upadu A",    "Błąd kierunku A",
            "Błąd biegu B", "Błąd upadu B", "Błąd kierunku B", "Trend osi P",   "Zagłębienie osi P",
            "Trend osi T",  "Zagłębienie osi T", "ACC",      "Liczba stacji"};
}

// Coordinates as the report shows them: kilometres, Z above sea level.
std::vector<std::string> SolutionCsvFields(const std::string& projectFile, const SolutionRecord& r, char sep) {
    auto km = [&](double v) { return FormatFloat("0.000", v, sep); };
    auto deg = [&](double v) { return FormatFloat("0.0", v, sep); };
    return {projectFile,
            HasEventDate(r) ? NumericDate(r.Date) : std::string(),
            HasEventTime(r) ? NumericTime(r.Time) : std::string(),
            km(r.X), km(r.Y), km(-r.Z),
            deg(r.SA), deg(r.DA), deg(r.RA), deg(r.SB), deg(r.RB), deg(r.DB),
            deg(r.SAB), deg(r.DAB), deg(r.RAB), deg(r.SBB), deg(r.RBB), deg(r.DBB),
            deg(r.PTrend), deg(r.PPlunge), deg(r.TTrend), deg(r.TPlunge),
            FloatToStr(r.ACC, sep), std::to_string(r.StationCount)};
}

std::vector<std::string> CatalogueCsvHeader() {
    std::vector<std::string> header = SolutionCsvHeader();
    for (const char* column : {"Szerokość [°]", "Długość [°]", "Północ siatki [°]", "Liczba polaryzacji",
                               "Niedopasowanie", "Rozkład stacji (STDR)", "Luka azymutalna [°]", "Jakość"})
        header.emplace_back(column);
    return header;
}

std::vector<std::string> CatalogueCsvFields(const TremorExport& t, const std::optional<PlacedSource>& placed,
                                            char sep) {
    std::vector<std::string> fields = SolutionCsvFields(t.projectFile, t.record, sep);
    auto degrees = [&](double v, const char* pattern) { return placed ? FormatFloat(pattern, v, sep) : std::string(); };
    fields.push_back(degrees(placed ? placed->latitude : 0, "0.000000"));
    fields.push_back(degrees(placed ? placed->longitude : 0, "0.000000"));
    fields.push_back(degrees(placed ? placed->gridNorth : 0, "0.000"));
    fields.push_back(std::to_string(t.polarityCount));
    fields.push_back(FormatFloat("0.000", t.misfit, sep));
    fields.push_back(FormatFloat("0.000", t.distributionRatio, sep));
    fields.push_back(FormatFloat("0.0", t.azimuthalGap, sep));
    fields.push_back(t.quality);
    return fields;
}

}  // namespace dyma
