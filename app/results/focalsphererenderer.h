// The focal-sphere picture of a solution: the projection circle, the traces
// of both nodal planes, the centre cross, the T and P labels and every
// station as "+" or "-" with its channel name. One routine draws it onto any
// paint device; the result windows, the solution page of the seismogram
// window, the print preview, the printout and the exported images all use
// it. Qt Gui only, so that the command-line tool draws the same picture.
//
// Beyond the planes the picture can show how well they are determined: the
// acceptable set's P and T axes as a cloud, the quality class and the number
// of misfits, the misfitting stations ringed, and (an option) plane A's
// compressional quadrants shaded.
#pragma once

#include "app/document/tremordocument.h"
#include "app/results/focalgeometry.h"

#include <QColor>
#include <QImage>
#include <QSize>

#include <optional>

class QPainter;

namespace dyma::gui {

struct SphereStyle {
    // Plane A's compressional quadrants in light grey under everything else.
    bool shadeCompression = false;
    // The cloud, the quality and misfit lines and the rings; none without.
    std::optional<SphereAssessment> assessment;
};

// Colours of the additions, for whoever needs to find them again.
inline const QColor kCompressionShade(0xD8, 0xD8, 0xD8);
inline const QColor kPCloudColour(0xC0, 0x60, 0x00);
inline const QColor kTCloudColour(0x00, 0x90, 0x90);
inline const QColor kMisfitRingColour(0xFF, 0x80, 0x00);

// Draws the picture into the rectangle (0, 0, width, height) of the
// painter's device (pixels of that device), white background included. Sets
// the record's drawing frame first, so one record is drawn by one rendering
// at a time. Lines are `lineWidth` pixels wide: one on the screen; on a
// printer's page a few, so that the plane traces keep the weight they have
// on the screen.
void DrawFocalSphere(QPainter& painter, SolutionRecord& record, int width, int height, int lineWidth = 1,
                     const SphereStyle& style = {});

// A new W x H image with the picture.
QImage RenderFocalSphere(SolutionRecord& record, int width, int height, int lineWidth = 1,
                         const SphereStyle& style = {});

// The picture for a paint box of `size` (logical pixels) on a screen with
// `ratio` device pixels per logical pixel: drawn at the device resolution,
// its lines `ratio` pixels wide so that they keep their weight; the image
// carries the ratio, so it is shown at the box's size.
QImage RenderFocalSphereForScreen(SolutionRecord& record, QSize size, double ratio, const SphereStyle& style = {});

// The style every view of a stored solution uses: the assessment of the
// record and the operator's shading choice (SphereShading).
SphereStyle SphereStyleFor(const SolutionRecord& record);

// The operator's choice to shade the compressional quadrants, kept in the
// settings key under "Sphere"; off until chosen.
bool SphereShading();
void SetSphereShading(bool on);

}  // namespace dyma::gui
