#include "app/solver/workdirectory.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace dyma;
namespace fs = std::filesystem;

TEST(WorkDirectory, CleaningDeletesFilesAndKeepsDirectories) {
    test::TempDir dir;
    dir.Write("NPF.DAT", "x");
    dir.Write("NPFA.EXE", "x");
    dir.Write(".hidden", "x");
    fs::create_directories(dir.Path() / "sub");
    dir.Write("sub/inner.txt", "x");
    std::vector<std::string> shown;
    const CleanOutcome out = CleanTemporaryDirectory(dir.Path().string(), {}, [&](const std::string& p) { shown.push_back(p); });
    EXPECT_TRUE(out.cleaned);
    EXPECT_TRUE(out.refusal.empty());
    EXPECT_EQ(out.deleted, 3);
    EXPECT_EQ(shown, (std::vector<std::string>{dir.File(".hidden"), dir.File("NPF.DAT"), dir.File("NPFA.EXE")}));
    EXPECT_TRUE(fs::exists(dir.Path() / "sub" / "inner.txt"));
    EXPECT_FALSE(fs::exists(dir.Path() / "NPF.DAT"));
    // a missing directory has nothing to clean
    EXPECT_TRUE(CleanTemporaryDirectory(dir.File("none"), {}).cleaned);
}

TEST(WorkDirectory, AFileThatCannotBeDeletedStaysWithoutAnError) {
    test::TempDir dir;
    dir.Write("a", "x");
    dir.Write("b", "x");
    // "b" vanishes between the listing and its deletion
    CleanOutcome out;
    EXPECT_NO_THROW(out = CleanTemporaryDirectory(dir.Path().string(), {}, [&](const std::string& p) {
        if (p == dir.File("a")) fs::remove(dir.Path() / "b");
    }));
    EXPECT_EQ(out.deleted, 1);
    EXPECT_EQ(out.kept, 1);
}

TEST(WorkDirectory, AWriteProtectedDirectoryKeepsItsFiles) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
    test::TempDir dir;
    dir.Write("c", "x");
    fs::permissions(dir.Path(), fs::perms::owner_write, fs::perm_options::remove);
    const CleanOutcome out = CleanTemporaryDirectory(dir.Path().string(), {});
    fs::permissions(dir.Path(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(out.kept, 1);
    EXPECT_TRUE(fs::exists(dir.Path() / "c"));
}

TEST(WorkDirectory, RefusesDirectoriesThatMustNotBeEmptied) {
    test::TempDir base;
    const std::string home = base.File("home"), program = base.File("bin"), seis = base.File("Sejsmogramy"),
                      output = base.File("Roboczy"), repository = base.File("bin/repository");
    for (const std::string& d : {home, program, seis, output, repository}) fs::create_directories(d);
    const ProtectedDirectories guarded{home, program, repository, seis, output};
    fs::create_directory_symlink(home, base.File("link-to-home"));
    struct Case {
        std::string dir;
        const char* reason;
    } cases[] = {
        {home, "katalog domowy użytkownika"},
        {home + "/", "katalog domowy użytkownika"},
        {base.File("Roboczy/../home"), "katalog domowy użytkownika"},
        {base.File("link-to-home"), "katalog domowy użytkownika"},
        {program, "katalog programu"},
        {repository, "katalog z kopią programu przetwarzającego"},
        {seis, "katalog sejsmogramów"},
        {output, "katalog plików wynikowych"},
        {"/", "katalog główny systemu plików"},
        {"/../", "katalog główny systemu plików"},
    };
    for (const Case& c : cases) {
        std::ofstream(fs::path(home) / "keep.txt") << "x";
        const CleanOutcome out = CleanTemporaryDirectory(c.dir, guarded, [](const std::string&) { FAIL(); });
        EXPECT_FALSE(out.cleaned) << c.dir;
        EXPECT_EQ(out.refusal, "Katalog plików tymczasowych " + c.dir + " nie został wyczyszczony, ponieważ jest to " +
                                   c.reason + ". Zmień katalog plików tymczasowych w ustawieniach programu.");
    }
    EXPECT_TRUE(fs::exists(fs::path(home) / "keep.txt"));
    EXPECT_FALSE(CleanTemporaryDirectory("  ", guarded).cleaned);
    // a folder inside a protected one is an ordinary temporary directory
    fs::create_directories(fs::path(home) / "Temp");
    EXPECT_TRUE(CleanTemporaryDirectory(home + "/Temp", guarded).cleaned);
}

TEST(WorkDirectory, TheSolverIsCopiedOnlyWhenMissing) {
    test::TempDir repo, work;
    EXPECT_FALSE(PlaceSolverExecutable(repo.Path().string(), work.Path().string()));
    EXPECT_EQ(SolverCopyFailedMessage(), "Program nie mógł skopiować pliku NPFA.EXE. Przetwarzanie nie będzie możliwe.");
    repo.Write("NPFA.EXE", "solver");
    fs::permissions(repo.Path() / "NPFA.EXE", fs::perms::owner_exec, fs::perm_options::add);
    ASSERT_TRUE(PlaceSolverExecutable(repo.Path().string(), work.Path().string()));
    EXPECT_EQ(test::ReadAll(work.File("NPFA.EXE")), "solver");
    EXPECT_NE(fs::status(work.Path() / "NPFA.EXE").permissions() & fs::perms::owner_exec, fs::perms::none);
    repo.Write("NPFA.EXE", "newer");
    ASSERT_TRUE(PlaceSolverExecutable(repo.Path().string(), work.Path().string()));
    EXPECT_EQ(test::ReadAll(work.File("NPFA.EXE")), "solver");
}
