// The station table of miniSEED records: what it reads, where it is looked
// for, and the messages (with their line numbers) for what it refuses.
#include "app/document/projectfile.h"
#include "app/seismogram/stationtable.h"
#include "app/settings/settings.h"
#include "common/cp1250.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace dyma;

namespace {

std::string FailureOf(const std::string& text) {
    try {
        StationTable::Parse(text, "t.csv");
    } catch (const StationTableError& e) {
        return e.what();
    }
    return "(read without error)";
}

}  // namespace

TEST(MiniSeedStationTable, RowsWithEmptyLocationsAndBothSeparators) {
    const StationTable comma = StationTable::Parse(
        "network,station,location,channel,x,y,z,reversed\r\n"
        "PL,RUD01,,HHZ,24750.5,-755,-820.25,0\r\n"
        "\r\n"
        " PL , RUD02 , 00 , EHN , 1e3 , 2 , 3 , 1 \r\n",
        "a.csv");
    ASSERT_EQ(comma.Rows().size(), 2u);
    const StationRow* first = comma.Find("PL", "RUD01", "", "HHZ");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->x, 24750.5);
    EXPECT_EQ(first->y, -755);
    EXPECT_EQ(first->z, -820.25);
    EXPECT_FALSE(first->reversed);
    EXPECT_EQ(first->line, 2);
    const StationRow* second = comma.Find("PL", "RUD02", "00", "EHN");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->x, 1000);
    EXPECT_TRUE(second->reversed);
    EXPECT_EQ(second->line, 4);
    EXPECT_EQ(comma.Find("PL", "RUD02", "", "EHN"), nullptr) << "the location is part of the stream";
    EXPECT_EQ(comma.Find("pl", "RUD01", "", "HHZ"), nullptr) << "codes compare as the records spell them";

    // A Polish spreadsheet: ";" between the fields, "," in the numbers, a
    // byte-order mark, the header in capitals.
    const StationTable semicolon = StationTable::Parse(
        "\xEF\xBB\xBFNETWORK;STATION;LOCATION;CHANNEL;X;Y;Z;REVERSED\n"
        "KG;LUB7;;HHZ;5712345,25;-12,5;-640;1\n",
        "b.csv");
    const StationRow* row = semicolon.Find("KG", "LUB7", "", "HHZ");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->x, 5712345.25);
    EXPECT_EQ(row->y, -12.5);
    EXPECT_TRUE(row->reversed);
}

TEST(MiniSeedStationTable, ErrorsNameTheFileTheLineAndTheField) {
    const std::string h = "network,station,location,channel,x,y,z,reversed\n";
    struct Case {
        const char* what;
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"empty file", "", "Tabela stacji t.csv jest pusta"},
        {"only blank lines", "\n  \n", "jest pusta"},
        {"wrong header", "net,sta,loc,cha,x,y,z,rev\nPL,A,,HHZ,1,2,3,0\n",
         "Tabela stacji t.csv, wiersz 1: nagłówek musi brzmieć network,station,location,channel,x,y,z,reversed"},
        {"header without reversed", "network,station,location,channel,x,y,z\n", "wiersz 1: nagłówek"},
        {"too few fields", h + "PL,A,,HHZ,1,2,3,0\nPL,B,,HHZ,1,2,3\n",
         "Tabela stacji t.csv, wiersz 3: oczekiwano 8 pól rozdzielonych znakiem \",\", jest 7."},
        {"too many fields", h + "PL,A,,HHZ,1,2,3,0,9\n", "wiersz 2: oczekiwano 8 pól"},
        {"empty station", h + "PL,,,HHZ,1,2,3,0\n", "wiersz 2: puste pole station."},
        {"empty network", h + "\n\n,A,,HHZ,1,2,3,0\n", "wiersz 4: puste pole network."},
        {"empty channel", h + "PL,A,,,1,2,3,0\n", "wiersz 2: puste pole channel."},
        {"x not a number", h + "PL,A,,HHZ,12a,2,3,0\n", "wiersz 2: wartość pola x \"12a\" nie jest liczbą."},
        {"y with a comma in a comma file", h + "PL,A,,HHZ,1,2,5,3,0\n", "wiersz 2: oczekiwano 8 pól"},
        {"z empty", h + "PL,A,,HHZ,1,2,,0\n", "wiersz 2: wartość pola z \"\" nie jest liczbą."},
        {"z infinite", h + "PL,A,,HHZ,1,2,inf,0\n", "wartość pola z \"inf\" nie jest liczbą."},
        {"reversed 2", h + "PL,A,,HHZ,1,2,3,2\n", "wiersz 2: pole reversed musi mieć wartość 0 albo 1 (jest \"2\")."},
        {"reversed yes", h + "PL,A,,HHZ,1,2,3,tak\n", "(jest \"tak\")"},
        {"the same stream twice", h + "PL,A,,HHZ,1,2,3,0\nPL,B,,HHZ,1,2,3,0\nPL,A,,HHZ,4,5,6,1\n",
         "wiersz 4: kanał PL.A..HHZ powtarza się (pierwszy raz w wierszu 2)."},
        {"a point in a semicolon file", "network;station;location;channel;x;y;z;reversed\nPL;A;;HHZ;1.5;2;3;0\n",
         "wiersz 2: wartość pola x \"1.5\" nie jest liczbą."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message = FailureOf(c.text);
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
}

// A table written on a Windows workstation (code page 1250) still names
// its fields readably in the messages.
TEST(MiniSeedStationTable, CodePage1250TextIsReadAsSuch) {
    const std::string text = Utf8ToCp1250("network,station,location,channel,x,y,z,reversed\nPL,Żółw,,HHZ,x1,2,3,0\n");
    const std::string message = FailureOf(text);
    EXPECT_NE(message.find("wartość pola x \"x1\""), std::string::npos) << message;
    const StationTable t = StationTable::Parse(
        Utf8ToCp1250("network,station,location,channel,x,y,z,reversed\nPL,Żółw,,HHZ,1,2,3,0\n"), "c.csv");
    EXPECT_NE(t.Find("PL", "Żółw", "", "HHZ"), nullptr);
}

TEST(MiniSeedStationTable, AFileThatCannotBeReadSaysSo) {
    test::TempDir dir;
    try {
        StationTable::Read(dir.File("none.csv"));
        FAIL() << "read a missing table";
    } catch (const StationTableError& e) {
        EXPECT_NE(std::string(e.what()).find("Nie udało się odczytać tabeli stacji " + dir.File("none.csv")),
                  std::string::npos)
            << e.what();
    }
}

// The record's own table first, then the folder's; the name without the
// extension only where the extension is a signal file's.
TEST(MiniSeedStationTable, WhereTheTableIsLookedFor) {
    const std::string s(1, kPathSeparator);
    struct Case {
        std::string signal;
        std::string own;
    };
    const Case cases[] = {
        {"/data/tremor.mseed", "/data/tremor.stations.csv"},
        {"/data/tremor.MSD", "/data/tremor.stations.csv"},
        {"/data/KG.RUD01..HHZ.2024.074", "/data/KG.RUD01..HHZ.2024.074.stations.csv"},
        {"/data/record", "/data/record.stations.csv"},
        {"/data/ev.mbj", "/data/ev.stations.csv"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> found = StationTableCandidates(c.signal);
        ASSERT_EQ(found.size(), 2u);
        EXPECT_EQ(found[0], c.own);
        EXPECT_EQ(found[1], "/data" + s + "stations.csv");
    }
    EXPECT_EQ(StationTableCandidates("rec.mseed")[1], "stations.csv");
}

// A miniSEED record's project keeps the record's whole name: cutting its
// last part would give two days' (or two components') records one project,
// and tremor.mseed would take over the project of tremor.mbj.
TEST(MiniSeedStationTable, ProjectFilesOfRecordsKeepTheWholeName) {
    EXPECT_EQ(ProjectFileForSignal("/data/KG.RUD01..HHZ.2024.074"), "/data/KG.RUD01..HHZ.2024.074.dym");
    EXPECT_EQ(ProjectFileForSignal("/data/KG.RUD01..HHZ"), "/data/KG.RUD01..HHZ.dym");
    EXPECT_EQ(ProjectFileForSignal("/data/tremor.mseed"), "/data/tremor.mseed.dym");
    EXPECT_NE(ProjectFileForSignal("/data/tremor.mseed"), ProjectFileForSignal("/data/tremor.mbj"));
    EXPECT_EQ(ProjectFileForSignal("/data/Tremor.MBJ"), "/data/Tremor.dym") << "LGOM files as before";
}
