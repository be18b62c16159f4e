// The open command: the open dialog for signal files (".mbi", ".min",
// ".mbj", miniSEED records of any name) and project files (".dym"), with a
// dialog for a miniSEED record's station table when none lies beside it,
// and the opening of a file by its name
// (the dialog's choice, the command line, the desktop): the checks of the
// project file, the reader with the processing box "Przetwarzanie", the
// document image, the duplicate check and the seismogram window.
#pragma once

#include <QString>

namespace dyma::gui {

struct DocumentCommands;
class TfmMain;
class TfmSeismogram;

// The open dialog, then OpenByFileName on the chosen file.
void OpenFile(TfmMain& fm);

// Opens the file and shows its window, or gives the warning and returns
// null when it cannot be opened.
TfmSeismogram* OpenByFileName(TfmMain& fm, const QString& path);

// Plugs the open command (and with it the files named on the command line)
// into the main window's commands.
void AddOpenCommands(DocumentCommands& commands);

}  // namespace dyma::gui
