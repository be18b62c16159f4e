#include "quactl/quaaxis.h"

#include "quactl/quacanvas.h"
#include "quactl/quagraphseries.h"

#include "common/daycount.h"
#include "common/numberformat.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace quactl {

namespace {

constexpr double kSecond = 0.000011574074074074073;  // one second as a share of a day
// A logarithmic axis set by hand to an absurd span still draws in bounded time.
constexpr int kMaxDecades = 1000;

char SystemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode()) : '.';
}

QString TwoDigits(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }

QString ClockTime(double dayCount) {
    const dyma::CivilDateTime t = dyma::DecodeDateTime(dayCount);
    return TwoDigits(t.hour) + QLatin1Char(':') + TwoDigits(t.minute) + QLatin1Char(':') + TwoDigits(t.second) +
           QLatin1Char('.') + QString::number(t.millisecond).rightJustified(3, QLatin1Char('0'));
}

}  // namespace

TQuaAxis::TQuaAxis() : decimalSeparator_(SystemDecimalSeparator()) {
    font_.OnChange = [this] { Change(); };
    captionFont_.OnChange = [this] { Change(); };
}

void TQuaAxis::Change() {
    if (OnChange) OnChange();
}

void TQuaAxis::SetLogScale(bool value) { logScale_ = value; Change(); }
void TQuaAxis::SetVisible(bool value) { visible_ = value; Change(); }
void TQuaAxis::SetOffset(int value) { offset_ = value < 0 ? 0 : value; Change(); }
void TQuaAxis::SetCaption(const QString& value) { caption_ = value; Change(); }
void TQuaAxis::SetShowCaption(bool value) { showCaption_ = value; Change(); }
void TQuaAxis::SetMajorTicksLength(int value) { majorTicksLength_ = value < 0 ? 0 : value; Change(); }
void TQuaAxis::SetMinorTicksLength(int value) { minorTicksLength_ = value < 0 ? 0 : value; Change(); }
void TQuaAxis::SetFormatString(const QString& value) { formatString_ = value; Change(); }
void TQuaAxis::SetCaptionOffset(int value) { captionOffset_ = value; Change(); }
void TQuaAxis::SetAuto(bool value) { auto_ = value; Change(); }
void TQuaAxis::SetReverse(bool value) { reverse_ = value; Change(); }
void TQuaAxis::SetColor(TColor value) { color_ = value; Change(); }
void TQuaAxis::SetStartTime(double value) { startTime_ = value; Change(); }
void TQuaAxis::SetDateAxis(bool value) { dateAxis_ = value; Change(); }
void TQuaAxis::SetDecimalSeparator(char value) { decimalSeparator_ = value; Change(); }
void TQuaAxis::SetRoundTicks(bool value) { roundTicks_ = value; Change(); }
void TQuaAxis::SetGrid(bool value) { grid_ = value; Change(); }
void TQuaAxis::SetGridColor(TColor value) { gridColor_ = value; Change(); }

void TQuaAxis::SetMaxValue(double value) {
    if (!lockAxis_) {
        maxValue_ = value;
        range_ = maxValue_ - minValue_;
        return;
    }
    if (auto_) return;
    if (value > minValue_) maxValue_ = value;
    range_ = maxValue_ - minValue_;
    Change();
}

void TQuaAxis::SetMinValue(double value) {
    if (!lockAxis_) {
        minValue_ = value;
        range_ = maxValue_ - minValue_;
        return;
    }
    if (auto_) return;
    if (value < maxValue_) minValue_ = value;
    range_ = maxValue_ - minValue_;
    Change();
}

void TQuaAxis::SetAxis(double min, double max) {
    if (!(min < max)) return;
    lockAxis_ = false;
    SetMaxValue(max);
    SetMinValue(min);
    lockAxis_ = true;
}

QString TQuaAxis::FormatSample() const {
    const qsizetype cut = formatString_.indexOf(QLatin1Char(';'));
    return cut < 0 ? formatString_ : formatString_.left(cut);
}

QString TQuaAxis::LinearLabel(double value, double& eventValue) const {
    const double shown = value * scaleMultiplier_;
    if (dateAxis_) {
        eventValue = startTime_ + shown * kSecond;
        return ClockTime(eventValue);
    }
    eventValue = shown;
    return QString::fromStdString(dyma::FormatFloat(formatString_.toStdString(), shown, decimalSeparator_));
}

std::vector<TQuaAxisTick> TQuaAxis::Ticks(double length, TQuaAxisOrientation orientation,
                                          const TQuaLabelRewrite& rewrite) const {
    if (logScale_) return DecadeTicks(length);
    if (roundTicks_) return RoundTickList(length, orientation, rewrite);
    return QuarterTicks(length, rewrite);
}

std::vector<TQuaAxisTick> TQuaAxis::QuarterTicks(double length, const TQuaLabelRewrite& rewrite) const {
    std::vector<TQuaAxisTick> ticks;
    if (maxValue_ == minValue_) return ticks;
    const bool labelled = !formatString_.isEmpty();
    const double step = (maxValue_ - minValue_) * 0.25;
    // Counted, not accumulated: a sum of quarters may overshoot the
    // maximum by a rounding error and lose the last tick.
    for (int k = 0; k <= 4; ++k) {
        TQuaAxisTick t;
        t.Offset = length * 0.25 * k;
        t.Anchor = k == 0 ? TQuaAxisTick::Place::AtMin : k == 4 ? TQuaAxisTick::Place::AtMax : TQuaAxisTick::Place::Centred;
        t.Value = reverse_ ? (k == 4 ? minValue_ : maxValue_ - step * k) : (k == 4 ? maxValue_ : minValue_ + step * k);
        if (labelled) {
            t.Labelled = true;
            t.RaisesEvent = true;
            t.Label = LinearLabel(t.Value, t.EventValue);
            if (rewrite) rewrite(t.EventValue, t.Label);
        }
        ticks.push_back(t);
    }
    return ticks;
}

std::vector<TQuaAxisTick> TQuaAxis::DecadeTicks(double length) const {
    std::vector<TQuaAxisTick> ticks;
    const bool labelled = !formatString_.isEmpty();
    const double span = maxValue_ - minValue_;
    const double perDecade = span > 0 ? length / span : 1.0;
    int decades = 0;
    for (double e = minValue_; e <= maxValue_ && decades < kMaxDecades; e += 1, ++decades) {
        for (int k = 0; k < 9; ++k) {
            TQuaAxisTick t;
            t.Value = e + LogDecadeFractions[k];
            t.Major = k == 0;
            t.Offset = (e - minValue_ + LogDecadeFractions[k]) * perDecade;
            if (k == 0 && labelled) {
                t.Labelled = true;
                t.Anchor = e == minValue_ ? TQuaAxisTick::Place::AtMin
                           : e == maxValue_ ? TQuaAxisTick::Place::AtMax
                                            : TQuaAxisTick::Place::Centred;
                const double value = std::pow(10.0, std::trunc(e));
                t.Label = QString::fromStdString(dyma::FormatFloat(formatString_.toStdString(), value, decimalSeparator_));
            }
            ticks.push_back(t);
        }
    }
    return ticks;
}

namespace {

// The steps of round ticks in increasing order: 1, 2, 2.5, 5 x 10^n.
class RoundSteps {
public:
    // The first step not below `least`.
    explicit RoundSteps(double least) {
        decade_ = static_cast<int>(std::floor(std::log10(least)));
        while (Value() < least * (1 - 1e-12) && decade_ < 400) Next();
    }
    double Value() const {
        constexpr double kMantissas[] = {1, 2, 2.5, 5};
        const double power = std::pow(10.0, std::abs(decade_));
        return decade_ >= 0 ? kMantissas[index_] * power : kMantissas[index_] / power;
    }
    // Decimals a label needs to show every multiple of the step exactly.
    int Decimals() const { return std::clamp(-decade_ + (index_ == 2 ? 1 : 0), 0, 15); }
    void Next() {
        if (++index_ == 4) {
            index_ = 0;
            ++decade_;
        }
    }

private:
    int decade_ = 0;
    int index_ = 0;
};

}  // namespace

// The shown value of a tick is value x ScaleMultiplier (plus StartTime on a
// date axis, counted in seconds): round ticks are round in what the labels
// show. From the finest step up, the first whose labels all fit wins.
std::vector<TQuaAxisTick> TQuaAxis::RoundTickList(double length, TQuaAxisOrientation orientation,
                                                  const TQuaLabelRewrite& rewrite) const {
    std::vector<TQuaAxisTick> ticks;
    const double lo = minValue_, hi = maxValue_, multiplier = scaleMultiplier_;
    if (!(hi > lo) || !(length > 0) || !std::isfinite(lo) || !std::isfinite(hi) || !(std::abs(multiplier) > 0) ||
        !std::isfinite(multiplier))
        return ticks;
    const double origin = dateAxis_ ? startTime_ * 86400 : 0;  // seconds
    const double shownA = origin + lo * multiplier, shownB = origin + hi * multiplier;
    const double shownLo = std::min(shownA, shownB), shownHi = std::max(shownA, shownB);
    if (!std::isfinite(shownLo) || !std::isfinite(shownHi) || !(shownHi > shownLo)) return ticks;

    const QFontMetrics fm = QuaFontMetrics(font_.Font());
    const bool vertical = orientation == TQuaAxisOrientation::Vertical;
    // Room between two labels, so that each reads on its own: three
    // digits' width side by side, a line one above the other.
    const int gap = vertical ? fm.height() : fm.horizontalAdvance(QStringLiteral("000"));
    const int shortest = vertical ? fm.height() : fm.horizontalAdvance(QLatin1Char('0'));
    const int strip = static_cast<int>(length);
    const bool labelled = !formatString_.isEmpty();
    const bool exponent = formatString_.contains(QLatin1Char('E'), Qt::CaseInsensitive);

    for (RoundSteps steps((shownHi - shownLo) * (shortest + gap) / length); ; steps.Next()) {
        const double step = steps.Value();
        if (!(step > 0) || !std::isfinite(step) || step > 4 * (shownHi - shownLo)) break;
        // Beyond 2^52 steps from zero the multiples are no longer distinct.
        if (std::max(std::abs(shownLo), std::abs(shownHi)) / step > 4.5e15) continue;
        const double first = std::ceil(shownLo / step - 1e-9), last = std::floor(shownHi / step + 1e-9);
        if (last - first > length) continue;
        const std::string pattern =
            exponent ? formatString_.toStdString()
                     : (steps.Decimals() > 0 ? "0." + std::string(static_cast<std::size_t>(steps.Decimals()), '0') : "0");
        ticks.clear();
        for (double k = first; k <= last; k += 1) {
            const double shown = k * step + 0.0;  // + 0.0: no minus zero
            TQuaAxisTick t;
            t.Value = std::clamp((shown - origin) / multiplier, lo, hi);
            const double fraction = (t.Value - lo) / (hi - lo);
            t.Offset = length * (reverse_ ? 1 - fraction : fraction);
            t.Anchor = TQuaAxisTick::Place::Inside;
            if (labelled) {
                t.Labelled = true;
                t.RaisesEvent = true;
                if (dateAxis_) {
                    t.EventValue = shown / 86400;
                    t.Label = ClockTime(t.EventValue);
                } else {
                    t.EventValue = shown;
                    t.Label = QString::fromStdString(dyma::FormatFloat(pattern, shown, decimalSeparator_));
                }
                if (rewrite) rewrite(t.EventValue, t.Label);
            }
            ticks.push_back(t);
        }
        if (ticks.empty()) continue;
        if (!labelled) {
            if (static_cast<double>(ticks.size()) * (shortest + gap) <= length) return ticks;
            continue;
        }
        // The label boxes along the strip, exactly where they are drawn.
        std::vector<std::pair<int, int>> boxes;
        bool fits = true;
        for (const TQuaAxisTick& t : ticks) {
            const int extent = vertical ? fm.height() : fm.horizontalAdvance(t.Label);
            if (extent > strip) {
                fits = false;
                break;
            }
            const int start = LabelStart(t, orientation, strip, extent);
            boxes.emplace_back(start, start + extent);
        }
        std::sort(boxes.begin(), boxes.end());
        for (std::size_t i = 1; fits && i < boxes.size(); ++i) fits = boxes[i].first >= boxes[i - 1].second + gap;
        if (fits) return ticks;
    }
    ticks.clear();
    return ticks;
}

int TQuaAxis::LabelWidth(const std::vector<TQuaAxisTick>& ticks) const {
    const QFontMetrics fm = QuaFontMetrics(font_.Font());
    int widest = 0;
    for (const TQuaAxisTick& t : ticks)
        if (t.Labelled) widest = std::max(widest, fm.horizontalAdvance(t.Label));
    return widest;
}

int TQuaAxis::TickPixel(const TQuaAxisTick& tick, TQuaAxisOrientation orientation, int length) {
    return orientation == TQuaAxisOrientation::Vertical ? TruncPixel(length - tick.Offset) : TruncPixel(tick.Offset);
}

int TQuaAxis::LabelStart(const TQuaAxisTick& tick, TQuaAxisOrientation orientation, int length, int extent) {
    const int p = TickPixel(tick, orientation, length);
    // The direction in which the values rise along the strip's pixels.
    const bool rising = orientation == TQuaAxisOrientation::Horizontal;
    switch (tick.Anchor) {
    case TQuaAxisTick::Place::AtMin: return rising ? p : p - extent;
    case TQuaAxisTick::Place::AtMax: return rising ? p - extent : p;
    case TQuaAxisTick::Place::Centred: return p - extent / 2;
    case TQuaAxisTick::Place::Inside: return std::clamp(p - extent / 2, 0, std::max(length - extent, 0));
    }
    return p;
}

void TQuaAxis::DrawStrip(TQuaBitmap& strip, TQuaAxisOrientation orientation, TColor background,
                         const std::vector<TQuaAxisTick>& ticks) const {
    const bool vertical = orientation == TQuaAxisOrientation::Vertical;
    FillBitmap(strip, background);
    TQuaCanvas& c = strip.Canvas();
    const int length = vertical ? strip.Height() : strip.Width();
    // The axis line lies Offset + MajorTicksLength pixels from the plot's
    // side of the strip, the ticks reach from it towards the plot.
    const int line = vertical ? strip.Width() - offset_ - majorTicksLength_ - 1 : offset_ + majorTicksLength_;
    const int tickEnd = vertical ? line + majorTicksLength_ + 1 : line - majorTicksLength_ - 1;
    auto segment = [&](int along1, int across1, int along2, int across2) {
        if (vertical) {
            c.MoveTo(across1, along1);
            c.LineTo(across2, along2);
        } else {
            c.MoveTo(along1, across1);
            c.LineTo(along2, across2);
        }
    };
    c.Pen.Color = color_;
    segment(0, line, length, line);
    c.Brush.Style = bsClear;
    if (vertical && showCaption_ && !caption_.isEmpty()) {
        // Reading bottom to top at the strip's outer edge, centred.
        c.Font.Assign(captionFont_);
        c.TextOutUp(0, length / 2 - c.TextWidth(caption_) / 2, caption_);
    } else if (!vertical && showCaption_) {
        // Below the labels.
        c.Font.Assign(captionFont_);
        const int y = QuaFontMetrics(font_.Font()).height() + line + captionOffset_ + 2;
        c.TextOut((length - c.TextWidth(caption_)) / 2, y, caption_);
    }
    if (!logScale_ && maxValue_ == minValue_) {
        c.Brush.Style = bsSolid;
        return;
    }
    c.Font.Assign(font_);
    c.Brush.Color = color_;
    // Labels end four pixels short of a vertical axis line and start two
    // pixels below a horizontal one.
    const int labelAcross = vertical ? line - 4 : line + 2;
    for (const TQuaAxisTick& t : ticks) {
        const int p = TickPixel(t, orientation, length);
        segment(p, line, p, tickEnd);
        if (!t.Labelled) continue;
        const int width = c.TextWidth(t.Label);
        const int start = LabelStart(t, orientation, length, vertical ? c.TextHeight(t.Label) : width);
        if (vertical)
            c.TextOut(labelAcross - width, start, t.Label);
        else
            c.TextOut(start, labelAcross, t.Label);
    }
    // Closing ticks at both ends.
    segment(0, line, 0, tickEnd);
    segment(length - 1, line, length - 1, tickEnd);
    c.Brush.Style = bsSolid;
}

void TQuaAxis::DrawGrid(TQuaBitmap& plot, TQuaAxisOrientation orientation,
                        const std::vector<TQuaAxisTick>& ticks) const {
    TQuaCanvas& c = plot.Canvas();
    // The series find the canvas as the fill left it.
    const TQuaPen keep = c.Pen;
    const QPoint position = c.PenPos;
    c.Pen.Mode = pmCopy;
    c.Pen.Style = psSolid;
    c.Pen.Width = 1;
    c.Pen.Color = gridColor_;
    const bool vertical = orientation == TQuaAxisOrientation::Vertical;
    const int length = vertical ? plot.Height() : plot.Width();
    for (const TQuaAxisTick& t : ticks) {
        if (!t.Major) continue;
        // A tick at the very end of the axis lies one pixel past the plot:
        // its line is the plot's last row or column.
        const int p = std::clamp(TickPixel(t, orientation, length), 0, std::max(length - 1, 0));
        if (vertical) {
            c.MoveTo(0, p);
            c.LineTo(plot.Width(), p);
        } else {
            c.MoveTo(p, 0);
            c.LineTo(p, plot.Height());
        }
    }
    c.Pen = keep;
    c.PenPos = position;
}

}  // namespace quactl
