// The commands whose work lives in the document, solver and output parts of
// the program, as the start-up plugs them into the main window. Each part
// adds its own (the open commands, the solver and output commands), so the
// main window does not depend on those parts.
#pragma once

#include <functional>

class QPrinter;
class QString;

namespace dyma {
struct SolutionRecord;
}

namespace dyma::gui {

class MainWindowLink;

// A command without its part does nothing (its menu item and button stay in
// place).
struct DocumentCommands {
    std::function<void(MainWindowLink&)> openFile;                               // OpenFile: dialog and open
    std::function<void(MainWindowLink&, const QString&)> openByFileName;  // the command line, the desktop
    std::function<void(MainWindowLink&)> exportReport;                    // Export
    std::function<void(MainWindowLink&)> exportQuakeML;                   // ExportQuakeML
    std::function<void(MainWindowLink&)> import;                          // Import
    std::function<void(MainWindowLink&)> startProcessing;                 // mDymaStartClick
    // After the print dialog was confirmed: preview and print the solution.
    std::function<void(MainWindowLink&, SolutionRecord&, QPrinter&)> printSolution;
};

}  // namespace dyma::gui
