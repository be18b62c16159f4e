// Pictures of the seismogram window for the review of a change: the page
// "Sejsmogram" with a trace, the time grid, a pick and a selection, the pick
// list, the station table and the tremor data, on the bundled example
// tremor. Not a test; run under Xvfb:
//   xvfb-run -a -s "-screen 0 1280x800x24" seismogram_screenshots <folder>
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/seismogramopen.h"
#include "app/shell/dymaapplication.h"
#include "app/shell/mdiformmain.h"
#include "quactl/quagraph.h"
#include "support/tempdir.h"
#include "support/testdirectories.h"
#include "tools/exampletremor/exampletremor.h"

#include <QMdiSubWindow>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

#include <cstdio>

using namespace dyma;
using namespace dyma::gui;

namespace {

void Save(QWidget& w, const QString& file) {
    QTest::qWait(200);
    if (!w.grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
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
    fm.SetDocumentCommands(std::move(commands));
    fm.resize(1280, 800);
    fm.show();
    TfmSeismogram* w = OpenByFileName(fm, QString::fromStdString(dir.File("example/") + example::kProjectFile));
    if (!w) return 1;
    qobject_cast<QMdiSubWindow*>(w->parentWidget())->showMaximized();
    QTest::qWait(300);

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
    Save(fm, out + "/seismogram-page.png");

    w->Pages().setCurrentIndex(kPageProcessing);
    Save(fm, out + "/pick-list.png");
    w->Pages().setCurrentIndex(kPageNetwork);
    Save(fm, out + "/network-page.png");
    w->Pages().setCurrentIndex(kPageData);
    Save(fm, out + "/data-page.png");
    return 0;
}
