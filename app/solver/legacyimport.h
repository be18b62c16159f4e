// The file logic of the legacy import: pick (DAT), network (NET) and result
// (RES) files of the older solver workflow, shown without a project
// document.
#pragma once

#include "app/document/tremordocument.h"

#include <string>
#include <vector>

namespace dyma {

class UserMessages;

// The warning texts about DAT labels that the NET does not know.
std::string MissingChannelsIgnoredMessage(const std::string& missingList);
std::string TooFewChannelsMessage(const std::string& missingList);

struct LegacyDatCheck {
    std::string missingList;  // each missing label followed by a blank
    int missingCount = 0;
};

// Prepares the DAT lines for the solver: cuts the "####" trailer (that line
// and all after it), drops every line with a "/", and looks up the label
// (columns 1-5) of every pick line in the NET (from its second line).
LegacyDatCheck PrepareLegacyDat(std::vector<std::string>& datLines, const std::vector<std::string>& netLines);

// The whole preparation with its warnings: true when the solver may run on
// the prepared lines. Missing channels stay in the DAT; when more than ten
// DAT lines remain besides them the import goes on with a warning,
// otherwise it ends with the too-few warning.
bool PrepareLegacyFiles(std::vector<std::string>& datLines, const std::vector<std::string>& netLines,
                        UserMessages& messages);

// Writes the prepared DAT and the NET unchanged, with the usual NPF.PAR.
void WriteLegacyInputFiles(const std::string& directory, const std::vector<std::string>& datLines,
                           const std::vector<std::string>& netLines);

// The legacy counterpart of the merge: the record's X, Y, Z from DAT line 2
// (as the DAT holds them: kilometres, depth), and for each station whose
// label has a pick line its wave type and the sign rule. There is no
// polarity reversal and no channel factor in legacy files. A coordinate
// that is not a number throws ConversionError.
void MergeDat(SolutionRecord& record, const std::vector<std::string>& datLines, char decimalSeparator);

}  // namespace dyma
