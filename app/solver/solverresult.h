// What happens to NPF.RES once the solver is done, shared by the processing
// command, the legacy import and the command-line tool: parse it, give the
// record the seam model it was computed with, merge the picks into it and
// compute its focal-sphere geometry.
#pragma once

#include "app/document/iniimage.h"
#include "app/document/tremordocument.h"

#include <string>
#include <vector>

namespace dyma {

struct Settings;

// aa, bb, Tilt and DrTilt from the settings' seam-wave angles, layer dip and
// layer strike (their texts; throws ConversionError).
void CopySeamModel(const Settings& settings, SolutionRecord& record, char decimalSeparator);

// Parse, seam model, merge with the document, geometry; then, only when the
// whole result was read, Save result into the image (a broken file never
// replaces a stored solution). Returns the parser's verdict.
//
// `qualityLines` are the lines of the solver's quality file (NPF.ACC), none
// when it is not there. A quality file that does not read is passed over:
// the solution is the result file's alone, as from an older solver.
bool TakeSolverResult(const std::vector<std::string>& resLines, IniImage& image, const Settings& settings,
                      char decimalSeparator, SolutionRecord& record,
                      const std::vector<std::string>& qualityLines = {});

// The legacy import: parse, seam model, Merge DAT, geometry. The record is
// completed even when the result was not whole (it is shown as far as it
// was read); returns the parser's verdict.
bool TakeLegacyResult(const std::vector<std::string>& resLines, const std::vector<std::string>& datLines,
                      const Settings& settings, char decimalSeparator, SolutionRecord& record);

}  // namespace dyma
