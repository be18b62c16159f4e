// Automatic onset and polarity suggestions: a characteristic-function
// trigger (STA/LTA on the band-passed trace) finds where the first wave
// arrives, an AIC picker on the samples around the trigger places the onset,
// and a last step walks back to the start of the rise so that emergent
// onsets are placed where they begin and not where they become obvious. The
// polarity comes from the raw trace through ReadFirstMotion, exactly as a
// click at the suggested time would give it.
#pragma once

#include "app/seismogram/bandpass.h"
#include "app/seismogram/firstmotion.h"

#include <span>
#include <vector>

namespace dyma::picking {

// Lengths in seconds.
struct OnsetPickerSettings {
    BandPassSettings filter;        // the characteristic function's band
    double sta = 0.010;             // short-term average
    double lta = 0.500;             // long-term average
    double triggerRatio = 4.0;      // STA/LTA that declares an arrival
    double aicBefore = 0.300;       // AIC window before the trigger
    double aicAfter = 0.050;        // and after it
    bool startOfRise = true;        // walk back from the AIC pick to the start of the rise
    double strongTrigger = 20.0;    // an STA/LTA peak that is an arrival whatever its first swing
    double weakestSnr = 4.0;        // below both, the trigger was the noise's: no suggestion
    FirstMotionSettings firstMotion;
};

struct OnsetSuggestion {
    bool found = false;  // false: no arrival stands out of the noise
    int sample = -1;     // the onset (start of the rise), a sample index
    double time = 0;     // sample / rate, seconds from the record start
    FirstMotion motion;  // polarity and signal-to-noise ratio at the onset
};

// The suggestion for one channel of samples at `rateHz`.
OnsetSuggestion SuggestOnset(std::span<const double> samples, double rateHz,
                             const OnsetPickerSettings& settings = {});

// The weight (10 ... 100 in steps of 10, as the picking bar shows it) that
// an automatic pick of this signal-to-noise ratio deserves.
int WeightFromSnr(double snr);

}  // namespace dyma::picking
