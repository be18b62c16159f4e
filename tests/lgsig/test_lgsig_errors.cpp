#include "lgsigfixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <random>
#ifndef _WIN32
#include <sys/resource.h>
#endif

using dyma::test::TempDir;
using lgomgen::Layout;
using lgsigtest::FailureOf;
using lgsigtest::SmallSignal;
using Quarnet::lgsig;

namespace {

// Writes the file of one case into dir and returns its path.
using MakeFile = std::function<std::string(const TempDir&)>;

MakeFile Encoded(const std::string& name, lgomgen::Signal s, std::size_t keepBytes = std::string::npos) {
    return [=](const TempDir& dir) {
        std::string bytes = lgomgen::Encode(s);
        if (keepBytes < bytes.size()) bytes.resize(keepBytes);
        return dir.Write(name, bytes);
    };
}

lgomgen::Signal With(Layout layout, const std::function<void(lgomgen::Signal&)>& change) {
    lgomgen::Signal s = SmallSignal(layout);
    change(s);
    return s;
}

struct ErrorCase {
    const char* what;
    MakeFile make;
    const char* type;
    const char* message;
};

}  // namespace

TEST(LgsigErrors, DamagedFilesEndInTheRightException) {
    const ErrorCase cases[] = {
        {"missing file", [](const TempDir& d) { return d.File("none.mbj"); }, "QuaEIOError", "File does not exist."},
        {"empty file", [](const TempDir& d) { return d.Write("empty.mbj", ""); }, "QuaEIOError", "Bad file length."},
        {"file named .dat", Encoded(".dat", SmallSignal(Layout::MBJ)), "QuaEWrongOperation", "Undefined header."},
        {"other extension", Encoded("rec.mbk", SmallSignal(Layout::MBJ)), "QuaEWrongOperation", "Undefined header."},
        {"unknown identifier",
         Encoded("u.mbj", With(Layout::MBJ, [](auto& s) { s.identifier = "M.ZENTAR_ELOGOR-C64_v2.0_RUDNA"; })),
         "QuaEWrongOperation", "Undefined header."},
        {"identifier shorter than the file", [](const TempDir& d) { return d.Write("s.mbi", "CONVERT"); },
         "QuaEWrongOperation", "Undefined header."},
        {"channel count 0", Encoded("c0.min", With(Layout::MIN32, [](auto& s) { s.writtenChannelCount = 0; })),
         "QuaEWrongOperation", "Wrong channel count in the header: 0 (allowed 1 to 96)."},
        {"channel count 97", Encoded("c97.mbi", With(Layout::MBI32, [](auto& s) { s.writtenChannelCount = 97; })),
         "QuaEWrongOperation", "Wrong channel count in the header: 97 (allowed 1 to 96)."},
        {"negative channel count",
         Encoded("cn.mbi", With(Layout::MBI64, [](auto& s) { s.writtenChannelCount = -3; })), "QuaEWrongOperation",
         "Wrong channel count in the header: -3 (allowed 1 to 64)."},
        // The v2.6 channel table holds 64 records; a 65th would be read
        // from the activity table and the samples.
        {"MBI64 channel count 65", Encoded("c65.mbi", With(Layout::MBI64, [](auto& s) { s.writtenChannelCount = 65; })),
         "QuaEWrongOperation", "Wrong channel count in the header: 65 (allowed 1 to 64)."},
        {"MIN64 channel count 96", Encoded("c96.min", With(Layout::MIN64, [](auto& s) { s.writtenChannelCount = 96; })),
         "QuaEWrongOperation", "Wrong channel count in the header: 96 (allowed 1 to 64)."},
        // A header size inside the fixed header would read header bytes as
        // samples.
        {"MBI32 header size 3",
         Encoded("h3.mbi", With(Layout::MBI32, [](auto& s) {
             s.headerBytes = 3;
             s.samplesPerChannel = 0;  // the header alone, identifier intact
         })),
         "QuaEWrongOperation", "Sample data would start at byte 3, inside the header (1026 bytes)."},
        {"MBI32 header size 512", Encoded("h512.mbi", With(Layout::MBI32, [](auto& s) { s.headerBytes = 512; })),
         "QuaEWrongOperation", "Sample data would start at byte 512, inside the header (1026 bytes)."},
        {"MBI32 header size 1025", Encoded("h1025.mbi", With(Layout::MBI32, [](auto& s) { s.headerBytes = 1025; })),
         "QuaEWrongOperation", "Sample data would start at byte 1025, inside the header (1026 bytes)."},
        {"MBJ header size 8191", Encoded("h.mbj", With(Layout::MBJ, [](auto& s) { s.headerBytes = 8191; })),
         "QuaEWrongOperation", "Sample data would start at byte 8191, inside the header (8192 bytes)."},
        {"MBJ channel count 65", Encoded("c65.mbj", With(Layout::MBJ, [](auto& s) { s.writtenChannelCount = 65; })),
         "QuaEWrongOperation", "Wrong channel count in the header: 65 (allowed 1 to 64)."},
        {"data start past the end (MIN64)", Encoded("d.min", SmallSignal(Layout::MIN64), 7000), "QuaEWrongOperation",
         "Sample data would start at byte 7104, beyond the end of the file (7000 bytes)."},
        {"data start past the end (MBJ header size)",
         Encoded("d.mbj", With(Layout::MBJ, [](auto& s) { s.headerBytes = 9000; }), 8300), "QuaEWrongOperation",
         "Sample data would start at byte 9000, beyond the end of the file (8300 bytes)."},
        {"MBJ header cut before the channel count", Encoded("t.mbj", SmallSignal(Layout::MBJ), 50),
         "QuaEWrongOperation", "Wrong channel count in the header: 0 (allowed 1 to 64)."},
        {"MBJ header cut after the channel count", Encoded("t.mbj", SmallSignal(Layout::MBJ), 100),
         "QuaEWrongOperation", "Sample data would start at byte 8192, beyond the end of the file (100 bytes)."},
        {"truncated MIN32 channel table", Encoded("t.min", SmallSignal(Layout::MIN32), 4200), "QuaEWrongOperation",
         "No active channel in the file."},
        {"no active channel",
         Encoded("a.min", With(Layout::MIN64, [](auto& s) { for (auto& c : s.channels) c.active = false; })),
         "QuaEWrongOperation", "No active channel in the file."},
        {"no sample", Encoded("n.mbj", With(Layout::MBJ, [](auto& s) { s.samplesPerChannel = 0; })),
         "QuaEWrongOperation", "The file holds no whole sample."},
        {"no whole sample",
         Encoded("h.mbi", With(Layout::MBI32, [](auto& s) { s.samplesPerChannel = 1; }), 1026 + 5),
         "QuaEWrongOperation", "The file holds no whole sample."},
        {"sampling rate below 1", Encoded("r0.mbj", With(Layout::MBJ, [](auto& s) { s.samplingRate = 0.5; })),
         "QuaEWrongOperation", "Wrong sampling rate in the header: 0.5."},
        {"sampling rate NaN", Encoded("rn.min", With(Layout::MIN32, [](auto& s) { s.samplingRate = NAN; })),
         "QuaEWrongOperation", "Wrong sampling rate in the header: NAN."},
        {"sampling rate too large", Encoded("rl.mbi", With(Layout::MBI64, [](auto& s) { s.samplingRate = 1e12; })),
         "QuaEWrongOperation", "Wrong sampling rate in the header: 1000000000000."},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = c.make(dir);
        const std::string temp = dir.File("signal.tmp");
        const auto failure = FailureOf([&] { lgsig reader(file, temp); });
        EXPECT_EQ(failure.type, c.type);
        EXPECT_EQ(failure.message, c.message);
        EXPECT_FALSE(std::filesystem::exists(temp));
    }
}

TEST(LgsigErrors, TheSignalFileIsNeverItsOwnTemporaryFile) {
    TempDir dir;
    lgomgen::Write(dir.File("x.mbj"), SmallSignal(Layout::MBJ));
    const std::string before = dyma::test::ReadAll(dir.File("x.mbj"));
    const auto failure = FailureOf([&] { lgsig reader(dir.File("x.mbj"), dir.Path().string() + "/./x.mbj"); });
    EXPECT_EQ(failure.type, "QuaEWrongOperation");
    EXPECT_EQ(failure.message, "The temporary file must not be the signal file.");
    EXPECT_EQ(dyma::test::ReadAll(dir.File("x.mbj")), before);
}

TEST(LgsigErrors, ReadErrorsNameTheirCheckSite) {
    EXPECT_NO_THROW(lgsig::IOErrorCheck("Open file error", 0));
    EXPECT_NO_THROW(lgsig::IOErrorCheck("Open file error", 17));
    const auto open = FailureOf([] { lgsig::IOErrorCheck("Open file error", -1); });
    EXPECT_EQ(open.type, "QuaEIOError");
    EXPECT_EQ(open.message, "lgsig::IOErrorCheck(): Read error. Open file error");
    EXPECT_EQ(FailureOf([] { lgsig::IOErrorCheck(" Header read error", -1); }).message,
              "lgsig::IOErrorCheck(): Read error. Header read error");
    EXPECT_EQ(FailureOf([] { lgsig::IOErrorCheck("Błąd odczytania nagłówka pliku .mbj", -5); }).message,
              "lgsig::IOErrorCheck(): Read error. Błąd odczytania nagłówka pliku .mbj");
}

// Windows has no file-size limit to stand in for a full disk.
#ifndef _WIN32
// A table that cannot be written (the file-size limit stands in for a full
// disk) ends the constructor with the table's error, and no temporary file
// stays behind. In a child process, so the limit stays there.
TEST(LgsigErrorsDeathTest, AFailedTableLeavesNoTemporaryFile) {
    TempDir dir;
    lgomgen::Signal s = SmallSignal(Layout::MBJ);
    s.samplesPerChannel = 4000;
    lgomgen::Write(dir.File("big.mbj"), s);
    const std::string temp = dir.File("big.tmp");
    auto limitedRead = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{50000, 50000};
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto failure = FailureOf([&] { lgsig reader(dir.File("big.mbj"), temp); });
        const bool ok = failure.message == "Buffer write error (0027)" && !std::filesystem::exists(temp);
        std::_Exit(ok ? 0 : 2);
    };
    EXPECT_EXIT(limitedRead(), ::testing::ExitedWithCode(0), "");
}
#endif

// Cut and scrambled files of every layout: each read either succeeds and
// every sample can be read, or ends in an exception; nothing is left behind.
TEST(LgsigErrors, CutAndScrambledFilesNeverBreakTheReader) {
    std::mt19937 random(12345);
    for (Layout layout : {Layout::MBI32, Layout::MIN32, Layout::MBI64, Layout::MIN64, Layout::MBJ}) {
        SCOPED_TRACE(lgomgen::FileExtension(layout));
        TempDir dir;
        const std::string good = lgomgen::Encode(SmallSignal(layout));
        const std::string name = "f" + lgomgen::FileExtension(layout);
        const std::string temp = dir.File("f.tmp");
        auto tryRead = [&](const std::string& bytes) {
            dir.Write(name, bytes);
            try {
                lgsig r(dir.File(name), temp);
                for (int c = r.GetMinChannel(); c <= r.GetMaxChannel(); ++c)
                    for (int i = -1; i <= r.GetChannelLength(c); ++i) (void)r.GetSample(c, i);
            } catch (const std::exception&) {
            }
            EXPECT_FALSE(std::filesystem::exists(temp));
        };
        for (std::size_t cut = 0; cut < good.size(); cut += 1 + good.size() / 60) tryRead(good.substr(0, cut));
        for (int round = 0; round < 60; ++round) {
            std::string bytes = good;
            // Identifier kept, so the layout's own fields are what changes.
            for (int k = 0; k < 12; ++k)
                bytes[30 + random() % (bytes.size() - 30)] = static_cast<char>(random() % 256);
            tryRead(bytes);
        }
    }
}
