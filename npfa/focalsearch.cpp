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
// Error rate. Polarities are wrong now and then (reversed sensors, emergent
// onsets). The share of wrong ones is estimated from the data: m of N
// polarities unexplained by the best mechanism give (m + 1) / (N + 2),
// capped at 0.45, rather than a rate fixed for every event.
//
// Acceptable set. With polarities wrong independently at rate e, a
// mechanism that explains k polarities fewer than the best is (e/(1-e))^k
// times less likely. The set holds every mechanism down to a likelihood of
// 2 % of the best (at most six polarities beyond the minimum), each
// counting with that likelihood, averaged over the nominal rays and the ray
// trials (rays recomputed from a source and seam-wave angles moved within
// their errors), and with its volume on the rotation group (proportional to
// sin(dip)), so that the set is measured as orientations rather than as
// grid points, which crowd near dip 0. It is collected from the boxes the
// minimum search left unsplit, with the same bounds; single mechanisms
// are pooled into cells, coarser the wider the set reaches, so that a set
// spread over most of the grid (a handful of picks) costs no more than a
// narrow one. The grid mechanisms within one polarity of the best are also
// counted exactly, for the listing.
//
// Preferred solution. The centre of the set is the double couple of its
// likelihood-weighted mean moment tensor (which does not care which plane
// a member calls its fault), taken again without members more than 45
// degrees away, so that two groups do not pull it into the gap between
// them. The reported solution is the grid mechanism nearest the centre
// (Kagan angle) among those that explain at most one polarity fewer than
// the best, or every polarity when the best explains them all, refined on
// a 0.2-degree grid round the nearest candidates: it represents the set as
// the centre does, yet never contradicts many more picks than it must.
//
// Errors. Each member's planes are paired with planes A and B by the closer
// normals, written with the dip beyond 90 where that keeps them continuous
// with the preferred plane, and the errors are the half-widths of the boxes
// round plane A and plane B that together hold 90 % of the set. For them
// the set is weighted with the error rate raised by 1.5 binomial sigmas,
// so that a few picks do not claim more than they can tell. The quality
// letter follows the spread of the set about the solution, the misfit and
// the station distribution.
#include "npfa/focalsearch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <queue>
#include <unordered_map>

#include "npfa/fastatan.h"

// The loops over rays and over mechanisms run four doubles at a time where
// the processor can (AVX2), two elsewhere. The sums are the same either way:
// no fused multiply-add, the same operations in the same order.
#if defined(__GNUC__) && !defined(__clang__) && defined(__linux__) && defined(__x86_64__)
#define DYMA_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define DYMA_WIDE_VECTORS
#endif

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
constexpr int kInitialBox = 8;
// Keeps the bounds rigorous against rounding of the dot products.
constexpr double kSinMargin = 1e-9;
constexpr double kArcMargin = 10 * kFastAtan2ErrorDeg;  // degrees
constexpr double kNearAngle = 45;
// Likelihood (relative to the best) below which grid mechanisms stop being
// collected, and the most polarities above the minimum collected at all.
constexpr double kLeastLikelihood = 0.02;
constexpr int kMostExtraPolarities = 6;
constexpr double kMaxErrorRate = 0.45;
constexpr double kErrorShare = 0.9;
constexpr int kRefinedSeeds = 6;

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
    return {focal::FaultNormal(ss, cs, sd, cd), {cs, ss, 0}, {cd * ss, -cd * cs, -sd}};
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

// Up to this many rays a single mechanism's misfits are found by sorting
// the ends of the rays' arcs, beyond it by summing over the rakes.
constexpr size_t kSortedRays = 24;

// Grid rakes first..last (indices) of one misfit.
struct RakeRun {
    int first, last;
    Weight misfit;
};

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
        alpha_.resize(w_.size());
        p_.resize(w_.size());
        q_.resize(w_.size());
        phi_.resize(w_.size());
    }

    Weight Total() const { return total_; }
    // The greatest common divisor of the weights.
    Weight WeightStep() const {
        Weight g = 0;
        for (Weight w : w_) g = std::gcd(g, w);
        return std::max<Weight>(1, g);
    }
    long long Evaluated() const { return evaluated_; }

    // What the acceptable set asks of a box's bounds, tallied while they
    // are summed: is any rake in doubt about `counted`, and how many are
    // surely counted.
    struct Tally {
        Weight counted;
        int open = 0;
        long long inCount = 0;
    };

    // The least of the lower and of the upper bounds over the rakes.
    struct Least {
        Weight lb, ub;
    };

    // Lower and upper bounds of the misfit of every rake over the box; exact
    // (ub) for a single strike and dip.
    DYMA_WIDE_VECTORS Least Bounds(const Box& b, RakeSums& lb, RakeSums& ub, Tally* tally = nullptr) {
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
        if (leaf) {
            for (size_t i = 0; i < n; ++i) {
                // With the wanted sign folded into p and q, the ray is
                // explained where p cos r + q sin r = R cos(r - phi) > 0: the
                // half circle around phi.
                const double p = p_[i], q = q_[i];
                if (a_[i] == 0 || p * p + q * q == 0) continue;
                LeafArcs(right, phi_[i], p, q, w_[i]);
            }
        } else {
            // A ray is fixed where R |cos(r - phi)| > sinS: within
            // acos(sinS / R) of either centre, shrunk by the error of the
            // fast arc tangent. The half-widths first, in a loop without
            // branches; rays near a plane of the box get none.
            double* __restrict alphas = alpha_.data();
            const double* __restrict as = a_.data();
            const double* __restrict ps = p_.data();
            const double* __restrict qs = q_.data();
            const double sinS2 = sinS * sinS;
            for (size_t i = 0; i < n; ++i) {
                const double r2 = ps[i] * ps[i] + qs[i] * qs[i];
                const double alpha = FastAtan2Deg(std::sqrt(std::max(r2 - sinS2, 0.0)), sinS) - kArcMargin;
                alphas[i] = std::fabs(as[i]) > sinN && r2 > sinS2 ? alpha : 0.0;
            }
            for (size_t i = 0; i < n; ++i) {
                const double alpha = alphas[i], centre = phi_[i];
                if (alpha <= 0) continue;
                AddRange(right, FloorInt(centre - alpha) + 1, CeilInt(centre + alpha) - 1, w_[i]);
                AddRange(wrong, FloorInt(centre + 180 - alpha) + 1, CeilInt(centre + 180 + alpha) - 1, w_[i]);
            }
        }
        // The least bounds are kept while summing: a second pass over the
        // rakes would cost as much again.
        Weight lo = 0, hi = 0, leastLo = std::numeric_limits<Weight>::max(), mostHi = 0;
        if (tally) {
            const Weight counted = tally->counted;
            int open = 0;
            long long inCount = 0;
            for (int k = 0; k < kRakes; ++k) {
                lo += wrong[static_cast<size_t>(k)];
                hi += right[static_cast<size_t>(k)];
                const Weight l = leaf ? total_ - hi : lo, u = total_ - hi;
                lb[static_cast<size_t>(k)] = l;
                ub[static_cast<size_t>(k)] = u;
                leastLo = std::min(leastLo, l);
                mostHi = std::max(mostHi, hi);
                open |= (l <= counted) & (u > counted);
                inCount += u <= counted;
            }
            tally->open = open;
            tally->inCount = inCount;
            return {leastLo, total_ - mostHi};
        }
        for (int k = 0; k < kRakes; ++k) {
            lo += wrong[static_cast<size_t>(k)];
            hi += right[static_cast<size_t>(k)];
            lb[static_cast<size_t>(k)] = lo;
            ub[static_cast<size_t>(k)] = total_ - hi;
            leastLo = std::min(leastLo, lo);
            mostHi = std::max(mostHi, hi);
        }
        if (leaf) {
            lb = ub;
            leastLo = total_ - mostHi;
        }
        return {leastLo, total_ - mostHi};
    }

    // The exact misfit of every grid rake of a single mechanism, as runs of
    // rakes of equal misfit that cover the circle in order. The same arcs
    // as Bounds, but sorted instead of summed over all 360 rakes: a few
    // picks make a few runs, and the acceptable set of a few picks is
    // mostly single mechanisms.
    void LeafRuns(const Box& b, std::vector<RakeRun>& runs) {
        const size_t n = w_.size();
        runs.clear();
        if (n > kSortedRays) {
            // Many picks: summing over the rakes is cheaper than sorting.
            Bounds(b, leafLb_, leafUb_);
            for (int k = 0; k < kRakes;) {
                int last = k;
                while (last + 1 < kRakes && leafUb_[static_cast<size_t>(last + 1)] == leafUb_[static_cast<size_t>(k)]) ++last;
                runs.push_back({k, last, leafUb_[static_cast<size_t>(k)]});
                k = last + 1;
            }
            return;
        }
        ++evaluated_;
        const PlaneFrame f = FrameAt(b.s0, b.d0);
        Project(f, n, rx_.data(), ry_.data(), rz_.data(), pol_.data(), a_.data(), p_.data(), q_.data(), phi_.data());
        events_.clear();
        for (size_t i = 0; i < n; ++i) {
            const double p = p_[i], q = q_[i];
            if (a_[i] == 0 || p * p + q * q == 0) continue;
            const auto [lo, hi] = LeafArc(phi_[i], p, q);
            if (hi < lo) continue;
            const long len = std::min<long>(hi - lo + 1, kRakes);
            const long start = static_cast<long>(RakeIndex(lo));
            events_.push_back({start, w_[i]});
            if (start + len <= kRakes) {
                events_.push_back({start + len, -w_[i]});
            } else {
                events_.push_back({0, w_[i]});
                events_.push_back({start + len - kRakes, -w_[i]});
            }
        }
        std::sort(events_.begin(), events_.end());
        Weight right = 0;
        size_t e = 0;
        for (long at = 0; at < kRakes;) {
            while (e < events_.size() && events_[e].first <= at) right += events_[e++].second;
            const long next = e < events_.size() ? std::min<long>(events_[e].first, kRakes) : kRakes;
            runs.push_back({static_cast<int>(at), static_cast<int>(next - 1), total_ - right});
            at = next;
        }
    }

private:
    using Diff = std::array<Weight, kRakes + 1>;

    // A single mechanism: the ray is explained at the grid rakes r with
    // P cos r + Q sin r > 0 (P, Q already carry the wanted sign), the open
    // half circle around `centre`. Only a rake within the arc tangent's
    // error of an end is in doubt; it is decided by the exact sign, and its
    // opposite rake, 180 degrees away, has the opposite sign. Returns the
    // first and last rake explained (degrees, any turn of the circle). The
    // misfit of a single mechanism is all but the explained weight, so the
    // arcs of wrong polarities are not needed here.
    static std::pair<long, long> LeafArc(double centre, double P, double Q) {
        const double end = centre + 90;
        const long j = FloorInt(end + 0.5);
        if (std::fabs(end - static_cast<double>(j)) > kArcMargin) {
            const long hi = FloorInt(end);
            return {hi - 179, hi};
        }
        const size_t k = RakeIndex(j);
        const double v = P * Rakes().cos[k] + Q * Rakes().sin[k];
        if (v > 0) return {j - 179, j};
        if (v < 0) return {j - 180, j - 1};
        return {j - 179, j - 1};
    }
    static void LeafArcs(Diff& right, double centre, double P, double Q, Weight w) {
        const auto [lo, hi] = LeafArc(centre, P, Q);
        AddRange(right, lo, hi, w);
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

    std::vector<double> a_, p_, q_, phi_, alpha_;  // scratch of Bounds
    std::vector<std::pair<long, Weight>> events_;  // scratch of LeafRuns
    RakeSums leafLb_, leafUb_;
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

// A box the minimum search left unsplit, with the lower bound it had.
struct Settled {
    Box box;
    Weight bound;
};

// The smallest misfit on the grid. Every box the search does not split
// (pruned, left in the queue, or a single mechanism) is kept with its lower
// bound: together they tile the grid, so the acceptable set is collected
// from them alone and no box is bounded twice on the way down.
Weight Minimum(Searcher& s, std::vector<Settled>& settled) {
    RakeSums lb, ub;
    Weight best = std::numeric_limits<Weight>::max();
    MinQueue queue;
    long order = 0;
    auto visit = [&](const Box& b) {
        const Searcher::Least least = s.Bounds(b, lb, ub);
        best = std::min(best, least.ub);
        const Weight bound = least.lb;
        if (!b.Leaf() && bound < best)
            queue.push({bound, order++, b});
        else
            settled.push_back({b, bound});
    };
    for (const Box& b : InitialBoxes()) visit(b);
    while (!queue.empty()) {
        const Queued top = queue.top();
        queue.pop();
        if (top.bound >= best) {
            settled.push_back({top.box, top.bound});
            break;
        }
        for (const Box& c : Children(top.box)) visit(c);
    }
    for (; !queue.empty(); queue.pop()) settled.push_back({queue.top().box, queue.top().bound});
    return best;
}

struct AcceptableSet {
    std::vector<Member> members;
    long long count = 0;
};

// How finely the set is kept for its statistics: single mechanisms are
// pooled in cells of `cell` degrees of strike and dip and `rakes` degrees of
// rake; boxes are taken whole up to `whole` degrees a side, in runs of
// `wholeRakes` rakes.
struct Pooling {
    int cell, rakes, whole, wholeRakes;
};

// The finest pooling that keeps a set reaching `reach` of the grid (by
// volume) to some ten thousand pieces: the statistics need no more, and
// every piece costs its misfit on every ray set later. A set spread over
// most of the grid is known no better than to ten degrees anyway. Cells of
// twelve degrees cost nothing measurable on generated events of 12 picks,
// but about a degree at the 90th percentile on events of 20.
Pooling PoolingFor(double reach, int picks) {
    if (reach > 0.5) return picks <= 12 ? Pooling{12, 24, 8, 24} : Pooling{8, 16, 8, 16};
    if (reach > 0.2) return {4, 8, 8, 8};
    if (reach > 0.02) return {2, 4, 4, 4};
    return {1, 2, 4, 4};
}

// Two sets in one pass. Counted exactly: every grid mechanism with misfit
// <= counted (a box with a rake in doubt is split down to single
// mechanisms). Kept for the statistics: pieces of every box that may hold a
// mechanism of misfit <= kept, at the pooling's granularity; how much each
// piece counts is decided later from the exact misfit at its centre, so a
// piece needs no exact bound and the wide set costs little.
AcceptableSet Acceptable(Searcher& s, const std::vector<Settled>& settled, Weight counted, Weight kept,
                         const Pooling& pool) {
    RakeSums lb, ub;
    AcceptableSet set;
    std::vector<Box> stack;
    for (const Settled& st : settled)
        if (st.bound <= kept) stack.push_back(st.box);
    struct Pool {
        double volume = 0, s = 0, d = 0, r = 0;
    };
    // Cells are found through a table when there are few enough of them
    // (the pooling of a wide set), else through a hash. The table stays
    // small: every page of memory a run touches costs its process more
    // than the lookups the table saves.
    const size_t sCells = static_cast<size_t>((kStrikes + pool.cell - 1) / pool.cell);
    const size_t dCells = static_cast<size_t>((kDips + pool.cell - 1) / pool.cell);
    const size_t rCells = static_cast<size_t>((kRakes + pool.rakes - 1) / pool.rakes);
    const size_t cells = sCells * dCells * rCells;
    constexpr size_t kMostTabled = 1 << 14;
    std::vector<std::int32_t> table(cells <= kMostTabled ? cells : 0, -1);
    std::unordered_map<size_t, size_t> index;
    std::vector<Pool> pools;
    const auto cellOf = [&](size_t key) -> Pool& {
        if (!table.empty()) {
            std::int32_t& at = table[key];
            if (at < 0) {
                at = static_cast<std::int32_t>(pools.size());
                pools.emplace_back();
            }
            return pools[static_cast<size_t>(at)];
        }
        auto [it, fresh] = index.try_emplace(key, pools.size());
        if (fresh) pools.emplace_back();
        return pools[it->second];
    };
    const auto pooled = [&](const Box& b, int r0, int r1, double volume) {
        const size_t sd = (static_cast<size_t>(b.s0 / pool.cell) * dCells + static_cast<size_t>(b.d0 / pool.cell)) * rCells;
        for (int r = r0; r <= r1;) {
            const int last = std::min(r1, (r / pool.rakes + 1) * pool.rakes - 1), len = last - r + 1;
            Pool& p = cellOf(sd + static_cast<size_t>(r / pool.rakes));
            const double v = volume * len;
            p.volume += v;
            p.s += v * b.StrikeCentre();
            p.d += v * b.DipCentre();
            p.r += v * (0.5 * (RakeAt(r) + RakeAt(last)));
            r = last + 1;
        }
    };
    std::vector<RakeRun> runs;
    while (!stack.empty()) {
        const Box b = stack.back();
        stack.pop_back();
        if (b.Leaf()) {
            s.LeafRuns(b, runs);
            const double volume = DipVolume(b.d0, 1);
            for (const RakeRun& r : runs) {
                if (r.misfit <= counted) set.count += r.last - r.first + 1;
                if (r.misfit <= kept) pooled(b, r.first, r.last, volume);
            }
            continue;
        }
        Searcher::Tally tally{counted};
        if (s.Bounds(b, lb, ub, &tally).lb > kept) continue;
        const bool small = b.ns <= pool.whole && b.nd <= pool.whole;
        if (tally.open && pool.cell >= 8 && small) {
            // A set over most of the grid (a few picks) is in doubt almost
            // everywhere: the boxes between would be split all the way
            // down. Its statistics are kept in cells larger than the box
            // anyway, so the box is kept whole for them and only counted
            // mechanism by mechanism.
            for (int i = 0; i < b.ns; ++i)
                for (int j = 0; j < b.nd; ++j) {
                    s.LeafRuns({b.s0 + i, 1, b.d0 + j, 1}, runs);
                    for (const RakeRun& r : runs)
                        if (r.misfit <= counted) set.count += r.last - r.first + 1;
                }
        } else if (tally.open || !small) {
            for (const Box& c : Children(b)) stack.push_back(c);
            continue;
        } else {
            set.count += tally.inCount * b.ns * b.nd;
        }
        const double volume = DipVolume(b.d0, b.nd) * b.ns;
        for (int k = 0; k < kRakes;) {
            if (lb[static_cast<size_t>(k)] > kept) {
                ++k;
                continue;
            }
            int end = k;
            while (end + 1 < kRakes && lb[static_cast<size_t>(end + 1)] <= kept) ++end;
            if (b.ns <= pool.cell && b.nd <= pool.cell) {
                pooled(b, k, end, volume);
            } else {
                for (int r = k; r <= end; r += pool.wholeRakes) {
                    const int last = std::min(end, r + pool.wholeRakes - 1);
                    set.members.push_back(MakeMember(b.StrikeCentre(), b.DipCentre(), 0.5 * (RakeAt(r) + RakeAt(last)),
                                                     volume * (last - r + 1), 0));
                }
            }
            k = end + 1;
        }
    }
    for (const Pool& p : pools)
        set.members.push_back(MakeMember(p.s / p.volume, p.d / p.volume, p.r / p.volume, p.volume, 0));
    return set;
}

// The misfits of mechanisms on sets of rays, exactly (no grid, no bounds).
class RaySets {
public:
    RaySets(const std::vector<Observation>& nominal, const std::vector<std::vector<Observation>>& trials) {
        Add(nominal);
        for (const auto& t : trials)
            if (t.size() == nominal.size()) Add(t);
    }
    size_t Count() const { return x_.size(); }
    // The misfits of many mechanisms at once, their normals and slips given
    // coordinate by coordinate: the loop over mechanisms vectorises. The
    // weights are whole millionths, which doubles sum exactly.
    DYMA_WIDE_VECTORS void Misfits(size_t set, const std::array<std::vector<double>, 6>& nu, std::vector<double>& out) const {
        const std::vector<double>&x = x_[set], &y = y_[set], &z = z_[set], &pol = pol_[set];
        const std::vector<Weight>& w = w_[set];
        const size_t count = nu[0].size();
        out.assign(count, 0.0);
        const double *__restrict nx = nu[0].data(), *__restrict ny = nu[1].data(), *__restrict nz = nu[2].data();
        const double *__restrict ux = nu[3].data(), *__restrict uy = nu[4].data(), *__restrict uz = nu[5].data();
        double* __restrict m = out.data();
        for (size_t i = 0; i < x.size(); ++i) {
            const double rx = x[i], ry = y[i], rz = z[i], p = pol[i], wi = static_cast<double>(w[i]);
            for (size_t k = 0; k < count; ++k) {
                const double a = nx[k] * rx + ny[k] * ry + nz[k] * rz;
                const double b = ux[k] * rx + uy[k] * ry + uz[k] * rz;
                m[k] += a * b * p > 0 ? 0.0 : wi;
            }
        }
    }

private:
    void Add(const std::vector<Observation>& obs) {
        x_.emplace_back();
        y_.emplace_back();
        z_.emplace_back();
        pol_.emplace_back();
        w_.emplace_back();
        for (const Observation& o : obs) {
            x_.back().push_back(o.ray.x);
            y_.back().push_back(o.ray.y);
            z_.back().push_back(o.ray.z);
            pol_.back().push_back(o.polarity);
            w_.back().push_back(ToWeight(o.weight));
        }
    }
    std::vector<std::vector<double>> x_, y_, z_, pol_;
    std::vector<std::vector<Weight>> w_;
};

// Each member's likelihood relative to the best mechanism, averaged over
// the nominal rays and the trials, for two error rates at once: for rate e
// every polarity beyond a ray set's minimum makes a mechanism e / (1 - e)
// times less likely.
void Likelihoods(const std::vector<Member>& members, const RaySets& rays, Weight unit, Weight step, double q1,
                 double q2, std::vector<double>& l1, std::vector<double>& l2) {
    const size_t sets = rays.Count(), n = members.size();
    std::vector<std::int32_t> misfit(n * sets);
    std::vector<Weight> least(sets, std::numeric_limits<Weight>::max());
    std::array<std::vector<double>, 6> nu;
    for (auto& c : nu) c.reserve(n);
    for (const Member& mb : members) {
        nu[0].push_back(mb.n.x);
        nu[1].push_back(mb.n.y);
        nu[2].push_back(mb.n.z);
        nu[3].push_back(mb.u.x);
        nu[4].push_back(mb.u.y);
        nu[5].push_back(mb.u.z);
    }
    std::vector<double> sums;
    for (size_t t = 0; t < sets; ++t) {
        rays.Misfits(t, nu, sums);
        for (size_t i = 0; i < n; ++i) {
            const Weight m = static_cast<Weight>(sums[i]);
            misfit[i * sets + t] = static_cast<std::int32_t>(m);
            least[t] = std::min(least[t], m);
        }
    }
    // Every misfit is a multiple of `step` (the weights' common divisor):
    // the powers of q come from a table, far beyond where they matter.
    const double lq1 = std::log(q1), lq2 = std::log(q2), perUnit = 1.0 / static_cast<double>(std::max<Weight>(1, unit));
    constexpr size_t kTable = 4096;
    std::vector<double> p1(kTable), p2(kTable);
    for (size_t j = 0; j < kTable; ++j) {
        const double extra = static_cast<double>(j) * static_cast<double>(step) * perUnit;
        p1[j] = std::exp(lq1 * extra);
        p2[j] = std::exp(lq2 * extra);
    }
    l1.assign(n, 0);
    l2.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        double a = 0, b = 0;
        for (size_t t = 0; t < sets; ++t) {
            const Weight d = misfit[i * sets + t] - least[t];
            const size_t j = static_cast<size_t>(d / step);
            if (j < kTable) {
                a += p1[j];
                b += p2[j];
            } else {
                const double extra = static_cast<double>(d) * perUnit;
                a += std::exp(lq1 * extra);
                b += std::exp(lq2 * extra);
            }
        }
        l1[i] = members[i].weight * a / static_cast<double>(sets);
        l2[i] = members[i].weight * b / static_cast<double>(sets);
    }
}

AxesFrame AxesOfPlane(const Plane& p) { return AxesOf(focal::FaultNormal(p), focal::SlipVector(p)); }

double KaganTo(const AxesFrame& ref, const Member& mb) {
    const AxesFrame m = AxesOf(mb.n, mb.u);
    return KaganFromCosines(Dot(m.t, ref.t), Dot(m.p, ref.p), Dot(m.b, ref.b));
}

// The double couple of the weighted mean moment tensor.
Plane MeanMechanism(const std::vector<Member>& members, const std::vector<double>& weights,
                    const std::vector<char>* use = nullptr) {
    std::array<std::array<double, 3>, 3> m{};
    for (size_t k = 0; k < members.size(); ++k) {
        if (use && !(*use)[k]) continue;
        const Member& mb = members[k];
        const double w = weights[k];
        const double a[3] = {mb.n.x, mb.n.y, mb.n.z}, c[3] = {mb.u.x, mb.u.y, mb.u.z};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) m[i][j] += w * (a[i] * c[j] + c[i] * a[j]);
    }
    const Eigen3 e = SymmetricEigen(m);
    const Vec3 t = e.vectors[0], p = e.vectors[2];
    return focal::PlaneFromNormalAndSlip({t.x + p.x, t.y + p.y, t.z + p.z}, {t.x - p.x, t.y - p.y, t.z - p.z});
}

// The mean of the set, then again without the members more than 45 degrees
// from it: a second group of mechanisms far away pulls the first mean into
// the empty space between the groups; the second mean sits in the larger.
Plane CentreOf(const std::vector<Member>& members, const std::vector<double>& weights) {
    const Plane first = MeanMechanism(members, weights);
    const AxesFrame f = AxesOfPlane(first);
    std::vector<char> near(members.size());
    double kept = 0;
    for (size_t k = 0; k < members.size(); ++k) {
        near[k] = KaganTo(f, members[k]) <= kNearAngle;
        kept += near[k] ? weights[k] : 0;
    }
    return kept > 0 ? MeanMechanism(members, weights, &near) : first;
}

double Kagan(const AxesFrame& c, const Plane& p) {
    const AxesFrame m = AxesOfPlane(p);
    return KaganFromCosines(Dot(m.t, c.t), Dot(m.p, c.p), Dot(m.b, c.b));
}

struct Pick {
    Plane plane;
    Weight misfit;
    double distance;
};

// The cosine of the Kagan angle from the centre to every grid rake at one
// strike and dip (the cosines between axes are linear in cos and sin of the
// rake). The angle falls as the cosine rises, so the search compares
// cosines and takes the arc cosine only of what it keeps.
void RakeCosines(double strike, double dip, const AxesFrame& c, std::array<double, kRakes>& out) {
    constexpr double r = 0.70710678118654752440;
    const PlaneFrame f = FrameAt(strike, dip);
    const double nT = Dot(f.n, c.t), nP = Dot(f.n, c.p), sT = Dot(f.es, c.t), sP = Dot(f.es, c.p);
    const double dT = Dot(f.ed, c.t), dP = Dot(f.ed, c.p);
    const double bS = Dot(focal::Cross(f.es, f.n), c.b), bD = Dot(focal::Cross(f.ed, f.n), c.b);
    for (size_t k = 0; k < kRakes; ++k) {
        const double cr = Rakes().cos[k], sr = Rakes().sin[k];
        const double tt = (nT + cr * sT + sr * dT) * r, pp = (nP - cr * sP - sr * dP) * r, bb = cr * bS + sr * bD;
        const double tr = std::max({tt + pp + bb, tt - pp - bb, -tt + pp - bb, -tt - pp + bb});
        out[k] = std::clamp((tr - 1) / 2, -1.0, 1.0);
    }
}

// For each query, the `wanted` grid mechanisms of misfit <= its limit
// nearest (Kagan) to the centre, nearest first; ties go to the one found
// first. One best-first walk on the distance serves every query: within a
// box the strike turns the mechanism by at most hs and the dip by at most
// hd, so no mechanism of the box is nearer than the nearest rake at its
// centre less hs + hd, and a box is opened while it may improve any query.
struct NearQuery {
    Weight limit;
    size_t wanted;
};
constexpr size_t kMostQueries = 2;
std::vector<std::vector<Pick>> NearestOnGrid(Searcher& s, const std::vector<Settled>& settled, const AxesFrame& c,
                                             const std::vector<NearQuery>& queries) {
    const size_t nq = std::min(queries.size(), kMostQueries);
    struct Item {
        double bound;  // the least of `bounds` that may still help
        long order;
        Box box;
        std::array<double, kMostQueries> bounds;
        bool operator>(const Item& o) const { return bound != o.bound ? bound > o.bound : order > o.order; }
    };
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
    RakeSums lb, ub;
    std::array<double, kRakes> cosines;
    std::vector<std::vector<Pick>> found(nq);  // each sorted by distance, at most `wanted`
    long order = 0;
    const auto worst = [&](size_t q) {
        return found[q].size() < queries[q].wanted ? std::numeric_limits<double>::infinity()
                                                   : found[q].back().distance;
    };
    const auto helps = [&](const std::array<double, kMostQueries>& bounds) {
        for (size_t q = 0; q < nq; ++q)
            if (bounds[q] < worst(q)) return true;
        return false;
    };
    Weight widest = 0;
    for (size_t q = 0; q < nq; ++q) widest = std::max(widest, queries[q].limit);
    const auto visit = [&](const Box& b) {
        s.Bounds(b, lb, ub);
        RakeCosines(b.StrikeCentre(), b.DipCentre(), c, cosines);
        if (b.Leaf()) {
            for (size_t q = 0; q < nq; ++q) {
                std::vector<Pick>& list = found[q];
                const size_t wanted = queries[q].wanted;
                // Rakes clearly farther than the worst kept need no arc cosine.
                double farther = -2;
                for (size_t k = 0; k < kRakes; ++k) {
                    if (ub[k] > queries[q].limit) continue;
                    if (list.size() == wanted && farther < -1) farther = std::cos(Rad(worst(q))) - 1e-9;
                    if (cosines[k] < farther) continue;
                    const double distance = Deg(std::acos(cosines[k]));
                    if (distance >= worst(q)) continue;
                    const Pick p{{double(b.s0), double(b.d0), double(RakeAt(static_cast<int>(k)))}, ub[k], distance};
                    list.insert(std::upper_bound(list.begin(), list.end(), p,
                                                 [](const Pick& x, const Pick& y) { return x.distance < y.distance; }),
                                p);
                    if (list.size() > wanted) list.pop_back();
                    farther = -2;
                }
            }
            return;
        }
        std::array<double, kMostQueries> nearest;
        nearest.fill(-2);
        for (size_t k = 0; k < kRakes; ++k) {
            if (lb[k] > widest) continue;
            for (size_t q = 0; q < nq; ++q)
                if (lb[k] <= queries[q].limit) nearest[q] = std::max(nearest[q], cosines[k]);
        }
        Item item{std::numeric_limits<double>::infinity(), 0, b, {}};
        item.bounds.fill(std::numeric_limits<double>::infinity());
        for (size_t q = 0; q < nq; ++q) {
            if (nearest[q] < -1) continue;
            item.bounds[q] = Deg(std::acos(nearest[q])) - (b.HalfS() + b.HalfD());
            if (item.bounds[q] < worst(q)) item.bound = std::min(item.bound, item.bounds[q]);
        }
        if (item.bound == std::numeric_limits<double>::infinity()) return;
        item.order = order++;
        queue.push(item);
    };
    for (const Settled& st : settled)
        if (st.bound <= widest) visit(st.box);
    while (!queue.empty()) {
        // Every box left is at least this far; once no query's worst is
        // farther, none can help.
        double farthest = 0;
        for (size_t q = 0; q < nq; ++q) farthest = std::max(farthest, worst(q));
        if (queue.top().bound >= farthest) break;
        const Item top = queue.top();
        queue.pop();
        if (!helps(top.bounds)) continue;
        for (const Box& ch : Children(top.box)) visit(ch);
    }
    return found;
}

// Mechanisms on a finer grid (kFineStep) round some grid mechanisms whose
// exact misfit on the nominal rays is at most `most`, with that misfit.
// Each seed's mechanisms share nine strikes, dips and rakes, so their sines
// come from small tables, and the misfits of a seed's mechanisms are summed
// at once, in buffers that stay small (every fresh page costs a process
// more than the sums).
constexpr double kFineStep = 0.2;
constexpr int kFineReach = 4;  // steps each way: the whole 1-degree cell and a little beyond
constexpr int kFineSide = 2 * kFineReach + 1;
std::vector<Pick> Refine(const RaySets& rays, const std::vector<Plane>& seeds, Weight most) {
    std::vector<Pick> out;
    std::array<std::vector<double>, 6> nu;
    std::vector<Plane> planes;
    std::vector<double> misfits;
    struct Angle {
        double value, sin, cos;
    };
    const auto angle = [](double value) { return Angle{value, std::sin(Rad(value)), std::cos(Rad(value))}; };
    for (const Plane& seed : seeds) {
        std::array<Angle, kFineSide> strikes, rakes;
        std::vector<Angle> dips;
        for (int i = -kFineReach; i <= kFineReach; ++i) {
            const double strike = std::fmod(seed.strike + i * kFineStep + 360, 360.0);
            strikes[static_cast<size_t>(i + kFineReach)] = angle(std::round(strike * 10) / 10);
            rakes[static_cast<size_t>(i + kFineReach)] = angle(std::round(Wrap180(seed.rake + i * kFineStep) * 10) / 10);
            const double dip = seed.dip + i * kFineStep;
            if (dip >= 0 && dip <= 90) dips.push_back(angle(std::round(dip * 10) / 10));
        }
        for (auto& c : nu) c.clear();
        planes.clear();
        for (const Angle& st : strikes)
            for (const Angle& dp : dips) {
                const Vec3 n = focal::FaultNormal(st.sin, st.cos, dp.sin, dp.cos);
                for (const Angle& rk : rakes) {
                    const Vec3 u = focal::SlipVector(st.sin, st.cos, dp.sin, dp.cos, rk.sin, rk.cos);
                    planes.push_back({st.value, dp.value, rk.value});
                    nu[0].push_back(n.x);
                    nu[1].push_back(n.y);
                    nu[2].push_back(n.z);
                    nu[3].push_back(u.x);
                    nu[4].push_back(u.y);
                    nu[5].push_back(u.z);
                }
            }
        rays.Misfits(0, nu, misfits);
        for (size_t k = 0; k < planes.size(); ++k) {
            const Weight m = static_cast<Weight>(misfits[k]);
            if (m <= most) out.push_back({planes[k], m, 0});
        }
    }
    return out;
}

// The smallest half-widths of strike, dip and rake round plane A and round
// plane B such that `share` of the set (by weight) lies in A's box or in
// B's: the same quantile of every angle, raised until the boxes together
// hold the share.
void ErrorBoxes(const std::vector<PlaneDifferences>& diffs, const std::vector<double>& weights, double share,
                PlaneErrors& ea, PlaneErrors& eb) {
    const size_t n = diffs.size();
    double total = 0;
    for (double w : weights) total += w;
    if (n == 0 || total <= 0) return;
    // Sorted absolute differences of each angle with their weights.
    std::array<std::vector<std::pair<double, double>>, 6> sorted;
    for (size_t i = 0; i < n; ++i) {
        const PlaneDifferences& d = diffs[i];
        const double v[6] = {d.a.strike, d.a.dip, d.a.rake, d.b.strike, d.b.dip, d.b.rake};
        for (size_t c = 0; c < 6; ++c) sorted[c].push_back({std::fabs(v[c]), weights[i]});
    }
    for (auto& s : sorted) std::sort(s.begin(), s.end());
    const auto quantile = [&](size_t c, double q) {
        double acc = 0;
        for (const auto& [v, w] : sorted[c]) {
            acc += w;
            if (acc >= q * total) return v;
        }
        return sorted[c].back().first;
    };
    const auto boxes = [&](double q, std::array<double, 6>& h) {
        for (size_t c = 0; c < 6; ++c) h[c] = quantile(c, q);
        double in = 0;
        for (size_t i = 0; i < n; ++i) {
            const PlaneDifferences& d = diffs[i];
            const bool a = std::fabs(d.a.strike) <= h[0] && std::fabs(d.a.dip) <= h[1] && std::fabs(d.a.rake) <= h[2];
            const bool b = std::fabs(d.b.strike) <= h[3] && std::fabs(d.b.dip) <= h[4] && std::fabs(d.b.rake) <= h[5];
            if (a || b) in += weights[i];
        }
        return in / total;
    };
    std::array<double, 6> h{};
    double lo = 0, hi = 1;
    for (int step = 0; step < 24; ++step) {
        const double mid = 0.5 * (lo + hi);
        (boxes(mid, h) >= share ? hi : lo) = mid;
    }
    boxes(hi, h);
    ea = {std::min(h[0], 180.0), std::min(h[1], 90.0), std::min(h[2], 180.0)};
    eb = {std::min(h[3], 180.0), std::min(h[4], 90.0), std::min(h[5], 180.0)};
}

// RMS rotation of the set about the preferred solution and its share within 45 degrees.
void Spread(const std::vector<Member>& members, const std::vector<double>& weights, FocalSolution& sol) {
    const AxesFrame pref = AxesOfPlane(sol.planeA);
    double total = 0, rot2 = 0, near = 0;
    for (size_t i = 0; i < members.size(); ++i) {
        const double k = KaganTo(pref, members[i]);
        rot2 += weights[i] * k * k;
        if (k <= kNearAngle) near += weights[i];
        total += weights[i];
    }
    if (total <= 0) return;
    sol.rmsRotation = std::sqrt(rot2 / total);
    sol.shareWithin45 = near / total;
}

// P and T axes of at most kMaxAcceptableAxes members, drawn at even steps
// of the cumulative weight so that the picture shows the set as it counts.
std::vector<AxisPair> ThinnedAxes(const std::vector<Member>& members, const std::vector<double>& weights) {
    std::vector<AxisPair> out;
    double total = 0;
    for (double w : weights) total += w;
    if (members.empty() || total <= 0) return out;
    const size_t wanted = std::min<size_t>(kMaxAcceptableAxes, members.size());
    double acc = 0, next = 0.5 * total / static_cast<double>(wanted);
    size_t last = members.size();
    for (size_t i = 0; i < members.size() && out.size() < wanted; ++i) {
        acc += weights[i];
        if (acc < next) continue;
        while (next <= acc) next += total / static_cast<double>(wanted);
        if (i == last) continue;
        last = i;
        focal::Axis p, t, b;
        focal::PrincipalAxes(members[i].plane, p, t, b);
        out.push_back({p, t});
    }
    return out;
}

double LargestGap(std::vector<double> v, double lo, double hi, bool circular) {
    if (v.empty()) return hi - lo;
    std::sort(v.begin(), v.end());
    double gap = circular ? v.front() + (hi - lo) - v.back() : std::max(v.front() - lo, hi - v.back());
    for (size_t i = 1; i < v.size(); ++i) gap = std::max(gap, v[i] - v[i - 1]);
    return gap;
}

void Coverage(const std::vector<Observation>& obs, FocalSolution& sol) {
    std::vector<double> az, to;
    const Vec3 n = focal::FaultNormal(sol.planeA), u = focal::SlipVector(sol.planeA);
    double amp = 0, total = 0;
    for (const Observation& o : obs) {
        double a = Deg(std::atan2(o.ray.y, o.ray.x));
        if (a < 0) a += 360;
        az.push_back(a);
        to.push_back(Deg(std::acos(std::clamp(o.ray.z, -1.0, 1.0))));
        amp += o.weight * std::fabs(focal::PAmplitude(n, u, o.ray));
        total += o.weight;
    }
    sol.azimuthGap = LargestGap(az, 0, 360, true);
    sol.takeoffGap = LargestGap(to, 0, 180, false);
    // Relative to stations spread evenly over the focal sphere, whose mean
    // |P amplitude| is 4 / (3 pi): 1 for an even spread, near 0 for picks
    // that all sit on nodal planes.
    sol.stationRatio = total > 0 ? amp / total / (4 / (3 * focal::kPi)) : 0;
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

char QualityOf(double misfitFraction, double rmsRotation, double shareWithin45, double stationRatio) {
    if (shareWithin45 > 0.8 && rmsRotation <= 25 && misfitFraction <= 0.15 && stationRatio >= 0.5) return 'A';
    if (shareWithin45 > 0.6 && rmsRotation <= 35 && misfitFraction <= 0.2 && stationRatio >= 0.4) return 'B';
    if (shareWithin45 > 0.5 && rmsRotation <= 45 && misfitFraction <= 0.3 && stationRatio >= 0.3) return 'C';
    return 'D';
}

double EstimatedErrorRate(double minimumMisfit, double totalWeight, int picks) {
    if (picks <= 0 || totalWeight <= 0) return kMaxErrorRate;
    const double m = minimumMisfit * picks / totalWeight;  // in polarities of mean weight
    return std::min(kMaxErrorRate, (m + 1) / (picks + 2));
}

FocalSolution SolveFocalMechanism(const std::vector<Observation>& obs, const SearchSettings& settings) {
    Searcher s(obs);
    FocalSolution sol;
    sol.totalWeight = FromWeight(s.Total());
    sol.fittedCount = static_cast<int>(obs.size());
    const int n = sol.fittedCount;
    std::vector<Settled> settled;
    const Weight minimum = Minimum(s, settled);
    sol.minimum = FromWeight(minimum);
    const Weight unit = std::max<Weight>(1, s.Total() / std::max(1, n));  // the mean weight

    // The error rate the data suggest, and that rate raised by 1.5 binomial
    // sigmas for the errors, so that a set with few misfits does not claim
    // more than a small sample of polarities can tell.
    const double e = EstimatedErrorRate(sol.minimum, sol.totalWeight, n);
    const double eWide = std::min(kMaxErrorRate, e + 1.5 * std::sqrt(e * (1 - e) / std::max(1, n)));
    sol.errorRate = e;
    const double q = e / (1 - e), qWide = eWide / (1 - eWide);
    // The set reaches as far above the minimum as its wider likelihood is
    // worth counting.
    const int extra = std::clamp(static_cast<int>(std::ceil(std::log(kLeastLikelihood) / std::log(qWide))), 1,
                                 kMostExtraPolarities);
    const Weight kept = minimum + unit * extra;
    // The set counted for the listing: within one polarity of the best.
    const Weight tolerance = unit;
    sol.tolerance = FromWeight(tolerance);
    // With wrong polarities about, the preferred solution may explain one
    // polarity fewer than the best; on clean data it explains them all.
    const Weight allowance = minimum > 0 ? unit : 0;
    // A wide set is kept in coarser pieces, a narrow one finely: the share
    // of the grid the settled boxes that may hold members cover says which.
    double reach = 0;
    for (const Settled& st : settled)
        if (st.bound <= kept) reach += DipVolume(st.box.d0, st.box.nd) * st.box.ns;
    reach /= DipVolume(0, kDips) * kStrikes;
    const Pooling pool = PoolingFor(reach, n);
    const AcceptableSet set = Acceptable(s, settled, minimum + tolerance, kept, pool);
    sol.acceptableCount = set.count;
    sol.acceptableShare = static_cast<double>(set.count) / kGridSize;

    const RaySets rays(obs, settings.trials);
    sol.trials = static_cast<int>(rays.Count()) - 1;
    std::vector<double> like, likeWide;
    Likelihoods(set.members, rays, unit, s.WeightStep(), q, qWide, like, likeWide);
    sol.centre = CentreOf(set.members, like);
    const AxesFrame centre = AxesOfPlane(sol.centre);

    // The grid minimum nearest the centre, listed as the smallest misfit,
    // and the candidates nearest the centre.
    const std::vector<std::vector<Pick>> nearest =
        NearestOnGrid(s, settled, centre, {{minimum, 1}, {minimum + allowance, kRefinedSeeds}});
    const std::vector<Pick>& best = nearest[0];
    sol.best = best.empty() ? Plane{} : best.front().plane;
    sol.minimumCount = MisfitCount(obs, sol.best);

    // Sub-degree refinement round the candidates nearest the centre: a
    // region that explains every polarity may be narrower than the grid.
    const std::vector<Pick>& near = nearest[1];
    std::vector<Plane> seeds;
    for (const Pick& p : near) seeds.push_back(p.plane);
    // Only what may be chosen is kept: the limit below is never above the
    // grid minimum plus one polarity.
    const std::vector<Pick> fine = Refine(rays, seeds, minimum + unit);
    Weight least = minimum;
    for (const Pick& p : fine) least = std::min(least, p.misfit);
    sol.refinedMinimum = FromWeight(least);
    const Weight limit = least + (least > 0 ? unit : 0);
    Pick chosen{sol.best, minimum, std::numeric_limits<double>::infinity()};
    for (const Pick& p : near)
        if (p.misfit <= limit && p.distance < chosen.distance) chosen = p;
    for (const Pick& p : fine) {
        if (p.misfit > limit) continue;
        const double d = Kagan(centre, p.plane);
        if (d < chosen.distance) chosen = {p.plane, p.misfit, d};
    }
    sol.planeA = chosen.plane;
    sol.planeB = focal::AuxiliaryPlane(sol.planeA);
    focal::Axis bAxis;
    focal::PrincipalAxes(sol.planeA, sol.pAxis, sol.tAxis, bAxis);
    sol.centreDistance = focal::KaganAngle(sol.planeA, sol.centre);
    sol.misfit = WeightedMisfit(obs, sol.planeA);
    sol.misfitCount = MisfitCount(obs, sol.planeA);

    // The errors: the boxes round both planes that hold 90 % of the wider set.
    const PlaneAligner align(sol.planeA, sol.planeB);
    std::vector<PlaneDifferences> diffs;
    diffs.reserve(set.members.size());
    for (const Member& mb : set.members) diffs.push_back(align.Differences(mb.plane, mb.n, mb.u));
    ErrorBoxes(diffs, likeWide, kErrorShare, sol.errorsA, sol.errorsB);
    Spread(set.members, like, sol);
    Coverage(obs, sol);
    sol.acceptableAxes = ThinnedAxes(set.members, likeWide);
    sol.quality = QualityOf(sol.totalWeight > 0 ? sol.misfit / sol.totalWeight : 1, sol.rmsRotation, sol.shareWithin45,
                            sol.stationRatio);
    sol.boxesEvaluated = s.Evaluated();
    return sol;
}

}  // namespace dyma::npfa
