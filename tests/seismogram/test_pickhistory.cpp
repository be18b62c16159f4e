// The operator's picking tools in the seismogram window: the history of pick
// changes checked against the document's text, the picking keys, the
// polarity question, the band-pass view, the suggested onset and the short
// window round an onset.
#include "seismogramfixture.h"

#include "app/seismogram/bandpass.h"
#include "app/seismogram/signalchannels.h"
#include "app/widgets/messageboxes.h"
#include "app/widgets/wagespinbox.h"
#include "kelsig/signalprocessing.h"
#include "quactl/quaseries.h"
#include "support/recordingmessages.h"
#include "tools/lgomgen/onsetrecord.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUndoStack>

#include <functional>

using namespace dyma;
using namespace dyma::gui;
using namespace dyma::test;

namespace {

std::string Value(const TfmSeismogram& w, int channel, const char* key) {
    return w.Image().ReadString(ChannelSection(channel + 1), key, "<none>");
}

std::string Text(const TfmSeismogram& w) { return w.Image().ToText(); }

// The time of channel 1's first sample below zero after `from`: the
// generated trace goes down there.
double FirstDown(TfmSeismogram& w, int channel, double from) {
    for (int i = int(from * 500); i < w.Signal().GetChannelLength(0); ++i)
        if (w.Signal().GetSample(channel, i) < 0) return (i + 0.5) / 500;
    return 0;
}

class PickHistoryTest : public SeismogramTest {
protected:
    TfmSeismogram* OpenOnPicking(const std::string& name, const RecordSpec& record = {}) {
        TfmSeismogram* w = Open(WriteSignal(name, record));
        if (w) w->Pages().setCurrentIndex(kPageSeismogram);
        return w;
    }
    // A record of noisy onsets (made by the project's generator) with a
    // clear first swing on every channel.
    TfmSeismogram* OpenOnsets(const std::string& name, std::vector<lgomgen::OnsetTrace>& traces) {
        lgomgen::OnsetRecordSettings settings;
        settings.channels = 4;
        settings.snrLowest = 20;
        settings.snrHighest = 40;
        traces = lgomgen::MakeOnsetTraces(settings);
        const std::string path = work.File(name);
        lgomgen::Write(path, lgomgen::OnsetRecordSignal(traces, settings));
        TfmSeismogram* w = Open(path);
        if (w) w->Pages().setCurrentIndex(kPageSeismogram);
        return w;
    }
    void Key(TfmSeismogram* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        w->Graph().setFocus();
        QTest::keyClick(&w->Graph(), key, mods);
    }
};

// Every kind of pick change, one after the other; undone one by one the
// document's text goes back through the same states, and redone it comes
// forward again. Back at the saved state the document is not modified.
TEST_F(PickHistoryTest, UndoAndRedoWalkTheDocumentTextBackAndForth) {
    TfmSeismogram* w = OpenOnPicking("event.mbj", {.channels = 13, .seconds = 4});
    ASSERT_NE(w, nullptr);
    RecordingMessages messages;
    messages.polarityAnswer = PolarityChoice::Minus;
    ScopedMessages scoped(messages);
    w->AskOperatorAboutPolarity();
    for (int ch = 2; ch < 13; ++ch) {
        w->NextChannel();
        w->PlacePick(1.0 + 0.002 * ch);
    }
    w->FirstChannel();
    // The state the document is saved in.
    w->SetModified(false);
    const int saved = w->History().index();

    struct Step {
        const char* what;
        std::function<void()> act;
    };
    const std::vector<Step> steps = {
        {"click on the trace", [&] { ClickAt(w, FirstDown(*w, 0, 1.0), Qt::LeftButton); }},
        {"wave type by Alt+B", [&] { Key(w, Qt::Key_B, Qt::AltModifier); }},
        {"weight key 5", [&] { Key(w, Qt::Key_5); }},
        {"polarity key +", [&] { Key(w, Qt::Key_Plus, Qt::ShiftModifier); }},
        {"polarity by Ctrl+Down", [&] { Key(w, Qt::Key_Down, Qt::ControlModifier); }},
        {"weight up-down step", [&] { w->Wage().stepBy(-1); }},
        {"next channel, pick placed", [&] {
             w->NextChannel();
             w->PlacePick(1.3);
         }},
        {"pick removed by Backspace", [&] { Key(w, Qt::Key_Backspace); }},
        {"pick list tick", [&] {
             w->Pages().setCurrentIndex(kPageProcessing);
             w->ProcessingList().topLevelItem(2)->setCheckState(0, Qt::Unchecked);
             w->Pages().setCurrentIndex(kPageSeismogram);
         }},
    };
    std::vector<std::string> texts{Text(*w)};
    for (const Step& step : steps) {
        step.act();
        texts.push_back(Text(*w));
        EXPECT_NE(texts.back(), texts[texts.size() - 2]) << step.what << " changed nothing";
        EXPECT_TRUE(w->Modified()) << step.what;
    }
    // One history step each (the up-down's step with the weight written
    // before it is one).
    EXPECT_EQ(w->History().count(), saved + int(steps.size()));

    // Back through the main window's command, as Ctrl+Z reaches it.
    fm->TimerTimer();
    ASSERT_TRUE(fm->Action("mUndo")->isEnabled());
    EXPECT_FALSE(fm->Action("mRedo")->isEnabled());
    for (size_t i = steps.size(); i > 0; --i) {
        fm->Action("mUndo")->trigger();
        EXPECT_EQ(Text(*w), texts[i - 1]) << "undo of " << steps[i - 1].what;
    }
    EXPECT_FALSE(w->Modified());
    EXPECT_EQ(w->History().index(), saved);
    EXPECT_EQ(w->StatusText(0), "event.mbj");
    fm->TimerTimer();
    EXPECT_TRUE(fm->Action("mRedo")->isEnabled());

    // Forward again, by Ctrl+Y and Ctrl+Shift+Z in turn.
    for (size_t i = 0; i < steps.size(); ++i) {
        if (i % 2 == 0) fm->Action("mRedo")->trigger();
        else w->Redo();
        EXPECT_EQ(Text(*w), texts[i + 1]) << "redo of " << steps[i].what;
        EXPECT_TRUE(w->Modified());
    }
    EXPECT_EQ(fm->Action("mRedo")->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    EXPECT_EQ(fm->Action("mUndo")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
}

TEST_F(PickHistoryTest, TheSavePointAndChangesOutsideTheHistory) {
    TfmSeismogram* w = OpenOnPicking("event.mbj");
    ASSERT_NE(w, nullptr);
    w->PlacePickWithPolarity(1.2, picking::Polarity::Up);
    w->SetModified(false);  // saved with the pick
    const std::string saved = Text(*w);
    w->RemovePick();
    w->Undo();
    EXPECT_EQ(Text(*w), saved);
    EXPECT_FALSE(w->Modified());
    // Undone past the save: modified again.
    w->Undo();
    EXPECT_TRUE(w->Modified());
    w->Redo();
    EXPECT_FALSE(w->Modified());

    // A change of the station table is no pick change: taking the picks
    // back to the saved state leaves the document modified, and the question
    // before closing still comes.
    w->PlacePickWithPolarity(1.4, picking::Polarity::Down);
    w->TogglePolarity(2);
    w->Undo();
    EXPECT_TRUE(w->Modified());
    RecordingMessages messages;
    messages.saveAnswer = SaveChoice::Cancel;
    ScopedMessages scoped(messages);
    EXPECT_FALSE(fm->MayCloseChild(*w));
    EXPECT_EQ(messages.saveQuestions.size(), 1u);

    // An action that changes nothing is no step, but marks the document as
    // it always has.
    w->ChooseWaveType(0);
    w->SetModified(false);
    const int steps = w->History().count();
    w->ChooseWaveType(0);
    EXPECT_EQ(w->History().count(), steps);
    EXPECT_TRUE(w->Modified());
}

// The picking keys act on the current channel of the page "Sejsmogram" and
// nowhere else.
TEST_F(PickHistoryTest, PickingKeys) {
    TfmSeismogram* w = OpenOnPicking("event.mbj");
    ASSERT_NE(w, nullptr);
    // Without a marker the polarity keys have nothing to set.
    Key(w, Qt::Key_Minus);
    EXPECT_EQ(Value(*w, 0, "FirstArrival"), "<none>");

    w->PlacePickWithPolarity(1.2, picking::Polarity::Up);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* field;
        const char* expected;
    };
    const Case cases[] = {
        {Qt::Key_Minus, Qt::NoModifier, "FirstArrival", "-"},
        {Qt::Key_Plus, Qt::ShiftModifier, "FirstArrival", "+"},
        {Qt::Key_Down, Qt::ControlModifier, "FirstArrival", "-"},
        {Qt::Key_Up, Qt::ControlModifier, "FirstArrival", "+"},
        {Qt::Key_3, Qt::NoModifier, "Wage", "0.3"},
        {Qt::Key_9, Qt::NoModifier, "Wage", "0.9"},
        {Qt::Key_0, Qt::NoModifier, "Wage", "1"},
        {Qt::Key_1, Qt::NoModifier, "Wage", "0.1"},
    };
    for (const Case& c : cases) {
        Key(w, c.key, c.mods);
        EXPECT_EQ(Value(*w, 0, c.field), c.expected) << QKeySequence(c.key | c.mods).toString().toStdString();
    }
    EXPECT_EQ(w->Wage().value(), 10);
    EXPECT_EQ(fm->Picking().Wage->value(), 10);
    // The keypad's minus still zooms out; the keypad's 2 still shrinks.
    const double width = w->VisibleWidth();
    Key(w, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(Value(*w, 0, "FirstArrival"), "+");
    EXPECT_GT(w->VisibleWidth(), width);
    Key(w, Qt::Key_2, Qt::KeypadModifier);
    EXPECT_EQ(Value(*w, 0, "Wage"), "0.1");

    // On another page the keys leave the picks alone.
    w->Pages().setCurrentIndex(kPageNetwork);
    const std::string before = Text(*w);
    for (Qt::Key key : {Qt::Key_Minus, Qt::Key_5, Qt::Key_Backspace}) QTest::keyClick(&w->NetInfo(), key);
    EXPECT_EQ(Text(*w), before);
    w->Pages().setCurrentIndex(kPageSeismogram);

    // "P" places the pick where the mouse is over the trace.
    w->NextChannel();
    const double down = FirstDown(*w, 1, 1.0);
    quactl::TQuaGraph& g = w->Graph();
    g.Paint();
    const QPointF at(Column(w, down), MiddleRow(w));
    QMouseEvent move(QEvent::MouseMove, at, g.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&g, &move);
    Key(w, Qt::Key_P);
    EXPECT_EQ(Value(*w, 1, "MarkerPosition"), FloatToStr(w->MouseTime(Column(w, down)), '.'));
    EXPECT_EQ(Value(*w, 1, "FirstArrival"), "-");
    Key(w, Qt::Key_Backspace);
    EXPECT_FALSE(w->Image().SectionExists("Channel002"));

    // The same commands from the main window's menu.
    w->PreviousChannel();
    fm->Action("mPolarityMinus")->trigger();
    EXPECT_EQ(Value(*w, 0, "FirstArrival"), "-");
    fm->Action("mWeight70")->trigger();
    EXPECT_EQ(Value(*w, 0, "Wage"), "0.7");
    fm->Action("mRemovePick")->trigger();
    EXPECT_FALSE(w->Image().SectionExists("Channel001"));
}

// Where the first swing is within the noise the operator is asked; the
// answer is the polarity, "Anuluj" writes nothing.
TEST_F(PickHistoryTest, AnUncertainFirstMotionIsAskedFor) {
    TfmSeismogram* w = OpenOnPicking("event.mbj");
    ASSERT_NE(w, nullptr);
    w->AskOperatorAboutPolarity();
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    const struct {
        PolarityChoice answer;
        const char* written;
    } cases[] = {{PolarityChoice::Cancel, "<none>"}, {PolarityChoice::Minus, "-"}, {PolarityChoice::Plus, "+"}};
    for (const auto& c : cases) {
        messages.polarityAnswer = c.answer;
        const int steps = w->History().count();
        w->PlacePick(0.5);  // silence before the onset
        EXPECT_EQ(Value(*w, 0, "FirstArrival"), c.written);
        EXPECT_EQ(w->History().count(), steps + (c.answer == PolarityChoice::Cancel ? 0 : 1));
    }
    ASSERT_EQ(messages.polarityQuestions.size(), 3u);
    EXPECT_NE(messages.polarityQuestions[0].find("nie odróżnia się od szumu"), std::string::npos);
    EXPECT_NE(messages.polarityQuestions[0].find("0.500 s"), std::string::npos);
    // A clear first motion asks nothing.
    w->NextChannel();
    w->PlacePick(FirstDown(*w, 1, 1.0));
    EXPECT_EQ(messages.polarityQuestions.size(), 3u);
    EXPECT_EQ(Value(*w, 1, "FirstArrival"), "-");
}

TEST_F(PickHistoryTest, ReversedAndInactiveChannelsSayWhatBecomesOfThePick) {
    // A MIN32 record whose third channel the file does not hold.
    RecordSpec record{.channels = 3, .layout = lgomgen::Layout::MIN32};
    lgomgen::Signal signal = MakeSignal(record);
    signal.channels[2].active = false;
    const std::string path = work.File("event.min");
    lgomgen::Write(path, signal);
    TfmSeismogram* w = Open(path);
    ASSERT_NE(w, nullptr);
    w->Pages().setCurrentIndex(kPageSeismogram);

    // Channel 2's sensor is reversed.
    w->TogglePolarity(1);
    w->NextChannel();
    w->PlacePickWithPolarity(1.1, picking::Polarity::Up);
    const quactl::TQuaGraphSeries* marks = w->Graph().FindSeries("ZoomMarkers");
    ASSERT_NE(marks, nullptr);
    EXPECT_EQ(marks->GetPoint(marks->GetN() - 1).Label, "+ C (odwr. → -)");
    w->Pages().setCurrentIndex(kPageProcessing);
    ASSERT_EQ(w->ProcessingList().topLevelItemCount(), 1);
    EXPECT_EQ(w->ProcessingList().topLevelItem(0)->text(5), "+ (odwr. → -)");
    w->Pages().setCurrentIndex(kPageSeismogram);

    w->NextChannel();
    w->PlacePickWithPolarity(1.1, picking::Polarity::Down);
    marks = w->Graph().FindSeries("ZoomMarkers");
    ASSERT_NE(marks, nullptr);
    EXPECT_EQ(marks->GetPoint(marks->GetN() - 1).Label,
              "- C|nie pójdzie do obliczeń: kanał nieaktywny, plik sygnału nie ma jego próbek");
    EXPECT_TRUE(w->ChannelInfo(2).text().contains("odczyt nie pójdzie do obliczeń: kanał nieaktywny"));
    // A pick that goes to the solver adds nothing.
    w->PreviousChannel();
    EXPECT_EQ(w->ChannelInfo(2).text(), "Kanał aktywny   ");
}

TEST_F(PickHistoryTest, TheBandPassViewKeepsTheRecordsTime) {
    std::vector<lgomgen::OnsetTrace> traces;
    TfmSeismogram* w = OpenOnsets("onsets.mbj", traces);
    ASSERT_NE(w, nullptr);
    RecordingMessages messages;
    messages.polarityAnswer = PolarityChoice::Plus;
    ScopedMessages scoped(messages);
    w->AskOperatorAboutPolarity();
    w->SetTimeWindow(0, 4);
    auto trace = [w] { return w->Graph().FindSeries("Velocity"); };
    ASSERT_NE(trace(), nullptr);
    const double raw = trace()->GetPoint(100).Y;
    EXPECT_EQ(raw, w->Signal().GetSample(0, 100));

    Key(w, Qt::Key_F);
    ASSERT_TRUE(w->ViewFiltered());
    EXPECT_TRUE(w->FilterButton()->isChecked());
    EXPECT_TRUE(fm->Picking().filter->isChecked());
    const picking::BandPassSettings filter = fm->Preferences().Values().ViewFilter;
    const std::vector<double> expected =
        picking::ViewTrace(ReadChannelSamples(w->Signal(), 0), 500, &filter);
    for (int i : {0, 100, 750, 1999}) {
        EXPECT_NEAR(trace()->GetPoint(i).X, i / 500.0, 1e-12);
        EXPECT_DOUBLE_EQ(trace()->GetPoint(i).Y, expected[size_t(i)]) << i;
    }
    EXPECT_NE(trace()->GetPoint(100).Y, raw);
    // A pick taken on the filtered view is stored in the record's time.
    ASSERT_TRUE(w->Suggestion().found);
    Key(w, Qt::Key_S);
    EXPECT_EQ(Value(*w, 0, "MarkerPosition"), FloatToStr(w->Suggestion().time, '.'));

    fm->Action("mFilter")->trigger();
    EXPECT_FALSE(w->ViewFiltered());
    EXPECT_EQ(trace()->GetPoint(100).Y, raw);
    EXPECT_TRUE(messages.warnings.empty());

    // A corner above the Nyquist frequency keeps the switch off, and says
    // why.
    SetSetting("Picking/FilterHigh", "400");
    Key(w, Qt::Key_F);
    EXPECT_FALSE(w->ViewFiltered());
    EXPECT_FALSE(w->FilterButton()->isChecked());
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_EQ(messages.warnings[0], picking::BandPassProblem(fm->Preferences().Values().ViewFilter, 500));
}

TEST_F(PickHistoryTest, TheSuggestionIsShownTakenAndZoomedTo) {
    std::vector<lgomgen::OnsetTrace> traces;
    TfmSeismogram* w = OpenOnsets("onsets.mbj", traces);
    ASSERT_NE(w, nullptr);
    RecordingMessages messages;
    messages.polarityAnswer = PolarityChoice::Plus;
    ScopedMessages scoped(messages);
    w->AskOperatorAboutPolarity();
    for (int ch = 0; ch < 2; ++ch) {
        if (ch == 1) w->NextChannel();
        const picking::OnsetSuggestion& suggestion = w->Suggestion();
        ASSERT_TRUE(suggestion.found) << ch;
        w->SetTimeWindow(0, 4);
        const quactl::TQuaGraphSeries* ghost = w->Graph().FindSeries("Suggestion");
        ASSERT_NE(ghost, nullptr) << ch;
        const QString sign = QString::fromLatin1(picking::PolarityText(suggestion.motion.polarity));
        EXPECT_TRUE(ghost->GetPoint(0).Label.startsWith("sugestia " + sign + "  S/N ")) << ghost->GetPoint(0).Label.toStdString();
        EXPECT_DOUBLE_EQ(ghost->GetPoint(0).X, suggestion.time);

        // Taken with the key on the first channel, with a click near it on
        // the second.
        if (ch == 0) Key(w, Qt::Key_S);
        else ClickAt(w, suggestion.time + 1.0 / 500, Qt::LeftButton);
        EXPECT_EQ(Value(*w, ch, "MarkerPosition"), FloatToStr(suggestion.time, '.')) << ch;
        EXPECT_EQ(Value(*w, ch, "FirstArrival"), sign.toStdString()) << ch;
        EXPECT_EQ(w->Graph().FindSeries("Suggestion"), nullptr) << "a taken suggestion is not drawn again";
    }
    // A click away from it is a pick where the click is.
    w->NextChannel();
    w->SetTimeWindow(0, 4);
    ClickAt(w, 0.6, Qt::LeftButton);
    EXPECT_NEAR(StrToFloat(Value(*w, 2, "MarkerPosition"), '.'), 0.6, 0.01);

    // Zoom to onset: the pick's neighbourhood, amplitude of what is seen.
    w->PreviousChannel();
    const double pick = StrToFloat(Value(*w, 1, "MarkerPosition"), '.');
    Key(w, Qt::Key_Z);
    EXPECT_DOUBLE_EQ(w->WindowStart(), pick - 0.05);
    EXPECT_NEAR(w->VisibleWidth(), 0.2, 1e-9);
    EXPECT_TRUE(w->AmplitudeFitsView());
    double high = -1e300, low = 1e300;
    for (int i = int(std::lround((pick - 0.05) * 500)) + 1; i < int(std::lround((pick + 0.15) * 500)) - 1; ++i) {
        high = std::max(high, w->Signal().GetSample(1, i));
        low = std::min(low, w->Signal().GetSample(1, i));
    }
    const double top = w->Graph().AxisLeft().MaxValue(), bottom = w->Graph().AxisLeft().MinValue();
    EXPECT_GT(top, high);
    EXPECT_LT(bottom, low);
    EXPECT_LT(top - bottom, 1.3 * (high - low));
    // Cancelling the stretch gives the channel's amplitude back.
    w->ScaleVertical(0);
    EXPECT_FALSE(w->AmplitudeFitsView());

    // Without a pick the suggestion is zoomed to.
    w->NextChannel();
    w->NextChannel();
    ASSERT_TRUE(w->Suggestion().found);
    Key(w, Qt::Key_Z);
    EXPECT_DOUBLE_EQ(w->WindowStart(), w->Suggestion().time - 0.05);
}

}  // namespace
