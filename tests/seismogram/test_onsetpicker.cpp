// The onset suggestions on generated records with known onsets and first
// motions, read back through the program's own signal-file reader.
#include "app/seismogram/onsetpicker.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "support/tempdir.h"
#include "tools/lgomgen/onsetrecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace dyma;
using namespace dyma::picking;

namespace {

struct Tally {
    int channels = 0, near = 0, plainNear = 0, wrong = 0, given = 0;
    int emergent = 0, emergentNear = 0, emergentPlainNear = 0;
    int afterS = 0;
    std::vector<std::string> wrongOnes;  // what went wrong where, for the failure message
};

Tally PickGenerated(const std::string& folder, double rate, std::uint32_t seed, int records) {
    Tally t;
    OnsetPickerSettings plain;
    plain.startOfRise = false;
    for (int r = 0; r < records; ++r) {
        lgomgen::OnsetRecordSettings settings;
        settings.rateHz = rate;
        settings.seed = seed + r;
        settings.snrLowest = 5;
        const auto traces = lgomgen::MakeOnsetTraces(settings);
        const std::string file = folder + "/rec" + std::to_string(r) + ".mbj";
        lgomgen::Write(file, lgomgen::OnsetRecordSignal(traces, settings));
        OpenedSignal opened = OpenSignalFile(file, file + ".table");
        for (int c = 0; c < int(traces.size()); ++c) {
            const lgomgen::OnsetTrace& truth = traces[c];
            if (truth.snr < 5) continue;
            const std::vector<double> x = ReadChannelSamples(*opened.signal, c);
            const OnsetSuggestion s = SuggestOnset(x, rate);
            const OnsetSuggestion a = SuggestOnset(x, rate, plain);
            const bool near = s.found && std::abs(s.sample - truth.onset) <= 2;
            const bool plainNear = a.found && std::abs(a.sample - truth.onset) <= 2;
            ++t.channels;
            t.near += near;
            t.plainNear += plainNear;
            if (truth.kind == lgomgen::OnsetKind::Emergent) {
                ++t.emergent;
                t.emergentNear += near;
                t.emergentPlainNear += plainNear;
            }
            // The stronger S arrival comes 0.3 s or more after the P.
            t.afterS += s.found && s.sample > truth.onset + int(0.25 * rate);
            if (s.found && s.motion.polarity != Polarity::Uncertain) {
                ++t.given;
                if (s.motion.polarity != (truth.polarity > 0 ? Polarity::Up : Polarity::Down)) {
                    ++t.wrong;
                    t.wrongOnes.push_back("record " + std::to_string(r) + " channel " + std::to_string(c) + " rise " +
                                          std::to_string(truth.riseSamples) + " snr " + std::to_string(truth.snr) +
                                          " onset " + std::to_string(truth.onset) + " suggested " +
                                          std::to_string(s.sample) + " snr " + std::to_string(s.motion.snr));
                }
            }
            // The suggestion's polarity is what a click at its time reads.
            if (s.found) EXPECT_EQ(s.motion.polarity, ReadFirstMotion(x, rate, s.time).polarity);
        }
    }
    return t;
}

}  // namespace

TEST(OnsetPicker, GeneratedRecordsAtBothRates) {
    test::TempDir dir;
    int channels = 0, wrong = 0;
    std::vector<std::string> wrongOnes;
    for (const double rate : {500.0, 1000.0}) {
        SCOPED_TRACE(rate);
        const Tally t = PickGenerated(dir.Path().string(), rate, 4100, 4);
        ASSERT_GT(t.channels, 50);
        channels += t.channels;
        wrong += t.wrong;
        wrongOnes.insert(wrongOnes.end(), t.wrongOnes.begin(), t.wrongOnes.end());
        EXPECT_EQ(t.afterS, 0);
        EXPECT_GE(t.given, t.channels * 97 / 100);
        EXPECT_GE(t.near, t.channels * 90 / 100) << t.near << " of " << t.channels;
        EXPECT_GE(t.emergentNear, t.emergent * 85 / 100) << t.emergentNear << " of " << t.emergent;
        // Plain AIC stops where the emergent rise leaves the noise, well
        // into it: the walk back to the start of the rise is what places them.
        EXPECT_GE(t.emergentNear - t.emergentPlainNear, t.emergent / 4)
            << t.emergentNear << " vs " << t.emergentPlainNear << " of " << t.emergent;
    }
    // Wrong polarities: at most one in a hundred of all.
    EXPECT_LE(wrong * 100, channels) << testing::PrintToString(wrongOnes);
}

TEST(OnsetPicker, NoiseAloneAndTooShortRecords) {
    std::mt19937 random(5);
    std::normal_distribution<double> gauss(0, 30);
    int certain = 0;
    for (int k = 0; k < 20; ++k) {
        std::vector<double> x(5000);
        for (double& v : x) v = 400 + gauss(random);
        const OnsetSuggestion s = SuggestOnset(x, 500);
        certain += s.found && s.motion.polarity != Polarity::Uncertain;
    }
    EXPECT_LE(certain, 1);
    EXPECT_FALSE(SuggestOnset(std::vector<double>(100, 1.0), 500).found);
    EXPECT_FALSE(SuggestOnset({}, 500).found);
    EXPECT_FALSE(SuggestOnset(std::vector<double>(5000, 0.0), 0).found);
    // A band the rate cannot carry gives no suggestion rather than a wrong one.
    OnsetPickerSettings settings;
    settings.filter.highHz = 300;
    EXPECT_FALSE(SuggestOnset(std::vector<double>(5000, 0.0), 500, settings).found);
}

TEST(OnsetPicker, WeightFollowsTheRatio) {
    const struct {
        double snr;
        int weight;
    } cases[] = {{std::nan(""), 10}, {-1, 10}, {0, 10}, {2.5, 10}, {4, 20}, {5.9, 20}, {10, 50}, {19.9, 90}, {20, 100},
                 {1e9, 100}};
    for (const auto& c : cases) EXPECT_EQ(WeightFromSnr(c.snr), c.weight) << c.snr;
}
