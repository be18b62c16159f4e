// Builds NPF.RES texts in the solver's column layout for the parser tests.
#pragma once

#include "common/numberformat.h"

#include <string>
#include <vector>

namespace dyma::test {

// Text right-aligned into columns first..last (counted from 1) of `line`.
inline void Put(std::string& line, size_t first, size_t last, const std::string& text) {
    if (line.size() < last) line.resize(last, ' ');
    const size_t width = last - first + 1;
    const std::string field = text.size() >= width ? text.substr(0, width) : std::string(width - text.size(), ' ') + text;
    line.replace(first - 1, width, field);
}

struct ResStation {
    double no;
    std::string label;
    double xs, ys, zs, takeoff, azimuth, weight;
};

struct ResSolution {
    double acc = 0.925, sa = 123.4, da = 56.7, ra = -89.1, sb = 301.2, rb = 33.3, db = -91.5;
    double ptrend = 210.5, ttrend = 30.25;
    double sab = 5.5, dab = 4.5, rab = 12.5, sbb = 7.5, rbb = 6, dbb = 11, pplunge = 78.5, tplunge = 11.5;
};

inline std::string F(double v, const char* pattern = "0.000") { return FormatFloat(pattern, v, '.'); }

inline std::string StationRow(const ResStation& s) {
    std::string l;
    Put(l, 1, 4, F(s.no, "0.#"));
    l += "  " + s.label;  // columns 5-10
    Put(l, 11, 20, F(s.xs));
    Put(l, 21, 30, F(s.ys));
    Put(l, 31, 38, F(s.zs));
    Put(l, 39, 44, F(s.takeoff, "0.0"));
    Put(l, 45, 51, F(s.azimuth, "0.0"));
    Put(l, 52, 55, F(s.weight, "0.0"));
    return l;
}

inline std::vector<std::string> ResLines(const std::vector<ResStation>& stations, const ResSolution& s = {},
                                         double x = 12.5, double y = -3.25, double z = 0.75) {
    std::vector<std::string> lines = {" NPFA nodal-plane solution", "", " SOURCE:"};
    std::string src = " X Y Z:";
    Put(src, 8, 18, F(x));
    Put(src, 19, 29, F(y));
    Put(src, 30, 41, F(z));
    lines.push_back(src);
    lines.push_back("");
    std::string header = "  No Label      XS        YS       ZS  TakeOff Azim";
    Put(header, 52, 55, "SV/P");
    lines.push_back(header);
    for (size_t i = 0; i < stations.size(); ++i) {
        if (i == 1) lines.push_back(header);  // a header repeated inside the block is skipped
        lines.push_back(StationRow(stations[i]));
    }
    lines.push_back("");
    lines.push_back("    ACC     SA     DA      RA        SB      RB      DB        PT        TT");
    std::string sol;
    Put(sol, 1, 7, F(s.acc));
    Put(sol, 8, 14, F(s.sa, "0.0"));
    Put(sol, 15, 22, F(s.da, "0.0"));
    Put(sol, 23, 30, F(s.ra, "0.0"));
    Put(sol, 31, 40, F(s.sb, "0.0"));
    Put(sol, 41, 48, F(s.rb, "0.0"));
    Put(sol, 49, 56, F(s.db, "0.0"));
    Put(sol, 63, 68, F(s.ptrend, "0.0"));
    Put(sol, 73, 78, F(s.ttrend, "0.00"));
    lines.push_back(sol);
    std::string err = " errors:";
    Put(err, 10, 14, F(s.sab, "0.0"));
    Put(err, 18, 22, F(s.dab, "0.0"));
    Put(err, 26, 30, F(s.rab, "0.0"));
    Put(err, 36, 40, F(s.sbb, "0.0"));
    Put(err, 46, 48, F(s.rbb, "0"));
    Put(err, 54, 56, F(s.dbb, "0"));
    Put(err, 63, 68, F(s.pplunge, "0.0"));
    Put(err, 73, 78, F(s.tplunge, "0.0"));
    lines.push_back(err);
    return lines;
}

}  // namespace dyma::test
