// The run's own folder in the temporary directory, and the sweep at start of
// the folders of runs whose process is gone; "the other program" plays a
// second running copy of WinDYMA, killed or ending.
#include "app/solver/runfolder.h"
#include "common/textfile.h"
#include "support/otherprogram.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

using namespace dyma;
namespace fs = std::filesystem;

namespace {

void Put(const fs::path& file, const char* text = "x") { std::ofstream(file) << text; }

}  // namespace

TEST(RunFolder, AFolderOfItsOwnThatGoesWithItsOwnFilesOnly) {
    test::TempDir base;
    RunFolder run(base.Path().string(), kProgramRunPrefix);
    const fs::path path = run.Path();
    EXPECT_EQ(path.parent_path(), base.Path());
    EXPECT_TRUE(std::regex_match(path.filename().string(), std::regex("WinDYMA-[A-Za-z0-9]{6}")));
    EXPECT_TRUE(fs::exists(path / kRunLockName));
    EXPECT_TRUE(fs::exists(path / kRunMarkName));
    RunFolder second(base.Path().string(), kProgramRunPrefix);
    EXPECT_NE(second.Path(), run.Path()) << "two runs never share a folder";

    Put(path / "NPF.DAT");
    Put(path / "w.mbj.tmp");
    Put(path / "notatki.txt", "cudzy");
    run.Remove();
    EXPECT_FALSE(fs::exists(path / "NPF.DAT"));
    EXPECT_FALSE(fs::exists(path / "w.mbj.tmp"));
    EXPECT_FALSE(fs::exists(path / kRunLockName));
    EXPECT_EQ(test::ReadAll((path / "notatki.txt").string()), "cudzy") << "a file the program did not write stays";

    Put(fs::path(second.Path()) / "NPFA.EXE");
    second.Remove();
    EXPECT_FALSE(fs::exists(second.Path())) << "nothing else in it: the folder goes";
}

TEST(RunFolder, AFolderThatCannotBeMadeIsReported) {
    test::TempDir base;
    const std::string file = base.Write("plik", "x");
    EXPECT_THROW(RunFolder folder(file + "/Temp", kProgramRunPrefix), FileError);
}

TEST(SweepEndedRuns, TakesTheFoldersOfRunsThatAreGoneAndNothingElse) {
    test::TempDir base;
    const std::string dir = base.Path().string();
    const QStringList run = {QStringLiteral("run"), QString::fromStdString(dir), kProgramRunPrefix,
                             QStringLiteral("NPF.RES")};

    test::OtherProgram killed(run), ended(run), running(run), killedWithForeign(run);
    for (test::OtherProgram* p : {&killed, &ended, &running, &killedWithForeign})
        ASSERT_EQ(fs::path(p->Line()).parent_path(), base.Path()) << p->Line();
    Put(fs::path(killedWithForeign.Line()) / "notatki.txt", "cudzy");
    killed.Kill();
    killedWithForeign.Kill();
    ended.End();  // ended keeping its files (RemoveTempDir off)

    // Folders that are not run folders, whatever they hold.
    const fs::path unmarked = base.Path() / "WinDYMA-abc123", longer = base.Path() / "WinDYMA-abc1234",
                   other = base.Path() / "dyma-test-123456", elsewhere = base.Path() / "gdzie-indziej",
                   link = base.Path() / "WinDYMA-link01";
    for (const fs::path& d : {unmarked, longer, other, elsewhere}) {
        fs::create_directory(d);
        Put(d / "NPF.DAT");
        if (d != unmarked) Put(d / kRunMarkName);
    }
    fs::create_directory_symlink(elsewhere, link);

    const std::vector<std::string> removed = SweepEndedRuns(dir, kProgramRunPrefix);
    EXPECT_EQ(removed.size(), 2u);
    EXPECT_FALSE(fs::exists(killed.Line())) << "a killed run's folder goes";
    EXPECT_FALSE(fs::exists(ended.Line())) << "an ended run's folder goes";
    EXPECT_TRUE(fs::exists(fs::path(running.Line()) / "NPF.RES")) << "a running program keeps its files";
    EXPECT_FALSE(fs::exists(fs::path(killedWithForeign.Line()) / "NPF.RES"));
    EXPECT_EQ(test::ReadAll((fs::path(killedWithForeign.Line()) / "notatki.txt").string()), "cudzy");
    for (const fs::path& d : {unmarked, longer, other, elsewhere}) EXPECT_TRUE(fs::exists(d / "NPF.DAT")) << d;
    EXPECT_TRUE(fs::is_symlink(link));

    // Once the running one ends, the next start takes its folder too.
    running.End();
    EXPECT_EQ(SweepEndedRuns(dir, kProgramRunPrefix), std::vector<std::string>{running.Line()});
    EXPECT_TRUE(SweepEndedRuns(base.File("brak"), kProgramRunPrefix).empty());
}
