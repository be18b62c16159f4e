#include "app/seismogram/onsetpicker.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dyma::picking {

namespace {

int Samples(double seconds, double rateHz, int atLeast) {
    return std::max(atLeast, int(std::lround(seconds * rateHz)));
}

// The sample where the STA/LTA of the band-passed trace first marks an
// arrival, or -1. Noise alone lifts the ratio above the trigger level now
// and then for a moment; an arrival lifts it far higher. So every run above
// the trigger level is a candidate, and the first one whose peak reaches a
// good part of the record's highest peak is the first arrival (the P, even
// where the S after it is stronger).
int Trigger(std::span<const double> filtered, double rateHz, const OnsetPickerSettings& settings) {
    const int n = int(filtered.size());
    const int ns = Samples(settings.sta, rateHz, 2);
    const int nl = Samples(settings.lta, rateHz, 4);
    if (n < ns + nl + 2) return -1;
    std::vector<double> prefix(n + 1, 0.0);
    for (int i = 0; i < n; ++i) prefix[i + 1] = prefix[i] + filtered[i] * filtered[i];
    auto ratioAt = [&](int i) {  // STA over (i - ns, i], LTA over the nl samples before it
        const double sta = (prefix[i + 1] - prefix[i + 1 - ns]) / ns;
        const double lta = (prefix[i + 1 - ns] - prefix[i + 1 - ns - nl]) / nl;
        return lta > 0 ? sta / lta : (sta > 0 ? std::numeric_limits<double>::max() : 0.0);
    };
    struct Run {
        int first;
        double peak;
    };
    std::vector<Run> runs;
    double highest = 0;
    for (int i = ns + nl - 1; i < n; ++i) {
        const double r = ratioAt(i);
        if (r > settings.triggerRatio) {
            if (runs.empty() || runs.back().first < 0) runs.push_back({i, r});
            runs.back().peak = std::max(runs.back().peak, r);
            highest = std::max(highest, r);
        } else if (!runs.empty() && runs.back().first >= 0) {
            runs.push_back({-1, 0});  // closes the run
        }
    }
    const double wanted = std::max(settings.triggerRatio * 2.5, highest * 0.2);
    for (const Run& run : runs)
        if (run.first >= 0 && run.peak >= wanted) return run.first;
    return -1;
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
    const std::vector<double> filtered = ViewTrace(samples, rateHz, &settings.filter);
    const int trigger = Trigger(filtered, rateHz, settings);
    if (trigger < 0) return suggestion;
    const int n = int(samples.size());
    const int a = std::max(0, trigger - Samples(settings.aicBefore, rateHz, 8));
    const int b = std::min(n, trigger + Samples(settings.aicAfter, rateHz, 4));
    int pick = AicPick(samples, a, b);
    if (pick < 0) return suggestion;
    if (settings.startOfRise) pick = StartOfRise(samples, rateHz, pick, settings.firstMotion);
    suggestion.found = true;
    suggestion.sample = pick;
    suggestion.time = pick / rateHz;
    suggestion.motion = ReadFirstMotionAt(samples, rateHz, pick, settings.firstMotion);
    return suggestion;
}

int WeightFromSnr(double snr) {
    // Ten steps from a swing just out of the noise to a clear one.
    if (!(snr > 0)) return 10;
    const int weight = int(std::floor(snr / 2.0)) * 10;
    return std::clamp(weight, 10, 100);
}

}  // namespace dyma::picking
