#include "iniimage.h"

#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/textfile.h"

#include <algorithm>
#include <cstddef>

namespace dyma {

IniImage::IniImage(std::string workingFile) : fileName_(std::move(workingFile)) {
    // Project files are code page 1250; one written in UTF-8 by another
    // tool is read as what it is (and saved in code page 1250).
    if (FileExists(fileName_)) Parse(TextFileToUtf8(ReadFileBytes(fileName_)));
}

IniImage IniImage::FromText(const std::string& utf8Text, std::string workingFile) {
    IniImage image;
    image.fileName_ = std::move(workingFile);
    image.Parse(utf8Text);
    return image;
}

void IniImage::Parse(const std::string& text) {
    Section* current = nullptr;
    for (const std::string& raw : SplitLines(text)) {
        std::string line = Trim(raw);
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &FindOrAdd(line.substr(1, line.size() - 2));
            continue;
        }
        if (!current) continue;  // lines before the first section belong to nobody
        size_t eq = raw.find('=');
        if (eq == std::string::npos) {
            current->entries.push_back({line, "", false});
            continue;
        }
        // The value is kept exactly as written after the first "=": notes may
        // start with blanks or hold further "=" signs.
        std::string key = Trim(std::string_view(raw).substr(0, eq));
        std::string value = raw.substr(eq + 1);
        current->entries.push_back({key, value, true});
    }
}

const IniImage::Section* IniImage::Find(const std::string& section) const {
    for (const auto& s : sections_)
        if (EqualsIgnoreCase(s.name, section)) return &s;
    return nullptr;
}

IniImage::Section* IniImage::Find(const std::string& section) {
    for (auto& s : sections_)
        if (EqualsIgnoreCase(s.name, section)) return &s;
    return nullptr;
}

IniImage::Section& IniImage::FindOrAdd(const std::string& section) {
    if (Section* s = Find(section)) return *s;
    sections_.push_back({section, {}});
    return sections_.back();
}

bool IniImage::SectionExists(const std::string& section) const { return Find(section) != nullptr; }

bool IniImage::ValueExists(const std::string& section, const std::string& key) const {
    const Section* s = Find(section);
    if (!s) return false;
    for (const auto& e : s->entries)
        if (e.hasValue && EqualsIgnoreCase(e.key, key)) return true;
    return false;
}

std::vector<std::string> IniImage::Sections() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const auto& s : sections_) names.push_back(s.name);
    return names;
}

std::vector<std::string> IniImage::Keys(const std::string& section) const {
    std::vector<std::string> keys;
    if (const Section* s = Find(section))
        for (const auto& e : s->entries)
            if (e.hasValue) keys.push_back(e.key);
    return keys;
}

std::vector<std::string> IniImage::SectionLines(const std::string& section) const {
    std::vector<std::string> lines;
    if (const Section* s = Find(section))
        for (const auto& e : s->entries) lines.push_back(e.hasValue ? e.key + "=" + e.value : e.key);
    return lines;
}

std::string IniImage::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
    const Section* s = Find(section);
    if (!s) return def;
    for (const auto& e : s->entries)
        if (e.hasValue && EqualsIgnoreCase(e.key, key)) return e.value;
    return def;
}

long long IniImage::ReadInteger(const std::string& section, const std::string& key, long long def) const {
    std::string text = Trim(ReadString(section, key, ""));
    long long v = 0;
    return TryStrToInt(text, v) ? v : def;
}

bool IniImage::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniImage::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    Section& s = FindOrAdd(section);
    for (auto& e : s.entries) {
        if (e.hasValue && EqualsIgnoreCase(e.key, key)) {
            e.value = value;
            return;
        }
    }
    s.entries.push_back({key, value, true});
}

void IniImage::WriteInteger(const std::string& section, const std::string& key, long long value) {
    WriteString(section, key, std::to_string(value));
}

void IniImage::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniImage::WriteFloat(const std::string& section, const std::string& key, double value, char sep) {
    WriteString(section, key, FloatToStr(value, sep));
}

IniImage::SectionCopy IniImage::CopySection(const std::string& section) const {
    SectionCopy copy;
    copy.name = section;
    for (size_t i = 0; i < sections_.size(); ++i) {
        if (!EqualsIgnoreCase(sections_[i].name, section)) continue;
        copy.name = sections_[i].name;
        copy.exists = true;
        copy.position = i;
        copy.entries = sections_[i].entries;
        break;
    }
    return copy;
}

void IniImage::RestoreSection(const SectionCopy& copy) {
    EraseSection(copy.name);
    if (!copy.exists) return;
    const size_t at = std::min(copy.position, sections_.size());
    sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(at), Section{copy.name, copy.entries});
}

void IniImage::EraseSection(const std::string& section) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it) {
        if (EqualsIgnoreCase(it->name, section)) {
            sections_.erase(it);
            return;
        }
    }
}

void IniImage::DeleteKey(const std::string& section, const std::string& key) {
    Section* s = Find(section);
    if (!s) return;
    for (auto it = s->entries.begin(); it != s->entries.end(); ++it) {
        if (it->hasValue && EqualsIgnoreCase(it->key, key)) {
            s->entries.erase(it);
            return;
        }
    }
}

std::string IniImage::ToText() const {
    std::string out;
    for (const auto& s : sections_) {
        out += "[" + s.name + "]\r\n";
        for (const auto& e : s.entries) {
            out += e.hasValue ? e.key + "=" + e.value : e.key;
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

void IniImage::UpdateFile() const { WriteFileAtomic(fileName_, Utf8ToCp1250(ToText())); }

}  // namespace dyma
