#include "recordsectionview.h"

#include "quactl/quaaxis.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace dyma::gui {

namespace {

const QColor kCurrentRow(0xFF, 0xF3, 0xC0);
const QColor kRowLine(0xE0, 0xE0, 0xE0);
const QColor kSilentTrace(0xB4, 0xB4, 0xB4);
const QColor kPickColour(0xFF, 0x00, 0x00);
const QColor kPickOffColour(0xA0, 0xA0, 0xA0);
const QColor kSuggestionColour(0x00, 0x90, 0x90);
const QColor kReversedColour(0xC0, 0x00, 0x00);
const QColor kGridColour(0xEC, 0xEC, 0xEC);

constexpr int kLabelAir = 6;
constexpr int kAxisStrip = 18;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QFont SectionFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(11);
    return font;
}

}  // namespace

TRecordSection::TRecordSection(QWidget* parent) : QWidget(parent) {
    setObjectName("RecordSection");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 120);
}

void TRecordSection::SetSamples(std::vector<std::vector<float>> samples, double rate) {
    samples_ = std::move(samples);
    summaries_.clear();
    for (const auto& s : samples_) summaries_.push_back(SummarizeTrace(s));
    rate_ = rate > 0 ? rate : 1;
    size_t longest = 0;
    for (const auto& s : samples_) longest = std::max(longest, s.size());
    window_.RecordLength = double(longest) / rate_;
    window_.WindowStart = 0;
    window_.VisibleWidth = window_.RecordLength;
    update();
}

void TRecordSection::SetChannels(const std::vector<ChannelFacts>& channels, std::vector<SectionMarks> marks, double x,
                                 double y, double z) {
    channels_ = channels;
    marks_ = std::move(marks);
    marks_.resize(channels_.size());
    x_ = x, y_ = y, z_ = z;
    rows_ = SectionRows(channels_, x_, y_, z_, order_);
    update();
}

void TRecordSection::SetSuggestions(std::vector<std::optional<SuggestedOnset>> suggestions) {
    suggestions_ = std::move(suggestions);
    update();
}

void TRecordSection::SetOrder(SectionOrder order) {
    order_ = order;
    rows_ = SectionRows(channels_, x_, y_, z_, order_);
    update();
}

void TRecordSection::SetCurrentChannel(int channel) {
    current_ = channel;
    update();
}

int TRecordSection::ChannelAfter(int steps) const {
    if (rows_.empty()) return -1;
    const auto at = std::find(rows_.begin(), rows_.end(), current_);
    const int row = at == rows_.end() ? 0 : int(at - rows_.begin()) + steps;
    return rows_[size_t(std::clamp(row, 0, int(rows_.size()) - 1))];
}

void TRecordSection::SetTimeWindow(double start, double end) {
    if (start == end) return;
    if (start > end) std::swap(start, end);
    window_.WindowStart = start;
    window_.VisibleWidth = end - start;
    update();
}

void TRecordSection::SetGain(double gain) {
    gain_ = gain;
    update();
}

TRecordSection::Layout TRecordSection::LayoutFor(QSize size) const {
    Layout l;
    const QFontMetrics metrics(SectionFont());
    int widest = metrics.horizontalAdvance(QStringLiteral("00 0000 Z"));
    for (const SectionMarks& m : marks_) widest = std::max(widest, metrics.horizontalAdvance(Q(m.label)));
    l.labels = std::min(widest + 2 * kLabelAir, size.width() / 3);
    l.top = kAxisStrip;
    l.width = std::max(1, size.width() - l.labels);
    l.height = std::max(1, size.height() - l.top);
    l.rowHeight = rows_.empty() ? 0 : double(l.height) / double(rows_.size());
    return l;
}

QRect TRecordSection::RowRect(int row) const {
    const Layout l = LayoutFor(size());
    const int top = l.top + int(std::lround(row * l.rowHeight));
    const int bottom = l.top + int(std::lround((row + 1) * l.rowHeight));
    return QRect(0, top, width(), bottom - top);
}

int TRecordSection::ChannelAt(const QPoint& point) const {
    const Layout l = LayoutFor(size());
    if (rows_.empty() || point.y() < l.top || l.rowHeight <= 0) return -1;
    const int row = int((point.y() - l.top) / l.rowHeight);
    if (row < 0 || row >= int(rows_.size())) return -1;
    return rows_[size_t(row)];
}

int TRecordSection::ColumnOf(double t) const {
    const Layout l = LayoutFor(size());
    if (!(window_.VisibleWidth > 0)) return l.labels;
    return l.labels + int(std::floor((t - window_.WindowStart) / window_.VisibleWidth * l.width));
}

QImage TRecordSection::Picture(QSize size, double ratio) const {
    QImage image(QSize(int(std::lround(size.width() * ratio)), int(std::lround(size.height() * ratio))),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter p(&image);
    Draw(p, size);
    return image;
}

void TRecordSection::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Draw(p, size());
}

void TRecordSection::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const int channel = ChannelAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || channel < 0) return;
    SetCurrentChannel(channel);
    if (OnChannelClicked) OnChannelClicked(channel);
}

void TRecordSection::mouseDoubleClickEvent(QMouseEvent* event) {
    const int channel = ChannelAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && channel >= 0 && OnChannelOpened) OnChannelOpened(channel);
}

void TRecordSection::Draw(QPainter& p, QSize size) const {
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(SectionFont());
    const Layout l = LayoutFor(size);
    DrawTimeAxis(p, l);
    for (int row = 0; row < int(rows_.size()); ++row) DrawRow(p, l, row);
    p.setPen(Qt::gray);
    p.drawLine(l.labels - 1, l.top, l.labels - 1, l.top + l.height);
}

void TRecordSection::DrawTimeAxis(QPainter& p, const Layout& l) const {
    if (!(window_.VisibleWidth > 0)) return;
    quactl::TQuaAxis axis;
    axis.SetRoundTicks(true);
    axis.SetFormatString(QStringLiteral("##0.000"));
    axis.SetAxis(window_.WindowStart, window_.End());
    p.setPen(Qt::black);
    const QFontMetrics metrics = p.fontMetrics();
    for (const quactl::TQuaAxisTick& tick : axis.Ticks(l.width)) {
        const int x = l.labels + int(std::lround(tick.Offset));
        if (!tick.Major) continue;
        p.setPen(kGridColour);
        p.drawLine(x, l.top, x, l.top + l.height);
        p.setPen(Qt::black);
        p.drawLine(x, l.top - 4, x, l.top);
        if (!tick.Labelled) continue;
        const int w = metrics.horizontalAdvance(tick.Label);
        const int left = std::clamp(x - w / 2, l.labels, l.labels + l.width - w);
        p.drawText(left, l.top - 5 - metrics.descent(), tick.Label);
    }
}

void TRecordSection::DrawRow(QPainter& p, const Layout& l, int row) const {
    const int channel = rows_[size_t(row)];
    const SectionMarks& m = marks_[size_t(channel)];
    const int top = l.top + int(std::lround(row * l.rowHeight));
    const int bottom = l.top + int(std::lround((row + 1) * l.rowHeight));
    const int band = std::max(1, bottom - top);
    if (channel == current_) p.fillRect(QRect(0, top, l.labels + l.width, band), kCurrentRow);
    p.setPen(kRowLine);
    p.drawLine(0, bottom - 1, l.labels + l.width, bottom - 1);

    // The label: the channel, and what sets it apart.
    const QFontMetrics metrics = p.fontMetrics();
    const int baseline = top + (band + metrics.ascent() - metrics.descent()) / 2;
    p.setPen(m.exists ? Qt::black : kSilentTrace);
    p.drawText(kLabelAir, baseline, Q(m.label));
    if (m.reversed) {
        // An arrow pair after the label: this sensor's polarity is reversed.
        p.setPen(kReversedColour);
        p.drawText(kLabelAir + metrics.horizontalAdvance(Q(m.label) + QStringLiteral(" ")), baseline,
                   QStringLiteral("⇅"));
    }

    // The trace about the middle of its row; the largest swing reaches half
    // a row (times the gain), clipped to the row.
    const double middle = top + band / 2.0;
    const double half = band / 2.0;
    const int first = int(std::floor(window_.WindowStart * rate_));
    const int last = int(std::ceil(window_.End() * rate_));
    if (size_t(channel) < samples_.size()) {
        ThinTrace(samples_[size_t(channel)], summaries_[size_t(channel)], first, last, l.width, thinned_);
        // The columns the record covers (a window past the record's end
        // leaves the rest empty).
        const int available = int(samples_[size_t(channel)].size());
        const double perColumn = double(last - first) / l.width;
        const int shown = perColumn > 0 ? std::min(l.width, int(std::ceil((available - first) / perColumn))) : 0;
        if (!thinned_.columns.empty() && shown > 0) {
            const double scale = thinned_.amplitude > 0 ? half * gain_ / thinned_.amplitude : 0;
            auto y = [&](double v) {
                const double at = middle - (v - thinned_.level) * scale;
                return int(std::clamp(at, double(top), double(bottom - 1)));
            };
            QVector<QLine> lines;
            lines.reserve(shown);
            int previousLo = y(thinned_.columns[0].lo), previousHi = y(thinned_.columns[0].hi);
            for (int c = 0; c < shown; ++c) {
                int lo = y(thinned_.columns[size_t(c)].lo), hi = y(thinned_.columns[size_t(c)].hi);
                // Joined to the column before, so that a steep swing stays
                // one line: a column wholly above the last reaches down to
                // its top, one wholly below reaches up to its bottom
                // (pixel rows grow downwards).
                lo = std::max(lo, previousHi);
                hi = std::min(hi, previousLo);
                previousLo = y(thinned_.columns[size_t(c)].lo);
                previousHi = y(thinned_.columns[size_t(c)].hi);
                lines.append(QLine(l.labels + c, lo, l.labels + c, hi));
            }
            p.setPen(m.exists ? traceColour_ : kSilentTrace);
            p.drawLines(lines);
        }
    }

    auto column = [&](double t) {
        return l.labels + int(std::floor((t - window_.WindowStart) / window_.VisibleWidth * l.width));
    };
    auto inside = [&](double t) { return t >= window_.WindowStart && t <= window_.End(); };

    // The suggested onset: a dotted line with its polarity.
    if (size_t(channel) < suggestions_.size() && suggestions_[size_t(channel)] && inside(suggestions_[size_t(channel)]->time)) {
        const SuggestedOnset& s = *suggestions_[size_t(channel)];
        const int x = column(s.time);
        p.setPen(QPen(kSuggestionColour, 1, Qt::DotLine));
        p.drawLine(x, top + 1, x, bottom - 2);
        p.setPen(kSuggestionColour);
        p.drawText(x + 3, bottom - 3, s.polarity > 0 ? QStringLiteral("?+") : s.polarity < 0 ? QStringLiteral("?-")
                                                                                         : QStringLiteral("?"));
    }

    // The pick: a line with its polarity and wave letter, grey when it is
    // switched off for processing.
    if (m.marker > 0 && inside(m.marker)) {
        const int x = column(m.marker);
        const QColor colour = m.active ? kPickColour : kPickOffColour;
        p.setPen(QPen(colour, 2));
        p.drawLine(x, top + 1, x, bottom - 2);
        p.setPen(colour);
        p.drawText(x + 3, top + metrics.ascent(), Q(m.firstArrival) + QStringLiteral(" ") + Q(m.waveType));
    }
}

}  // namespace dyma::gui
