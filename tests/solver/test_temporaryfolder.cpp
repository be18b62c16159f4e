// The temporary directory set to a folder of the operator's: foreign files,
// files that only look like the program's, an open document with its signal
// and location files, and the run folders of two other copies of the
// program (one running, one killed). The program starts, opens the
// document, processes it, imports legacy files and quits: every file it did
// not write survives every path, and the open seismogram keeps its sample
// table through the processing.
#include "app/document/projectfile.h"
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/seismogramopen.h"
#include "app/shell/outputcommands.h"
#include "app/solver/importcommand.h"
#include "app/solver/modalformimport.h"
#include "app/solver/processingcommand.h"
#include "app/solver/runfolder.h"
#include "app/solver/solverfiles.h"
#include "common/textfile.h"
#include "seismogram/seismogramfixture.h"
#include "solver/resbuilder.h"
#include "support/otherprogram.h"

#include <QFileDialog>

#include <filesystem>
#include <map>

using namespace dyma;
using namespace dyma::gui;
namespace fs = std::filesystem;

namespace {

constexpr SolverLimits kShort{20, 100, 300};

class TemporaryFolderTest : public test::GuiTest {
protected:
    void SetUp() override {
        fs::create_directories(program.Path() / "repository");
        WriteTextLines(work.File("complete.res"), test::ResLines({{1, "10Z", 0, 0, 0.7, 45, 90, 1.0}}));
        const std::string solver = (program.Path() / "repository" / "NPFA.EXE").string();
        std::ofstream(solver) << "#!/bin/sh\ncp '" << work.File("complete.res") << "' NPF.RES\n";
        fs::permissions(solver, fs::perms::owner_all);
        fs::create_directories(folder);
    }
    void TearDown() override { fm.reset(); }

    void Start() {
        QSettings key = Key();
        test::WriteTestDirectories(key, work.Path().string());
        key.setValue("Dirs/TempDirectory", QString::fromStdString(folder.string()));
        key.setValue("Additional/RemoveTempDir", 1);
        key.sync();
        fm = std::make_unique<TfmMain>(program.Path().string());
        DocumentCommands commands;
        AddOpenCommands(commands);
        AddSolverAndOutputCommands(commands);
        fm->SetDocumentCommands(std::move(commands));
        fm->show();
        QApplication::processEvents();
    }

    std::string Put(const std::string& name, const std::string& bytes) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // A project of twelve complete picks on a twelve-channel record.
    std::string MakeDocument() {
        const std::string signal = (folder / "wstrzas.mbj").string();
        lgomgen::Write(signal, test::MakeSignal({.channels = 12}));
        IniImage image((folder / "wstrzas.dym").string());
        WriteFileInfo(image);
        image.WriteString("Datas", "SignalFile", signal);
        image.WriteString("Datas", "SignalFileShort", "wstrzas.mbj");
        for (const char* k : {"X", "Y", "Z"}) image.WriteString("Datas", k, "120");
        for (int ch = 1; ch <= 12; ++ch) {
            const std::string s = ChannelSection(ch);
            image.WriteString(s, "WaveType", "C");
            image.WriteString(s, "Wage", "1");
            image.WriteString(s, "MarkerPosition", "1");
            image.WriteString(s, "FirstArrival", ch % 2 ? "+" : "-");
            image.WriteString(s, "Active", "1");
        }
        image.UpdateFile();
        Put("wstrzas.dbs", std::string(3446, 'd'));
        return image.FileName();
    }

    // Answers the import dialog and its two file steps.
    void ImportDatAndNet(const std::string& dat, const std::string& net) {
        int step = 0;
        ScopedDialogRunner answer([&](QDialog& d) {
            if (auto* dialog = dynamic_cast<TfmImport*>(&d)) {
                dialog->Select(TfmImport::Choice::DatAndNet);
                return int(QDialog::Accepted);
            }
            dynamic_cast<QFileDialog&>(d).selectFile(QString::fromStdString(++step == 1 ? dat : net));
            return int(QDialog::Accepted);
        });
        ImportLegacyFiles(*fm, kShort);
    }

    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::directory_iterator(folder))
            if (e.is_regular_file()) files[e.path().filename().string()] = test::ReadAll(e.path().string());
        return files;
    }

    test::TempDir program;
    const fs::path folder = work.Path() / "Dane";
    std::unique_ptr<TfmMain> fm;
};

}  // namespace

TEST_F(TemporaryFolderTest, EveryFileTheProgramDidNotWriteSurvivesEveryPath) {
    const std::string project = MakeDocument();
    // The operator's files, some named as the program names its own.
    Put("notatki.txt", "moje notatki");
    Put("NPF.DAT", "stary plik DAT operatora");
    Put("NPF.RES", "stary wynik operatora");
    Put("NPFA.EXE", "kopia operatora");
    Put("inny.mbj.tmp", "plik operatora");
    fs::create_directories(folder / "archiwum");
    Put("archiwum/NPF.NET", "sieć");
    const std::map<std::string, std::string> before = Snapshot();

    // Two other copies of the program with their run folders here.
    const QStringList run = {QStringLiteral("run"), QString::fromStdString(folder.string()), kProgramRunPrefix,
                             QStringLiteral("NPF.RES")};
    test::OtherProgram running(run), killed(run);
    killed.Kill();

    // Start: the killed copy's folder goes, the running one's stays.
    Start();
    EXPECT_FALSE(fs::exists(killed.Line()));
    EXPECT_TRUE(fs::exists(fs::path(running.Line()) / "NPF.RES"));
    EXPECT_EQ(Snapshot(), before);

    // Open.
    TfmSeismogram* w = OpenByFileName(*fm, QString::fromStdString(project));
    ASSERT_NE(w, nullptr);
    const std::string table = w->SampleTablePath();
    EXPECT_EQ(fs::path(table).parent_path(), fs::path(fm->RunDirectory()));
    ASSERT_TRUE(fs::exists(table));
    std::map<std::string, std::string> withLock = before;
    withLock["wstrzas.dym.lock"] = test::ReadAll(project + ".lock");
    EXPECT_EQ(Snapshot(), withLock);

    // Processing: the program's own folder is emptied of its own files, the
    // open seismogram's sample table stays.
    StartProcessing(*fm, kShort);
    EXPECT_TRUE(recorded.warnings.empty()) << recorded.warnings[0];
    EXPECT_TRUE(w->ResultShown());
    EXPECT_TRUE(fs::exists(table)) << "the open seismogram's samples";
    EXPECT_TRUE(fs::exists(fs::path(fm->RunDirectory()) / "NPF.DAT"));
    EXPECT_EQ(Snapshot(), withLock);
    EXPECT_TRUE(fs::exists(fs::path(running.Line()) / "NPF.RES"));

    // Import of legacy files.
    DataPageValues page;
    page.X = page.Y = page.Z = "120";
    std::vector<PickRow> rows;
    std::vector<NetStation> stations;
    for (int i = 1; i <= 12; ++i) {
        rows.push_back({i, std::to_string(i), "Z", "C", i % 2 ? "+" : "-", 1.0, 1.0, true});
        stations.push_back({std::to_string(i), "Z", 100.0 * i, 50, -800});
    }
    const std::string dat = work.File("stary.dat"), net = work.File("stary.net");
    WriteTextLines(dat, BuildDat(page, rows, {}, '.'));
    WriteTextLines(net, BuildNet(Settings{}, stations, '.'));
    ImportDatAndNet(dat, net);
    EXPECT_TRUE(recorded.warnings.empty()) << recorded.warnings[0];
    EXPECT_TRUE(fs::exists(table));
    EXPECT_EQ(Snapshot(), withLock);

    // Quit (the solution is a change the operator lets go).
    recorded.saveAnswer = SaveChoice::Discard;
    const std::string ownFolder = fm->RunDirectory();
    EXPECT_TRUE(fm->close());
    EXPECT_FALSE(fs::exists(ownFolder)) << "the program's own folder goes at the end";
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(test::ReadAll((folder / "archiwum" / "NPF.NET").string()), "sieć");
    EXPECT_TRUE(fs::exists(fs::path(running.Line()) / "NPF.RES")) << "another running copy keeps its files";
}
