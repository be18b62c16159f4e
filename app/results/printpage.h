// Drawing the printed page of a solution on a paint device: the printer
// (PrintResult) and the preview bitmap (RenderPrintPreview) go through this
// one routine, so the preview shows what the paper gets.
#pragma once

#include "app/document/tremordocument.h"
#include "app/results/printlayout.h"
#include "app/results/textreport.h"

#include <QImage>

#include <vector>

class QPainter;

namespace dyma::gui {

// The sphere (rendered at the page's side and copied unscaled) and every
// text of the layout in black Arial, each text's cell height as laid out.
void DrawResultPage(QPainter& painter, SolutionRecord& record, const PageGeometry& page,
                    const std::vector<PageText>& texts);

// The sphere's lines are one pixel of the 150 dpi preview wide, at any
// resolution: one-pixel lines of a 600 or 1200 dpi printer all but vanish.
int SphereLineWidth(const PageGeometry& page);

// The preview page, 1240 x 1754 pixels at 150 pixels per inch, on white;
// the location block is never part of it.
QImage RenderPreviewPage(SolutionRecord& record, const ReportLocale& locale);

// The pixel size of an Arial font whose cell (ascent plus descent) is
// `cellHeight` pixels on `device` (a Windows font height given as a positive
// number).
int PixelSizeForCellHeight(int cellHeight, class QPaintDevice* device);

}  // namespace dyma::gui
