// Conversions at the border between the model code (UTF-8 std::string,
// Windows colour values 0x00BBGGRR) and Qt.
#pragma once

#include "app/document/tremordocument.h"

#include <QColor>
#include <QLocale>
#include <QString>
#include <QWidget>

#include <string>

namespace dyma::gui {

inline QString Q(const std::string& text) { return QString::fromStdString(text); }
inline std::string S(const QString& text) { return text.toStdString(); }

inline QColor ToQColor(Colour c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
inline Colour FromQColor(const QColor& c) {
    return Colour(c.red()) | (Colour(c.green()) << 8) | (Colour(c.blue()) << 16);
}

// Numbers shown to and typed by the operator use the system's decimal
// separator; the model code takes it as a parameter.
inline char LocaleDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point == QLatin1String(",") ? ',' : '.';
}

// A widget that fills its background with one colour (a white panel, the
// grey of the solution panel).
inline void SetBackground(QWidget& widget, const QColor& colour) {
    widget.setAutoFillBackground(true);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
}

}  // namespace dyma::gui
