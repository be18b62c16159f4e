// The application object of Dyma2: Qt's own dialogs in Polish, the help of
// the program, and the one place where an exception that escapes an event
// handler ends up: its text is shown in a warning box and the program goes
// on with the next event.
#pragma once

#include "app/widgets/helpsystem.h"

#include <QApplication>
#include <QTranslator>

#include <memory>

namespace dyma::gui {

class TDymaApplication : public QApplication {
public:
    TDymaApplication(int& argc, char** argv);
    ~TDymaApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    HelpSystem& Help() { return *help_; }
    // Whether Qt's Polish translation was found (qt6-translations-l10n).
    bool PolishLoaded() const { return polishLoaded_; }

private:
    QTranslator qtPolish_;
    bool polishLoaded_ = false;
    // Destroyed before the QApplication part, so the help viewer window goes
    // while the application still exists.
    std::unique_ptr<HelpSystem> help_;
};

// Shows the text of an exception that no handler caught.
void ShowExceptionText(const QString& text);

// The file names given on the command line (the desktop passes the project
// that was double-clicked), as absolute paths; the program's own name and
// empty arguments are left out.
QStringList CommandLineFiles(const QStringList& arguments);

}  // namespace dyma::gui
