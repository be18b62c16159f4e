#include "unsavedchanges.h"

#include "messageboxes.h"

namespace dyma::gui {

std::string UnsavedChangesQuestion(const std::string& documentName) {
    return "Dokument " + documentName + " został zmodyfikowany. Czy zapisać zmiany?";
}

bool ConfirmUnsavedChanges(bool modified, const std::string& documentName, const std::function<bool()>& save) {
    if (!modified) return true;
    switch (Messages().AskToSave(UnsavedChangesQuestion(documentName))) {
    case SaveChoice::Save: return save && save();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: break;
    }
    return false;
}

}  // namespace dyma::gui
