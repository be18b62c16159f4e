// Widget tests of the main window's commands: a TfmMain on settings that
// point every directory into the test's folder, with the solver, import,
// export and print commands plugged in as the program does.
#pragma once

#include "app/settings/modalformpreferences.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/outputcommands.h"
#include "support/guiapp.h"
#include "support/testdirectories.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <memory>
#include <string>

namespace dyma::test {

class MainWindowFixture : public GuiTest {
protected:
    void TearDown() override { fm.reset(); }

    // `programDirectory` holds the help pages and the solver's "repository".
    void MakeMainWindow(const std::string& programDirectory = DYMA_PROGRAM_DIR) {
        QSettings key = Key();
        WriteTestDirectories(key, work.Path().string());
        fm = std::make_unique<gui::TfmMain>(programDirectory);
        gui::DocumentCommands commands;
        gui::AddSolverAndOutputCommands(commands);
        fm->SetDocumentCommands(std::move(commands));
        fm->show();
        QApplication::processEvents();
        fm->TimerTimer();
    }

    QString Dir(const char* name) const { return QString::fromStdString(work.File(name)); }
    std::string TempDirectory() const { return work.File("Temp"); }
    std::string SeismogramDirectory() const { return work.File("Sejsmogramy"); }

    template <class Window>
    Window& Add(std::unique_ptr<Window> child) {
        Window& ref = *child;
        fm->AddChild(std::move(child));
        fm->TimerTimer();
        return ref;
    }

    // The MDI children whose widget is a `Window`, in creation order.
    template <class Window>
    std::vector<Window*> Children() const {
        std::vector<Window*> out;
        for (QMdiSubWindow* sub : fm->MdiArea()->subWindowList())
            if (auto* w = dynamic_cast<Window*>(sub->widget())) out.push_back(w);
        return out;
    }

    std::unique_ptr<gui::TfmMain> fm;
};

}  // namespace dyma::test
