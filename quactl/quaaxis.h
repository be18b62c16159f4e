// One axis of a graph: range, scale mode, fonts, tick and label settings.
// The axis also works out where its ticks go and what their labels read;
// the graph draws them into the axis strip.
#pragma once

#include "quactl/quatypes.h"

#include <QString>

#include <functional>
#include <vector>

namespace quactl {

struct QUACTL_EXPORT TQuaAxisTick {
    enum class Place { AtMin, Centred, AtMax };
    double Offset = 0;       // pixels from the axis's minimum end
    bool Labelled = false;
    QString Label;
    bool RaisesEvent = false;  // linear axes hand the label to the graph's label event
    double EventValue = 0;
    Place Anchor = Place::Centred;
};

class QUACTL_EXPORT TQuaAxis {
public:
    TQuaAxis();
    TQuaAxis(const TQuaAxis&) = delete;
    TQuaAxis& operator=(const TQuaAxis&) = delete;

    bool LogScale() const { return logScale_; }
    void SetLogScale(bool value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    int Offset() const { return offset_; }
    void SetOffset(int value);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool value);
    TQuaFont& Font() { return font_; }
    const TQuaFont& Font() const { return font_; }
    void SetFont(const TQuaFont& value) { font_.Assign(value); }
    TQuaFont& CaptionFont() { return captionFont_; }
    const TQuaFont& CaptionFont() const { return captionFont_; }
    void SetCaptionFont(const TQuaFont& value) { captionFont_.Assign(value); }
    int MajorTicksLength() const { return majorTicksLength_; }
    void SetMajorTicksLength(int value);
    int MinorTicksLength() const { return minorTicksLength_; }
    void SetMinorTicksLength(int value);
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double value);
    double MinValue() const { return minValue_; }
    void SetMinValue(double value);
    bool LockAxis() const { return lockAxis_; }
    void SetLockAxis(bool value) { lockAxis_ = value; }
    const QString& FormatString() const { return formatString_; }
    void SetFormatString(const QString& value);
    int CaptionOffset() const { return captionOffset_; }
    void SetCaptionOffset(int value);
    bool Auto() const { return auto_; }
    void SetAuto(bool value);
    bool Reverse() const { return reverse_; }
    void SetReverse(bool value);
    double ScaleMultiplier() const { return scaleMultiplier_; }
    void SetScaleMultiplier(double value) { scaleMultiplier_ = value; }
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    double StartTime() const { return startTime_; }
    void SetStartTime(double value);
    bool DateAxis() const { return dateAxis_; }
    void SetDateAxis(bool value);
    // The decimal separator of the tick labels; the system's by default.
    char DecimalSeparator() const { return decimalSeparator_; }
    void SetDecimalSeparator(char value);

    double Range() const { return range_; }

    // Sets both ends when min < max, also while Auto is set; fires no event
    // (the graph calls it while it paints).
    void SetAxis(double min, double max);
    void Change();
    std::function<void()> OnChange;

    // FormatString up to its first ';': the text the label space is sized by.
    QString FormatSample() const;
    // Ticks along an axis of the given length in pixels: five on a linear
    // axis (none when it has no span), nine per decade on a logarithmic one.
    std::vector<TQuaAxisTick> Ticks(double length) const;
    // A linear tick label: value x ScaleMultiplier as a number, or as a clock
    // time after StartTime on a date axis. eventValue receives the value the
    // label event gets.
    QString LinearLabel(double value, double& eventValue) const;

private:
    bool logScale_ = false;
    bool visible_ = true;
    int offset_ = 2;
    QString caption_;
    bool showCaption_ = true;
    TQuaFont font_;
    TQuaFont captionFont_;
    int majorTicksLength_ = 4;
    int minorTicksLength_ = 2;
    double maxValue_ = 1.0;
    double minValue_ = 0.0;
    bool lockAxis_ = true;
    QString formatString_ = QStringLiteral("##0.000");
    int captionOffset_ = 3;
    bool auto_ = true;
    bool reverse_ = false;
    double scaleMultiplier_ = 1.0;
    TColor color_ = clBlack;
    double startTime_ = 0;
    bool dateAxis_ = false;
    char decimalSeparator_ = '.';
    double range_ = 0;
};

// log10 of 1 ... 9 to nine decimals: the tick rows inside one decade.
inline constexpr double LogDecadeFractions[9] = {0,           0.301029996, 0.477121255, 0.602059991, 0.698970004,
                                                 0.77815125,  0.84509804,  0.903089987, 0.954242509};

}  // namespace quactl
