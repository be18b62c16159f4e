// Value types shared by the plotting components: colours as the program
// stores them (Windows colour values 0x00BBGGRR, so document colours pass
// through unchanged), pen and brush styles, the sixteen pen modes, the mouse
// shift state and the font with a colour and a change handler.
#pragma once

#include "quactl/quactlexport.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <cstdint>
#include <functional>

namespace quactl {

using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// System colours carry the high bit and the index of the colour role.
inline constexpr TColor kSystemColorFlag = 0x80000000u;
inline constexpr TColor clWindow = kSystemColorFlag | 5;
inline constexpr TColor clWindowText = kSystemColorFlag | 8;
inline constexpr TColor clHighlight = kSystemColorFlag | 13;
inline constexpr TColor clHighlightText = kSystemColorFlag | 14;
inline constexpr TColor clBtnFace = kSystemColorFlag | 15;
inline constexpr TColor clBtnText = kSystemColorFlag | 18;

constexpr int GetRValue(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr TColor RGBColor(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// A system colour becomes the matching colour of the application palette;
// a plain colour loses its top byte.
QUACTL_EXPORT TColor ColorToRGB(TColor color);
QUACTL_EXPORT QColor ToQColor(TColor color);
QUACTL_EXPORT TColor FromQColor(const QColor& color);

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

enum TPenMode : std::uint8_t {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

// The result of a pen mode on one 8-bit channel: destination d, pen p.
// The no-operation mode (and any unknown value) keeps d.
constexpr int RasterOp(TPenMode mode, int d, int p) {
    switch (mode) {
    case pmBlack: return 0;
    case pmWhite: return 255;
    case pmNop: return d;
    case pmNot: return 255 - d;
    case pmCopy: return p;
    case pmNotCopy: return 255 - p;
    case pmMergePenNot: return p | (255 - d);
    case pmMaskPenNot: return p & (255 - d);
    case pmMergeNotPen: return (255 - p) | d;
    case pmMaskNotPen: return (255 - p) & d;
    case pmMerge: return p | d;
    case pmNotMerge: return 255 - (p | d);
    case pmMask: return p & d;
    case pmNotMask: return 255 - (p & d);
    case pmXor: return p ^ d;
    case pmNotXor: return 255 - (p ^ d);
    }
    return d;
}

enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// A font with its colour, as a canvas uses it. Every change fires OnChange,
// which is how a graph learns that an axis or title font was edited. Copies
// take the face and the colour, never the change handler.
class QUACTL_EXPORT TQuaFont {
public:
    TQuaFont();
    TQuaFont(const TQuaFont& other);
    TQuaFont& operator=(const TQuaFont& other);

    void Assign(const TQuaFont& other);

    QString Name() const { return font_.family(); }
    void SetName(const QString& name);
    int Size() const { return font_.pointSize(); }
    void SetSize(int points);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const;
    void SetStyle(TFontStyles style);

    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);

    std::function<void()> OnChange;

private:
    void Changed();

    QFont font_;
    TColor color_ = clWindowText;
};

}  // namespace quactl
