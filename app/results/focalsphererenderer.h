// The focal-sphere picture of a solution: the projection circle, the traces
// of both nodal planes, the centre cross, the T and P labels and every
// station as "+" or "-" with its channel name. One routine draws it into an
// image of any size; the result windows, the solution page of the
// seismogram window, the print preview and the printout all use it.
#pragma once

#include "app/document/tremordocument.h"

#include <QImage>
#include <QSize>

class QWidget;

namespace dyma::gui {

// A new W x H image with the picture. Sets the record's drawing frame first,
// so one record is drawn by one rendering at a time. Lines are `lineWidth`
// pixels wide: one on the screen; on a printer's page a few, so that the
// plane traces keep the weight they have on the screen.
QImage RenderFocalSphere(SolutionRecord& record, int width, int height, int lineWidth = 1);

// The picture for a paint box of `size` (logical pixels) on a screen with
// `ratio` device pixels per logical pixel: drawn at the device resolution,
// its lines `ratio` pixels wide so that they keep their weight; the image
// carries the ratio, so it is shown at the box's size.
QImage RenderFocalSphereForScreen(SolutionRecord& record, QSize size, double ratio);

// Renders for the paint box's current size and screen and draws the image at
// (0, 0); the paint handler of every focal-sphere paint box (call it from
// paintEvent).
void PaintFocalSphere(SolutionRecord& record, QWidget& paintBox);

}  // namespace dyma::gui
