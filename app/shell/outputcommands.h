// The commands of the solver bridge and the output parts, plugged into the
// main window's command table: processing, import, export and printing.
#pragma once

#include "app/widgets/documentcommands.h"

namespace dyma::gui {

void AddSolverAndOutputCommands(DocumentCommands& commands);

}  // namespace dyma::gui
