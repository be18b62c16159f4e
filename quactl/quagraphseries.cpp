#include "quactl/quagraphseries.h"

#include <cmath>
#include <limits>

namespace quactl {

int TruncPixel(double v) {
    constexpr double kLimit = 1 << 30;
    if (!(v > -kLimit)) return -(1 << 30);
    if (!(v < kLimit)) return 1 << 30;
    return static_cast<int>(v);
}

int TQuaTransform::X(double x) const {
    const double w = Width;
    if (XLog) {
        if (x <= 0) return XReverse ? Width : 0;
        const double f = (std::log10(x) - XMin) / (XMax - XMin) * w;
        return TruncPixel(XReverse ? w - f : f);
    }
    const double f = w * (x - XMin) / (XMax - XMin);
    return TruncPixel(XReverse ? w - f : f);
}

int TQuaTransform::Y(double y) const {
    const double h = Height;
    if (YLog) {
        if (y <= 0) return YReverse ? 0 : Height;
        const double f = (std::log10(y) - YMin) / (YMax - YMin) * h;
        return TruncPixel(YReverse ? f : h - f);
    }
    const double f = h * (y - YMin) / (YMax - YMin);
    return TruncPixel(YReverse ? f : h - f);
}

double TQuaTransform::InvertX(double px) const {
    const double f = XReverse ? Width - px : px;
    const double v = XMin + f * (XMax - XMin) / Width;
    return XLog ? std::pow(10.0, v) : v;
}

double TQuaTransform::InvertY(double py) const {
    const double f = YReverse ? py : Height - py;
    const double v = YMin + f * (YMax - YMin) / Height;
    return YLog ? std::pow(10.0, v) : v;
}

TQuaGraphSeries::TQuaGraphSeries(TQuaSeriesKind kind, QString name, int capacity) : Name(std::move(name)), kind_(kind) {
    if (capacity > 0) {
        const auto n = static_cast<std::size_t>(capacity);
        x_.reserve(n);
        y_.reserve(n);
        z_.reserve(n);
        color_.reserve(n);
    }
}

TQuaGraphSeries::~TQuaGraphSeries() = default;

int TQuaGraphSeries::AppendPoint(const QString& label, TColor color, double x, double y, float z) {
    x_.push_back(x);
    y_.push_back(y);
    z_.push_back(z);
    color_.push_back(color);
    if (!label.isEmpty() && !hasLabels_) {
        label_.resize(x_.size() - 1);
        hasLabels_ = true;
    }
    if (hasLabels_) label_.push_back(label);
    WidenX(x);
    WidenY(y);
    return GetN();
}

int TQuaGraphSeries::AddPoint(const QString& label, TColor color, double x, double y, double z) {
    const float stored = static_cast<float>(z);
    AppendPoint(label, color, x, y, stored);
    // The extremes are those of the stored values, so a point never maps
    // outside the span they define.
    if (stored > maxZ_) maxZ_ = stored;
    if (stored < minZ_) minZ_ = stored;
    return GetN();
}

void TQuaGraphSeries::WidenX(double x) {
    if (x > maxX_) maxX_ = x;
    if (x < minX_) minX_ = x;
}

void TQuaGraphSeries::WidenY(double y) {
    if (y > maxY_) maxY_ = y;
    if (y < minY_) minY_ = y;
}

const QString& TQuaGraphSeries::LabelAt(int i) const {
    static const QString empty;
    return hasLabels_ ? label_[static_cast<std::size_t>(i)] : empty;
}

TQuaPoint TQuaGraphSeries::GetPoint(int i) const {
    return TQuaPoint(XAt(i), YAt(i), LabelAt(i), ColorAt(i), ZAt(i));
}

void TQuaGraphSeries::ModifyPointX(int i, double x) {
    x_.at(static_cast<std::size_t>(i)) = x;
    WidenX(x);
}

void TQuaGraphSeries::ModifyPointY(int i, double y) {
    y_.at(static_cast<std::size_t>(i)) = y;
    WidenY(y);
}

int TQuaGraphSeries::FindClosestPointX(double x, double& distance) const {
    int best = -1;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < GetN(); ++i) {
        const double d = std::abs(x - XAt(i));
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    if (best >= 0) distance = bestDistance;
    return best;
}

void TQuaGraphSeries::DrawSeries(TQuaBitmap& bitmap, double xMin, double xMax, double yMin, double yMax, bool xLog,
                                 bool yLog, bool xReverse, bool yReverse) {
    transform_ = TQuaTransform{xMin, xMax, yMin, yMax, xLog, yLog, xReverse, yReverse, bitmap.Width(), bitmap.Height()};
    if (bitmap.Empty()) return;
    Draw(bitmap, bitmap.Canvas());
}

}  // namespace quactl
