// The import command (Ctrl+I, "Importuj"): the result of files of the older
// DYMA program, shown in a result window without a project document. Either
// a pick file (DAT) with the result file the solver made from it (RES), or a
// pick file with the network file (NET), on which the solver is run.
#pragma once

#include "app/solver/processingcommand.h"

namespace dyma::gui {

class MainWindowLink;

void ImportLegacyFiles(MainWindowLink& main, const SolverLimits& limits = {});

}  // namespace dyma::gui
