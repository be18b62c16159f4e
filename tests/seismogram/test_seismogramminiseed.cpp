// The seismogram window on miniSEED records written by libmseed: opened by
// their contents with their station table, a channel without a station
// reported and inactive, a filled gap tinted on the trace, the station
// table asked for when none lies beside the record, and a project made on
// a record reopening with it.
#include "seismogramfixture.h"

#include "app/seismogram/stationtable.h"
#include "kelsig/signalprocessing.h"
#include "tools/mseedgen/mseedgen.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QTabWidget>
#include <QTreeWidget>

using namespace dyma;
using namespace dyma::gui;
using namespace dyma::test;

namespace {

const std::int64_t kStart = mseedgen::Time(2024, 3, 14, 7, 42, 16, 0);
constexpr double kRate = 500;

std::vector<double> Wave(int count, double amplitude) {
    std::vector<double> v;
    for (int i = 0; i < count; ++i) v.push_back(std::round(amplitude * std::sin(0.05 * i) + 0.01 * amplitude * i));
    return v;
}

class MiniSeedWindow : public SeismogramTest {
protected:
    // Three streams of 5 s; the first has no samples from 2 s to 3 s.
    std::string WriteRecord(const std::string& name) {
        auto trace = [](const char* station, std::vector<double> samples, std::int64_t start) {
            mseedgen::Trace t;
            t.network = "KG";
            t.station = station;
            t.channel = "HHZ";
            t.rate = kRate;
            t.start = start;
            t.samples = std::move(samples);
            return t;
        };
        first_ = Wave(2500, 150000);
        std::vector<double> before(first_.begin(), first_.begin() + 1000), after(first_.begin() + 1500, first_.end());
        const std::string path = work.File(name);
        mseedgen::WriteFile(path, {trace("RUD01", before, kStart), trace("RUD01", after, kStart + 3000000),
                                   trace("RUD02", Wave(2500, -700), kStart), trace("RUD03", Wave(2500, 90), kStart)});
        return path;
    }

    std::string WriteTable(const std::string& name, const std::string& rows) {
        return work.Write(name, std::string(kStationTableHeader) + "\n" + rows);
    }

    std::vector<double> first_;
};

}  // namespace

TEST_F(MiniSeedWindow, OpensTheRecordMarksItsGapAndReportsTheChannelWithoutAStation) {
    const std::string record = WriteRecord("KG.RUD.2024.074");
    WriteTable("KG.RUD.2024.074.stations.csv", "KG,RUD01,,HHZ,100,50,-800,0\nKG,RUD02,,HHZ,200,50,-810,1\n");
    TfmSeismogram* w = Open(record);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->ProjectFileName(), record + ".dym");
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_NE(recorded.warnings[0].find("KG.RUD03..HHZ"), std::string::npos) << recorded.warnings[0];
    EXPECT_NE(recorded.warnings[0].find("nie mogą być użyte do wyznaczenia mechanizmu"), std::string::npos);

    Kelo::signalprocessing& s = w->Signal();
    ASSERT_EQ(s.GetChannelCount(), 3);
    EXPECT_EQ(s.GetSamplingRate(0), 500);
    for (int i : {0, 999, 1500, 2499}) EXPECT_EQ(s.GetSample(0, i), first_[size_t(i)]) << i;
    EXPECT_EQ(s.GetSample(0, 1200), first_[999]) << "the gap holds the last value before it";
    EXPECT_EQ(w->findChild<QLabel*>("FileType")->text(), QStringLiteral("miniSEED"));
    // A reversed sensor of the table starts as a reversed channel.
    EXPECT_EQ(w->NetInfo().topLevelItem(1)->text(11), "Rev");
    EXPECT_EQ(w->NetInfo().topLevelItem(0)->text(11), "Norm");

    w->Pages().setCurrentIndex(kPageSeismogram);
    w->FirstChannel();
    w->SetTimeWindow(0, 5);
    EXPECT_EQ(w->ChannelInfo(2).text(), QStringLiteral("Kanał aktywny   "));
    quactl::TQuaGraphSeries* gaps = w->Graph().FindSeries("Gaps");
    ASSERT_NE(gaps, nullptr);
    ASSERT_EQ(gaps->GetN(), 2);
    EXPECT_DOUBLE_EQ(gaps->GetPoint(0).X, 1000 / kRate);
    EXPECT_DOUBLE_EQ(gaps->GetPoint(1).X, 1500 / kRate);
    // A window that does not reach the gap shows none.
    w->SetTimeWindow(0, 1.5);
    EXPECT_EQ(w->Graph().FindSeries("Gaps"), nullptr);

    w->NextChannel();
    w->SetTimeWindow(0, 5);
    EXPECT_EQ(w->Graph().FindSeries("Gaps"), nullptr);
    w->NextChannel();
    EXPECT_EQ(w->ChannelInfo(2).text(), QStringLiteral("Kanał nieaktywny   "));
}

TEST_F(MiniSeedWindow, AsksForTheStationTableWhenNoneLiesBeside) {
    const std::string record = WriteRecord("tremor.mseed");
    const std::string table = WriteTable("elsewhere.csv", "KG,RUD01,,HHZ,1,2,3,0\nKG,RUD02,,HHZ,1,2,3,0\n"
                                                          "KG,RUD03,,HHZ,1,2,3,0\n");
    QString title;
    int asked = 0;
    {
        ScopedDialogRunner choose([&](QDialog& d) {
            ++asked;
            title = d.windowTitle();
            EXPECT_EQ(d.objectName(), QStringLiteral("StationTableDialog"));
            dynamic_cast<QFileDialog&>(d).selectFile(QString::fromStdString(table));
            return int(QDialog::Accepted);
        });
        TfmSeismogram* w = Open(record);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->Signal().GetChannelExists(2));
        Close(w);
    }
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(title, QStringLiteral("Wybierz tabelę stacji dla pliku tremor.mseed"));
    EXPECT_TRUE(recorded.Silent());

    // Cancelled: the record opens without coordinates, and the operator is
    // told why no channel can take part in a mechanism.
    {
        ScopedDialogRunner cancel([](QDialog&) { return int(QDialog::Rejected); });
        TfmSeismogram* w = Open(record);
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->Signal().GetChannelExists(0));
    }
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_NE(recorded.warnings[0].find("Nie znaleziono tabeli stacji"), std::string::npos) << recorded.warnings[0];
}

TEST_F(MiniSeedWindow, ADamagedRecordGivesTheLibrarysReason) {
    std::string bytes = mseedgen::Pack({[] {
        mseedgen::Trace t;
        t.samples = Wave(3000, 1000);
        t.start = kStart;
        return t;
    }()});
    bytes.resize(bytes.size() - 100);
    const std::string record = work.Write("cut.mseed", bytes);
    EXPECT_EQ(Open(record), nullptr);
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_NE(recorded.warnings[0].find("nie jest poprawnym plikiem miniSEED"), std::string::npos)
        << recorded.warnings[0];
    EXPECT_TRUE(fm->OpenFileList().empty());
}

// The project keeps the record's name and opens it again, picks and all.
TEST_F(MiniSeedWindow, AProjectMadeOnARecordReopensWithIt) {
    const std::string record = WriteRecord("KG.RUD.2024.074");
    WriteTable("stations.csv", "KG,RUD01,,HHZ,100,50,-800,0\nKG,RUD02,,HHZ,200,50,-810,0\nKG,RUD03,,HHZ,1,2,3,0\n");
    TfmSeismogram* w = Open(record);
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);
    w->NextChannel();
    w->PlacePick(1.25);
    w->Pages().setCurrentIndex(kPageProcessing);  // the page refreshes the list
    const std::vector<PickRow> rows = w->PickRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Name + rows[0].Skladowa, "2HHZ");

    const std::string project = record + ".dym";
    {
        ScopedDialogRunner choose([&](QDialog& d) {
            dynamic_cast<QFileDialog&>(d).selectFile(QString::fromStdString(project));
            return int(QDialog::Accepted);
        });
        fm->TimerTimer();
        fm->Action("mSave")->trigger();
    }
    EXPECT_TRUE(recorded.Silent());
    Close(w);

    TfmSeismogram* again = Open(project);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->SignalFileName(), record);
    EXPECT_EQ(again->Image().ReadString("Datas", "SignalFile", ""), record);
    ASSERT_EQ(again->PickRows().size(), 1u);
    EXPECT_EQ(again->PickRows()[0].Ident, 2);
    EXPECT_DOUBLE_EQ(again->PickRows()[0].MarkerPosition, rows[0].MarkerPosition);
    EXPECT_EQ(again->findChild<QLabel*>("FileType")->text(), QStringLiteral("miniSEED"));
}
