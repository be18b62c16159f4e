#include "textfile.h"

#include "cp1250.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace dyma {

namespace fs = std::filesystem;

fs::path NativePath(const std::string& utf8Path) {
#ifdef _WIN32
    return fs::path(std::u8string(utf8Path.begin(), utf8Path.end()));
#else
    return fs::path(utf8Path);
#endif
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(NativePath(path), ec);
}

namespace {

// The lower-case form of a UTF-8 text for comparing names: ASCII, Latin-1
// and Latin Extended-A letters (every letter of code page 1250) are folded,
// anything else is kept as it is.
std::u32string FoldCase(std::string_view utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t c = b;
        std::size_t length = 1;
        if (b >= 0xC0 && b < 0xE0 && i + 1 < utf8.size()) {
            c = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            length = 2;
        }
        i += length;
        if (c >= U'A' && c <= U'Z')
            c += 0x20;
        else if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
            c += 0x20;
        else if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
            c |= 1;  // upper case even, lower case odd
        else if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            c += c % 2;  // upper case odd, lower case even
        else if (c == 0x178)
            c = 0xFF;
        out += c;
    }
    return out;
}

std::string Utf8Of(const fs::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.string();
#endif
}

}  // namespace

std::string FindFileIgnoringCase(const std::string& path) {
    if (FileExists(path)) return path;
    const fs::path native = NativePath(path);
    const std::u32string wanted = FoldCase(Utf8Of(native.filename()));
    if (wanted.empty()) return {};
    const fs::path folder = native.has_parent_path() ? native.parent_path() : fs::path(".");
    std::error_code ec;
    std::string found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = Utf8Of(it->path().filename());
        if (FoldCase(name) != wanted || !FileExists(Utf8Of(it->path()))) continue;
        if (found.empty() || name < found) found = name;
    }
    if (found.empty()) return {};
    return native.has_parent_path() ? Utf8Of(native.parent_path() / NativePath(found)) : found;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) throw FileError("Nie można otworzyć pliku " + path, path);
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) throw FileError("Błąd odczytu pliku " + path, path);
    return ss.str();
}

void WriteFileAtomic(const std::string& path, const std::string& bytes) {
    fs::path target = NativePath(path);
    fs::path dir = target.parent_path();
    std::random_device rd;
    std::string tmpName = target.filename().string() + "." + std::to_string(rd() % 1000000) + ".tmp";
    fs::path tmp = dir.empty() ? fs::path(tmpName) : dir / tmpName;

    auto fail = [&](const std::string& why) {
        std::error_code ec;
        fs::remove(tmp, ec);
        throw FileError("Nie można zapisać pliku " + path + ": " + why, path);
    };

    FILE* f = std::fopen(tmp.string().c_str(), "wb");
    if (!f) fail(std::strerror(errno));
    size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    bool ok = written == bytes.size() && std::fflush(f) == 0;
#ifndef _WIN32
    ok = ok && ::fsync(::fileno(f)) == 0;
#endif
    int err = errno;
    if (std::fclose(f) != 0) ok = false;
    if (!ok) fail(std::strerror(err));
    std::error_code ec;
    fs::rename(tmp, target, ec);
    if (ec) fail(ec.message());
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        size_t end = nl == std::string::npos ? text.size() : nl;
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        lines.emplace_back(text.substr(start, stop - start));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return lines;
}

std::vector<std::string> ReadTextLines(const std::string& path) {
    return SplitLines(Cp1250ToUtf8(ReadFileBytes(path)));
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

void WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
    WriteFileAtomic(path, Utf8ToCp1250(JoinLinesCrLf(lines)));
}

}  // namespace dyma
