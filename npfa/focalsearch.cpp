// The search, and why it is built this way.
//
// Space. Every double couple is a strike s (0..359), dip d (0..90) and rake
// r (-179..180) on a 1-degree grid: 11,793,600 mechanisms, each double
// couple twice (once per nodal plane). The misfit of a mechanism is the sum
// of the weights of the fitted polarities it does not explain; a ray on a
// nodal plane explains nothing. Weights are summed as whole millionths, so
// misfits compare exactly.
//
// Exactness. The search returns the smallest misfit of the whole grid, not
// of a sample of it. It works on boxes of strike x dip, each with all 360
// rakes at once, and bounds the misfit of every rake over a box rigorously:
// - moving within a box turns the fault normal by at most
//   hs*sin(dmax) + hd and the slip vector by at most hs + hd (hs, hd the
//   half-widths; a strike change is a turn about the vertical, a dip change
//   a turn about the strike line, and turns add up along a path);
// - the sign of a ray's P amplitude 2(n.r)(u.r) changes only where the ray
//   crosses a nodal plane, and the angular distance of a ray from the plane
//   with normal n is asin|n.r|; so a ray farther than those turns from both
//   planes of the box's centre mechanism keeps its predicted polarity in the
//   whole box.
// For a fixed strike and dip, u.r = p cos r + q sin r, so each ray is fixed
// right, fixed wrong or open on arcs of rake that follow from two arc
// tangents (a fast polynomial one, whose error the arcs allow for; on a
// single mechanism a rake within that error of an arc's end is decided by
// the exact sign); difference arrays then give the lower bound (fixed
// wrong) and the upper bound (all but fixed right) of every rake in
// O(rays + 360). A box of a single strike and dip is exact. Best-first
// branch and bound on these bounds cannot discard a box that holds a
// better mechanism, so the minimum it ends with is the grid's minimum.
//
// Acceptable set. Polarities are wrong now and then (reversed sensors,
// emergent onsets). As in the established first-motion methods (HASH,
// Hardebeck & Shearer 2002), every mechanism whose misfit exceeds the
// minimum by no more than half the expected number of wrong polarities,
// but at least two average weights, is acceptable: with the expected 10 %
// that is max(0.05 W, 2 W/N). The set is found with the same bounds: boxes
// whose every rake is below the threshold are taken whole (at most 4 x 4
// degrees, runs of at most 4 rakes, so that statistics stay within a
// degree or two), boxes above it are dropped, the rest, and every box that
// may hold a mechanism of the minimum misfit, are split down to single
// mechanisms. Each member counts with its volume on the rotation group
// (proportional to sin(dip)), so the set is measured as a set of
// orientations rather than of grid points, which crowd near dip 0.
//
// Preferred solution. The centre of the acceptable set is the double couple
// of its mean moment tensor (which does not care which plane a member calls
// its fault), each member weighted by its volume and by its likelihood when
// polarities are wrong independently at the expected rate e: (e/(1-e)) to
// the power of its polarities beyond the minimum. That is the mean
// orientation a uniform prior and those errors give. The reported solution
// is the mechanism of smallest misfit nearest to that centre (Kagan angle):
// it represents the set as the centre does, yet explains as many
// polarities as any mechanism can, so the quadrants the program draws never
// contradict more picks than they must.
//
// Errors. Each member's planes are paired with planes A and B of the
// preferred solution by the closer normals, written with the dip beyond 90
// where that keeps them continuous with the preferred plane, and the errors
// are the RMS differences of strike, dip and rake (a 1-sigma spread). The
// quality letter follows the HASH grades on the RMS rotation, the misfit
// and the share of the set near the solution.
#include "npfa/focalsearch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <queue>

#include "npfa/fastatan.h"

namespace dyma::npfa {

using focal::Deg;
using focal::Dot;
using focal::Plane;
using focal::Rad;
using focal::Vec3;

namespace {

constexpr int kStrikes = 360;
constexpr int kDips = 91;
constexpr int kRakes = 360;
constexpr int kRakeFirst = -179;
constexpr double kGridSize = double(kStrikes) * kDips * kRakes;
// Boxes taken whole for the statistics are at most this many degrees wide.
constexpr int kWholeBox = 4;
constexpr int kInitialBox = 8;
// Keeps the bounds rigorous against rounding of the dot products.
constexpr double kSinMargin = 1e-9;
constexpr double kArcMargin = 10 * kFastAtan2ErrorDeg;  // degrees
constexpr double kNearAngle = 45;

// Weights are summed as whole millionths: exact, and a running sum of
// integers costs one cycle a step where one of doubles costs four.
using Weight = long long;
constexpr double kWeightUnit = 1e6;
using RakeSums = std::array<Weight, kRakes>;
Weight ToWeight(double w) { return std::llround(w * kWeightUnit); }
double FromWeight(Weight w) { return static_cast<double>(w) / kWeightUnit; }

struct Box {
    int s0, ns, d0, nd;
    bool Leaf() const { return ns == 1 && nd == 1; }
    double StrikeCentre() const { return s0 + 0.5 * (ns - 1); }
    double DipCentre() const { return d0 + 0.5 * (nd - 1); }
    double HalfS() const { return 0.5 * (ns - 1); }
    double HalfD() const { return 0.5 * (nd - 1); }
};

int RakeAt(int k) { return kRakeFirst + k; }
// The grid index of a rake given in whole degrees, any turn of the circle.
size_t RakeIndex(long rake) {
    long k = rake - kRakeFirst;
    if (k < 0 || k >= kRakes) {
        k %= kRakes;
        if (k < 0) k += kRakes;
    }
    return static_cast<size_t>(k);
}

// Cosine and sine of every grid rake.
struct RakeTable {
    std::array<double, kRakes> cos, sin;
    RakeTable() {
        for (int k = 0; k < kRakes; ++k) {
            cos[static_cast<size_t>(k)] = std::cos(Rad(RakeAt(k)));
            sin[static_cast<size_t>(k)] = std::sin(Rad(RakeAt(k)));
        }
    }
};
const RakeTable& Rakes() {
    static const RakeTable table;
    return table;
}

// The strike direction, the in-plane down-dip-ish direction and the normal
// of a plane: slip = cos(rake) es + sin(rake) ed.
struct PlaneFrame {
    Vec3 n, es, ed;
};
PlaneFrame FrameAt(double strike, double dip) {
    const double s = Rad(strike), d = Rad(dip);
    const double ss = std::sin(s), cs = std::cos(s), sd = std::sin(d), cd = std::cos(d);
    return {{-sd * ss, sd * cs, -cd}, {cs, ss, 0}, {cd * ss, -cd * cs, -sd}};
}

// Volume on the rotation group of the dips d0..d0+nd-1 (each 1 degree wide,
// clipped to 0..90), per unit of strike and rake.
double DipVolume(int d0, int nd) {
    const double lo = std::max(0.0, d0 - 0.5), hi = std::min(90.0, d0 + nd - 0.5);
    return std::cos(Rad(lo)) - std::cos(Rad(hi));
}

struct Member {
    Plane plane;
    double weight;
    Vec3 n, u;         // normal and slip of the plane
    long long misfit;  // exact for single mechanisms, an upper bound for boxes taken whole
};
Member MakeMember(double strike, double dip, double rake, double weight, long long misfit) {
    const Plane p{strike, dip, rake};
    return {p, weight, focal::FaultNormal(p), focal::SlipVector(p), misfit};
}

struct Eigen3 {
    std::array<double, 3> values;
    std::array<Vec3, 3> vectors;
};

// Jacobi rotations on a symmetric 3 x 3 matrix; values in falling order.
Eigen3 SymmetricEigen(std::array<std::array<double, 3>, 3> a) {
    std::array<std::array<double, 3>, 3> v{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (int sweep = 0; sweep < 50; ++sweep) {
        const double off = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
        if (off < 1e-30) break;
        for (int p = 0; p < 2; ++p) {
            for (int q = p + 1; q < 3; ++q) {
                if (std::fabs(a[p][q]) < 1e-300) continue;
                const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const double t = (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < 3; ++k) {
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 3; ++k) {
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 3; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
        }
    }
    std::array<int, 3> order{0, 1, 2};
    std::sort(order.begin(), order.end(), [&](int x, int y) { return a[x][x] > a[y][y]; });
    Eigen3 e;
    for (int i = 0; i < 3; ++i) {
        const int c = order[static_cast<size_t>(i)];
        e.values[static_cast<size_t>(i)] = a[c][c];
        e.vectors[static_cast<size_t>(i)] = {v[0][c], v[1][c], v[2][c]};
    }
    return e;
}

// T, P and B = T x P of a double couple, the frame Kagan angles compare.
struct AxesFrame {
    Vec3 t, p, b;
};
AxesFrame AxesOf(const Vec3& n, const Vec3& u) {
    constexpr double r = 0.70710678118654752440;
    AxesFrame f;
    f.t = {(n.x + u.x) * r, (n.y + u.y) * r, (n.z + u.z) * r};
    f.p = {(n.x - u.x) * r, (n.y - u.y) * r, (n.z - u.z) * r};
    f.b = focal::Cross(f.t, f.p);
    return f;
}
// The Kagan angle from the cosines between corresponding axes: the double
// couple is unchanged by half turns about T, P and B.
double KaganFromCosines(double tt, double pp, double bb) {
    const double tr = std::max({tt + pp + bb, tt - pp - bb, -tt + pp - bb, -tt - pp + bb});
    return Deg(std::acos(std::clamp((tr - 1) / 2, -1.0, 1.0)));
}

double Wrap180(double deg) {
    double v = std::fmod(deg, 360.0);
    if (v > 180) v -= 360;
    if (v <= -180) v += 360;
    return v;
}

class Searcher {
public:
    explicit Searcher(const std::vector<Observation>& obs) {
        for (const Observation& o : obs) {
            rx_.push_back(o.ray.x);
            ry_.push_back(o.ray.y);
            rz_.push_back(o.ray.z);
            pol_.push_back(o.polarity);
            w_.push_back(ToWeight(o.weight));
            total_ += w_.back();
        }
        a_.resize(w_.size());
        p_.resize(w_.size());
        q_.resize(w_.size());
        phi_.resize(w_.size());
    }

    Weight Total() const { return total_; }
    long long Evaluated() const { return evaluated_; }

    // Lower and upper bounds of the misfit of every rake over the box; exact
    // (ub) for a single strike and dip.
    void Bounds(const Box& b, RakeSums& lb, RakeSums& ub) {
        ++evaluated_;
        const bool leaf = b.Leaf();
        const double hs = b.HalfS(), hd = b.HalfD();
        const double thetaN = Rad(hs * std::sin(Rad(b.d0 + b.nd - 1)) + hd);
        const double thetaS = Rad(hs + hd);
        const double sinN = leaf ? 0 : (thetaN < focal::kPi / 2 ? std::sin(thetaN) + kSinMargin : 2);
        const double sinS = leaf ? 0 : (thetaS < focal::kPi / 2 ? std::sin(thetaS) + kSinMargin : 2);
        const PlaneFrame f = FrameAt(b.StrikeCentre(), b.DipCentre());
        // First the projections of every ray, in a loop without branches
        // that the compiler can vectorise; then the arcs.
        const size_t n = w_.size();
        Project(f, n, rx_.data(), ry_.data(), rz_.data(), pol_.data(), a_.data(), p_.data(), q_.data(), phi_.data());
        Diff wrong{}, right{};
        for (size_t i = 0; i < n; ++i) {
            const double a = a_[i];
            if (leaf ? a == 0 : std::fabs(a) <= sinN) continue;
            // With the wanted sign folded into p and q, the ray is explained
            // where p cos r + q sin r = R cos(r - phi) > 0: the half circle
            // around phi.
            const double p = p_[i], q = q_[i], centre = phi_[i];
            const double r2 = p * p + q * q;
            if (r2 == 0 || r2 <= sinS * sinS) continue;
            if (leaf) {
                LeafArcs(right, centre, p, q, w_[i]);
                continue;
            }
            // Fixed where R |cos| > sinS: within acos(sinS / R) of either
            // centre, shrunk by the error of the fast arc tangent.
            const double alpha = FastAtan2Deg(std::sqrt(r2 - sinS * sinS), sinS) - kArcMargin;
            if (alpha <= 0) continue;
            AddRange(right, FloorInt(centre - alpha) + 1, CeilInt(centre + alpha) - 1, w_[i]);
            AddRange(wrong, FloorInt(centre + 180 - alpha) + 1, CeilInt(centre + 180 + alpha) - 1, w_[i]);
        }
        Weight lo = 0, hi = 0;
        for (int k = 0; k < kRakes; ++k) {
            lo += wrong[static_cast<size_t>(k)];
            hi += right[static_cast<size_t>(k)];
            lb[static_cast<size_t>(k)] = lo;
            ub[static_cast<size_t>(k)] = total_ - hi;
        }
        if (leaf) lb = ub;
    }

private:
    using Diff = std::array<Weight, kRakes + 1>;

    // A single mechanism: the ray is explained at the grid rakes r with
    // P cos r + Q sin r > 0 (P, Q already carry the wanted sign), the open
    // half circle around `centre`. Only a rake within the arc tangent's
    // error of an end is in doubt; it is decided by the exact sign, and its
    // opposite rake, 180 degrees away, has the opposite sign. The misfit of
    // a single mechanism is all but the explained weight, so the arcs of
    // wrong polarities are not needed here.
    void LeafArcs(Diff& right, double centre, double P, double Q, Weight w) const {
        const double end = centre + 90;
        const long j = FloorInt(end + 0.5);
        if (std::fabs(end - static_cast<double>(j)) > kArcMargin) {
            const long hi = FloorInt(end);
            AddRange(right, hi - 179, hi, w);
            return;
        }
        const size_t k = RakeIndex(j);
        const double v = P * Rakes().cos[k] + Q * Rakes().sin[k];
        if (v > 0)
            AddRange(right, j - 179, j, w);
        else if (v < 0)
            AddRange(right, j - 180, j - 1, w);
        else
            AddRange(right, j - 179, j - 1, w);
    }

    // a = n.r; p, q = the ray on the strike and the in-plane directions,
    // times the sign the slip term must have to explain the polarity; phi =
    // the rake where that term is largest.
    static void Project(const PlaneFrame& f, size_t n, const double* __restrict rx, const double* __restrict ry,
                        const double* __restrict rz, const double* __restrict pol, double* __restrict a,
                        double* __restrict p, double* __restrict q, double* __restrict phi) {
        for (size_t i = 0; i < n; ++i) {
            a[i] = f.n.x * rx[i] + f.n.y * ry[i] + f.n.z * rz[i];
            const double want = a[i] > 0 ? pol[i] : -pol[i];
            p[i] = want * (f.es.x * rx[i] + f.es.y * ry[i] + f.es.z * rz[i]);
            q[i] = want * (f.ed.x * rx[i] + f.ed.y * ry[i] + f.ed.z * rz[i]);
            phi[i] = FastAtan2Deg(q[i], p[i]);
        }
    }

    static long FloorInt(double x) {
        const long i = static_cast<long>(x);
        return x < static_cast<double>(i) ? i - 1 : i;
    }
    static long CeilInt(double x) {
        const long i = static_cast<long>(x);
        return x > static_cast<double>(i) ? i + 1 : i;
    }

    // Adds w to the grid rakes lo..hi (degrees, any turn of the circle).
    static void AddRange(Diff& diff, long lo, long hi, Weight w) {
        if (hi < lo) return;
        const long len = std::min<long>(hi - lo + 1, kRakes);
        const long start = static_cast<long>(RakeIndex(lo));
        const auto at = [](long i) { return static_cast<size_t>(i); };
        diff[at(start)] += w;
        if (start + len <= kRakes) {
            diff[at(start + len)] -= w;
        } else {
            diff[kRakes] -= w;
            diff[0] += w;
            diff[at(start + len - kRakes)] -= w;
        }
    }

    std::vector<double> a_, p_, q_, phi_;  // scratch of Bounds
    std::vector<double> rx_, ry_, rz_, pol_;
    std::vector<Weight> w_;
    Weight total_ = 0;
    long long evaluated_ = 0;
};

std::vector<Box> InitialBoxes() {
    std::vector<Box> boxes;
    for (int s = 0; s < kStrikes; s += kInitialBox)
        for (int d = 0; d < kDips; d += kInitialBox)
            boxes.push_back({s, std::min(kInitialBox, kStrikes - s), d, std::min(kInitialBox, kDips - d)});
    return boxes;
}

std::vector<Box> Children(const Box& b) {
    std::vector<Box> out;
    const int ns1 = (b.ns + 1) / 2, nd1 = (b.nd + 1) / 2;
    for (int i = 0; i < (b.ns > 1 ? 2 : 1); ++i)
        for (int j = 0; j < (b.nd > 1 ? 2 : 1); ++j) {
            const int s0 = i == 0 ? b.s0 : b.s0 + ns1, ns = b.ns > 1 ? (i == 0 ? ns1 : b.ns - ns1) : 1;
            const int d0 = j == 0 ? b.d0 : b.d0 + nd1, nd = b.nd > 1 ? (j == 0 ? nd1 : b.nd - nd1) : 1;
            out.push_back({s0, ns, d0, nd});
        }
    return out;
}

struct Queued {
    Weight bound;
    long order;  // ties go to the box queued first, so runs are repeatable
    Box box;
    bool operator>(const Queued& o) const { return bound != o.bound ? bound > o.bound : order > o.order; }
};
using MinQueue = std::priority_queue<Queued, std::vector<Queued>, std::greater<Queued>>;

// The smallest misfit on the grid.
Weight Minimum(Searcher& s) {
    RakeSums lb, ub;
    Weight best = std::numeric_limits<Weight>::max();
    MinQueue queue;
    long order = 0;
    auto visit = [&](const Box& b) {
        s.Bounds(b, lb, ub);
        best = std::min(best, *std::min_element(ub.begin(), ub.end()));
        const Weight bound = *std::min_element(lb.begin(), lb.end());
        if (!b.Leaf() && bound < best) queue.push({bound, order++, b});
    };
    for (const Box& b : InitialBoxes()) visit(b);
    while (!queue.empty()) {
        const Queued top = queue.top();
        queue.pop();
        if (top.bound >= best) break;
        for (const Box& c : Children(top.box)) visit(c);
    }
    return best;
}

// Runs of grid rakes r0..r1 at one strike and dip that reach the minimum.
struct BestRun {
    int strike, dip, r0, r1;
};

struct AcceptableSet {
    std::vector<Member> members;
    std::vector<BestRun> best;
    long long count = 0;
};

// Every grid mechanism with misfit <= threshold, and among them every one
// that reaches the minimum (a box that may hold one is split down to single
// mechanisms, so none is hidden in a box taken whole).
AcceptableSet Acceptable(Searcher& s, Weight least, Weight thr) {
    RakeSums lb, ub;
    AcceptableSet set;
    std::vector<Box> stack = InitialBoxes();
    while (!stack.empty()) {
        const Box b = stack.back();
        stack.pop_back();
        s.Bounds(b, lb, ub);
        bool any = false, open = false;
        for (size_t k = 0; k < kRakes; ++k) {
            if (lb[k] > thr) continue;
            any = true;
            if (ub[k] > thr || lb[k] <= least) open = true;
        }
        if (!any) continue;
        const bool whole = b.ns <= kWholeBox && b.nd <= kWholeBox;
        if (!b.Leaf() && (open || !whole)) {
            for (const Box& c : Children(b)) stack.push_back(c);
            continue;
        }
        // Runs of accepted rakes, in pieces of at most kWholeBox rakes.
        const double volume = DipVolume(b.d0, b.nd) * b.ns;
        for (int k = 0; k < kRakes;) {
            if (ub[static_cast<size_t>(k)] > thr) {
                ++k;
                continue;
            }
            int end = k;
            const Weight m = ub[static_cast<size_t>(k)];
            while (end + 1 < kRakes && end + 1 - k < kWholeBox && ub[static_cast<size_t>(end + 1)] == m) ++end;
            const int run = end - k + 1;
            set.members.push_back(
                MakeMember(b.StrikeCentre(), b.DipCentre(), RakeAt(k) + 0.5 * (run - 1), volume * run, m));
            set.count += static_cast<long long>(run) * b.ns * b.nd;
            k = end + 1;
        }
        if (!b.Leaf()) continue;
        for (int k = 0; k < kRakes;) {
            if (ub[static_cast<size_t>(k)] > least) {
                ++k;
                continue;
            }
            int end = k;
            while (end + 1 < kRakes && ub[static_cast<size_t>(end + 1)] <= least) ++end;
            set.best.push_back({b.s0, b.d0, RakeAt(k), RakeAt(end)});
            k = end + 1;
        }
    }
    return set;
}

// The double couple of the mean moment tensor, each member weighted by its
// volume and by q to the power of its polarities beyond the minimum.
Plane CentreOf(const std::vector<Member>& members, Weight minimum, Weight unit, double q) {
    std::array<std::array<double, 3>, 3> m{};
    for (const Member& mb : members) {
        const double w = mb.weight * std::pow(q, static_cast<double>(mb.misfit - minimum) /
                                                     static_cast<double>(std::max<Weight>(1, unit)));
        const double a[3] = {mb.n.x, mb.n.y, mb.n.z}, c[3] = {mb.u.x, mb.u.y, mb.u.z};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) m[i][j] += w * (a[i] * c[j] + c[i] * a[j]);
    }
    const Eigen3 e = SymmetricEigen(m);
    const Vec3 t = e.vectors[0], p = e.vectors[2];
    return focal::PlaneFromNormalAndSlip({t.x + p.x, t.y + p.y, t.z + p.z}, {t.x - p.x, t.y - p.y, t.z - p.z});
}

// The mechanism of smallest misfit nearest (Kagan) to the centre; ties go
// to the one found first.
Plane NearestBest(const std::vector<BestRun>& runs, const Plane& centre) {
    const AxesFrame c = AxesOf(focal::FaultNormal(centre), focal::SlipVector(centre));
    constexpr double r = 0.70710678118654752440;
    double bestDist = std::numeric_limits<double>::infinity();
    Plane best{};
    for (const BestRun& run : runs) {
        // The cosines between axes are linear in cos and sin of the rake.
        const PlaneFrame f = FrameAt(run.strike, run.dip);
        const double nT = Dot(f.n, c.t), nP = Dot(f.n, c.p), sT = Dot(f.es, c.t), sP = Dot(f.es, c.p);
        const double dT = Dot(f.ed, c.t), dP = Dot(f.ed, c.p);
        const double bS = Dot(focal::Cross(f.es, f.n), c.b), bD = Dot(focal::Cross(f.ed, f.n), c.b);
        for (int rake = run.r0; rake <= run.r1; ++rake) {
            const size_t k = RakeIndex(rake);
            const double cr = Rakes().cos[k], sr = Rakes().sin[k];
            const double d =
                KaganFromCosines((nT + cr * sT + sr * dT) * r, (nP - cr * sP - sr * dP) * r, cr * bS + sr * bD);
            if (d < bestDist) {
                bestDist = d;
                best = {double(run.strike), double(run.dip), double(rake)};
            }
        }
    }
    return best;
}

void MeasureSpread(const std::vector<Member>& members, FocalSolution& sol) {
    const PlaneAligner align(sol.planeA, sol.planeB);
    const AxesFrame pref = AxesOf(focal::FaultNormal(sol.planeA), focal::SlipVector(sol.planeA));
    PlaneErrors a, b;  // sums of squares first
    double total = 0, rot2 = 0, near = 0;
    const auto add = [](PlaneErrors& e, const PlaneErrors& d, double w) {
        e.strike += w * d.strike * d.strike;
        e.dip += w * d.dip * d.dip;
        e.rake += w * d.rake * d.rake;
    };
    for (const Member& mb : members) {
        const PlaneDifferences d = align.Differences(mb.plane, mb.n, mb.u);
        add(a, d.a, mb.weight);
        add(b, d.b, mb.weight);
        const AxesFrame m = AxesOf(mb.n, mb.u);
        const double k = KaganFromCosines(Dot(m.t, pref.t), Dot(m.p, pref.p), Dot(m.b, pref.b));
        rot2 += mb.weight * k * k;
        if (k <= kNearAngle) near += mb.weight;
        total += mb.weight;
    }
    if (total <= 0) return;
    const auto rms = [total](const PlaneErrors& e) -> PlaneErrors {
        return {std::sqrt(e.strike / total), std::sqrt(e.dip / total), std::sqrt(e.rake / total)};
    };
    sol.errorsA = rms(a);
    sol.errorsB = rms(b);
    sol.rmsRotation = std::sqrt(rot2 / total);
    sol.shareWithin45 = near / total;
}

}  // namespace

PlaneAligner::PlaneAligner(const Plane& refA, const Plane& refB)
    : a_(refA), b_(refB), nA_(focal::FaultNormal(refA)), nB_(focal::FaultNormal(refB)) {}

PlaneDifferences PlaneAligner::Differences(const Plane& p1) const {
    return Differences(p1, focal::FaultNormal(p1), focal::SlipVector(p1));
}

PlaneDifferences PlaneAligner::Differences(const Plane& p1, const Vec3& n1, const Vec3& u1) const {
    const Plane p2 = focal::PlaneFromNormalAndSlip(u1, n1);
    const Vec3 n2 = focal::FaultNormal(p2);
    const bool straight =
        std::fabs(Dot(n1, nA_)) + std::fabs(Dot(n2, nB_)) >= std::fabs(Dot(n1, nB_)) + std::fabs(Dot(n2, nA_));
    const auto diff = [](const Plane& p, const Vec3& n, const Plane& ref, const Vec3& refN) -> PlaneErrors {
        const Plane f = Dot(n, refN) >= 0 ? p : Plane{p.strike + 180, 180 - p.dip, -p.rake};
        return {Wrap180(f.strike - ref.strike), f.dip - ref.dip, Wrap180(f.rake - ref.rake)};
    };
    PlaneDifferences d;
    d.a = straight ? diff(p1, n1, a_, nA_) : diff(p2, n2, a_, nA_);
    d.b = straight ? diff(p2, n2, b_, nB_) : diff(p1, n1, b_, nB_);
    return d;
}

int PredictedPolarity(const Plane& plane, const Vec3& ray) {
    const double amp = focal::PAmplitude(focal::FaultNormal(plane), focal::SlipVector(plane), ray);
    return amp > 0 ? 1 : amp < 0 ? -1 : 0;
}

double WeightedMisfit(const std::vector<Observation>& obs, const Plane& plane) {
    double m = 0;
    for (const Observation& o : obs)
        if (PredictedPolarity(plane, o.ray) != o.polarity) m += o.weight;
    return m;
}

int MisfitCount(const std::vector<Observation>& obs, const Plane& plane) {
    int m = 0;
    for (const Observation& o : obs)
        if (PredictedPolarity(plane, o.ray) != o.polarity) ++m;
    return m;
}

char QualityOf(double misfitFraction, double rmsRotation, double shareWithin45) {
    if (shareWithin45 > 0.8 && rmsRotation <= 25 && misfitFraction <= 0.15) return 'A';
    if (shareWithin45 > 0.6 && rmsRotation <= 35 && misfitFraction <= 0.2) return 'B';
    if (shareWithin45 > 0.5 && rmsRotation <= 45 && misfitFraction <= 0.3) return 'C';
    return 'D';
}

FocalSolution SolveFocalMechanism(const std::vector<Observation>& obs, const SearchSettings& settings) {
    Searcher s(obs);
    FocalSolution sol;
    sol.totalWeight = FromWeight(s.Total());
    sol.fittedCount = static_cast<int>(obs.size());
    const Weight minimum = Minimum(s);
    const double meanWeight = sol.totalWeight / static_cast<double>(std::max<size_t>(1, obs.size()));
    const Weight tolerance = ToWeight(std::max(0.5 * settings.polarityErrorRate * sol.totalWeight, 2 * meanWeight));
    sol.tolerance = FromWeight(tolerance);
    const AcceptableSet set = Acceptable(s, minimum, minimum + tolerance);
    sol.acceptableCount = set.count;
    sol.acceptableShare = static_cast<double>(set.count) / kGridSize;
    // Each polarity beyond the minimum makes a mechanism q = e / (1 - e)
    // times less likely when polarities are wrong independently at rate e.
    const double q = settings.polarityErrorRate / (1 - settings.polarityErrorRate);
    sol.centre = CentreOf(set.members, minimum, ToWeight(meanWeight), q);
    sol.planeA = NearestBest(set.best, sol.centre);
    sol.planeB = focal::AuxiliaryPlane(sol.planeA);
    focal::Axis bAxis;
    focal::PrincipalAxes(sol.planeA, sol.pAxis, sol.tAxis, bAxis);
    sol.centreDistance = focal::KaganAngle(sol.planeA, sol.centre);
    sol.misfit = WeightedMisfit(obs, sol.planeA);
    sol.misfitCount = MisfitCount(obs, sol.planeA);
    MeasureSpread(set.members, sol);
    sol.quality = QualityOf(sol.totalWeight > 0 ? sol.misfit / sol.totalWeight : 1, sol.rmsRotation, sol.shareWithin45);
    sol.boxesEvaluated = s.Evaluated();
    return sol;
}

}  // namespace dyma::npfa
