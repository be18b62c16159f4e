// The seismogram window on a long record: a 64-channel, 120 s, 1000 Hz MBJ
// file opened and its first channel shown (the reader, the window, the
// first picture); a move to the next channel; a move of the time window; a
// redraw of the record section with every channel over the whole record.
// Every step includes rebuilding the graph's picture, as the screen needs it.
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/recordsectionview.h"
#include "app/seismogram/seismogramopen.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/dymaapplication.h"
#include "app/shell/mdiformmain.h"
#include "app/widgets/messageboxes.h"
#include "quactl/quagraph.h"
#include "support/recordingmessages.h"
#include "support/tempdir.h"
#include "support/testdirectories.h"
#include "tools/lgomgen/lgomgen.h"

#include <QMdiSubWindow>
#include <QSettings>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

using namespace dyma;
using namespace dyma::gui;

namespace {

constexpr int kChannels = 64;
constexpr int kSamples = 120 * 1000;

struct Fixture {
    Fixture() {
        const QString settings = QString::fromStdString(dir.File("settings"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
        QSettings key(QSettings::NativeFormat, QSettings::UserScope, "Quarnet", "Dyma");
        key.setValue("Seismograms/VerticalGrid", 1);
        test::WriteTestDirectories(key, dir.Path().string());

        lgomgen::Signal s;
        s.layout = lgomgen::Layout::MBJ;
        s.samplingRate = 1000.0;
        s.channels.resize(kChannels);
        for (int c = 0; c < kChannels; ++c) {
            s.channels[size_t(c)].x = 1000.0 + 10 * c;
            s.channels[size_t(c)].name = "ST" + std::to_string(c);
        }
        s.samplesPerChannel = kSamples;
        s.source = [](int c, int i) {
            return std::int16_t(std::lround(8000 * std::sin(i * 0.05 + c) * std::exp(-i / 40000.0)));
        };
        lgomgen::Write(file, s);

        fm = std::make_unique<TfmMain>(DYMA_PROGRAM_DIR);
        DocumentCommands commands;
        AddOpenCommands(commands);
        fm->SetDocumentCommands(std::move(commands));
        fm->resize(1280, 800);
        fm->show();
    }
    test::TempDir dir;
    std::string file = dir.File("big.mbj");
    std::unique_ptr<TfmMain> fm;
};

Fixture* theFixture = nullptr;

void Close(TfmSeismogram* w) {
    qobject_cast<QMdiSubWindow*>(w->parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenAndShowFirstChannel(benchmark::State& state) {
    Fixture& f = *theFixture;
    for (auto _ : state) {
        TfmSeismogram* w = OpenByFileName(*f.fm, QString::fromStdString(f.file));
        if (!w) {
            state.SkipWithError("open failed");
            return;
        }
        w->Pages().setCurrentIndex(kPageSeismogram);
        w->Graph().Paint();
        state.PauseTiming();
        Close(w);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenAndShowFirstChannel)->Unit(benchmark::kMillisecond)->Iterations(5);

template <class Step>
void WithOpenWindow(benchmark::State& state, Step step) {
    Fixture& f = *theFixture;
    TfmSeismogram* w = OpenByFileName(*f.fm, QString::fromStdString(f.file));
    if (!w) {
        state.SkipWithError("open failed");
        return;
    }
    w->resize(1200, 700);
    w->Pages().setCurrentIndex(kPageSeismogram);
    if (state.range(0) == 1) w->SetTimeWindow(0, 120);  // the whole record on screen
    int i = 0;
    for (auto _ : state) {
        step(*w, i++);
        w->Graph().Paint();
    }
    Close(w);
}

void BM_NextChannel(benchmark::State& state) {
    WithOpenWindow(state, [](TfmSeismogram& w, int i) {
        if (i % kChannels == kChannels - 1) w.FirstChannel();
        else w.NextChannel();
    });
}
// 0: the default 2 s window; 1: the whole 120 s record.
BENCHMARK(BM_NextChannel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MoveTimeWindow(benchmark::State& state) {
    WithOpenWindow(state, [](TfmSeismogram& w, int i) { w.MoveTimeWindow(i % 2 == 0 ? kFastForward : kFastBackward); });
}
BENCHMARK(BM_MoveTimeWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The record section of all 64 channels over the whole 120 s: thinned per
// pixel column and drawn, as a repaint does (the samples were read when the
// page was first shown). Arg: the device pixel ratio.
void BM_RecordSectionRedraw(benchmark::State& state) {
    Fixture& f = *theFixture;
    TfmSeismogram* w = OpenByFileName(*f.fm, QString::fromStdString(f.file));
    if (!w) {
        state.SkipWithError("open failed");
        return;
    }
    w->resize(1200, 700);
    w->Pages().setCurrentIndex(kPageSection);
    TRecordSection& section = w->Section();
    const QSize size = section.size();
    for (auto _ : state) benchmark::DoNotOptimize(section.Picture(size, double(state.range(0))));
    state.counters["width"] = size.width();
    state.counters["rows"] = double(section.Rows().size());
    Close(w);
}
BENCHMARK(BM_RecordSectionRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TDymaApplication app(argc, argv);
    test::RecordingMessages messages;
    ScopedMessages quiet(messages);
    Fixture fixture;
    theFixture = &fixture;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theFixture = nullptr;
    return 0;
}
