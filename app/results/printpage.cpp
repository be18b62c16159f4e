#include "printpage.h"

#include "app/results/focalsphererenderer.h"
#include "app/widgets/qtconvert.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>
#include <map>

namespace dyma::gui {

namespace {

QFont PageFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

}  // namespace

int SphereLineWidth(const PageGeometry& page) {
    return std::max(1, static_cast<int>(std::lround(page.dpiY / double(kPreviewDpi))));
}

int PixelSizeForCellHeight(int cellHeight, QPaintDevice* device) {
    if (cellHeight < 1) return 0;
    // Measured at a large size: the cell of a font grows in proportion to
    // its pixel size, and small sizes round.
    constexpr int reference = 1000;
    QFont font = PageFont();
    font.setPixelSize(reference);
    const QFontMetricsF metrics(font, device);
    const double cell = metrics.ascent() + metrics.descent();
    if (cell <= 0) return cellHeight;
    return std::max(1, static_cast<int>(std::lround(cellHeight * reference / cell)));
}

void DrawResultPage(QPainter& p, SolutionRecord& record, const PageGeometry& page, const std::vector<PageText>& texts) {
    p.save();
    if (page.side > 0) {
        const QImage sphere =
            RenderFocalSphere(record, page.side, page.side, SphereLineWidth(page), SphereStyleFor(record));
        p.drawImage(QPoint(page.sphereX, page.sphereY), sphere);
    }
    // All text without a background.
    p.setBrush(Qt::NoBrush);
    p.setPen(Qt::black);
    std::map<int, QFont> fonts;  // by cell height
    for (const PageText& t : texts) {
        auto font = fonts.find(t.height);
        if (font == fonts.end()) {
            QFont f = PageFont();
            const int pixels = PixelSizeForCellHeight(t.height, p.device());
            if (pixels < 1) continue;
            f.setPixelSize(pixels);
            font = fonts.emplace(t.height, f).first;
        }
        p.setFont(font->second);
        // The layout gives the top-left corner of the text's cell.
        p.drawText(QPointF(t.x, t.y + QFontMetricsF(font->second, p.device()).ascent()), Q(t.text));
    }
    p.restore();
}

QImage RenderPreviewPage(SolutionRecord& record, const ReportLocale& locale) {
    QImage image(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    // 150 pixels per inch, so that fonts measured on it match the page.
    const int dotsPerMeter = static_cast<int>(std::lround(kPreviewDpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    const PageGeometry page = PreviewPageGeometry();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawResultPage(painter, record, page, LayOutPage(page, BuildReport(record, locale), nullptr));
    return image;
}

}  // namespace dyma::gui
