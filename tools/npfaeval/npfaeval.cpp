// npfaeval: runs the solver on random synthetic events (a random mechanism,
// a random mine network of direct and seam waves, a share of polarities
// written reversed) and prints how far the solutions are from the truth and
// how often the reported errors cover it.
//
//   npfaeval [events=200] [stations=40] [flip=0.10] [seed=1] [sphere]
//
// Everything goes through the files and NPFA's own run, as in the program.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/textfile.h"
#include "npfa/focalsearch.h"
#include "npfa/observations.h"
#include "npfa/solverrun.h"
#include "tools/focalsynth/focalsynth.h"

namespace fs = std::filesystem;
using namespace dyma;

namespace {

struct Row {
    double kagan = 0, kaganCentre = 0;
    npfa::PlaneDifferences diff;
    npfa::FocalSolution sol;
    bool truthAcceptable = false;
    double ms = 0;
};

double Percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const size_t i = static_cast<size_t>(std::lround(q * (v.size() - 1)));
    return v[i];
}

// The solution back from the run's own files: what the solver read, solved again
// in-process to get every figure it reports.
npfa::FocalSolution Solve(const std::string& dir, std::vector<npfa::Observation>& obs) {
    const auto dat = npfa::ParseDat(ReadTextLines(dir + "/NPF.DAT"), "NPF.DAT");
    const auto net = npfa::ParseNet(ReadTextLines(dir + "/NPF.NET"), "NPF.NET");
    obs = npfa::FittedObservations(npfa::BuildPickRows(dat, net));
    return npfa::SolveFocalMechanism(obs);
}

}  // namespace

int main(int argc, char** argv) {
    int events = 200, stations = 40;
    double flip = 0.10;
    unsigned seed = 1;
    bool sphere = false;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::string> numbers;
    for (const std::string& a : args) (a == "sphere" ? (void)(sphere = true) : numbers.push_back(a));
    if (numbers.size() > 0) events = std::atoi(numbers[0].c_str());
    if (numbers.size() > 1) stations = std::atoi(numbers[1].c_str());
    if (numbers.size() > 2) flip = std::atof(numbers[2].c_str());
    if (numbers.size() > 3) seed = static_cast<unsigned>(std::atoi(numbers[3].c_str()));

    const fs::path dir = fs::temp_directory_path() / ("npfaeval-" + std::to_string(seed));
    fs::create_directories(dir);
    std::mt19937 rng(seed);
    synth::Options opt;
    opt.stations = stations;
    opt.flipShare = flip;
    opt.wholeSphere = sphere;
    if (sphere) opt.shareA = opt.shareB = 0;

    std::vector<Row> rows;
    int failed = 0;
    for (int e = 0; e < events; ++e) {
        const synth::Event ev = synth::MakeEvent(synth::RandomMechanism(rng), opt, rng);
        synth::WriteEvent(dir.string(), ev);
        std::ostringstream err;
        const auto t0 = std::chrono::steady_clock::now();
        const int status = npfa::RunSolver(dir.string(), err);
        const auto t1 = std::chrono::steady_clock::now();
        if (status != 0) {
            ++failed;
            continue;
        }
        Row r;
        r.ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
        std::vector<npfa::Observation> obs;
        r.sol = Solve(dir.string(), obs);
        r.kagan = focal::KaganAngle(r.sol.planeA, ev.truth);
        r.kaganCentre = focal::KaganAngle(r.sol.centre, ev.truth);
        r.diff = npfa::PlaneAligner(r.sol.planeA, r.sol.planeB).Differences(ev.truth);
        r.truthAcceptable = npfa::WeightedMisfit(obs, ev.truth) <= r.sol.misfit + r.sol.tolerance + 1e-9;
        rows.push_back(r);
    }
    if (rows.empty()) {
        std::printf("no event solved (%d failed)\n", failed);
        return 1;
    }

    std::printf("npfaeval: %d events, %d stations each (%s), %.0f %% of the polarities reversed, seed %u\n", events,
                stations, sphere ? "direct waves over the whole focal sphere" : "mine network: 60 % C, 20 % A, 20 % B",
                100 * flip, seed);
    if (failed) std::printf("  %d runs failed\n", failed);
    std::vector<double> k, kc, ms;
    for (const Row& r : rows) {
        k.push_back(r.kagan);
        kc.push_back(r.kaganCentre);
        ms.push_back(r.ms);
    }
    std::printf("\nKagan angle between the solution and the truth (degrees):\n");
    std::printf("  %-26s %7s %7s %7s %7s %7s %7s\n", "", "median", "68 %", "90 %", "95 %", "max", "mean");
    for (auto [name, v] :
         {std::pair<const char*, std::vector<double>*>{"preferred solution", &k}, {"centre of acceptable set", &kc}}) {
        double mean = 0;
        for (double x : *v) mean += x / v->size();
        std::printf("  %-26s %7.1f %7.1f %7.1f %7.1f %7.1f %7.1f\n", name, Percentile(*v, 0.5), Percentile(*v, 0.68),
                    Percentile(*v, 0.9), Percentile(*v, 0.95), Percentile(*v, 1.0), mean);
    }
    std::printf("  share of events within   10 deg: %.1f %%   20 deg: %.1f %%   30 deg: %.1f %%\n",
                100.0 * std::count_if(k.begin(), k.end(), [](double x) { return x <= 10; }) / k.size(),
                100.0 * std::count_if(k.begin(), k.end(), [](double x) { return x <= 20; }) / k.size(),
                100.0 * std::count_if(k.begin(), k.end(), [](double x) { return x <= 30; }) / k.size());

    std::printf("\nCoverage: share of events whose true angle lies within the reported error (x1, x2):\n");
    const char* names[6] = {"strike A", "dip A", "rake A", "strike B", "dip B", "rake B"};
    for (int i = 0; i < 6; ++i) {
        int c1 = 0, c2 = 0;
        std::vector<double> err, dev;
        for (const Row& r : rows) {
            const npfa::PlaneErrors& d = i < 3 ? r.diff.a : r.diff.b;
            const npfa::PlaneErrors& e = i < 3 ? r.sol.errorsA : r.sol.errorsB;
            const double dv = std::fabs(i % 3 == 0 ? d.strike : i % 3 == 1 ? d.dip : d.rake);
            const double ev = i % 3 == 0 ? e.strike : i % 3 == 1 ? e.dip : e.rake;
            c1 += dv <= ev;
            c2 += dv <= 2 * ev;
            err.push_back(ev);
            dev.push_back(dv);
        }
        std::printf("  %-9s  x1 %5.1f %%   x2 %5.1f %%   median error reported %5.1f, median true deviation %5.1f\n",
                    names[i], 100.0 * c1 / rows.size(), 100.0 * c2 / rows.size(), Percentile(err, 0.5),
                    Percentile(dev, 0.5));
    }
    int kc1 = 0, acc = 0;
    for (const Row& r : rows) {
        kc1 += r.kagan <= r.sol.rmsRotation;
        acc += r.truthAcceptable;
    }
    std::printf("  rotation   x1 %5.1f %%   (Kagan angle to the truth within the RMS rotation of the acceptable set)\n",
                100.0 * kc1 / rows.size());
    std::printf("  truth inside the acceptable set: %.1f %%\n", 100.0 * acc / rows.size());

    std::map<char, int> quality;
    std::map<char, std::vector<double>> byQuality;
    for (const Row& r : rows) {
        ++quality[r.sol.quality];
        byQuality[r.sol.quality].push_back(r.kagan);
    }
    std::printf("\nQuality: ");
    for (auto [q, n] : quality) std::printf(" %c %d (median %.1f deg)  ", q, n, Percentile(byQuality[q], 0.5));
    std::printf("\nRun time per event (files, search, uncertainty, files): median %.1f ms, max %.1f ms\n",
                Percentile(ms, 0.5), Percentile(ms, 1.0));
    fs::remove_all(dir);
    return 0;
}
