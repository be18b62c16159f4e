// Whole-file reads and writes. Text files go through code page 1250 here and
// nowhere else; writes go to a temporary file in the target's directory that
// is renamed over the target, so a failed write never leaves a half file in
// place of a good one.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace dyma {

class FileError : public std::runtime_error {
public:
    FileError(const std::string& message, std::string path)
        : std::runtime_error(message), path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Throws FileError when the file cannot be read.
std::string ReadFileBytes(const std::string& path);

// Writes through "<path>.<random>.tmp" and a rename. Throws FileError; the
// previous file is then untouched and the temporary file removed.
//
// A file that is there already keeps its permissions (and, where the system
// lets the user, its group): the rename would otherwise give it the
// defaults of a new file. A file the user may not write (MayOverwrite) is
// refused before anything is written: the rename needs only the folder's
// rights, so the system would let a read-only file be replaced. Through a
// symbolic link the file it names is written. Once the new file is in
// place, temporary files of earlier writes of the same file that never got
// renamed (a program killed half-way) are removed.
//
// Durable: the data reach the disk before the rename (fsync), so that a
// power cut leaves the old file or the new one. A file that is remade at
// will (a listing) may skip that wait; it still never appears half written
// to a reader.
enum class Durability { Synced, Unsynced };
void WriteFileAtomic(const std::string& path, const std::string& bytes, Durability durability = Durability::Synced);

// Whether the program may replace the file at `path`: a missing file may be
// made; an existing one must be a regular file whose write permission
// allows it. On POSIX systems the write bit of the class the user falls in
// decides (owner, group, others), and the superuser counts as the owner, so
// a file without its owner's write bit is refused to him too. On Windows
// the read-only attribute decides.
bool MayOverwrite(const std::string& path);

// Removes the temporary files that WriteFileAtomic leaves beside `path`
// when it is stopped before its rename: "<name>.<digits>.tmp" in the same
// folder. Files of any other name are never touched. Returns how many went.
int RemoveStaleTemporaries(const std::string& path);

// Whether `fileName` (a name without folder) is such a temporary file of
// `targetName`.
bool IsTemporaryOf(const std::string& fileName, const std::string& targetName);

// Lines of a code-page-1250 text file as UTF-8, with LF or CR LF endings
// removed. A last line without an ending counts; an empty file has no lines.
std::vector<std::string> ReadTextLines(const std::string& path);
std::vector<std::string> SplitLines(const std::string& utf8Text);

// Every line followed by CR LF, converted to code page 1250.
void WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                    Durability durability = Durability::Synced);
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

bool FileExists(const std::string& path);

// The file at path when it exists; otherwise a file in the same folder whose
// name differs only in the case of its letters (files made on Windows
// workstations, where case does not count, are named in any case). Letters
// of the Latin alphabets Polish names use are matched (ASCII, Latin-1,
// Latin Extended-A). Of several such files the first in name order is
// taken. Empty when there is none.
std::string FindFileIgnoringCase(const std::string& path);

// The one name of a file however it was reached: absolute, symbolic links
// of the existing part resolved, "." and ".." removed. Two paths name the
// same file when their canonical paths are equal.
std::string CanonicalPath(const std::string& path);

// A UTF-8 path as the file system wants it.
std::filesystem::path NativePath(const std::string& utf8Path);

}  // namespace dyma
