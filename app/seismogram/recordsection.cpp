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
        if (from >= last) from = last - 1, to = last;
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

}  // namespace dyma
