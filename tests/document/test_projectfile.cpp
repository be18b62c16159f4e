#include "app/document/projectfile.h"
#include "app/settings/settings.h"
#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "support/recordingmessages.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace dyma;

namespace {

std::string FileInfo(const char* major, const char* minor, const char* release, const char* generator) {
    std::string s = "[FileInfo]\r\n";
    if (generator) s += std::string("Generator=") + generator + "\r\n";
    if (major) s += std::string("MajorVersion=") + major + "\r\n";
    if (minor) s += std::string("MinorVersion=") + minor + "\r\n";
    if (release) s += std::string("Release=") + release + "\r\n";
    return s + "\r\n";
}

struct VersionCase {
    std::string text;
    bool accepted;
    size_t warnings, infos;
};

}  // namespace

TEST(CheckProjectFile, VersionRules) {
    const std::string refused = "Błąd! Plik nie jest prawidłowym plikiem programu WinDYMA 1.5.0";
    const std::string older = "Ten plik został utworzony jedną z wcześniejszych wersji programu WinDYMA.";
    const VersionCase cases[] = {
        {FileInfo("1", "5", "0", "WinDYMA"), true, 0, 0},
        {FileInfo("1", "4", "9", "WinDYMA"), true, 0, 1},   // 66569
        {FileInfo("2", "0", "0", nullptr), true, 0, 0},
        {FileInfo("1", "6", "0", nullptr), true, 0, 0},
        {"[Datas]\r\nX=1\r\n\r\n", false, 1, 0},               // no [FileInfo]
        {"[Datas]\r\nX=1\r\n\r\n" + FileInfo(nullptr, nullptr, nullptr, "Kelo Dyma"), true, 0, 1},
        {FileInfo(nullptr, nullptr, nullptr, "SomethingElse"), false, 1, 0},
        {"", false, 1, 0},
        // A foreign file's numbers, far beyond any version: no overflow,
        // compared part by part.
        {FileInfo("1", "54444444444444444", "0", "WinDYMA"), true, 0, 0},
        {FileInfo("9223372036854775807", "9223372036854775807", "9223372036854775807", nullptr), true, 0, 0},
        {FileInfo("-9223372036854775807", "0", "0", nullptr), true, 0, 1},
        {FileInfo("1", "4", "300", "WinDYMA"), true, 0, 1},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.Write("case.dym", c.text);
        test::RecordingMessages m;
        EXPECT_EQ(CheckProjectFile(path, m), c.accepted) << c.text;
        ASSERT_EQ(m.warnings.size(), c.warnings) << c.text;
        ASSERT_EQ(m.infos.size(), c.infos) << c.text;
        if (c.warnings) {
            EXPECT_EQ(m.warnings[0], refused);
        }
        if (c.infos) {
            EXPECT_EQ(m.infos[0], older);
        }
    }
    test::RecordingMessages m;
    EXPECT_TRUE(CheckProjectFile(dir.Write("signal.mbj", "garbage"), m));
    EXPECT_TRUE(m.Silent());
}

TEST(ProjectFileNames, ExtensionReplacedCaseKept) {
    EXPECT_EQ(ProjectFileForSignal("/data/Event.MBI"), "/data/Event.dym");
    EXPECT_EQ(ProjectFileForSignal("/data.2024/ev.mbi.copy.mbj"), "/data.2024/ev.mbi.copy.dym");
    EXPECT_EQ(ExtensionOf("/a.b/c"), "");
    EXPECT_TRUE(IsSignalFileName("X.Min"));
    EXPECT_TRUE(IsProjectFileName("x.DYM"));
    EXPECT_FALSE(IsSignalFileName("x.dat"));
    EXPECT_EQ(FileNamePart("/a/b/c.mbj"), "c.mbj");
    EXPECT_EQ(DirectoryPart("/a/b/c.mbj"), "/a/b");
}

TEST(PlanOpen, SignalFileWithAndWithoutProject) {
    test::TempDir data, temp;
    const std::string signal = data.Write("Event.MBJ", "x");
    test::RecordingMessages m;
    auto plan = PlanOpen(signal, temp.Path().string(), m);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->signalFile, signal);
    EXPECT_EQ(plan->projectFile, data.File("Event.dym"));
    EXPECT_FALSE(plan->projectExists);
    EXPECT_EQ(plan->imageFile, temp.File("Event.dym"));

    // The working file's name is only a name: a file there is no one's
    // to delete.
    temp.Write("Event.dym", "cudzy");
    ASSERT_TRUE(PlanOpen(signal, temp.Path().string(), m));
    EXPECT_EQ(test::ReadAll(temp.File("Event.dym")), "cudzy");

    data.Write("Event.dym", FileInfo("1", "5", "0", "WinDYMA"));
    plan = PlanOpen(signal, temp.Path().string(), m);
    ASSERT_TRUE(plan);
    EXPECT_TRUE(plan->projectExists);
    EXPECT_EQ(plan->imageFile, data.File("Event.dym"));
    EXPECT_TRUE(m.Silent());
}

TEST(PlanOpen, ProjectFindsItsSignalFile) {
    test::TempDir data, temp;
    data.Write("ev.mbj", "x");
    const std::string info = FileInfo("1", "5", "0", "WinDYMA");
    test::RecordingMessages m;
    // a bare name: looked for beside the project
    auto p1 = PlanOpen(data.Write("a.dym", info + "[Datas]\r\nSignalFile=ev.mbj\r\nSignalFileShort=ev.mbj\r\n"),
                       temp.Path().string(), m);
    ASSERT_TRUE(p1);
    EXPECT_EQ(p1->signalFile, data.File("ev.mbj"));
    // a project moved from another machine: its directory plus the file name
    auto p2 = PlanOpen(data.Write("b.dym", info + "[Datas]\r\nSignalFile=/old/place/ev.mbj\r\nSignalFileShort=ev.mbj\r\n"),
                       temp.Path().string(), m);
    ASSERT_TRUE(p2);
    EXPECT_EQ(p2->signalFile, data.File("ev.mbj"));
    EXPECT_EQ(p2->imageFile, data.File("b.dym"));
    EXPECT_TRUE(m.Silent());
}

// Projects made on Windows name their signal file in any case; on a file
// system where case counts the file is still found in the same folder, an
// exact name first.
TEST(PlanOpen, SignalFileFoundWhateverTheCaseOfItsName) {
    struct Case {
        const char* what;
        std::vector<std::string> onDisk;
        std::string signalFile, signalFileShort;
        std::string expected;  // a file of onDisk
    };
    const Case cases[] = {
        {"bare name in capitals", {"event.mbj"}, "EVENT.MBJ", "EVENT.MBJ", "event.mbj"},
        {"Windows path, mixed case", {"zdarzenie.mbi"}, "C:\\Dane\\Zdarzenie.MBI", "Zdarzenie.MBI", "zdarzenie.mbi"},
        {"Polish letters", {"Łódź-wstrząs.min"}, "ŁÓDŹ-WSTRZĄS.MIN", "ŁÓDŹ-WSTRZĄS.MIN", "Łódź-wstrząs.min"},
        {"the exact name first", {"Ev.mbj", "ev.mbj", "EV.MBJ"}, "ev.mbj", "ev.mbj", "ev.mbj"},
        {"several others: the first by name", {"eV.mbj", "Ev.mbj"}, "ev.mbj", "ev.mbj", "Ev.mbj"},
    };
    const std::string info = FileInfo("1", "5", "0", "WinDYMA");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir data, temp;
        for (const std::string& name : c.onDisk) data.Write(name, "x");
        const std::string project = data.Write(
            "p.dym", info + "[Datas]\r\nSignalFile=" + Utf8ToCp1250(c.signalFile) +
                         "\r\nSignalFileShort=" + Utf8ToCp1250(c.signalFileShort) + "\r\n");
        test::RecordingMessages m;
        const auto plan = PlanOpen(project, temp.Path().string(), m);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->signalFile, data.File(c.expected));
        EXPECT_TRUE(m.Silent());
    }
}

// A signal file that is nowhere is named in the warning, in Polish, and
// nothing is opened.
TEST(PlanOpen, AMissingSignalFileIsNamed) {
    test::TempDir data, temp;
    data.Write("other.mbj", "x");
    const std::string project = data.Write(
        "p.dym", FileInfo("1", "5", "0", "WinDYMA") + Utf8ToCp1250("[Datas]\r\nSignalFile=D:\\Wstrząsy\\gone.mbj\r\n"
                                                                  "SignalFileShort=gone.mbj\r\n"));
    test::RecordingMessages m;
    EXPECT_FALSE(PlanOpen(project, temp.Path().string(), m));
    ASSERT_EQ(m.warnings.size(), 1u);
    EXPECT_EQ(m.warnings[0], "Nie znaleziono pliku sygnału " + data.File("gone.mbj") +
                                 ", na który wskazuje plik projektu " + project + ".");

    // A project that names no signal file at all cannot be opened.
    const std::string none = data.Write("none.dym", FileInfo("1", "5", "0", "WinDYMA") + "[Datas]\r\nX=1\r\n");
    m.warnings.clear();
    EXPECT_FALSE(PlanOpen(none, temp.Path().string(), m));
    EXPECT_EQ(m.warnings, std::vector<std::string>{OpenFailedMessage(none)});
}

TEST(PlanOpen, RefusalsShowTheFailureWarning) {
    test::TempDir data, temp;
    test::RecordingMessages m;
    EXPECT_FALSE(PlanOpen("", temp.Path().string(), m));
    EXPECT_FALSE(PlanOpen(data.File("none.mbj"), temp.Path().string(), m));
    EXPECT_FALSE(PlanOpen(data.Write("foreign.dym", "[Other]\r\na=1\r\n"), temp.Path().string(), m));
    ASSERT_EQ(m.warnings.size(), 4u);  // the foreign file adds its own warning first
    EXPECT_EQ(m.warnings[1], "Otwarcie pliku: " + data.File("none.mbj") + " zakończyło się niepowodzeniem.");
    EXPECT_EQ(m.warnings[3], "Otwarcie pliku: " + data.File("foreign.dym") + " zakończyło się niepowodzeniem.");
}

TEST(HeaderAndPicks, WrittenInOrderAndLoadedBack) {
    for (char sep : {',', '.'}) {
        IniImage ini;
        ini.WriteInteger("Channel002", "Polarity", -1);
        DataPageValues page;
        page.X = "12.5";
        page.Y = "12,5";
        page.Z = " -650 ";
        page.Zakres = "";
        page.Operator = "Józef Żółć";
        page.Notes = {"pierwsza", "", "trzecia = ostatnia"};
        page.ReversePolarization = true;
        SignalFacts sig{"/data/ev.mbj", 45352, 0.5};
        PickRow row{2, "12", "Z", "C", "+", 0.7, 1.25, false};
        SaveHeaderAndPicks(ini, page, sig, {row}, sep);

        EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Channel002", "FileInfo", "Datas", "Notes"}));
        EXPECT_EQ(ini.Keys("Datas"), (std::vector<std::string>{"X", "Y", "Z", "Zakres", "Description", "Operator",
                                                                "SignalFile", "SignalFileShort", "Extension", "Date",
                                                                "Time", "PlusColor", "MinusColor",
                                                                "ReversePolarization"}));
        EXPECT_EQ(ini.Keys("Channel002"), (std::vector<std::string>{"Polarity", "No", "Name", "Nazwa", "Ident",
                                                                     "WaveType", "Wage", "Active", "FirstArrival",
                                                                     "MarkerPosition", "Skladowa"}));
        EXPECT_EQ(ini.ReadString("Datas", "X", ""), std::string("12") + sep + "5");
        EXPECT_EQ(ini.ReadString("Datas", "Zakres", ""), "0");
        EXPECT_EQ(ini.ReadString("Datas", "SignalFileShort", ""), "ev.mbj");
        EXPECT_EQ(ini.ReadString("Datas", "Extension", ""), ".mbj");
        EXPECT_EQ(ini.ReadString("Channel002", "Nazwa", ""), "12Z");
        EXPECT_EQ(ini.ReadString("Channel002", "Wage", ""), std::string("0") + sep + "7");
        EXPECT_EQ(ini.ReadString("Channel002", "Active", ""), "0");
        EXPECT_EQ(ini.Keys("Notes"), (std::vector<std::string>{"0", "1", "2"}));

        Settings s;
        DataPageValues back = LoadHeader(ini, s, sep);
        EXPECT_EQ(back.X, std::string("12") + sep + "5");
        EXPECT_EQ(back.Z, "-650");
        EXPECT_EQ(back.Notes, page.Notes);
        EXPECT_EQ(back.Operator, "Józef Żółć");
        EXPECT_TRUE(back.ReversePolarization);

        const ChannelPick pick = ReadChannelPick(ini, 2);
        EXPECT_DOUBLE_EQ(pick.Wage, 0.7);
        EXPECT_DOUBLE_EQ(pick.MarkerPosition, 1.25);
        EXPECT_EQ(pick.Polarity, -1);
        EXPECT_TRUE(pick.IsComplete());
    }
}

TEST(HeaderAndPicks, MissingKeysGiveDefaultsAndBadRealsReportTheirText) {
    Settings s;
    s.DefaultOperator = "Anna";
    s.DefaultDescription = "Rudna";
    s.PlusColor = 0x123456;
    IniImage empty = IniImage::FromText("[Notes]\r\n\r\n");
    DataPageValues page = LoadHeader(empty, s, ',');
    EXPECT_EQ(page.X, "0");
    EXPECT_EQ(page.Zakres, "5000");
    EXPECT_EQ(page.Operator, "Anna");
    EXPECT_EQ(page.Description, "Rudna");
    EXPECT_EQ(page.PlusColor, 0x123456u);
    EXPECT_TRUE(page.Notes.empty());
    EXPECT_FALSE(page.ReversePolarization);

    IniImage bad = IniImage::FromText("[Datas]\r\nX=12,5,1\r\n");
    try {
        LoadHeader(bad, s, ',');
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.Text(), "12,5,1");
    }
    const ChannelPick none = ReadChannelPick(empty, 5);
    EXPECT_EQ(none.WaveType, "-");
    EXPECT_EQ(none.MarkerPosition, -1);
    EXPECT_FALSE(none.IsComplete());
}

TEST(SaveDocumentAs, WritesOnlyTheTargetAndTheDocumentLivesOnThere) {
    test::TempDir dir;
    const std::string original = dir.Write("work.dym", "[Datas]\r\nOperator=stary\r\n\r\n");
    const std::string target = dir.File("target.dym");
    IniImage ini(original);
    ini.WriteString("Datas", "Operator", "Łucja");
    ASSERT_TRUE(SaveDocumentAs(ini, target));
    EXPECT_EQ(test::ReadAll(target), "[Datas]\r\nOperator=\xA3ucja\r\n\r\n");
    EXPECT_EQ(test::ReadAll(original), "[Datas]\r\nOperator=stary\r\n\r\n") << "the original stays as it was";
    EXPECT_EQ(ini.FileName(), target);
    ini.WriteString("Datas", "Operator", "Jan");
    ASSERT_TRUE(SaveDocumentAs(ini, target));  // the file it lives in now
    EXPECT_EQ(test::ReadAll(target), "[Datas]\r\nOperator=Jan\r\n\r\n");
    EXPECT_EQ(test::ReadAll(original), "[Datas]\r\nOperator=stary\r\n\r\n");

    // A failed save leaves the document where it was.
    EXPECT_FALSE(SaveDocumentAs(ini, dir.File("no/such/dir/t.dym")));
    EXPECT_EQ(ini.FileName(), target);
    EXPECT_EQ(SaveFailedMessage(dir.File("no/such/dir/t.dym")),
              "Nie udało się zapisać pliku: " + dir.File("no/such/dir/t.dym") + ".");

    // A document whose own file cannot be written (its folder gone, or
    // read-only) still saves anywhere else.
    IniImage lost(dir.File("gone/work.dym"));
    lost.WriteString("Datas", "Operator", "Ola");
    ASSERT_TRUE(SaveDocumentAs(lost, dir.File("elsewhere.dym")));
    EXPECT_EQ(test::ReadAll(dir.File("elsewhere.dym")), "[Datas]\r\nOperator=Ola\r\n\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "gone"));
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(e.path().extension(), ".dym") << "no temporary file left behind: " << e.path();
}

TEST(Lines, EmptySectionClearsAndMissingSectionIsEmpty) {
    IniImage ini;
    WriteLines(ini, "Notes", {"a", "b", "c"});
    EXPECT_EQ(ReadLines(ini, "Notes"), (std::vector<std::string>{"a", "b", "c"}));
    WriteLines(ini, "Notes", {});
    EXPECT_TRUE(ReadLines(ini, "Notes").empty());
    EXPECT_TRUE(ReadLines(ini, "Nothing").empty());
}

namespace {
SolutionRecord FullRecord(int stations) {
    SolutionRecord r;
    r.X = 12.346;
    r.Y = -0.5;
    r.Z = 0.65;
    r.Exists = true;
    r.StationCount = stations;
    r.ACC = 0.917;
    r.SA = 120; r.DA = 60; r.RA = -90;
    r.SB = 300; r.RB = 30; r.DB = -90;  // plane B: dip in RB, rake in DB
    r.SAB = 1.5; r.DAB = 2.5; r.RAB = 3.5; r.SBB = 4.5; r.RBB = 5.5; r.DBB = 6.5;
    r.PTrend = 30; r.PPlunge = 75; r.TTrend = 210; r.TPlunge = 15;
    r.aa = 114; r.bb = 72; r.Tilt = 4; r.DrTilt = 45;
    r.PlusColor = 0x0000FF; r.MinusColor = 0xFF0000;
    for (int i = 0; i < stations; ++i) {
        SolutionStation& s = r.stations[static_cast<size_t>(i)];
        s.No = i + 1;
        s.Channel = std::to_string(i + 1) + "Z";
        s.XS = i * 0.1; s.YS = -i * 0.2; s.ZS = 0.001 * i;
        s.TakeOff = 10 + i; s.Azimuth = 3.5 * i; s.Weight = i % 2 ? -0.7 : 1.0;
        s.Sign = i % 2 ? 1 : -1; s.SVP = 0; s.WT = 0;
        s.Angle = 95.5; s.SinBet = 0.25; s.CosBet = -0.125; s.SinAl = 1e-5; s.CosAl = -1;
        s.SignString = s.Sign > 0 ? "+" : "-";
        s.Type = "A";
    }
    return r;
}
}  // namespace

TEST(Result, SaveThenLoadGivesTheSameRecord) {
    for (char sep : {',', '.'}) {
        const SolutionRecord r = FullRecord(96);
        IniImage ini;
        SaveResult(r, ini, sep);
        EXPECT_EQ(ini.ReadString("Result", "RB", ""), "30");
        EXPECT_EQ(ini.ReadString("Result", "DB", ""), "-90");
        EXPECT_EQ(ini.Keys("Result").front(), "X");
        EXPECT_EQ(ini.Keys("Result").back(), "Exists");
        SolutionRecord back;
        LoadResult(back, ini);
        EXPECT_EQ(back.StationCount, 96);
        EXPECT_TRUE(back.Exists);
        EXPECT_DOUBLE_EQ(back.RB, 30);
        EXPECT_DOUBLE_EQ(back.DB, -90);
        EXPECT_DOUBLE_EQ(back.RBB, 5.5);
        EXPECT_DOUBLE_EQ(back.DBB, 6.5);
        EXPECT_DOUBLE_EQ(back.DrTilt, 45);
        EXPECT_DOUBLE_EQ(back.X, 12.346);
        for (int i = 0; i < 96; ++i) {
            const auto& a = r.stations[static_cast<size_t>(i)];
            const auto& b = back.stations[static_cast<size_t>(i)];
            EXPECT_EQ(a.Channel, b.Channel);
            EXPECT_DOUBLE_EQ(a.YS, b.YS);
            EXPECT_DOUBLE_EQ(a.Weight, b.Weight);
            EXPECT_DOUBLE_EQ(a.Sign, b.Sign);
            EXPECT_DOUBLE_EQ(a.SinAl, b.SinAl);
            EXPECT_EQ(a.SignString, b.SignString);
            EXPECT_EQ(a.Type, b.Type);
        }
    }
}

TEST(Result, SecondSolveWithFewerStationsLeavesNoOldRows) {
    IniImage ini;
    SaveResult(FullRecord(12), ini, ',');
    SaveResult(FullRecord(9), ini, ',');
    int stationSections = 0;
    for (const auto& s : ini.Sections())
        if (s.rfind("Station", 0) == 0) ++stationSections;
    EXPECT_EQ(stationSections, 9);
    EXPECT_TRUE(ini.SectionExists("Station008"));
    EXPECT_FALSE(ini.SectionExists("Station009"));
}

TEST(Result, HeaderCopyDefaultsAndStationCountClamp) {
    IniImage ini = IniImage::FromText("[Result]\r\nStationCount=120\r\nExists=1\r\n");
    SolutionRecord r;
    LoadResult(r, ini);
    EXPECT_EQ(r.StationCount, 96);
    EXPECT_EQ(r.SignalFileShort, "brak danych");
    EXPECT_DOUBLE_EQ(r.Zakres, 5000);
    EXPECT_EQ(r.PlusColor, 255u);
    EXPECT_EQ(r.MinusColor, 16711680u);
}
