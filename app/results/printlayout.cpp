#include "printlayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dyma {

namespace {

// The report's line positions the blocks take their texts from (counted
// from 0): block 1 the title to the layer strike, the station table from
// "SIEĆ SEJSMOMETRYCZNA:" on.
constexpr int kFirstBlockLines = 26;
constexpr int kTableFirstLine = 45;

int Truncated(double v) { return static_cast<int>(std::trunc(v)); }

std::vector<std::string> SplitAtTabs(const std::string& line) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        pieces.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return pieces;
        start = tab + 1;
    }
}

}  // namespace

PageGeometry PrinterPageGeometry(int dpiX, int dpiY, int width, int height) {
    PageGeometry g;
    g.dpiX = dpiX;
    g.dpiY = dpiY;
    g.innerLeft = Truncated(0.5 * dpiX);
    g.innerTop = Truncated(0.5 * dpiY);
    g.innerRight = Truncated(width - 0.5 * dpiX);
    g.innerBottom = Truncated(height - 0.5 * dpiY);
    g.side = (g.innerRight - g.innerLeft) / 2 - g.innerLeft;
    g.textLeft = g.innerLeft;
    g.textTop = g.innerTop + g.side;
    g.textRight = g.innerRight;
    g.textBottom = g.innerTop + g.side + dpiY;
    g.sphereX = Truncated(g.innerRight - g.side - 0.2 * dpiX);
    g.sphereY = g.innerTop;
    g.fontHeight = std::abs(g.side / 26);
    return g;
}

PageGeometry PreviewPageGeometry() { return PrinterPageGeometry(kPreviewDpi, kPreviewDpi, kPreviewWidth, kPreviewHeight); }

int PlanesRowHeight(const PageGeometry& g) { return std::abs(g.dpiY / 8); }

int TableRowHeight(const PageGeometry& g, int count) {
    const int rows = count - kTableFirstLine;
    const int fit = rows <= 0 ? PlanesRowHeight(g) : std::abs((g.innerBottom - g.textBottom) / rows);
    return std::min(PlanesRowHeight(g), fit);
}

std::vector<PageText> LayOutPage(const PageGeometry& g, const std::vector<std::string>& lines,
                                 const std::vector<LocationEntry>* entries) {
    std::vector<PageText> out;
    const int all = static_cast<int>(lines.size());
    auto line = [&](int i) -> const std::string& {
        static const std::string none;
        return i >= 0 && i < all ? lines[static_cast<size_t>(i)] : none;
    };
    // The station table ends at the first empty line after its rows; the
    // solver's quality figures may follow it (their lines up to the table
    // of the acceptable set's axes, which the page leaves to the sphere).
    int count = all;
    bool rows = false;
    for (int j = kTableFirstLine; j < all; ++j) {
        if (line(j).find('\t') != std::string::npos) rows = true;
        if (rows && line(j).empty()) {
            count = j;
            break;
        }
    }
    std::vector<std::string> quality;
    for (int j = count + 1; j < all && line(j).find('\t') == std::string::npos; ++j) quality.push_back(line(j));
    while (!quality.empty() && quality.back().empty()) quality.pop_back();
    auto put = [&out](std::string text, int x, int y, int height) {
        if (!text.empty()) out.push_back({std::move(text), x, y, height});
    };

    // Block 1: beside the sphere.
    for (int i = 0; i < kFirstBlockLines; ++i) put(line(i), g.innerLeft, g.innerTop + i * g.fontHeight, g.fontHeight);

    // Block 2: plane A, plane B and the axes side by side (" Osie:" stays off
    // the page: the column speaks for itself).
    const int h2 = PlanesRowHeight(g);
    const int c2 = (g.textRight - g.textLeft) / 3;
    put(kNodalPlanesHeading, g.textLeft, g.textTop + h2, h2);
    for (int r = 3; r <= 6; ++r) {
        const int y = g.textTop + r * h2;
        put(line(26 + r), g.textLeft, y, h2);
        put(line(31 + r), g.textLeft + c2, y, h2);
        put(line(37 + r), g.textLeft + 2 * c2, y, h2);
    }

    // Block 3: the station table, cut at its TABs into ten columns; the
    // report's own heading and the empty line after it have no TAB and
    // leave their rows empty.
    const int h3 = TableRowHeight(g, count + static_cast<int>(quality.size()) + (quality.empty() ? 0 : 1));
    const int c3 = (g.textRight - g.textLeft) / 10;
    put(kNetworkHeading, g.textLeft, g.textBottom, h3);
    for (int j = kTableFirstLine; j < count; ++j) {
        const std::string& text = line(j);
        if (text.find('\t') == std::string::npos) continue;
        const std::vector<std::string> pieces = SplitAtTabs(text);
        const int y = g.textBottom + (j - kTableFirstLine) * h3;
        for (size_t k = 0; k < pieces.size(); ++k) put(pieces[k], g.textLeft + static_cast<int>(k) * c3, y, h3);
    }

    // Block 4: the location file, a few rows below the table.
    if (entries) {
        put(kLocationHeading, g.textLeft, g.textBottom + (count - 42) * h3, h3);
        for (size_t i = 0; i < entries->size(); ++i) {
            const int y = g.textBottom + (count + static_cast<int>(i) - 40) * h3;
            put((*entries)[i].key + ":", g.textLeft, y, h3);
            put((*entries)[i].value, g.textLeft + 2 * c3, y, h3);
        }
    }

    // Block 5: the quality figures, one row below the table or the
    // location entries.
    const int after = entries ? count + static_cast<int>(entries->size()) - 40 : count - kTableFirstLine;
    for (size_t i = 0; i < quality.size(); ++i)
        put(quality[i], g.textLeft, g.textBottom + (after + 1 + static_cast<int>(i)) * h3, h3);
    return out;
}

}  // namespace dyma
