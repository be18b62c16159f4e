#include "app/solver/workdirectory.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace dyma;
namespace fs = std::filesystem;

TEST(WorkDirectory, CleaningDeletesTheProgramsOwnFilesAndNothingElse) {
    test::TempDir dir;
    const char* own[] = {"NPF.DAT", "NPFA.EXE", "NPF.PNY", "NPF.RES.123.tmp", "wstrzas.MBJ.tmp", "wstrzas.mbj.2.tmp"};
    const char* foreign[] = {".hidden", "notatki.txt", "wstrzas.dym", "wstrzas.mbj", "NPF.DAT.bak"};
    for (const char* name : own) dir.Write(name, "x");
    for (const char* name : foreign) dir.Write(name, "cudzy");
    fs::create_directories(dir.Path() / "sub");
    dir.Write("sub/NPF.DAT", "x");
    std::vector<std::string> shown;
    const CleanOutcome out = CleanTemporaryDirectory(dir.Path().string(), {}, [&](const std::string& p) { shown.push_back(p); });
    EXPECT_TRUE(out.cleaned);
    EXPECT_TRUE(out.refusal.empty());
    EXPECT_EQ(out.deleted, 6);
    EXPECT_EQ(shown, (std::vector<std::string>{dir.File("NPF.DAT"), dir.File("NPF.PNY"), dir.File("NPF.RES.123.tmp"),
                                               dir.File("NPFA.EXE"), dir.File("wstrzas.MBJ.tmp"),
                                               dir.File("wstrzas.mbj.2.tmp")}));
    for (const char* name : own) EXPECT_FALSE(fs::exists(dir.Path() / name)) << name;
    for (const char* name : foreign) EXPECT_EQ(test::ReadAll(dir.File(name)), "cudzy") << name;
    EXPECT_TRUE(fs::exists(dir.Path() / "sub" / "NPF.DAT")) << "subdirectories are not entered";
    // a missing directory has nothing to clean
    EXPECT_TRUE(CleanTemporaryDirectory(dir.File("none"), {}).cleaned);
}

TEST(WorkDirectory, TheProgramsOwnFilesByName) {
    struct Case {
        const char* name;
        bool own;
    } cases[] = {
        {"NPFA.EXE", true},         {"npfa.exe", true},          {"NPF.DAT", true},           {"NPF.NET", true},
        {"NPF.PAR", true},          {"NPF.RES", true},           {"NPF.PNY", true},           {"NPF.BIN", true},
        {"NPF.RES.4711.tmp", true}, {"NPF.PNY.0.tmp", true},     {"NPF.ACC", true},           {"NPF.ACC.12.tmp", true},
        {"a.mbi.tmp", true},        {"A.MIN.TMP", true},
        {"b c.mbj.17.tmp", true},   {"NPF.RES.tmp", false},      {"NPF.RES.x.tmp", false},    {"NPF.DAT.bak", false},
        {"NPF.TXT", false},         {"a.dym", false},            {"a.mbj", false},            {"a.tmp", false},
        {"a.dat.tmp", false},       {".mbj.tmp", false},         {"a.mbj.2.tmp.old", false},  {"a.mbj.x.tmp", false},
        {"a.dym.123.tmp", false},   {"notatki.txt", false},      {"run.lock", false},         {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsOwnTemporaryFile(c.name), c.own) << c.name;
}

TEST(WorkDirectory, SampleTablesInUseStay) {
    test::TempDir dir;
    dir.Write("otwarty.mbj.tmp", "x");
    dir.Write("zamkniety.mbj.tmp", "x");
    const CleanOutcome out = CleanTemporaryDirectory(dir.Path().string(), {}, {},
                                                     [&](const std::string& p) { return p == dir.File("otwarty.mbj.tmp"); });
    EXPECT_EQ(out.deleted, 1);
    EXPECT_TRUE(fs::exists(dir.Path() / "otwarty.mbj.tmp"));
    EXPECT_FALSE(fs::exists(dir.Path() / "zamkniety.mbj.tmp"));
}

TEST(WorkDirectory, AFolderHoldingAnOpenDocumentIsNeverEmptied) {
    test::TempDir base;
    fs::create_directories(base.Path() / "dane");
    const std::string project = base.Write("dane/wstrzas.dym", "x");
    base.Write("dane/NPF.DAT", "x");
    fs::create_directory_symlink(base.Path() / "dane", base.Path() / "skrot");
    ProtectedDirectories guarded;
    guarded.openDocuments = {base.File("inne/w.mbj"), project};
    for (const std::string& dir : {base.File("dane"), base.File("skrot"), base.File("dane/../dane/")}) {
        const CleanOutcome out = CleanTemporaryDirectory(dir, guarded, [](const std::string&) { FAIL(); });
        EXPECT_FALSE(out.cleaned) << dir;
        EXPECT_EQ(out.refusal, "Katalog plików tymczasowych " + dir +
                                   " nie został wyczyszczony, ponieważ jest to katalog otwartego dokumentu " + project +
                                   ". Zmień katalog plików tymczasowych w ustawieniach programu.");
    }
    EXPECT_TRUE(fs::exists(base.Path() / "dane" / "NPF.DAT"));
    guarded.openDocuments = {base.File("inne/w.mbj")};
    EXPECT_TRUE(CleanTemporaryDirectory(base.File("dane"), guarded).cleaned);
    EXPECT_FALSE(fs::exists(base.Path() / "dane" / "NPF.DAT"));
    EXPECT_TRUE(fs::exists(project));
}

TEST(WorkDirectory, AFileThatCannotBeDeletedStaysWithoutAnError) {
    test::TempDir dir;
    dir.Write("NPF.DAT", "x");
    dir.Write("NPF.NET", "x");
    // NPF.NET vanishes between the listing and its deletion
    CleanOutcome out;
    EXPECT_NO_THROW(out = CleanTemporaryDirectory(dir.Path().string(), {}, [&](const std::string& p) {
        if (p == dir.File("NPF.DAT")) fs::remove(dir.Path() / "NPF.NET");
    }));
    EXPECT_EQ(out.deleted, 1);
    EXPECT_EQ(out.kept, 1);
}

TEST(WorkDirectory, AWriteProtectedDirectoryKeepsItsFiles) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
    test::TempDir dir;
    dir.Write("NPF.RES", "x");
    fs::permissions(dir.Path(), fs::perms::owner_write, fs::perm_options::remove);
    const CleanOutcome out = CleanTemporaryDirectory(dir.Path().string(), {});
    fs::permissions(dir.Path(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(out.kept, 1);
    EXPECT_TRUE(fs::exists(dir.Path() / "NPF.RES"));
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
        std::ofstream(fs::path(home) / "NPF.DAT") << "x";
        const CleanOutcome out = CleanTemporaryDirectory(c.dir, guarded, [](const std::string&) { FAIL(); });
        EXPECT_FALSE(out.cleaned) << c.dir;
        EXPECT_EQ(out.refusal, "Katalog plików tymczasowych " + c.dir + " nie został wyczyszczony, ponieważ jest to " +
                                   c.reason + ". Zmień katalog plików tymczasowych w ustawieniach programu.");
    }
    EXPECT_TRUE(fs::exists(fs::path(home) / "NPF.DAT"));
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
