// The export commands: the solution of the active seismogram window, when
// its solution page is shown, written to a file the operator names, as the
// text report or as a QuakeML document.
#pragma once

namespace dyma::gui {

class TfmMain;

void ExportReport(TfmMain& main);

// Needs the network's coordinate system (the preferences): without it, or
// with one that cannot convert the source, the operator is told what is
// missing and nothing is written.
void ExportQuakeML(TfmMain& main);

}  // namespace dyma::gui
