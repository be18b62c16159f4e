#include "seismogramopen.h"

#include "app/document/projectfile.h"
#include "app/document/projectlock.h"
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/sampletablename.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/messageboxes.h"
#include "app/shell/qtconvert.h"
#include "app/solver/processing.h"
#include "app/seismogram/signalfile.h"
#include "common/textfile.h"
#include "kelsig/signalprocessing.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace dyma::gui {

namespace {

// The names the window works with: absolute, without "." and ".." steps,
// with the platform's separators (the open-file list compares their
// canonical form).
std::string ListedName(const std::string& path) {
    if (path.empty()) return path;
    return S(QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(Q(path)).absoluteFilePath())));
}

// The processing box stays up exactly as long as the reader runs (and
// goes before a dialog asks the operator something).
class ProcessingShown {
public:
    explicit ProcessingShown(TfmProcessing& box) : box_(box) { box_.ShowProcessing(QStringLiteral("Przetwarzanie")); }
    ~ProcessingShown() { Hide(); }
    ProcessingShown(const ProcessingShown&) = delete;
    ProcessingShown& operator=(const ProcessingShown&) = delete;
    void Hide() {
        if (shown_) box_.HideProcessing();
        shown_ = false;
    }

private:
    TfmProcessing& box_;
    bool shown_ = true;
};

// A miniSEED record without a station table beside it: the operator may
// name one; cancelling opens the record without coordinates.
std::string ChooseStationTable(TfmMain& fm, const std::string& signalFile) {
    QFileDialog dialog(&fm, QStringLiteral("Wybierz tabelę stacji dla pliku ") + Q(FileNamePart(signalFile)),
                       Q(DirectoryPart(signalFile)));
    dialog.setObjectName("StationTableDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Tabela stacji (*.csv *.CSV)"), QStringLiteral("Wszystkie pliki (*)")});
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return S(QDir::toNativeSeparators(dialog.selectedFiles().first()));
}

}  // namespace

void OpenFile(TfmMain& fm) {
    QFileDialog dialog(&fm, QStringLiteral("Otwórz plik"), Q(fm.Preferences().Directory(kSeismogramDir)));
    dialog.setObjectName("LoadDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The district's files come from Windows workstations with upper-case
    // extensions as often as lower-case ones.
    // miniSEED records are known by their contents, and archive names often
    // have no extension: the last filter shows every file.
    dialog.setNameFilters({QStringLiteral("Pliki programu Dyma (*.mbi *.min *.mbj *.dym *.mseed *.msd *.MBI *.MIN *.MBJ "
                                          "*.DYM *.MSEED *.MSD)"),
                           QStringLiteral("Pliki sygnałów (*.mbi *.min *.mbj *.MBI *.MIN *.MBJ)"),
                           QStringLiteral("Pliki miniSEED (*.mseed *.miniseed *.msd *.ms *.MSEED *.MINISEED *.MSD *.MS)"),
                           QStringLiteral("Plik programu Dyma (*.dym *.DYM)"),
                           QStringLiteral("Wszystkie pliki (*)")});
    if (RunModal(dialog) != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return;
    OpenByFileName(fm, QDir::toNativeSeparators(chosen.first()));
}

TfmSeismogram* OpenByFileName(TfmMain& fm, const QString& path) {
    UserMessages& messages = Messages();
    // The sample table and the new document's name go into this run's own
    // folder of the temporary directory.
    std::string runDirectory;
    try {
        runDirectory = fm.RunDirectory();
    } catch (const std::exception& e) {
        messages.Warning(e.what());
        return nullptr;
    }
    const std::string chosen = path.isEmpty() ? std::string() : ListedName(S(path));
    std::optional<OpenPlan> plan = PlanOpen(chosen, runDirectory, messages);
    if (!plan) return nullptr;
    plan->projectFile = ListedName(plan->projectFile);
    plan->signalFile = ListedName(plan->signalFile);

    // Checked before anything is read: a second window on the same document
    // must not even touch the first one's files. The list compares the
    // files themselves, however they were reached.
    if (fm.IsFileOpen(plan->projectFile) || fm.IsFileOpen(plan->signalFile)) {
        messages.Warning("Nie można przetwarzać dwóch takich samych dokumentów");
        return nullptr;
    }
    // Another program (a second copy of this one) may have it open.
    auto lock = std::make_unique<ProjectLock>(plan->projectFile);
    if (lock->HeldElsewhere()) {
        messages.Warning(lock->InUseText() + " Nie można go otworzyć po raz drugi.");
        return nullptr;
    }
    // What a save killed half-way left beside the project.
    if (plan->projectExists && lock->GetState() == ProjectLock::State::Held) RemoveStaleTemporaries(plan->projectFile);

    std::unique_ptr<TfmSeismogram> window;
    std::string withoutStation;
    try {
        auto table = std::make_unique<SampleTableName>(runDirectory, plan->signalFile);
        OpenedSignal opened;
        // The whole record is read, whatever share MBIPercentLoaded names:
        // the late arrivals of distant stations lie at its end, and the
        // reader takes a long record in well under a second.
        {
            ProcessingShown box(fm.Processing());
            StationTableChoice stations;
            stations.choose = [&](const std::string& signalFile) {
                box.Hide();
                return ChooseStationTable(fm, signalFile);
            };
            opened = OpenSignalFile(plan->signalFile, table->Path(), stations);
        }
        withoutStation = WithoutStationMessage(opened);
        // A new document starts empty: nothing is read from, or written to,
        // its name in the temporary directory before it is saved somewhere.
        auto image = plan->projectExists ? std::make_unique<IniImage>(plan->imageFile)
                                         : std::make_unique<IniImage>(IniImage::FromText("", plan->imageFile));
        window = std::make_unique<TfmSeismogram>(fm, plan->projectFile, plan->signalFile, std::move(image),
                                                 std::move(opened.signal), std::move(table), std::move(lock));
    } catch (const std::exception& e) {
        // What the reader or the file system said, as the program's
        // standard error box would show it.
        messages.Warning(e.what());
        return nullptr;
    }
    if (!withoutStation.empty()) messages.Warning(withoutStation);

    window->ListOpenFiles();
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
