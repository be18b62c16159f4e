#include "processingcommand.h"

#include "app/results/formresult2.h"
#include "app/results/solutionpanel.h"
#include "app/settings/modalformpreferences.h"
#include "app/solver/processing.h"
#include "app/solver/resultfile.h"
#include "app/solver/solverfiles.h"
#include "app/solver/solverresult.h"
#include "app/solver/workdirectory.h"
#include "app/widgets/mainwindowlink.h"
#include "app/widgets/messageboxes.h"
#include "app/widgets/qtconvert.h"
#include "app/widgets/seismogramchild.h"
#include "common/product.h"

#include <QCoreApplication>
#include <QPointer>

namespace dyma::gui {

namespace {

bool solverRunning = false;

// Marks a solver run for its whole length, also when it ends by an
// exception.
class RunningMark {
public:
    RunningMark() { solverRunning = true; }
    ~RunningMark() { solverRunning = false; }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;
};

// Hides the processing box however the wait ends.
class ShownProcessingBox {
public:
    explicit ShownProcessingBox(TfmProcessing& box) : box_(box) {
        box_.ShowProcessing(QStringLiteral("Przetwarzanie..."), QString::fromUtf8(kProductDisplay));
    }
    ~ShownProcessingBox() { box_.HideProcessing(); }
    ShownProcessingBox(const ShownProcessingBox&) = delete;
    ShownProcessingBox& operator=(const ShownProcessingBox&) = delete;

private:
    TfmProcessing& box_;
};

// The solver works in this run's own folder of the temporary directory.
std::string TemporaryDirectory(MainWindowLink& main) { return main.RunDirectory(); }

std::string IncompleteResultMessage(const std::string& path) {
    return "Plik wyników " + path + " jest niekompletny. Rozwiązanie nie zostało zapisane.";
}

}  // namespace

bool SolverRunning() { return solverRunning; }

bool PrepareSolverDirectory(MainWindowLink& main) {
    // A directory that must not be emptied is not a place to run the solver
    // in either: its old NPF.RES would stay.
    if (!main.CleanTemporaryDirectory()) return false;
    std::string directory;
    try {
        directory = TemporaryDirectory(main);
    } catch (const std::exception& e) {
        Messages().Warning(e.what());
        return false;
    }
    if (!PlaceSolverExecutable(main.Preferences().Directory(kRepositoryDir), directory)) {
        Messages().Warning(SolverCopyFailedMessage());
        return false;
    }
    return true;
}

SolverRunResult RunSolverInProcessingBox(MainWindowLink& main, const SolverLimits& limits) {
    const RunningMark running;
    const std::string directory = TemporaryDirectory(main);
    SolverRunOptions options;
    options.workDirectory = directory;
    options.executable = SolverPath(directory, kSolverExecutable);
    options.debugMode = GlobalFlags().DebugMode;
    options.waitBudget = limits.waitBudget;
    options.waitMilliseconds = limits.waitMilliseconds;
    options.staleResultTimeoutMs = limits.staleResultTimeoutMs;
    options.decimalSeparator = LocaleDecimalSeparator();

    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    const ShownProcessingBox box(main.Processing());
    return RunSolver(options);
}

TfmResult2& OpenResultWindow(MainWindowLink& main, std::unique_ptr<SolutionRecord> record, const QString& caption) {
    auto window = std::make_unique<TfmResult2>();
    window->setWindowTitle(caption);
    window->SetSolution(std::move(record), LocaleDecimalSeparator());
    window->LeftPanel().SetImageDirectory(Q(main.Preferences().Directory(kOutputDir)));
    TfmResult2& shown = *window;
    main.AddChild(std::move(window));
    return shown;
}

void StartProcessing(MainWindowLink& main, const SolverLimits& limits) {
    // One run at a time: a second one would empty the directory the first
    // solver works in.
    if (SolverRunning()) return;
    SeismogramChild* seismogram = main.ActiveSeismogram();
    if (!seismogram) return;
    // The operator may close the window while the solver runs.
    const QPointer<QWidget> window = main.ActiveChild();

    const char separator = LocaleDecimalSeparator();
    const SolverInput input = seismogram->ProcessingInput();
    if (!CheckLocation(input.page, main.Preferences().Values().WarningLocation, separator, Messages())) return;
    if (!PrepareSolverDirectory(main)) return;
    const std::string directory = TemporaryDirectory(main);
    // A value that does not convert ends the command here, before the
    // solver starts, in the program's error box.
    WriteInputFiles(seismogram->DocumentImage(), input, main.Preferences().Values(), directory, separator);

    const SolverRunResult run = RunSolverInProcessingBox(main, limits);
    if (run.status != SolverRunStatus::Completed) {
        Messages().Warning(run.message);
        return;
    }
    if (!window) return;

    // The settings as they are now: the operator may have changed the
    // geological model while the solver ran, as with any later command.
    const std::string resultFile = SolverPath(directory, kResFile);
    auto record = std::make_unique<SolutionRecord>();
    if (!TakeSolverResult(LoadResultLines(resultFile), seismogram->DocumentImage(), main.Preferences().Values(),
                          separator, *record, LoadQualityLines(resultFile))) {
        Messages().Warning(IncompleteResultMessage(resultFile));
        return;
    }
    seismogram->SolutionStored();
    const QString caption = QStringLiteral("Rozwiązanie: ") + Q(record->SignalFileShort);
    OpenResultWindow(main, std::move(record), caption);
}

}  // namespace dyma::gui
