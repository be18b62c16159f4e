#include "lgsig/qualib/disktable.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <filesystem>
#include <stdexcept>
#ifndef _WIN32
#include <sys/resource.h>
#endif

using dyma::test::ReadAll;
using dyma::test::TempDir;
using Table = Quarnet::DiskTable<double>;

namespace {

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}

double ValueAt(const std::string& bytes, std::size_t index) {
    double v;
    std::memcpy(&v, bytes.data() + index * sizeof v, sizeof v);
    return v;
}

}  // namespace

TEST(DiskTable, OpenWritesEveryCellWithTheFill) {
    TempDir dir;
    Table table;
    table.Open(dir.File("zeros.tmp"), 3, 4, 0.0);
    EXPECT_EQ(ReadAll(dir.File("zeros.tmp")), std::string(96, '\0'));

    Table filled;
    filled.Open(dir.File("fill.tmp"), 2, 3, -1.25);
    const std::string bytes = ReadAll(dir.File("fill.tmp"));
    ASSERT_EQ(bytes.size(), 48u);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(ValueAt(bytes, i), -1.25);
    EXPECT_EQ(filled.Line(0)[2], -1.25);
}

TEST(DiskTable, RowsWrittenThroughThePointerComeBack) {
    TempDir dir;
    const std::string file = dir.File("rows.tmp");
    Table table;
    table.Open(file, 3, 4, 0.0);
    double* row0 = table.Line(0);
    for (int i = 0; i < 4; ++i) row0[i] = i + 0.5;
    EXPECT_EQ(table.Line(1)[0], 0.0);
    table.Line(1)[3] = 42.0;
    const double* again = table.Line(0);
    EXPECT_EQ(again[0], 0.5);
    EXPECT_EQ(again[3], 3.5);
    EXPECT_EQ(table.Line(1)[3], 42.0);

    // Row r lives at r * 32 bytes; the cached row reaches the file on Flush.
    table.Line(2)[1] = 7.0;
    EXPECT_EQ(ValueAt(ReadAll(file), 9), 0.0);
    table.Flush();
    const std::string bytes = ReadAll(file);
    EXPECT_EQ(ValueAt(bytes, 2 * 4 + 1), 7.0);
    EXPECT_EQ(ValueAt(bytes, 1 * 4 + 3), 42.0);
    EXPECT_EQ(ValueAt(bytes, 0 * 4 + 1), 1.5);
}

// Parts of rows written straight to the file: the cached row goes back
// first and is then forgotten, so neither it nor a later row change can
// overwrite what was written; a part past the row's end is refused.
TEST(DiskTable, PartsOfRowsGoStraightToTheFile) {
    TempDir dir;
    const std::string file = dir.File("parts.tmp");
    Table table;
    table.Open(file, 3, 4, 0.0);
    table.Line(1)[0] = 9.0;  // cached, not yet in the file
    const double part[] = {1.5, 2.5};
    table.WriteLinePart(1, 2, part, 2);
    table.WriteLinePart(0, 0, part, 1);
    const std::string bytes = ReadAll(file);
    EXPECT_EQ(ValueAt(bytes, 1 * 4 + 0), 9.0) << "the cached row went back first";
    EXPECT_EQ(ValueAt(bytes, 1 * 4 + 2), 1.5);
    EXPECT_EQ(ValueAt(bytes, 1 * 4 + 3), 2.5);
    EXPECT_EQ(ValueAt(bytes, 0), 1.5);
    table.Line(2)[0] = 4.0;  // a row change must not write an old row 1 back
    const double* row1 = table.Line(1);
    EXPECT_EQ(row1[0], 9.0);
    EXPECT_EQ(row1[2], 1.5);
    EXPECT_EQ(row1[3], 2.5);
    EXPECT_EQ(table.Line(0)[0], 1.5);
    EXPECT_EQ(MessageOf([&] { table.WriteLinePart(3, 0, part, 1); }), "Row number is out of range.");
    EXPECT_THROW(table.WriteLinePart(0, 3, part, 2), std::logic_error);
    EXPECT_THROW(table.WriteLinePart(0, -1, part, 1), std::logic_error);
}

TEST(DiskTable, RowsOutsideTheTableAreRejected) {
    TempDir dir;
    Table table;
    table.Open(dir.File("t.tmp"), 3, 4, 0.0);
    EXPECT_EQ(MessageOf([&] { table.Line(3); }), "Row number is out of range.");
    EXPECT_EQ(MessageOf([&] { table.Line(-1); }), "Row number is out of range.");
    EXPECT_THROW(table.Line(3), std::runtime_error);
    Table closed;
    EXPECT_EQ(MessageOf([&] { closed.Line(0); }), "Row number is out of range.");
}

TEST(DiskTable, WrongUseIsAProgrammingError) {
    TempDir dir;
    Table table;
    EXPECT_THROW(table.Open("", 1, 1, 0.0), std::logic_error);
    EXPECT_EQ(MessageOf([&] { table.Open("", 1, 1, 0.0); }), "AFileName.Length() > 0 (qualib/disktable)");
    EXPECT_EQ(MessageOf([&] { table.Open(dir.File("a"), 1, 0, 0.0); }), "AColumnSize > 0 (qualib/disktable)");
    EXPECT_EQ(MessageOf([&] { table.Open(dir.File("a"), 0, 1, 0.0); }), "ARowSize > 0 (qualib/disktable)");
    EXPECT_FALSE(std::filesystem::exists(dir.File("a")));
}

TEST(DiskTable, AFileThatCannotBeCreatedReportsTheErrorNumber) {
    TempDir dir;
    Table table;
    EXPECT_EQ(MessageOf([&] { table.Open(dir.File("missing/t.tmp"), 2, 2, 0.0); }),
              "Temporary file open error (0002)");
    EXPECT_FALSE(table.IsOpen());
}

TEST(DiskTable, TheFileGoesWithCloseReopenAndDestruction) {
    TempDir dir;
    const std::string first = dir.File("first.tmp");
    const std::string second = dir.File("second.tmp");
    {
        Table table;
        table.Open(first, 2, 2, 0.0);
        table.Open(second, 2, 2, 0.0);
        EXPECT_FALSE(std::filesystem::exists(first));
        EXPECT_TRUE(std::filesystem::exists(second));
        table.Close();
        EXPECT_FALSE(std::filesystem::exists(second));
        table.Open(first, 1, 1, 0.0);
    }
    EXPECT_FALSE(std::filesystem::exists(first));
}

// Windows has no file-size limit to stand in for a full disk.
#ifndef _WIN32
// A file that cannot grow (the file-size limit stands in for a full disk)
// closes the table and deletes its file before the exception leaves, both
// for a zero fill (the file is extended) and another fill (rows are
// written, the second one fails half-way). Run in a child process so the
// limit stays there.
TEST(DiskTableDeathTest, AFailedCheckDeletesTheFile) {
    for (double fill : {0.0, 1.0}) {
        SCOPED_TRACE(fill);
        TempDir dir;
        const std::string file = dir.File("limited.tmp");
        auto limitedOpen = [&file, fill] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{50, 50};
            setrlimit(RLIMIT_FSIZE, &limit);
            Table table;
            try {
                table.Open(file, 3, 4, fill);
            } catch (const std::runtime_error& e) {
                const bool deleted = !std::filesystem::exists(file) && !table.IsOpen();
                const bool text = std::string(e.what()) == "Buffer write error (0027)";
                std::_Exit(deleted && text ? 0 : 2);
            }
            std::_Exit(3);
        };
        EXPECT_EXIT(limitedOpen(), ::testing::ExitedWithCode(0), "");
    }
}
#endif

