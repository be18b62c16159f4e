#include "outputcommands.h"

#include "app/results/exportcommand.h"
#include "app/results/modalformprintpreview.h"
#include "app/solver/importcommand.h"
#include "app/solver/processingcommand.h"

namespace dyma::gui {

void AddSolverAndOutputCommands(DocumentCommands& commands) {
    commands.startProcessing = [](TfmMain& main) { StartProcessing(main); };
    commands.import = [](TfmMain& main) { ImportLegacyFiles(main); };
    commands.exportReport = [](TfmMain& main) { ExportReport(main); };
    commands.exportQuakeML = [](TfmMain& main) { ExportQuakeML(main); };
    commands.printSolution = [](TfmMain& main, SolutionRecord& record, QPrinter& printer) {
        PreviewAndPrint(main, record, printer);
    };
}

}  // namespace dyma::gui
