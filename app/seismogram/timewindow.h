// The rules of the seismogram window's view, as plain values: which stretch
// of the record is shown (moves, the first 5 or 10 seconds, zooms), the
// vertical scale factor and the time selection made with the right mouse
// button. The window applies the result to its graph.
#pragma once


namespace dyma {

// Times in seconds from the start of the record.
struct TimeWindow {
    double RecordLength = 0;
    double WindowStart = 0;
    double VisibleWidth = 0;

    double End() const { return WindowStart + VisibleWidth; }
};

// The window moves are modes 4 fast forward, 5 fast backward, 6 slow
// forward, 7 slow backward; 8 and 9 show the first 5 and 10 seconds.
enum MoveMode : int {
    kFastForward = 4,
    kFastBackward = 5,
    kSlowForward = 6,
    kSlowBackward = 7,
    kFirst5Seconds = 8,
    kFirst10Seconds = 9,
};

struct MoveSteps {
    bool relative = true;   // RelativeDisplacement: a share of the shown span
    double stepSeconds = 0.5;  // WindowStep / 1000 otherwise
};

// `span` is the time the bottom axis shows now. The window never starts
// before the record nor, moving forward, runs past its end.
void MoveTimeWindow(TimeWindow& window, MoveMode mode, const MoveSteps& steps, double span);

// The selection made with the right mouse button; 0 means an unset end.
struct TimeSelection {
    double Start = 0, End = 0;
    int Clicks = 0;
    bool Ready = false;

    // First click sets the start, the second the end, the third starts a new
    // selection.
    void RightClick(double t);
    void Clear() { *this = TimeSelection{}; }
};

// Zooming in shows the ready selection (kept inside the record), or else
// the middle 80 % of the window; zooming out widens the window by 20 %.
// Both keep the window inside the record.
void ZoomIn(TimeWindow& window, const TimeSelection& selection);
void ZoomOut(TimeWindow& window);

inline constexpr double kMinVerticalScale = 0.001;
inline constexpr double kMaxVerticalScale = 20.0;
// The factor applied to the channel's extremes: multiplied by (1 + delta),
// reset to 1 by a delta of 0, kept within 0.001 ... 20.
double ScaleVertical(double scale, double delta);

// The samples of the window at `rate` samples per second: first (inclusive)
// and last (exclusive), each the nearest sample to its time.
struct SampleRange {
    int first = 0, last = 0;
};
SampleRange VisibleSamples(const TimeWindow& window, double rate);

}  // namespace dyma
