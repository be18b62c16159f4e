// Writes a set of synthetic solver inputs: one folder per event, each with
// NPF.DAT, NPF.NET and NPF.PAR as the program writes them. The events differ
// in their mechanism, their number of stations, the share of the wave types,
// the network's shape and the share of reversed polarities, all drawn from
// the seed, so the same command writes the same files.
//
//   focalsynth FOLDER COUNT [SEED]
#include "common/textfile.h"
#include "tools/focalsynth/focalsynth.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

bool ParseCount(const char* text, unsigned long& value) {
    const std::string s(text);
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size();
}

}  // namespace

int main(int argc, char** argv) {
    unsigned long count = 0, seed = 1;
    if (argc < 3 || argc > 4 || !ParseCount(argv[2], count) || (argc == 4 && !ParseCount(argv[3], seed))) {
        std::fprintf(stderr, "usage: focalsynth FOLDER COUNT [SEED]\n");
        return 2;
    }
    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    std::uniform_int_distribution<int> stations(5, 60);
    std::uniform_real_distribution<double> share(0.0, 0.4);
    std::uniform_real_distribution<double> flips(0.0, 0.25);
    try {
        for (unsigned long i = 1; i <= count; ++i) {
            dyma::synth::Options options;
            options.stations = stations(rng);
            options.shareA = share(rng);
            options.shareB = share(rng);
            options.wholeSphere = i % 3 == 0;
            options.flipShare = i % 4 == 0 ? 0.0 : flips(rng);
            const dyma::synth::Event event =
                dyma::synth::MakeEvent(dyma::synth::RandomMechanism(rng), options, rng);
            char name[16];
            std::snprintf(name, sizeof name, "event%04lu", i);
            const std::filesystem::path folder = dyma::NativePath(argv[1]) / name;
            std::filesystem::create_directories(folder);
            dyma::synth::WriteEvent(folder.string(), event);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "focalsynth: %s\n", e.what());
        return 1;
    }
    return 0;
}
