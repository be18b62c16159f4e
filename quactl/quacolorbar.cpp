#include "quactl/quacolorbar.h"

#include "quactl/quacanvas.h"

#include <QPainter>

#include <algorithm>
#include <vector>

namespace quactl {

TQuaColorBar::TQuaColorBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(159, 31);
}

void TQuaColorBar::SetStartColor(TColor value) {
    startColor_ = value;
    update();
}

void TQuaColorBar::SetEndColor(TColor value) {
    endColor_ = value;
    update();
}

int TQuaColorBar::ClampOffset(int value, int opposite) const {
    value = std::max(value, 0);
    if (value + opposite >= width()) value = std::max(width() - opposite, 0);
    return value;
}

void TQuaColorBar::SetOffsetLeft(int value) {
    offsetLeft_ = ClampOffset(value, offsetRight_);
    update();
}

void TQuaColorBar::SetOffsetRight(int value) {
    offsetRight_ = ClampOffset(value, offsetLeft_);
    update();
}

QImage TQuaColorBar::Picture(double ratio) const {
    const int w = width(), h = height();
    TQuaBitmap bitmap(QImage::Format_RGB32);
    bitmap.SetSize(w, h, ratio);
    if (bitmap.Empty()) return bitmap.Image();
    const TColor s = ColorToRGB(startColor_), e = ColorToRGB(endColor_);
    // The gradient in device pixels: columns and offsets scaled.
    const double r = bitmap.Ratio();
    const int left = static_cast<int>(ToDevicePixels(offsetLeft_, r));
    const int n = static_cast<int>(ToDevicePixels(w - offsetRight_, r)) - left;
    const int deviceWidth = bitmap.DeviceWidth(), deviceHeight = bitmap.DeviceHeight();
    if (n > 0) {
        std::vector<QRgb> columns(static_cast<std::size_t>(n));
        auto channel = [n](int from, int to, int k) { return static_cast<int>(from + k * static_cast<double>(to - from) / n); };
        for (int k = 0; k < n; ++k)
            columns[static_cast<std::size_t>(k)] =
                qRgb(channel(GetRValue(s), GetRValue(e), k), channel(GetGValue(s), GetGValue(e), k),
                     channel(GetBValue(s), GetBValue(e), k));
        QImage& image = bitmap.Image();
        for (int y = 0; y < deviceHeight; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int k = 0; k < n; ++k)
                if (left + k >= 0 && left + k < deviceWidth) row[left + k] = columns[static_cast<std::size_t>(k)];
        }
    }
    TQuaCanvas& c = bitmap.Canvas();
    c.Pen.Style = psClear;
    if (offsetLeft_ > 0) {
        c.Brush.Color = startColor_;
        c.FillRect(QRect(0, 0, offsetLeft_, h));
    }
    if (offsetRight_ > 0) {
        c.Brush.Color = endColor_;
        c.FillRect(QRect(w - offsetRight_, 0, offsetRight_, h));
    }
    return bitmap.Image();
}

void TQuaColorBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Picture(devicePixelRatioF()));
}

}  // namespace quactl
