// The polarity of a pick: the direction of the first swing after the pick
// time, measured against the level of the trace just before it. This is the
// one rule for a click on the trace, for the automatic suggestion and for
// the command line, so that the three never disagree.
//
// The level is the mean of a short window that ends a few samples before
// the pick, so that a DC offset does not decide the sign and a click a few
// samples late still compares the swing with the quiet trace before it. A
// swing whose peak is within the noise (measured on the same window) gives
// no polarity: the pick is "uncertain" and the operator has to choose.
#pragma once

#include <span>
#include <string>

namespace dyma::picking {

enum class Polarity { Up, Down, Uncertain };

// "+" up (compression), "-" down (dilatation), "?" uncertain: the texts of
// FirstArrival and of the command line's JSON.
const char* PolarityText(Polarity polarity);

// All lengths in seconds; converted to samples with the trace's rate.
struct FirstMotionSettings {
    double gap = 0.010;          // between the end of the level window and the pick
    double levelWindow = 0.100;  // the quiet trace averaged as the level
    double startWindow = 0.030;  // how far after the pick the first swing may start
    double swingWindow = 0.060;  // how long a swing may last
    double threshold = 3.0;      // a swing starts where it leaves the noise by this many RMS
    double minimumSnr = 2.5;     // a swing's peak below this many RMS is uncertain
    double quietLimit = 2.5;     // an opposite dip beyond this many RMS before the swing: uncertain
    double shortestSwing = 0.005;  // a swing shorter than this is noise: uncertain
};

struct FirstMotion {
    Polarity polarity = Polarity::Uncertain;
    double level = 0;     // mean before the pick (trace units)
    double noiseRms = 0;  // RMS about the level over the same window
    double peak = 0;      // the first swing's extreme less the level (signed)
    int peakSample = -1;  // where the extreme is; -1 when no swing was found
    double snr = 0;       // |peak| / noiseRms; large (1e9) on a noiseless trace
};

// The first motion of `trace` (samples at `rateHz`) for a pick at time t
// (seconds from the record start; the pick's sample is trunc(t x rate)).
// Never throws: a pick outside the trace, or with too little trace before
// or after it, is uncertain.
FirstMotion ReadFirstMotion(std::span<const double> trace, double rateHz, double t,
                            const FirstMotionSettings& settings = {});

// The same for a pick at sample `pick`.
FirstMotion ReadFirstMotionAt(std::span<const double> trace, double rateHz, int pick,
                              const FirstMotionSettings& settings = {});

}  // namespace dyma::picking
