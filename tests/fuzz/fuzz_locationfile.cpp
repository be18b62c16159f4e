// The event location file (.dbs) as the data page and the print preview
// read it: the record the file's length selects, the note lines and the
// preview's entries with either decimal separator. Promises: a file of any
// other length reads nothing; a second read gives the same record; the
// record written back in its layout reads as the same record.
#include "fuzzsupport.h"

#include "app/seismogram/locationfile.h"

#include <bit>
#include <cstdint>

namespace {

using dyma::LocationRecord;

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool Same(const LocationRecord& a, const LocationRecord& b) {
    return a.layout == b.layout && a.Data == b.Data && a.Czas == b.Czas && a.Oddzial == b.Oddzial &&
           a.TypZjawiska == b.TypZjawiska && SameBits(a.X, b.X) && SameBits(a.Y, b.Y) && SameBits(a.Z, b.Z) &&
           SameBits(a.T0, b.T0) && SameBits(a.Energia, b.Energia) && a.Notatki == b.Notatki && a.Rejon == b.Rejon;
}

std::vector<std::string> Shown(const LocationRecord& r) {
    std::vector<std::string> out;
    for (const char sep : {',', '.'}) {
        for (const std::string& line : dyma::LocationNoteLines(r, sep)) out.push_back(line);
        for (const dyma::LocationEntry& e : dyma::LocationEntries(r, sep)) out.push_back(e.key + "=" + e.value);
    }
    return out;
}

}  // namespace

namespace dyma::fuzz {

std::vector<std::string> Kinds() { return {"3446 bytes", "3450 bytes", "6712 bytes", "not a location file"}; }

void WriteSeeds(Seeds& seeds) {
    for (const std::size_t layout : {kLocationLayoutShort, kLocationLayoutNoType, kLocationLayoutLong}) {
        LocationRecord r;
        r.layout = layout;
        r.Data = "24.03.14";
        r.Czas = "07:42:16";
        r.Oddzial = "G-23";
        r.TypZjawiska = 2;
        r.X = 24612.5;
        r.Y = 17385.25;
        r.Z = -955;
        r.T0 = 16.125;
        r.Energia = 2.5e6;
        r.Notatki = "Wstrząs odczuwalny";
        r.Rejon = "XIV";
        seeds.Add("event" + std::to_string(layout) + ".dbs", EncodeLocationRecord(r));
    }
    seeds.Add("other.dbs", "not a location file");
}

}  // namespace dyma::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dyma;
    const fuzz::Scratch& scratch = fuzz::ScratchFolder();
    const std::string file = scratch.Write("event.dbs", std::string_view(reinterpret_cast<const char*>(data), size));
    const std::optional<LocationRecord> first = ReadLocationFile(file);
    const std::optional<LocationRecord> second = ReadLocationFile(file);
    FUZZ_CHECK(first.has_value() == second.has_value() && (!first || Same(*first, *second)), "a second read differs");
    if (!first) {
        FUZZ_CHECK(size != kLocationLayoutShort && size != kLocationLayoutNoType && size != kLocationLayoutLong,
                   "a file of a layout's length reads nothing");
        fuzz::Reached("not a location file");
        scratch.Clear();
        return 0;
    }
    FUZZ_CHECK(first->layout == size, "the layout is not the one of the file's length");
    fuzz::Reached(std::to_string(size) + " bytes");
    FUZZ_CHECK(Shown(*first) == Shown(*second), "the record is shown differently the second time");
    const std::string written = EncodeLocationRecord(*first);
    FUZZ_CHECK(written.size() == size, "the record written back has another length");
    const std::optional<LocationRecord> again = DecodeLocationRecord(written);
    FUZZ_CHECK(again && Same(*first, *again), "the record written back reads as another record");
    scratch.Clear();
    return 0;
}
