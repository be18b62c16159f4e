// quactldemo [--shot FILE.png]
//
// Shows a graph with a synthetic seismogram trace, pick markers with their
// labels, a selection band and both axes (round ticks with a grid), and a
// colour bar below it. The cursor line follows the mouse; dragging selects a
// time span. Sharp on a screen of any density (try QT_SCALE_FACTOR=2).
#include "quactl/quacolorbar.h"
#include "quactl/quagraph.h"
#include "quactl/quaseries.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <cstring>
#include <memory>

using namespace quactl;

namespace {

// A damped P and S arrival on a little noise, 2000 samples a second.
std::unique_ptr<TQuaFastLineSeries> Trace() {
    constexpr int kRate = 2000, kSeconds = 10;
    auto s = std::make_unique<TQuaFastLineSeries>("trace", kRate * kSeconds, clNavy);
    unsigned noise = 12345;
    for (int i = 0; i < kRate * kSeconds; ++i) {
        const double t = static_cast<double>(i) / kRate;
        noise = noise * 1103515245u + 12345u;
        double y = ((noise >> 16) % 1000 / 1000.0 - 0.5) * 0.08;
        if (t > 2.5) y += 0.6 * std::exp(-(t - 2.5) * 1.5) * std::sin(2 * M_PI * 12 * (t - 2.5));
        if (t > 4.8) y += 1.0 * std::exp(-(t - 4.8) * 0.9) * std::sin(2 * M_PI * 6 * (t - 4.8));
        s->AddPoint("", clNavy, t, y, 0);
    }
    return s;
}

std::unique_ptr<TQuaMarkerSeries> Picks() {
    auto m = std::make_unique<TQuaMarkerSeries>("picks", 2, clYellow, clBlack);
    m->AddPoint("@P|+", clRed, 2.5, 0, 0);
    m->AddPoint("S|-", clGreen, 4.8, -1, 0);
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const char* shot = argc == 3 && std::strcmp(argv[1], "--shot") == 0 ? argv[2] : nullptr;

    QWidget window;
    window.setWindowTitle("quactl");
    auto* layout = new QVBoxLayout(&window);  // owned by the window
    auto* graph = new TQuaGraph(&window);
    graph->SetTitle("KGHM 2024-05-17 stacja 07 Z");
    graph->AxisBottom().SetCaption("Czas [s]");
    graph->AxisLeft().SetCaption("Amplituda");
    graph->AxisLeft().SetFormatString("0.00");
    // Readable axes: round values, as many labels as fit, a grid through them.
    for (TQuaAxis* axis : {&graph->AxisLeft(), &graph->AxisBottom()}) {
        axis->SetRoundTicks(true);
        axis->SetGrid(true);
        axis->SetGridColor(RGBColor(222, 222, 210));
    }
    graph->SetGraphColor(RGBColor(250, 250, 240));
    graph->setMinimumSize(640, 360);
    graph->AddSeries(Trace());
    graph->AddSeries(Picks());
    graph->Canvas().Pen.Color = clGray;
    graph->OnMouseMove = [](TQuaGraph* g, TShiftState, int, int) { g->DrawLine(); };
    layout->addWidget(graph);
    auto* bar = new TQuaColorBar(&window);
    bar->setFixedHeight(16);
    layout->addWidget(bar);
    auto* status = new QLabel(&window);
    layout->addWidget(status);
    graph->OnMouseUp = [status](TQuaGraph* g, TMouseButton, TShiftState, int, int) {
        status->setText(g->Selected() ? QString("Zaznaczono %1 s – %2 s").arg(g->MarkerStart(), 0, 'f', 3).arg(g->MarkerEnd(), 0, 'f', 3)
                                      : QString());
    };
    window.resize(720, 460);
    window.show();
    graph->Paint();
    graph->Select(4.5, 6.2);

    if (!shot) return app.exec();
    QTimer::singleShot(300, [&] {
        window.grab().save(shot);
        app.quit();
    });
    return app.exec();
}
