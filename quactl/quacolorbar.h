// TQuaColorBar: a horizontal gradient from StartColor to EndColor, with
// solid blocks of the two colours in the left and right offsets.
#pragma once

#include "quactl/quatypes.h"

#include <QImage>
#include <QWidget>

namespace quactl {

// Its properties are Qt properties too, for Qt Designer and forms built by uic.
class QUACTL_EXPORT TQuaColorBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor StartColor READ startColor WRITE setStartColor)
    Q_PROPERTY(QColor EndColor READ endColor WRITE setEndColor)
    Q_PROPERTY(int OffsetLeft READ OffsetLeft WRITE setOffsetLeft)
    Q_PROPERTY(int OffsetRight READ OffsetRight WRITE setOffsetRight)

public:
    explicit TQuaColorBar(QWidget* parent = nullptr);

    TColor StartColor() const { return startColor_; }
    void SetStartColor(TColor value);
    TColor EndColor() const { return endColor_; }
    void SetEndColor(TColor value);
    // Widths of the solid blocks, in control pixels: at least 0 and at most
    // the width minus the opposite offset.
    int OffsetLeft() const { return offsetLeft_; }
    void SetOffsetLeft(int value);
    int OffsetRight() const { return offsetRight_; }
    void SetOffsetRight(int value);

    // The bar as it is painted, at the control's size, with `ratio` device
    // pixels per control pixel (the gradient runs over the device pixels).
    QImage Picture(double ratio = 1) const;

    QSize sizeHint() const override { return QSize(159, 31); }

    QColor startColor() const { return ToQColor(startColor_); }
    void setStartColor(const QColor& value) { SetStartColor(FromQColor(value)); }
    QColor endColor() const { return ToQColor(endColor_); }
    void setEndColor(const QColor& value) { SetEndColor(FromQColor(value)); }
    void setOffsetLeft(int value) { SetOffsetLeft(value); }
    void setOffsetRight(int value) { SetOffsetRight(value); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int ClampOffset(int value, int opposite) const;

    TColor startColor_ = clRed;
    TColor endColor_ = clBlue;
    int offsetLeft_ = 0;
    int offsetRight_ = 0;
};

}  // namespace quactl
