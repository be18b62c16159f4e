#include "dymaapplication.h"

#include "common/product.h"
#include "helpviewer.h"
#include "messageboxes.h"
#include "registration.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>

#include <exception>
#include <stdexcept>

namespace dyma::gui {

TDymaApplication::TDymaApplication(int& argc, char** argv)
    : QApplication(argc, argv), help_(std::make_unique<HelpSystem>()) {
    // Organisation and name as in the settings key Software\Quarnet\Dyma, so
    // the user's data folder is .../Quarnet/Dyma. The application title
    // "WinDyma" is the name of the desktop entry (a display name set here
    // would be appended to every window caption on Linux).
    setOrganizationName(QStringLiteral("Quarnet"));
    setApplicationName(QStringLiteral("Dyma"));
    setApplicationVersion(QString::fromUtf8(kVersionString));
    setDesktopFileName(QString::fromUtf8(kDesktopEntryId));
    // The file, colour and print dialogs are Qt's; their texts come from
    // Qt's own Polish catalogue.
    polishLoaded_ = qtPolish_.load(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (polishLoaded_) installTranslator(&qtPolish_);
}

TDymaApplication::~TDymaApplication() = default;

bool TDymaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowExceptionText(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowExceptionText(QStringLiteral("Nieznany błąd programu."));
    }
    return false;
}

void ShowExceptionText(const QString& text) {
    // A failure while showing the box must not start a second one.
    static bool showing = false;
    if (showing) return;
    showing = true;
    try {
        ShowWarning(text);
    } catch (...) {
    }
    showing = false;
}

QStringList CommandLineFiles(const QStringList& arguments) {
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i].isEmpty()) continue;
        files << QDir::toNativeSeparators(QFileInfo(arguments[i]).absoluteFilePath());
    }
    return files;
}

void CloseApplicationHelp() {
    auto* app = dynamic_cast<TDymaApplication*>(QCoreApplication::instance());
    if (!app) return;
    if (TfmHelpViewer* viewer = app->Help().Viewer()) viewer->close();
}

HelpSystem& ApplicationHelp() {
    auto* app = dynamic_cast<TDymaApplication*>(QCoreApplication::instance());
    if (!app) throw std::logic_error("Brak obiektu aplikacji WinDYMA.");
    return app->Help();
}

}  // namespace dyma::gui
