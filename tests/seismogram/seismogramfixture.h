// Widget tests of the seismogram window: a shown main window with its
// directories in the test's folder, and signal files written by lgomgen.
#pragma once

#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/seismogramopen.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/mdiformmain.h"
#include "support/guiapp.h"
#include "support/testdirectories.h"
#include "common/numberformat.h"
#include "quactl/quagraph.h"
#include "tools/lgomgen/lgomgen.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

namespace dyma::test {

// A record: `channels` channels of `seconds` at `rate`, every channel's
// first motion at `onset` seconds (up on even channels, down on odd ones),
// silence before it; stations 100 m apart along X, 800 m below the surface
// (MBJ files store the depth, which the reader turns into Z = -800; their
// station numbers are the channel numbers).
struct RecordSpec {
    int channels = 4;
    double seconds = 10;
    double rate = 500;
    double onset = 1.0;
    lgomgen::Layout layout = lgomgen::Layout::MBJ;
};

inline lgomgen::Signal MakeSignal(const RecordSpec& record) {
    lgomgen::Signal s;
    s.layout = record.layout;
    s.samplingRate = record.rate;
    s.start = {2024, 3, 1, 7, 5, 9, 250};
    s.samplesPerChannel = int(std::lround(record.seconds * record.rate));
    for (int i = 0; i < record.channels; ++i) {
        lgomgen::Channel c;
        c.number = 10 + i;
        c.component = i % 3 == 0 ? "Z" : i % 3 == 1 ? "N" : "E";
        c.name = "ST" + std::to_string(10 + i);
        c.x = 100.0 * i;
        c.y = 50.0;
        c.z = 800.0;
        c.factor1 = 2.5;
        s.channels.push_back(c);
    }
    const double rate = record.rate, onset = record.onset;
    s.source = [rate, onset](int channel, int index) -> std::int16_t {
        const double t = index / rate - onset;
        if (t < 0) return 0;
        const double sign = channel % 2 == 0 ? 1.0 : -1.0;
        return std::int16_t(std::lround(sign * (1000 + 100 * channel) * std::exp(-3.0 * t) *
                                        std::sin(2 * 3.14159265358979 * 8 * t + 0.3)));
    };
    return s;
}

class SeismogramTest : public GuiTest {
protected:
    void SetUp() override {
        QSettings key = Key();
        test::WriteTestDirectories(key, work.Path().string());
        fm = std::make_unique<gui::TfmMain>(DYMA_PROGRAM_DIR);
        gui::DocumentCommands commands;
        gui::AddOpenCommands(commands);
        fm->SetDocumentCommands(std::move(commands));
        fm->resize(1100, 760);
        fm->show();
        QApplication::setActiveWindow(fm.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(fm.get()));
    }
    void TearDown() override { fm.reset(); }

    QString Dir(const char* name) const { return QString::fromStdString(work.File(name)); }

    // Changes settings as the preferences would, then reloads them.
    void SetSetting(const char* key, const QVariant& value) {
        QSettings k = Key();
        k.setValue(key, value);
        k.sync();
        fm->Preferences().LoadSettings();
    }

    std::string WriteSignal(const std::string& name, const RecordSpec& record = {}) {
        const std::string path = work.File(name);
        lgomgen::Write(path, MakeSignal(record));
        return path;
    }

    gui::TfmSeismogram* Open(const std::string& path) {
        gui::TfmSeismogram* w = gui::OpenByFileName(*fm, QString::fromStdString(path));
        // The processing box took the activation; offscreen nothing hands
        // it back as a window manager would.
        QApplication::setActiveWindow(fm.get());
        if (w) fm->TimerTimer();
        // Where a click's first motion is uncertain the operator answers
        // "+" (the tests that are about the question set their own).
        if (w)
            w->SetPolarityQuestion([this](double, const picking::FirstMotion&) {
                ++polarityQuestions;
                return std::optional<picking::Polarity>(picking::Polarity::Up);
            });
        return w;
    }
    int polarityQuestions = 0;

    void Close(gui::TfmSeismogram* w) {
        auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        sub->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A key pressed with the focus in the window itself.
    void Press(gui::TfmSeismogram* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        w->setFocus();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, key, mods);
    }

    // The graph's pixel column of time t.
    static int Column(gui::TfmSeismogram* w, double t) {
        quactl::TQuaGraph& g = w->Graph();
        return int(g.PlotLeft()) + g.TransferX(t) + 1;
    }
    static int MiddleRow(gui::TfmSeismogram* w) {
        quactl::TQuaGraph& g = w->Graph();
        return int(g.PlotTop() + g.PlotHeight() / 2);
    }
    // A mouse click on the graph at time t (moved there first, as a hand
    // would).
    static void ClickAt(gui::TfmSeismogram* w, double t, Qt::MouseButton button,
                        Qt::KeyboardModifiers mods = Qt::NoModifier) {
        quactl::TQuaGraph& g = w->Graph();
        g.Paint();
        const QPoint p(Column(w, t), MiddleRow(w));
        QTest::mouseMove(&g, p);
        QTest::mouseClick(&g, button, mods, p);
    }

    std::unique_ptr<gui::TfmMain> fm;
};

}  // namespace dyma::test
