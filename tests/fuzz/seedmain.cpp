// seeds_NAME FOLDER: writes the harness's seed corpus into FOLDER, runs the
// harness once on every seed (a broken promise aborts, as under the fuzzer)
// and fails when the seeds leave a kind of the reader unreached.
#include "fuzzsupport.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    dyma::fuzz::Seeds seeds(argv[1]);
    dyma::fuzz::WriteSeeds(seeds);
    for (const std::string& name : seeds.Names()) {
        const std::string bytes = dyma::fuzz::ReadBytes((seeds.Folder() / name).string());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    int missing = 0;
    for (const std::string& kind : dyma::fuzz::Kinds()) {
        if (dyma::fuzz::ReachedKinds().count(kind)) continue;
        std::fprintf(stderr, "%s: no seed reaches \"%s\"\n", argv[0], kind.c_str());
        ++missing;
    }
    return missing == 0 ? 0 : 1;
}
