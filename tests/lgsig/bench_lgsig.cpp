// Reading a large MBJ file (64 channels, 120 s at 1000 Hz) against the floor
// of the disk-table design: one plain sequential write of the table's bytes
// (8 per sample) to a temporary file. The write of the file's own bytes (2 per
// sample) is shown as well.
#include "lgsig/lgsig.h"
#include "tests/support/tempdir.h"
#include "tools/lgomgen/lgomgen.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int kChannels = 64;
constexpr int kSamples = 120 * 1000;

struct Fixture {
    Fixture() {
        lgomgen::Signal s;
        s.layout = lgomgen::Layout::MBJ;
        s.samplingRate = 1000.0;
        s.channels.resize(kChannels);
        for (int c = 0; c < kChannels; ++c) s.channels[c].x = 1000.0 + c;
        s.samplesPerChannel = kSamples;
        s.source = [](int c, int i) { return static_cast<std::int16_t>((i * 7 + c * 13) % 20001 - 10000); };
        lgomgen::Write(file, s);
    }
    dyma::test::TempDir dir;
    std::string file = dir.File("big.mbj");
    std::string temp = dir.File("big.mbj.tmp");
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_ReadMbj(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        Quarnet::lgsig reader(f.file, f.temp);
        benchmark::DoNotOptimize(reader.GetMaxChannelValue(kChannels - 1));
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{kChannels} * kSamples * 8);
}
BENCHMARK(BM_ReadMbj)->Unit(benchmark::kMillisecond);

void BM_SequentialWrite(benchmark::State& state) {
    Fixture& f = TheFixture();
    const std::int64_t total = state.range(0);
    std::vector<char> chunk(1 << 20, 0);
    for (auto _ : state) {
        const int fd = ::open(f.temp.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        for (std::int64_t done = 0; done < total;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(total - done, chunk.size()));
            if (::write(fd, chunk.data(), n) != static_cast<ssize_t>(n)) state.SkipWithError("write failed");
            done += static_cast<std::int64_t>(n);
        }
        ::close(fd);
        std::remove(f.temp.c_str());
    }
    state.SetBytesProcessed(state.iterations() * total);
}
BENCHMARK(BM_SequentialWrite)
    ->Arg(std::int64_t{kChannels} * kSamples * 8)   // the table's bytes
    ->Arg(std::int64_t{kChannels} * kSamples * 2)   // the signal file's sample bytes
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
