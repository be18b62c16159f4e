// Whole-file writes: what a save keeps of the file it replaces, what it
// refuses, and what it leaves behind.
#include "common/textfile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace dyma;
namespace fs = std::filesystem;

namespace {

fs::perms Mode(const std::string& path) { return fs::status(path).permissions() & fs::perms::mask; }

void SetMode(const std::string& path, unsigned mode) { fs::permissions(path, fs::perms(mode)); }

}  // namespace

// Permission bits and groups are POSIX: Windows keeps a read-only
// attribute and nothing else of them.
#ifndef _WIN32
TEST(WriteFileAtomic, KeepsThePermissionsOfTheFileItReplaces) {
    // A new file would get 0644 under the usual umask: each case differs.
    ::umask(022);
    for (const unsigned mode : {0664u, 0600u, 0660u, 0666u, 0640u}) {
        SCOPED_TRACE(mode);
        test::TempDir dir;
        const std::string path = dir.Write("projekt.dym", "stary");
        SetMode(path, mode);
        WriteFileAtomic(path, "nowy");
        EXPECT_EQ(test::ReadAll(path), "nowy");
        EXPECT_EQ(Mode(path), fs::perms(mode));
    }
    test::TempDir dir;
    WriteFileAtomic(dir.File("nowy.dym"), "x");
    EXPECT_EQ(Mode(dir.File("nowy.dym")), fs::perms(0644)) << "a new file gets the defaults";
}

TEST(WriteFileAtomic, KeepsTheGroupWhereTheUserMayGiveIt) {
    gid_t other = 0;
    if (::geteuid() == 0) {
        other = 4242;
    } else {
        gid_t groups[64];
        const int n = ::getgroups(64, groups);
        for (int i = 0; i < n; ++i)
            if (groups[i] != ::getegid()) other = groups[i];
        if (other == 0) GTEST_SKIP() << "the user belongs to one group only";
    }
    test::TempDir dir;
    const std::string path = dir.Write("projekt.dym", "stary");
    ASSERT_EQ(::chown(path.c_str(), static_cast<uid_t>(-1), other), 0);
    SetMode(path, 0664);
    WriteFileAtomic(path, "nowy");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_gid, other);
    EXPECT_EQ(Mode(path), fs::perms(0664));
}
#endif

TEST(WriteFileAtomic, AReadOnlyFileIsRefusedAndKeptEvenForTheSuperuser) {
    // The rename needs only the folder's rights, so the system itself would
    // let the file be replaced, by anyone: the program checks the mode.
    test::TempDir dir;
    const std::string path = dir.Write("projekt.dym", "stary");
    SetMode(path, 0444);
    try {
        WriteFileAtomic(path, "nowy");
        FAIL() << "a read-only file was overwritten";
    } catch (const FileError& e) {
        EXPECT_EQ(e.Path(), path);
    }
    EXPECT_EQ(test::ReadAll(path), "stary");
    EXPECT_EQ(Mode(path), fs::perms(0444));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1) << "nothing left beside it";
}

TEST(MayOverwrite, TheWriteBitOfTheUsersClassDecides) {
    // The file belongs to the user running the test (the superuser counts
    // as the owner of every file), so the owner's bit decides.
    struct Case {
        unsigned mode;
        bool writable;
    } cases[] = {{0644, true}, {0600, true}, {0200, true}, {0444, false}, {0400, false},
                 {0464, false}, {0446, false}, {0066, false}};
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const std::string path = dir.Write("plik", "x");
        SetMode(path, c.mode);
        EXPECT_EQ(MayOverwrite(path), c.writable);
        SetMode(path, 0644);
    }
    EXPECT_TRUE(MayOverwrite(dir.File("brak"))) << "a missing file may be made";
    fs::create_directory(dir.Path() / "katalog");
    EXPECT_FALSE(MayOverwrite(dir.File("katalog")));
}

TEST(WriteFileAtomic, WritesTheFileASymbolicLinkNames) {
    test::TempDir dir;
    const std::string real = dir.Write("prawdziwy.dym", "stary");
    std::error_code ec;
    fs::create_symlink(real, dir.Path() / "skrot.dym", ec);
    if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
    WriteFileAtomic(dir.File("skrot.dym"), "nowy");
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "skrot.dym")) << "the link stays a link";
    EXPECT_EQ(test::ReadAll(real), "nowy");
}

TEST(WriteFileAtomic, RemovesWhatEarlierWritesOfTheSameFileLeftAndNothingElse) {
    test::TempDir dir;
    const char* stale[] = {"p.dym.123.tmp", "p.dym.9.tmp", "p.dym.999999.tmp"};
    const char* foreign[] = {"p.dym.tmp",     "p.dym.x1.tmp", "p.dym.12.tmp.bak", "q.dym.1.tmp",
                             "p.dym.1.TMP",   "xp.dym.1.tmp", "p.dym..tmp",       "p.dym"};
    for (const char* name : stale) dir.Write(name, "resztka");
    for (const char* name : foreign) dir.Write(name, "cudzy");
    fs::create_directory(dir.Path() / "p.dym.7.tmp");  // a folder of that name is no one's file
    WriteFileAtomic(dir.File("p.dym"), "nowy");
    for (const char* name : stale) EXPECT_FALSE(fs::exists(dir.Path() / name)) << name;
    for (const char* name : foreign)
        if (std::string(name) != "p.dym") EXPECT_EQ(test::ReadAll(dir.File(name)), "cudzy") << name;
    EXPECT_TRUE(fs::is_directory(dir.Path() / "p.dym.7.tmp"));
    EXPECT_EQ(test::ReadAll(dir.File("p.dym")), "nowy");

    // The open command removes them the same way, before any save.
    dir.Write("p.dym.4711.tmp", "resztka");
    EXPECT_EQ(RemoveStaleTemporaries(dir.File("p.dym")), 1);
    EXPECT_FALSE(fs::exists(dir.Path() / "p.dym.4711.tmp"));
}

TEST(CanonicalPath, EveryPathToOneFileGivesOneName) {
    test::TempDir dir;
    fs::create_directories(dir.Path() / "dane" / "wstrzasy");
    const std::string real = dir.Write("dane/wstrzasy/w.dym", "x");
    std::error_code ec;
    fs::create_directory_symlink(dir.Path() / "dane", dir.Path() / "skrot", ec);
    if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
    fs::create_symlink(real, dir.Path() / "link.dym");
    const std::string canonical = CanonicalPath(real);
    for (const std::string& path : {dir.File("skrot/wstrzasy/w.dym"), dir.File("link.dym"),
                                    dir.File("dane/wstrzasy/../wstrzasy/./w.dym")})
        EXPECT_EQ(CanonicalPath(path), canonical) << path;
    // A file that does not exist yet: its folder resolved, the name kept.
    EXPECT_EQ(CanonicalPath(dir.File("skrot/wstrzasy/nowy.dym")),
              (fs::path(canonical).parent_path() / "nowy.dym").string());
    EXPECT_NE(CanonicalPath(dir.File("dane/wstrzasy/inny.dym")), canonical);
}
