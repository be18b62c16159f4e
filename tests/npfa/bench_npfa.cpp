// Full solver runs as the program makes them: NPFA.EXE started as a process
// in a working directory with NPF.PAR, DAT and NET, the search, the
// acceptable set and its errors, NPF.PNY, NPF.ACC and NPF.RES written.
// Mine networks (60 % direct waves, 20 % each seam wave) with 10 % of the
// polarities reversed, as operators' picks are; several seeds, since the
// work depends on the mechanism. The seventh line of NPF.PAR switches the
// ray trials off ("0,0") or leaves the solver's 30 trials on.
//
// Also the same run in-process (RunSolver), which leaves out the process
// start.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "common/textfile.h"
#include "npfa/solverrun.h"
#include "tools/focalsynth/focalsynth.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path PrepareEvent(const std::string& name, int picks, unsigned seed, bool trials) {
    const fs::path dir = fs::temp_directory_path() / ("bench-npfa-" + name + "-" + std::to_string(seed));
    fs::create_directories(dir);
    std::mt19937 rng(seed);
    dyma::synth::Options o;
    o.stations = picks;
    o.flipShare = 0.1;
    dyma::synth::WriteEvent(dir.string(), dyma::synth::MakeEvent(dyma::synth::RandomMechanism(rng), o, rng));
    std::vector<std::string> par = dyma::synth::ParLines();
    if (!trials) par.push_back("0,0");
    dyma::WriteTextLines((dir / "NPF.PAR").string(), par);
    return dir;
}

// state.range(0): picks, range(1): seed, range(2): 1 with the ray trials.
void ProcessRun(benchmark::State& state) {
    const fs::path dir = PrepareEvent("process", static_cast<int>(state.range(0)),
                                      static_cast<unsigned>(state.range(1)), state.range(2) != 0);
    // Started directly, as the program's QProcess starts it: a shell in
    // between would add its own start to every run.
    std::string program = DYMA_SOLVER_EXE, folder = dir.string();
    char* argv[] = {program.data(), folder.data(), nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    // Every fresh page a process touches costs it a fault (some 16 us on a
    // virtual machine), so the faults per run are reported beside the time.
    long faults = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        rusage usage{};
        if (posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv, environ) != 0 ||
            wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("NPFA.EXE failed");
        faults += usage.ru_minflt + usage.ru_majflt;
    }
    state.counters["page_faults"] = benchmark::Counter(static_cast<double>(faults), benchmark::Counter::kAvgIterations);
    posix_spawn_file_actions_destroy(&quiet);
    fs::remove_all(dir);
}

void InProcessRun(benchmark::State& state) {
    const fs::path dir = PrepareEvent("inprocess", static_cast<int>(state.range(0)),
                                      static_cast<unsigned>(state.range(1)), state.range(2) != 0);
    for (auto _ : state) {
        std::ostringstream err;
        if (dyma::npfa::RunSolver(dir.string(), err) != 0) state.SkipWithError(err.str().c_str());
    }
    fs::remove_all(dir);
}

void Cases(benchmark::internal::Benchmark* b) {
    for (long seed = 1; seed <= 3; ++seed) {
        b->Args({96, seed, 0});
        b->Args({8, seed, 0});
        b->Args({96, seed, 1});
        b->Args({8, seed, 1});
    }
}

BENCHMARK(ProcessRun)->Apply(Cases)->ArgNames({"picks", "seed", "trials"})->Unit(benchmark::kMillisecond);
BENCHMARK(InProcessRun)->Apply(Cases)->ArgNames({"picks", "seed", "trials"})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
