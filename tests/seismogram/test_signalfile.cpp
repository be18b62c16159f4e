// Opening any signal file through the one open function: the kind known by
// contents, a miniSEED record's station table found beside it (or chosen),
// channels without a station left out of the mechanism, and the facts the
// tables and the document take from either kind.
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/seismogram/channeltables.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "app/seismogram/signalformat.h"
#include "app/seismogram/stationtable.h"
#include "common/daycount.h"
#include "common/usermessages.h"
#include "lgsig/quaexception.h"
#include "mseedsig/mseedsig.h"
#include "support/tempdir.h"
#include "tools/lgomgen/lgomgen.h"
#include "tools/mseedgen/mseedgen.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dyma;
using test::TempDir;

namespace {

const std::int64_t kStart = mseedgen::Time(2024, 5, 17, 22, 3, 4, 250000);

mseedgen::Trace Stream(const std::string& station, const std::string& channel, std::vector<double> samples,
                       std::int64_t start = kStart) {
    mseedgen::Trace t;
    t.network = "KG";
    t.station = station;
    t.channel = channel;
    t.rate = 250;
    t.start = start;
    t.samples = std::move(samples);
    return t;
}

// Three streams: RUD01 HHZ and HHN, RUD02 HHZ.
std::string ThreeStreams(const TempDir& dir, const std::string& name) {
    const std::string file = dir.File(name);
    mseedgen::WriteFile(file, {Stream("RUD01", "HHZ", {1, 2, 3, 4}), Stream("RUD01", "HHN", {5, 6, 7, 8}),
                               Stream("RUD02", "HHZ", {9, 10, 11, 12})});
    return file;
}

const std::string kHeader = std::string(kStationTableHeader) + "\n";

class NoMessages : public UserMessages {
public:
    void Warning(const std::string& t) override { warnings.push_back(t); }
    void Information(const std::string&) override {}
    bool Question(const std::string&) override { return true; }
    std::vector<std::string> warnings;
};

}  // namespace

TEST(SignalFile, AnArchiveNameWithoutExtensionOpensWithItsStationTable) {
    TempDir dir;
    const std::string file = ThreeStreams(dir, "KG.RUD.2024.138");
    dir.Write("KG.RUD.2024.138.stations.csv",
              kHeader + "KG,RUD01,,HHZ,24750,-755,-820,0\nKG,RUD01,,HHN,24750,-755,-820,1\n");
    const OpenedSignal opened = OpenSignalFile(file, dir.File("t.tmp"));
    ASSERT_TRUE(opened.miniSeed);
    EXPECT_EQ(opened.stationTable, dir.File("KG.RUD.2024.138.stations.csv"));
    ASSERT_EQ(opened.signal->GetChannelCount(), 3);
    EXPECT_EQ(opened.withoutStation, std::vector<std::string>{"KG.RUD02..HHZ"});

    const std::vector<ChannelFacts> channels = ReadChannelFacts(*opened.signal);
    EXPECT_TRUE(channels[0].Exists);
    EXPECT_TRUE(channels[1].Exists);
    EXPECT_FALSE(channels[2].Exists) << "a channel without a station cannot take part in a mechanism";
    EXPECT_EQ(channels[0].X, 24750);
    EXPECT_EQ(channels[0].Y, -755);
    EXPECT_EQ(channels[0].Z, -820);
    EXPECT_EQ(channels[1].Network, "KG");
    EXPECT_EQ(channels[1].Station, "RUD01");
    EXPECT_EQ(channels[1].Channel, "HHN");
    EXPECT_FALSE(channels[0].Reversed);
    EXPECT_TRUE(channels[1].Reversed);
    EXPECT_EQ(ChannelLabel(channels[1]), "2HHN") << "labels stay distinct within the solver's four characters";

    const std::string message = WithoutStationMessage(opened);
    EXPECT_NE(message.find("KG.RUD02..HHZ"), std::string::npos) << message;
    EXPECT_NE(message.find("nie mogą być użyte do wyznaczenia mechanizmu"), std::string::npos) << message;
}

// The record's own table before the folder's; the folder's when it has no
// own; the operator's when there is neither; an explicit one before all.
TEST(SignalFile, TheStationTableIsLookedForInOrder) {
    struct Case {
        const char* what;
        bool own, folder, explicitTable;
        const char* chosen;  // what the operator picks (nullptr: not asked)
        double expectedX;    // of RUD01 HHZ; 0 when unplaced
        bool asked;
    };
    const Case cases[] = {
        {"own and folder", true, true, false, nullptr, 1, false},
        {"folder only", false, true, false, nullptr, 2, false},
        {"neither: the operator's", false, false, false, "chosen.csv", 3, true},
        {"neither: cancelled", false, false, false, "", 0, true},
        {"explicit first", true, true, true, nullptr, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = ThreeStreams(dir, "rec.mseed");
        auto table = [&](const std::string& name, int x) {
            return dir.Write(name, kHeader + "KG,RUD01,,HHZ," + std::to_string(x) + ",0,0,0\n");
        };
        if (c.own) table("rec.stations.csv", 1);
        if (c.folder) table("stations.csv", 2);
        table("chosen.csv", 3);
        StationTableChoice choice;
        if (c.explicitTable) choice.file = table("given.csv", 4);
        bool asked = false;
        choice.choose = [&](const std::string& signalFile) {
            asked = true;
            EXPECT_EQ(signalFile, file);
            return c.chosen && *c.chosen ? dir.File(c.chosen) : std::string();
        };
        const OpenedSignal opened = OpenSignalFile(file, dir.File("t.tmp"), choice);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(opened.signal->GetStationInfo(0)->X, c.expectedX);
        EXPECT_EQ(opened.signal->GetChannelExists(0), c.expectedX != 0);
        if (c.expectedX == 0) {
            EXPECT_EQ(opened.withoutStation.size(), 3u);
            EXPECT_NE(WithoutStationMessage(opened).find("Nie znaleziono tabeli stacji"), std::string::npos);
        }
    }
}

TEST(SignalFile, ABadStationTableStopsTheOpeningWithItsLine) {
    TempDir dir;
    const std::string file = ThreeStreams(dir, "rec.mseed");
    dir.Write("rec.stations.csv", kHeader + "KG,RUD01,,HHZ,1,2,3,0\nKG,RUD01,,HHN,1,2\n");
    try {
        OpenSignalFile(file, dir.File("t.tmp"));
        FAIL() << "opened with a broken table";
    } catch (const StationTableError& e) {
        EXPECT_NE(std::string(e.what()).find("wiersz 3"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.tmp"))) << "the sample table went with the reader";
}

// The kind comes from the contents, whatever the name says; LGOM files keep
// opening as before.
TEST(SignalFile, TheKindComesFromTheContents) {
    TempDir dir;
    const std::string disguised = dir.File("tremor.mbj");
    mseedgen::WriteFile(disguised, {Stream("RUD01", "HHZ", {1, 2, 3})});
    EXPECT_EQ(DescribeSignal(*OpenSignalFile(disguised, dir.File("a.tmp")).signal).FormatName, "miniSEED");

    lgomgen::Signal s;
    s.layout = lgomgen::Layout::MBJ;
    s.channels.resize(2);
    s.samplesPerChannel = 10;
    const std::string lgom = dir.File("real.mbj");
    lgomgen::Write(lgom, s);
    const OpenedSignal opened = OpenSignalFile(lgom, dir.File("b.tmp"));
    EXPECT_FALSE(opened.miniSeed);
    EXPECT_EQ(DescribeSignal(*opened.signal).FormatName, "KGHM-MBJ64-Rudna-v1.0");
    EXPECT_TRUE(opened.withoutStation.empty());
    EXPECT_TRUE(FilledSpans(*opened.signal, 0).empty());

    EXPECT_EQ(DetectSignalContent(lgom), SignalContent::Other);
    EXPECT_EQ(DetectSignalContent(disguised), SignalContent::MiniSeed);
    EXPECT_EQ(DetectSignalContent(dir.Write("v.seed", "000001V 010" + std::string(200, ' '))),
              SignalContent::SeedVolume);
    EXPECT_EQ(DetectSignalContent(dir.Write("short", "000001D ")), SignalContent::Other);
    EXPECT_EQ(DetectSignalContent(dir.File("missing")), SignalContent::Other);
    EXPECT_TRUE(IsSignalFile(dir.File("record-without-extension-missing.mbi"))) << "LGOM by extension";
    EXPECT_FALSE(IsSignalFile(dir.Write("notes.txt", std::string(100, 'x'))));
}

TEST(SignalFile, AFullSeedVolumeIsRefusedWithTheReason) {
    TempDir dir;
    const std::string volume = dir.Write("volume.seed", "000001V 0100000018 2.3~" + std::string(4072, ' '));
    try {
        OpenSignalFile(volume, dir.File("t.tmp"));
        FAIL() << "opened a SEED volume";
    } catch (const Quarnet::QuaEWrongOperation& e) {
        EXPECT_NE(std::string(e.what()).find("pełnym woluminem SEED"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("miniSEED"), std::string::npos) << e.what();
    }
}

// A reversed sensor of the table is the channel's polarity in a new
// document; what a document already holds is the operator's and stays.
TEST(SignalFile, AReversedSensorStartsAsReversedPolarity) {
    TempDir dir;
    const std::string file = ThreeStreams(dir, "rec.mseed");
    dir.Write("rec.stations.csv", kHeader + "KG,RUD01,,HHZ,1,2,3,1\nKG,RUD01,,HHN,1,2,3,1\nKG,RUD02,,HHZ,1,2,3,0\n");
    const OpenedSignal opened = OpenSignalFile(file, dir.File("t.tmp"));
    const std::vector<ChannelFacts> channels = ReadChannelFacts(*opened.signal);
    IniImage image(dir.File("doc.dym"));
    image.WriteInteger(ChannelSection(2), "Polarity", 1);  // set by the operator before
    EnsureChannelPolarities(image, channels);
    EXPECT_EQ(image.ReadInteger(ChannelSection(1), "Polarity", 0), -1);
    EXPECT_EQ(image.ReadInteger(ChannelSection(2), "Polarity", 0), 1);
    EXPECT_EQ(image.ReadInteger(ChannelSection(3), "Polarity", 0), 1);
}

// What the document stores and the data page shows of a miniSEED record.
TEST(SignalFile, TheRecordsStartAndGapsAsTheModelSeesThem) {
    TempDir dir;
    const std::string file = dir.File("gap.mseed");
    mseedgen::WriteFile(file, {Stream("RUD01", "HHZ", {1, 2, 3, 4, 5}),
                               Stream("RUD01", "HHZ", {6, 7}, kStart + 8 * 4000)});  // samples 8 and 9
    const OpenedSignal opened = OpenSignalFile(file, dir.File("t.tmp"));
    const SignalDescription d = DescribeSignal(*opened.signal);
    EXPECT_EQ(d.FormatName, "miniSEED");
    EXPECT_EQ(d.FormatCode, Quarnet::kMiniSeedFormatCode);
    EXPECT_EQ(d.Year, 2024);
    EXPECT_EQ(d.Month, 5);
    EXPECT_EQ(d.Day, 17);
    EXPECT_EQ(d.Hour, 22);
    EXPECT_EQ(d.Minute, 3);
    EXPECT_EQ(d.Second, 4);
    EXPECT_EQ(d.Millisecond, 250);
    const SignalFacts facts = SignalFactsOf(*opened.signal, file);
    EXPECT_DOUBLE_EQ(facts.Date, EncodeDate(2024, 5, 17));
    EXPECT_NEAR(facts.Time, EncodeTime(22, 3, 4, 250), 1e-12);
    const std::vector<SampleSpan> spans = FilledSpans(*opened.signal, 0);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].first, 5);
    EXPECT_EQ(spans[0].end, 8);
}

// The open command's plan: a miniSEED archive name is a signal file, and a
// project made on it finds it again.
TEST(SignalFile, ProjectsOfMiniSeedRecordsFindTheirRecord) {
    TempDir dir;
    const std::string file = ThreeStreams(dir, "KG.RUD01..HHZ.2024.138");
    NoMessages messages;
    const auto plan = PlanOpen(file, dir.File("Temp"), messages);
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(plan->signalFile, file);
    EXPECT_EQ(plan->projectFile, file + ".dym");
    EXPECT_TRUE(messages.warnings.empty());

    IniImage project(file + ".dym");
    WriteFileInfo(project);
    project.WriteString("Datas", "SignalFile", "/elsewhere/KG.RUD01..HHZ.2024.138");
    project.WriteString("Datas", "SignalFileShort", "KG.RUD01..HHZ.2024.138");
    project.UpdateFile();
    const auto reopened = PlanOpen(file + ".dym", dir.File("Temp"), messages);
    ASSERT_TRUE(reopened.has_value());
    EXPECT_EQ(reopened->signalFile, file) << "the record beside the project";

    const std::string notes = dir.Write("notes.txt", std::string(200, 'x'));
    EXPECT_FALSE(PlanOpen(notes, dir.File("Temp"), messages).has_value());
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_EQ(messages.warnings[0], OpenFailedMessage(notes));
}
