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
        const std::string& sol = lines[e + 2];
        r.acc = Num(sol, 1, 7, "ACC");
        r.sa = Num(sol, 8, 14, "SA");
        r.da = Num(sol, 15, 22, "DA");
        r.ra = Num(sol, 23, 30, "RA");
        r.sb = Num(sol, 31, 40, "SB");
        r.rb = Num(sol, 41, 48, "RB");
        r.db = Num(sol, 49, 56, "DB");
        r.ptrend = Num(sol, 63, 68, "PTrend");
        r.ttrend = Num(sol, 73, 78, "TTrend");
        const std::string& err = lines[e + 3];
        r.sab = Num(err, 10, 14, "SAB");
        r.dab = Num(err, 18, 22, "DAB");
        r.rab = Num(err, 26, 30, "RAB");
        r.sbb = Num(err, 36, 40, "SBB");
        r.rbb = Num(err, 46, 48, "RBB");
        r.dbb = Num(err, 54, 56, "DBB");
        r.pplunge = Num(err, 63, 68, "PPlunge");
        r.tplunge = Num(err, 73, 78, "TPlunge");
        return true;
    } catch (const Missing& m) {
        why = m.why;
        return false;
    }
}

}  // namespace dyma::test
