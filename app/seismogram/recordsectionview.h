// The record section: every channel of the record at once, one row each,
// in the order of SectionRows, each trace normalised to its own amplitude in
// the section's common time window and thinned to one stretch a pixel
// column. A row shows the channel's pick (polarity and wave letter), a
// suggested onset when there is one, and marks reversed sensors and
// channels that hold no signal or whose pick is switched off. A click on a
// row chooses its channel.
#pragma once

#include "app/document/tremordocument.h"
#include "app/seismogram/recordsection.h"
#include "app/seismogram/timewindow.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dyma::gui {

// What a row shows besides its trace.
struct SectionMarks {
    std::string label;     // "03 ST12 Z"
    double distance = 0;   // from the tremor, in the coordinates' unit
    bool exists = true;    // the channel holds a signal
    bool reversed = false; // the sensor's polarity is reversed
    // The pick: marker time in seconds (none below 0), "+" or "-", the
    // wave letter, and whether it takes part in processing.
    double marker = -1;
    std::string firstArrival, waveType;
    bool active = true;
};

// An onset the picker suggests: time in seconds, +1 up, -1 down, 0 not
// known.
struct SuggestedOnset {
    double time = 0;
    int polarity = 0;
};

class TRecordSection : public QWidget {
public:
    explicit TRecordSection(QWidget* parent = nullptr);

    // The samples of every channel (index = channel) at `rate` per second;
    // the time window becomes the whole record.
    void SetSamples(std::vector<std::vector<float>> samples, double rate);
    // Channels, their marks (one each, in channel order) and the tremor's
    // position, which orders the rows by distance.
    void SetChannels(const std::vector<ChannelFacts>& channels, std::vector<SectionMarks> marks, double x, double y,
                     double z);
    // The picker's suggestions in channel order (none where it has none).
    void SetSuggestions(std::vector<std::optional<SuggestedOnset>> suggestions);
    const std::vector<std::optional<SuggestedOnset>>& Suggestions() const { return suggestions_; }
    void SetTraceColour(const QColor& colour) { traceColour_ = colour; }

    void SetOrder(SectionOrder order);
    SectionOrder Order() const { return order_; }
    // Channel indices in row order.
    const std::vector<int>& Rows() const { return rows_; }

    void SetCurrentChannel(int channel);
    int CurrentChannel() const { return current_; }
    // The channel `steps` rows below the current one (above for negative
    // steps), kept within the rows; -1 without rows.
    int ChannelAfter(int steps) const;

    // The common time window (seconds from the record's start).
    TimeWindow& Window() { return window_; }
    const TimeWindow& Window() const { return window_; }
    void SetTimeWindow(double start, double end);
    // A factor on every normalised trace (1: the largest swing fills half a
    // row); the seismogram window's vertical scale keys change it.
    double Gain() const { return gain_; }
    void SetGain(double gain);

    // Layout in widget pixels: the rectangle of row `row` (row order) and
    // the channel under a point (-1 outside the rows).
    QRect RowRect(int row) const;
    int ChannelAt(const QPoint& point) const;
    // The column of time t in the traces' area.
    int ColumnOf(double t) const;

    // The picture of the section at `size` (logical pixels) for a screen of
    // `ratio` device pixels each.
    QImage Picture(QSize size, double ratio = 1.0) const;

    std::function<void(int channel)> OnChannelClicked;  // a click on a row
    std::function<void(int channel)> OnChannelOpened;  // a double click

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Layout {
        int labels = 0, top = 0, width = 0, height = 0;
        double rowHeight = 0;
    };
    Layout LayoutFor(QSize size) const;
    void Draw(QPainter& p, QSize size) const;
    void DrawTimeAxis(QPainter& p, const Layout& l) const;
    void DrawRow(QPainter& p, const Layout& l, int row) const;

    std::vector<std::vector<float>> samples_;
    std::vector<TraceSummary> summaries_;
    double rate_ = 1;
    std::vector<ChannelFacts> channels_;
    std::vector<SectionMarks> marks_;
    std::vector<std::optional<SuggestedOnset>> suggestions_;
    double x_ = 0, y_ = 0, z_ = 0;
    SectionOrder order_ = SectionOrder::Distance;
    std::vector<int> rows_;
    int current_ = -1;
    TimeWindow window_;
    double gain_ = 1.0;
    QColor traceColour_ = QColor(0, 0, 0x80);
    // Reused between paints: one thinned trace a row.
    mutable ThinnedTrace thinned_;
};

}  // namespace dyma::gui
