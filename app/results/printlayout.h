// The printed page of a solution, as positions in device pixels: the focal
// sphere in the top right corner, the first 26 report lines beside it, the
// nodal planes and axes in three columns below, the station table in ten
// columns and, when asked for, the entries of a location file. The printer
// and the preview share this layout; only the device (its resolution and
// printable size) differs.
#pragma once

#include "app/seismogram/locationfile.h"

#include <string>
#include <vector>

namespace dyma {

// The preview bitmap: A4 at 150 pixels per inch.
inline constexpr int kPreviewWidth = 1240;
inline constexpr int kPreviewHeight = 1754;
inline constexpr int kPreviewDpi = 150;

struct PageGeometry {
    int dpiX = 0, dpiY = 0;
    // Half-inch margins inside the printable area.
    int innerLeft = 0, innerTop = 0, innerRight = 0, innerBottom = 0;
    // The sphere's side; the sphere's top-left corner.
    int side = 0, sphereX = 0, sphereY = 0;
    // The band below the sphere that holds the nodal planes (one inch high);
    // the station table starts at its bottom edge.
    int textLeft = 0, textTop = 0, textRight = 0, textBottom = 0;
    // The cell height of the report font of the first block.
    int fontHeight = 0;
};

// `width` and `height` are the printable area in pixels.
PageGeometry PrinterPageGeometry(int dpiX, int dpiY, int width, int height);
// The preview's page: the printer geometry of a 150 dpi A4 page, which puts
// the 470-pixel sphere at (665, 75).
PageGeometry PreviewPageGeometry();

// One text on the page: its top-left corner and the cell height of its font.
struct PageText {
    std::string text;
    int x = 0, y = 0, height = 0;
};

inline constexpr char kNodalPlanesHeading[] = "ROZWIĄZANIE PŁASZCZYZN NODALNYCH:";
inline constexpr char kNetworkHeading[] = "KONFIGURACJA SIECI SEJSMOMETRYCZNEJ:";
inline constexpr char kLocationHeading[] = "INFORMACJE Z PLIKU DBS:";

// The texts of the page from the report lines (BuildReport). `locationEntries`
// null leaves the location block out (the preview, or the box unticked); an
// empty list still prints its heading. Report lines beyond the station table
// that are missing (a shorter list than BuildReport makes) print nothing.
std::vector<PageText> LayOutPage(const PageGeometry& page, const std::vector<std::string>& reportLines,
                                 const std::vector<LocationEntry>* locationEntries);

// Row heights of the second and third blocks (exposed for the tests).
int PlanesRowHeight(const PageGeometry& page);
int TableRowHeight(const PageGeometry& page, int reportLineCount);

}  // namespace dyma
