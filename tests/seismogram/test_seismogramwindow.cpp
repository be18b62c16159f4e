// The seismogram window on generated signal files: opening, the display,
// navigation, the keys, the mouse and closing.
#include "seismogramfixture.h"

#include "app/solver/processing.h"
#include "app/widgets/helpsystem.h"
#include "app/widgets/wagespinbox.h"
#include "kelsig/signalprocessing.h"
#include "lgsig/lgsig.h"
#include "quactl/quaseries.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <filesystem>

using namespace dyma;
using namespace dyma::gui;
using namespace dyma::test;

namespace {

std::vector<QString> Labels(const quactl::TQuaGraph& g, const char* series) {
    std::vector<QString> out;
    const quactl::TQuaGraphSeries* s = g.FindSeries(series);
    for (int i = 0; s && i < s->GetN(); ++i) out.push_back(s->GetPoint(i).Label);
    return out;
}

TEST_F(SeismogramTest, OpensASignalFileIntoANewWindow) {
    const std::string path = WriteSignal("Wstrzas.MBJ", {.channels = 3, .seconds = 4});
    QString title;
    std::string directory;
    QStringList filters;
    {
        ScopedDialogRunner choose([&](QDialog& d) {
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            title = dialog.windowTitle();
            directory = dialog.directory().absolutePath().toStdString();
            filters = dialog.nameFilters();
            dialog.selectFile(QString::fromStdString(path));
            return int(QDialog::Accepted);
        });
        fm->Action("mOpenFile")->trigger();
    }
    EXPECT_EQ(title, "Otwórz plik");
    EXPECT_EQ(directory, work.File("Sejsmogramy"));
    // Both cases of the four extensions.
    for (const char* ext : {"*.mbi", "*.min", "*.mbj", "*.dym", "*.MBI", "*.MIN", "*.MBJ", "*.DYM"})
        EXPECT_TRUE(filters.first().contains(ext)) << ext;

    auto* w = dynamic_cast<TfmSeismogram*>(fm->ActiveChild());
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(recorded.Silent());
    // Both names listed; the project file is the signal's with ".dym"; with
    // no project yet the image bears a name of that file in the run's own
    // folder of Temp (never read or written: it is only a name).
    const std::string project = work.File("Wstrzas.dym");
    EXPECT_EQ(w->ProjectFileName(), project);
    EXPECT_EQ(w->SignalFileName(), path);
    EXPECT_TRUE(fm->IsFileOpen(project));
    EXPECT_TRUE(fm->IsFileOpen(path));
    const std::string run = fm->RunDirectory();
    EXPECT_EQ(std::filesystem::path(run).parent_path().string(), work.File("Temp"));
    EXPECT_EQ(w->DocumentFileName(), run + "/Wstrzas.dym");
    EXPECT_FALSE(std::filesystem::exists(w->DocumentFileName()));
    EXPECT_EQ(w->windowTitle().toStdString(), path);
    // The samples live in the run's folder under the signal's name.
    EXPECT_EQ(w->SampleTablePath(), run + "/Wstrzas.MBJ.tmp");
    EXPECT_TRUE(std::filesystem::exists(w->SampleTablePath()));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    // The processing box said so while the reader ran, and is gone.
    EXPECT_EQ(fm->Processing().Text(), "Przetwarzanie");
    EXPECT_FALSE(fm->Processing().isVisible());

    // Pages in order, "Dane" in front, no solution yet.
    QTabWidget& pages = w->Pages();
    ASSERT_EQ(pages.count(), 6);
    const char* captions[] = {"Sejsmogram", "Wszystkie kanały", "Sieć", "Plik przetwarzania", "Dane", "Rozwiązanie"};
    const char* names[] = {"tabSejsmogram", "tabKanaly", "tabSiec", "tabPrzetwarzanie", "tabDane", "tabWynik"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pages.tabText(i), QString::fromUtf8(captions[i]));
        EXPECT_EQ(pages.widget(i)->objectName(), names[i]);
    }
    EXPECT_EQ(pages.currentIndex(), kPageData);
    EXPECT_FALSE(pages.isTabVisible(kPageSolution));
    EXPECT_FALSE(w->ResultShown());
    EXPECT_FALSE(w->Modified());
    EXPECT_GE(w->width(), 570);
    EXPECT_GE(w->height(), 420);
    EXPECT_EQ(w->minimumSize(), QSize(570, 420));
    // Picking state after the show: direct wave, weight 100.
    EXPECT_EQ(w->CurrentWaveType().text(), "C");
    EXPECT_TRUE(w->WaveButton(0)->isChecked());
    EXPECT_EQ(w->Wage().value(), 100);
    EXPECT_EQ(fm->Picking().Wage->value(), 100);
    EXPECT_EQ(fm->Picking().CurrentWaveType->text(), "C");

    // Closing lets go of everything: both names, the sample file.
    const std::string table = w->SampleTablePath();
    Close(w);
    EXPECT_TRUE(fm->OpenFileList().empty());
    EXPECT_FALSE(std::filesystem::exists(table));
}

TEST_F(SeismogramTest, TheSameDocumentOpensOnceAtATime) {
    const std::string path = WriteSignal("event.mbj");
    TfmSeismogram* first = Open(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Open(path), nullptr);
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0], "Nie można przetwarzać dwóch takich samych dokumentów");
    EXPECT_EQ(fm->MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(fm->OpenFileList().size(), 2u);

    // A signal of the same name from another folder is another document,
    // with a sample table of its own.
    std::filesystem::create_directories(work.Path() / "inny");
    const std::string other = WriteSignal("inny/event.mbj");
    TfmSeismogram* second = Open(other);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->SampleTablePath(), first->SampleTablePath());
    // The main window's picking bar shows the window the operator is in.
    second->LastChannel();
    second->ChooseWaveType(2);
    EXPECT_EQ(fm->Picking().Label2->text().left(2), "04");
    fm->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    EXPECT_EQ(fm->Picking().Label2->text().left(2), "01");
    EXPECT_EQ(fm->Picking().CurrentWaveType->text(), "C");
    EXPECT_EQ(fm->Picking().Wage->value(), 100);
    // Commands of the main window reach the active window only.
    fm->Action("mNextSeismogram")->trigger();
    EXPECT_EQ(first->CurrentChannel(), 1);
    EXPECT_EQ(second->CurrentChannel(), 3);
    // The wave type chosen is a change: the operator lets it go.
    recorded.saveAnswer = SaveChoice::Discard;
    Close(second);
    EXPECT_EQ(recorded.saveQuestions,
              std::vector<std::string>{"Dokument " + other + " został zmodyfikowany. Czy zapisać zmiany?"});
    EXPECT_EQ(fm->MdiArea()->subWindowList().size(), 1);

    Close(first);
    recorded.warnings.clear();
    recorded.saveQuestions.clear();
    TfmSeismogram* again = Open(path);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(recorded.Silent());
}

TEST_F(SeismogramTest, FilesThatCannotBeOpenedGiveTheWarning) {
    EXPECT_EQ(Open(work.File("brak.mbj")), nullptr);
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0], "Otwarcie pliku: " + work.File("brak.mbj") + " zakończyło się niepowodzeniem.");

    // A project file of another program is refused by the version check.
    recorded.warnings.clear();
    const std::string foreign = work.Write("obcy.dym", "[Datas]\r\nSignalFile=x.mbj\r\n");
    EXPECT_EQ(Open(foreign), nullptr);
    ASSERT_EQ(recorded.warnings.size(), 2u);
    EXPECT_EQ(recorded.warnings[1], "Otwarcie pliku: " + foreign + " zakończyło się niepowodzeniem.");

    // A signal file the reader rejects: its own text, nothing listed.
    recorded.warnings.clear();
    const std::string broken = work.Write("zly.mbj", std::string(100, 'x'));
    EXPECT_EQ(Open(broken), nullptr);
    EXPECT_EQ(recorded.warnings.size(), 1u);
    EXPECT_TRUE(fm->OpenFileList().empty());
    EXPECT_FALSE(fm->Processing().isVisible());
}

TEST_F(SeismogramTest, FilesFromTheCommandLineOpenOnceTheCommandIsThere) {
    const std::string path = WriteSignal("z_linii.mbj");
    TfmMain bare(DYMA_PROGRAM_DIR);
    bare.show();
    bare.OpenByFileName(QString::fromStdString(path));
    EXPECT_EQ(bare.PendingFiles().size(), 1);
    DocumentCommands commands;
    AddOpenCommands(commands);
    bare.SetDocumentCommands(std::move(commands));
    EXPECT_TRUE(bare.PendingFiles().isEmpty());
    EXPECT_NE(dynamic_cast<TfmSeismogram*>(bare.ActiveChild()), nullptr);
    EXPECT_TRUE(bare.IsFileOpen(path));
}

TEST_F(SeismogramTest, ShowsTheChannelWithItsSeriesLabelsAndStatus) {
    SetSetting("Seismograms/VerticalGrid", 1);
    TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 3, .seconds = 10, .rate = 500}));
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);
    quactl::TQuaGraph& g = w->Graph();
    // Zero line, trace, the suggested onset, markers (none yet): in this
    // order. The time grid is the time axis's own, through its labels.
    ASSERT_EQ(g.SeriesCount(), 3);
    EXPECT_EQ(g.Series(0)->Name, "HorizontalLine");
    EXPECT_EQ(g.Series(1)->Name, "Velocity");
    EXPECT_EQ(g.Series(2)->Name, "Suggestion");
    EXPECT_TRUE(g.AxisBottom().Grid());
    EXPECT_EQ(g.AxisBottom().GridColor(), 0x808080u);
    // The default window: 2 s from the start, 1000 samples at 500 Hz.
    EXPECT_DOUBLE_EQ(w->VisibleWidth(), 2.0);
    EXPECT_EQ(g.Series(1)->GetN(), 1000);
    EXPECT_DOUBLE_EQ(g.AxisBottom().MinValue(), 0);
    EXPECT_DOUBLE_EQ(g.AxisBottom().MaxValue(), 2);
    EXPECT_FALSE(g.AxisLeft().Visible());
    EXPECT_EQ(g.AxisBottom().FormatString(), "##0.000");
    EXPECT_DOUBLE_EQ(w->RecordLength(), 10);

    EXPECT_EQ(w->StatusText(0), "event.mbj");
    EXPECT_EQ(w->StatusText(1), "ST10 Z");
    EXPECT_EQ(w->ChannelInfo(0).text(), "   Kanał: 01 (ST10)   ");
    EXPECT_EQ(w->ChannelInfo(2).text(), "Kanał aktywny   ");
    // The tremor at the origin, the station at (0, 50, -800).
    EXPECT_EQ(w->ChannelInfo(1).text(), "   Składowa: Z       Odległość: 801   ");
    EXPECT_EQ(fm->Picking().Label2->text(), "01 (ST10)    801");

    // The mouse position: time and the sample under it.
    g.Paint();
    QTest::mouseMove(&g, QPoint(Column(w, 1.25), MiddleRow(w)));
    const double t = w->MouseTime(Column(w, 1.25));
    const double v = w->Signal().GetSample(0, int(std::trunc(500 * t)));
    EXPECT_EQ(w->StatusText(2).toStdString(),
              "Czas: " + FormatFloat("0.000", t, '.') + " Wartość: " + FormatFloat("0", v, '.'));

    // The vertical axis follows the channel's extremes.
    EXPECT_DOUBLE_EQ(g.AxisLeft().MaxValue(), w->Signal().GetMaxChannelValue(0));
    EXPECT_DOUBLE_EQ(g.AxisLeft().MinValue(), w->Signal().GetMinChannelValue(0));
}

TEST_F(SeismogramTest, FirstSecondsOfAShortRecordAndZoomAtItsEnd) {
    TfmSeismogram* w = Open(WriteSignal("krotki.mbj", {.channels = 2, .seconds = 3}));
    ASSERT_NE(w, nullptr);
    for (Qt::Key key : {Qt::Key_F9, Qt::Key_F10}) {
        w->SetTimeWindow(1, 2);
        Press(w, key);
        EXPECT_DOUBLE_EQ(w->WindowStart(), 0);
        EXPECT_DOUBLE_EQ(w->VisibleWidth(), 3);
        EXPECT_DOUBLE_EQ(w->Graph().AxisBottom().MaxValue(), 3);
    }
    TfmSeismogram* ten = Open(WriteSignal("dziesiec.mbj", {.channels = 2, .seconds = 10}));
    ASSERT_NE(ten, nullptr);
    ten->SetTimeWindow(9.9, 10);
    ten->ZoomIn();
    EXPECT_LE(ten->WindowStart(), 9.9);
    EXPECT_LE(ten->WindowStart() + ten->VisibleWidth(), 10 + 1e-12);
    EXPECT_DOUBLE_EQ(ten->Graph().AxisBottom().MinValue(), ten->WindowStart());
    // A move past the old window moves both ends of the axis.
    ten->SetTimeWindow(4, 6);
    EXPECT_DOUBLE_EQ(ten->Graph().AxisBottom().MinValue(), 4);
    EXPECT_DOUBLE_EQ(ten->Graph().AxisBottom().MaxValue(), 6);
}

TEST_F(SeismogramTest, KeysMoveBetweenChannelsAndAlongTheRecord) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 4, .seconds = 20}));
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);
    Press(w, Qt::Key_PageUp);
    EXPECT_EQ(w->CurrentChannel(), 0);
    Press(w, Qt::Key_PageDown);
    EXPECT_EQ(w->CurrentChannel(), 1);
    Press(w, Qt::Key_End);
    EXPECT_EQ(w->CurrentChannel(), 3);
    Press(w, Qt::Key_PageDown);
    EXPECT_EQ(w->CurrentChannel(), 3);
    Press(w, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(w->CurrentChannel(), 2);
    Press(w, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(w->CurrentChannel(), 3);
    Press(w, Qt::Key_Home);
    EXPECT_EQ(w->CurrentChannel(), 0);
    EXPECT_EQ(w->StatusText(1), "ST10 Z");

    // Relative moves (the default): a tenth and a half of the 2 s span.
    Press(w, Qt::Key_Right);
    EXPECT_NEAR(w->WindowStart(), 0.2, 1e-12);
    Press(w, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_NEAR(w->WindowStart(), 1.2, 1e-12);
    Press(w, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_NEAR(w->WindowStart(), 0.2, 1e-12);
    Press(w, Qt::Key_Left);
    EXPECT_NEAR(w->WindowStart(), 0.0, 1e-12);
    Press(w, Qt::Key_6, Qt::KeypadModifier);
    EXPECT_NEAR(w->WindowStart(), 0.2, 1e-12);
    // Zoom keys: Insert and numeric plus in, Delete and numeric minus out.
    Press(w, Qt::Key_Insert);
    EXPECT_NEAR(w->VisibleWidth(), 1.6, 1e-12);
    Press(w, Qt::Key_Delete);
    EXPECT_NEAR(w->VisibleWidth(), 1.92, 1e-12);
    Press(w, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_NEAR(w->VisibleWidth(), 1.536, 1e-12);

    // Absolute steps: WindowStep 500 ms, a quarter for the slow move.
    SetSetting("Seismograms/RelativeDisplacement", 0);
    const double start = w->WindowStart();
    Press(w, Qt::Key_Right);
    EXPECT_NEAR(w->WindowStart(), start + 0.125, 1e-12);
    Press(w, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_NEAR(w->WindowStart(), start + 0.625, 1e-12);

    // In an edit of the data page the editing keys stay with the edit.
    w->Pages().setCurrentIndex(kPageData);
    QLineEdit* x = w->DataEdit("X");
    x->setFocus();
    const double before = w->WindowStart();
    QTest::keyClick(x, Qt::Key_Left);
    QTest::keyClick(x, Qt::Key_Home);
    EXPECT_DOUBLE_EQ(w->WindowStart(), before);
    EXPECT_EQ(w->CurrentChannel(), 0);
    QTest::keyClick(x, Qt::Key_F9);  // the function keys still reach the window
    EXPECT_DOUBLE_EQ(w->VisibleWidth(), 5);
}

TEST_F(SeismogramTest, VerticalScaleStopsAtItsLimitsAndFollowsTheTags) {
    SetSetting("Seismograms/MagnificationFactorY", 50);
    TfmSeismogram* w = Open(WriteSignal("event.mbj"));
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);
    for (int i = 0; i < 10; ++i) Press(w, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(w->VerticalScale(), 0.001);
    EXPECT_DOUBLE_EQ(w->Graph().AxisLeft().MaxValue(), w->Signal().GetMaxChannelValue(0) * 0.001);
    for (int i = 0; i < 30; ++i) Press(w, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(w->VerticalScale(), 20);

    // The main window's stretch commands with a step of 10 %.
    SetSetting("Seismograms/MagnificationFactorY", 10);
    fm->Action("mCancelStretch")->trigger();
    EXPECT_DOUBLE_EQ(w->VerticalScale(), 1.0);
    fm->Action("mStretch")->trigger();
    EXPECT_DOUBLE_EQ(w->VerticalScale(), 0.9);
    fm->Action("mCancelStretch")->trigger();
    fm->Action("mShrink")->trigger();
    EXPECT_DOUBLE_EQ(w->VerticalScale(), 1.1);
    fm->Action("bCancelStretch")->trigger();
    EXPECT_DOUBLE_EQ(w->VerticalScale(), 1.0);
    // A channel change resets the scale.
    fm->Action("mStretch")->trigger();
    Press(w, Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(w->VerticalScale(), 1.0);
}

TEST_F(SeismogramTest, RightClicksSelectAndTheMiddleButtonZooms) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj"));
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);
    ClickAt(w, 0.5, Qt::RightButton);
    EXPECT_FALSE(w->Selection().Ready);
    EXPECT_EQ(Labels(w->Graph(), "ZoomMarkers"), std::vector<QString>{"<>Start"});
    ClickAt(w, 1.5, Qt::RightButton);
    EXPECT_TRUE(w->Selection().Ready);
    EXPECT_EQ(Labels(w->Graph(), "ZoomMarkers"), (std::vector<QString>{"<>Start", "<>End"}));
    const double third = w->MouseTime(Column(w, 1.0));
    ClickAt(w, 1.0, Qt::RightButton);
    EXPECT_EQ(w->Selection().Clicks, 1);
    EXPECT_DOUBLE_EQ(w->Selection().Start, third);
    const double end = w->Selection().End;

    // The middle button zooms to the selection and clears it.
    ClickAt(w, 1.2, Qt::MiddleButton);
    EXPECT_DOUBLE_EQ(w->WindowStart(), third);
    EXPECT_DOUBLE_EQ(w->VisibleWidth(), end - third);
    EXPECT_FALSE(w->Selection().Ready);
    EXPECT_EQ(w->Graph().FindSeries("ZoomMarkers"), nullptr);
    const double width = w->VisibleWidth();
    ClickAt(w, 1.2, Qt::MiddleButton, Qt::ShiftModifier);
    EXPECT_NEAR(w->VisibleWidth(), width * 1.2, 1e-12);
}

TEST_F(SeismogramTest, F1OpensTheHelpOfThePageShown) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj"));
    ASSERT_NE(w, nullptr);
    const int contexts[] = {4010, 4015, 4020, 4030, 4040};
    for (int page = 0; page < 5; ++page) {
        w->Pages().setCurrentIndex(page);
        Press(w, Qt::Key_F1);
        EXPECT_EQ(ApplicationHelp().LastContext(), contexts[page]) << page;
    }
}

}  // namespace
