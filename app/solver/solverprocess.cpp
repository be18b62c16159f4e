#include "solverprocess.h"

#include "app/document/tremordocument.h"
#include "app/solver/resultfile.h"
#include "common/numberformat.h"
#include "common/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace dyma {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string ResultPath(const SolverRunOptions& o) { return o.workDirectory + "/NPF.RES"; }

// solverExited must be taken before the file is read: a file read while
// the solver still ran may be cut inside its last field.
bool ResultIsComplete(const SolverRunOptions& o, bool solverExited) {
    const std::string path = ResultPath(o);
    if (!FileExists(path)) return false;
    return ResultIsComplete(LoadResultText(path), o.decimalSeparator, solverExited);
}

// Runs the event loop for up to `ms`, returning early when the process ends.
void WaitWithEvents(QProcess& process, int ms) {
    if (process.state() == QProcess::NotRunning) return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec();
}

void PauseWithEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The last non-empty lines of the solver's listing, where it says why it
// stopped.
std::string ListingTail(const SolverRunOptions& o) {
    try {
        const auto lines = ReadTextLines(o.workDirectory + "/NPF.PNY");
        std::string tail;
        int taken = 0;
        for (auto it = lines.rbegin(); it != lines.rend() && taken < 3; ++it) {
            const std::string t = Trim(*it);
            if (t.empty()) continue;
            tail = tail.empty() ? t : t + " " + tail;
            ++taken;
        }
        return tail;
    } catch (const std::exception&) {
        return {};
    }
}

// Ends the solver and everything it started: it runs as the leader of a
// process group of its own (a wrapper script's programs, an emulator and
// their children are in it too), and the whole group is asked to end, then
// killed. On Windows only the solver itself is ended.
void Stop(QProcess& process, qint64 group) {
#ifndef _WIN32
    if (group > 0) ::kill(-static_cast<pid_t>(group), SIGTERM);
#endif
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        process.waitForFinished(1000);
    }
#ifndef _WIN32
    if (group > 0) ::kill(-static_cast<pid_t>(group), SIGKILL);
#endif
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(3000);
    }
}

}  // namespace

std::string SolverStartFailedMessage() {
    return "Proces przetwarzania nie został uruchomiony z powodu błędu wewnętrznego w programie";
}

std::string SolverTimedOutMessage() { return "Krytyczny błąd przetwarzania. Skontaktuj się z autorem programu."; }

SolverRunResult RunSolver(const SolverRunOptions& o) {
    SolverRunResult result;

    // An NPF.RES left from an earlier run would be taken for this run's
    // answer; it must be gone before the solver starts.
    QElapsedTimer stale;
    stale.start();
    while (FileExists(ResultPath(o))) {
        if (stale.elapsed() >= o.staleResultTimeoutMs) {
            result.status = SolverRunStatus::StaleResultFile;
            result.message = "Nie można usunąć starego pliku wyników " + ResultPath(o) +
                             ". Przetwarzanie nie zostało rozpoczęte.";
            return result;
        }
        PauseWithEvents(100);
    }

    QProcess process;
    process.setWorkingDirectory(Q(o.workDirectory));
    process.setProgram(Q(o.executable));
    process.setArguments({});
    if (o.debugMode) {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
    } else {
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setProcessChannelMode(QProcess::SeparateChannels);
    }
#ifndef _WIN32
    process.setChildProcessModifier([] {
        // A process group of its own, so that ending the solver ends what it
        // started as well; idle priority, so that it does not slow the
        // operator's work (its children inherit both). Not a session of its
        // own: where the scheduler groups processes by session, the idle
        // priority counts only against the program's own session.
        ::setpgid(0, 0);
        ::setpriority(PRIO_PROCESS, 0, 19);
    });
#else
    // Idle priority; without the debug mode no console window, with it a
    // console of the solver's own.
    const bool debugMode = o.debugMode;
    process.setCreateProcessArgumentsModifier([debugMode](QProcess::CreateProcessArguments* arguments) {
        arguments->flags |= IDLE_PRIORITY_CLASS | (debugMode ? CREATE_NEW_CONSOLE : CREATE_NO_WINDOW);
    });
#endif
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(10000)) {
        result.status = SolverRunStatus::StartFailed;
        result.message = SolverStartFailedMessage();
        return result;
    }
    // Known while the solver runs; the group outlives it when it leaves
    // children behind.
    const qint64 group = process.processId();

    int budget = o.waitBudget;
    std::string errorText;
    for (;;) {
        if (o.onWait) o.onWait();
        QCoreApplication::processEvents();
        WaitWithEvents(process, o.waitMilliseconds);
        QCoreApplication::processEvents();
        if (!o.debugMode) errorText += process.readAllStandardError().toStdString();
        const bool exited = process.state() == QProcess::NotRunning;
        if (ResultIsComplete(o, exited)) {
            result.status = SolverRunStatus::Completed;
            break;
        }
        if (exited) {
            result.status = SolverRunStatus::EndedWithoutResult;
            break;
        }
        if (--budget <= 0) {
            result.status = SolverRunStatus::TimedOut;
            result.message = SolverTimedOutMessage();
            break;
        }
    }

    Stop(process, group);
    QCoreApplication::processEvents();
    if (!o.debugMode) errorText += process.readAllStandardError().toStdString();
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;

    if (result.status == SolverRunStatus::EndedWithoutResult) {
        std::string reason = Trim(errorText);
        if (reason.empty()) reason = ListingTail(o);
        if (reason.empty()) reason = "kod wyjścia " + std::to_string(result.exitCode);
        result.solverReason = reason;
        result.message = "Program NPFA.EXE zakończył pracę bez pełnego pliku wyników NPF.RES: " + reason;
    }
    return result;
}

}  // namespace dyma
