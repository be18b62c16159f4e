// NPF.PNY: the readable listing of a run, for the operator and for whoever
// checks a solution by hand. Written for failed runs too, with the reason.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "npfa/focalsearch.h"
#include "npfa/inputfiles.h"
#include "npfa/observations.h"

namespace dyma::npfa {

// What a run has learnt so far; a failed run fills only a part.
struct RunRecord {
    std::string workDir;
    std::optional<ParFile> par;
    std::optional<DatFile> dat;
    std::optional<NetFile> net;
    std::vector<PickRow> rows;
    std::optional<FocalSolution> solution;
    double acc = 0;
    std::string failure;  // empty for a successful run
};

// The key line the tests and scripts read: "niezgodne odczyty: N z M".
std::vector<std::string> ListingLines(const RunRecord& run);

}  // namespace dyma::npfa
