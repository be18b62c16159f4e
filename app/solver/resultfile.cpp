#include "resultfile.h"

#include "app/solver/fixedcolumns.h"
#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/textfile.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>

namespace dyma {

namespace {

// A field in columns first..last: trimmed, the solver's "." taken as the
// locale's separator, converted strictly. False when it does not convert.
bool ReadField(const std::string& line, size_t first, size_t last, char sep, double& value) {
    std::string text = Trim(Columns(line, first, last));
    if (sep == ',') text = ReplaceAll(std::move(text), '.', ',');
    return TryStrToFloat(text, sep, value);
}

struct Field {
    size_t first, last;
    double SolutionRecord::*target;
};

// Line E+2: the solution; line E+3: the errors and the axis plunges.
constexpr Field kSolutionLine[] = {
    {1, 7, &SolutionRecord::ACC},     {8, 14, &SolutionRecord::SA},     {15, 22, &SolutionRecord::DA},
    {23, 30, &SolutionRecord::RA},    {31, 40, &SolutionRecord::SB},    {41, 48, &SolutionRecord::RB},
    {49, 56, &SolutionRecord::DB},    {63, 68, &SolutionRecord::PTrend}, {73, 78, &SolutionRecord::TTrend},
};
constexpr Field kErrorLine[] = {
    {10, 14, &SolutionRecord::SAB}, {18, 22, &SolutionRecord::DAB},     {26, 30, &SolutionRecord::RAB},
    {36, 40, &SolutionRecord::SBB}, {46, 48, &SolutionRecord::RBB},     {54, 56, &SolutionRecord::DBB},
    {63, 68, &SolutionRecord::PPlunge}, {73, 78, &SolutionRecord::TPlunge},
};
constexpr Field kSourceLine[] = {
    {8, 18, &SolutionRecord::X}, {19, 29, &SolutionRecord::Y}, {30, 41, &SolutionRecord::Z}};

bool ReadFields(const std::string& line, const Field* begin, const Field* end, char sep, SolutionRecord& r) {
    for (const Field* f = begin; f != end; ++f)
        if (!ReadField(line, f->first, f->last, sep, r.*(f->target))) return false;
    return true;
}

template <size_t N>
bool ReadFields(const std::string& line, const Field (&fields)[N], char sep, SolutionRecord& r) {
    return ReadFields(line, fields, fields + N, sep, r);
}

bool IsHeaderRow(const std::string& line) { return Columns(line, 52, 55) == "SV/P"; }

bool ReadStationRow(const std::string& line, char sep, SolutionStation& st) {
    double no = 0;
    if (!ReadField(line, 1, 4, sep, no)) return false;
    const double rounded = std::trunc(no + 0.5);
    if (!(std::fabs(rounded) <= std::numeric_limits<int>::max())) return false;
    st = SolutionStation{};
    st.No = static_cast<int>(rounded);
    st.Channel = Trim(Columns(line, 5, 12));
    if (!ReadField(line, 11, 20, sep, st.XS) || !ReadField(line, 21, 30, sep, st.YS) ||
        !ReadField(line, 31, 38, sep, st.ZS) || !ReadField(line, 39, 44, sep, st.TakeOff) ||
        !ReadField(line, 45, 51, sep, st.Azimuth) || !ReadField(line, 52, 55, sep, st.Weight))
        return false;
    st.Sign = st.Weight > 0 ? 1.0 : -1.0;
    st.SVP = 0;
    st.WT = 0;
    return true;
}

// The whole layout into r; the index of its last line (the error line), or
// nothing when the layout is not whole.
std::optional<size_t> ParseLayout(SolutionRecord& r, const std::vector<std::string>& lines, char sep) {
    try {
        r.Exists = false;
        size_t s = 0;
        while (s < lines.size() && lines[s].find("SOURCE:") == std::string::npos) ++s;
        if (s >= lines.size()) return std::nullopt;  // could not find the line
        if (s + 1 >= lines.size() || !ReadFields(lines[s + 1], kSourceLine, sep, r)) return std::nullopt;

        size_t e = s + 4;
        int count = 0;
        for (; e < lines.size() && CharCount(lines[e]) >= 5; ++e) {
            if (IsHeaderRow(lines[e])) continue;
            // The record has room for 96 rows; later rows are passed over
            // unread so that the solution after the block is still found.
            if (count >= kMaxStations) continue;
            if (!ReadStationRow(lines[e], sep, r.stations[static_cast<size_t>(count)])) {
                r.StationCount = count;
                return std::nullopt;
            }
            ++count;
        }
        r.StationCount = count;
        if (e >= lines.size()) return std::nullopt;  // the block never ended
        if (e + 3 >= lines.size()) return std::nullopt;
        if (!ReadFields(lines[e + 2], kSolutionLine, sep, r)) return std::nullopt;
        if (!ReadFields(lines[e + 3], kErrorLine, sep, r)) return std::nullopt;

        r.solverCopy = {r.SA, r.DA, r.RA, r.SB, r.RB, r.DB, r.SAB, r.DAB, r.RAB, r.SBB, r.RBB, r.DBB};
        r.Exists = true;
        return e + 3;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

bool ParseResult(SolutionRecord& r, const std::vector<std::string>& lines, char sep) {
    return ParseLayout(r, lines, sep).has_value();
}

std::vector<std::string> LoadResultLines(const std::string& path) {
    try {
        return ReadTextLines(path);
    } catch (...) {
        return {};
    }
}

std::vector<std::string> LoadQualityLines(const std::string& resultPath) {
    const std::filesystem::path beside = NativePath(resultPath).parent_path() / kQualityFileName;
    const std::string found = FindFileIgnoringCase(beside.string());
    if (found.empty()) return {};
    return LoadResultLines(found);
}

ResultText ResultTextOf(const std::string& fileBytes) {
    ResultText text;
    text.lines = SplitLines(Cp1250ToUtf8(fileBytes));
    text.lastLineEnded = !fileBytes.empty() && (fileBytes.back() == '\n' || fileBytes.back() == '\r');
    return text;
}

ResultText LoadResultText(const std::string& path) {
    try {
        return ResultTextOf(ReadFileBytes(path));
    } catch (...) {
        return {};
    }
}

bool ResultIsComplete(const ResultText& text, char decimalSeparator, bool writerExited) {
    SolutionRecord scratch;
    const std::optional<size_t> last = ParseLayout(scratch, text.lines, decimalSeparator);
    if (!last) return false;
    return writerExited || text.lastLineEnded || *last + 1 < text.lines.size();
}

}  // namespace dyma
