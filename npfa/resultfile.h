// NPF.RES, the file the program reads with fixed columns. The whole layout
// lives in resultfile.cpp, in one table of fields.
#pragma once

#include <string>
#include <vector>

#include "npfa/focalsearch.h"

namespace dyma::npfa {

struct ResultStation {
    int no = 0;
    std::string label;  // at most 5 characters
    double x = 0, y = 0, depth = 0;
    double takeoff = 0, azimuth = 0;
    double signedWeight = 0;  // polarity as written in the DAT times its weight
};

struct ResultContent {
    double x = 0, y = 0, depth = 0;
    std::vector<ResultStation> stations;
    FocalSolution solution;
    double acc = 0;  // weighted share of fitted polarities explained, 0..1
};

// The lines of NPF.RES (ASCII only, so that byte columns and character
// columns agree). Throws InputError when a value cannot be written in its
// columns (a coordinate beyond 10^7 km).
std::vector<std::string> ResultLines(const ResultContent& content);

}  // namespace dyma::npfa
