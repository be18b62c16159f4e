#include "stationtable.h"

#include "app/document/projectfile.h"
#include "app/settings/settings.h"
#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/textfile.h"

#include <array>
#include <cmath>
#include <map>

namespace dyma {

namespace {

constexpr std::array<const char*, 8> kColumns = {"network", "station", "location", "channel",
                                                 "x",       "y",       "z",        "reversed"};

bool IsUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        int follow = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (follow < 0 || i + static_cast<size_t>(follow) >= text.size()) return false;
        for (int k = 1; k <= follow; ++k)
            if ((static_cast<unsigned char>(text[i + static_cast<size_t>(k)]) >> 6) != 0x2) return false;
        i += static_cast<size_t>(follow) + 1;
    }
    return true;
}

std::vector<std::string> SplitFields(const std::string& line, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t at = line.find(separator, start);
        fields.push_back(Trim(line.substr(start, at == std::string::npos ? std::string::npos : at - start)));
        if (at == std::string::npos) return fields;
        start = at + 1;
    }
}

class LineError {
public:
    LineError(const std::string& file, int line) : prefix_("Tabela stacji " + file + ", wiersz " + std::to_string(line) + ": ") {}
    StationTableError operator()(const std::string& text) const { return StationTableError(prefix_ + text); }

private:
    std::string prefix_;
};

}  // namespace

StationTable StationTable::Parse(const std::string& bytes, const std::string& fileName) {
    std::string text = bytes;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    if (!IsUtf8(text)) text = Cp1250ToUtf8(text);
    const std::vector<std::string> lines = SplitLines(text);

    StationTable table;
    table.fileName_ = fileName;
    size_t headerIndex = 0;
    while (headerIndex < lines.size() && Trim(lines[headerIndex]).empty()) ++headerIndex;
    if (headerIndex == lines.size())
        throw StationTableError("Tabela stacji " + fileName + " jest pusta: brak wiersza nagłówka " +
                                kStationTableHeader + ".");

    // The header says which separator the file uses; a spreadsheet set to
    // Polish writes ";" and then "," in the numbers.
    const std::string& header = lines[headerIndex];
    const char separator = header.find(';') != std::string::npos ? ';' : ',';
    const char decimal = separator == ';' ? ',' : '.';
    const std::vector<std::string> names = SplitFields(header, separator);
    bool headerRight = names.size() == kColumns.size();
    for (size_t i = 0; headerRight && i < names.size(); ++i) headerRight = EqualsIgnoreCase(names[i], kColumns[i]);
    if (!headerRight)
        throw LineError(fileName, int(headerIndex) + 1)(std::string("nagłówek musi brzmieć ") + kStationTableHeader +
                                                        " (jest: " + Trim(header) + ").");

    std::map<std::string, int> seen;
    for (size_t i = headerIndex + 1; i < lines.size(); ++i) {
        if (Trim(lines[i]).empty()) continue;
        const int lineNumber = int(i) + 1;
        const LineError error(fileName, lineNumber);
        const std::vector<std::string> f = SplitFields(lines[i], separator);
        if (f.size() != kColumns.size())
            throw error("oczekiwano " + std::to_string(kColumns.size()) + " pól rozdzielonych znakiem \"" +
                        std::string(1, separator) + "\", jest " + std::to_string(f.size()) + ".");
        StationRow row;
        row.line = lineNumber;
        row.network = f[0];
        row.station = f[1];
        row.location = f[2];
        row.channel = f[3];
        for (size_t k : {size_t(0), size_t(1), size_t(3)})
            if (f[k].empty()) throw error(std::string("puste pole ") + kColumns[k] + ".");
        double* coordinates[] = {&row.x, &row.y, &row.z};
        for (size_t k = 0; k < 3; ++k) {
            const std::string& value = f[4 + k];
            if (!TryStrToFloat(value, decimal, *coordinates[k]) || !std::isfinite(*coordinates[k]))
                throw error(std::string("wartość pola ") + kColumns[4 + k] + " \"" + value + "\" nie jest liczbą.");
        }
        if (f[7] != "0" && f[7] != "1")
            throw error("pole reversed musi mieć wartość 0 albo 1 (jest \"" + f[7] + "\").");
        row.reversed = f[7] == "1";

        const std::string id = row.network + "." + row.station + "." + row.location + "." + row.channel;
        const auto [at, added] = seen.emplace(id, lineNumber);
        if (!added)
            throw error("kanał " + id + " powtarza się (pierwszy raz w wierszu " + std::to_string(at->second) + ").");
        table.rows_.push_back(std::move(row));
    }
    return table;
}

StationTable StationTable::Read(const std::string& path) {
    std::string bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const std::exception& e) {
        throw StationTableError("Nie udało się odczytać tabeli stacji " + path + ": " + e.what());
    }
    return Parse(bytes, path);
}

const StationRow* StationTable::Find(const std::string& network, const std::string& station,
                                     const std::string& location, const std::string& channel) const {
    for (const StationRow& row : rows_)
        if (row.network == network && row.station == station && row.location == location && row.channel == channel)
            return &row;
    return nullptr;
}

std::vector<std::string> StationTableCandidates(const std::string& signalFile) {
    const std::string directory = DirectoryPart(signalFile);
    return {SignalFileStem(signalFile) + ".stations.csv",
            directory.empty() ? std::string("stations.csv") : directory + kPathSeparator + "stations.csv"};
}

}  // namespace dyma
