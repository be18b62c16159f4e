// Reading a large miniSEED file, the same record as bench_lgsig's (64
// channels, 120 s at 1000 Hz), in Steim-2 records of 4096 bytes interleaved
// as a recorder writes them, and with a gap in every channel: libmseed's
// decoding, the alignment and the gap filling, and the sample table's writes.
#include "mseedsig/mseedsig.h"
#include "tests/support/tempdir.h"
#include "tools/mseedgen/mseedgen.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kChannels = 64;
constexpr int kSamples = 120 * 1000;

struct Fixture {
    Fixture() {
        std::vector<mseedgen::Trace> traces;
        const std::int64_t start = mseedgen::Time(2024, 3, 14, 7, 42, 16, 0);
        for (int c = 0; c < kChannels; ++c) {
            mseedgen::Trace t;
            t.station = "S" + std::to_string(c);
            t.rate = 1000;
            t.recordLength = 4096;
            t.start = start;
            for (int i = 0; i < kSamples; ++i) t.samples.push_back((i * 7 + c * 13) % 20001 - 10000);
            // One second missing in the middle of every channel.
            mseedgen::Trace later = t;
            t.samples.resize(kSamples / 2);
            later.samples.erase(later.samples.begin(), later.samples.begin() + kSamples / 2 + 1000);
            later.start = start + std::int64_t(kSamples / 2 + 1000) * 1000;
            traces.push_back(t);
            traces.push_back(later);
        }
        mseedgen::WriteFile(file, traces, /*interleaved*/ true);
    }
    dyma::test::TempDir dir;
    std::string file = dir.File("big.mseed");
    std::string temp = dir.File("big.mseed.tmp");
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_ReadMiniSeed(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        Quarnet::mseedsig reader(f.file, f.temp);
        benchmark::DoNotOptimize(reader.GetMaxChannelValue(kChannels - 1));
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{kChannels} * kSamples * 8);
}
BENCHMARK(BM_ReadMiniSeed)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
