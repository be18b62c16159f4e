#include "quactl/quaaxis.h"

#include "common/daycount.h"
#include "common/numberformat.h"

#include <QLocale>

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

std::vector<TQuaAxisTick> TQuaAxis::Ticks(double length) const {
    std::vector<TQuaAxisTick> ticks;
    const bool labelled = !formatString_.isEmpty();
    if (!logScale_) {
        if (maxValue_ == minValue_) return ticks;
        const double step = (maxValue_ - minValue_) * 0.25;
        // Counted, not accumulated: a sum of quarters may overshoot the
        // maximum by a rounding error and lose the last tick.
        for (int k = 0; k <= 4; ++k) {
            TQuaAxisTick t;
            t.Offset = length * 0.25 * k;
            t.Anchor = k == 0 ? TQuaAxisTick::Place::AtMin : k == 4 ? TQuaAxisTick::Place::AtMax : TQuaAxisTick::Place::Centred;
            if (labelled) {
                const double value = reverse_ ? (k == 4 ? minValue_ : maxValue_ - step * k)
                                              : (k == 4 ? maxValue_ : minValue_ + step * k);
                t.Labelled = true;
                t.RaisesEvent = true;
                t.Label = LinearLabel(value, t.EventValue);
            }
            ticks.push_back(t);
        }
        return ticks;
    }
    const double span = maxValue_ - minValue_;
    const double perDecade = span > 0 ? length / span : 1.0;
    int decades = 0;
    for (double e = minValue_; e <= maxValue_ && decades < kMaxDecades; e += 1, ++decades) {
        for (int k = 0; k < 9; ++k) {
            TQuaAxisTick t;
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

}  // namespace quactl
