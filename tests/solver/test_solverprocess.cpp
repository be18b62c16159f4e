// The solver run with stand-in solvers: small shell scripts named NPFA.EXE
// that behave like a good solver, a slow one, a broken one and a hung one.
#include "app/solver/solverprocess.h"
#include "common/textfile.h"
#include "solver/resbuilder.h"
#include "support/processes.h"
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

    bool SolverStillRunning() const { return Running("pid"); }
    bool Running(const char* file) const { return test::ProcessRunning(dir_.File(file)); }

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

// A solver that writes NPF.RES in pieces and pauses with the file cut
// inside a field of its last two lines: the file is taken only once its
// last line is ended, never the cut value ("3" of "39.2").
TEST_F(SolverRun, AResultCutInsideAFieldIsNotTakenWhileTheSolverWrites) {
    test::ResSolution solution;
    solution.rbb = 16;  // every field at least two characters wide
    solution.dbb = 21;
    solution.tplunge = 39.2;
    const std::vector<std::string> lines = test::ResLines({{1, "12Z", 1, 2, 0.1, 45, 90, 1.0}}, solution);
    const std::string whole = JoinLinesCrLf(lines);
    // The columns of the solution line and of the error line.
    const std::vector<std::pair<size_t, size_t>> solutionFields = {
        {1, 7}, {8, 14}, {15, 22}, {23, 30}, {31, 40}, {41, 48}, {49, 56}, {63, 68}, {73, 78}};
    const std::vector<std::pair<size_t, size_t>> errorFields = {
        {10, 14}, {18, 22}, {26, 30}, {36, 40}, {46, 48}, {54, 56}, {63, 68}, {73, 78}};
    const size_t errorLine = lines.size() - 1;
    const size_t errorStart = whole.size() - lines[errorLine].size() - 2;
    const size_t solutionStart = errorStart - lines[errorLine - 1].size() - 2;
    std::vector<size_t> cuts;  // after the first character of every field
    for (const auto& [start, fields] : {std::pair{solutionStart, solutionFields}, std::pair{errorStart, errorFields}})
        for (const auto& [first, last] : fields) {
            const size_t at = whole.find_first_not_of(' ', start + first - 1);
            ASSERT_LT(at, start + last - 1) << "a field of one character cannot be cut inside";
            cuts.push_back(at + 1);
        }
    ASSERT_EQ(cuts.size(), 17u);
    for (const size_t cut : cuts) {
        SCOPED_TRACE("cut after byte " + std::to_string(cut) + ": ..." + whole.substr(cut - 6, 6));
        std::filesystem::remove(dir_.File("NPF.RES"));
        test::TempDir pieces;
        pieces.Write("head", whole.substr(0, cut));
        pieces.Write("tail", whole.substr(cut));
        Solver("cat '" + pieces.File("head") + "' > NPF.RES\nsleep 0.3\ncat '" + pieces.File("tail") +
               "' >> NPF.RES\nsleep 30");
        const SolverRunResult r = RunSolver(Options(400, 50));
        EXPECT_EQ(r.status, SolverRunStatus::Completed);
        EXPECT_EQ(test::ReadAll(dir_.File("NPF.RES")), whole) << "the whole file was taken";
    }
}

// Whatever ends the run, nothing the solver started is left: a wrapper
// script's programs, and one that ignores the request to end.
TEST_F(SolverRun, NoChildOfTheSolverOutlivesTheRun) {
    // A run that ends by itself gets a long budget: under a loaded machine
    // an idle-priority script may wait long for its turn.
    struct Case {
        const char* what;
        std::string body;
        SolverRunStatus status;
    };
    const Case cases[] = {
        {"hung, with a child", "sleep 60 &\necho $! > \"$HERE/child\"\nsleep 60", SolverRunStatus::TimedOut},
        {"answers, then lingers with a child",
         "sleep 60 &\necho $! > \"$HERE/child\"\ncp complete.res NPF.RES\nsleep 60", SolverRunStatus::Completed},
        {"ends, leaving a child behind", "sleep 60 &\necho $! > \"$HERE/child\"\nexit 2",
         SolverRunStatus::EndedWithoutResult},
        {"a child that ignores the request to end",
         "sh -c 'trap \"\" TERM; echo $$ > \"$0/child\"; while :; do sleep 1; done' \"$HERE\" &\nsleep 60",
         SolverRunStatus::TimedOut},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(dir_.File("child"));
        std::filesystem::remove(dir_.File("NPF.RES"));
        Solver(c.body);
        const bool hangs = c.status == SolverRunStatus::TimedOut;
        const SolverRunResult r = RunSolver(Options(hangs ? 10 : 200, 100));
        EXPECT_EQ(r.status, c.status);
        ASSERT_TRUE(std::filesystem::exists(dir_.File("child")));
        EXPECT_FALSE(SolverStillRunning());
        EXPECT_FALSE(Running("child")) << "the solver's child is gone";
    }
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
    Solver("sleep 60 &\necho $! > \"$HERE/child\"\nwait");
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    const SolverRunResult r = RunSolver(Options(3, 100));
    EXPECT_EQ(r.status, SolverRunStatus::TimedOut);
    EXPECT_EQ(r.message, "Krytyczny błąd przetwarzania. Skontaktuj się z autorem programu.");
    EXPECT_FALSE(SolverStillRunning());
    EXPECT_FALSE(Running("child")) << "what the solver started is gone too";
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
