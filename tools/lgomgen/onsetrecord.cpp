#include "tools/lgomgen/onsetrecord.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace lgomgen {

namespace {

constexpr double kPi = std::numbers::pi;

// White noise, red noise (a first-order autoregression: most of the energy
// below a few hertz, as the mine's machinery and the ground's drift give)
// and mains hum at 50 Hz, scaled together to `rms`.
std::vector<double> Noise(std::mt19937& random, int n, double rateHz, double rms) {
    std::normal_distribution<double> gauss(0, 1);
    std::uniform_real_distribution<double> uniform(0, 1);
    std::vector<double> white(n), red(n), hum(n);
    double r = 0;
    const double redFactor = std::exp(-2 * kPi * 3.0 / rateHz);  // corner near 3 Hz
    for (int i = 0; i < n; ++i) {
        white[i] = gauss(random);
        r = redFactor * r + std::sqrt(1 - redFactor * redFactor) * gauss(random);
        red[i] = r;
    }
    const double phase = 2 * kPi * uniform(random);
    for (int i = 0; i < n; ++i) hum[i] = std::sqrt(2.0) * std::sin(2 * kPi * 50.0 * i / rateHz + phase);
    // Shares of the variance: white 0.4 ... 0.8, the rest red and hum.
    const double whiteShare = 0.4 + 0.4 * uniform(random);
    const double humShare = (1 - whiteShare) * uniform(random) * 0.6;
    const double redShare = 1 - whiteShare - humShare;
    std::vector<double> noise(n);
    for (int i = 0; i < n; ++i)
        noise[i] = rms * (std::sqrt(whiteShare) * white[i] + std::sqrt(redShare) * red[i] + std::sqrt(humShare) * hum[i]);
    return noise;
}

// The P wavelet at `tau` samples after the onset, first swing peak 1: the
// linear rise, a half cosine over to the second swing (-second), then a
// damped oscillation.
double PWavelet(double tau, int rise, double halfPeriod, double second, double decay) {
    if (tau <= 0) return 0;
    if (tau <= rise) return tau / rise;
    const double u = tau - rise;
    if (u <= halfPeriod) return (1 - second) / 2 + (1 + second) / 2 * std::cos(kPi * u / halfPeriod);
    const double w = u - halfPeriod;
    return -second * std::cos(kPi * w / halfPeriod) * std::exp(-w / decay);
}

// The S wave: a smooth start and a longer, stronger oscillation.
double SWavelet(double tau, double halfPeriod, double decay) {
    if (tau <= 0) return 0;
    const double envelope = (1 - std::exp(-tau / halfPeriod)) * std::exp(-tau / decay);
    return envelope * std::sin(kPi * tau / halfPeriod);
}

}  // namespace

std::vector<OnsetTrace> MakeOnsetTraces(const OnsetRecordSettings& settings) {
    std::mt19937 random(settings.seed);
    std::uniform_real_distribution<double> uniform(0, 1);
    const int n = int(std::lround(settings.seconds * settings.rateHz));
    std::vector<OnsetTrace> traces;
    for (int c = 0; c < settings.channels; ++c) {
        OnsetTrace trace;
        trace.kind = c % 2 == 0 ? OnsetKind::Impulsive : OnsetKind::Emergent;
        trace.riseSamples = trace.kind == OnsetKind::Impulsive ? 1 + int(uniform(random) * 2) : 5 + int(uniform(random) * 16);
        trace.polarity = uniform(random) < 0.5 ? -1 : 1;
        trace.onset = int(std::lround((settings.firstOnset + (settings.lastOnset - settings.firstOnset) * uniform(random)) *
                                      settings.rateHz));
        const double wantedSnr = settings.snrLowest * std::pow(settings.snrHighest / settings.snrLowest, uniform(random));
        const double sign = uniform(random) < 0.5 ? -1 : 1;
        trace.offset = sign * settings.noiseRms * (2 + 8 * uniform(random));

        std::vector<double> noise = Noise(random, n, settings.rateHz, settings.noiseRms);
        // The ratio is measured as a picker sees it: on the noise of the
        // half second before the onset, about its own mean.
        const int from = std::max(0, trace.onset - int(settings.rateHz / 2));
        double mean = 0, square = 0;
        for (int i = from; i < trace.onset; ++i) mean += noise[i];
        mean /= std::max(1, trace.onset - from);
        for (int i = from; i < trace.onset; ++i) square += (noise[i] - mean) * (noise[i] - mean);
        trace.noiseRms = std::sqrt(square / std::max(1, trace.onset - from));
        const double peak = wantedSnr * trace.noiseRms;

        // P: 10 ... 30 Hz, second swing 1.5 ... 3 times the first; S 0.3 ... 1.2 s
        // later, 4 ... 8 Hz, 2 ... 4 times the second swing.
        const double pHalf = settings.rateHz / (2 * (10 + 20 * uniform(random)));
        const double second = 1.5 + 1.5 * uniform(random);
        const double pDecay = pHalf * (2 + 3 * uniform(random));
        const int sOnset = trace.onset + int(std::lround((0.3 + 0.9 * uniform(random)) * settings.rateHz));
        const double sHalf = settings.rateHz / (2 * (4 + 4 * uniform(random)));
        const double sAmplitude = std::min(peak * second * (2 + 2 * uniform(random)), 20000.0);
        const double sSign = uniform(random) < 0.5 ? -1 : 1;
        const double sDecay = settings.rateHz * 0.5;

        trace.samples.resize(n);
        double swing = 0;
        for (int i = 0; i < n; ++i) {
            const double p = trace.polarity * peak * PWavelet(i - trace.onset, trace.riseSamples, pHalf, second, pDecay);
            const double s = sSign * sAmplitude * SWavelet(i - sOnset, sHalf, sDecay);
            const double v = std::round(trace.offset + noise[i] + p + s);
            trace.samples[i] = std::clamp(v, -32767.0, 32767.0);
            if (i > trace.onset && i <= trace.onset + trace.riseSamples) swing = std::max(swing, trace.polarity * p);
        }
        trace.snr = swing / trace.noiseRms;
        traces.push_back(std::move(trace));
    }
    return traces;
}

Signal OnsetRecordSignal(const std::vector<OnsetTrace>& traces, const OnsetRecordSettings& settings) {
    Signal signal;
    signal.layout = Layout::MBJ;
    signal.samplingRate = settings.rateHz;
    const int count = int(traces.size());
    for (int c = 0; c < count; ++c) {
        Channel channel;
        channel.number = c + 1;
        channel.component = "Z";
        channel.name = "ST" + std::to_string(c + 1);
        const double angle = 2 * kPi * c / std::max(1, count);
        channel.x = 1000 * std::cos(angle);
        channel.y = 1000 * std::sin(angle);
        channel.z = -400;
        channel.samples.reserve(traces[c].samples.size());
        for (double v : traces[c].samples) channel.samples.push_back(std::int16_t(v));
        signal.channels.push_back(std::move(channel));
    }
    return signal;
}

}  // namespace lgomgen
