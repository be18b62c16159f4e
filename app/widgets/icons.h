// The program's own pictures, drawn with QPainter: the toolbar icons (each
// with a disabled variant made from the same drawing), the application icon
// (a beach ball of a real double couple) and the pictures of the splash
// screen, the about box and the processing box.
#pragma once

#include <QIcon>
#include <QImage>

namespace dyma::gui {

enum class IconKind {
    Open,
    Save,
    Import,
    Export,
    Preferences,
    Print,
    FirstSeismogram,
    PreviousSeismogram,
    NextSeismogram,
    LastSeismogram,
    FastBackward,
    SlowBackward,
    SlowForward,
    FastForward,
    FiveSeconds,
    TenSeconds,
    Stretch,
    Shrink,
    CancelStretch,
    ZoomIn,
    ZoomOut,
    DirectWave,
    AWave,
    BWave,
    RemoveMarker,
};

// The icon in the enabled state, transparent background.
QImage DrawToolImage(IconKind kind, int size);
// The greyed, embossed variant of an enabled drawing.
QImage DisabledVariant(const QImage& enabled);
// Both variants at 16, 24, 32 and 48 pixels.
QIcon ToolIcon(IconKind kind);

// A lower-hemisphere beach ball with black compressional quadrants.
QImage BeachBallImage(int size);
QIcon ApplicationIcon();
// A seismogram trace with a marked first arrival.
QImage SeismogramTraceImage(int width, int height);

}  // namespace dyma::gui
