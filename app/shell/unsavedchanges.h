// The question before a document with unsaved changes is closed, one piece
// for every place that closes one: its window, "Zakończ", the window
// manager's close of the main window and the end of the desktop session.
// The operator chooses "Zapisz" (the default), "Nie zapisuj" or "Anuluj";
// "Anuluj" keeps the document open and changes nothing.
#pragma once

#include <functional>
#include <string>

namespace dyma::gui {

// "Dokument <name> został zmodyfikowany. Czy zapisać zmiany?"
std::string UnsavedChangesQuestion(const std::string& documentName);

// Whether the document may close. One without changes closes at once.
// Otherwise the question: "Zapisz" runs `save` (the program's save command
// for that document, which may show its dialog) and allows the close only
// when the document was saved; "Nie zapisuj" allows it; "Anuluj" does not.
bool ConfirmUnsavedChanges(bool modified, const std::string& documentName, const std::function<bool()>& save);

}  // namespace dyma::gui
