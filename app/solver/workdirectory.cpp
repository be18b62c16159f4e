#include "workdirectory.h"

#include "app/document/projectfile.h"
#include "app/solver/solverfiles.h"
#include "common/numberformat.h"
#include "common/qualityfile.h"
#include "common/textfile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace dyma {

namespace fs = std::filesystem;

namespace {

// The directory as the file system resolves it (symbolic links followed,
// "." and ".." removed, no trailing separator), so that two spellings of one
// folder compare equal.
fs::path Resolved(const std::string& dir) {
    std::error_code ec;
    fs::path p = fs::absolute(NativePath(dir), ec);
    if (ec) p = NativePath(dir);
    fs::path canonical = fs::weakly_canonical(p, ec);
    if (!ec) p = canonical;
    p = p.lexically_normal();
    if (p.has_relative_path() && p.filename().empty()) p = p.parent_path();
    return p;
}

bool SameDirectory(const fs::path& a, const std::string& guard) {
    if (guard.empty()) return false;
    const fs::path b = Resolved(guard);
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
#ifdef _WIN32
    return EqualsIgnoreCase(a.string(), b.string());
#else
    return a == b;
#endif
}

// The exchange files of the solver as NPF.PAR names them, and the solver.
constexpr const char* kSolverFiles[] = {kSolverExecutable, kDatFile, kNetFile, kParFile, kResFile, "NPF.PNY", "NPF.BIN",
                                        kQualityFileName};

bool IsSolverFile(const std::string& name) {
    return std::any_of(std::begin(kSolverFiles), std::end(kSolverFiles),
                       [&](const char* own) { return EqualsIgnoreCase(name, own); });
}

bool IsWholeNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "<name>.mbj.tmp" or "<name>.mbj.<n>.tmp" (any signal extension, any case).
bool IsSampleTable(const std::string& name) {
    if (name.size() < 5 || !EqualsIgnoreCase(name.substr(name.size() - 4), ".tmp")) return false;
    std::string stem = name.substr(0, name.size() - 4);
    const size_t dot = stem.rfind('.');
    if (dot != std::string::npos && IsWholeNumber(stem.substr(dot + 1))) stem.resize(dot);
    return IsSignalFileName(stem);
}

std::string Refused(const std::string& dir, const std::string& what) {
    return "Katalog plików tymczasowych " + dir + " nie został wyczyszczony, ponieważ jest to " + what +
           ". Zmień katalog plików tymczasowych w ustawieniach programu.";
}

}  // namespace

std::string UserHomeDirectory() {
#ifdef _WIN32
    const char* home = std::getenv("USERPROFILE");
#else
    const char* home = std::getenv("HOME");
#endif
    return home ? std::string(home) : std::string();
}

std::string CleanRefusal(const std::string& dir, const ProtectedDirectories& g) {
    if (Trim(dir).empty())
        return "Katalog plików tymczasowych nie jest ustawiony, więc nie został wyczyszczony. Zmień katalog plików "
               "tymczasowych w ustawieniach programu.";
    const fs::path p = Resolved(dir);
    if (!p.has_relative_path()) return Refused(dir, "katalog główny systemu plików");
    const std::pair<const std::string*, const char*> guarded[] = {
        {&g.home, "katalog domowy użytkownika"},
        {&g.program, "katalog programu"},
        {&g.repository, "katalog z kopią programu przetwarzającego"},
        {&g.seismograms, "katalog sejsmogramów"},
        {&g.output, "katalog plików wynikowych"},
    };
    for (const auto& [guard, what] : guarded)
        if (SameDirectory(p, *guard)) return Refused(dir, what);
    for (const std::string& document : g.openDocuments)
        if (!document.empty() && SameDirectory(p, Resolved(document).parent_path().string()))
            return Refused(dir, "katalog otwartego dokumentu " + document);
    return {};
}

bool IsOwnTemporaryFile(const std::string& name) {
    if (IsSolverFile(name) || IsSampleTable(name)) return true;
    // What WriteFileAtomic leaves of a solver file when stopped half-way.
    for (const char* own : kSolverFiles)
        if (IsTemporaryOf(name, own)) return true;
    return false;
}

CleanOutcome CleanTemporaryDirectory(const std::string& dir, const ProtectedDirectories& guarded,
                                     const std::function<void(const std::string&)>& progress,
                                     const std::function<bool(const std::string&)>& inUse) {
    CleanOutcome out;
    out.refusal = CleanRefusal(dir, guarded);
    if (!out.refusal.empty()) return out;
    out.cleaned = true;

    // List first, delete afterwards, as a file list box would: deleting
    // while iterating is not defined for every file system.
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(NativePath(dir), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || it->is_symlink(typeError)) continue;
        const std::string name = it->path().filename().string();
        if (IsOwnTemporaryFile(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());

    for (const std::string& name : names) {
        const std::string path = SolverPath(dir, name);
        if (inUse && inUse(path)) continue;
        std::error_code removeError;
        if (fs::remove(NativePath(path), removeError) && !removeError)
            ++out.deleted;
        else
            ++out.kept;
        if (progress) progress(path);
    }
    return out;
}

std::string SolverCopyFailedMessage() {
    return std::string("Program nie mógł skopiować pliku ") + kSolverExecutable + ". Przetwarzanie nie będzie możliwe.";
}

bool PlaceSolverExecutable(const std::string& repositoryDirectory, const std::string& workDirectory) {
    const std::string target = SolverPath(workDirectory, kSolverExecutable);
    if (FileExists(target)) return true;
    std::error_code ec;
    fs::copy_file(NativePath(SolverPath(repositoryDirectory, kSolverExecutable)), NativePath(target),
                  fs::copy_options::overwrite_existing, ec);
    return !ec;
}

}  // namespace dyma
