#include "app/seismogram/firstmotion.h"

#include <algorithm>
#include <cmath>

namespace dyma::picking {

namespace {

int Samples(double seconds, double rateHz, int atLeast) {
    return std::max(atLeast, int(std::lround(seconds * rateHz)));
}

// The deviation from the level, averaged over a few samples centred on i:
// the first swing of a tremor lasts several milliseconds, a spike of white
// noise one sample, and the average keeps the one and tames the other.
struct Smoothed {
    std::span<const double> trace;
    double level;
    int half;
    double operator()(int i) const {
        const int a = std::max(0, i - half);
        const int b = std::min(int(trace.size()) - 1, i + half);
        double sum = 0;
        for (int j = a; j <= b; ++j) sum += trace[j];
        return sum / double(b - a + 1) - level;
    }
};

}  // namespace

const char* PolarityText(Polarity polarity) {
    switch (polarity) {
    case Polarity::Up: return "+";
    case Polarity::Down: return "-";
    case Polarity::Uncertain: break;
    }
    return "?";
}

FirstMotion ReadFirstMotion(std::span<const double> trace, double rateHz, double t,
                            const FirstMotionSettings& settings) {
    if (!(rateHz > 0) || !std::isfinite(t) || t < 0) return {};
    return ReadFirstMotionAt(trace, rateHz, int(std::trunc(t * rateHz)), settings);
}

FirstMotion ReadFirstMotionAt(std::span<const double> trace, double rateHz, int pick,
                              const FirstMotionSettings& settings) {
    FirstMotion motion;
    const int n = int(trace.size());
    if (!(rateHz > 0) || pick < 0 || pick >= n) return motion;
    const int gap = Samples(settings.gap, rateHz, 1);
    const int smoothHalf = Samples(0.001, rateHz, 0);  // one millisecond either side
    const int levelEnd = pick - gap;
    const int levelStart = std::max(0, levelEnd - Samples(settings.levelWindow, rateHz, 8));
    // Too little quiet trace before the pick to say what the level is.
    if (levelEnd - levelStart < 4) return motion;

    double sum = 0;
    for (int i = levelStart; i < levelEnd; ++i) sum += trace[i];
    motion.level = sum / double(levelEnd - levelStart);
    const Smoothed deviation{trace, motion.level, smoothHalf};
    double raw2 = 0, smooth2 = 0;
    for (int i = levelStart; i < levelEnd; ++i) {
        raw2 += (trace[i] - motion.level) * (trace[i] - motion.level);
        const double d = deviation(i);
        smooth2 += d * d;
    }
    motion.noiseRms = std::sqrt(raw2 / double(levelEnd - levelStart));
    const double smoothRms = std::sqrt(smooth2 / double(levelEnd - levelStart));
    // A noiseless trace (a synthetic one) still needs a swing that is more
    // than rounding.
    double scale = 0;
    for (int i = levelStart; i < std::min(n, pick + Samples(settings.startWindow + settings.swingWindow, rateHz, 1)); ++i)
        scale = std::max(scale, std::abs(trace[i]));
    const double floor = 1e-9 * std::max(scale, 1e-300);
    const double threshold = std::max(settings.threshold * smoothRms, floor);

    // The first swing: where the smoothed deviation first leaves the noise,
    // followed until it comes back to the level.
    const int searchEnd = std::min(n, pick + Samples(settings.startWindow, rateHz, 1));
    int start = -1;
    for (int i = pick; i < searchEnd && start < 0; ++i)
        if (std::abs(deviation(i)) > threshold) start = i;
    if (start < 0) return motion;
    const double sign = deviation(start) > 0 ? 1.0 : -1.0;
    // Between the pick and the swing the trace must be quiet: a dip the
    // other way that nearly left the noise may be the true first swing,
    // drowned, with the larger second one taken for it.
    bool quiet = true;
    for (int i = pick; i < start; ++i)
        if (sign * deviation(i) < -settings.quietLimit * smoothRms) quiet = false;
    const int swingEnd = std::min(n, start + Samples(settings.swingWindow, rateHz, 1));
    double best = 0, bestSmooth = 0;
    int bestAt = start, end = start;
    for (int i = start; i < swingEnd; ++i, end = i) {
        const double d = deviation(i);
        if (sign * d <= 0) break;
        // The swing is over where the trace has clearly turned back, even
        // when a later arrival keeps it from reaching the level.
        if (sign * d < 0.5 * bestSmooth && bestSmooth - sign * d > 4 * smoothRms) break;
        bestSmooth = std::max(bestSmooth, sign * d);
        const double r = sign * (trace[i] - motion.level);
        if (r > best) {
            best = r;
            bestAt = i;
        }
    }
    motion.peak = sign * best;
    motion.peakSample = bestAt;
    motion.snr = motion.noiseRms > 0 ? best / motion.noiseRms : 1e9;
    // Clear only where both the swing itself and its smoothed form stand
    // out of the noise: a lone spike passes the one, slow drift the other.
    // A swing of a tremor lasts milliseconds; a spike of noise that just
    // crossed the threshold is over at once.
    const bool lasts = end - start >= Samples(settings.shortestSwing, rateHz, 1);
    const bool clear = smoothRms > 0 ? bestSmooth >= settings.minimumSnr * smoothRms && motion.snr >= settings.minimumSnr
                                     : bestSmooth > floor;
    if (!quiet || !lasts) return motion;
    if (clear) motion.polarity = sign > 0 ? Polarity::Up : Polarity::Down;
    return motion;
}

}  // namespace dyma::picking
