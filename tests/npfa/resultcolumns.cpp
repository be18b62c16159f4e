#include "resultcolumns.h"

#include "common/numberformat.h"

namespace dyma::test {

namespace {

struct Missing {
    std::string why;
};

std::string Cols(const std::string& line, size_t first, size_t last) {
    if (line.size() < first) return {};
    return line.substr(first - 1, last - first + 1);
}

double Num(const std::string& line, size_t first, size_t last, const char* what) {
    double v = 0;
    const std::string t = Trim(Cols(line, first, last));
    if (!TryStrToFloat(t, '.', v)) throw Missing{std::string(what) + ": \"" + t + "\" in: " + line};
    return v;
}

}  // namespace

bool ReadResColumns(const std::vector<std::string>& lines, ResFile& r, std::string& why) {
    try {
        size_t s = 0;
        while (s < lines.size() && lines[s].find("SOURCE:") == std::string::npos) ++s;
        if (s + 4 > lines.size()) throw Missing{"no SOURCE: line"};
        r.x = Num(lines[s + 1], 8, 18, "X");
        r.y = Num(lines[s + 1], 19, 29, "Y");
        r.z = Num(lines[s + 1], 30, 41, "Z");
        size_t e = s + 4;
        for (; e < lines.size() && lines[e].size() >= 5; ++e) {
            const std::string& l = lines[e];
            if (Cols(l, 52, 55) == "SV/P") continue;
            ResRow row;
            row.no = static_cast<int>(Num(l, 1, 4, "No") + 0.5);
            row.channel = Trim(Cols(l, 5, 12));
            row.xs = Num(l, 11, 20, "XS");
            row.ys = Num(l, 21, 30, "YS");
            row.zs = Num(l, 31, 38, "ZS");
            row.takeoff = Num(l, 39, 44, "TakeOff");
            row.azimuth = Num(l, 45, 51, "Azimuth");
            row.weight = Num(l, 52, 55, "Weight");
            r.rows.push_back(row);
        }
        if (e + 3 >= lines.size()) throw Missing{"no solution lines"};
        struct Field {
            double ResFile::*value;
            size_t first, last;
            const char* name;
        };
        static const Field solution[] = {
            {&ResFile::acc, 1, 7, "ACC"}, {&ResFile::sa, 8, 14, "SA"},          {&ResFile::da, 15, 22, "DA"},
            {&ResFile::ra, 23, 30, "RA"}, {&ResFile::sb, 31, 40, "SB"},         {&ResFile::rb, 41, 48, "RB"},
            {&ResFile::db, 49, 56, "DB"}, {&ResFile::ptrend, 63, 68, "PTrend"}, {&ResFile::ttrend, 73, 78, "TTrend"},
        };
        static const Field errors[] = {
            {&ResFile::sab, 10, 14, "SAB"},         {&ResFile::dab, 18, 22, "DAB"},
            {&ResFile::rab, 26, 30, "RAB"},         {&ResFile::sbb, 36, 40, "SBB"},
            {&ResFile::rbb, 46, 48, "RBB"},         {&ResFile::dbb, 54, 56, "DBB"},
            {&ResFile::pplunge, 63, 68, "PPlunge"}, {&ResFile::tplunge, 73, 78, "TPlunge"},
        };
        for (const Field& f : solution) r.*f.value = Num(lines[e + 2], f.first, f.last, f.name);
        for (const Field& f : errors) r.*f.value = Num(lines[e + 3], f.first, f.last, f.name);
        return true;
    } catch (const Missing& m) {
        why = m.why;
        return false;
    }
}

}  // namespace dyma::test
