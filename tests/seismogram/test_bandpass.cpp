// The view filter: its response against the Butterworth band-pass of the
// textbook, the filter as applied to samples, and its causality.
#include "app/seismogram/bandpass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace dyma::picking;

namespace {

constexpr double kPi = std::numbers::pi;

// |H|^2 of the analog Butterworth band-pass of order n with the corners
// prewarped, at the digital frequency f: what the bilinear transform must
// reproduce exactly.
double TextbookGain(double f, double low, double high, int n, double rate) {
    auto warp = [rate](double hz) { return 2 * rate * std::tan(kPi * hz / rate); };
    const double w = warp(f), w1 = warp(low), w2 = warp(high);
    const double x = (w * w - w1 * w2) / (w * (w2 - w1));
    return 1 / std::sqrt(1 + std::pow(x * x, n));
}

struct Design {
    int order;
    double low, high, rate;
};

const Design kDesigns[] = {
    {1, 5, 45, 500}, {2, 5, 45, 500}, {4, 5, 45, 1000}, {3, 2, 100, 1000}, {8, 1, 20, 500}, {2, 1, 240, 500},
};

}  // namespace

TEST(BandPass, ResponseIsTheTextbookButterworth) {
    for (const Design& d : kDesigns) {
        SCOPED_TRACE(testing::Message() << "order " << d.order << " " << d.low << "-" << d.high << " Hz at " << d.rate);
        const BandPassFilter filter({d.order, d.low, d.high}, d.rate);
        EXPECT_EQ(int(filter.Sections().size()), d.order);
        // -3 dB at both corners.
        EXPECT_NEAR(std::abs(filter.Response(d.low)), std::sqrt(0.5), 1e-6);
        EXPECT_NEAR(std::abs(filter.Response(d.high)), std::sqrt(0.5), 1e-6);
        for (double f = 0.25; f < d.rate / 2; f *= 1.3)
            EXPECT_NEAR(std::abs(filter.Response(f)), TextbookGain(f, d.low, d.high, d.order, d.rate), 1e-6) << f;
    }
}

TEST(BandPass, SamplesPassWithTheGainOfTheResponse) {
    // A sine at a corner and one in the stop band, filtered as samples:
    // the amplitude after the transient is the response's gain.
    const double rate = 500;
    const BandPassSettings settings{4, 5, 45};
    for (const double f : {5.0, 45.0, 15.0, 120.0}) {
        std::vector<double> x(int(rate * 8));
        for (size_t i = 0; i < x.size(); ++i) x[i] = 1000 * std::sin(2 * kPi * f * double(i) / rate);
        BandPassFilter filter(settings, rate);
        filter.Apply(x);
        double amplitude = 0;
        for (size_t i = x.size() / 2; i < x.size(); ++i) amplitude = std::max(amplitude, std::abs(x[i]));
        EXPECT_NEAR(amplitude / 1000, std::abs(filter.Response(f)), 0.01) << f;
    }
    EXPECT_NEAR(std::abs(BandPassFilter(settings, rate).Response(5)), std::sqrt(0.5), 1e-9);
}

TEST(BandPass, NothingBeforeTheOnsetAndTheFirstSwingKeepsItsSign) {
    // A DC offset, silence, then an onset going down: the causal filter
    // shows nothing before it (a forward-backward filter would ring there)
    // and its first swing goes down too.
    for (const double rate : {500.0, 1000.0}) {
        const int onset = int(rate * 2);
        std::vector<double> x(int(rate * 4), 3000.0);
        for (int i = onset; i < int(x.size()); ++i)
            x[i] -= 800 * std::sin(2 * kPi * 12 * (i - onset) / rate) * std::exp(-(i - onset) / (0.2 * rate));
        const BandPassSettings settings{4, 5, 45};
        const std::vector<double> view = ViewTrace(x, rate, &settings);
        for (int i = 0; i < onset; ++i) ASSERT_NEAR(view[i] - view[0], 0, 1e-6) << i;
        int first = onset;
        while (std::abs(view[first] - view[0]) < 1e-3) ++first;
        EXPECT_LE(first, onset + 1);
        EXPECT_LT(view[first + 5] - view[0], 0);
    }
}

TEST(BandPass, MeanRemovalAndAConstantTrace) {
    std::vector<double> x{4, 6, 8, 10};
    RemoveMean(x);
    EXPECT_EQ(x, (std::vector<double>{-3, -1, 1, 3}));
    // Without the filter the view is the trace less its mean.
    const std::vector<double> raw{100, 102, 98, 100};
    EXPECT_EQ(ViewTrace(raw, 500, nullptr), (std::vector<double>{0, 2, -2, 0}));
    // A constant trace (a DC offset only) filters to zeros from the first
    // sample: no step response at the start of the record.
    const BandPassSettings settings{2, 5, 45};
    std::vector<double> level(1000, 2500.0);
    BandPassFilter(settings, 500).Apply(level);
    for (double v : level) ASSERT_NEAR(v, 0, 1e-9);
}

TEST(BandPass, SettingsTheFilterCannotHave) {
    struct Case {
        BandPassSettings settings;
        double rate;
        bool good;
    };
    const Case cases[] = {
        {{2, 5, 45}, 500, true},   {{0, 5, 45}, 500, false},   {{9, 5, 45}, 500, false},
        {{2, 0, 45}, 500, false},  {{2, 45, 5}, 500, false},   {{2, 5, 5}, 500, false},
        {{2, 5, 250}, 500, false}, {{2, 5, 249}, 500, true},   {{2, 5, 45}, 0, false},
    };
    for (const Case& c : cases) {
        const std::string problem = BandPassProblem(c.settings, c.rate);
        EXPECT_EQ(problem.empty(), c.good) << c.settings.order << " " << c.settings.lowHz << " " << c.settings.highHz;
        if (c.good)
            EXPECT_NO_THROW(BandPassFilter(c.settings, c.rate));
        else
            EXPECT_THROW(BandPassFilter(c.settings, c.rate), std::invalid_argument);
    }
}
