// What every fuzz harness shares. A harness is one source file that defines
//
//   extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
//   std::vector<std::string> dyma::fuzz::Kinds();     // what its reader tells apart
//   void dyma::fuzz::WriteSeeds(dyma::fuzz::Seeds&);  // its seed corpus
//
// and calls the functions the program calls on one input, checks the
// reader's promises with FUZZ_CHECK and marks the kind of input it reached
// with Reached(kind). The build links it twice: with libFuzzer (fuzz_NAME),
// and with seedmain.cpp into the program that writes the seed corpus and
// checks that the seeds pass and reach every kind (seeds_NAME).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace dyma::fuzz {

// The seed corpus of one harness: files in one folder.
class Seeds {
public:
    explicit Seeds(std::filesystem::path folder);
    void Add(const std::string& name, const std::string& bytes);
    const std::vector<std::string>& Names() const { return names_; }
    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::vector<std::string> names_;
};

// Defined by each harness.
std::vector<std::string> Kinds();
void WriteSeeds(Seeds& seeds);

// Notes that an input of this kind (one of Kinds()) was read. With the
// environment variable DYMA_FUZZ_KINDS naming a file, every declared kind
// is written there whenever a new one is reached, one a line: "+ kind" when
// reached, "- kind" when not.
void Reached(const std::string& kind);
const std::set<std::string>& ReachedKinds();

// A broken promise: the input is saved by libFuzzer as a crash.
[[noreturn]] void Fail(const char* file, int line, const char* condition, const std::string& what);
#define FUZZ_CHECK(condition, what)                                                  \
    do {                                                                             \
        if (!(condition)) ::dyma::fuzz::Fail(__FILE__, __LINE__, #condition, (what)); \
    } while (0)

// Inputs that stand for several files hold them one after another, each
// ended by a NUL byte; missing parts are empty.
std::vector<std::string> SplitParts(const std::uint8_t* data, std::size_t size, std::size_t parts);
std::string JoinParts(const std::vector<std::string>& parts);

// A folder of the harness process for the files of one input, empty
// between inputs.
class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string File(const std::string& name) const;
    std::string Write(const std::string& name, std::string_view bytes) const;
    // The names of everything in the folder.
    std::set<std::string> Listing() const;
    // Removes everything in the folder.
    void Clear() const;

private:
    std::filesystem::path path_;
};

// The one scratch folder of this process.
const Scratch& ScratchFolder();

std::string ReadBytes(const std::string& path);

}  // namespace dyma::fuzz
