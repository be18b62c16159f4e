// The in-memory image of one project file: an ordered section/key store bound
// to its working file. Reads and writes go to memory; the file on disk
// changes only at UpdateFile (the flush).
//
// Order rules, kept so that files look as the operators know them: a section
// stays where it was first created, an erased and rewritten section moves to
// the end, a new key is appended to its section, a rewritten key keeps its
// place. Sections and keys are matched without regard to (ASCII) case, as
// INI files on Windows are. The file is code page 1250 with CR LF lines. A
// file another tool wrote in UTF-8 is recognised (IsUtf8Text) and read as
// UTF-8; it is written back in code page 1250 like every project, a
// character that code page has no byte for as "?".
#pragma once

#include <string>
#include <vector>

namespace dyma {

class IniImage {
public:
    IniImage() = default;
    // Loads the file when it exists; a missing file gives an empty image.
    // Throws FileError when the file exists but cannot be read.
    explicit IniImage(std::string workingFile);

    static IniImage FromText(const std::string& utf8Text, std::string workingFile = {});

    const std::string& FileName() const { return fileName_; }
    // Binds the image to another file (after it was saved there); nothing
    // is read or written.
    void Rebind(std::string workingFile) { fileName_ = std::move(workingFile); }

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::vector<std::string> Sections() const;
    // Keys of a section in file order.
    std::vector<std::string> Keys(const std::string& section) const;
    // "key=value" entries of a section in file order.
    std::vector<std::string> SectionLines(const std::string& section) const;

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // A value that is not a whole number gives the default, as INI readers do.
    long long ReadInteger(const std::string& section, const std::string& key, long long def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, long long value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    // Reals in the shortest decimal form with the given separator.
    void WriteFloat(const std::string& section, const std::string& key, double value, char decimalSeparator);

    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

private:
    struct Entry {
        std::string key, value;
        bool hasValue = true;  // false for lines without "=" (kept as they were)
        bool operator==(const Entry&) const = default;
    };

public:
    // One section as it stood, where it stood: put back with RestoreSection
    // it takes its old place and its keys their old order, so that a change
    // taken back leaves the file's text exactly as it was.
    struct SectionCopy {
        std::string name;
        bool exists = false;
        size_t position = 0;
        std::vector<Entry> entries;
        bool operator==(const SectionCopy&) const = default;
    };
    SectionCopy CopySection(const std::string& section) const;
    // A copy of a section that did not exist erases the section.
    void RestoreSection(const SectionCopy& copy);

    // The file's text in UTF-8: "[Section]", "key=value" lines and one blank
    // line after each section, CR LF endings.
    std::string ToText() const;
    // Writes the image to its working file (through a temporary file and a
    // rename). Throws FileError.
    void UpdateFile() const;

private:
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    const Section* Find(const std::string& section) const;
    Section* Find(const std::string& section);
    Section& FindOrAdd(const std::string& section);
    void Parse(const std::string& utf8Text);

    std::string fileName_;
    std::vector<Section> sections_;
};

}  // namespace dyma
