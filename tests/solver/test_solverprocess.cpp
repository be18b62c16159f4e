// The solver run with stand-in solvers: small shell scripts named NPFA.EXE
// that behave like a good solver, a slow one, a broken one and a hung one.
#include "app/solver/solverprocess.h"
#include "common/textfile.h"
#include "solver/resbuilder.h"
#include "support/tempdir.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

using namespace dyma;

namespace {

int argc = 1;
char arg0[] = "test_solverprocess";
char* argv[] = {arg0, nullptr};
QCoreApplication& App() {
    static QCoreApplication app(argc, argv);
    return app;
}

class SolverRun : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        WriteTextLines(dir_.File("complete.res"), test::ResLines({{1, "12Z", 1, 2, 0.1, 45, 90, 1.0}}));
    }

    // A stand-in solver; $HERE is its working directory.
    void Solver(const std::string& body) {
        const std::string path = dir_.File("NPFA.EXE");
        std::ofstream(path) << "#!/bin/sh\nHERE=$(pwd)\necho $$ > \"$HERE/pid\"\n" << body << "\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }

    SolverRunOptions Options(int budget = 20, int waitMs = 100) const {
        SolverRunOptions o;
        o.workDirectory = dir_.Path().string();
        o.executable = dir_.File("NPFA.EXE");
        o.waitBudget = budget;
        o.waitMilliseconds = waitMs;
        o.staleResultTimeoutMs = 300;
        o.decimalSeparator = '.';
        return o;
    }

    bool SolverStillRunning() const {
        const std::string pid = Trim(test::ReadAll(dir_.File("pid")));
        return !pid.empty() && ::kill(std::stoi(pid), 0) == 0;
    }

    test::TempDir dir_;
};

}  // namespace

TEST_F(SolverRun, ASolverThatAnswersAtOnceIsTakenInTheFirstPass) {
    Solver("cp complete.res NPF.RES.part && mv NPF.RES.part NPF.RES");
    int waits = 0;
    // A long step: the wait ends as soon as the solver does, and an idle-
    // priority shell on a busy machine may take more than 100 ms to start.
    SolverRunOptions o = Options(20, 5000);
    o.onWait = [&] { ++waits; };
    const SolverRunResult r = RunSolver(o);
    EXPECT_EQ(r.status, SolverRunStatus::Completed);
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(waits, 1);
}

TEST_F(SolverRun, AHalfWrittenResultIsNotTakenWhileTheSolverWrites) {
    // the first half of the file, a pause, then the rest; then it lingers
    Solver("head -n 8 complete.res > NPF.RES\nsleep 1\ncat complete.res > NPF.RES\nsleep 30");
    const SolverRunResult r = RunSolver(Options(40, 100));
    EXPECT_EQ(r.status, SolverRunStatus::Completed);
    EXPECT_FALSE(SolverStillRunning()) << "the solver is terminated after the result is taken";
}

TEST_F(SolverRun, ASolverEndingWithoutResultGivesItsOwnReason) {
    Solver("echo 'Za mało polaryzacji: 4 (potrzeba co najmniej 6).' >&2\nexit 3");
    const SolverRunResult r = RunSolver(Options());
    EXPECT_EQ(r.status, SolverRunStatus::EndedWithoutResult);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.solverReason, "Za mało polaryzacji: 4 (potrzeba co najmniej 6).");
    EXPECT_NE(r.message.find(r.solverReason), std::string::npos);

    Solver("printf 'NPFA\\n\\nB\\263\\271d: brak pliku NPF.NET\\n' > NPF.PNY\nexit 1");  // the listing is code page 1250
    EXPECT_EQ(RunSolver(Options()).solverReason, "NPFA Błąd: brak pliku NPF.NET");
}

TEST_F(SolverRun, AHungSolverUsesUpItsBudgetAndIsTerminated) {
    Solver("sleep 60");
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    const SolverRunResult r = RunSolver(Options(3, 100));
    EXPECT_EQ(r.status, SolverRunStatus::TimedOut);
    EXPECT_EQ(r.message, "Krytyczny błąd przetwarzania. Skontaktuj się z autorem programu.");
    EXPECT_FALSE(SolverStillRunning());
    EXPECT_GE(ticks, 5) << "events are processed while waiting";
}

TEST_F(SolverRun, MissingSolverAndStaleResultFile) {
    SolverRunResult r = RunSolver(Options());
    EXPECT_EQ(r.status, SolverRunStatus::StartFailed);
    EXPECT_EQ(r.message, "Proces przetwarzania nie został uruchomiony z powodu błędu wewnętrznego w programie");

    Solver("true");
    std::filesystem::copy_file(dir_.File("complete.res"), dir_.File("NPF.RES"));
    r = RunSolver(Options());
    EXPECT_EQ(r.status, SolverRunStatus::StaleResultFile);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("pid"))) << "the solver was not started";
}

TEST_F(SolverRun, TheSolverRunsAtIdlePriorityInItsDirectory) {
    Solver("ps -o ni= -p $$ | tr -d ' ' > nice\npwd > where\ncp complete.res NPF.RES");
    ASSERT_EQ(RunSolver(Options()).status, SolverRunStatus::Completed);
    EXPECT_EQ(Trim(test::ReadAll(dir_.File("nice"))), "19");
    EXPECT_EQ(std::filesystem::canonical(Trim(test::ReadAll(dir_.File("where")))),
              std::filesystem::canonical(dir_.Path()));
}
