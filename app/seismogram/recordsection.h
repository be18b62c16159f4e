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

}  // namespace dyma
