// One tremor along the main road, offscreen: a synthetic tremor with a known
// mechanism is generated, its signal file opened through the open command,
// every onset picked through the seismogram window's own operations, the
// mechanism computed by the real NPFA.EXE through the processing command,
// and the result checked in the result window, in the saved and reopened
// project, in the exported report and on the printed PDF page.
#include "app/document/projectfile.h"
#include "app/results/formresult2.h"
#include "app/results/modalformprintpreview.h"
#include "app/results/solutionpanel.h"
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/seismogramopen.h"
#include "app/widgets/qtconvert.h"
#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "support/mainwindowfixture.h"
#include "support/pdftext.h"
#include "tools/exampletremor/exampletremor.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QTabWidget>
#include <QTest>

#include <cmath>
#include <filesystem>

using namespace dyma;
using namespace dyma::gui;

namespace {

double AngleDifference(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

// The larger of the three angle differences between a solved plane and a
// plane of the truth.
double PlaneDifference(double strike, double dip, double rake, const focal::Plane& p) {
    return std::max({AngleDifference(strike, p.strike), std::fabs(dip - p.dip), AngleDifference(rake, p.rake)});
}

// The solved pair against the true pair, in either order.
double PairDifference(const SolutionRecord& r, const example::Truth& t) {
    const double same = std::max(PlaneDifference(r.SA, r.DA, r.RA, t.planeA), PlaneDifference(r.SB, r.RB, r.DB, t.planeB));
    const double swapped =
        std::max(PlaneDifference(r.SA, r.DA, r.RA, t.planeB), PlaneDifference(r.SB, r.RB, r.DB, t.planeA));
    return std::min(same, swapped);
}

// A value label of the result window as a number ("123,4 ± 2,0 °").
double Shown(const TSolutionPanel& panel, const char* name) {
    const std::string text = panel.Value(name)->text().section(QChar(0x00B1), 0, 0).remove(QChar(0x00B0)).trimmed()
                                 .toStdString();
    return ParseNumber(text, LocaleDecimalSeparator());
}

struct Onset {
    int tag;  // the wave-type button: 0 direct, 1 upper seam, 2 lower seam
    double marker;
};

class EndToEnd : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MakeMainWindow();
        DocumentCommands commands;
        AddOpenCommands(commands);
        AddSolverAndOutputCommands(commands);
        fm->SetDocumentCommands(std::move(commands));
    }

    // Answers the next file dialog with `path`.
    static DialogRunner Choose(const std::string& path) {
        return [path](QDialog& d) {
            if (auto* files = dynamic_cast<QFileDialog*>(&d)) files->selectFile(QString::fromStdString(path));
            return int(QDialog::Accepted);
        };
    }

    TfmSeismogram* OnlySeismogram() const {
        const auto windows = Children<TfmSeismogram>();
        return windows.size() == 1 ? windows[0] : nullptr;
    }
};

}  // namespace

TEST_F(EndToEnd, OpenPickProcessSaveReopenExportPrint) {
    // The tremor, and the onsets its picks encode; then the project goes,
    // so the signal opens bare as a recorded one would.
    const std::string dir = work.File("wstrzas");
    const example::Truth truth = example::WriteExampleTremor(dir);
    const std::string signal = dir + "/" + example::kSignalFile, project = dir + "/" + example::kProjectFile;
    std::vector<Onset> onsets;
    {
        const IniImage encoded(project);
        for (int ident = 1; encoded.SectionExists(ChannelSection(ident)); ++ident) {
            const ChannelPick pick = ReadChannelPick(encoded, ident);
            const int tag = pick.WaveType == wave::kUpperSeam ? 1 : pick.WaveType == wave::kLowerSeam ? 2 : 0;
            onsets.push_back({tag, pick.MarkerPosition});
        }
    }
    ASSERT_GE(onsets.size(), 20u);
    std::filesystem::remove(project);

    // Open through the open command's dialog.
    {
        ScopedDialogRunner answer(Choose(signal));
        fm->Action("mOpenFile")->trigger();
    }
    TfmSeismogram* s = OnlySeismogram();
    ASSERT_NE(s, nullptr) << (recorded.warnings.empty() ? "" : recorded.warnings[0]);
    ASSERT_EQ(s->Channels().size(), onsets.size());

    // Pick every channel: wave type from the main window's buttons, the
    // marker at the onset, the next channel; then the location.
    s->FirstChannel();
    for (size_t k = 0; k < onsets.size(); ++k) {
        ASSERT_EQ(s->CurrentChannel(), int(k));
        fm->Picking().waveButtons[onsets[k].tag]->trigger();
        s->PlacePick(onsets[k].marker);
        s->NextChannel();
    }
    const char sep = LocaleDecimalSeparator();
    s->DataEdit("X")->setText(QString::fromStdString(FloatToStr(truth.X, sep)));
    s->DataEdit("Y")->setText(QString::fromStdString(FloatToStr(truth.Y, sep)));
    s->DataEdit("Z")->setText(QString::fromStdString(FloatToStr(truth.Z, sep)));
    s->RefreshPickList();
    fm->TimerTimer();
    ASSERT_TRUE(fm->Action("mDymaStart")->isEnabled());

    // Ctrl+Enter in the seismogram window: the real solver.
    QApplication::setActiveWindow(fm.get());
    s->setFocus();
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : s, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(recorded.warnings.empty()) << recorded.warnings[0];
    const auto results = Children<TfmResult2>();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0]->windowTitle(), "Rozwiązanie: tremor.mbj");
    const SolutionRecord& solved = *results[0]->Record();
    EXPECT_EQ(solved.StationCount, int(onsets.size()));
    // Clean first motions: the preferred mechanism explains every one of
    // them, lies near the truth, and its error box holds the truth.
    ASSERT_TRUE(solved.AcceptableSet.has_value()) << "the solver's quality file was read";
    EXPECT_EQ(solved.AcceptableSet->misfitCount, 0);
    EXPECT_LE(PairDifference(solved, truth), 15.0);
    auto inBox = [](double s, double d, double r, double se, double de, double re, const focal::Plane& p) {
        return AngleDifference(s, p.strike) <= se && std::fabs(d - p.dip) <= de && AngleDifference(r, p.rake) <= re;
    };
    EXPECT_TRUE(inBox(solved.SA, solved.DA, solved.RA, solved.SAB, solved.DAB, solved.RAB, truth.planeA) ||
                inBox(solved.SA, solved.DA, solved.RA, solved.SAB, solved.DAB, solved.RAB, truth.planeB) ||
                inBox(solved.SB, solved.RB, solved.DB, solved.SBB, solved.RBB, solved.DBB, truth.planeA) ||
                inBox(solved.SB, solved.RB, solved.DB, solved.SBB, solved.RBB, solved.DBB, truth.planeB));
    const TSolutionPanel& panel = results[0]->Panel1();
    SolutionRecord shown = solved;
    // The window's rows: strike, dip, rake of each plane (the label "DB"
    // is plane B's dip row, "RB" its rake row).
    for (auto [name, field] : {std::pair{"SA", &SolutionRecord::SA}, {"DA", &SolutionRecord::DA},
                               {"RA", &SolutionRecord::RA}, {"SB", &SolutionRecord::SB}, {"DB", &SolutionRecord::RB},
                               {"RB", &SolutionRecord::DB}})
        shown.*field = Shown(panel, name);
    for (auto field : {&SolutionRecord::SA, &SolutionRecord::DA, &SolutionRecord::RA, &SolutionRecord::SB,
                       &SolutionRecord::RB, &SolutionRecord::DB})
        EXPECT_LE(AngleDifference(shown.*field, solved.*field), 0.05) << "the window shows the solution to its one decimal";
    EXPECT_LE(AngleDifference(Shown(panel, "PTrend"), solved.PTrend), 0.05);
    EXPECT_LE(AngleDifference(Shown(panel, "TTrend"), solved.TTrend), 0.05);

    // The seismogram window shows the data page, has its solution page and
    // may export and print.
    EXPECT_EQ(s->Pages().currentIndex(), int(kPageData));
    EXPECT_TRUE(s->Pages().isTabVisible(kPageSolution));
    EXPECT_TRUE(s->Modified());
    EXPECT_TRUE(s->ResultShown());
    fm->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(s->parentWidget()));
    fm->TimerTimer();
    for (const char* name : {"mExport", "mPrint", "mSave"}) EXPECT_TRUE(fm->Action(name)->isEnabled()) << name;

    // Save, export, print.
    {
        ScopedDialogRunner answer(Choose(project));
        fm->Action("mSave")->trigger();
    }
    const std::string report = work.File("raport.txt");
    {
        ScopedDialogRunner answer(Choose(report));
        fm->Action("mExport")->trigger();
    }
    ASSERT_EQ(recorded.infos.size(), 1u);
    EXPECT_EQ(recorded.infos[0], "Plik " + report + " został pomyślnie wyeksportowany");
    const std::vector<std::string> reportLines = ReadTextLines(report);
    // The fixed layout, then the solver's quality block below it.
    ASSERT_GT(reportLines.size(), 48 + onsets.size());
    EXPECT_EQ(reportLines[48 + onsets.size() + 1], "JAKOŚĆ ROZWIĄZANIA:");
    EXPECT_EQ(reportLines[0], "PLIK WYNIKOWY PRZETWARZANIA PROGRAMU WinDYMA 1.5.0");
    EXPECT_EQ(reportLines[5], " Nazwa pliku przetwarzanego: tremor.mbj");
    EXPECT_EQ(reportLines[30], "  Bieg: " + FormatFloat("0.0", solved.SA, sep) + "° błąd: " +
                                   FormatFloat("0.0", solved.SAB, sep) + "°");

    const std::string pdf = work.File("wydruk.pdf");
    fm->Printer().setOutputFormat(QPrinter::PdfFormat);
    fm->Printer().setOutputFileName(QString::fromStdString(pdf));
    {
        ScopedDialogRunner answer([](QDialog&) { return int(QDialog::Accepted); });  // print dialog, then "Drukuj"
        fm->Action("mPrint")->trigger();
    }
    const std::string printed = test::PdfText(pdf);
    EXPECT_NE(printed.find("PLIK WYNIKOWY PRZETWARZANIA PROGRAMU WinDYMA 1.5.0"), std::string::npos) << printed;
    EXPECT_NE(printed.find("KONFIGURACJA SIECI SEJSMOMETRYCZNEJ:"), std::string::npos);
    EXPECT_TRUE(recorded.warnings.empty()) << recorded.warnings[0];

    // The saved project holds the solution and its stations.
    {
        const IniImage saved(project);
        EXPECT_TRUE(saved.ReadBool("Result", "Exists", false));
        EXPECT_EQ(saved.ReadInteger("Result", "StationCount", 0), long(onsets.size()));
        EXPECT_TRUE(saved.SectionExists(StationSection(0)));
        EXPECT_TRUE(saved.SectionExists(StationSection(int(onsets.size()) - 1)));
    }

    // Closed and opened again: the same solution, the report unchanged but
    // for its creation stamp.
    const SolutionRecord before = solved;
    for (QMdiSubWindow* sub : fm->MdiArea()->subWindowList()) sub->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(Children<TfmSeismogram>().empty());
    TfmSeismogram* reopened = OpenByFileName(*fm, QString::fromStdString(project));
    ASSERT_NE(reopened, nullptr) << (recorded.warnings.empty() ? "" : recorded.warnings[0]);
    ASSERT_NE(reopened->Solution(), nullptr);
    EXPECT_TRUE(reopened->ResultShown());
    const SolutionRecord& again = *reopened->Solution();
    EXPECT_EQ(again.StationCount, before.StationCount);
    for (double SolutionRecord::*field : {&SolutionRecord::SA, &SolutionRecord::DA, &SolutionRecord::RA,
                                          &SolutionRecord::SB, &SolutionRecord::RB, &SolutionRecord::DB,
                                          &SolutionRecord::PTrend, &SolutionRecord::TPlunge})
        EXPECT_NEAR(again.*field, before.*field, 1e-9);
    const std::string second = work.File("raport2.txt");
    fm->TimerTimer();
    ASSERT_TRUE(fm->Action("mExport")->isEnabled()) << "a reopened solution can be exported";
    {
        ScopedDialogRunner answer(Choose(second));
        fm->Action("mExport")->trigger();
    }
    std::vector<std::string> secondLines = ReadTextLines(second);
    ASSERT_EQ(secondLines.size(), reportLines.size());
    secondLines[4] = reportLines[4];
    EXPECT_EQ(secondLines, reportLines);
}
