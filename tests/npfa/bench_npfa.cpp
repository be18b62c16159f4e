// One full solver run for 96 picks, as the program starts it: NPF.PAR, DAT
// and NET read, the search, the acceptable set and its spread, NPF.PNY and
// NPF.RES written. The event is a mine network (60 % direct waves, 20 %
// each seam wave) with 10 % of the polarities reversed, as operators' picks
// are; several seeds, since the work depends on the mechanism.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

#include "npfa/solverrun.h"
#include "tools/focalsynth/focalsynth.h"

namespace {

void FullRun96Picks(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("bench-npfa-" + std::to_string(state.range(0)));
    fs::create_directories(dir);
    std::mt19937 rng(static_cast<unsigned>(state.range(0)));
    dyma::synth::Options o;
    o.stations = 96;
    o.flipShare = 0.1;
    dyma::synth::WriteEvent(dir.string(), dyma::synth::MakeEvent(dyma::synth::RandomMechanism(rng), o, rng));
    for (auto _ : state) {
        std::ostringstream err;
        if (dyma::npfa::RunSolver(dir.string(), err) != 0) state.SkipWithError(err.str().c_str());
    }
    fs::remove_all(dir);
}
BENCHMARK(FullRun96Picks)->DenseRange(1, 5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
