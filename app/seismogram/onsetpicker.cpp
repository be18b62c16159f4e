#include "app/seismogram/onsetpicker.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dyma::picking {

namespace {

int Samples(double seconds, double rateHz, int atLeast) {
    return std::max(atLeast, int(std::lround(seconds * rateHz)));
}

struct Triggered {
    int sample = -1;
    double peak = 0;  // the highest STA/LTA of its run
};

// The sample where the STA/LTA of the band-passed trace first marks an
// arrival, or -1. Noise alone lifts the ratio above the trigger level now
// and then for a moment; an arrival lifts it far higher. So every run above
// the trigger level is a candidate, and the first one whose peak reaches a
// good part of the record's highest peak is the first arrival (the P, even
// where the S after it is stronger).
//
// The trace is filtered and squared as it is read, into a ring of the last
// STA + LTA samples: a long record needs no filtered copy of itself.
Triggered Trigger(std::span<const double> samples, double rateHz, const OnsetPickerSettings& settings) {
    const int n = int(samples.size());
    const int ns = Samples(settings.sta, rateHz, 2);
    const int nl = Samples(settings.lta, rateHz, 4);
    if (n < ns + nl + 2) return {};
    double mean = 0;
    for (double v : samples) mean += v;
    mean /= n;
    BandPassFilter filter(settings.filter, rateHz);
    filter.Settle(samples.front() - mean);
    const int ring = ns + nl;
    std::vector<double> squares(ring, 0.0);
    double sta = 0, lta = 0;  // sums of the last ns squares and of the nl before them
    struct Run {
        int first;
        double peak;
    };
    std::vector<Run> runs;
    bool inRun = false;
    double highest = 0;
    for (int i = 0; i < n; ++i) {
        const double y = filter.Step(samples[i] - mean);
        const double square = y * y;
        // The square leaving the STA window joins the LTA window; the one
        // leaving the LTA window goes.
        const double leavingSta = i >= ns ? squares[(i - ns) % ring] : 0.0;
        const double leavingLta = i >= ring ? squares[i % ring] : 0.0;
        squares[i % ring] = square;
        sta += square - leavingSta;
        lta += leavingSta - leavingLta;
        if (i < ring - 1) continue;
        const double r = lta > 0 ? (sta / ns) / (lta / nl) : (sta > 0 ? std::numeric_limits<double>::max() : 0.0);
        if (r > settings.triggerRatio) {
            if (!inRun) runs.push_back({i, r});
            inRun = true;
            runs.back().peak = std::max(runs.back().peak, r);
            highest = std::max(highest, r);
        } else {
            inRun = false;
        }
    }
    const double wanted = std::max(settings.triggerRatio * 2.5, highest * 0.2);
    for (const Run& run : runs)
        if (run.peak >= wanted) return {run.first, run.peak};
    return {};
}

// The AIC picker (Maeda's form on the samples themselves) on [a, b): the
// sample that splits the window into the two parts best described as two
// stationary pieces of different variance.
int AicPick(std::span<const double> x, int a, int b) {
    const int n = b - a;
    if (n < 8) return -1;
    std::vector<double> s1(n + 1, 0.0), s2(n + 1, 0.0);
    for (int i = 0; i < n; ++i) {
        s1[i + 1] = s1[i] + x[a + i];
        s2[i + 1] = s2[i] + x[a + i] * x[a + i];
    }
    auto variance = [&](int from, int to) {  // of x[a+from .. a+to)
        const double m = double(to - from);
        const double mean = (s1[to] - s1[from]) / m;
        return std::max((s2[to] - s2[from]) / m - mean * mean, 1e-300);
    };
    double best = std::numeric_limits<double>::max();
    int bestAt = -1;
    // A few samples at either end have a variance of almost nothing, and
    // its logarithm would win.
    const int margin = std::max(4, n / 20);
    for (int k = margin; k <= n - margin; ++k) {
        const double aic = k * std::log(variance(0, k)) + (n - k - 1) * std::log(variance(k, n));
        if (aic < best) {
            best = aic;
            bestAt = a + k;
        }
    }
    return bestAt;
}

// From the AIC pick back to the start of the rise. AIC marks where the
// signal's variance leaves the noise's, which on an emergent onset is well
// into the rise. The stretch before the first swing's peak is fitted with a
// hinge: a level, then a straight rise from the onset to the peak. Every
// onset in the stretch is tried and the one with the least squared misfit
// wins; the level is fitted too, so slow drift of the noise does not pull
// the onset.
int StartOfRise(std::span<const double> x, double rateHz, int pick, const FirstMotionSettings& settings) {
    const FirstMotion motion = ReadFirstMotionAt(x, rateHz, pick, settings);
    if (motion.peakSample < 0 || motion.peak == 0) return pick;
    // The fit ends where the swing reaches 60 % of its peak: a swing that
    // starts as a sine bends over before its peak, and a straight line up
    // to the peak would start too early.
    // It is looked for forwards from the pick, so that a swing that dips
    // and rises again before its peak is not fitted through the dip.
    const double sign = motion.peak > 0 ? 1 : -1;
    int peak = std::max(0, pick - Samples(0.010, rateHz, 2));
    while (peak < motion.peakSample && sign * (x[peak] - motion.level) < 0.6 * std::abs(motion.peak)) ++peak;
    const int from = std::max(0, std::min(pick, peak) - Samples(0.030, rateHz, 8));
    const int count = peak - from + 1;
    if (count < 6) return pick;
    double sy = 0, syy = 0;
    for (int i = from; i <= peak; ++i) sy += x[i];
    for (int i = from; i <= peak; ++i) syy += x[i] * x[i];
    double best = std::numeric_limits<double>::max();
    int bestOnset = pick;
    for (int onset = from + 3; onset < peak; ++onset) {
        // Regressors 1 and h = max(0, i - onset).
        double sh = 0, shh = 0, shy = 0;
        for (int i = onset + 1; i <= peak; ++i) {
            const double h = i - onset;
            sh += h;
            shh += h * h;
            shy += h * x[i];
        }
        const double det = count * shh - sh * sh;
        if (det <= 0) continue;
        const double c = (shh * sy - sh * shy) / det;
        const double a = (count * shy - sh * sy) / det;
        if (a * motion.peak <= 0) continue;  // the rise goes the first swing's way
        const double misfit = syy - c * sy - a * shy;
        if (misfit < best) {
            best = misfit;
            bestOnset = onset;
        }
    }
    return bestOnset;
}

}  // namespace

OnsetSuggestion SuggestOnset(std::span<const double> samples, double rateHz, const OnsetPickerSettings& settings) {
    OnsetSuggestion suggestion;
    if (!(rateHz > 0) || samples.empty() || !BandPassProblem(settings.filter, rateHz).empty()) return suggestion;
    const Triggered triggered = Trigger(samples, rateHz, settings);
    const int trigger = triggered.sample;
    if (trigger < 0) return suggestion;
    const int n = int(samples.size());
    const int a = std::max(0, trigger - Samples(settings.aicBefore, rateHz, 8));
    const int b = std::min(n, trigger + Samples(settings.aicAfter, rateHz, 4));
    int pick = AicPick(samples, a, b);
    if (pick < 0) return suggestion;
    if (settings.startOfRise) pick = StartOfRise(samples, rateHz, pick, settings.firstMotion);
    const FirstMotion motion = ReadFirstMotionAt(samples, rateHz, pick, settings.firstMotion);
    // Noise alone lifts a short STA/LTA now and then as high as a weak
    // arrival does; its first "swing" then barely leaves the noise. Only
    // where both are weak is it taken for noise.
    if (triggered.peak < settings.strongTrigger && motion.snr < settings.weakestSnr) return suggestion;
    suggestion.found = true;
    suggestion.sample = pick;
    suggestion.time = pick / rateHz;
    suggestion.motion = motion;
    return suggestion;
}

int WeightFromSnr(double snr) {
    // Ten steps from a swing just out of the noise to a clear one.
    if (!(snr > 0)) return 10;
    const int weight = int(std::floor(snr / 2.0)) * 10;
    return std::clamp(weight, 10, 100);
}

}  // namespace dyma::picking
