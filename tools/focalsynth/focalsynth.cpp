#include "tools/focalsynth/focalsynth.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>

#include "common/numberformat.h"
#include "common/textfile.h"

namespace dyma::synth {

namespace {

std::string RightField(const std::string& text, size_t width) {
    return text.size() >= width ? text.substr(0, width) : std::string(width - text.size(), ' ') + text;
}
std::string LeftField(const std::string& text, size_t width) {
    return text.size() >= width ? text.substr(0, width) : text + std::string(width - text.size(), ' ');
}
// What the solver reads back from a ".000" field.
double Metres(double km) { return StrToFloat(Trim(FormatFloat(".000", km, '.')), '.'); }

focal::Vec3 RandomDirection(std::mt19937& rng) {
    std::normal_distribution<double> g;
    for (;;) {
        const focal::Vec3 v{g(rng), g(rng), g(rng)};
        const double n = std::sqrt(focal::Dot(v, v));
        if (n > 1e-6) return {v.x / n, v.y / n, v.z / n};
    }
}

// A random rotation, as three orthonormal rows.
struct Turn {
    focal::Vec3 a, b, c;
};
Turn RandomTurn(std::mt19937& rng) {
    const focal::Vec3 a = RandomDirection(rng);
    const focal::Vec3 h = std::fabs(a.x) < 0.9 ? focal::Vec3{1, 0, 0} : focal::Vec3{0, 1, 0};
    const focal::Vec3 b = focal::Normalized(focal::Cross(a, h));
    return {a, b, focal::Cross(a, b)};
}

// Point i of n spread evenly over the sphere (a Fibonacci lattice), turned
// at random so that no direction is favoured from one event to the next.
focal::Vec3 SpreadDirection(int i, int n, const Turn& t) {
    const int k = i % n;
    const double z = 1 - (2.0 * k + 1) / n, r = std::sqrt(std::max(0.0, 1 - z * z));
    const double phi = k * focal::kPi * (3 - std::sqrt(5.0)) + (i / n) * 0.5;
    const focal::Vec3 v{r * std::cos(phi), r * std::sin(phi), z};
    return {t.a.x * v.x + t.b.x * v.y + t.c.x * v.z, t.a.y * v.x + t.b.y * v.y + t.c.y * v.z,
            t.a.z * v.x + t.b.z * v.y + t.c.z * v.z};
}

}  // namespace

focal::Plane RandomMechanism(std::mt19937& rng) {
    // Uniform orientation: a uniform normal and a uniform slip direction in
    // its plane.
    const focal::Vec3 n = RandomDirection(rng);
    const focal::Vec3 a = std::fabs(n.x) < 0.9 ? focal::Vec3{1, 0, 0} : focal::Vec3{0, 1, 0};
    const focal::Vec3 e1 = focal::Normalized(focal::Cross(n, a)), e2 = focal::Cross(n, e1);
    const double phi = std::uniform_real_distribution<double>(0, 2 * focal::kPi)(rng);
    const focal::Vec3 u{std::cos(phi) * e1.x + std::sin(phi) * e2.x, std::cos(phi) * e1.y + std::sin(phi) * e2.y,
                        std::cos(phi) * e1.z + std::sin(phi) * e2.z};
    return focal::PlaneFromNormalAndSlip(n, u);
}

bool RayOf(const std::string& type, double dx, double dy, double dz, const focal::SeamModel& model, focal::Vec3& ray,
           double& takeoff) {
    focal::RayAngles r;
    if (focal::ComputeRay(type, dx, dy, dz, model, r) != focal::RayResult::Computed) return false;
    ray = focal::Normalized(focal::RayVector(r));
    takeoff = r.Angle;
    return true;
}

int FittedFactor(const std::string& type, double stationDepth, double sourceDepth, double takeoff) {
    return focal::KeepsPolarity(type, stationDepth, sourceDepth, takeoff) ? 1 : -1;
}

Event MakeEvent(const focal::Plane& truth, const Options& o, std::mt19937& rng) {
    Event ev;
    ev.truth = truth;
    std::uniform_real_distribution<double> u01(0, 1);
    ev.x = Metres(u01(rng) * 2 - 1);
    ev.y = Metres(u01(rng) * 2 - 1);
    ev.depth = Metres(0.8 + 0.4 * u01(rng));
    if (o.smallNetwork) {
        ev.depth = Metres(0.5 + 0.7 * u01(rng));
        ev.model = {100 + std::floor(26 * u01(rng)), 60 + std::floor(21 * u01(rng)), std::floor(9 * u01(rng)),
                    std::floor(360 * u01(rng))};
    }
    const double side = o.oneSide ? 2 * focal::kPi * u01(rng) : 0;
    const focal::Vec3 n = focal::FaultNormal(truth), s = focal::SlipVector(truth);
    const Turn turn = RandomTurn(rng);
    int tried = 0;  // lattice points skipped (nodal rays)
    while (static_cast<int>(ev.picks.size()) < o.stations) {
        Pick p;
        p.label = std::to_string(ev.picks.size() + 1) + "Z";
        const double t = u01(rng);
        p.type = t < o.shareA ? "A" : t < o.shareA + o.shareB ? "B" : "C";
        if (o.wholeSphere) {
            const focal::Vec3 d = SpreadDirection(static_cast<int>(ev.picks.size()) + tried, o.stations, turn);
            const double dist = 1 + 4 * u01(rng);
            p.x = Metres(ev.x + dist * d.x);
            p.y = Metres(ev.y + dist * d.y);
            p.depth = Metres(ev.depth + dist * d.z);
        } else {
            double r = 0.3 + 5.7 * std::sqrt(u01(rng));
            if (o.smallNetwork) r = std::sqrt(0.16 * 0.16 + u01(rng) * (9 - 0.16 * 0.16));
            const double az = o.oneSide ? side + focal::Rad(150) * (u01(rng) - 0.5) : 2 * focal::kPi * u01(rng);
            p.x = Metres(ev.x + r * std::cos(az));
            p.y = Metres(ev.y + r * std::sin(az));
            p.depth = Metres(o.smallNetwork ? 0.02 + 1.98 * u01(rng) : 2.0 * u01(rng));
            if (o.smallNetwork && p.type == "C" && std::fabs(p.depth - ev.depth) < 0.02) {
                ++tried;
                continue;
            }
        }
        double takeoff = 0;
        if (!RayOf(p.type, p.x - ev.x, p.y - ev.y, p.depth - ev.depth, ev.model, p.ray, takeoff)) {
            ++tried;
            continue;
        }
        const double amp = focal::PAmplitude(n, s, p.ray);
        // Rays within a hair of a nodal plane would make the "truth" depend
        // on rounding; no operator could read such a polarity either.
        if (std::fabs(amp) < 1e-6) {
            ++tried;
            continue;
        }
        p.fitted = amp > 0 ? 1 : -1;
        p.observed = p.fitted * FittedFactor(p.type, p.depth, ev.depth, takeoff);
        ev.picks.push_back(p);
    }
    const int flips = static_cast<int>(std::lround(o.flipShare * o.stations));
    std::vector<int> idx(ev.picks.size());
    std::iota(idx.begin(), idx.end(), 0);
    std::shuffle(idx.begin(), idx.end(), rng);
    if (o.weighted) {
        // Weights first, then the reversals drawn by weight: a pick of
        // weight w is reversed with a chance in proportion to 1.1 - w.
        for (Pick& p : ev.picks) p.weight = std::ceil(10 * u01(rng)) / 10;
        std::vector<double> key(ev.picks.size());
        for (size_t i = 0; i < key.size(); ++i) key[i] = std::log(u01(rng) + 1e-300) / (1.1 - ev.picks[i].weight);
        std::sort(idx.begin(), idx.end(), [&](int a, int b) { return key[size_t(a)] > key[size_t(b)]; });
    }
    for (int i = 0; i < flips; ++i) {
        Pick& p = ev.picks[static_cast<size_t>(idx[static_cast<size_t>(i)])];
        p.observed = -p.observed;
        p.fitted = -p.fitted;
        p.flipped = true;
    }
    return ev;
}

std::string DatLine(const std::string& label, const std::string& type, int polarity, double weight) {
    const std::string pol = polarity > 0 ? "+" : polarity < 0 ? "-" : "0";
    return LeftField(label, 4) + " " + type + " " + pol + " " + RightField(FormatFloat(".0", weight, '.'), 3) +
           RightField(".0", 10);
}

std::string NetLine(const std::string& label, double x, double y, double depth) {
    return LeftField(label, 4) + RightField(FormatFloat(".000", x, '.'), 11) +
           RightField(FormatFloat(".000", y, '.'), 11) + RightField(FormatFloat(".000", depth, '.'), 11);
}

std::string NetModelLine(const focal::SeamModel& m) {
    std::string line;
    for (double v : {m.aa, m.bb, m.tilt, m.drtilt}) line += RightField(FormatFloat("0.00", v, '.'), 7);
    return line + " 0";
}

std::string DatSourceLine(double x, double y, double depth) {
    return RightField(FormatFloat(".000", x, '.'), 11) + RightField(FormatFloat(".000", y, '.'), 11) +
           RightField(FormatFloat(".000", depth, '.'), 11);
}

std::vector<std::string> DatLines(const Event& ev) {
    std::vector<std::string> lines{"WinDYMA", DatSourceLine(ev.x, ev.y, ev.depth)};
    for (const Pick& p : ev.picks) lines.push_back(DatLine(p.label, p.type, p.observed, p.weight));
    return lines;
}

std::vector<std::string> NetLines(const Event& ev) {
    std::vector<std::string> lines{NetModelLine(ev.model)};
    for (const Pick& p : ev.picks) lines.push_back(NetLine(p.label, p.x, p.y, p.depth));
    return lines;
}

std::vector<std::string> ParLines() {
    return {"NPF.DAT", "NPF.RES", "NPF.PNY", "NPF.NET", "NPF.BIN", "0,0,14,1,12,3,0"};
}

void WriteEvent(const std::string& dir, const Event& ev) {
    const std::filesystem::path d = NativePath(dir);
    WriteTextLines((d / "NPF.DAT").string(), DatLines(ev));
    WriteTextLines((d / "NPF.NET").string(), NetLines(ev));
    WriteTextLines((d / "NPF.PAR").string(), ParLines());
}

}  // namespace dyma::synth
