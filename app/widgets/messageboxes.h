// Message boxes and modal dialogs of the program.
//
// Every modal dialog runs through RunModal and every message box through
// Messages(), so a widget test can answer a dialog or record a message
// instead of blocking on a window nobody will ever close.
#pragma once

#include "common/usermessages.h"

#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace dyma::gui {

inline constexpr char kWarningTitle[] = "Ostrzeżenie";
inline constexpr char kInformationTitle[] = "Informacja";
inline constexpr char kQuestionTitle[] = "Pytanie";

// exec() of the dialog, or what the test's runner answers.
int RunModal(QDialog& dialog);

using DialogRunner = std::function<int(QDialog&)>;
class ScopedDialogRunner {
public:
    explicit ScopedDialogRunner(DialogRunner runner);
    ~ScopedDialogRunner();
    ScopedDialogRunner(const ScopedDialogRunner&) = delete;
    ScopedDialogRunner& operator=(const ScopedDialogRunner&) = delete;

private:
    DialogRunner previous_;
};

// Real message boxes: Polish titles, Polish buttons, on top of the active
// window.
class QtUserMessages : public UserMessages {
public:
    void Warning(const std::string& text) override;
    void Information(const std::string& text) override;
    bool Question(const std::string& text) override;
    // "Zapisz" (the default), "Nie zapisuj", "Anuluj" (also Escape and the
    // box's close button).
    SaveChoice AskToSave(const std::string& text) override;
    // "+", "-" and "Anuluj" (also Escape and the box's close button).
    PolarityChoice AskPolarity(const std::string& text) override;
};

// The messages of the running program (message boxes unless a test put its
// own in place).
UserMessages& Messages();

class ScopedMessages {
public:
    explicit ScopedMessages(UserMessages& messages);
    ~ScopedMessages();
    ScopedMessages(const ScopedMessages&) = delete;
    ScopedMessages& operator=(const ScopedMessages&) = delete;

private:
    UserMessages* previous_;
};

// Shorthands for window code.
inline void ShowWarning(const QString& text) { Messages().Warning(text.toStdString()); }
inline void ShowInformation(const QString& text) { Messages().Information(text.toStdString()); }
inline bool AskQuestion(const QString& text) { return Messages().Question(text.toStdString()); }

}  // namespace dyma::gui
