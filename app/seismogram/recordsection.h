// The record section of the seismogram window as plain values: the order of
// its rows (by distance from the tremor or by channel number) and every
// trace thinned to one stretch a pixel column (its lowest and highest
// sample), with the level and the amplitude each trace is normalised by in
// the common time window.
#pragma once

#include "app/seismogram/channeltables.h"

#include <vector>

namespace dyma {

enum class SectionOrder { Distance, Channel };

// Channel indices in row order. By distance from (x, y, z), nearest first
// (equal distances in channel order); or by channel number.
std::vector<int> SectionRows(const std::vector<ChannelFacts>& channels, double x, double y, double z,
                             SectionOrder order);

// One pixel column of a trace: the lowest and highest sample it covers.
struct ColumnSpan {
    float lo = 0, hi = 0;
};

struct ThinnedTrace {
    std::vector<ColumnSpan> columns;  // empty when the window holds no sample
    double level = 0;      // mean of the window's samples: the trace's zero
    double amplitude = 0;  // the largest distance of a sample from the level
};

// Samples [first, last) of `samples` (clipped to the trace) thinned to
// `columns` columns; column c covers the samples from first + c * n /
// columns up to the next column's first (at least one sample each). With
// fewer samples than columns, neighbouring columns share a sample.
void ThinTrace(const std::vector<float>& samples, int first, int last, int columns, ThinnedTrace& out);

// The extremes and the sum of every block of kBlock samples of a trace
// (the last block may be shorter), made once, so that a column of many
// samples costs a few blocks instead of all its samples.
struct TraceSummary {
    static constexpr int kBlock = 16;
    std::vector<float> lo, hi;
    std::vector<double> sum;
    int length = 0;
};
TraceSummary SummarizeTrace(const std::vector<float>& samples);

// ThinTrace, but where the columns span at least four blocks each they are
// read from the summary, their ends rounded down to whole blocks (less than
// a quarter of a column: the picture does not change). The same result as
// ThinTrace where the column ends fall on block ends.
void ThinTrace(const std::vector<float>& samples, const TraceSummary& summary, int first, int last, int columns,
               ThinnedTrace& out);

}  // namespace dyma
