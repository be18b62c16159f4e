#include "timewindow.h"

#include <algorithm>
#include <cmath>

namespace dyma {

namespace {

double StepOf(MoveMode mode, const MoveSteps& steps, double span) {
    const bool fast = mode == kFastForward || mode == kFastBackward;
    if (steps.relative) return span * (fast ? 0.5 : 0.1);
    return fast ? steps.stepSeconds : steps.stepSeconds * 0.25;
}

void KeepWidthInRecord(TimeWindow& w) {
    if (w.WindowStart + w.VisibleWidth > w.RecordLength) w.VisibleWidth = w.RecordLength - w.WindowStart;
}

}  // namespace

void MoveTimeWindow(TimeWindow& w, MoveMode mode, const MoveSteps& steps, double span) {
    switch (mode) {
    case kFastForward:
    case kSlowForward: {
        double d = StepOf(mode, steps, span);
        if (w.WindowStart + w.VisibleWidth + d >= w.RecordLength) d = w.RecordLength - w.WindowStart - w.VisibleWidth;
        // A window wider than the record would otherwise be pushed back
        // before its start.
        w.WindowStart = std::max(0.0, w.WindowStart + d);
        break;
    }
    case kFastBackward:
    case kSlowBackward: {
        const double d = StepOf(mode, steps, span);
        w.WindowStart = w.WindowStart - d > 0 ? w.WindowStart - d : 0.0;
        break;
    }
    case kFirst5Seconds:
    case kFirst10Seconds: {
        const double seconds = mode == kFirst5Seconds ? 5.0 : 10.0;
        w.WindowStart = 0;
        w.VisibleWidth = w.RecordLength < seconds ? w.RecordLength : seconds;
        break;
    }
    default: break;
    }
}

void TimeSelection::RightClick(double t) {
    ++Clicks;
    if (Clicks == 1) {
        Start = t;
    } else if (Clicks == 2) {
        End = t;
    } else {
        Start = t;
        Clicks = 1;
    }
    Ready = Start != 0 && End != 0;
}

void ZoomIn(TimeWindow& w, const TimeSelection& selection) {
    // A selection shows only what lies inside the record; one without width
    // there zooms as if there were none.
    const double from = std::clamp(std::min(selection.Start, selection.End), 0.0, w.RecordLength);
    const double to = std::clamp(std::max(selection.Start, selection.End), 0.0, w.RecordLength);
    if (selection.Ready && to > from) {
        w.WindowStart = from;
        w.VisibleWidth = to - from;
        return;
    }
    w.WindowStart += w.VisibleWidth * 0.1;
    w.VisibleWidth -= w.VisibleWidth * 0.2;
    if (w.WindowStart > w.RecordLength - 0.1) w.WindowStart = w.RecordLength - 0.1;
    if (w.WindowStart < 0) w.WindowStart = 0;
    KeepWidthInRecord(w);
}

void ZoomOut(TimeWindow& w) {
    w.WindowStart -= 0.1 * w.VisibleWidth;
    w.VisibleWidth += 0.2 * w.VisibleWidth;
    if (w.WindowStart < 0) w.WindowStart = 0;
    KeepWidthInRecord(w);
}

double ScaleVertical(double scale, double delta) {
    if (delta == 0) scale = 1.0;
    scale += scale * delta;
    return std::clamp(scale, kMinVerticalScale, kMaxVerticalScale);
}

SampleRange VisibleSamples(const TimeWindow& w, double rate) {
    SampleRange r;
    r.first = static_cast<int>(std::trunc(w.WindowStart * rate + 0.5));
    r.last = static_cast<int>(std::trunc(w.End() * rate + 0.5));
    return r;
}

}  // namespace dyma
