// The solver's input files: NPF.PAR (the file names), the pick file (DAT)
// and the network file (NET), in the program's layout and in the layout of
// the older DYMA workflow, which differ only in the width of the label.
//
// Every reader is tolerant where an operator's file may be loose (blank
// lines, short pick lines, trailing columns nobody uses) and strict where a
// silent guess would change the solution: a number that does not convert is
// an InputError naming the file and the line.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "common/focalmath.h"

namespace dyma::npfa {

class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// NPF.PAR: five file names and the parameter line. The parameter line
// ("0,0,14,1,12,3,0" from the program) held the options of the older solver;
// this solver has no options, so the line is read, listed and otherwise
// ignored. An optional seventh line, which the older solver never read,
// gives the location error of the source in metres and the error of the
// seam-wave take-off angles in degrees ("50,5"); without it the defaults
// hold.
inline constexpr double kDefaultLocationError = 50;    // m
inline constexpr double kDefaultSeamAngleError = 5;    // degrees
struct ParFile {
    std::string dat, res, pny, net, bin, parameters;
    double locationError = kDefaultLocationError;
    double seamAngleError = kDefaultSeamAngleError;
    bool errorsGiven = false;  // the seventh line was there
};

struct DatPick {
    int line = 0;          // 1-based line of the DAT
    std::string label;     // columns 1-5, trimmed
    std::string waveType;  // column 6, upper case; empty when blank
    char polarity = '0';   // column 8 as written: '+', '-', '0' (blank) or anything else
    double weight = 0;     // columns 10-12; blank is 0
};

struct DatFile {
    std::string title;
    double x = 0, y = 0, depth = 0;  // source, km, depth positive downward
    std::vector<DatPick> picks;
    std::vector<int> skippedLines;  // lines with "/" (comments of the older workflow)
};

struct NetStation {
    int line = 0;
    std::string label;
    double x = 0, y = 0, depth = 0;  // km, depth positive downward
};

struct NetFile {
    focal::SeamModel model;  // aa, bb, layer dip, layer strike from line 1
    std::vector<NetStation> stations;
    // The first station with this label, or nullptr.
    const NetStation* Find(const std::string& label) const;
};

// The readers take the file's lines (UTF-8, endings removed) and its name
// for the messages. The Read...File helpers load the file first; a file
// that is missing or cannot be read is an InputError too.
ParFile ParsePar(const std::vector<std::string>& lines, const std::string& name);
DatFile ParseDat(const std::vector<std::string>& lines, const std::string& name);
NetFile ParseNet(const std::vector<std::string>& lines, const std::string& name);

std::vector<std::string> ReadInputLines(const std::string& path, const std::string& name);

}  // namespace dyma::npfa
