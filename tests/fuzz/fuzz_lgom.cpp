// The LGOM signal-file reader (.mbi, .min, .mbj) as the program uses it: the
// reader's constructor on a file of each extension, then the channel facts,
// every sample and the extremes. Promises: a file is read whole or rejected
// with the reader's own exceptions; the sample table is gone when the reader
// is (nothing is left beside the file); the extremes are those of the
// samples; a second read gives the same result.
#include "fuzzsupport.h"

#include "app/seismogram/channeltables.h"
#include "app/seismogram/signalchannels.h"
#include "common/textfile.h"
#include "lgsig/lgsig.h"
#include "tools/lgomgen/lgomgen.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using Quarnet::lgsig;

// Everything the program reads from an opened signal file.
struct Reading {
    bool ok = false;
    std::string error;  // class and text of the exception
    std::string format;
    int channels = 0;
    double start = 0, scale = 0;
    std::vector<double> facts, samples;

    bool operator==(const Reading&) const = default;
};


const char* KindOf(Quarnet::lgom::Layout layout, const std::string& extension) {
    switch (layout) {
    case Quarnet::lgom::Layout::MBI32: return "MBI32";
    case Quarnet::lgom::Layout::MIN32: return "MIN32";
    case Quarnet::lgom::Layout::V26: return extension == ".mbi" ? "MBI64" : "MIN64";
    case Quarnet::lgom::Layout::MBJ: return "MBJ";
    case Quarnet::lgom::Layout::None: break;
    }
    return nullptr;
}

bool NumbersEqual(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

Reading Read(const std::string& file, const std::string& table) {
    Reading out;
    std::unique_ptr<lgsig> reader;
    try {
        reader = std::make_unique<lgsig>(file, table);
    } catch (const Quarnet::QuaException& e) {
        out.error = dyma::ErrorClassName(e) + ": " + e.what();
    } catch (const std::runtime_error& e) {
        // The sample table's own failures (a file that cannot be written).
        out.error = std::string("std::runtime_error: ") + e.what();
    }
    if (!reader) {
        FUZZ_CHECK(!dyma::FileExists(table), "a rejected file leaves its sample table behind");
        return out;
    }
    FUZZ_CHECK(dyma::FileExists(table), "the sample table lives while the reader does");
    lgsig& r = *reader;
    out.ok = true;
    out.format = std::to_string(r.FormatCode) + " " + r.FormatName;
    out.channels = r.GetChannelCount();
    out.start = r.StartDateTime;
    out.scale = r.HeaderScale;
    FUZZ_CHECK(out.channels >= 1 && out.channels <= Kelo::kChannelSlots, "channel count " + std::to_string(out.channels));
    dyma::ApplyMeasuringRange(r, 5000);
    for (const dyma::ChannelFacts& c : dyma::ReadChannelFacts(r))
        for (double v : {double(c.Number), c.X, c.Y, c.Z, c.Factor1, c.Recounter, double(c.Exists)}) out.facts.push_back(v);
    const dyma::SignalFacts start = dyma::SignalFactsOf(r, file);
    out.facts.push_back(start.Date);
    out.facts.push_back(start.Time);
    for (int c = 0; c < out.channels; ++c) {
        const int length = r.GetChannelLength(c);
        FUZZ_CHECK(length >= 1, "channel " + std::to_string(c) + " has no samples");
        FUZZ_CHECK(r.GetSamplingRate(c) >= 1, "sampling rate below 1");
        double lowest = r.GetSample(c, 0), highest = lowest;
        for (int i = 0; i < length; ++i) {
            const double v = r.GetSample(c, i);
            FUZZ_CHECK(v == std::trunc(v) && v >= -32768 && v <= 32767, "a sample that is no 16-bit count");
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
            out.samples.push_back(v);
        }
        FUZZ_CHECK(r.GetSample(c, length) == 0.0 && r.GetSample(c, -1) == 0.0, "outside the record reads 0");
        FUZZ_CHECK(r.GetMinChannelValue(c) == lowest && r.GetMaxChannelValue(c) == highest,
                   "the extremes taken while reading differ from the samples' (channel " + std::to_string(c) + ")");
    }
    r.CalcMaxChnlVal();
    for (int c = 0; c < out.channels; ++c) {
        out.facts.push_back(r.GetMinChannelValue(c));
        out.facts.push_back(r.GetMaxChannelValue(c));
    }
    reader.reset();
    FUZZ_CHECK(!dyma::FileExists(table), "the sample table outlives its reader");
    return out;
}

bool Same(const Reading& a, const Reading& b) {
    if (a.ok != b.ok || a.error != b.error || a.format != b.format || a.channels != b.channels) return false;
    if (!NumbersEqual(a.start, b.start) || !NumbersEqual(a.scale, b.scale)) return false;
    if (a.facts.size() != b.facts.size() || a.samples != b.samples) return false;
    for (std::size_t i = 0; i < a.facts.size(); ++i)
        if (!NumbersEqual(a.facts[i], b.facts[i])) return false;
    return true;
}

}  // namespace

namespace dyma::fuzz {

std::vector<std::string> Kinds() { return {"MBI32", "MIN32", "MBI64", "MIN64", "MBJ"}; }

void WriteSeeds(Seeds& seeds) {
    // One small file of every identifier the reader knows, in its layout.
    int n = 0;
    for (const Quarnet::lgom::Identifier& row : Quarnet::lgom::kIdentifiers) {
        lgomgen::Signal s;
        switch (row.layout) {
        case Quarnet::lgom::Layout::MBI32: s.layout = lgomgen::Layout::MBI32; break;
        case Quarnet::lgom::Layout::MIN32: s.layout = lgomgen::Layout::MIN32; break;
        case Quarnet::lgom::Layout::V26:
            s.layout = row.extension == ".mbi" ? lgomgen::Layout::MBI64 : lgomgen::Layout::MIN64;
            break;
        default: s.layout = lgomgen::Layout::MBJ; break;
        }
        s.identifier = std::string(row.identifier);
        s.samplingRate = 500;
        s.start = {2024, 3, 14, 7, 42, 16, 125};
        s.channels.resize(3);
        for (int c = 0; c < 3; ++c) {
            lgomgen::Channel& ch = s.channels[static_cast<std::size_t>(c)];
            ch.component = s.layout == lgomgen::Layout::MBJ ? "z" : "Z";
            ch.name = "ST" + std::to_string(c + 1);
            ch.x = 1000.0 * (c + 1);
            ch.y = 2000.0;
            ch.z = 700.0;
            ch.active = c != 1;
        }
        s.samplesPerChannel = 16;
        s.source = [](int c, int i) { return static_cast<std::int16_t>((c + 1) * (i % 5 - 2) * 1000); };
        seeds.Add("seed" + std::to_string(n++) + lgomgen::FileExtension(s.layout), lgomgen::Encode(s));
    }
}

}  // namespace dyma::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const dyma::fuzz::Scratch& scratch = dyma::fuzz::ScratchFolder();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The reader tells layouts apart by the extension first: the same bytes
    // under each of the three.
    for (const std::string extension : {".mbi", ".min", ".mbj"}) {
        const std::string name = "signal" + extension;
        const std::string file = scratch.Write(name, bytes);
        const std::string table = scratch.File("signal.tmp");
        const Reading first = Read(file, table);
        FUZZ_CHECK(scratch.Listing() == std::set<std::string>{name}, "something was left beside the signal file");
        const Reading second = Read(file, table);
        FUZZ_CHECK(Same(first, second), "a second read of " + name + " differs from the first");
        if (first.ok) {
            const auto found = lgsig::Identify(extension, bytes.substr(0, std::min<std::size_t>(bytes.size(), 30)));
            if (const char* kind = KindOf(found.layout, extension)) dyma::fuzz::Reached(kind);
        }
        scratch.Clear();
    }
    return 0;
}
