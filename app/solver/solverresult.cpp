#include "solverresult.h"

#include "app/document/projectfile.h"
#include "app/document/solutionmerge.h"
#include "app/results/focalgeometry.h"
#include "app/settings/settings.h"
#include "app/solver/legacyimport.h"
#include "app/solver/resultfile.h"

namespace dyma {

void CopySeamModel(const Settings& s, SolutionRecord& r, char sep) {
    r.aa = GeologyValue(s.defaultAAngle, sep);
    r.bb = GeologyValue(s.defaultBAngle, sep);
    r.Tilt = GeologyValue(s.defaultUpad, sep);
    r.DrTilt = GeologyValue(s.defaultBieg, sep);
}

bool TakeSolverResult(const std::vector<std::string>& resLines, IniImage& image, const Settings& settings, char sep,
                      SolutionRecord& r, const std::vector<std::string>& qualityLines) {
    const bool whole = ParseResult(r, resLines, sep);
    r.AcceptableSet.reset();
    SolutionQuality quality;
    std::string why;
    if (!qualityLines.empty() && ParseQualityFile(qualityLines, quality, why)) r.AcceptableSet = std::move(quality);
    CopySeamModel(settings, r, sep);
    MergeDocumentIntoRecord(image, r);
    ComputeStationGeometry(r);
    if (whole) SaveResult(r, image, sep);
    return whole;
}

bool TakeLegacyResult(const std::vector<std::string>& resLines, const std::vector<std::string>& datLines,
                      const Settings& settings, char sep, SolutionRecord& r) {
    const bool whole = ParseResult(r, resLines, sep);
    CopySeamModel(settings, r, sep);
    MergeDat(r, datLines, sep);
    ComputeStationGeometry(r);
    return whole;
}

}  // namespace dyma
