// Pixel helpers of the plotting component tests (main.cpp provides the
// QApplication; the offscreen platform is set by the test runner).
#pragma once

#include <QColor>
#include <QImage>

#include <tuple>

namespace quactl::test {

using Rgb = std::tuple<int, int, int>;

inline Rgb PixelAt(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return {c.red(), c.green(), c.blue()};
}

}  // namespace quactl::test
