#include "quactl/quatypes.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace quactl {

namespace {

struct SystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The colour roles of the classic system colour indices 0 to 30, taken from
// the palette that the rest of the application's widgets use.
constexpr std::array<SystemRole, 31> kSystemRoles = {{
    {QPalette::Active, QPalette::Button},           // scroll bar
    {QPalette::Active, QPalette::Window},           // desktop
    {QPalette::Active, QPalette::Highlight},        // active caption
    {QPalette::Inactive, QPalette::Highlight},      // inactive caption
    {QPalette::Active, QPalette::Window},           // menu
    {QPalette::Active, QPalette::Base},             // window
    {QPalette::Active, QPalette::Shadow},           // window frame
    {QPalette::Active, QPalette::WindowText},       // menu text
    {QPalette::Active, QPalette::Text},             // window text
    {QPalette::Active, QPalette::HighlightedText},  // caption text
    {QPalette::Active, QPalette::Window},           // active border
    {QPalette::Active, QPalette::Window},           // inactive border
    {QPalette::Active, QPalette::Dark},             // application workspace
    {QPalette::Active, QPalette::Highlight},        // highlight
    {QPalette::Active, QPalette::HighlightedText},  // highlight text
    {QPalette::Active, QPalette::Button},           // button face
    {QPalette::Active, QPalette::Dark},             // button shadow
    {QPalette::Disabled, QPalette::Text},           // grey text
    {QPalette::Active, QPalette::ButtonText},       // button text
    {QPalette::Inactive, QPalette::Text},           // inactive caption text
    {QPalette::Active, QPalette::Light},            // button highlight
    {QPalette::Active, QPalette::Shadow},           // 3D dark shadow
    {QPalette::Active, QPalette::Midlight},         // 3D light
    {QPalette::Active, QPalette::ToolTipText},      // info text
    {QPalette::Active, QPalette::ToolTipBase},      // info background
    {QPalette::Active, QPalette::Window},           // (unused index 25)
    {QPalette::Active, QPalette::Link},             // hot light
    {QPalette::Active, QPalette::Highlight},        // gradient active caption
    {QPalette::Inactive, QPalette::Highlight},      // gradient inactive caption
    {QPalette::Active, QPalette::Highlight},        // menu highlight
    {QPalette::Active, QPalette::Window},           // menu bar
}};

}  // namespace

TColor ColorToRGB(TColor color) {
    if ((color & kSystemColorFlag) == 0) return color & 0xFFFFFF;
    const unsigned index = color & 0xFF;
    if (index >= kSystemRoles.size()) return clBlack;
    const QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                 ? QGuiApplication::palette()
                                 : QPalette();
    const SystemRole r = kSystemRoles[index];
    return FromQColor(palette.color(r.group, r.role));
}

QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& color) {
    return RGBColor(color.red(), color.green(), color.blue());
}

// Arial at 8 points is the face the components were laid out for; fontconfig
// gives a metric-compatible face where Arial itself is missing.
TQuaFont::TQuaFont() : font_(QStringLiteral("Arial")) {
    font_.setPointSize(8);
}

TQuaFont::TQuaFont(const TQuaFont& other) : font_(other.font_), color_(other.color_) {}

TQuaFont& TQuaFont::operator=(const TQuaFont& other) {
    Assign(other);
    return *this;
}

void TQuaFont::Assign(const TQuaFont& other) {
    if (this == &other) return;
    font_ = other.font_;
    color_ = other.color_;
    Changed();
}

void TQuaFont::SetName(const QString& name) {
    font_.setFamily(name);
    Changed();
}

void TQuaFont::SetSize(int points) {
    font_.setPointSize(points > 0 ? points : 1);
    Changed();
}

void TQuaFont::SetColor(TColor color) {
    color_ = color;
    Changed();
}

TFontStyles TQuaFont::Style() const {
    TFontStyles s = 0;
    if (font_.bold()) s |= fsBold;
    if (font_.italic()) s |= fsItalic;
    if (font_.underline()) s |= fsUnderline;
    if (font_.strikeOut()) s |= fsStrikeOut;
    return s;
}

void TQuaFont::SetStyle(TFontStyles style) {
    font_.setBold(style & fsBold);
    font_.setItalic(style & fsItalic);
    font_.setUnderline(style & fsUnderline);
    font_.setStrikeOut(style & fsStrikeOut);
    Changed();
}

void TQuaFont::SetFont(const QFont& font) {
    font_ = font;
    Changed();
}

void TQuaFont::Changed() {
    if (OnChange) OnChange();
}

}  // namespace quactl
