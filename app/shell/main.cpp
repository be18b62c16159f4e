// Dyma2: the splash screen, then the main window with the preferences dialog
// and the processing box, then the event loop until the main window closes.
#include "app/seismogram/seismogramopen.h"
#include "app/shell/dymaapplication.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/outputcommands.h"
#include "app/shell/splash.h"
#include "app/widgets/icons.h"

#include <QDir>
#include <QTimer>

int main(int argc, char** argv) {
    using namespace dyma::gui;
    TDymaApplication app(argc, argv);
    app.setWindowIcon(ApplicationIcon());

    ShowSplashScreen();

    // The help pages live beside the program.
    app.Help().SetHelpDirectory(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help")));

    TfmMain fmMain;
    DocumentCommands commands;
    AddOpenCommands(commands);
    AddSolverAndOutputCommands(commands);
    fmMain.SetDocumentCommands(std::move(commands));
    fmMain.showMaximized();

    // A project the desktop asked us to open goes the way of the open
    // command, once the event loop runs.
    const QStringList files = CommandLineFiles(app.arguments());
    if (!files.isEmpty() && !fmMain.TerminateRequested()) {
        QTimer::singleShot(0, &fmMain, [&fmMain, files] {
            for (const QString& file : files) fmMain.OpenByFileName(file);
        });
    }
    return app.exec();
}
