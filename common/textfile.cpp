#include "textfile.h"

#include "cp1250.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string_view>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
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

std::string CanonicalPath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    fs::path p = fs::absolute(NativePath(path), ec);
    if (ec) p = NativePath(path);
    const fs::path canonical = fs::weakly_canonical(p, ec);
    if (!ec) p = canonical;
    p = p.lexically_normal();
#ifdef _WIN32
    const std::u8string u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
#else
    return p.string();
#endif
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) throw FileError("Nie można otworzyć pliku " + path, path);
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) throw FileError("Błąd odczytu pliku " + path, path);
    return ss.str();
}

namespace {

#ifndef _WIN32
bool InUsersGroups(gid_t group) {
    if (group == ::getegid()) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}
#endif

// The file a write to `path` goes to: through a symbolic link, the file it
// names (replacing the link would leave that file as it was).
fs::path WriteTarget(const std::string& path) {
    fs::path target = NativePath(path);
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        const fs::path real = fs::weakly_canonical(target, ec);
        if (!ec) return real;
    }
    return target;
}

// Opens a new file for writing; an existing file of that name is never
// opened (errno EEXIST then).
FILE* CreateNewFile(const fs::path& p) {
#ifdef _WIN32
    std::error_code ec;
    if (fs::exists(p, ec)) {
        errno = EEXIST;
        return nullptr;
    }
    return ::_wfopen(p.c_str(), L"wb");
#else
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    FILE* f = ::fdopen(fd, "wb");
    if (!f) ::close(fd);
    return f;
#endif
}

bool DigitsOnly(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool MayOverwrite(const std::string& path) {
    const fs::path target = NativePath(path);
#ifdef _WIN32
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (ec || status.type() == fs::file_type::not_found) return true;
    if (status.type() != fs::file_type::regular) return false;
    return (status.permissions() & fs::perms::owner_write) != fs::perms::none;
#else
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISREG(st.st_mode)) return false;
    const uid_t user = ::geteuid();
    if (user == 0 || st.st_uid == user) return (st.st_mode & S_IWUSR) != 0;
    if (InUsersGroups(st.st_gid)) return (st.st_mode & S_IWGRP) != 0;
    return (st.st_mode & S_IWOTH) != 0;
#endif
}

bool IsTemporaryOf(const std::string& fileName, const std::string& targetName) {
    // "<target>.<digits>.tmp", as WriteFileAtomic names them.
    const std::string_view name(fileName);
    constexpr std::string_view kTail = ".tmp";
    if (targetName.empty() || name.size() <= targetName.size() + 1 + kTail.size()) return false;
    if (name.substr(0, targetName.size()) != targetName || name[targetName.size()] != '.') return false;
    if (name.substr(name.size() - kTail.size()) != kTail) return false;
    return DigitsOnly(name.substr(targetName.size() + 1, name.size() - targetName.size() - 1 - kTail.size()));
}

int RemoveStaleTemporaries(const std::string& path) {
    const fs::path target = NativePath(path);
    const std::string targetName = target.filename().string();
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    std::vector<fs::path> stale;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        // Only plain files: a link or a folder of that name is not ours.
        if (!it->is_regular_file(typeError) || it->is_symlink(typeError)) continue;
        if (IsTemporaryOf(it->path().filename().string(), targetName)) stale.push_back(it->path());
    }
    int removed = 0;
    for (const fs::path& p : stale) {
        std::error_code removeError;
        if (fs::remove(p, removeError)) ++removed;
    }
    return removed;
}

void WriteFileAtomic(const std::string& path, const std::string& bytes, Durability durability) {
    const fs::path target = WriteTarget(path);
    if (!MayOverwrite(target.string()))
        throw FileError("Nie można zapisać pliku " + path + ": plik jest tylko do odczytu", path);
    const fs::path dir = target.parent_path();
    std::error_code statusError;
    const fs::file_status previous = fs::status(target, statusError);
    const bool replacing = !statusError && fs::is_regular_file(previous);

    // A fresh name: an existing file of that name (another save at the same
    // moment) is never opened.
    std::random_device rd;
    fs::path tmp;
    FILE* f = nullptr;
    for (int attempt = 0; attempt < 100 && !f; ++attempt) {
        const std::string tmpName = target.filename().string() + "." + std::to_string(rd() % 1000000) + ".tmp";
        tmp = dir.empty() ? fs::path(tmpName) : dir / tmpName;
        f = CreateNewFile(tmp);
        if (!f && errno != EEXIST) break;
    }

    auto fail = [&](const std::string& why) {
        std::error_code ec;
        fs::remove(tmp, ec);
        throw FileError("Nie można zapisać pliku " + path + ": " + why, path);
    };
    if (!f) {
        const int err = errno;
        throw FileError("Nie można zapisać pliku " + path + ": " + std::strerror(err), path);
    }
    size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    bool ok = written == bytes.size() && std::fflush(f) == 0;
#ifndef _WIN32
    ok = ok && (durability == Durability::Unsynced || ::fsync(::fileno(f)) == 0);
#endif
    int err = errno;
    if (std::fclose(f) != 0) ok = false;
    if (!ok) fail(std::strerror(err));
    if (replacing) {
        std::error_code ec;
        fs::permissions(tmp, previous.permissions() & fs::perms::mask, ec);
        if (ec) fail(ec.message());
#ifndef _WIN32
        // The group too, where the user may give it (a member of it); a
        // group the user is not in stays the user's own.
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0 && ::chown(tmp.c_str(), static_cast<uid_t>(-1), st.st_gid) == 0) {
            // chown may clear the set-group bit; the mode is set once more.
            fs::permissions(tmp, previous.permissions() & fs::perms::mask, ec);
        }
#endif
    }
    std::error_code ec;
    fs::rename(tmp, target, ec);
    if (ec) fail(ec.message());
    RemoveStaleTemporaries(target.string());
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

void WriteTextLines(const std::string& path, const std::vector<std::string>& lines, Durability durability) {
    WriteFileAtomic(path, Utf8ToCp1250(JoinLinesCrLf(lines)), durability);
}

}  // namespace dyma
