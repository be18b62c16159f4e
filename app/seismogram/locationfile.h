// The event location file (".dbs"): one fixed-size little-endian record of
// the mine's event database. Its length tells the layout; any other length
// is not a location file and reads nothing. The data page turns a record into
// note lines, the print preview into key/value entries.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dyma {

inline constexpr size_t kLocationLayoutShort = 3446;
inline constexpr size_t kLocationLayoutNoType = 3450;  // has no event type
inline constexpr size_t kLocationLayoutLong = 6712;

struct LocationRecord {
    size_t layout = kLocationLayoutShort;  // the file length that selected the layout
    std::string Data, Czas, Oddzial;       // texts, trimmed
    int TypZjawiska = 0;                   // not in the 3450-byte layout
    double X = 0, Y = 0, Z = 0, T0 = 0, Energia = 0;
    std::string Notatki, Rejon;

    bool HasEventType() const { return layout != kLocationLayoutNoType; }
};

// A record from the bytes of a whole file; nothing for a length that is not
// one of the three layouts.
std::optional<LocationRecord> DecodeLocationRecord(std::string_view bytes);
// The file read whole; nothing for another length or a file that cannot be
// read. Never throws.
std::optional<LocationRecord> ReadLocationFile(const std::string& path);

// The bytes of a record in its layout (zeros between the fields, texts in
// code page 1250 padded with blanks and cut to their width): the tests and
// the example generator write location files with it.
std::string EncodeLocationRecord(const LocationRecord& record);

// The lines the data page appends to the notes: "Data: ", "Czas: ",
// "Oddział: ", "Typ zjawiska: " (not in the 3450-byte layout), "Energia: ",
// "T0: ", "Notatki: ", "Rejon: ".
std::vector<std::string> LocationNoteLines(const LocationRecord& record, char decimalSeparator);

struct LocationEntry {
    std::string key, value;
};
// The entries of the print preview's list, keys in their fixed order.
std::vector<LocationEntry> LocationEntries(const LocationRecord& record, char decimalSeparator);

}  // namespace dyma
