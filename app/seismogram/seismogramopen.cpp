#include "seismogramopen.h"

#include "app/document/projectfile.h"
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/sampletablename.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/messageboxes.h"
#include "app/shell/qtconvert.h"
#include "app/solver/processing.h"
#include "lgsig/lgsig.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace dyma::gui {

namespace {

// The names the open-file list compares exactly: absolute, without "." and
// ".." steps, with the platform's separators.
std::string ListedName(const std::string& path) {
    if (path.empty()) return path;
    return S(QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(Q(path)).absoluteFilePath())));
}

// The processing box stays up exactly as long as the reader runs.
class ProcessingShown {
public:
    explicit ProcessingShown(TfmProcessing& box) : box_(box) { box_.ShowProcessing(QStringLiteral("Przetwarzanie")); }
    ~ProcessingShown() { box_.HideProcessing(); }
    ProcessingShown(const ProcessingShown&) = delete;
    ProcessingShown& operator=(const ProcessingShown&) = delete;

private:
    TfmProcessing& box_;
};

}  // namespace

void OpenFile(TfmMain& fm) {
    QFileDialog dialog(&fm, QStringLiteral("Otwórz plik"), Q(fm.Preferences().Directory(kSeismogramDir)));
    dialog.setObjectName("LoadDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The district's files come from Windows workstations with upper-case
    // extensions as often as lower-case ones.
    dialog.setNameFilters({QStringLiteral("Pliki programu Dyma (*.mbi *.min *.mbj *.dym *.MBI *.MIN *.MBJ *.DYM)"),
                           QStringLiteral("Pliki sygnałów (*.mbi *.min *.mbj *.MBI *.MIN *.MBJ)"),
                           QStringLiteral("Plik programu Dyma (*.dym *.DYM)")});
    if (RunModal(dialog) != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return;
    OpenByFileName(fm, QDir::toNativeSeparators(chosen.first()));
}

TfmSeismogram* OpenByFileName(TfmMain& fm, const QString& path) {
    UserMessages& messages = Messages();
    const std::string chosen = path.isEmpty() ? std::string() : ListedName(S(path));
    std::optional<OpenPlan> plan = PlanOpen(chosen, fm.Preferences().Directory(kTempDir), messages);
    if (!plan) return nullptr;
    plan->projectFile = ListedName(plan->projectFile);
    plan->signalFile = ListedName(plan->signalFile);

    // Checked before anything is read: a second window on the same document
    // must not even clear the first one's working file.
    if (fm.IsFileOpen(plan->projectFile) || fm.IsFileOpen(plan->signalFile)) {
        messages.Warning("Nie można przetwarzać dwóch takich samych dokumentów");
        return nullptr;
    }

    std::unique_ptr<TfmSeismogram> window;
    try {
        auto table = std::make_unique<SampleTableName>(fm.Preferences().Directory(kTempDir), plan->signalFile);
        std::unique_ptr<Kelo::signalprocessing> signal;
        // The whole record is read, whatever share MBIPercentLoaded names:
        // the late arrivals of distant stations lie at its end, and the
        // reader takes a long record in well under a second.
        {
            const ProcessingShown box(fm.Processing());
            signal = std::make_unique<Quarnet::lgsig>(plan->signalFile, table->Path());
        }
        DiscardStaleWorkingFile(*plan);
        auto image = std::make_unique<IniImage>(plan->imageFile);
        window = std::make_unique<TfmSeismogram>(fm, plan->projectFile, plan->signalFile, std::move(image),
                                                 std::move(signal), std::move(table));
    } catch (const std::exception& e) {
        // What the reader or the file system said, as the program's
        // standard error box would show it.
        messages.Warning(e.what());
        return nullptr;
    }

    fm.AddOpenFile(plan->projectFile);
    fm.AddOpenFile(plan->signalFile);
    TfmSeismogram* shown = window.get();
    fm.AddChild(std::move(window));
    // The processing box had the focus; the operator goes on in the new
    // window.
    fm.activateWindow();
    shown->setFocus(Qt::OtherFocusReason);
    return shown;
}

void AddOpenCommands(DocumentCommands& commands) {
    commands.openFile = [](TfmMain& fm) { OpenFile(fm); };
    commands.openByFileName = [](TfmMain& fm, const QString& path) { OpenByFileName(fm, path); };
}

}  // namespace dyma::gui
