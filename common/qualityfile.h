// NPF.ACC: what the solver knows about its solution beyond the fixed
// columns of NPF.RES, written beside it. The quality letter and the figures
// it rests on, the errors the ray trials assumed, and the P and T axes of
// the acceptable set. One keyword a line, so that a later solver may add
// lines an older program skips; the axes come last, one mechanism a line.
// The solver writes the file, the program reads it; both use this layout.
#pragma once

#include <string>
#include <vector>

namespace dyma {

struct AcceptableAxes {
    double pTrend = 0, pPlunge = 0, tTrend = 0, tPlunge = 0;  // degrees
};

struct SolutionQuality {
    char quality = 'D';         // A (best) to D
    int misfitCount = 0;        // polarities the preferred solution does not explain
    int polarityCount = 0;      // polarities fitted
    double errorRate = 0;       // share of wrong polarities estimated from the data
    double stationRatio = 0;    // mean |P amplitude| of the solution on the picks, 1 for an even spread
    double azimuthGap = 0;      // degrees
    double takeOffGap = 0;      // degrees
    double locationError = 0;   // m, assumed in the ray trials
    double seamAngleError = 0;  // degrees, assumed in the ray trials
    std::vector<AcceptableAxes> axes;  // P and T axes of members of the acceptable set
};

inline constexpr char kQualityFileName[] = "NPF.ACC";
inline constexpr int kMaxAcceptableAxes = 300;

std::vector<std::string> QualityFileLines(const SolutionQuality& q);

// False, with the reason in `why`, when a line is missing, unknown where a
// value is expected, or does not convert; `q` is then partly filled.
bool ParseQualityFile(const std::vector<std::string>& lines, SolutionQuality& q, std::string& why);

}  // namespace dyma
