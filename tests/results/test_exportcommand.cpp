// The export commands: the save dialog as prepared, the report written in
// code page 1250, the QuakeML document, the messages, and no export without
// a shown solution (nor a QuakeML one without the network's coordinate
// system).
#include "app/document/projectfile.h"
#include "common/cp1250.h"
#include "shell/fakeseismogram.h"
#include "support/mainwindowfixture.h"
#include "support/quakemldocument.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <filesystem>

using namespace dyma;
using namespace dyma::gui;

namespace {

class ExportTest : public test::MainWindowFixture {
protected:
    void SetUp() override { MakeMainWindow(); }

    test::FakeSeismogram& Seismogram(bool resultShown) {
        auto child = std::make_unique<test::FakeSeismogram>();
        child->solution.Exists = true;
        child->solution.SignalFileShort = "wstrzas.mbj";
        child->solution.SA = 123.4;
        child->solution.StationCount = 1;
        child->solution.stations[0].No = 3;
        child->solution.stations[0].Channel = "3Z";
        child->resultShown = resultShown;
        return Add(std::move(child));
    }

    // Runs the export, answering its dialog with `target` (empty: cancel).
    int Export(const std::string& target) { return RunExport(target, [this] { fm->Export(); }); }
    int ExportQuakeML(const std::string& target) { return RunExport(target, [this] { fm->ExportQuakeML(); }); }

    int RunExport(const std::string& target, const std::function<void()>& command) {
        int dialogs = 0;
        ScopedDialogRunner answer([&](QDialog& d) {
            ++dialogs;
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            title = dialog.windowTitle();
            directory = QDir::toNativeSeparators(dialog.directory().absolutePath());
            filter = dialog.nameFilters().value(0);
            suffix = dialog.defaultSuffix();
            if (target.empty()) return int(QDialog::Rejected);
            dialog.selectFile(QString::fromStdString(target));
            return int(QDialog::Accepted);
        });
        command();
        return dialogs;
    }

    // The network's coordinate system as the operator types it into the
    // preferences.
    void SetCoordinateSystem(const QString& system) {
        auto* edit = fm->Preferences().findChild<QLineEdit*>("NetworkCRS");
        ASSERT_NE(edit, nullptr);
        edit->setText(system);
    }

    // A solved document: the solution in its image, two picked channels.
    test::FakeSeismogram& Solved() {
        test::FakeSeismogram& child = Seismogram(true);
        SolutionRecord& r = child.solution;
        r.DA = 86, r.RA = -75, r.SB = 233.6, r.RB = 15.5, r.DB = -164.9;
        r.PTrend = 54.5, r.PPlunge = 46.9, r.TTrend = 205.3, r.TPlunge = 39.2;
        r.X = 1.2, r.Y = -0.8, r.Z = 0.95;
        r.stations[0].Weight = -1;
        r.stations[0].Sign = -1;
        r.stations[0].SinBet = 1;
        r.stations[0].CosAl = 1;
        child.image.WriteString("Channel001", "Nazwa", "3Z");
        child.image.WriteString("Channel001", "Name", "3");
        child.image.WriteString("Channel001", "Skladowa", "Z");
        child.image.WriteString("Channel001", "WaveType", "C");
        child.image.WriteString("Channel001", "MarkerPosition", "0.5");
        child.image.WriteString("Datas", "Date", "45365");
        child.image.WriteString("Datas", "Time", "0.25");
        SaveResult(r, child.image, '.');
        return child;
    }

    QString title, directory, filter, suffix;
};

}  // namespace

TEST_F(ExportTest, WritesTheReportAndSaysSo) {
    Seismogram(true);
    fm->TimerTimer();
    ASSERT_TRUE(fm->Action("mExport")->isEnabled());
    const std::string target = work.File("raport wstrząsu.txt");
    ASSERT_EQ(Export(target), 1);
    EXPECT_EQ(title, "Eksportowanie wyniku do pliku tekstowego");
    EXPECT_EQ(filter, "Tekstowy plik wynikowy (*.txt)");
    EXPECT_EQ(suffix, "txt");
    EXPECT_EQ(directory, Dir("Sejsmogramy"));

    ASSERT_EQ(recorded.infos.size(), 1u);
    EXPECT_EQ(recorded.infos[0], "Plik " + target + " został pomyślnie wyeksportowany");
    EXPECT_TRUE(recorded.warnings.empty());
    const std::string bytes = test::ReadAll(target);
    EXPECT_EQ(bytes.rfind(Utf8ToCp1250("PLIK WYNIKOWY PRZETWARZANIA PROGRAMU WinDYMA 1.5.0\r\n"), 0), 0u);
    EXPECT_NE(bytes.find(Utf8ToCp1250("  Bieg: 123")), std::string::npos);
    EXPECT_NE(bytes.find("\r\n03\t3Z\t"), std::string::npos);
}

TEST_F(ExportTest, AFileThatCannotBeWrittenGivesTheWarning) {
    Seismogram(true);
    // A folder where the file should go.
    const std::string target = work.File("raport.txt");
    std::filesystem::create_directories(target);
    Export(target);
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0], "Nie udało się zapisac tekstowego pliku wynikowego: " + target);
    EXPECT_TRUE(recorded.infos.empty());
}

TEST_F(ExportTest, NothingWithoutAShownSolutionOrWhenCancelled) {
    Seismogram(false);
    EXPECT_EQ(Export(work.File("a.txt")), 0);
    EXPECT_FALSE(std::filesystem::exists(work.File("a.txt")));

    Seismogram(true);
    EXPECT_EQ(Export(""), 1);
    EXPECT_TRUE(recorded.Silent());
}

TEST_F(ExportTest, QuakeMLIsOfferedBesideTheExportAndOnlyWithASolution) {
    QMenu* file = nullptr;
    for (QAction* a : fm->menuBar()->actions())
        if (a->text() == QStringLiteral("&Plik")) file = a->menu();
    ASSERT_NE(file, nullptr);
    const QList<QAction*> items = file->actions();
    const qsizetype at = items.indexOf(fm->Action("mExport"));
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, items.size());
    EXPECT_EQ(items[at + 1], fm->Action("mExportQuakeML"));
    EXPECT_EQ(items[at + 1]->text(), QStringLiteral("Eksportuj QuakeML"));

    fm->TimerTimer();
    EXPECT_FALSE(fm->Action("mExportQuakeML")->isEnabled()) << "no window";
    Seismogram(false);
    fm->TimerTimer();
    EXPECT_FALSE(fm->Action("mExportQuakeML")->isEnabled()) << "no shown solution";
    Solved();
    fm->TimerTimer();
    EXPECT_TRUE(fm->Action("mExportQuakeML")->isEnabled());
}

// Without the network's coordinate system (or with one that cannot place
// the source) the operator learns what is missing before any dialog, and
// nothing is written.
TEST_F(ExportTest, QuakeMLNeedsTheNetworksCoordinateSystem) {
    Solved();
    struct Case {
        QString system;
        const char* expected;
    };
    const Case cases[] = {
        {"", "Nie podano układu współrzędnych sieci"},
        {"EPSG:4326", "to nie jest układ płaski"},
        {"EPSG:2180", "poza obszarem jego stosowania"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.system.toStdString());
        recorded = {};
        SetCoordinateSystem(c.system);
        EXPECT_EQ(ExportQuakeML(work.File("q.xml")), 0);
        ASSERT_EQ(recorded.warnings.size(), 1u);
        EXPECT_NE(recorded.warnings[0].find(c.expected), std::string::npos) << recorded.warnings[0];
        EXPECT_NE(recorded.warnings[0].find("Nic nie zapisano."), std::string::npos) << recorded.warnings[0];
        EXPECT_FALSE(std::filesystem::exists(work.File("q.xml")));
    }
}

TEST_F(ExportTest, QuakeMLIsWrittenAndSaysSo) {
    Solved();
    SetCoordinateSystem("local:50.1,19.9,0");
    const std::string target = work.File("wstrząs.xml");
    ASSERT_EQ(ExportQuakeML(target), 1);
    EXPECT_EQ(title, "Eksportowanie rozwiązania do pliku QuakeML");
    EXPECT_EQ(filter, "Plik QuakeML (*.xml)");
    EXPECT_EQ(suffix, "xml");
    EXPECT_EQ(directory, Dir("Sejsmogramy"));
    ASSERT_EQ(recorded.infos.size(), 1u);
    EXPECT_EQ(recorded.infos[0], "Plik " + target + " został pomyślnie wyeksportowany");
    EXPECT_TRUE(recorded.warnings.empty());

    const std::string document = test::ReadAll(target);
    EXPECT_EQ(test::SchemaErrors(work, document), "");
    const auto e = test::Elements(document);
    const std::string mechanism = "quakeml/eventParameters/event/focalMechanism/";
    EXPECT_NEAR(test::One(e, mechanism + "nodalPlanes/nodalPlane1/strike/value"), 123.4, 1e-9);
    EXPECT_NEAR(test::One(e, mechanism + "principalAxes/pAxis/plunge/value"), 46.9, 1e-9);
    EXPECT_EQ(test::All(e, "quakeml/eventParameters/event/origin/time/value"),
              std::vector<std::string>{"2024-03-14T06:00:00.000000Z"});
    EXPECT_EQ(test::All(e, "quakeml/eventParameters/event/pick/time/value"),
              std::vector<std::string>{"2024-03-14T06:00:00.500000Z"});
    EXPECT_EQ(test::All(e, "quakeml/eventParameters/event/pick/polarity"), std::vector<std::string>{"negative"});
    EXPECT_EQ(test::All(e, "quakeml/eventParameters/event/pick/waveformID@stationCode"),
              std::vector<std::string>{"3"});
}
