#include "fuzzsupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace dyma::fuzz {

namespace fs = std::filesystem;

Seeds::Seeds(fs::path folder) : folder_(std::move(folder)) { fs::create_directories(folder_); }

void Seeds::Add(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    names_.push_back(name);
}

namespace {

std::set<std::string>& Kinds_() {
    static std::set<std::string> reached;
    return reached;
}

}  // namespace

void Reached(const std::string& kind) {
    static const std::vector<std::string> known = Kinds();
    if (std::find(known.begin(), known.end(), kind) == known.end())
        Fail(__FILE__, __LINE__, "known kind", "the harness reached a kind it does not declare: " + kind);
    if (!Kinds_().insert(kind).second) return;
    // Every declared kind on a line of its own, "+ " when reached, "- "
    // when not (yet).
    if (const char* file = std::getenv("DYMA_FUZZ_KINDS")) {
        std::ofstream out(file, std::ios::trunc);
        for (const std::string& k : known) out << (Kinds_().count(k) ? "+ " : "- ") << k << '\n';
    }
}

const std::set<std::string>& ReachedKinds() { return Kinds_(); }

void Fail(const char* file, int line, const char* condition, const std::string& what) {
    std::fprintf(stderr, "\n==FUZZ CHECK FAILED== %s:%d: %s\n  %s\n", file, line, condition, what.c_str());
    std::fflush(stderr);
    std::abort();
}

std::vector<std::string> SplitParts(const std::uint8_t* data, std::size_t size, std::size_t parts) {
    std::vector<std::string> out(parts);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t at = 0;
    for (std::size_t k = 0; k < parts && at <= text.size(); ++k) {
        const std::size_t end = k + 1 == parts ? text.size() : std::min(text.find('\0', at), text.size());
        out[k] = std::string(text.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

std::string JoinParts(const std::vector<std::string>& parts) {
    std::string out;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        out += parts[k];
        if (k + 1 < parts.size()) out += '\0';
    }
    return out;
}

Scratch::Scratch() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("dyma-fuzz-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
}

Scratch::~Scratch() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string Scratch::File(const std::string& name) const { return (path_ / name).string(); }

std::string Scratch::Write(const std::string& name, std::string_view bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return File(name);
}

std::set<std::string> Scratch::Listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.insert(entry.path().filename().string());
    return names;
}

void Scratch::Clear() const {
    for (const auto& entry : fs::directory_iterator(path_)) fs::remove_all(entry.path());
}

const Scratch& ScratchFolder() {
    static const Scratch scratch;
    return scratch;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace dyma::fuzz
