#include "seismogramopen.h"

#include "app/document/projectfile.h"
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/sampletablename.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/messageboxes.h"
#include "app/shell/qtconvert.h"
#include "app/solver/processing.h"
#include "app/seismogram/signalfile.h"
#include "kelsig/signalprocessing.h"

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
    std::string withoutStation;
    try {
        auto table = std::make_unique<SampleTableName>(fm.Preferences().Directory(kTempDir), plan->signalFile);
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
        DiscardStaleWorkingFile(*plan);
        auto image = std::make_unique<IniImage>(plan->imageFile);
        window = std::make_unique<TfmSeismogram>(fm, plan->projectFile, plan->signalFile, std::move(image),
                                                 std::move(opened.signal), std::move(table));
    } catch (const std::exception& e) {
        // What the reader or the file system said, as the program's
        // standard error box would show it.
        messages.Warning(e.what());
        return nullptr;
    }
    if (!withoutStation.empty()) messages.Warning(withoutStation);

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
