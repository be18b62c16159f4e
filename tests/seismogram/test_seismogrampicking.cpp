// Picking, the pick list, the station table, the data page, the solution
// page and the save of the seismogram window.
#include "seismogramfixture.h"

#include "app/document/projectfile.h"
#include "app/results/solutionpanel.h"
#include "app/seismogram/locationfile.h"
#include "app/settings/colourpanel.h"
#include "app/widgets/wagespinbox.h"
#include "common/numberformat.h"
#include "kelsig/signalprocessing.h"
#include "lgsig/lgsig.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

using namespace dyma;
using namespace dyma::gui;
using namespace dyma::test;

namespace {

std::string Value(const TfmSeismogram& w, int channel, const char* key) {
    return w.Image().ReadString(ChannelSection(channel + 1), key, "<none>");
}

void PressCell(QTreeWidget& tree, int row, int column) {
    const QRect r = tree.visualItemRect(tree.topLevelItem(row));
    const int x = tree.header()->sectionViewportPosition(column) + tree.columnWidth(column) / 2;
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(x, r.center().y()));
}

// Accepts the file dialog with `path` chosen.
ScopedDialogRunner Choose(const std::string& path) {
    return ScopedDialogRunner([path](QDialog& d) {
        dynamic_cast<QFileDialog&>(d).selectFile(QString::fromStdString(path));
        return int(QDialog::Accepted);
    });
}

TEST_F(SeismogramTest, APickWritesTheChannelSection) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 3, .onset = 1.0}));
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);
    // Left of the record's start nothing is written.
    w->PlacePick(0);
    w->PlacePick(-0.25);
    EXPECT_FALSE(w->Image().SectionExists("Channel001") && w->Image().ValueExists("Channel001", "MarkerPosition"));
    EXPECT_FALSE(w->Modified());

    // Before the onset the trace is flat: no first motion to read. Without
    // an answer to the question nothing is written, not even a "+".
    w->SetPolarityQuestion(nullptr);
    ClickAt(w, 0.5, Qt::LeftButton);
    EXPECT_FALSE(w->Image().SectionExists("Channel001") && w->Image().ValueExists("Channel001", "MarkerPosition"));
    EXPECT_FALSE(w->Modified());
    std::vector<double> askedAt;
    w->SetPolarityQuestion([&askedAt](double at, const picking::FirstMotion& motion) {
        askedAt.push_back(at);
        EXPECT_EQ(motion.polarity, picking::Polarity::Uncertain);
        return askedAt.size() == 1 ? std::nullopt : std::optional<picking::Polarity>(picking::Polarity::Up);
    });
    ClickAt(w, 0.5, Qt::LeftButton);  // the question is cancelled
    EXPECT_FALSE(w->Image().SectionExists("Channel001") && w->Image().ValueExists("Channel001", "MarkerPosition"));
    EXPECT_FALSE(w->Modified());
    // The operator's answer is what the pick stores.
    ClickAt(w, 0.5, Qt::LeftButton);
    const double t = w->MouseTime(Column(w, 0.5));
    ASSERT_EQ(askedAt.size(), 2u);
    EXPECT_DOUBLE_EQ(askedAt[1], t);
    EXPECT_EQ(Value(*w, 0, "MarkerPosition"), FloatToStr(t, '.'));
    EXPECT_EQ(Value(*w, 0, "FirstArrival"), "+");
    EXPECT_EQ(Value(*w, 0, "WaveType"), "C");
    EXPECT_EQ(Value(*w, 0, "Ident"), "1");
    EXPECT_EQ(Value(*w, 0, "Name"), "1");
    EXPECT_EQ(Value(*w, 0, "Skladowa"), "Z");
    EXPECT_EQ(Value(*w, 0, "Wage"), "1");
    EXPECT_TRUE(w->Modified());
    EXPECT_EQ(w->StatusText(0), "event.mbj (Zmodyfikowany)");
    // The red mark labelled with the polarity and the wave letter.
    const quactl::TQuaGraphSeries* marks = w->Graph().FindSeries("ZoomMarkers");
    ASSERT_NE(marks, nullptr);
    EXPECT_EQ(marks->GetPoint(0).Label, "+ C");
    EXPECT_EQ(marks->GetPoint(0).Color, 0x0000FFu);

    // Channel 1 goes down first: a click at its onset, or a few samples
    // late where the trace is already on its way down, reads "-" without
    // asking.
    w->NextChannel();
    w->SetTimeWindow(0.9, 1.2);
    for (const double late : {0.0, 0.006}) {
        ASSERT_TRUE(w->PlacePick(1.0 + late));
        EXPECT_EQ(Value(*w, 1, "FirstArrival"), "-") << late;
    }
    EXPECT_EQ(askedAt.size(), 2u);
    EXPECT_EQ(Value(*w, 1, "Name"), "2");
    EXPECT_EQ(Value(*w, 1, "Skladowa"), "N");

    // Removing it takes the whole section, Polarity included.
    ASSERT_EQ(Value(*w, 1, "Polarity"), "1");
    w->Pages().setCurrentIndex(kPageSeismogram);
    w->RemovePick();
    EXPECT_FALSE(w->Image().SectionExists("Channel002"));
    EXPECT_EQ(w->Graph().FindSeries("ZoomMarkers"), nullptr);
}

TEST_F(SeismogramTest, WaveTypeAndWeightStayInStepInBothWindows) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj"));
    ASSERT_NE(w, nullptr);
    PickingBar& bar = fm->Picking();
    w->Pages().setCurrentIndex(kPageSeismogram);
    // Alt+B with the default weights: 70 shown, 0.7 stored.
    w->setFocus();
    QTest::keyClick(w, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(Value(*w, 0, "WaveType"), "B");
    EXPECT_EQ(Value(*w, 0, "Wage"), "0.7");
    EXPECT_EQ(w->Wage().value(), 70);
    EXPECT_EQ(bar.Wage->value(), 70);
    EXPECT_EQ(w->CurrentWaveType().text(), "B");
    EXPECT_EQ(bar.CurrentWaveType->text(), "B");
    EXPECT_TRUE(w->WaveButton(2)->isChecked());
    EXPECT_TRUE(bar.waveButtons[2]->isChecked());
    EXPECT_TRUE(bar.waveMenuItems[2]->isChecked());
    EXPECT_FALSE(bar.waveMenuItems[0]->isChecked());
    EXPECT_TRUE(w->Modified());

    // The main window's buttons reach the window the same way.
    bar.waveButtons[1]->trigger();
    EXPECT_EQ(Value(*w, 0, "WaveType"), "A");
    EXPECT_EQ(Value(*w, 0, "Wage"), "1");
    EXPECT_TRUE(w->WaveButton(1)->isChecked());
    EXPECT_TRUE(bar.waveMenuItems[1]->isChecked());

    // A step of the main window's up-down: the section first gets the
    // weight before the step, then the new one; both edits show it.
    bar.Wage->stepBy(-1);
    EXPECT_EQ(Value(*w, 0, "Wage"), "0.9");
    EXPECT_EQ(w->Wage().value(), 90);
    w->Wage().stepBy(-2);
    EXPECT_EQ(Value(*w, 0, "Wage"), "0.7");
    EXPECT_EQ(bar.Wage->value(), 70);
    // A weight typed in the main window counts once it is whole.
    QLineEdit* typed = bar.Wage->findChild<QLineEdit*>();
    typed->selectAll();
    QTest::keyClicks(typed, "5");
    EXPECT_EQ(Value(*w, 0, "Wage"), "0.7");
    QTest::keyClicks(typed, "0");
    EXPECT_EQ(Value(*w, 0, "Wage"), "0.5");
    EXPECT_EQ(w->Wage().value(), 50);

    // Showing a channel does not count as a change: a fresh window on
    // channel 2, then back, leaves the document unmodified.
    w->SetModified(false);
    w->NextChannel();
    EXPECT_EQ(w->CurrentWaveType().text(), "C");  // no pick there: direct wave
    w->PreviousChannel();
    EXPECT_EQ(w->CurrentWaveType().text(), "A");
    EXPECT_EQ(w->Wage().value(), 50);
    EXPECT_FALSE(w->Modified());
    EXPECT_FALSE(w->Image().SectionExists("Channel002") && w->Image().ValueExists("Channel002", "Wage"));

    // The marker commands of the main window.
    w->PlacePick(2.0);
    bar.bRemoveMarker->trigger();
    EXPECT_FALSE(w->Image().SectionExists("Channel001"));
}

TEST_F(SeismogramTest, PickListRowsAndTheProcessingRule) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 13, .seconds = 4}));
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);
    // Wave type and weight without a marker: not a pick.
    w->ChooseWaveType(2);
    w->Pages().setCurrentIndex(kPageProcessing);
    EXPECT_EQ(w->ProcessingList().topLevelItemCount(), 0);

    w->Pages().setCurrentIndex(kPageSeismogram);
    for (int ch = 0; ch < 11; ++ch) {
        w->PlacePick(1.5 + 0.01 * ch);
        w->NextChannel();
    }
    w->Pages().setCurrentIndex(kPageProcessing);  // the page refreshes the list
    QTreeWidget& list = w->ProcessingList();
    ASSERT_EQ(list.topLevelItemCount(), 11);
    QStringList header;
    for (int c = 0; c < list.columnCount(); ++c) header << list.headerItem()->text(c);
    EXPECT_EQ(header, (QStringList{"Nazwa", "Skladowa", "Identyfikator", "Fala", "Marker", "Wstąpienie", "Waga",
                                   "Odległość"}));
    const QTreeWidgetItem* first = list.topLevelItem(0);
    EXPECT_EQ(first->text(0), "1");
    EXPECT_EQ(first->text(1), "Z");
    EXPECT_EQ(first->text(2), "01");
    EXPECT_EQ(first->text(3), "B");  // the wave type chosen above
    EXPECT_EQ(first->text(4), "1.500");
    EXPECT_EQ(first->text(5), "+");
    EXPECT_EQ(first->text(6), "0.7");
    EXPECT_EQ(first->text(7), "802");  // rounded here, truncated in the channel label
    EXPECT_EQ(first->checkState(0), Qt::Checked);
    EXPECT_TRUE(w->ReadyToProcess());
    fm->TimerTimer();
    EXPECT_TRUE(fm->Action("mDymaStart")->isEnabled());

    // Ten checked after a click still do; nine do not.
    list.topLevelItem(3)->setCheckState(0, Qt::Unchecked);
    EXPECT_TRUE(w->ReadyToProcess());
    EXPECT_EQ(Value(*w, 3, "Active"), "0");
    list.topLevelItem(4)->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(w->ReadyToProcess());
    // Ten after a refresh are not enough.
    list.topLevelItem(4)->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(w->ReadyToProcess());
    w->RefreshPickList();
    EXPECT_FALSE(w->ReadyToProcess());
    EXPECT_EQ(list.topLevelItem(3)->checkState(0), Qt::Unchecked);
    // Columns share the window's width.
    EXPECT_EQ(list.columnWidth(0), (w->width() - 8 - 8) / 8);
}

TEST_F(SeismogramTest, StationTableWithPolarities) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 3}));
    ASSERT_NE(w, nullptr);
    QTreeWidget& net = w->NetInfo();
    ASSERT_EQ(net.topLevelItemCount(), 3);
    ASSERT_EQ(net.columnCount(), 12);
    EXPECT_EQ(net.headerItem()->text(11), "Polaryzacja");
    const QTreeWidgetItem* second = net.topLevelItem(1);
    EXPECT_EQ(second->text(0), "2");
    EXPECT_EQ(second->text(1), "2");
    EXPECT_EQ(second->text(2), "N");
    EXPECT_EQ(second->text(4), "100.0");
    EXPECT_EQ(second->text(6), "-800.0");
    EXPECT_EQ(second->text(8), "2.5");
    EXPECT_EQ(second->text(9), "0.0");
    EXPECT_EQ(second->text(11), "Norm");
    // Every channel got its Polarity when the table was filled.
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(Value(*w, ch, "Polarity"), "1");
    EXPECT_FALSE(w->Modified());
    // KGHM files take their range from "Zakres" (5000 mV by default).
    ASSERT_NE(w->Reader(), nullptr);
    EXPECT_DOUBLE_EQ(w->Reader()->SignalRange, 0.005);

    w->Pages().setCurrentIndex(kPageNetwork);
    PressCell(net, 1, 11);
    EXPECT_EQ(net.topLevelItem(1)->text(11), "Rev");
    EXPECT_EQ(Value(*w, 1, "Polarity"), "-1");
    EXPECT_TRUE(w->Modified());
    PressCell(net, 1, 11);
    EXPECT_EQ(Value(*w, 1, "Polarity"), "1");
    // A press in another column does nothing.
    PressCell(net, 1, 10);
    EXPECT_EQ(Value(*w, 1, "Polarity"), "1");

    // "Odwróc polaryzację" turns every channel round.
    PressCell(net, 0, 11);
    w->Pages().widget(kPageNetwork)->findChild<QPushButton*>("bReversePolarity")->click();
    EXPECT_EQ(Value(*w, 0, "Polarity"), "1");
    EXPECT_EQ(net.topLevelItem(0)->text(11), "Norm");
    EXPECT_EQ(Value(*w, 1, "Polarity"), "-1");
    EXPECT_EQ(net.topLevelItem(1)->text(11), "Rev");
}

// A start outside 1900-2100 or a time of day beyond one day (a damaged
// header) is shown as absent, never as a computed date.
TEST_F(SeismogramTest, AStartOutsideTheCalendarIsShownAsAbsent) {
    struct Case {
        lgomgen::StartTime start;
        const char* shown;
    };
    const Case cases[] = {
        {{2100, 12, 31, 23, 59, 59, 999}, "2100-12-31 23:59:59.999"},
        {{1900, 1, 1, 0, 0, 0, 0}, "1900-01-01 00:00:00.000"},
        {{2101, 1, 1, 0, 0, 0, 0}, "b.d."},
        {{1899, 12, 31, 12, 0, 0, 0}, "b.d."},
        {{0, 0, 0, 0, 0, 0, 0}, "b.d."},
        {{2024, 3, 1, 30, 0, 0, 0}, "b.d."},     // hour 30
        {{2024, 3, 1, 23, 59, 60, 0}, "b.d."},   // one day exactly
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        lgomgen::Signal s = MakeSignal({.channels = 2});
        s.start = c.start;
        const std::string path = work.File("start" + std::to_string(n++) + ".mbj");
        lgomgen::Write(path, s);
        TfmSeismogram* w = Open(path);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->Pages().widget(kPageData)->findChild<QLabel*>("Datetime")->text(), c.shown);
        Close(w);
    }
}

TEST_F(SeismogramTest, DataPageChecksNumbersAndReadsALocationFile) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj", {.channels = 2}));
    ASSERT_NE(w, nullptr);
    QWidget* page = w->Pages().widget(kPageData);
    EXPECT_EQ(page->findChild<QLabel*>("SampleFrequency")->text(), "500 [Hz] ");
    EXPECT_EQ(page->findChild<QLabel*>("ChannelNumber")->text(), "2");
    EXPECT_EQ(page->findChild<QLabel*>("Datetime")->text(), "2024-03-01 07:05:09.250");
    EXPECT_EQ(page->findChild<QLabel*>("FileType")->text().toStdString(), w->Reader()->FormatName);
    EXPECT_EQ(w->DataEdit("Zakres")->text(), "5000");
    EXPECT_EQ(page->findChild<TColourPanel*>("PlusColor")->Value(), 0x0000FFu);
    QStringList groups;
    for (const QGroupBox* g : page->findChildren<QGroupBox*>()) groups << g->title();
    EXPECT_EQ(groups, (QStringList{"Lokalizacja wstrząsu:", "Dane wstrząsu:", "Autoryzacja i komentarze:",
                                   "Dodatkowe parametry:"}));
    EXPECT_EQ(page->findChild<QCheckBox*>("ReversePolarization")->text(), "Odwróc polaryzację wszystkich stacji");
    EXPECT_EQ(page->findChild<TColourPanel*>("MinusColor")->Caption(), "Kolor stacji \"ujemnej\"");

    // Leaving X with a text that is not a number: the warning, the focus
    // back in X, and a change to save.
    w->Pages().setCurrentIndex(kPageData);
    QLineEdit* x = w->DataEdit("X");
    x->setFocus();
    x->setText("12a");
    w->DataEdit("Y")->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0], "Wprowadzona wartość nie jest liczbą!");
    EXPECT_EQ(QApplication::focusWidget(), x);
    EXPECT_TRUE(w->Modified());
    x->setText("300,5");  // either separator
    w->DataEdit("Y")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(recorded.warnings.size(), 1u);

    // A colour chosen in the preferences' colour dialog.
    w->SetModified(false);
    {
        ScopedDialogRunner pick([](QDialog& d) {
            dynamic_cast<QColorDialog&>(d).setCurrentColor(QColor(0, 128, 0));
            return int(QDialog::Accepted);
        });
        w->ChooseColour(*page->findChild<TColourPanel*>("PlusColor"));
    }
    EXPECT_EQ(page->findChild<TColourPanel*>("PlusColor")->Value(), 0x008000u);
    EXPECT_TRUE(w->Modified());

    // A 3450-byte location file: seven note lines (no event type) and the
    // coordinates.
    LocationRecord record;
    record.layout = kLocationLayoutNoType;
    record.Data = "24.03.01";
    record.Czas = "07:05:09";
    record.X = 1234.5;
    record.Y = -20;
    record.Z = -750.25;
    record.Energia = 2.5e5;
    const std::string dbs = work.Write("zdarzenie.dbs", EncodeLocationRecord(record));
    w->Notes().setPlainText("pierwsza");
    w->SetModified(false);
    {
        auto choose = Choose(dbs);
        page->findChild<QPushButton*>("Button2")->click();
    }
    const QStringList lines = w->Notes().toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[1], "Data: 24.03.01");
    EXPECT_FALSE(lines.join('|').contains("Typ zjawiska"));
    EXPECT_EQ(w->DataEdit("X")->text(), "1234.5");
    EXPECT_EQ(w->DataEdit("Z")->text(), "-750.25");
    EXPECT_TRUE(w->Modified());
    // A file of another length changes nothing.
    const std::string odd = work.Write("zly.dbs", std::string(3447, '\0'));
    {
        auto choose = Choose(odd);
        page->findChild<QPushButton*>("Button2")->click();
    }
    EXPECT_EQ(w->Notes().toPlainText().split('\n').size(), 8);
}

TEST_F(SeismogramTest, SaveCommandsFollowAChangeWithinOneTick) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj"));
    ASSERT_NE(w, nullptr);
    fm->TimerTimer();
    EXPECT_FALSE(fm->Action("mSave")->isEnabled());
    w->PlacePick(1.2);
    fm->TimerTimer();
    EXPECT_TRUE(fm->Action("mSave")->isEnabled());
    EXPECT_TRUE(fm->Action("bSave")->isEnabled());
}

TEST_F(SeismogramTest, ASavedProjectReopensWithItsPicksAndData) {
    const std::string signal = WriteSignal("event.mbj", {.channels = 4});
    TfmSeismogram* w = Open(signal);
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);
    w->PlacePick(1.25);
    w->NextChannel();
    w->ChooseWaveType(1);
    w->PlacePick(1.5);
    w->TogglePolarity(3);
    w->DataEdit("X")->setText("120.5");
    w->DataEdit("Operator")->setText("Łukasz Żółć");
    w->Notes().setPlainText("linia 1\nlinia 2");
    w->Pages().setCurrentIndex(kPageProcessing);
    w->ProcessingList().topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    const std::vector<PickRow> rows = w->PickRows();
    ASSERT_EQ(rows.size(), 2u);

    const std::string project = work.File("Sejsmogramy/zapis.dym");
    {
        auto choose = Choose(project);
        fm->TimerTimer();
        fm->Action("mSave")->trigger();
    }
    EXPECT_TRUE(recorded.Silent());
    EXPECT_FALSE(w->Modified());
    Close(w);

    TfmSeismogram* again = Open(project);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->SignalFileName(), signal);
    EXPECT_EQ(again->DocumentFileName(), project);
    const std::vector<PickRow>& back = again->PickRows();
    ASSERT_EQ(back.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(back[i].Ident, rows[i].Ident);
        EXPECT_EQ(back[i].WaveType, rows[i].WaveType);
        EXPECT_DOUBLE_EQ(back[i].MarkerPosition, rows[i].MarkerPosition);
        EXPECT_EQ(back[i].FirstArrival, rows[i].FirstArrival);
        EXPECT_DOUBLE_EQ(back[i].Wage, rows[i].Wage);
        EXPECT_EQ(back[i].Active, rows[i].Active);
    }
    EXPECT_EQ(again->DataEdit("X")->text(), "120.5");
    EXPECT_EQ(again->DataEdit("Operator")->text(), "Łukasz Żółć");
    // Shown from its beginning, however narrow the edit.
    EXPECT_EQ(again->DataEdit("Operator")->cursorPosition(), 0);
    EXPECT_EQ(again->Notes().toPlainText(), "linia 1\nlinia 2");
    EXPECT_EQ(again->NetInfo().topLevelItem(3)->text(11), "Rev");
    EXPECT_FALSE(again->Modified());
    // The pick of the first channel is on screen again.
    again->Pages().setCurrentIndex(kPageSeismogram);
    EXPECT_EQ(again->Graph().FindSeries("ZoomMarkers")->GetPoint(0).Label, "+ C");
}

TEST_F(SeismogramTest, AFailedSaveKeepsTheDocumentModified) {
    TfmSeismogram* w = Open(WriteSignal("event.mbj"));
    ASSERT_NE(w, nullptr);
    w->PlacePick(1.0);
    w->SaveDocumentAs(work.File("brak/katalogu/zapis.dym"));
    ASSERT_EQ(recorded.warnings.size(), 1u);
    EXPECT_EQ(recorded.warnings[0], "Nie udało się zapisać pliku: " + work.File("brak/katalogu/zapis.dym") + ".");
    EXPECT_TRUE(w->Modified());
}

TEST_F(SeismogramTest, TheSolutionPageShowsTheStoredResult) {
    const std::string signal = WriteSignal("event.mbj", {.channels = 3});
    IniImage image(work.File("event.dym"));
    WriteFileInfo(image);
    image.WriteString("Datas", "SignalFile", signal);
    image.WriteString("Datas", "SignalFileShort", "event.mbj");
    SolutionRecord r;
    r.X = 1.5;
    r.Y = -2.25;
    r.Z = 0.75;
    r.SA = 120;
    r.DA = 60;
    r.RA = -90;
    r.SB = 300;
    r.RB = 30;
    r.DB = -90;
    r.StationCount = 1;
    r.stations[0].Channel = "10Z";
    r.stations[0].Sign = 1;
    r.Exists = true;
    SaveResult(r, image, '.');
    image.UpdateFile();

    TfmSeismogram* w = Open(work.File("event.dym"));
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Pages().isTabVisible(kPageSolution));
    EXPECT_TRUE(w->ResultShown());
    ASSERT_NE(w->Solution(), nullptr);
    EXPECT_DOUBLE_EQ(w->Solution()->SA, 120);
    EXPECT_EQ(w->SolutionPanel().Value("XX")->text(), "1.500");
    EXPECT_EQ(w->SolutionPanel().Value("SA")->text(), "120.0 ± 0.0 °");
    EXPECT_EQ(w->SolutionPanel().Value("DB")->text(), "30.0 ± 0.0 °");
    EXPECT_EQ(w->SolutionSphere().Record(), w->Solution());
    fm->TimerTimer();
    EXPECT_TRUE(fm->Action("mExport")->isEnabled());
    EXPECT_TRUE(fm->Action("mPrint")->isEnabled());

    // A result withdrawn from the image hides the page on the next refill.
    w->Image().WriteBool("Result", "Exists", false);
    w->Pages().setCurrentIndex(kPageSolution);
    w->RefillSolutionPage();
    EXPECT_FALSE(w->Pages().isTabVisible(kPageSolution));
    EXPECT_FALSE(w->ResultShown());
}

}  // namespace
