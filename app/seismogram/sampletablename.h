// The name of the temporary file that holds an open signal's samples: the
// signal file's name with ".tmp" appended, in the program's temporary
// directory. Two open signals of the same name (from two folders) get
// different files: the second is "<name>.2.tmp", and so on. A name stays
// taken for as long as its holder lives, even before the reader has created
// the file.
#pragma once

#include <string>

namespace dyma {

class SampleTableName {
public:
    SampleTableName(const std::string& tempDirectory, const std::string& signalFile);
    ~SampleTableName();
    SampleTableName(const SampleTableName&) = delete;
    SampleTableName& operator=(const SampleTableName&) = delete;

    const std::string& Path() const { return path_; }

    // Whether a holder of this process has the path.
    static bool Taken(const std::string& path);

private:
    std::string path_;
};

}  // namespace dyma
