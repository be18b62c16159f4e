// Paint time of the graph with a seismogram-sized trace: a plot 800 pixels
// wide, a fast-line series of a million samples and a marker series with
// labelled picks, on an ordinary screen and on one of twice the density
// (the same layout in four times the pixels). Not run by CI; run
// build/benchmarks/bench_quagraph.
#include "quactl/ezlines.h"
#include "quactl/quagraph.h"
#include "quactl/quaseries.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cmath>

using namespace quactl;

namespace {

std::unique_ptr<TQuaFastLineSeries> Trace(int n) {
    auto s = std::make_unique<TQuaFastLineSeries>("trace", n, clNavy);
    for (int i = 0; i < n; ++i) {
        const double t = i * 0.001;
        s->AddPoint("", clNavy, t, std::sin(t * 7) * std::exp(-t * 0.002) + 0.3 * std::sin(t * 331.0), 0);
    }
    return s;
}

std::unique_ptr<TQuaMarkerSeries> Picks() {
    auto m = std::make_unique<TQuaMarkerSeries>("picks", 8, clYellow, clBlack);
    for (int k = 0; k < 8; ++k) m->AddPoint(k % 2 ? "@P|+" : "S|-", clRed, 100.0 + k * 110, k % 3, 0);
    return m;
}

void PrepareGraph(TQuaGraph& g, int samples, double ratio = 1, bool roundTicks = false) {
    g.SetPixelRatio(ratio);
    g.AxisLeft().SetRoundTicks(roundTicks);
    g.AxisBottom().SetRoundTicks(roundTicks);
    g.SetMarginLeft(0);
    g.SetMarginRight(0);
    g.AddSeries(Trace(samples));
    g.AddSeries(Picks());
    // With round ticks the left strip is as wide as the labels of the
    // height and range: set the height first.
    g.resize(1000, 400);
    g.resize(800 + g.CalculateAxisLeftWidth(), 400);
    g.Select(300, 420);
    g.Paint();
}

// Arguments: device pixel ratio, round ticks on both axes (0 or 1).
void BM_PaintMillionSampleTrace(benchmark::State& state) {
    TQuaGraph g;
    const double ratio = static_cast<double>(state.range(0));
    PrepareGraph(g, 1'000'000, ratio, state.range(1) != 0);
    if (g.PlotWidth() != 800) state.SkipWithError("plot is not 800 pixels wide");
    if (g.ControlImage().width() != static_cast<int>(g.width() * ratio)) state.SkipWithError("not painted at the ratio");
    for (auto _ : state) {
        g.Paint();
        benchmark::DoNotOptimize(g.ControlImage().constBits());
    }
}
BENCHMARK(BM_PaintMillionSampleTrace)
    ->ArgNames({"ratio", "round"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond);

void BM_ThinMillionSampleTrace(benchmark::State& state) {
    const auto trace = Trace(1'000'000);
    TQuaTransform t;
    t.XMax = trace->GetMaxXValue();
    t.YMin = trace->GetMinYValue();
    t.YMax = trace->GetMaxYValue();
    t.Width = 800;
    t.Height = 300;
    for (auto _ : state) benchmark::DoNotOptimize(trace->Path(t));
}
BENCHMARK(BM_ThinMillionSampleTrace)->Unit(benchmark::kMillisecond);

void BM_DragSelection(benchmark::State& state) {
    TQuaGraph g;
    PrepareGraph(g, 1'000'000);
    const int left = static_cast<int>(g.PlotLeft()), y = static_cast<int>(g.PlotTop()) + 10;
    g.MouseDown(TMouseButton::mbLeft, ssLeft, left + 100, y);
    int x = 0;
    for (auto _ : state) {
        g.MouseMove(ssLeft, left + 150 + (x++ % 400), y);
    }
}
BENCHMARK(BM_DragSelection)->Unit(benchmark::kMicrosecond);

void BM_AntialiasedSegment(benchmark::State& state) {
    TQuaBitmap bitmap(800, 400);
    TEZLine line;
    line.SetProperty(clBlue, 2.5, 0.8, 0, true, true, psDash, pmCopy);
    for (auto _ : state) benchmark::DoNotOptimize(line.Line(10, 20, 780, 350, &bitmap));
}
BENCHMARK(BM_AntialiasedSegment)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
