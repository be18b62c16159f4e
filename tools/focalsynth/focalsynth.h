// Synthetic first-motion events: a known double couple, a station network
// around the source, and the polarity each pick must have, made with the
// same ray and sign rules the program and the solver use, then written as
// the program writes its solver files.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "common/focalmath.h"

namespace dyma::synth {

struct Pick {
    std::string label, type;         // type "C", "A" or "B"
    double x = 0, y = 0, depth = 0;  // km, as written to the NET (rounded to metres)
    int observed = 0;                // polarity as written to the DAT: +1 "+", -1 "-", 0 "0"
    double weight = 1.0;
    int fitted = 0;  // the polarity the solver fits: the truth's, reversed when flipped
    bool flipped = false;
    focal::Vec3 ray;  // unit ray of the pick
};

struct Event {
    double x = 0, y = 0, depth = 0;
    focal::SeamModel model{114, 72, 4, 45};
    focal::Plane truth;
    std::vector<Pick> picks;
};

struct Options {
    int stations = 20;
    double shareA = 0.2, shareB = 0.2;  // the rest are direct waves
    // true: stations spread evenly in every direction around the source (the
    // whole focal sphere); false: a mine network, stations in a layer
    // around the source's depth within 6 km.
    bool wholeSphere = false;
    double flipShare = 0;  // share of polarities written reversed (exactly round(share * n))
    // A small mine network of the kind the solver meets most: stations 0.16
    // to 3 km from the epicentre and 0.02 to 2 km deep, the source 0.5 to
    // 1.2 km deep, half the picks direct waves, and the seam-wave model
    // drawn anew for each event (aa 100-125, bb 60-80 degrees, layer dip
    // 0-8, any layer strike).
    bool smallNetwork = false;
    // Stations on one side of the source only (azimuths within 150 degrees).
    bool oneSide = false;
    // Weights 0.1-1.0 that mean something: the reversed polarities are
    // drawn with a chance that falls with the weight.
    bool weighted = false;
};

// A random mechanism, uniform over orientations.
focal::Plane RandomMechanism(std::mt19937& rng);

Event MakeEvent(const focal::Plane& truth, const Options& options, std::mt19937& rng);

// The ray and the fitted-polarity factor of a station, as the solver sees it.
bool RayOf(const std::string& type, double dx, double dy, double dz, const focal::SeamModel& model, focal::Vec3& ray,
           double& takeoff);
int FittedFactor(const std::string& type, double stationDepth, double sourceDepth, double takeoff);

// The files as the program writes them.
std::vector<std::string> DatLines(const Event& event);
std::vector<std::string> NetLines(const Event& event);
std::vector<std::string> ParLines();
void WriteEvent(const std::string& dir, const Event& event);

// DAT and NET lines of one pick / station, shared with the anchor tests.
std::string DatLine(const std::string& label, const std::string& type, int polarity, double weight);
std::string NetLine(const std::string& label, double x, double y, double depth);
std::string NetModelLine(const focal::SeamModel& model);
std::string DatSourceLine(double x, double y, double depth);

}  // namespace dyma::synth
