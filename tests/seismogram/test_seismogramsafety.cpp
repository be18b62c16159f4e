// What the seismogram window does so that nothing the operator did is lost:
// "Zapisz jako" writes the new file only and the document moves there; a
// save keeps the file's permissions and refuses a read-only file; one
// project is open once, however it is reached and in whichever program;
// a modified window asks before it closes; every press in the polarity
// column counts; the weight box lets the window's keys through.
#include "seismogramfixture.h"

#include "app/document/projectfile.h"
#include "app/document/projectlock.h"
#include "app/shell/wagespinbox.h"
#include "common/textfile.h"
#include "support/otherprogram.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLockFile>
#include <QSysInfo>
#include <QTreeWidget>

#include <filesystem>

using namespace dyma;
using namespace dyma::gui;
using namespace dyma::test;
namespace fs = std::filesystem;

namespace {

std::string Value(const TfmSeismogram& w, int channel, const char* key) {
    return w.Image().ReadString(ChannelSection(channel + 1), key, "<none>");
}

fs::perms Mode(const std::string& path) { return fs::status(path).permissions() & fs::perms::mask; }

class SafetyTest : public SeismogramTest {
protected:
    // A project with a pick on the first channel, made by the window itself
    // and closed again.
    std::string MakeProject(const std::string& name = "event") {
        const std::string signal = WriteSignal(name + ".mbj");
        const std::string project = work.File(name + ".dym");
        TfmSeismogram* w = Open(signal);
        EXPECT_NE(w, nullptr);
        if (!w) return project;
        w->PlacePick(1.0);
        EXPECT_TRUE(w->SaveDocumentAs(project));
        Close(w);
        return project;
    }
    std::string InUse(const std::string& file, qint64 pid) const {
        return "Plik " + file + " jest już otwarty w innym programie WinDYMA (proces " + std::to_string(pid) +
               ", komputer " + QSysInfo::machineHostName().toStdString() + ").";
    }
};

}  // namespace

TEST_F(SafetyTest, SaveAsWritesOnlyTheNewFileAndTheDocumentLivesOnThere) {
    // The original writable, and read-only (a project from a write-protected
    // place must still be savable elsewhere).
    for (const unsigned originalMode : {0644u, 0444u}) {
        SCOPED_TRACE(originalMode);
        const std::string project = MakeProject();
        fs::permissions(project, fs::perms(originalMode));
        const std::string before = ReadAll(project);
        TfmSeismogram* w = Open(project);
        ASSERT_NE(w, nullptr);
        w->NextChannel();
        w->PlacePick(1.5);

        fs::create_directories(work.Path() / "kopie");
        const std::string copy = work.File("kopie/kopia.dym");
        ASSERT_TRUE(w->SaveDocumentAs(copy)) << (recorded.warnings.empty() ? "" : recorded.warnings[0]);
        EXPECT_EQ(ReadAll(project), before) << "the original stays as it was on disk";
        EXPECT_EQ(Mode(project), fs::perms(originalMode));
        EXPECT_EQ(IniImage(copy).ReadString("Channel002", "MarkerPosition", ""), "1.5");
        EXPECT_FALSE(w->Modified());
        // The document lives on at its new place: its file, the open-file
        // list, the lock.
        EXPECT_EQ(w->DocumentFileName(), copy);
        EXPECT_EQ(w->ProjectFileName(), copy);
        EXPECT_TRUE(fm->IsFileOpen(copy));
        EXPECT_FALSE(fm->IsFileOpen(project));
        EXPECT_TRUE(fs::exists(CanonicalPath(copy) + ".lock"));
        EXPECT_FALSE(fs::exists(project + ".lock"));
        // Later saves go there too.
        w->LastChannel();
        w->PlacePick(2.0);
        ASSERT_TRUE(w->SaveDocumentAs(w->DocumentFileName()));
        EXPECT_EQ(IniImage(copy).ReadString("Channel004", "MarkerPosition", ""), "2");
        EXPECT_EQ(ReadAll(project), before);
        Close(w);
        EXPECT_FALSE(fm->IsFileOpen(copy));
        EXPECT_FALSE(fs::exists(CanonicalPath(copy) + ".lock"));
        EXPECT_TRUE(recorded.Silent());
        fs::permissions(project, fs::perms(0644));
    }
}

TEST_F(SafetyTest, SaveAsRefusesAFileOpenElsewhereInTheProgram) {
    const std::string other = MakeProject("inny");
    TfmSeismogram* first = Open(other);
    ASSERT_NE(first, nullptr);
    const std::string signal = WriteSignal("event.mbj");
    TfmSeismogram* w = Open(signal);
    ASSERT_NE(w, nullptr);
    w->PlacePick(1.0);
    const std::string otherBytes = ReadAll(other), signalBytes = ReadAll(signal);
    // Another window's project, and this window's own signal file.
    for (const std::string& target : {other, signal}) {
        recorded.warnings.clear();
        EXPECT_FALSE(w->SaveDocumentAs(target));
        ASSERT_EQ(recorded.warnings.size(), 1u);
        EXPECT_EQ(recorded.warnings[0], "Plik " + target + " jest otwarty w programie. Dokument nie został zapisany.");
        EXPECT_TRUE(w->Modified());
    }
    EXPECT_EQ(ReadAll(other), otherBytes);
    EXPECT_EQ(ReadAll(signal), signalBytes);
}

TEST_F(SafetyTest, ASaveKeepsThePermissionsAndAReadOnlyProjectIsRefused) {
    struct Case {
        unsigned mode;
        bool saved;
    } cases[] = {{0664, true}, {0640, true}, {0600, true}, {0444, false}, {0464, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const std::string project = MakeProject();
        fs::permissions(project, fs::perms(c.mode));
        const std::string before = ReadAll(project);
        TfmSeismogram* w = Open(project);
        ASSERT_NE(w, nullptr);
        w->LastChannel();
        w->PlacePick(1.25);
        recorded.warnings.clear();
        EXPECT_EQ(w->SaveDocumentAs(project), c.saved);
        EXPECT_EQ(Mode(project), fs::perms(c.mode)) << "the permissions stay";
        if (c.saved) {
            EXPECT_TRUE(recorded.warnings.empty());
            EXPECT_EQ(IniImage(project).ReadString("Channel004", "MarkerPosition", ""), "1.25");
            EXPECT_FALSE(w->Modified());
        } else {
            // Refused whoever runs the program: the superuser too.
            ASSERT_EQ(recorded.warnings.size(), 1u);
            EXPECT_EQ(recorded.warnings[0], SaveFailedMessage(project));
            EXPECT_EQ(ReadAll(project), before);
            EXPECT_TRUE(w->Modified());
            recorded.saveAnswer = SaveChoice::Discard;
        }
        Close(w);
        recorded.saveQuestions.clear();
        fs::permissions(project, fs::perms(0644));
    }
}

TEST_F(SafetyTest, OneProjectOpensOnceHoweverItIsReached) {
    const std::string project = MakeProject();
    fs::create_directories(work.Path() / "dane");
    fs::create_directory_symlink(work.Path(), work.Path() / "skrot");
    fs::create_symlink(project, work.Path() / "link.dym");
    fs::create_symlink(work.File("event.mbj"), work.Path() / "link.mbj");
    TfmSeismogram* w = Open(project);
    ASSERT_NE(w, nullptr);
    for (const std::string& path : {work.File("link.dym"), work.File("skrot/event.dym"), work.File("dane/../event.dym"),
                                    work.File("link.mbj"), work.File("skrot/event.mbj")}) {
        recorded.warnings.clear();
        EXPECT_EQ(Open(path), nullptr) << path;
        ASSERT_EQ(recorded.warnings.size(), 1u) << path;
        EXPECT_EQ(recorded.warnings[0], "Nie można przetwarzać dwóch takich samych dokumentów");
    }
    EXPECT_EQ(fm->MdiArea()->subWindowList().size(), 1);
    Close(w);
    // Closed, it opens again, through the link as well.
    recorded.warnings.clear();
    EXPECT_NE(Open(work.File("link.dym")), nullptr);
    EXPECT_TRUE(recorded.Silent());
}

TEST_F(SafetyTest, AProjectOpenInAnotherProgramOpensOnlyOnceThatProgramIsGone) {
    const std::string project = MakeProject();
    fs::create_symlink(project, work.Path() / "link.dym");
    OtherProgram other({QStringLiteral("project"), QString::fromStdString(project)});
    ASSERT_EQ(other.Line(), "locked");
    for (const std::string& path : {project, work.File("link.dym")}) {
        recorded.warnings.clear();
        EXPECT_EQ(Open(path), nullptr);
        ASSERT_EQ(recorded.warnings.size(), 1u);
        EXPECT_EQ(recorded.warnings[0], InUse(path, other.Pid()) + " Nie można go otworzyć po raz drugi.");
    }
    EXPECT_TRUE(fm->MdiArea()->subWindowList().isEmpty());

    // Killed, its lock is stale: this program takes it over.
    other.Kill();
    recorded.warnings.clear();
    TfmSeismogram* w = Open(project);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(recorded.Silent());
    qint64 pid = 0;
    QString host, program;
    ASSERT_TRUE(QLockFile(QString::fromStdString(project + ".lock")).getLockInfo(&pid, &host, &program));
    EXPECT_EQ(pid, QCoreApplication::applicationPid());
    // Now a second program is the one that finds it taken.
    {
        OtherProgram second({QStringLiteral("project"), QString::fromStdString(project)});
        EXPECT_EQ(second.Line(), "busy");
    }
    Close(w);
    OtherProgram third({QStringLiteral("project"), QString::fromStdString(project)});
    EXPECT_EQ(third.Line(), "locked") << "the lock went with the window";
}

TEST_F(SafetyTest, AnOpenRemovesWhatASaveKilledHalfWayLeftAndNothingElse) {
    const std::string project = MakeProject();
    for (const char* name : {"event.dym.123456.tmp", "event.dym.7.tmp"}) work.Write(name, "[Datas]\r\nX=1");
    for (const char* name : {"event.dym.bak", "event.dym.tmp", "event.dym.12.tmp.old", "inny.dym.5.tmp"})
        work.Write(name, "cudzy");
    ASSERT_NE(Open(project), nullptr);
    EXPECT_FALSE(fs::exists(work.File("event.dym.123456.tmp")));
    EXPECT_FALSE(fs::exists(work.File("event.dym.7.tmp")));
    for (const char* name : {"event.dym.bak", "event.dym.tmp", "event.dym.12.tmp.old", "inny.dym.5.tmp"})
        EXPECT_EQ(ReadAll(work.File(name)), "cudzy") << name;
}

TEST_F(SafetyTest, AModifiedWindowAsksBeforeItCloses) {
    struct Case {
        const char* name;
        SaveChoice answer;
        bool dialogAccepted;
        bool closes, saved;
    } cases[] = {
        {"Zapisz", SaveChoice::Save, true, true, true},
        {"Zapisz, dialog anulowany", SaveChoice::Save, false, false, false},
        {"Nie zapisuj", SaveChoice::Discard, true, true, false},
        {"Anuluj", SaveChoice::Cancel, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string project = MakeProject();
        const std::string before = ReadAll(project);
        TfmSeismogram* w = Open(project);
        ASSERT_NE(w, nullptr);
        Close(w);  // unmodified: no question
        EXPECT_TRUE(recorded.saveQuestions.empty());
        w = Open(project);
        w->LastChannel();
        w->PlacePick(1.75);
        recorded.saveAnswer = c.answer;
        {
            ScopedDialogRunner answer([&](QDialog& d) {
                dynamic_cast<QFileDialog&>(d).selectFile(QString::fromStdString(project));
                return int(c.dialogAccepted ? QDialog::Accepted : QDialog::Rejected);
            });
            Close(w);
        }
        EXPECT_EQ(recorded.saveQuestions,
                  std::vector<std::string>{"Dokument " + work.File("event.mbj") +
                                           " został zmodyfikowany. Czy zapisać zmiany?"});
        EXPECT_EQ(fm->MdiArea()->subWindowList().size(), c.closes ? 0 : 1);
        if (c.saved) EXPECT_EQ(IniImage(project).ReadString("Channel004", "MarkerPosition", ""), "1.75");
        else EXPECT_EQ(ReadAll(project), before);
        if (!c.closes) {
            EXPECT_TRUE(w->Modified()) << "the changes are still there";
            recorded.saveAnswer = SaveChoice::Discard;
            Close(w);
        }
        recorded.saveQuestions.clear();
    }
}

TEST_F(SafetyTest, EveryPressInThePolarityColumnToggles) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 3}));
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageNetwork);
    QTreeWidget& net = w->NetInfo();
    const QRect row = net.visualItemRect(net.topLevelItem(1));
    const QPoint cell(net.header()->sectionViewportPosition(int(kPolarityColumn)) +
                          net.columnWidth(int(kPolarityColumn)) / 2,
                      row.center().y());
    // A double click is a press, a release and a second press that arrives
    // as the double click: three presses with the one before it.
    QTest::mouseClick(net.viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(net.topLevelItem(1)->text(int(kPolarityColumn)), "Rev");
    QTest::mouseClick(net.viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(net.viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(net.topLevelItem(1)->text(int(kPolarityColumn)), "Rev");
    EXPECT_EQ(Value(*w, 1, "Polarity"), "-1");
    // And one more.
    QTest::mouseClick(net.viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(net.topLevelItem(1)->text(int(kPolarityColumn)), "Norm");
    EXPECT_EQ(Value(*w, 1, "Polarity"), "1");
    // A double click elsewhere in the row changes nothing.
    const QPoint other(net.header()->sectionViewportPosition(0) + 5, row.center().y());
    QTest::mouseClick(net.viewport(), Qt::LeftButton, {}, other);
    QTest::mouseDClick(net.viewport(), Qt::LeftButton, {}, other);
    EXPECT_EQ(Value(*w, 1, "Polarity"), "1");
}

TEST_F(SafetyTest, TheWeightBoxLetsTheWindowsKeysThrough) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 4}));
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);
    w->ChooseWaveType(2);  // B, weight 70
    w->PlacePick(1.0);
    ASSERT_EQ(Value(*w, 0, "Wage"), "0.7");
    const double p = fm->Preferences().Values().MagnificationFactorY * 0.01;
    struct Case {
        Qt::Key key;
        int channel;
        double scale;
    } cases[] = {
        {Qt::Key_PageDown, 1, 1.0}, {Qt::Key_PageUp, 0, 1.0},     {Qt::Key_End, 3, 1.0},
        {Qt::Key_Home, 0, 1.0},     {Qt::Key_Up, 0, 1.0 - p},     {Qt::Key_Down, 0, (1.0 - p) * (1.0 + p)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QKeySequence(c.key).toString().toStdString());
        w->Wage().setFocus();
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        ASSERT_TRUE(focus == &w->Wage() || focus->parentWidget() == &w->Wage());
        QTest::keyClick(focus, c.key);
        EXPECT_EQ(w->CurrentChannel(), c.channel);
        EXPECT_DOUBLE_EQ(w->VerticalScale(), c.scale);
        // The pick of the first channel keeps its weight; no other channel
        // got one.
        EXPECT_EQ(Value(*w, 0, "Wage"), "0.7");
        EXPECT_EQ(Value(*w, 0, "WaveType"), "B");
        for (int ch = 1; ch < 4; ++ch) EXPECT_EQ(Value(*w, ch, "Wage"), "<none>") << ch;
    }
    // Its arrows still step the weight.
    w->Wage().stepBy(1);
    EXPECT_EQ(w->Wage().value(), 80);
    EXPECT_EQ(Value(*w, 0, "Wage"), "0.8");
}
