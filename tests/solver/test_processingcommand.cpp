// The processing command and the legacy import in the main window, with
// stand-in solvers that the tests write as NPFA.EXE into the program's
// repository: one that answers, one that writes its result in steps, one
// that never answers, one that gives up at once, and none at all.
#include "app/results/formresult2.h"
#include "app/results/solutionpanel.h"
#include "app/settings/settings.h"
#include "app/solver/importcommand.h"
#include "app/solver/modalformimport.h"
#include "app/solver/processing.h"
#include "app/solver/processingcommand.h"
#include "common/textfile.h"
#include "shell/fakeseismogram.h"
#include "solver/resbuilder.h"
#include "support/mainwindowfixture.h"
#include "support/processes.h"

#include <QFileDialog>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <fstream>

using namespace dyma;
using namespace dyma::gui;

namespace {

constexpr SolverLimits kShort{4, 100, 300};

std::vector<PickRow> Rows(int count) {
    std::vector<PickRow> rows;
    for (int i = 0; i < count; ++i) {
        PickRow r;
        r.Ident = i + 1;
        r.Name = std::to_string(i + 1);
        r.Skladowa = "Z";
        r.WaveType = "C";
        r.FirstArrival = i % 2 ? "+" : "-";
        r.Wage = 1.0;
        r.MarkerPosition = 1.5 + 0.01 * i;
        rows.push_back(r);
    }
    return rows;
}

std::vector<NetStation> Stations(int count) {
    std::vector<NetStation> out;
    for (int i = 0; i < count; ++i) out.push_back({std::to_string(i + 1), "Z", 1000.0 * i, 500.0 - 100 * i, -700});
    return out;
}

class ProcessingTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        std::filesystem::create_directories(program.Path() / "repository");
        WriteTextLines(work.File("complete.res"),
                       test::ResLines({{1, "1Z", 0, 0, 0.7, 45, 90, 1.0}, {2, "2Z", 1, 0.5, 0.7, 60, 180, 0}}));
        MakeMainWindow(program.Path().string());
    }

    // NPFA.EXE in the repository; it notes its process id beside the test.
    void Solver(const std::string& body) {
        const std::string path = (program.Path() / "repository" / "NPFA.EXE").string();
        std::ofstream(path) << "#!/bin/sh\necho $$ > '" << work.File("pid") << "'\nRES='" << work.File("complete.res")
                            << "'\n"
                            << body << "\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }

    bool SolverStillRunning() const {
        const std::string pid = Trim(test::ReadAll(work.File("pid")));
        return !pid.empty() && ::kill(std::stoi(pid), 0) == 0;
    }

    test::FakeSeismogram& Seismogram(const std::string& x = "4200") {
        auto child = std::make_unique<test::FakeSeismogram>();
        child->input.page.X = x;
        child->input.page.Y = "-1350";
        child->input.page.Z = "-700";
        child->input.signal.SignalFile = "/data/wstrzasy/wstrzas 7.mbj";
        child->input.rows = Rows(12);
        child->input.stations = Stations(12);
        return Add(std::move(child));
    }

    // Counts timer ticks while the command runs: the interface is alive
    // when they keep coming.
    template <class Command>
    int TicksDuring(Command command) {
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(20);
        command();
        return ticks;
    }

    // The solver works in the run's own folder of the temporary directory.
    std::string Temp(const char* name) const { return fm->RunDirectory() + "/" + name; }

    test::TempDir program;
};

}  // namespace

TEST_F(ProcessingTest, ASolverThatAnswersGivesTheResultWindowAndTheStoredSolution) {
    Solver("cp \"$RES\" NPF.RES");
    test::FakeSeismogram& s = Seismogram();
    // Leftovers of an earlier run go before the solver starts.
    std::filesystem::copy_file(work.File("complete.res"), Temp("NPF.RES"));
    fm->mDymaStartClick();  // the program's own limits

    EXPECT_TRUE(recorded.Silent()) << (recorded.warnings.empty() ? "" : recorded.warnings[0]);
    const auto results = Children<TfmResult2>();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0]->windowTitle(), "Rozwiązanie: wstrzas 7.mbj");
    EXPECT_TRUE(results[0]->Panel1().Value("SA")->text().startsWith("123")) << results[0]->Panel1().Value("SA")->text().toStdString();
    ASSERT_NE(results[0]->Record(), nullptr);
    EXPECT_NEAR(results[0]->Record()->SA, 123.4, 1e-9);
    EXPECT_EQ(results[0]->Record()->StationCount, 2);
    EXPECT_EQ(s.calls.back(), "SolutionStored");
    EXPECT_TRUE(s.image.ReadBool("Result", "Exists", false));
    EXPECT_EQ(s.image.ReadString("Station000", "Channel", ""), "1Z");
    EXPECT_EQ(s.image.ReadString("DATStringList", "0", ""), "WinDYMA");
    for (const char* f : {"NPFA.EXE", "NPF.DAT", "NPF.NET", "NPF.PAR", "NPF.RES"})
        EXPECT_TRUE(std::filesystem::exists(Temp(f))) << f;
    EXPECT_FALSE(fm->Processing().isVisible());
    EXPECT_FALSE(SolverStillRunning());
}

TEST_F(ProcessingTest, AResultWrittenInStepsIsTakenWhenWholeAndTheSolverIsTerminated) {
    Solver("head -n 8 \"$RES\" > NPF.RES\nsleep 1\ncat \"$RES\" > NPF.RES\nsleep 30");
    test::FakeSeismogram& s = Seismogram();
    QString boxText, boxCaption;
    QTimer::singleShot(300, [&] {
        boxText = fm->Processing().Text();
        boxCaption = fm->Processing().windowTitle();
    });
    const int ticks = TicksDuring([&] { StartProcessing(*fm, {40, 100, 300}); });
    EXPECT_EQ(boxText, "Przetwarzanie...");
    EXPECT_EQ(boxCaption, "WinDYMA 1.5.0");
    EXPECT_GE(ticks, 20) << "events keep being processed while the solver runs";
    EXPECT_TRUE(recorded.Silent());
    EXPECT_EQ(Children<TfmResult2>().size(), 1u);
    EXPECT_EQ(s.calls.back(), "SolutionStored");
    EXPECT_FALSE(SolverStillRunning());
}

TEST_F(ProcessingTest, TheFailureTable) {
    struct Case {
        const char* name;
        const char* solver;  // nullptr: no repository copy at all
        std::string message;
    };
    const Case cases[] = {
        // The waiting is done by a child of the script, as in a wrapper.
        {"never answers", "sleep 60 &\necho $! > \"$RES.child\"\nwait",
         "Krytyczny błąd przetwarzania. Skontaktuj się z autorem programu."},
        {"gives up at once", "echo 'Za mało polaryzacji: 3.' >&2\nexit 2",
         "Program NPFA.EXE zakończył pracę bez pełnego pliku wyników NPF.RES: Za mało polaryzacji: 3."},
        {"missing repository copy", nullptr,
         "Program nie mógł skopiować pliku NPFA.EXE. Przetwarzanie nie będzie możliwe."},
    };
    test::FakeSeismogram& s = Seismogram();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(program.Path() / "repository" / "NPFA.EXE");
        std::filesystem::remove(work.File("pid"));
        std::filesystem::remove(work.File("complete.res.child"));
        if (c.solver) Solver(c.solver);
        // Something of an earlier run in the temporary folder, and a file
        // that is not the program's.
        std::ofstream(Temp("NPF.RES")) << "x";
        std::ofstream(Temp("NPF.PNY")) << "x";
        std::ofstream(Temp("stary.txt")) << "x";
        recorded.warnings.clear();
        s.calls.clear();

        const int ticks = TicksDuring([&] { StartProcessing(*fm, kShort); });
        ASSERT_EQ(recorded.warnings.size(), 1u);
        EXPECT_EQ(recorded.warnings[0], c.message);
        EXPECT_TRUE(Children<TfmResult2>().empty());
        EXPECT_EQ(s.calls, std::vector<std::string>{"ProcessingInput"}) << "the document gets no solution";
        EXPECT_FALSE(s.image.SectionExists("Result"));
        EXPECT_FALSE(SolverStillRunning()) << "no solver is left behind";
        EXPECT_FALSE(test::ProcessRunning(work.File("complete.res.child"))) << "nor anything it started";
        EXPECT_FALSE(std::filesystem::exists(Temp("NPF.RES"))) << "the program's files went first";
        EXPECT_FALSE(std::filesystem::exists(Temp("NPF.PNY"))) << "the program's files went first";
        EXPECT_TRUE(std::filesystem::exists(Temp("stary.txt"))) << "a file the program did not write stays";
        EXPECT_FALSE(fm->Processing().isVisible());
        if (c.message == SolverTimedOutMessage()) EXPECT_GE(ticks, 10) << "the interface stays alive while it waits";
    }
}

TEST_F(ProcessingTest, LocationQuestionNoAndAWindowClosedWhileTheSolverRuns) {
    Solver("sleep 0.4\ncp \"$RES\" NPF.RES");
    test::FakeSeismogram& s = Seismogram("0");
    recorded.answer = false;
    StartProcessing(*fm, kShort);
    ASSERT_EQ(recorded.questions.size(), 1u);
    EXPECT_EQ(recorded.questions[0].rfind("Wydaje się, że nie została wprowadzona poprawna lokalizacja", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(Temp("NPF.DAT"))) << "No ends the command before any file";
    EXPECT_FALSE(std::filesystem::exists(work.File("pid")));

    // Yes goes on; the window goes away while the solver works, and a
    // second command meanwhile does nothing.
    recorded.answer = true;
    int nested = 0;
    QTimer::singleShot(150, [&] {
        StartProcessing(*fm, kShort);
        ++nested;
        fm->MdiArea()->currentSubWindow()->close();
    });
    StartProcessing(*fm, {20, 100, 300});
    EXPECT_EQ(nested, 1);
    EXPECT_TRUE(Children<test::FakeSeismogram>().empty());
    EXPECT_TRUE(Children<TfmResult2>().empty()) << "no result for a document that is gone";
    EXPECT_TRUE(recorded.warnings.empty());
    EXPECT_FALSE(SolverStillRunning());
    (void)s;
}

// ---- the legacy import

namespace {

class ImportTest : public ProcessingTest {
protected:
    void SetUp() override {
        ProcessingTest::SetUp();
        DataPageValues page;
        page.X = "4200", page.Y = "-1350", page.Z = "-700";
        datLines = BuildDat(page, Rows(12), {}, '.');
        datLines.push_back("#### koniec");
        datLines.push_back("1Z   C + 1.0       0.0");
        dat = work.Write("stary.dat", "");
        WriteTextLines(dat, datLines);
        res = work.File("stary.res");
        WriteTextLines(res, test::ResLines({{1, "1Z", 0, 0, 0.7, 45, 90, 1.0}, {2, "2Z", 1, 0.5, 0.7, 60, 180, 1.0}}));
    }
    void Net(int withoutLast) {
        Settings settings;
        std::vector<NetStation> stations = Stations(12 - withoutLast);
        net = work.File("siec.net");
        WriteTextLines(net, BuildNet(settings, stations, '.'));
    }

    // Answers the import dialog and the two file steps; an empty name
    // cancels that step.
    void Import(TfmImport::Choice choice, const std::string& first, const std::string& second) {
        steps.clear();
        ScopedDialogRunner answer([&, choice](QDialog& d) {
            if (auto* dialog = dynamic_cast<TfmImport*>(&d)) {
                steps.push_back({dialog->windowTitle(), dialog->DatAndNetButton()->isChecked() ? "NET" : "RES"});
                dialog->Select(choice);
                return int(QDialog::Accepted);
            }
            auto& files = dynamic_cast<QFileDialog&>(d);
            steps.push_back({files.windowTitle(), files.nameFilters().value(0),
                             QDir::toNativeSeparators(files.directory().absolutePath())});
            const std::string& name = steps.size() == 2 ? first : second;
            if (name.empty()) return int(QDialog::Rejected);
            files.selectFile(QString::fromStdString(name));
            return int(QDialog::Accepted);
        });
        ImportLegacyFiles(*fm, kShort);
    }

    std::vector<std::string> datLines;
    std::string dat, res, net;
    std::vector<QStringList> steps;
};

}  // namespace

TEST_F(ImportTest, DatAndResShowsTheResultCaptionedWithTheResFile) {
    Import(TfmImport::Choice::DatAndRes, dat, res);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0], (QStringList{"Importowanie", "NET"})) << "DAT and NET is preselected";
    EXPECT_EQ(steps[1], (QStringList{"Importowanie pliku (Krok 1)", "Plik programu DYMA (*.dat)", Dir("Sejsmogramy")}));
    EXPECT_EQ(steps[2],
              (QStringList{"Importowanie pliku (Krok 2)", "Plik rozwiązania programu DYMA (*.res)", Dir("Sejsmogramy")}));
    EXPECT_TRUE(recorded.Silent());
    const auto results = Children<TfmResult2>();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0]->windowTitle().toStdString(), res);
    const SolutionRecord& r = *results[0]->Record();
    EXPECT_NEAR(r.X, 4.2, 1e-9) << "the DAT's kilometres";
    EXPECT_NEAR(r.Z, 0.7, 1e-9);
    EXPECT_EQ(r.stations[0].Type, "C");
    EXPECT_FALSE(std::filesystem::exists(work.File("pid"))) << "no solver for DAT and RES";
}

TEST_F(ImportTest, DatAndNetRunsTheSolverWithTheMissingChannelsWarning) {
    Solver("cp \"$RES\" NPF.RES");
    Net(2);
    Import(TfmImport::Choice::DatAndNet, dat, net);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[2], (QStringList{"Importowanie pliku (Krok 2)",
                                     "Plik konfiguracji sieci sejsmometrycznej DYMA (*.net)", Dir("Sejsmogramy")}));
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0], "W pliku NET brak informacji o niektórych kanałach pomiarowych: 11Z 12Z. Kanały te "
                                    "zostaną zignorowane w przetwarzaniu.");
    const auto results = Children<TfmResult2>();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0]->windowTitle().toStdString(), Temp("NPF.DAT"));
    EXPECT_EQ(ReadTextLines(Temp("NPF.NET")), ReadTextLines(net)) << "the NET goes to the solver unchanged";
    const std::vector<std::string> written = ReadTextLines(Temp("NPF.DAT"));
    EXPECT_EQ(written.size(), 14u) << "the trailer is cut, the missing channels stay";
    EXPECT_FALSE(SolverStillRunning());
}

TEST_F(ImportTest, TooFewChannelsSolverFailuresAndCancelledSteps) {
    Solver("cp \"$RES\" NPF.RES");
    Net(4);
    Import(TfmImport::Choice::DatAndNet, dat, net);
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0], "W pliku NET brak informacji o niektórych kanałach pomiarowych: 9Z 10Z 11Z 12Z. "
                                    "Pozostała ilość kanałów jest za mała do rozpoczęcia przetwarzania. ");
    EXPECT_FALSE(std::filesystem::exists(work.File("pid")));

    Net(0);
    Solver("sleep 60");
    recorded.warnings.clear();
    Import(TfmImport::Choice::DatAndNet, dat, net);
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0], "Krytyczny błąd przetwarzania. Skontaktuj się z autorem programu.");
    EXPECT_FALSE(SolverStillRunning());

    recorded.warnings.clear();
    Import(TfmImport::Choice::DatAndRes, work.File("brak.dat"), res);
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0].rfind("Nie można otworzyć pliku ", 0), 0u) << recorded.warnings[0];

    recorded.warnings.clear();
    Import(TfmImport::Choice::DatAndRes, dat, "");
    EXPECT_EQ(steps.size(), 3u);
    Import(TfmImport::Choice::DatAndRes, "", res);
    EXPECT_EQ(steps.size(), 2u) << "a cancelled first step ends the command";
    EXPECT_TRUE(Children<TfmResult2>().empty());
    EXPECT_TRUE(recorded.warnings.empty());
}
