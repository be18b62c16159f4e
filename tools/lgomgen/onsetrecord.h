// Synthetic records for the onset picker and the first-motion rule: every
// channel carries one P arrival at a known sample with a known first-motion
// sign and signal-to-noise ratio, and an S arrival after it, in noise of
// the kinds mine records have (coloured noise, mains hum, a DC offset of
// several times the noise).
//
// The P wavelet rises from the level at `onset` (the sample before the rise
// is exactly the level) to its first swing's peak, linearly over
// `riseSamples` samples: 1 or 2 for impulsive onsets, 5 ... 20 for emergent
// ones. The first swing is smaller than the second, opposite one, and the S
// arrival is stronger still, so a picker that looks for the largest swing
// finds the wrong one.
//
//   lgomgen::OnsetRecordSettings settings;
//   settings.rateHz = 1000;
//   const auto traces = lgomgen::MakeOnsetTraces(settings);
//   lgomgen::Write("event.mbj", lgomgen::OnsetRecordSignal(traces, settings));
#pragma once

#include "tools/lgomgen/lgomgen.h"

#include <cstdint>
#include <vector>

namespace lgomgen {

enum class OnsetKind { Impulsive, Emergent };

struct OnsetRecordSettings {
    double rateHz = 500;
    double seconds = 6;
    int channels = 16;
    std::uint32_t seed = 1;
    double noiseRms = 40;         // counts
    double snrLowest = 3;         // the first swing's peak over the noise RMS,
    double snrHighest = 40;       // spread evenly on a log scale
    double firstOnset = 1.5;      // seconds: the P onsets lie in [firstOnset, lastOnset]
    double lastOnset = 3.0;
    // Every other channel is emergent (kinds alternate), so both come in
    // equal numbers.
};

struct OnsetTrace {
    std::vector<double> samples;  // whole counts, within the 16-bit range
    int onset = 0;                // first sample of the rise
    int polarity = 1;             // +1 the first swing goes up, -1 down
    OnsetKind kind = OnsetKind::Impulsive;
    int riseSamples = 1;
    double snr = 0;               // the first swing's peak over the noise RMS before the onset
    double noiseRms = 0;          // measured on the noise before the onset
    double offset = 0;            // the DC offset
};

std::vector<OnsetTrace> MakeOnsetTraces(const OnsetRecordSettings& settings);

// An MBJ signal of the traces with stations in a ring around the origin
// (1 km radius, 400 m below the surface) and the settings' sampling rate.
Signal OnsetRecordSignal(const std::vector<OnsetTrace>& traces, const OnsetRecordSettings& settings);

}  // namespace lgomgen
