#include "recordsection.h"

#include "app/document/tremordocument.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace dyma {

std::vector<int> SectionRows(const std::vector<ChannelFacts>& channels, double x, double y, double z,
                             SectionOrder order) {
    std::vector<int> rows(channels.size());
    std::iota(rows.begin(), rows.end(), 0);
    if (order == SectionOrder::Channel) return rows;
    std::vector<double> distance;
    for (const ChannelFacts& c : channels) distance.push_back(Distance(x, y, z, c.X, c.Y, c.Z));
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return distance[size_t(a)] < distance[size_t(b)]; });
    return rows;
}

void ThinTrace(const std::vector<float>& samples, int first, int last, int columns, ThinnedTrace& out) {
    out.columns.clear();
    out.level = out.amplitude = 0;
    first = std::max(first, 0);
    last = std::min(last, int(samples.size()));
    if (first >= last || columns < 1) return;
    const long long n = last - first;
    out.columns.resize(size_t(columns));
    const float* data = samples.data();
    double sum = 0;
    for (int c = 0; c < columns; ++c) {
        long long from = first + c * n / columns, to = first + (c + 1) * n / columns;
        if (to <= from) to = std::min<long long>(from + 1, last);
        float lo = data[from], hi = data[from];
        // Only the samples of this column count towards the mean, so each
        // sample is summed once.
        const long long own = first + (c + 1) * n / columns;
        for (long long i = from; i < to; ++i) {
            const float v = data[i];
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
        for (long long i = from; i < std::min(own, to); ++i) sum += data[i];
        out.columns[size_t(c)] = {lo, hi};
    }
    out.level = sum / double(n);
    double amplitude = 0;
    for (const ColumnSpan& s : out.columns)
        amplitude = std::max({amplitude, std::fabs(double(s.hi) - out.level), std::fabs(double(s.lo) - out.level)});
    out.amplitude = amplitude;
}

TraceSummary SummarizeTrace(const std::vector<float>& samples) {
    TraceSummary t;
    t.length = int(samples.size());
    const int blocks = (t.length + TraceSummary::kBlock - 1) / TraceSummary::kBlock;
    t.lo.resize(size_t(blocks));
    t.hi.resize(size_t(blocks));
    t.sum.resize(size_t(blocks));
    for (int b = 0; b < blocks; ++b) {
        const int from = b * TraceSummary::kBlock, to = std::min(from + TraceSummary::kBlock, t.length);
        float lo = samples[size_t(from)], hi = lo;
        double sum = 0;
        for (int i = from; i < to; ++i) {
            const float v = samples[size_t(i)];
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
            sum += v;
        }
        t.lo[size_t(b)] = lo, t.hi[size_t(b)] = hi, t.sum[size_t(b)] = sum;
    }
    return t;
}

void ThinTrace(const std::vector<float>& samples, const TraceSummary& summary, int first, int last, int columns,
               ThinnedTrace& out) {
    constexpr int B = TraceSummary::kBlock;
    first = std::max(first, 0);
    last = std::min(last, int(samples.size()));
    if (summary.length != int(samples.size()) || columns < 1 || (last - first) < 4LL * B * columns)
        return ThinTrace(samples, first, last, columns, out);
    out.columns.resize(size_t(columns));
    const long long n = last - first;
    const int blocks = int(summary.lo.size());
    for (int c = 0; c < columns; ++c) {
        const int from = int((first + c * n / columns) / B);
        const int to = std::min(blocks, std::max(from + 1, int((first + (c + 1) * n / columns) / B)));
        float lo = summary.lo[size_t(from)], hi = summary.hi[size_t(from)];
        for (int b = from + 1; b < to; ++b) {
            lo = summary.lo[size_t(b)] < lo ? summary.lo[size_t(b)] : lo;
            hi = summary.hi[size_t(b)] > hi ? summary.hi[size_t(b)] : hi;
        }
        out.columns[size_t(c)] = {lo, hi};
    }
    // The level over the whole blocks of the window.
    const int b0 = first / B, b1 = std::max(b0 + 1, std::min(blocks, last / B));
    double sum = 0;
    for (int b = b0; b < b1; ++b) sum += summary.sum[size_t(b)];
    const int counted = std::min(b1 * B, summary.length) - b0 * B;
    out.level = counted > 0 ? sum / counted : 0;
    double amplitude = 0;
    for (const ColumnSpan& s : out.columns)
        amplitude = std::max({amplitude, std::fabs(double(s.hi) - out.level), std::fabs(double(s.lo) - out.level)});
    out.amplitude = amplitude;
}

}  // namespace dyma
