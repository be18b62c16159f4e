// dyma solve, dyma report and dyma import on the bundled example tremor,
// whose picks encode a known mechanism, and on damaged copies of it.
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/document/tremordocument.h"
#include "app/seismogram/channeltables.h"
#include "app/seismogram/signalchannels.h"
#include "app/settings/settings.h"
#include "app/solver/solverfiles.h"
#include "cli/clirun.h"
#include "common/focalmath.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "lgsig/lgsig.h"
#include "tools/exampletremor/exampletremor.h"

#include <QProcess>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

using namespace clitest;
using namespace dyma;
namespace fs = std::filesystem;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct FileState {
    std::string bytes;
    fs::file_time_type mtime;
    bool operator==(const FileState&) const = default;
};
FileState StateOf(const std::string& path) { return {test::ReadAll(path), fs::last_write_time(path)}; }

std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

// Plane A of the [Result] the project holds.
focal::Plane StoredPlaneA(const std::string& project) {
    const IniImage image(project);
    auto real = [&](const char* key) { return ParseNumber(image.ReadString("Result", key, "nan"), '.'); };
    return {real("SA"), real("DA"), real("RA")};
}

// Plane A of a report: the three lines after " Płaszczyzna nodalna A:".
focal::Plane ReportPlaneA(const std::vector<std::string>& lines, char sep) {
    auto at = std::find(lines.begin(), lines.end(), " Płaszczyzna nodalna A:");
    EXPECT_NE(at, lines.end());
    if (at == lines.end() || lines.end() - at < 4) return {};
    auto value = [&](const std::string& line) {
        const size_t colon = line.find(": ");
        return ParseNumber(line.substr(colon + 2, line.find("°") - colon - 2), sep);
    };
    return {value(at[1]), value(at[2]), value(at[3])};
}

// The report without its creation stamp (line 5), which is the moment of
// the run.
std::vector<std::string> WithoutStamp(std::vector<std::string> lines) {
    if (lines.size() > 4) {
        EXPECT_EQ(lines[4].rfind(" Data utworzenia: ", 0), 0u);
        lines.erase(lines.begin() + 4);
    }
    return lines;
}

class Solve : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        example_ = CopyExample();
        project_ = example_ + "/" + example::kProjectFile;
        truth_ = example::ReadTruthFile(example_ + "/" + example::kTruthFile);
    }

    // A copy of the example's project, edited with the document model.
    void EditedCopy(const std::string& target, const std::function<void(IniImage&)>& edit) const {
        fs::copy_file(project_, target);
        IniImage image(target);
        edit(image);
        image.UpdateFile();
    }

    std::string example_, project_;
    example::Truth truth_;
};

}  // namespace

TEST_F(Solve, TheExampleGivesItsMechanismAndChangesNothingOnDiskWithoutSave) {
    // The program's own temporary directory, which dyma must leave alone.
    const std::string programTemp = Dir("program-temp");
    std::ofstream(programTemp + "/keep.txt") << "x";
    const std::string conf = Dir("config/Quarnet") + "/Dyma.conf";
    std::ofstream(conf) << "[Dirs]\nTempDirectory=" << programTemp << "\n";
    const FileState confBefore = StateOf(conf);
    const FileState before = StateOf(project_);
    const std::set<std::string> listing = Listing(example_);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // an mtime that changed would show

    const std::string csv = Dir("out") + "/catalogue.csv";
    const CliResult r = Dyma({"solve", project_, "--csv", csv});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const focal::Plane printed = ReportPlaneA(Lines(r.out), '.');
    EXPECT_LE(focal::KaganAngle(printed, truth_.planeA), 5.0)
        << printed.strike << " " << printed.dip << " " << printed.rake;

    const std::vector<std::string> rows = ReadTextLines(csv);
    ASSERT_EQ(rows.size(), 2u);
    const std::vector<std::string> header = Split(rows[0], ',');
    const std::vector<std::string> row = Split(rows[1], ',');
    ASSERT_EQ(header.size(), 24u);
    ASSERT_EQ(row.size(), 24u);
    EXPECT_EQ(header[6], "Bieg A");
    EXPECT_EQ(row[0], project_);
    EXPECT_EQ(row[1], "2024-03-14");
    EXPECT_EQ(row[3], "24.612");
    EXPECT_EQ(row[5], "-0.955") << "Z above sea level, as the report shows it";
    const focal::Plane fromCsv{StrToFloat(row[6], '.'), StrToFloat(row[7], '.'), StrToFloat(row[8], '.')};
    EXPECT_LE(focal::KaganAngle(fromCsv, printed), 0.2);
    EXPECT_EQ(row[23], "30");

    EXPECT_TRUE(StateOf(project_) == before) << "the project file is untouched";
    EXPECT_EQ(Listing(example_), listing) << "nothing new beside the project";
    EXPECT_TRUE(StateOf(conf) == confBefore) << "the settings are read, never written";
    EXPECT_EQ(Listing(programTemp), std::set<std::string>{"keep.txt"});
    EXPECT_TRUE(TemporaryFolderIsEmpty());
}

TEST_F(Solve, SaveStoresTheResultAndReportPrintsTheSameReport) {
    const CliResult solved = Dyma({"solve", project_, "--save"}, {{"LC_ALL", "pl_PL.UTF-8"}});
    ASSERT_EQ(solved.code, 0) << solved.err;

    const IniImage image(project_);
    EXPECT_TRUE(image.ReadBool("Result", "Exists", false));
    EXPECT_EQ(image.ReadInteger("Result", "StationCount", 0), 30);
    EXPECT_TRUE(image.SectionExists("Station029"));
    EXPECT_FALSE(image.SectionExists("Station030"));
    EXPECT_EQ(image.ReadString("Station000", "Channel", ""), "1ZZ");
    EXPECT_EQ(ReadLines(image, "DATStringList").size(), 32u);
    EXPECT_TRUE(Contains(image.ReadString("Result", "Y", ""), ",")) << "reals with the system's separator";
    EXPECT_LE(focal::KaganAngle(StoredPlaneA(project_), truth_.planeA), 5.0);

    const CliResult report = Dyma({"report", project_}, {{"LC_ALL", "pl_PL.UTF-8"}});
    ASSERT_EQ(report.code, 0) << report.err;
    EXPECT_EQ(WithoutStamp(Lines(report.out)), WithoutStamp(Lines(solved.out)));
    EXPECT_TRUE(Contains(report.out, " X: 24,612km\n"));

    // A report to a file is the same report, in the files' code page.
    const std::string file = Dir("out") + "/report.txt";
    const CliResult toFile = Dyma({"solve", project_, "--report", file}, {{"LC_ALL", "pl_PL.UTF-8"}});
    ASSERT_EQ(toFile.code, 0) << toFile.err;
    EXPECT_EQ(WithoutStamp(ReadTextLines(file)), WithoutStamp(Lines(solved.out)));
    EXPECT_NE(test::ReadAll(file).find("\r\n"), std::string::npos);
}

// A date or time no record can hold (another tool wrote the project) is
// absent from the report of a saved solution, never a computed date.
TEST_F(Solve, ADateOutsideTheCalendarIsAbsentFromTheReport) {
    ASSERT_EQ(Dyma({"solve", project_, "--save"}).code, 0);
    const std::string edited = example_ + "/edited.dym";
    EditedCopy(edited, [](IniImage& i) {
        i.WriteString("Datas", "Date", "1E30");
        i.WriteString("Datas", "Time", "1E30");
    });
    const CliResult r = Dyma({"report", edited});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, " Data zjawiska: b.d.\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, " Czas zjawiska: b.d.\n")) << r.out;
}

TEST_F(Solve, TheGeologicalModelComesFromTheSettingsUnlessOverridden) {
    {
        const std::string conf = Dir("config/Quarnet") + "/Dyma.conf";
        std::ofstream(conf) << "[Geology]\ndefaultAAngle=110\ndefaultBieg=30\n";
    }
    const CliResult fromSettings = Dyma({"solve", project_});
    ASSERT_EQ(fromSettings.code, 0) << fromSettings.err;
    EXPECT_TRUE(Contains(fromSettings.out, " Kąt wyjścia fali pokładowej górnej: 110°\n"));
    EXPECT_TRUE(Contains(fromSettings.out, " Bieg warst: 30°\n"));

    const CliResult overridden = Dyma({"solve", project_, "--aa", "114", "--bb", "70", "--dip", "4", "--strike", "45"});
    ASSERT_EQ(overridden.code, 0) << overridden.err;
    EXPECT_TRUE(Contains(overridden.out, " Kąt wyjścia fali pokładowej górnej: 114°\n"));
    EXPECT_TRUE(Contains(overridden.out, " Kąt wyjścia fali pokładowej dolnej: 70°\n"));
    EXPECT_TRUE(Contains(overridden.out, " Bieg warst: 45°\n"));
}

TEST_F(Solve, FailuresGiveAClearMessageAndTheBatchGoesOn) {
    const std::string dir = example_;
    // A file of another program.
    std::ofstream(dir + "/foreign.dym") << "[Something]\nkey=value\n";
    // A project whose signal file is gone.
    EditedCopy(dir + "/nosignal.dym", [](IniImage& i) {
        i.WriteString("Datas", "SignalFile", "gone.mbj");
        i.WriteString("Datas", "SignalFileShort", "gone.mbj");
    });
    // Picks without a polarity: the solver has nothing to fit.
    EditedCopy(dir + "/unsolvable.dym", [](IniImage& i) {
        for (int ident = 1; ident <= 30; ++ident) i.WriteString(ChannelSection(ident), "FirstArrival", "0");
    });
    // Too few ticked picks for processing.
    EditedCopy(dir + "/fewpicks.dym", [](IniImage& i) {
        for (int ident = 1; ident <= 20; ++ident) i.WriteBool(ChannelSection(ident), "Active", false);
    });
    // No tremor location: a warning, and the processing goes on.
    EditedCopy(dir + "/nolocation.dym", [](IniImage& i) { i.WriteString("Datas", "X", "0"); });

    struct Case {
        std::string file, message;
    } cases[] = {
        {dir + "/foreign.dym", "Błąd! Plik nie jest prawidłowym plikiem programu WinDYMA 1.5.0"},
        {dir + "/nosignal.dym", "Nie znaleziono pliku sygnału " + dir + "/gone.mbj"},
        {dir + "/unsolvable.dym", "Program NPFA.EXE zakończył pracę bez pełnego pliku wyników NPF.RES: "},
        {dir + "/fewpicks.dym", "za mało aktywnych odczytów do przetwarzania: 10 (potrzeba więcej niż 10)"},
        {dir + "/missing.dym", "Otwarcie pliku: " + dir + "/missing.dym zakończyło się niepowodzeniem."},
    };
    for (const Case& c : cases) {
        const CliResult r = Dyma({"solve", c.file});
        EXPECT_EQ(r.code, 1) << c.file;
        EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    EXPECT_TRUE(Contains(Dyma({"solve", dir + "/foreign.dym"}).err, "Otwarcie pliku: " + dir + "/foreign.dym"));

    const CliResult warned = Dyma({"solve", dir + "/nolocation.dym"});
    EXPECT_EQ(warned.code, 0) << warned.err;
    EXPECT_TRUE(Contains(warned.err, "Ostrzeżenie: Wydaje się, że nie została wprowadzona poprawna lokalizacja "
                                     "wstrząsu: X = 0.00 Y = 17385.00 Z = -955.00"))
        << warned.err;

    // One failed file among good ones: the others are solved and saved, the
    // status says that something failed.
    const std::string copy = dir + "/copy.dym";
    fs::copy_file(project_, copy);
    const CliResult batch = Dyma({"solve", project_, dir + "/unsolvable.dym", copy, "--save"});
    EXPECT_EQ(batch.code, 1);
    EXPECT_EQ(Lines(batch.out).size(), 2 * Lines(Dyma({"report", project_}).out).size() + 1)
        << "two reports with a blank line between them";
    EXPECT_TRUE(IniImage(project_).ReadBool("Result", "Exists", false));
    EXPECT_TRUE(IniImage(copy).ReadBool("Result", "Exists", false));
    EXPECT_FALSE(IniImage(dir + "/unsolvable.dym").SectionExists("Result"));
    EXPECT_TRUE(TemporaryFolderIsEmpty());
}

TEST_F(Solve, ReportOfAProjectWithoutASolution) {
    const CliResult r = Dyma({"report", project_});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Contains(r.err, "nie zawiera rozwiązania")) << r.err;
    EXPECT_TRUE(r.out.empty());
}

TEST_F(Solve, LegacyImportWithNetAndWithRes) {
    // Legacy files as the older workflow kept them: the picks this program
    // writes for the solver, and the network of the signal file.
    ASSERT_EQ(Dyma({"solve", project_, "--save"}).code, 0);
    const std::string dir = Dir("legacy");
    WriteTextLines(dir + "/event.dat", ReadLines(IniImage(project_), "DATStringList"));
    std::vector<std::string> net;
    {
        Quarnet::lgsig signal(example_ + "/" + example::kSignalFile, dir + "/table.tmp");
        net = BuildNet(Settings{}, NetStations(ReadChannelFacts(signal)), '.');
    }
    WriteTextLines(dir + "/event.net", net);

    const CliResult withNet = Dyma({"import", dir + "/event.dat", dir + "/event.net"});
    ASSERT_EQ(withNet.code, 0) << withNet.err;
    EXPECT_TRUE(withNet.err.empty()) << withNet.err;
    EXPECT_LE(focal::KaganAngle(ReportPlaneA(Lines(withNet.out), '.'), truth_.planeA), 5.0);
    EXPECT_TRUE(Contains(withNet.out, " Z: -0.955km\n")) << "the DAT's depth, shown above sea level";

    // The result file of the same solver run on the same files.
    fs::create_directories(dir + "/run");
    fs::copy_file(dir + "/event.dat", dir + "/run/NPF.DAT");
    fs::copy_file(dir + "/event.net", dir + "/run/NPF.NET");
    WriteTextLines(dir + "/run/NPF.PAR", BuildPar());
    ASSERT_EQ(QProcess::execute(DYMA_PROGRAM_DIR "/repository/NPFA.EXE", {QString::fromStdString(dir + "/run")}), 0);
    fs::copy_file(dir + "/run/NPF.RES", dir + "/event.res");
    const CliResult withRes = Dyma({"import", dir + "/event.dat", dir + "/event.res"});
    ASSERT_EQ(withRes.code, 0) << withRes.err;
    EXPECT_EQ(WithoutStamp(Lines(withRes.out)), WithoutStamp(Lines(withNet.out)));

    // Channels the NET does not know are ignored with a warning.
    WriteTextLines(dir + "/short.net", std::vector<std::string>(net.begin(), net.end() - 2));
    const CliResult shortNet = Dyma({"import", dir + "/event.dat", dir + "/short.net"});
    EXPECT_EQ(shortNet.code, 0) << shortNet.err;
    EXPECT_TRUE(Contains(shortNet.err, "W pliku NET brak informacji o niektórych kanałach pomiarowych: 29ZZ 30ZZ. "
                                       "Kanały te zostaną zignorowane w przetwarzaniu."))
        << shortNet.err;

    // A result file without its solution: the report as far as it was read,
    // and a status that says so.
    WriteTextLines(dir + "/broken.res", {"NPFA", "no solution here"});
    const CliResult broken = Dyma({"import", dir + "/event.dat", dir + "/broken.res"});
    EXPECT_EQ(broken.code, 1);
    EXPECT_TRUE(Contains(broken.out, "PLIK WYNIKOWY PRZETWARZANIA PROGRAMU WinDYMA 1.5.0"));
    EXPECT_TRUE(Contains(broken.err, "nie zawiera pełnego rozwiązania")) << broken.err;
    EXPECT_TRUE(TemporaryFolderIsEmpty());
}
