#include "locationfile.h"

#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/textfile.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>

namespace dyma {

namespace {

struct TextField {
    size_t offset, width;
};

// Byte offsets of the fields in each layout; the 3450-byte layout has no
// event type and a five-character area.
struct Layout {
    size_t length;
    TextField data, czas, oddzial;
    std::optional<size_t> eventType;
    size_t x, y, z, t0, energia;
    TextField notatki, rejon;
    const char* t0Format;
};

constexpr Layout kLayouts[] = {
    {kLocationLayoutShort, {44, 8}, {53, 8}, {62, 6}, 69, 70, 78, 86, 94, 670, {2374, 15}, {2415, 4}, "0.00"},
    {kLocationLayoutNoType, {45, 8}, {54, 8}, {67, 6}, std::nullopt, 74, 82, 90, 98, 674, {2378, 15}, {2419, 5}, "0.00"},
    {kLocationLayoutLong, {44, 8}, {53, 8}, {62, 6}, 69, 70, 78, 86, 94, 1214, {4614, 15}, {4655, 4}, "0.000"},
};

const Layout* LayoutOfLength(size_t length) {
    for (const Layout& l : kLayouts)
        if (l.length == length) return &l;
    return nullptr;
}

// Fixed-width character arrays end at their first NUL or at their width;
// blanks around the text are not part of it.
std::string ReadText(std::string_view bytes, TextField f) {
    std::string_view raw = bytes.substr(f.offset, f.width);
    raw = raw.substr(0, raw.find('\0'));
    return Trim(Cp1250ToUtf8(raw));
}

double ReadDouble(std::string_view bytes, size_t offset) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
    return std::bit_cast<double>(bits);
}

void WriteText(std::string& bytes, TextField f, const std::string& utf8) {
    std::string text = Utf8ToCp1250(utf8).substr(0, f.width);
    text.resize(f.width, ' ');
    bytes.replace(f.offset, f.width, text);
}

void WriteDouble(std::string& bytes, size_t offset, double v) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    for (size_t i = 0; i < 8; ++i, bits >>= 8) bytes[offset + i] = static_cast<char>(bits & 0xFF);
}

std::string Energy(const LocationRecord& r, char sep) { return FormatFloat("0.00e+00", r.Energia, sep); }
std::string StartTime(const LocationRecord& r, char sep) {
    const Layout* l = LayoutOfLength(r.layout);
    return FormatFloat(l ? l->t0Format : "0.00", r.T0, sep);
}

}  // namespace

std::optional<LocationRecord> DecodeLocationRecord(std::string_view bytes) {
    const Layout* l = LayoutOfLength(bytes.size());
    if (!l) return std::nullopt;
    LocationRecord r;
    r.layout = l->length;
    r.Data = ReadText(bytes, l->data);
    r.Czas = ReadText(bytes, l->czas);
    r.Oddzial = ReadText(bytes, l->oddzial);
    if (l->eventType) r.TypZjawiska = static_cast<unsigned char>(bytes[*l->eventType]);
    r.X = ReadDouble(bytes, l->x);
    r.Y = ReadDouble(bytes, l->y);
    r.Z = ReadDouble(bytes, l->z);
    r.T0 = ReadDouble(bytes, l->t0);
    r.Energia = ReadDouble(bytes, l->energia);
    r.Notatki = ReadText(bytes, l->notatki);
    r.Rejon = ReadText(bytes, l->rejon);
    return r;
}

std::optional<LocationRecord> ReadLocationFile(const std::string& path) {
    try {
        // Look at the length first, so that a large file of another kind is
        // never read into memory.
        std::error_code ec;
        const auto length = std::filesystem::file_size(NativePath(path), ec);
        if (ec || !LayoutOfLength(static_cast<size_t>(length))) return std::nullopt;
        return DecodeLocationRecord(ReadFileBytes(path));
    } catch (...) {
        return std::nullopt;
    }
}

std::string EncodeLocationRecord(const LocationRecord& r) {
    const Layout* l = LayoutOfLength(r.layout);
    if (!l) return {};
    std::string bytes(l->length, '\0');
    WriteText(bytes, l->data, r.Data);
    WriteText(bytes, l->czas, r.Czas);
    WriteText(bytes, l->oddzial, r.Oddzial);
    if (l->eventType) bytes[*l->eventType] = static_cast<char>(r.TypZjawiska & 0xFF);
    WriteDouble(bytes, l->x, r.X);
    WriteDouble(bytes, l->y, r.Y);
    WriteDouble(bytes, l->z, r.Z);
    WriteDouble(bytes, l->t0, r.T0);
    WriteDouble(bytes, l->energia, r.Energia);
    WriteText(bytes, l->notatki, r.Notatki);
    WriteText(bytes, l->rejon, r.Rejon);
    return bytes;
}

std::vector<std::string> LocationNoteLines(const LocationRecord& r, char sep) {
    std::vector<std::string> lines{"Data: " + r.Data, "Czas: " + r.Czas, "Oddział: " + r.Oddzial};
    if (r.HasEventType()) lines.push_back("Typ zjawiska: " + std::to_string(r.TypZjawiska));
    lines.push_back("Energia: " + Energy(r, sep));
    lines.push_back("T0: " + StartTime(r, sep));
    lines.push_back("Notatki: " + r.Notatki);
    lines.push_back("Rejon: " + r.Rejon);
    return lines;
}

std::vector<LocationEntry> LocationEntries(const LocationRecord& r, char sep) {
    std::vector<LocationEntry> out{{"Data", r.Data}, {"Czas", r.Czas}, {"Oddział", r.Oddzial}};
    if (r.HasEventType()) out.push_back({"Typ zjawiska", std::to_string(r.TypZjawiska)});
    out.push_back({"X", FloatToStr(r.X, sep)});
    out.push_back({"Y", FloatToStr(r.Y, sep)});
    out.push_back({"Z", FloatToStr(r.Z, sep)});
    out.push_back({"Energia", Energy(r, sep)});
    out.push_back({"T0", StartTime(r, sep)});
    out.push_back({"Notatki", r.Notatki});
    out.push_back({"Rejon", r.Rejon});
    return out;
}

}  // namespace dyma
