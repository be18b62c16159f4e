// dyma beside other running programs: its temporary folders of killed runs
// are swept at the next start, and a project that the desktop program has
// open is not saved over.
#include "app/solver/runfolder.h"
#include "cli/clirun.h"
#include "support/otherprogram.h"

#include <QSysInfo>

#include <filesystem>

using namespace clitest;
using namespace dyma;
namespace fs = std::filesystem;

namespace {

class Runs : public CliTest {
protected:
    std::string Example() const {
        return CopyExample() + "/tremor.dym";
    }
};

}  // namespace

TEST_F(Runs, TheFoldersOfKilledRunsGoAtTheNextStart) {
    const QStringList run = {QStringLiteral("run"), QString::fromStdString(root_.File("tmp")), kToolRunPrefix,
                             QStringLiteral("tremor.mbj.tmp")};
    test::OtherProgram killed(run), running(run);
    ASSERT_TRUE(fs::exists(fs::path(killed.Line()) / "tremor.mbj.tmp"));
    killed.Kill();
    // Not a folder of a run, whatever its name.
    fs::create_directories(root_.Path() / "tmp" / "dyma-inny");
    std::ofstream(root_.File("tmp/dyma-inny/tremor.mbj.tmp")) << "x";

    const CliResult r = Dyma({"--version"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(fs::exists(killed.Line()));
    EXPECT_TRUE(fs::exists(fs::path(running.Line()) / "tremor.mbj.tmp")) << "a running dyma keeps its files";
    EXPECT_TRUE(fs::exists(root_.Path() / "tmp" / "dyma-inny" / "tremor.mbj.tmp"));
}

TEST_F(Runs, AProjectOpenInTheProgramIsNotSavedOver) {
    const std::string project = Example();
    const std::string before = test::ReadAll(project);
    {
        test::OtherProgram desktop({QStringLiteral("project"), QString::fromStdString(project)});
        ASSERT_EQ(desktop.Line(), "locked");
        const CliResult r = Dyma({"solve", project, "--save"});
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find("Plik " + project + " jest już otwarty w innym programie WinDYMA (proces " +
                             std::to_string(desktop.Pid()) + ", komputer " +
                             QSysInfo::machineHostName().toStdString() + "). Plik nie został zapisany."),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(test::ReadAll(project), before);
        desktop.End();
    }
    // Closed there, it is saved.
    const CliResult r = Dyma({"solve", project, "--save"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(test::ReadAll(project), before);
    EXPECT_FALSE(fs::exists(project + ".lock"));
    EXPECT_TRUE(TemporaryFolderIsEmpty());
}
