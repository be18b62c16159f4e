// Merging a document into a solution record: the header copy and the sign
// rules that decide how each station is shown.
#pragma once

#include "app/document/iniimage.h"
#include "app/document/tremordocument.h"

namespace dyma {

// SignalFileShort, Zakres, Description, Operator, Date, Time and the two
// colours from [Datas].
void CopyHeaderIntoRecord(const IniImage& image, SolutionRecord& record);

// The sign of every station row: +1 or -1 from its signed weight, then
// negated unless the ray keeps its polarity on the lower hemisphere ("A";
// "C" with the station deeper than the source; "D" leaving upward). A station
// whose label matches no channel gets Sign 0.
//
// The document's ReversePolarization and each channel's sensor Polarity are
// not applied here: they are already in the polarities written to the
// solver, so the signed weights it returns carry them, and applying them a
// second time would draw stations against the planes they were fitted to.
void ApplySignRules(const IniImage& image, SolutionRecord& record);

void MergeDocumentIntoRecord(const IniImage& image, SolutionRecord& record);

// The channel section a solution's station belongs to: the first of
// Channel001 .. Channel096 whose Nazwa is the station's label (or starts
// with it, the solver's files cutting labels to four characters); 0 when
// none does.
int MatchedChannelSection(const IniImage& image, const std::string& stationLabel);

// The sign rule of one matched station, shared with the legacy import.
// `sign` is +1 or -1; "D" stations need their Angle computed first.
double DisplaySign(double sign, const SolutionStation& station, const std::string& waveType, double sourceZ);

// "D" only comes from hand-edited or legacy files; it takes the direct-wave
// ray so that its Angle is known before the sign rule reads it.
void ComputeDirectRayIfD(SolutionStation& station, const SolutionRecord& record);

}  // namespace dyma
