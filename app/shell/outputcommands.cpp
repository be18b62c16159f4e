#include "outputcommands.h"

#include "app/results/exportcommand.h"
#include "app/results/modalformprintpreview.h"
#include "app/solver/importcommand.h"
#include "app/solver/processingcommand.h"

namespace dyma::gui {

void AddSolverAndOutputCommands(DocumentCommands& commands) {
    commands.startProcessing = [](MainWindowLink& main) { StartProcessing(main); };
    commands.import = [](MainWindowLink& main) { ImportLegacyFiles(main); };
    commands.exportReport = [](MainWindowLink& main) { ExportReport(main); };
    commands.exportQuakeML = [](MainWindowLink& main) { ExportQuakeML(main); };
    commands.printSolution = [](MainWindowLink& main, SolutionRecord& record, QPrinter& printer) {
        PreviewAndPrint(main, record, printer);
    };
}

}  // namespace dyma::gui
