// NPF.RES as the program reads it (through its own parser), in a shape the
// solver tests compare against the solver's in-process solution.
#pragma once

#include <string>
#include <vector>

namespace dyma::test {

struct ResRow {
    double no = 0;
    std::string channel;
    double xs = 0, ys = 0, zs = 0, takeoff = 0, azimuth = 0, weight = 0;
};

struct ResFile {
    double x = 0, y = 0, z = 0;
    std::vector<ResRow> rows;
    double acc = 0, sa = 0, da = 0, ra = 0, sb = 0, rb = 0, db = 0, ptrend = 0, ttrend = 0;
    double sab = 0, dab = 0, rab = 0, sbb = 0, rbb = 0, dbb = 0, pplunge = 0, tplunge = 0;
};

// False (with the reason in `why`) when the layout is not complete.
bool ReadResColumns(const std::vector<std::string>& lines, ResFile& res, std::string& why);

}  // namespace dyma::test
