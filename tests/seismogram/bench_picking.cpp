// The onset suggestions of a long record: 64 channels of 120 s at 1000 Hz
// (generated with known onsets in coloured noise with hum), every channel
// band-passed, triggered, AIC-picked and its first motion read; and the
// whole of what "dyma picks" does after it starts: the file read through
// the program's reader, then the suggestions.
#include "app/seismogram/bandpass.h"
#include "app/seismogram/onsetpicker.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "support/tempdir.h"
#include "tools/lgomgen/onsetrecord.h"

#include <benchmark/benchmark.h>

using namespace dyma;
using namespace dyma::picking;

namespace {

lgomgen::OnsetRecordSettings LongRecord() {
    lgomgen::OnsetRecordSettings settings;
    settings.rateHz = 1000;
    settings.seconds = 120;
    settings.channels = 64;
    settings.firstOnset = 20;
    settings.lastOnset = 100;
    settings.seed = 64;
    return settings;
}

const std::vector<lgomgen::OnsetTrace>& Traces() {
    static const std::vector<lgomgen::OnsetTrace> traces = lgomgen::MakeOnsetTraces(LongRecord());
    return traces;
}

void SuggestionsOfEveryChannel(benchmark::State& state) {
    const auto& traces = Traces();  // generated before the timing starts
    for (auto _ : state) {
        int found = 0;
        for (const lgomgen::OnsetTrace& t : traces) found += SuggestOnset(t.samples, 1000).found;
        benchmark::DoNotOptimize(found);
    }
    state.counters["channels"] = double(traces.size());
}
BENCHMARK(SuggestionsOfEveryChannel)->Unit(benchmark::kMillisecond);

void ViewFilterOfOneChannel(benchmark::State& state) {
    const BandPassSettings settings{int(state.range(0)), 5, 45};
    Traces();
    for (auto _ : state) benchmark::DoNotOptimize(ViewTrace(Traces().front().samples, 1000, &settings));
}
BENCHMARK(ViewFilterOfOneChannel)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

void ReadAndSuggest(benchmark::State& state) {
    test::TempDir dir;
    const std::string file = dir.File("long.mbj");
    lgomgen::Write(file, lgomgen::OnsetRecordSignal(Traces(), LongRecord()));
    for (auto _ : state) {
        OpenedSignal opened = OpenSignalFile(file, dir.File("long.table"));
        int found = 0;
        for (int c = 0; c < 64; ++c) found += SuggestOnset(ReadChannelSamples(*opened.signal, c), 1000).found;
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(ReadAndSuggest)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
