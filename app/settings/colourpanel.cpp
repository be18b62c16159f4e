#include "colourpanel.h"

#include "app/widgets/qtconvert.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace dyma::gui {

TColourPanel::TColourPanel(const QString& caption, QWidget* parent) : QFrame(parent), caption_(caption) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

QSize TColourPanel::sizeHint() const { return minimumSizeHint().expandedTo(QSize(150, 26)); }

// Never narrower than the caption: the panel's name is all the operator
// has to tell the colours apart.
QSize TColourPanel::minimumSizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const int frame = 2 * frameWidth();
    return {metrics.horizontalAdvance(caption_) + 12 + frame, std::max(26, metrics.height() + 8 + frame)};
}

void TColourPanel::SetValue(Colour value) {
    value_ = value & 0xFFFFFF;
    update();
}

void TColourPanel::paintEvent(QPaintEvent* event) {
    {
        QPainter p(this);
        p.fillRect(contentsRect(), ToQColor(value_));
        p.setPen(ToQColor(value_ ^ 0xFFFFFF));
        p.drawText(contentsRect(), Qt::AlignCenter, caption_);
    }
    QFrame::paintEvent(event);
}

// The press is taken here so that the release comes back to the panel.
void TColourPanel::mousePressEvent(QMouseEvent* event) { event->accept(); }

void TColourPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && Clicked) Clicked();
}

void TColourPanel::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Return) && Clicked) Clicked();
    else QFrame::keyPressEvent(event);
}

}  // namespace dyma::gui
