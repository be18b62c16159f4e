// pickeval [RECORDS_PER_RATE] [FOLDER]
// pickeval --long FILE
//
// The second form writes a 64-channel, 120 s, 1000 Hz record of the same
// kind, for timing "dyma picks" on it.
//
// Writes generated records (tools/lgomgen/onsetrecord.h) at 500 and 1000 Hz,
// reads them back through the program's own signal-file reader, runs the
// onset suggestions on every channel and compares them with the known
// onsets and first motions. Prints, for the channels whose first swing is
// at least 5 times the noise:
//   - the share of suggested polarities that are right (of those given),
//     the share that are wrong (of all) and the share left uncertain;
//   - the share of onsets within 2 samples of the truth, impulsive and
//     emergent apart, and the same for the plain AIC pick;
// and for a click exactly at the true onset, at every ratio from 3 up, the
// shares of right, wrong and uncertain polarities.
#include "app/seismogram/firstmotion.h"
#include "app/seismogram/onsetpicker.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "tools/lgomgen/onsetrecord.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace dyma::picking;

struct Share {
    int hits = 0, of = 0;
    void Add(bool hit) {
        hits += hit;
        ++of;
    }
    Share& operator+=(const Share& other) {
        hits += other.hits;
        of += other.of;
        return *this;
    }
    double Percent() const { return of ? 100.0 * hits / of : 0; }
};

struct Figures {
    int strong = 0;  // channels with SNR >= 5
    int found = 0;
    Share polarityRightOfGiven, polarityWrongOfAll, uncertainOfAll;
    Share onsetImpulsive, onsetEmergent, onsetAll;
    Share aicImpulsive, aicEmergent;
    Share clickRight, clickWrong, clickUncertain;  // SNR >= 3
    Share clickRightLow;                            // 3 <= SNR < 5

    Figures& operator+=(const Figures& o) {
        strong += o.strong;
        found += o.found;
        for (auto [mine, theirs] : {std::pair{&polarityRightOfGiven, &o.polarityRightOfGiven},
                                    {&polarityWrongOfAll, &o.polarityWrongOfAll}, {&uncertainOfAll, &o.uncertainOfAll},
                                    {&onsetImpulsive, &o.onsetImpulsive}, {&onsetEmergent, &o.onsetEmergent},
                                    {&onsetAll, &o.onsetAll}, {&aicImpulsive, &o.aicImpulsive},
                                    {&aicEmergent, &o.aicEmergent}, {&clickRight, &o.clickRight},
                                    {&clickWrong, &o.clickWrong}, {&clickUncertain, &o.clickUncertain},
                                    {&clickRightLow, &o.clickRightLow}})
            *mine += *theirs;
        return *this;
    }
};

void Print(const char* title, const Figures& f) {
    std::printf("%s\n", title);
    std::printf("  channels with SNR >= 5: %d, with a suggestion: %d\n", f.strong, f.found);
    std::printf("  polarity right of those given: %.1f %% (%d of %d)\n", f.polarityRightOfGiven.Percent(),
                f.polarityRightOfGiven.hits, f.polarityRightOfGiven.of);
    std::printf("  polarity wrong of all:          %.1f %% (%d of %d)\n", f.polarityWrongOfAll.Percent(),
                f.polarityWrongOfAll.hits, f.polarityWrongOfAll.of);
    std::printf("  polarity uncertain of all:      %.1f %%\n", f.uncertainOfAll.Percent());
    std::printf("  onset within 2 samples: %.1f %% (impulsive %.1f %%, emergent %.1f %%)\n", f.onsetAll.Percent(),
                f.onsetImpulsive.Percent(), f.onsetEmergent.Percent());
    std::printf("  plain AIC within 2 samples: impulsive %.1f %%, emergent %.1f %%\n", f.aicImpulsive.Percent(),
                f.aicEmergent.Percent());
    std::printf("  click at the true onset, SNR >= 3: right %.2f %%, wrong %.2f %%, uncertain %.2f %% (%d clicks); "
                "3 <= SNR < 5 right %.2f %%\n",
                f.clickRight.Percent(), f.clickWrong.Percent(), f.clickUncertain.Percent(), f.clickRight.of,
                f.clickRightLow.Percent());
}

void Evaluate(const std::string& folder, double rateHz, int records, Figures& f) {
    for (int r = 0; r < records; ++r) {
        lgomgen::OnsetRecordSettings settings;
        settings.rateHz = rateHz;
        settings.seed = std::uint32_t(1000 * rateHz) + r;
        settings.channels = 16;
        const auto traces = lgomgen::MakeOnsetTraces(settings);
        const std::string path = folder + "/eval" + std::to_string(int(rateHz)) + "_" + std::to_string(r) + ".mbj";
        lgomgen::Write(path, lgomgen::OnsetRecordSignal(traces, settings));
        dyma::OpenedSignal opened = dyma::OpenSignalFile(path, path + ".table");
        OnsetPickerSettings plain;
        plain.startOfRise = false;
        for (int c = 0; c < int(traces.size()); ++c) {
            const lgomgen::OnsetTrace& truth = traces[c];
            const std::vector<double> samples = dyma::ReadChannelSamples(*opened.signal, c);
            const Polarity want = truth.polarity > 0 ? Polarity::Up : Polarity::Down;
            if (truth.snr >= 3) {
                const FirstMotion click = ReadFirstMotionAt(samples, rateHz, truth.onset);
                f.clickRight.Add(click.polarity == want);
                f.clickWrong.Add(click.polarity != want && click.polarity != Polarity::Uncertain);
                f.clickUncertain.Add(click.polarity == Polarity::Uncertain);
                if (truth.snr < 5) f.clickRightLow.Add(click.polarity == want);
            }
            if (truth.snr < 5) continue;
            ++f.strong;
            const OnsetSuggestion s = SuggestOnset(samples, rateHz);
            const OnsetSuggestion a = SuggestOnset(samples, rateHz, plain);
            const bool emergent = truth.kind == lgomgen::OnsetKind::Emergent;
            const bool near = s.found && std::abs(s.sample - truth.onset) <= 2;
            const bool aicNear = a.found && std::abs(a.sample - truth.onset) <= 2;
            f.onsetAll.Add(near);
            (emergent ? f.onsetEmergent : f.onsetImpulsive).Add(near);
            (emergent ? f.aicEmergent : f.aicImpulsive).Add(aicNear);
            f.found += s.found;
            const Polarity got = s.found ? s.motion.polarity : Polarity::Uncertain;
            if (got != Polarity::Uncertain) f.polarityRightOfGiven.Add(got == want);
            f.polarityWrongOfAll.Add(got != Polarity::Uncertain && got != want);
            f.uncertainOfAll.Add(got == Polarity::Uncertain);
            if (std::getenv("PICKEVAL_VERBOSE") && (!near || got != want))
                std::printf("    %4.0f Hz rec %d ch %2d %s rise %2d snr %5.1f truth %d %c got %d %s (aic %d) snr %.1f\n",
                            rateHz, r, c, emergent ? "E" : "I", truth.riseSamples, truth.snr, truth.onset,
                            truth.polarity > 0 ? '+' : '-', s.sample, PolarityText(got), a.sample, s.motion.snr);
        }
        std::filesystem::remove(path);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--long") {
        lgomgen::OnsetRecordSettings settings;
        settings.rateHz = 1000;
        settings.seconds = 120;
        settings.channels = 64;
        settings.firstOnset = 20;
        settings.lastOnset = 100;
        lgomgen::Write(argv[2], lgomgen::OnsetRecordSignal(lgomgen::MakeOnsetTraces(settings), settings));
        return 0;
    }
    const int records = argc > 1 ? std::atoi(argv[1]) : 25;
    const std::string folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path().string();
    Figures all;
    for (const double rate : {500.0, 1000.0}) {
        Figures f;
        Evaluate(folder, rate, records, f);
        Print(rate == 500 ? "500 Hz" : "1000 Hz", f);
        all += f;
    }
    Print("both rates", all);
    return 0;
}
