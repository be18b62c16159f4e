// Low-level file access for the signal reader and the disk table: numbered
// handles, positioned reads and writes, and the C library's error number on
// failure. Results follow the C library: -1 means failure and errno says why.
// Reads and writes loop over partial transfers, so a caller sees either the
// whole transfer, the bytes up to the end of the file (reads), or -1.
// Resize sets a file's length, extending it with zero bytes.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <filesystem>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Quarnet::rawfile {

#ifdef _WIN32
// Paths are UTF-8; Windows opens them by their UTF-16 name (the narrow
// functions would read them in the ANSI code page).
inline std::wstring WidePath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end())).wstring();
}
inline int OpenReadOnly(const std::string& path) { return ::_wopen(WidePath(path).c_str(), _O_RDONLY | _O_BINARY); }
inline int CreateReadWrite(const std::string& path) {
    return ::_wopen(WidePath(path).c_str(), _O_RDWR | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
}
inline std::int64_t Seek(int handle, std::int64_t offset, int whence) { return ::_lseeki64(handle, offset, whence); }
inline long long ReadSome(int handle, void* buffer, std::size_t size) {
    return ::_read(handle, buffer, static_cast<unsigned>(size > 0x40000000u ? 0x40000000u : size));
}
inline long long WriteSome(int handle, const void* buffer, std::size_t size) {
    return ::_write(handle, buffer, static_cast<unsigned>(size > 0x40000000u ? 0x40000000u : size));
}
inline int CloseHandle(int handle) { return ::_close(handle); }
inline int Resize(int handle, std::int64_t size) {
    const errno_t error = ::_chsize_s(handle, size);
    if (error == 0) return 0;
    errno = error;
    return -1;
}
#else
inline int OpenReadOnly(const std::string& path) { return ::open(path.c_str(), O_RDONLY); }
inline int CreateReadWrite(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, S_IRUSR | S_IWUSR);
}
inline std::int64_t Seek(int handle, std::int64_t offset, int whence) {
    return static_cast<std::int64_t>(::lseek(handle, static_cast<off_t>(offset), whence));
}
inline long long ReadSome(int handle, void* buffer, std::size_t size) { return ::read(handle, buffer, size); }
inline long long WriteSome(int handle, const void* buffer, std::size_t size) {
    return ::write(handle, buffer, size);
}
inline int CloseHandle(int handle) { return ::close(handle); }
inline int Resize(int handle, std::int64_t size) { return ::ftruncate(handle, static_cast<off_t>(size)); }
#endif

inline std::int64_t SeekTo(int handle, std::int64_t offset) { return Seek(handle, offset, SEEK_SET); }
inline std::int64_t SeekEnd(int handle) { return Seek(handle, 0, SEEK_END); }

// Reads up to size bytes; returns the number read (short only at the end of
// the file) or -1.
inline long long ReadFully(int handle, void* buffer, std::size_t size) {
    auto* at = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const long long got = ReadSome(handle, at + done, size - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(done);
}

// Writes all size bytes; returns size or -1. A write that makes no progress
// counts as a failure, so a full disk can never loop forever.
inline long long WriteFully(int handle, const void* buffer, std::size_t size) {
    const auto* at = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const long long put = WriteSome(handle, at + done, size - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (put == 0) {
            errno = ENOSPC;
            return -1;
        }
        done += static_cast<std::size_t>(put);
    }
    return static_cast<long long>(done);
}

// Owns one handle and closes it when it goes.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(int handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    int Get() const { return handle_; }
    bool IsOpen() const { return handle_ >= 0; }
    void Reset(int handle = -1) {
        if (handle_ >= 0) CloseHandle(handle_);
        handle_ = handle;
    }

private:
    int handle_ = -1;
};

}  // namespace Quarnet::rawfile
