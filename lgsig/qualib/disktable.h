// A table of rows kept in a temporary file with one row cached in memory.
// The signal container holds its samples in one, a row per channel, so a
// long many-channel record costs one row of memory. The file holds the rows
// back to back, row r at byte r * LineBytes, each value in the machine's own
// byte order, with no header.
//
// The table is a header-only template: the signal container (kelsig2) holds
// one without linking the plug-in library that owns this folder.
//
// Errors:
// - a wrong use (empty file name, sizes below 1) is a programming error and
//   comes as std::logic_error naming the violated condition and this source;
// - a row index outside the table is std::runtime_error
//   "Row number is out of range.";
// - a failed file operation closes the table, which deletes its file, and
//   comes as std::runtime_error "<step> (<errno as 0000>)", for example
//   "Temporary file open error (0002)".
#pragma once

#include "lgsig/qualib/rawfile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace Quarnet {

template <typename T>
class DiskTable {
    static_assert(std::is_trivially_copyable_v<T>, "rows are copied to and from the file byte for byte");

public:
    DiskTable() = default;
    ~DiskTable() { Close(); }
    DiskTable(const DiskTable&) = delete;
    DiskTable& operator=(const DiskTable&) = delete;

    // Creates the file anew with rowSize rows of columnSize values, every
    // value fill; row 0 is then cached. A table that was open is closed
    // first (and its file deleted), so one table never holds two files.
    void Open(const std::string& fileName, int rowSize, int columnSize, const T& fill) {
        Require(!fileName.empty(), "AFileName.Length() > 0");
        Require(columnSize > 0, "AColumnSize > 0");
        Require(rowSize > 0, "ARowSize > 0");
        Close();
        FileName = fileName;
        RowSize = rowSize;
        ColumnSize = columnSize;
        Initialise(fill);
    }

    // The row's ColumnSize values, valid until a call with another row.
    // Values written through the pointer reach the file when another row is
    // requested or the table is flushed.
    T* Line(int lineIndex) {
        if (lineIndex < 0 || lineIndex >= RowSize) throw std::runtime_error("Row number is out of range.");
        if (lineIndex == CurrentRow) return LineCache.data();
        // There is no dirty flag: callers write through the pointer, so the
        // cached row always goes back before another one comes in.
        Flush();
        Check(rawfile::SeekTo(Handle, static_cast<std::int64_t>(lineIndex) * LineBytes),
              "Setting file pointer failed");
        const long long got = rawfile::ReadFully(Handle, LineCache.data(), static_cast<std::size_t>(LineBytes));
        Check(got, "Buffer read error");
        // Our own file always holds whole rows; should it have been cut
        // short behind our back, the missing part reads as zeros rather than
        // as the previous row's values.
        auto* bytes = reinterpret_cast<unsigned char*>(LineCache.data());
        for (long long i = got; i < LineBytes; ++i) bytes[i] = 0;
        CurrentRow = lineIndex;
        return LineCache.data();
    }

    // Like Line, for a caller that writes every value of the row before it
    // reads any: the row's old values are not read from the file, and until
    // written the values are those of the row cached before. Filling a
    // table row by row this way costs one write per row and no read.
    T* OverwriteLine(int lineIndex) {
        if (lineIndex < 0 || lineIndex >= RowSize) throw std::runtime_error("Row number is out of range.");
        if (lineIndex == CurrentRow) return LineCache.data();
        Flush();
        CurrentRow = lineIndex;
        return LineCache.data();
    }

    // Writes count values into row lineIndex from column firstColumn on,
    // straight to the file. A reader that fills the table a block of frames
    // at a time needs neither a whole row nor the file's samples in memory.
    // The cached row goes back first and is then forgotten, so it can never
    // later overwrite what was written here.
    void WriteLinePart(int lineIndex, int firstColumn, const T* values, int count) {
        if (lineIndex < 0 || lineIndex >= RowSize) throw std::runtime_error("Row number is out of range.");
        Require(firstColumn >= 0 && count >= 0 && count <= ColumnSize - firstColumn,
                "0 <= AFirstColumn && AFirstColumn + ACount <= ColumnSize");
        Flush();
        CurrentRow = kNoRow;
        const std::int64_t offset = static_cast<std::int64_t>(lineIndex) * LineBytes +
                                    static_cast<std::int64_t>(firstColumn) * static_cast<std::int64_t>(sizeof(T));
        Check(rawfile::SeekTo(Handle, offset), "Setting file pointer failed");
        Check(rawfile::WriteFully(Handle, values, static_cast<std::size_t>(count) * sizeof(T)), "Buffer write error");
    }

    // Writes the cached row back to its place. A failure is reported (and
    // closes the table): a lost row would be lost samples.
    void Flush() {
        if (LineBytes <= 0 || CurrentRow < 0 || CurrentRow >= RowSize || Handle == -1) return;
        Check(rawfile::SeekTo(Handle, static_cast<std::int64_t>(CurrentRow) * LineBytes),
              "Setting file pointer failed");
        Check(rawfile::WriteFully(Handle, LineCache.data(), static_cast<std::size_t>(LineBytes)),
              "Buffer write error");
    }

    // Closes the file and deletes it. Nothing is written back: the file
    // exists only for the table's lifetime.
    void Close() noexcept {
        if (Handle == -1) return;
        const int result = rawfile::CloseHandle(Handle);
        Handle = -1;
        if (result == 0) std::remove(FileName.c_str());
    }

    const std::string& GetFileName() const { return FileName; }
    int GetRowSize() const { return RowSize; }
    int GetColumnSize() const { return ColumnSize; }
    bool IsOpen() const { return Handle != -1; }

private:
    static constexpr int kNoRow = -1;  // no row cached

    static void Require(bool condition, const char* text) {
        if (!condition) throw std::logic_error(std::string(text) + " (qualib/disktable)");
    }

    void Initialise(const T& fill) {
        try {
            LineCache.assign(static_cast<std::size_t>(ColumnSize), fill);
        } catch (const std::bad_alloc&) {
            LineCache.clear();
            LineCache.shrink_to_fit();
            Require(false, "Line != NULL");
        }
        LineBytes = static_cast<std::int64_t>(ColumnSize) * static_cast<std::int64_t>(sizeof(T));
        CurrentRow = 0;
        Handle = rawfile::CreateReadWrite(FileName);
        Check(Handle, "Temporary file open error");
        // A fill of zero bytes is what a file extended by its size holds
        // already; the rows are then written once, by their owner, and
        // not twice.
        if (AllZeroBytes(fill)) {
            Check(rawfile::Resize(Handle, LineBytes * RowSize), "Buffer write error");
            return;
        }
        for (int row = 0; row < RowSize; ++row)
            Check(rawfile::WriteFully(Handle, LineCache.data(), static_cast<std::size_t>(LineBytes)),
                  "Buffer write error");
    }

    static bool AllZeroBytes(const T& value) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
        for (std::size_t i = 0; i < sizeof(T); ++i)
            if (bytes[i] != 0) return false;
        return true;
    }

    void Check(long long result, const char* message) {
        if (result != -1) return;
        const int error = errno;
        Close();
        char number[16];
        std::snprintf(number, sizeof number, "%04d", error);
        throw std::runtime_error(std::string(message) + " (" + number + ")");
    }

    std::string FileName;
    int Handle = -1;
    int ColumnSize = 0;
    int RowSize = 0;
    std::vector<T> LineCache;  // the cached row
    std::int64_t LineBytes = 0;
    int CurrentRow = 0;
};

}  // namespace Quarnet
