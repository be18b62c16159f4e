// From the picks of the DAT and the stations of the NET to the polarities
// the search fits: the ray of each pick by the program's own ray rules and
// the polarity the program will display for it.
#pragma once

#include <string>
#include <vector>

#include "npfa/focalsearch.h"
#include "npfa/inputfiles.h"

namespace dyma::npfa {

struct PickRow {
    int number = 0;  // 1-based position among the DAT's picks
    DatPick pick;
    bool inNet = false;
    NetStation station;
    bool hasRay = false;
    focal::RayAngles ray;
    double takeoff = 0, azimuth = 0;  // degrees: from straight down, clockwise from north
    int observed = 0;                 // +1 for "+", -1 for "-", 0 otherwise
    int fitted = 0;                   // the polarity the fit uses; 0 when the pick is not fitted
    std::string note;                 // why a pick is not fitted
};

std::vector<PickRow> BuildPickRows(const DatFile& dat, const NetFile& net);

// The fitted picks as the search wants them, in row order.
std::vector<Observation> FittedObservations(const std::vector<PickRow>& rows);

// The fitted picks again, `count` times, each time with the source moved by
// a normal error of locationError metres in every coordinate and both
// seam-wave take-off angles by one of seamAngleError degrees. A trial in
// which a fitted pick loses its ray is left out. The draws repeat from run
// to run (a fixed seed), so one input always gives one result.
inline constexpr int kRayTrials = 30;
std::vector<std::vector<Observation>> RayTrials(const DatFile& dat, const NetFile& net,
                                                const std::vector<PickRow>& rows, double locationError,
                                                double seamAngleError, int count = kRayTrials);

}  // namespace dyma::npfa
