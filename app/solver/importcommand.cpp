#include "importcommand.h"

#include "app/results/formresult2.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/messageboxes.h"
#include "app/shell/qtconvert.h"
#include "app/solver/legacyimport.h"
#include "app/solver/modalformimport.h"
#include "app/solver/resultfile.h"
#include "app/solver/solverfiles.h"
#include "app/solver/solverresult.h"
#include "common/textfile.h"

#include <QDir>
#include <QFileDialog>

#include <optional>
#include <stdexcept>

namespace dyma::gui {

namespace {

// One of the two file steps; nothing when the operator cancels.
std::optional<std::string> ChooseFile(TfmMain& main, const QString& title, const QString& filter) {
    QFileDialog dialog(&main, title, Q(main.Preferences().Directory(kSeismogramDir)));
    dialog.setObjectName("LoadDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    if (RunModal(dialog) != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    return S(QDir::toNativeSeparators(chosen.first()));
}

// The solver on the prepared DAT and the NET in the temporary directory;
// the NPF.DAT written there, or nothing after a warning.
std::optional<std::string> SolveLegacyFiles(TfmMain& main, std::vector<std::string>& dat,
                                            const std::vector<std::string>& net, const SolverLimits& limits) {
    if (!PrepareLegacyFiles(dat, net, Messages())) return std::nullopt;
    if (!PrepareSolverDirectory(main)) return std::nullopt;
    const std::string directory = main.RunDirectory();
    WriteLegacyInputFiles(directory, dat, net);
    const SolverRunResult run = RunSolverInProcessingBox(main, limits);
    if (run.status != SolverRunStatus::Completed) {
        Messages().Warning(run.message);
        return std::nullopt;
    }
    return SolverPath(directory, kDatFile);
}

void Import(TfmMain& main, const SolverLimits& limits) {
    TfmImport dialog(&main);
    if (RunModal(dialog) != QDialog::Accepted) return;
    const bool withResult = dialog.Selected() == TfmImport::Choice::DatAndRes;

    const std::optional<std::string> datFile = ChooseFile(main, QStringLiteral("Importowanie pliku (Krok 1)"),
                                                          QStringLiteral("Plik programu DYMA (*.dat)"));
    if (!datFile) return;
    std::vector<std::string> dat = ReadTextLines(*datFile);

    const std::optional<std::string> secondFile =
        withResult ? ChooseFile(main, QStringLiteral("Importowanie pliku (Krok 2)"),
                                QStringLiteral("Plik rozwiązania programu DYMA (*.res)"))
                   : ChooseFile(main, QStringLiteral("Importowanie pliku (Krok 2)"),
                                QStringLiteral("Plik konfiguracji sieci sejsmometrycznej DYMA (*.net)"));
    if (!secondFile) return;
    const std::vector<std::string> second = ReadTextLines(*secondFile);

    std::vector<std::string> res;
    std::string caption;
    if (withResult) {
        res = second;
        caption = *secondFile;
    } else {
        const std::optional<std::string> solved = SolveLegacyFiles(main, dat, second, limits);
        if (!solved) return;
        caption = *solved;
        res = LoadResultLines(SolverPath(main.RunDirectory(), kResFile));
    }

    // A RES without its whole layout is shown as far as it was read.
    auto record = std::make_unique<SolutionRecord>();
    TakeLegacyResult(res, dat, main.Preferences().Values(), LocaleDecimalSeparator(), *record);
    OpenResultWindow(main, std::move(record), Q(caption));
}

}  // namespace

void ImportLegacyFiles(TfmMain& main, const SolverLimits& limits) {
    if (SolverRunning()) return;
    // Unreadable files, numbers that do not convert and the like end the
    // import with their text in a warning.
    try {
        Import(main, limits);
    } catch (const std::exception& e) {
        Messages().Warning(e.what());
    }
}

}  // namespace dyma::gui
