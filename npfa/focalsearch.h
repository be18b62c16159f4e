// The first-motion search: the double couple that best explains a set of
// polarities, the set of mechanisms that explain them about as well, and
// how well the planes are determined. The method is described at the top
// of focalsearch.cpp.
#pragma once

#include <vector>

#include "common/focalmath.h"
#include "common/qualityfile.h"

namespace dyma::npfa {

// One fitted polarity: the unit ray (X north, Y east, Z down) and the sign
// the mechanism must give it (+1 compression, -1 dilatation).
struct Observation {
    focal::Vec3 ray;
    int polarity = 0;
    double weight = 0;  // > 0
};

struct SearchSettings {
    // The same fitted picks again, once per ray trial: rays recomputed from
    // a source and seam-wave angles moved within their errors. Every trial
    // holds the nominal observations' count in their order (polarities may
    // differ where a moved source changes a station's side of it).
    std::vector<std::vector<Observation>> trials;
};

struct PlaneErrors {
    double strike = 0, dip = 0, rake = 0;
};

struct AxisPair {
    focal::Axis p, t;
};

struct FocalSolution {
    focal::Plane planeA, planeB;
    focal::Axis pAxis, tAxis;
    double totalWeight = 0;
    int fittedCount = 0;
    double misfit = 0;      // weighted misfit of the preferred solution
    int misfitCount = 0;    // fitted polarities the preferred solution does not explain
    focal::Plane best;      // a mechanism of the smallest misfit on the 1-degree grid
    double minimum = 0;     // the grid's smallest weighted misfit
    int minimumCount = 0;   // polarities `best` does not explain
    double refinedMinimum = 0;  // the smallest misfit after the sub-degree refinement (<= minimum)
    double errorRate = 0;   // share of wrong polarities estimated from the minimum
    double tolerance = 0;   // acceptable: weighted misfit <= minimum + tolerance
    long long acceptableCount = 0;  // 1-degree grid mechanisms in the acceptable set
    double acceptableShare = 0;     // of all grid mechanisms
    focal::Plane centre;            // centre of the acceptable set (its likelihood-weighted mean moment tensor)
    double centreDistance = 0;      // Kagan angle from the preferred solution to the centre
    PlaneErrors errorsA, errorsB;   // half-widths of the box round each plane holding 90 % of the set
    double rmsRotation = 0;         // RMS Kagan angle of the acceptable set about the preferred
    double shareWithin45 = 0;       // share of the acceptable set within 45 degrees of the preferred
    double stationRatio = 0;        // mean |P amplitude| on the picks, 1 for stations spread evenly
    double azimuthGap = 0;          // largest gap between the picks' azimuths, degrees
    double takeoffGap = 0;          // largest gap of the take-off angles over 0..180, degrees
    int trials = 0;                 // ray trials folded into the set
    std::vector<AxisPair> acceptableAxes;  // P and T axes of the set, thinned evenly
    char quality = 'D';
    long long boxesEvaluated = 0;  // work done, for the listing
};

// Signed differences of a mechanism's planes from the two planes of a
// reference solution: each plane is paired with the reference plane whose
// normal is closer, and written with the dip beyond 90 where that keeps
// strike and rake continuous with it across a vertical plane.
struct PlaneDifferences {
    PlaneErrors a, b;
};
class PlaneAligner {
public:
    PlaneAligner(const focal::Plane& refA, const focal::Plane& refB);
    PlaneDifferences Differences(const focal::Plane& mechanism) const;
    // The same with the mechanism's normal and slip already at hand.
    PlaneDifferences Differences(const focal::Plane& mechanism, const focal::Vec3& normal,
                                 const focal::Vec3& slip) const;

private:
    focal::Plane a_, b_;
    focal::Vec3 nA_, nB_;
};

// Needs at least one observation.
FocalSolution SolveFocalMechanism(const std::vector<Observation>& observations, const SearchSettings& settings = {});

// The weighted misfit of one mechanism, and the number of polarities it does
// not explain (a ray on a nodal plane explains nothing).
double WeightedMisfit(const std::vector<Observation>& observations, const focal::Plane& plane);
int MisfitCount(const std::vector<Observation>& observations, const focal::Plane& plane);
// +1, -1, or 0 on a nodal plane.
int PredictedPolarity(const focal::Plane& plane, const focal::Vec3& ray);

// The quality letter from the share of polarities not explained, the RMS
// rotation of the acceptable set, its share near the solution and the
// station distribution ratio.
char QualityOf(double misfitFraction, double rmsRotation, double shareWithin45, double stationRatio = 1.0);

// The share of wrong polarities the data suggest: (m + 1) / (N + 2) for m
// polarities (in mean weights) not explained by the best mechanism of N.
double EstimatedErrorRate(double minimumMisfit, double totalWeight, int picks);

}  // namespace dyma::npfa
