// The polarity of a pick: the first swing after the pick against the level
// before it, uncertain within the noise.
#include "app/seismogram/firstmotion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

using namespace dyma::picking;

namespace {

constexpr double kPi = std::numbers::pi;

struct TraceSpec {
    double rate = 500;
    double offset = 0;     // DC offset
    double noise = 0;      // RMS of white noise
    int sign = 1;          // first motion
    double first = 1000;   // the first swing's peak above the level
    double second = 2.5;   // the next, opposite swing, times the first
    int rise = 1;          // samples from the onset to the first swing's peak
    unsigned seed = 1;
};

constexpr int kOnset = 1000;

// Level, then from kOnset a linear rise to the first swing, a half cosine
// over to a larger opposite swing and a damped 15 Hz oscillation.
std::vector<double> MakeTrace(const TraceSpec& shape) {
    std::mt19937 random(shape.seed);
    std::normal_distribution<double> gauss(0, shape.noise > 0 ? shape.noise : 1);
    const double half = shape.rate / 30;  // half a period of 15 Hz
    std::vector<double> x(2000 * int(shape.rate / 500));
    for (int i = 0; i < int(x.size()); ++i) {
        const double tau = i - kOnset;
        double w = 0;
        if (tau > 0 && tau <= shape.rise)
            w = tau / shape.rise;
        else if (tau > shape.rise && tau <= shape.rise + half)
            w = (1 - shape.second) / 2 + (1 + shape.second) / 2 * std::cos(kPi * (tau - shape.rise) / half);
        else if (tau > shape.rise + half)
            w = -shape.second * std::cos(kPi * (tau - shape.rise - half) / half) * std::exp(-(tau - shape.rise - half) / (3 * half));
        x[i] = shape.offset + shape.sign * shape.first * w + (shape.noise > 0 ? gauss(random) : 0);
    }
    return x;
}

}  // namespace

TEST(FirstMotion, TheFirstSwingAgainstTheLevelBeforeIt) {
    struct Case {
        const char* what;
        TraceSpec shape;
        int clickAfterOnset;  // samples
        Polarity expected;
    };
    const Case cases[] = {
        {"impulsive up, click at the onset", {}, 0, Polarity::Up},
        {"impulsive down, click at the onset", {.sign = -1}, 0, Polarity::Down},
        {"down on a large positive offset", {.offset = 20000, .noise = 30, .sign = -1}, 0, Polarity::Down},
        {"up on a large negative offset", {.offset = -20000, .noise = 30, .sign = 1}, 0, Polarity::Up},
        {"click 3 samples late on the rise", {.offset = 500, .noise = 20, .sign = -1, .rise = 8}, 3, Polarity::Down},
        {"click late, past the first peak", {.offset = -500, .noise = 20, .sign = 1, .rise = 2}, 4, Polarity::Up},
        {"click early, the swing follows", {.noise = 20, .sign = -1, .rise = 3}, -8, Polarity::Down},
        {"emergent over 20 samples at 1 kHz", {.rate = 1000, .noise = 50, .sign = -1, .first = 600, .rise = 20}, 0,
         Polarity::Down},
        {"emergent over 12 samples, late click", {.noise = 40, .sign = 1, .first = 400, .rise = 12}, 4, Polarity::Up},
        {"first swing smaller than the second", {.noise = 30, .sign = 1, .first = 200, .second = 4, .rise = 2}, 0,
         Polarity::Up},
        {"click on the flat trace", {.first = 0}, 0, Polarity::Uncertain},
        {"click in noise long before the onset", {.noise = 40}, -400, Polarity::Uncertain},
    };
    for (const Case& c : cases) {
        const std::vector<double> x = MakeTrace(c.shape);
        const FirstMotion m = ReadFirstMotionAt(x, c.shape.rate, kOnset + c.clickAfterOnset);
        EXPECT_EQ(PolarityText(m.polarity), std::string(PolarityText(c.expected))) << c.what;
        // The level is the offset, whatever the sign of the samples.
        EXPECT_NEAR(m.level, c.shape.offset, 3 * c.shape.noise + 1e-9) << c.what;
    }
}

TEST(FirstMotion, AClickAtTheTrueOnsetIsRightFromThreeTimesTheNoise) {
    // Many noise draws at the weakest ratio that must still read right:
    // impulsive and emergent onsets, both directions, 500 and 1000 Hz.
    int right = 0, wrong = 0, clicks = 0;
    for (unsigned seed = 1; seed <= 50; ++seed)
        for (const int rise : {1, 2, 8, 15})
            for (const int sign : {1, -1}) {
                const double rate = seed % 2 ? 500 : 1000;
                const TraceSpec shape{.rate = rate, .offset = 1000, .noise = 100, .sign = sign, .first = 300,
                                     .rise = rise, .seed = seed};
                const FirstMotion m = ReadFirstMotion(MakeTrace(shape), rate, kOnset / rate);
                ++clicks;
                right += m.polarity == (sign > 0 ? Polarity::Up : Polarity::Down);
                wrong += m.polarity == (sign > 0 ? Polarity::Down : Polarity::Up);
            }
    // The few that are not right are nearly all left to the operator.
    EXPECT_LE(wrong, clicks / 200) << wrong << " of " << clicks;
    EXPECT_GE(right, clicks * 95 / 100) << right << " of " << clicks;
}

TEST(FirstMotion, SignalToNoiseRatioOfTheSwing) {
    // The first swing's peak over the RMS of the noise before it.
    for (const double ratio : {4.0, 10.0, 40.0}) {
        const TraceSpec shape{.offset = -300, .noise = 50, .sign = -1, .first = 50 * ratio, .rise = 4, .seed = 7};
        const FirstMotion m = ReadFirstMotionAt(MakeTrace(shape), shape.rate, kOnset);
        EXPECT_EQ(m.polarity, Polarity::Down);
        EXPECT_NEAR(m.noiseRms, 50, 8);
        EXPECT_NEAR(m.snr, ratio, 0.15 * ratio + 1);
        EXPECT_NEAR(m.peak, -50 * ratio, 3 * 50);
        EXPECT_NEAR(m.peakSample, kOnset + 4, 2);
    }
}

TEST(FirstMotion, PicksWithoutEnoughTraceAreUncertain) {
    const std::vector<double> x = MakeTrace({});
    for (const double t : {-1.0, 0.0, 0.004, 1e9, std::nan("")})
        EXPECT_EQ(ReadFirstMotion(x, 500, t).polarity, Polarity::Uncertain) << t;
    EXPECT_EQ(ReadFirstMotion(x, 0, 2.0).polarity, Polarity::Uncertain);
    EXPECT_EQ(ReadFirstMotion({}, 500, 2.0).polarity, Polarity::Uncertain);
    // The pick's sample is trunc(t x rate), as the click's always was.
    EXPECT_EQ(ReadFirstMotion(x, 500, (kOnset + 0.9) / 500).polarity, Polarity::Up);
    EXPECT_STREQ(PolarityText(Polarity::Up), "+");
    EXPECT_STREQ(PolarityText(Polarity::Down), "-");
    EXPECT_STREQ(PolarityText(Polarity::Uncertain), "?");
}

TEST(FirstMotion, SwingsWithinTheNoiseAreUncertain) {
    // Clicks on noise alone, and on first swings smaller than the noise's
    // RMS: mostly uncertain, and no direction preferred.
    struct Case {
        double first;
        int atMostGiven;  // of 400 draws
    };
    for (const Case c : {Case{0, 40}, Case{60, 80}}) {
        int up = 0, down = 0;
        for (unsigned seed = 1; seed <= 400; ++seed) {
            const TraceSpec shape{.offset = 2000, .noise = 100, .sign = 1, .first = c.first, .second = 1, .rise = 3,
                                 .seed = seed};
            const Polarity p = ReadFirstMotionAt(MakeTrace(shape), 500, kOnset).polarity;
            up += p == Polarity::Up;
            down += p == Polarity::Down;
        }
        EXPECT_LE(up + down, c.atMostGiven) << c.first;
        if (c.first == 0) EXPECT_LE(std::abs(up - down), 12);
    }
}
