// One axis of a graph: range, scale mode, fonts, tick and label settings.
// The axis works out where its ticks go and what their labels read, and
// draws its strip (line, ticks, labels, caption) in either orientation; the
// graph lays the strips out beside its plot area.
#pragma once

#include "quactl/quatypes.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace quactl {

class TQuaBitmap;

// Vertical: a left (Y) axis, its strip left of the plot, the values rising
// upwards. Horizontal: a bottom (X) axis, its strip below the plot.
enum class TQuaAxisOrientation : std::uint8_t { Vertical, Horizontal };

// Rewrites a tick label before it is measured and drawn: the graph's label
// events. Gets the value the event is documented to receive.
using TQuaLabelRewrite = std::function<void(double value, QString& label)>;

struct QUACTL_EXPORT TQuaAxisTick {
    // Where the label sits against its tick, along the axis: starting at it
    // towards the maximum (AtMin), centred on it, ending at it (AtMax), or
    // centred and moved back into the strip where it would stick out.
    enum class Place { AtMin, Centred, AtMax, Inside };
    double Offset = 0;       // plot pixels from the axis's minimum end
    double Value = 0;        // axis units (decade exponents on a logarithmic axis)
    bool Major = true;       // a grid line goes through it (on a logarithmic axis only the decades)
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
    // Lengths and gaps (Offset, MajorTicksLength, MinorTicksLength,
    // CaptionOffset) are in control pixels; the ends (MinValue, MaxValue,
    // Range) in data values, decade exponents on a logarithmic axis.
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
    double StartTime() const { return startTime_; }  // a day count (days since 30 Dec 1899)
    void SetStartTime(double value);
    bool DateAxis() const { return dateAxis_; }
    void SetDateAxis(bool value);
    // The decimal separator of the tick labels; the system's by default.
    char DecimalSeparator() const { return decimalSeparator_; }
    void SetDecimalSeparator(char value);
    // Readable ticks: at round values (1, 2, 2.5 or 5 x 10^n apart, in the
    // units the labels show) as densely as their labels allow without
    // overlapping each other or leaving the strip, each label with as many
    // decimals as the step needs (a FormatString with an exponent is kept,
    // an empty one still means no labels). Off by default: five ticks at the
    // quarters, labelled with FormatString. A logarithmic axis keeps its
    // decades either way.
    bool RoundTicks() const { return roundTicks_; }
    void SetRoundTicks(bool value);
    // Grid lines across the plot area at the major ticks, under the series,
    // in GridColor; off by default.
    bool Grid() const { return grid_; }
    void SetGrid(bool value);
    TColor GridColor() const { return gridColor_; }
    void SetGridColor(TColor value);

    double Range() const { return range_; }

    // Sets both ends when min < max, also while Auto is set; fires no event
    // (the graph calls it while it paints).
    void SetAxis(double min, double max);
    void Change();
    std::function<void()> OnChange;

    // FormatString up to its first ';': the text the label space is sized by.
    QString FormatSample() const;
    // Ticks along an axis of `length` plot pixels: five on a linear axis
    // (none when it has no span), nine per decade on a logarithmic one, or
    // the round ticks. The labels that raise the label event are rewritten
    // by `rewrite` (with round ticks also those of the steps tried).
    std::vector<TQuaAxisTick> Ticks(double length, TQuaAxisOrientation orientation = TQuaAxisOrientation::Horizontal,
                                    const TQuaLabelRewrite& rewrite = {}) const;
    // A linear tick label: value x ScaleMultiplier as a number, or as a clock
    // time after StartTime on a date axis. eventValue receives the value the
    // label event gets.
    QString LinearLabel(double value, double& eventValue) const;
    // Width in pixels of the widest label, in the axis Font.
    int LabelWidth(const std::vector<TQuaAxisTick>& ticks) const;

    // Draws the whole strip with these ticks (from Ticks() for the strip's
    // length) into `strip`, sized by the graph beforehand (logical pixels; a
    // vertical strip is the plot's height tall, a horizontal one the plot's
    // width wide), on the given background.
    void DrawStrip(TQuaBitmap& strip, TQuaAxisOrientation orientation, TColor background,
                   const std::vector<TQuaAxisTick>& ticks) const;
    // The grid lines of these ticks across a plot bitmap (its width for a
    // vertical axis, its height for a horizontal one).
    void DrawGrid(TQuaBitmap& plot, TQuaAxisOrientation orientation, const std::vector<TQuaAxisTick>& ticks) const;
    // Pixel position along the strip (y in a vertical strip, x in a
    // horizontal one) of a tick, and the first pixel of its label of
    // `extent` pixels along the strip (height or width).
    static int TickPixel(const TQuaAxisTick& tick, TQuaAxisOrientation orientation, int length);
    static int LabelStart(const TQuaAxisTick& tick, TQuaAxisOrientation orientation, int length, int extent);

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
    bool roundTicks_ = false;
    bool grid_ = false;
    TColor gridColor_ = clGray;
    double range_ = 0;

    std::vector<TQuaAxisTick> QuarterTicks(double length, const TQuaLabelRewrite& rewrite) const;
    std::vector<TQuaAxisTick> DecadeTicks(double length) const;
    std::vector<TQuaAxisTick> RoundTickList(double length, TQuaAxisOrientation orientation,
                                            const TQuaLabelRewrite& rewrite) const;
};

// log10 of 1 ... 9 to nine decimals: the tick rows inside one decade.
inline constexpr double LogDecadeFractions[9] = {0,           0.301029996, 0.477121255, 0.602059991, 0.698970004,
                                                 0.77815125,  0.84509804,  0.903089987, 0.954242509};

}  // namespace quactl
