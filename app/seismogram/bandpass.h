// The view filter of the picking window: mean removal and a causal
// Butterworth band-pass made of biquad sections (bilinear transform with
// both corners prewarped, so the gain at each corner is exactly -3 dB).
//
// The filter is causal on purpose: its output at a sample depends only on
// that sample and earlier ones, so nothing appears before an onset and the
// first swing keeps its direction. A zero-phase (forward-backward) filter
// would ring before the onset and can flip the apparent first motion, which
// is what the operator reads the polarity from.
#pragma once

#include <complex>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace dyma::picking {

// Corners in hertz; order is that of the Butterworth low-pass prototype
// (1 ... 8): the band-pass has `order` biquad sections and falls off at
// order x 20 dB per decade on either side.
struct BandPassSettings {
    int order = 2;
    double lowHz = 5.0;
    double highHz = 45.0;
};

// What is wrong with `settings` at the sampling rate `rateHz` (Polish, for
// the operator), or "" when the filter can be built: the corners must be
// positive, low below high and high below the Nyquist frequency.
std::string BandPassProblem(const BandPassSettings& settings, double rateHz);

// One second-order section in transposed direct form II, a0 = 1.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double z1 = 0, z2 = 0;  // state
    double Step(double x) {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
    // Complex gain at the normalised angular frequency w (radians/sample).
    std::complex<double> Response(double w) const;
};

class BandPassFilter {
public:
    // Throws std::invalid_argument with BandPassProblem's text.
    BandPassFilter(const BandPassSettings& settings, double rateHz);

    // Filters `samples` in place from a state at rest on the first sample's
    // level: a constant trace gives zeros, so a DC offset makes no step
    // response at the start of the record.
    void Apply(std::span<double> samples);

    // The same one sample at a time, for callers that keep no filtered
    // copy: Settle puts the state at rest on `level`, Step filters the next
    // sample.
    void Settle(double level) { SettleOn(level); }
    double Step(double x) {
        for (Biquad& s : sections_) x = s.Step(x);
        return x;
    }

    // Complex gain at `hz` (for the response checks and the help page).
    std::complex<double> Response(double hz) const;

    const std::vector<Biquad>& Sections() const { return sections_; }

private:
    void SettleOn(double level);
    std::vector<Biquad> sections_;
    double rateHz_ = 0;
};

// Subtracts the trace's mean from every sample.
void RemoveMean(std::span<double> samples);

// The trace the picking window shows: the raw samples less their mean, and
// band-passed by the causal filter when `filter` is given. Picks are stored
// in the record's own time either way (the filter does not shift samples).
std::vector<double> ViewTrace(std::span<const double> raw, double rateHz, const BandPassSettings* filter);

}  // namespace dyma::picking
