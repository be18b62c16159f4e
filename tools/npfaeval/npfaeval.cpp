// npfaeval: measures the solver against known mechanisms and prints the
// figures for a person to judge: the Kagan angle of plane A to the truth,
// and how often the reported errors hold the truth.
//
//   npfaeval [events=200] [stations=40] [flip=0.10] [seed=1] [sphere|small|oneside|weighted]...
//       random synthetic events of the project's generator
//   npfaeval groups [events=400] [seed=1] [oneside|weighted]... [GROUP]...
//       the seven groups of a small mine network (12 picks clean; 20, 40
//       and 96 picks with 10 % and 20 % reversed), `events` each; naming
//       groups (e.g. p20-flip10) runs only those
//   npfaeval anchors DIR [events]
//       the event folders below DIR (<group>/<event>/ with NPF.* and
//       truth.txt, and the other program's answer in hash.txt); with
//       "events", a line for every event too
//
// The truth lies in the error box when strike, dip and rake of one of its
// planes lie within plane A's values plus or minus SAB, DAB, RAB, or within
// plane B's plus or minus SBB, DBB, RBB. "literal" compares the planes as
// written (dip 0..90); "continued" also lets a box that reaches past a dip
// of 90 degrees hold a plane written on the other side of the vertical
// (strike + 180, 180 - dip, -rake), the same plane.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    double kagan = 0, peer = -1, centre = 0;
    bool literal = false, continued = false;
    double error = 0;  // mean of the six errors
    npfa::FocalSolution sol;
    double ms = 0;
};

double Percentile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    // Nearest rank.
    const size_t rank = static_cast<size_t>(std::ceil(q * static_cast<double>(v.size())));
    return v[std::max<size_t>(rank, 1) - 1];
}

double Wrap(double d) {
    d = std::fmod(d, 360.0);
    if (d > 180) d -= 360;
    if (d <= -180) d += 360;
    return d;
}

bool InBox(const focal::Plane& p, const focal::Plane& centre, const npfa::PlaneErrors& e) {
    return std::fabs(Wrap(p.strike - centre.strike)) <= e.strike + 1e-9 && std::fabs(p.dip - centre.dip) <= e.dip + 1e-9 &&
           std::fabs(Wrap(p.rake - centre.rake)) <= e.rake + 1e-9;
}

bool Covered(const focal::Plane& truth, const npfa::FocalSolution& s, bool continued) {
    const focal::Plane t1 = truth, t2 = focal::AuxiliaryPlane(truth);
    std::vector<focal::Plane> forms{t1, t2};
    if (continued)
        for (const focal::Plane& t : {t1, t2}) forms.push_back({t.strike + 180, 180 - t.dip, -t.rake});
    for (const focal::Plane& f : forms)
        if (InBox(f, s.planeA, s.errorsA) || InBox(f, s.planeB, s.errorsB)) return true;
    return false;
}

// The solution the run in `dir` gives, in-process, timed.
bool SolveDir(const std::string& dir, npfa::FocalSolution& sol, double& ms) {
    try {
        const auto t0 = std::chrono::steady_clock::now();
        sol = npfa::SolveWorkDir(dir);
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", dir.c_str(), e.what());
        return false;
    }
}

Row Measure(const npfa::FocalSolution& sol, const focal::Plane& truth, double ms) {
    Row r;
    r.sol = sol;
    r.ms = ms;
    r.kagan = focal::KaganAngle(sol.planeA, truth);
    r.centre = focal::KaganAngle(sol.centre, truth);
    r.literal = Covered(truth, sol, false);
    r.continued = Covered(truth, sol, true);
    r.error = (sol.errorsA.strike + sol.errorsA.dip + sol.errorsA.rake + sol.errorsB.strike + sol.errorsB.dip +
               sol.errorsB.rake) /
              6;
    return r;
}

void PrintHeader() {
    std::printf("%-12s %5s %7s %7s %8s %8s %9s %10s %8s %7s %7s %7s %7s  %s\n", "group", "n", "median", "p90",
                "peer-med", "peer-p90", "literal%", "continued%", "med-err", "med-ms", "max-ms", "ctr-med", "ctr-p90",
                "quality A/B/C/D");
}

void PrintGroup(const std::string& name, const std::vector<Row>& rows) {
    std::vector<double> k, p, err, ms, c;
    int lit = 0, con = 0;
    std::map<char, int> q;
    for (const Row& r : rows) {
        k.push_back(r.kagan);
        c.push_back(r.centre);
        if (r.peer >= 0) p.push_back(r.peer);
        err.push_back(r.error);
        ms.push_back(r.ms);
        lit += r.literal;
        con += r.continued;
        ++q[r.sol.quality];
    }
    const double n = static_cast<double>(rows.size());
    std::printf("%-12s %5zu %7.1f %7.1f %8s %8s %9.0f %10.0f %8.1f %7.1f %7.1f %7.1f %7.1f  %d/%d/%d/%d\n", name.c_str(),
                rows.size(), Percentile(k, 0.5), Percentile(k, 0.9),
                p.empty() ? "-" : std::to_string(Percentile(p, 0.5)).substr(0, 5).c_str(),
                p.empty() ? "-" : std::to_string(Percentile(p, 0.9)).substr(0, 5).c_str(), 100 * lit / n, 100 * con / n,
                Percentile(err, 0.5), Percentile(ms, 0.5), Percentile(ms, 1.0), Percentile(c, 0.5), Percentile(c, 0.9),
                q['A'], q['B'], q['C'], q['D']);
}

std::map<std::string, std::vector<double>> KeyFile(const std::string& path) {
    std::map<std::string, std::vector<double>> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ss(line);
        std::string key;
        ss >> key;
        double v;
        while (ss >> v) out[key].push_back(v);
    }
    return out;
}

int Anchors(const std::string& root, bool eachEvent) {
    PrintHeader();
    std::vector<fs::path> groups;
    for (const auto& g : fs::directory_iterator(root))
        if (g.is_directory()) groups.push_back(g.path());
    std::sort(groups.begin(), groups.end());
    for (const fs::path& g : groups) {
        std::vector<fs::path> events;
        for (const auto& e : fs::directory_iterator(g))
            if (e.is_directory()) events.push_back(e.path());
        std::sort(events.begin(), events.end());
        std::vector<Row> rows;
        for (const fs::path& e : events) {
            npfa::FocalSolution sol;
            double ms = 0;
            if (!SolveDir(e.string(), sol, ms)) continue;
            const auto truth = KeyFile((e / "truth.txt").string()).at("plane_a");
            Row r = Measure(sol, {truth[0], truth[1], truth[2]}, ms);
            const auto peer = KeyFile((e / "hash.txt").string());
            if (peer.count("plane_a")) {
                const auto& h = peer.at("plane_a");
                r.peer = focal::KaganAngle({h[0], h[1], h[2]}, {truth[0], truth[1], truth[2]});
            }
            if (eachEvent)
                std::printf("  %s %s: kagan %.1f peer %.1f misfit %.1f minimum %.1f rate %.2f centre %.1f quality %c\n",
                            g.filename().string().c_str(), e.filename().string().c_str(), r.kagan, r.peer,
                            sol.misfit, sol.minimum, sol.errorRate, sol.centreDistance, sol.quality);
            rows.push_back(r);
        }
        PrintGroup(g.filename().string(), rows);
    }
    return 0;
}

std::vector<Row> Generated(int events, synth::Options opt, unsigned seed) {
    const fs::path dir = fs::temp_directory_path() / ("npfaeval-" + std::to_string(seed) + "-" +
                                                      std::to_string(opt.stations) + "-" +
                                                      std::to_string(static_cast<int>(100 * opt.flipShare)));
    fs::create_directories(dir);
    std::mt19937 rng(seed);
    std::vector<Row> rows;
    for (int e = 0; e < events; ++e) {
        const synth::Event ev = synth::MakeEvent(synth::RandomMechanism(rng), opt, rng);
        synth::WriteEvent(dir.string(), ev);
        npfa::FocalSolution sol;
        double ms = 0;
        if (SolveDir(dir.string(), sol, ms)) rows.push_back(Measure(sol, ev.truth, ms));
    }
    fs::remove_all(dir);
    return rows;
}

void Flags(const std::vector<std::string>& words, synth::Options& opt) {
    for (const std::string& w : words) {
        if (w == "sphere") {
            opt.wholeSphere = true;
            opt.shareA = opt.shareB = 0;
        }
        if (w == "small") opt.smallNetwork = true;
        if (w == "oneside") opt.oneSide = true;
        if (w == "weighted") opt.weighted = true;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::string> numbers, words;
    for (const std::string& a : args)
        (std::isdigit(static_cast<unsigned char>(a[0])) || a[0] == '.' ? numbers : words).push_back(a);
    if (!words.empty() && words[0] == "anchors") {
        if (args.size() < 2) return 2;
        return Anchors(args[1], std::find(words.begin(), words.end(), "events") != words.end());
    }
    if (!words.empty() && words[0] == "groups") {
        const int events = numbers.size() > 0 ? std::atoi(numbers[0].c_str()) : 400;
        const unsigned seed = numbers.size() > 1 ? static_cast<unsigned>(std::atoi(numbers[1].c_str())) : 1;
        PrintHeader();
        const std::pair<int, double> groups[] = {{12, 0.0}, {20, 0.1}, {20, 0.2}, {40, 0.1},
                                                 {40, 0.2}, {96, 0.1}, {96, 0.2}};
        for (const auto& [stations, flip] : groups) {
            synth::Options opt;
            opt.smallNetwork = true;
            opt.shareA = opt.shareB = 0.25;
            opt.stations = stations;
            opt.flipShare = flip;
            Flags(words, opt);
            char name[32];
            std::snprintf(name, sizeof name, "p%02d-flip%02d", stations, static_cast<int>(std::lround(flip * 100)));
            const bool chosen = std::any_of(words.begin(), words.end(), [](const std::string& w) { return w[0] == 'p'; });
            if (chosen && std::find(words.begin(), words.end(), name) == words.end()) continue;
            PrintGroup(name, Generated(events, opt, seed * 1000 + static_cast<unsigned>(stations + 100 * flip)));
        }
        return 0;
    }
    synth::Options opt;
    opt.stations = numbers.size() > 1 ? std::atoi(numbers[1].c_str()) : 40;
    opt.flipShare = numbers.size() > 2 ? std::atof(numbers[2].c_str()) : 0.1;
    Flags(words, opt);
    const int events = numbers.size() > 0 ? std::atoi(numbers[0].c_str()) : 200;
    const unsigned seed = numbers.size() > 3 ? static_cast<unsigned>(std::atoi(numbers[3].c_str())) : 1;
    PrintHeader();
    PrintGroup("random", Generated(events, opt, seed));
    return 0;
}
