// The export command: the solution of the active seismogram window, when its
// solution page is shown, written as the text report to a file the operator
// names.
#pragma once

namespace dyma::gui {

class TfmMain;

void ExportReport(TfmMain& main);

}  // namespace dyma::gui
