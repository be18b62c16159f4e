#include "sphereimage.h"

#include "common/numberformat.h"
#include "common/textfile.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace dyma::gui {

namespace {

const QString kTitle = QStringLiteral("Rozwiązanie mechanizmu ogniska");

bool EndsWith(const std::string& path, const char* extension) {
    const std::string e(extension);
    return path.size() > e.size() && EqualsIgnoreCase(path.substr(path.size() - e.size()), e);
}

QByteArray Png(SolutionRecord& record, int size, const SphereStyle& style) {
    const QImage image = RenderFocalSphere(record, size, size, 1, style);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray Svg(SolutionRecord& record, int size, const SphereStyle& style) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(size, size));
    svg.setViewBox(QRect(0, 0, size, size));
    svg.setTitle(kTitle);
    QPainter painter(&svg);
    DrawFocalSphere(painter, record, size, size, 1, style);
    painter.end();
    return bytes;
}

QByteArray Pdf(SolutionRecord& record, int size, const SphereStyle& style) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(kTitle);
        // One device pixel a point, the page the picture's size.
        pdf.setResolution(72);
        pdf.setPageSize(QPageSize(QSizeF(size, size), QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&pdf);
        DrawFocalSphere(painter, record, size, size, 1, style);
        painter.end();
    }
    return bytes;
}

}  // namespace

std::optional<SphereImageFormat> SphereImageFormatOf(const std::string& path) {
    if (EndsWith(path, ".png")) return SphereImageFormat::Png;
    if (EndsWith(path, ".svg")) return SphereImageFormat::Svg;
    if (EndsWith(path, ".pdf")) return SphereImageFormat::Pdf;
    return std::nullopt;
}

QByteArray SphereImageBytes(SolutionRecord& record, SphereImageFormat format, int size, const SphereStyle& style) {
    switch (format) {
    case SphereImageFormat::Png: return Png(record, size, style);
    case SphereImageFormat::Svg: return Svg(record, size, style);
    case SphereImageFormat::Pdf: return Pdf(record, size, style);
    }
    return {};
}

void WriteSphereImage(SolutionRecord& record, const std::string& path, SphereImageFormat format, int size,
                      const SphereStyle& style) {
    const QByteArray bytes = SphereImageBytes(record, format, size, style);
    if (bytes.isEmpty()) throw FileError("Nie udało się narysować obrazu.", path);
    WriteFileAtomic(path, bytes.toStdString());
}

}  // namespace dyma::gui
