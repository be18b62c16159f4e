// Pictures of the seismogram window for the review of a change: every page
// as the window first appears (570 x 420), then maximised: the page
// "Sejsmogram" with a trace, the time grid, a pick and a selection (and
// zoomed in to the onset), the pick list, the station table and the tremor
// data, on the bundled example
// tremor, processed with the real solver after the first pictures so that
// the page "Rozwiązanie" is there too. Not a test; run under Xvfb:
//   xvfb-run -a -s "-screen 0 1280x800x24" seismogram_screenshots <folder>
#include "app/seismogram/childformseismogram.h"
#include "app/results/solutionpanel.h"
#include "app/seismogram/seismogramopen.h"
#include "app/shell/dymaapplication.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/outputcommands.h"
#include "quactl/quagraph.h"
#include "support/screenshot.h"
#include "support/tempdir.h"
#include "support/testdirectories.h"
#include "tools/exampletremor/exampletremor.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTabWidget>
#include <QTest>


using namespace dyma;
using namespace dyma::gui;

namespace {

// Every page the window shows, named by its tab.
void SaveEveryPage(TfmSeismogram& w, const QString& prefix) {
    QTabWidget& pages = w.Pages();
    const int current = pages.currentIndex();
    for (int page = 0; page < pages.count(); ++page) {
        if (!pages.isTabVisible(page)) continue;
        pages.setCurrentIndex(page);
        test::SaveScreenshot(w, prefix + QStringLiteral("-%1.png").arg(page + 1));
    }
    pages.setCurrentIndex(current);
}

void RightClick(TfmSeismogram& w, double t) {
    quactl::TQuaGraph& g = w.Graph();
    g.Paint();
    const QPoint p(int(g.PlotLeft()) + g.TransferX(t) + 1, int(g.PlotTop() + g.PlotHeight() * 0.5));
    QTest::mouseMove(&g, p);
    QTest::mouseClick(&g, Qt::RightButton, {}, p);
}

}  // namespace

int main(int argc, char** argv) {
    TDymaApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    test::TempDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.File("settings")));
    {
        QSettings key(QSettings::NativeFormat, QSettings::UserScope, "Quarnet", "Dyma");
        key.setValue("Seismograms/VerticalGrid", 1);
        test::WriteTestDirectories(key, dir.Path().string());
    }
    example::WriteExampleTremor(dir.File("example"));

    TfmMain fm(DYMA_PROGRAM_DIR);
    DocumentCommands commands;
    AddOpenCommands(commands);
    AddSolverAndOutputCommands(commands);
    fm.SetDocumentCommands(std::move(commands));
    fm.resize(1280, 800);
    fm.show();
    TfmSeismogram* w = OpenByFileName(fm, QString::fromStdString(dir.File("example/") + example::kProjectFile));
    if (!w) return 1;
    QTest::qWait(300);
    // The first look: the window at the size it opens with, before and
    // after the processing.
    SaveEveryPage(*w, out + "/initial");
    fm.mDymaStartClick();
    QTest::qWait(300);
    if (w->ResultShown()) {
        w->Pages().setCurrentIndex(kPageSolution);
        test::SaveScreenshot(*w, out + QStringLiteral("/initial-%1.png").arg(kPageSolution + 1));
    }
    qobject_cast<QMdiSubWindow*>(w->parentWidget())->showMaximized();
    QTest::qWait(300);
    SaveEveryPage(*w, out + "/maximised");

    w->Pages().setCurrentIndex(kPageSeismogram);
    w->NextChannel();
    w->NextChannel();
    // The window around the channel's pick, a selection across the onset.
    const ChannelPick pick = ReadChannelPick(w->Image(), w->CurrentChannel() + 1);
    const double start = std::max(0.0, pick.MarkerPosition - 0.4);
    w->SetTimeWindow(start, start + 1.2);
    QTest::qWait(200);
    RightClick(*w, pick.MarkerPosition - 0.1);
    RightClick(*w, pick.MarkerPosition + 0.25);
    test::SaveScreenshot(fm, out + "/seismogram-page.png");
    // Zoomed in to the onset: round time labels and the grid through them.
    w->SetTimeWindow(pick.MarkerPosition - 0.06, pick.MarkerPosition + 0.09);
    QTest::qWait(200);
    test::SaveScreenshot(fm, out + "/seismogram-zoomed.png");

    // The same channel with its pick taken away: the suggested onset's
    // mark, then the band-pass view, then the short window round the onset.
    w->SetTimeWindow(start, start + 1.2);
    w->RemovePick();
    QTest::qWait(200);
    test::SaveScreenshot(fm, out + "/suggestion.png");
    w->SetViewFiltered(true);
    QTest::qWait(200);
    test::SaveScreenshot(fm, out + "/filter.png");
    w->ZoomToOnset();
    QTest::qWait(200);
    test::SaveScreenshot(fm, out + "/zoom-to-onset.png");
    w->SetViewFiltered(false);
    w->Undo();

    // Every channel at once, by distance from the tremor, the current one
    // marked; then the solution with its compressional quadrants shaded.
    w->Pages().setCurrentIndex(kPageSection);
    QTest::qWait(200);
    test::SaveScreenshot(fm, out + "/section-page.png");
    TSphereView::SetShading(true);
    w->Pages().setCurrentIndex(kPageSolution);
    QTest::qWait(200);
    test::SaveScreenshot(fm, out + "/solution-shaded.png");
    TSphereView::SetShading(false);

    w->Pages().setCurrentIndex(kPageProcessing);
    test::SaveScreenshot(fm, out + "/pick-list.png");
    w->Pages().setCurrentIndex(kPageNetwork);
    test::SaveScreenshot(fm, out + "/network-page.png");
    w->Pages().setCurrentIndex(kPageData);
    test::SaveScreenshot(fm, out + "/data-page.png");
    return 0;
}
