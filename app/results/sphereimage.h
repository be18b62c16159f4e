// The focal sphere as an image file: PNG (pixels), SVG and PDF (lines and
// text that stay sharp at any size), drawn by the one rendering routine with
// the style the operator sees. The result window's "Zapisz obraz kuli" and
// the command-line tool's "dyma plot" write through here.
#pragma once

#include "app/results/focalsphererenderer.h"

#include <QByteArray>

#include <optional>
#include <string>

namespace dyma::gui {

enum class SphereImageFormat { Png, Svg, Pdf };

// The format a file name asks for by its extension (".png", ".svg", ".pdf"
// in any case); none for another.
std::optional<SphereImageFormat> SphereImageFormatOf(const std::string& path);

// The side of an exported picture when none is given, and the range taken.
inline constexpr int kDefaultSphereImageSize = 800;
inline constexpr int kMinSphereImageSize = 50;
inline constexpr int kMaxSphereImageSize = 10000;

// The file's bytes: a `size` x `size` picture (PNG and SVG in pixels, PDF a
// page of `size` x `size` points).
QByteArray SphereImageBytes(SolutionRecord& record, SphereImageFormat format, int size, const SphereStyle& style);

// Writes the file through a temporary file beside it and a rename, so a
// failed write leaves whatever was there. Throws FileError.
void WriteSphereImage(SolutionRecord& record, const std::string& path, SphereImageFormat format, int size,
                      const SphereStyle& style);

}  // namespace dyma::gui
