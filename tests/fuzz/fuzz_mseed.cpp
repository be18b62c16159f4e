// The miniSEED reader as the program uses it: the one open function on a
// record with its station table beside it, then the channel facts, every
// sample, the filled-in stretches and the extremes. Promises: a record is
// read whole or refused with the reader's own exceptions; the sample table
// is gone when the reader is (nothing is left beside the record); every
// channel is as long as the others; a filled-in stretch holds the value
// before it (the first value after it at the start); the channels the table
// places are active and the others listed as without coordinates; the
// extremes are those of the samples; a second read gives the same result.
#include "fuzzsupport.h"

#include "app/seismogram/channeltables.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "app/seismogram/stationtable.h"
#include "common/textfile.h"
#include "lgsig/quaexception.h"
#include "mseedsig/mseedsig.h"
#include "tools/mseedgen/mseedgen.h"

#include <libmseed.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// The streams the station table beside every input places: those of the
// seeds but one (which stays without coordinates).
constexpr char kStationTable[] =
    "network,station,location,channel,x,y,z,reversed\r\n"
    "PL,STA01,,HHZ,24750.0,-755.0,-820.0,0\r\n"
    "PL,STA02,00,HHN,24810.5,-690.25,-790.0,1\r\n"
    "PL,STA03,,EHZ,24700.0,-800.0,-805.5,0\r\n";

struct Reading {
    bool ok = false;
    std::string error;  // class and text of the exception
    std::string format;
    int channels = 0;
    std::vector<std::string> streams, withoutStation;
    std::vector<double> facts, samples;
    std::vector<int> spans;
};

bool NumbersEqual(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

bool Same(const Reading& a, const Reading& b) {
    if (a.ok != b.ok || a.error != b.error || a.format != b.format || a.channels != b.channels ||
        a.streams != b.streams || a.withoutStation != b.withoutStation || a.spans != b.spans ||
        a.facts.size() != b.facts.size() || a.samples.size() != b.samples.size())
        return false;
    for (std::size_t i = 0; i < a.facts.size(); ++i)
        if (!NumbersEqual(a.facts[i], b.facts[i])) return false;
    for (std::size_t i = 0; i < a.samples.size(); ++i)
        if (!NumbersEqual(a.samples[i], b.samples[i])) return false;
    return true;
}

Reading Read(const std::string& file, const std::string& table, const dyma::StationTable& stations) {
    Reading out;
    dyma::OpenedSignal opened;
    try {
        opened = dyma::OpenSignalFile(file, table);
    } catch (const Quarnet::QuaException& e) {
        out.error = dyma::ErrorClassName(e) + ": " + e.what();
    } catch (const std::runtime_error& e) {
        // The sample table's own failures (a file that cannot be written).
        out.error = std::string("std::runtime_error: ") + e.what();
    }
    if (!opened.signal) {
        FUZZ_CHECK(!dyma::FileExists(table), "a refused record leaves its sample table behind");
        return out;
    }
    FUZZ_CHECK(dyma::FileExists(table), "the sample table lives while the reader does");
    FUZZ_CHECK(opened.miniSeed, "a file named .mseed read by another reader");
    auto* reader = dynamic_cast<Quarnet::mseedsig*>(opened.signal.get());
    FUZZ_CHECK(reader != nullptr, "the open function gave no miniSEED reader for a miniSEED record");
    Quarnet::mseedsig& r = *reader;
    out.ok = true;
    out.format = std::to_string(r.FormatCode) + " " + r.FormatName;
    out.channels = r.GetChannelCount();
    out.withoutStation = opened.withoutStation;
    FUZZ_CHECK(out.channels >= 1 && out.channels <= Kelo::kChannelSlots, "channel count " + std::to_string(out.channels));

    // The table places exactly the streams it names.
    std::vector<std::string> unplaced;
    for (int c = 0; c < out.channels; ++c) {
        const Quarnet::SeedStream& s = r.Stream(c);
        out.streams.push_back(s.Id());
        const dyma::StationRow* row = stations.Find(s.network, s.station, s.location, s.channel);
        FUZZ_CHECK(r.HasStation(c) == (row != nullptr), "stream " + s.Id() + " placed against its table");
        FUZZ_CHECK(r.GetChannelActive(c) == (row != nullptr), "stream " + s.Id() + " active without a place");
        if (row) {
            FUZZ_CHECK(r.Reversed(c) == row->reversed, "stream " + s.Id() + " reversal differs from its table");
        } else {
            unplaced.push_back(s.Id());
        }
    }
    FUZZ_CHECK(unplaced == opened.withoutStation, "the streams listed without coordinates differ from the table's");
    FUZZ_CHECK(std::set<std::string>(out.streams.begin(), out.streams.end()).size() == out.streams.size(),
               "one stream read as two channels");

    for (const dyma::ChannelFacts& c : dyma::ReadChannelFacts(r))
        for (double v : {double(c.Number), c.X, c.Y, c.Z, c.Factor1, c.Recounter, double(c.Exists)}) out.facts.push_back(v);
    const dyma::SignalFacts start = dyma::SignalFactsOf(r, file);
    out.facts.push_back(start.Date);
    out.facts.push_back(start.Time);
    FUZZ_CHECK(start.Time >= 0 && start.Time < 1, "a start time outside its day");

    const int length = r.GetChannelLength(0);
    FUZZ_CHECK(length >= 1, "a channel without samples");
    const int rate = r.GetSamplingRate(0);
    FUZZ_CHECK(rate >= 1 && rate <= 1000000, "sampling rate " + std::to_string(rate));
    for (int c = 0; c < out.channels; ++c) {
        FUZZ_CHECK(r.GetChannelLength(c) == length, "channels of different lengths");
        FUZZ_CHECK(r.GetSamplingRate(c) == rate, "channels of different rates");
        std::vector<double> samples(static_cast<std::size_t>(length));
        double lowest = INFINITY, highest = -INFINITY;
        bool numbers = true;  // float records may hold NaN, which has no order
        for (int i = 0; i < length; ++i) {
            const double v = r.GetSample(c, i);
            samples[static_cast<std::size_t>(i)] = v;
            numbers = numbers && !std::isnan(v);
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        out.samples.insert(out.samples.end(), samples.begin(), samples.end());
        FUZZ_CHECK(r.GetSample(c, length) == 0.0 && r.GetSample(c, -1) == 0.0, "outside the record reads 0");

        // The filled-in stretches: in order, apart, inside the channel, not
        // all of it, and holding the value beside them.
        const std::vector<dyma::SampleSpan> spans = dyma::FilledSpans(r, c);
        int filled = 0, after = 0;
        for (const dyma::SampleSpan& s : spans) {
            FUZZ_CHECK(s.first >= after && s.first < s.end && s.end <= length,
                       "a filled stretch out of order or outside the channel");
            const double held = s.first > 0 ? samples[static_cast<std::size_t>(s.first - 1)]
                                             : s.end < length ? samples[static_cast<std::size_t>(s.end)] : NAN;
            for (int i = s.first; i < s.end; ++i)
                FUZZ_CHECK(NumbersEqual(samples[static_cast<std::size_t>(i)], held),
                           "a filled stretch that does not hold the value beside it");
            filled += s.end - s.first;
            after = s.end;
            out.spans.push_back(s.first);
            out.spans.push_back(s.end);
        }
        out.spans.push_back(-1);
        FUZZ_CHECK(filled < length, "a channel that is filled in only");
        if (filled > 0) dyma::fuzz::Reached("filled stretch");

        r.CalcMaxChnlVal();
        if (numbers)
            FUZZ_CHECK(r.GetMinChannelValue(c) == lowest && r.GetMaxChannelValue(c) == highest,
                       "the extremes differ from the samples' (channel " + std::to_string(c) + ")");
    }
    if (out.channels > 1) dyma::fuzz::Reached("several streams");
    opened.signal.reset();
    FUZZ_CHECK(!dyma::FileExists(table), "the sample table outlives its reader");
    return out;
}

// The encodings of the records of a file the reader took whole, as libmseed
// parses them.
void MarkEncodings(std::string bytes) {
    MSRecord* record = nullptr;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const int result = msr_parse(bytes.data() + at, static_cast<int>(bytes.size() - at), &record, -1,
                                     /*dataflag*/ 0, /*verbose*/ 0);
        if (result != MS_NOERROR || !record || record->reclen <= 0) break;
        switch (record->encoding) {
        case DE_INT16: dyma::fuzz::Reached("INT16"); break;
        case DE_INT32: dyma::fuzz::Reached("INT32"); break;
        case DE_FLOAT32: dyma::fuzz::Reached("FLOAT32"); break;
        case DE_FLOAT64: dyma::fuzz::Reached("FLOAT64"); break;
        case DE_STEIM1: dyma::fuzz::Reached("STEIM1"); break;
        case DE_STEIM2: dyma::fuzz::Reached("STEIM2"); break;
        case DE_ASCII: dyma::fuzz::Reached("text record"); break;
        default: break;
        }
        at += static_cast<std::size_t>(record->reclen);
    }
    msr_free(&record);
}

std::vector<double> Wave(int count, double amplitude, int period, double offset = 0) {
    std::vector<double> out;
    for (int i = 0; i < count; ++i) out.push_back(std::round(offset + amplitude * std::sin(6.283185307179586 * i / period)));
    return out;
}

}  // namespace

namespace dyma::fuzz {

std::vector<std::string> Kinds() {
    return {"INT16", "INT32", "FLOAT32", "FLOAT64", "STEIM1", "STEIM2", "text record", "several streams",
            "filled stretch"};
}

void WriteSeeds(Seeds& seeds) {
    using mseedgen::Encoding;
    const std::int64_t start = mseedgen::Time(2024, 3, 14, 7, 42, 16, 123456);
    auto trace = [&](Encoding encoding, std::vector<double> samples, std::int64_t begin = 0) {
        mseedgen::Trace t;
        t.start = begin ? begin : start;
        t.rate = 250;
        t.encoding = encoding;
        t.recordLength = 256;
        t.samples = std::move(samples);
        return t;
    };
    // One stream in every encoding that carries samples.
    int n = 0;
    for (Encoding e : {Encoding::Int16, Encoding::Int32, Encoding::Float32, Encoding::Float64, Encoding::Steim1,
                       Encoding::Steim2}) {
        std::vector<double> samples = Wave(150, e == Encoding::Int16 ? 3000 : 70000, 37);
        if (e == Encoding::Float32 || e == Encoding::Float64)
            for (double& v : samples) v += 0.25;
        seeds.Add("seed" + std::to_string(n++) + "-" + mseedgen::EncodingName(e) + ".mseed",
                  mseedgen::Pack({trace(e, samples)}));
    }
    // Three streams as a recorder writes them, a record of each in turn:
    // one placed by the table with a gap, one starting later, one the table
    // does not know; and a log record among them.
    mseedgen::Trace z = trace(Encoding::Steim2, Wave(200, 5000, 23));
    mseedgen::Trace z2 = trace(Encoding::Steim2, Wave(120, 5000, 23, 7), start + 1200 * 4000);
    mseedgen::Trace n2 = trace(Encoding::Steim1, Wave(260, 800, 41));
    n2.station = "STA02";
    n2.location = "00";
    n2.channel = "HHN";
    n2.start = start + 12000;  // 3 samples later
    mseedgen::Trace e = trace(Encoding::Int32, Wave(300, 120000, 53));
    e.station = "STA09";
    e.channel = "HHE";
    mseedgen::Trace log = trace(Encoding::Text, {});
    for (char c : std::string("Wstrzas zarejestrowany")) log.samples.push_back(c);
    seeds.Add("seed" + std::to_string(n++) + "-streams.mseed", mseedgen::Pack({z, n2, e, z2, log}, true));
}

}  // namespace dyma::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const dyma::fuzz::Scratch& scratch = dyma::fuzz::ScratchFolder();
    static const dyma::StationTable stations = dyma::StationTable::Parse(kStationTable, "tremor.stations.csv");
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string file = scratch.Write("tremor.mseed", bytes);
    scratch.Write("tremor.stations.csv", kStationTable);
    const std::string table = scratch.File("tremor.tmp");
    const std::set<std::string> before = scratch.Listing();
    const Reading first = Read(file, table, stations);
    FUZZ_CHECK(scratch.Listing() == before, "something was left beside the record");
    const Reading second = Read(file, table, stations);
    FUZZ_CHECK(Same(first, second), "a second read of the record differs from the first");
    if (first.ok) MarkEncodings(bytes);
    scratch.Clear();
    return 0;
}
