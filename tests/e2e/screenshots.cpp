// Pictures of the main road for the review of a change: the example tremor
// opened and processed with the real solver (the main window with the
// seismogram and result windows, the result window alone), its print
// preview, and the printed page as a PDF (turn it into a picture with
// pdftoppm). Not a test; run under Xvfb: xvfb-run -a e2e_screenshots <folder>.
#include "app/results/formresult2.h"
#include "app/results/modalformprintpreview.h"
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/seismogramopen.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/dymaapplication.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/outputcommands.h"

#include "tests/support/screenshot.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QSettings>
#include <QTest>

#include <cstdio>
#include <filesystem>

using namespace dyma;
using namespace dyma::gui;

int main(int argc, char** argv) {
    TDymaApplication app(argc, argv);
    const QString out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".")).absolutePath();
    QDir().mkpath(out);
    qputenv("XDG_DATA_HOME", (out + "/data").toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, out + "/config");
    {
        QSettings key(QSettings::NativeFormat, QSettings::UserScope, "Quarnet", "Dyma");
        key.setValue("Globals/FirstTime", 0);
        key.setValue("Additional/RecoverRegistryEntries", 0);
        key.setValue("Dirs/TempDirectory", out + "/Temp");
        key.setValue("Dirs/SeismogramDirectory", out + "/example");
        key.setValue("Dirs/OutputDirectory", out + "/Roboczy");
    }
    // A fresh copy of the example, processed here.
    namespace fs = std::filesystem;
    const fs::path example = fs::path(out.toStdString()) / "example";
    fs::remove_all(example);
    fs::copy(fs::path(DYMA_PROGRAM_DIR) / "example", example, fs::copy_options::recursive);

    TfmMain fm(DYMA_PROGRAM_DIR);
    DocumentCommands commands;
    AddOpenCommands(commands);
    AddSolverAndOutputCommands(commands);
    fm.SetDocumentCommands(std::move(commands));
    fm.resize(1280, 860);
    fm.show();
    QTest::qWait(300);

    TfmSeismogram* seismogram = OpenByFileName(fm, QString::fromStdString((example / "tremor.dym").string()));
    if (!seismogram) return 1;
    QMdiSubWindow* seismogramWindow = qobject_cast<QMdiSubWindow*>(seismogram->parentWidget());
    seismogramWindow->setGeometry(0, 0, 760, 560);
    fm.mDymaStartClick();
    QTest::qWait(300);
    TfmResult2* result = nullptr;
    for (QMdiSubWindow* sub : fm.MdiArea()->subWindowList())
        if (auto* r = dynamic_cast<TfmResult2*>(sub->widget())) result = r, sub->setGeometry(430, 180, 720, 460);
    if (!result) return 1;
    const SolutionRecord& r = *result->Record();
    std::printf("A %.1f/%.1f/%.1f  B %.1f/%.1f/%.1f  P %.1f/%.1f  T %.1f/%.1f  stations %d\n", r.SA, r.DA, r.RA, r.SB,
                r.RB, r.DB, r.PTrend, r.PPlunge, r.TTrend, r.TPlunge, r.StationCount);
    QTest::qWait(300);
    test::SaveScreenshot(fm, out + "/main-window-processed.png");
    test::SaveScreenshot(*result, out + "/result-window.png");

    fm.MdiArea()->setActiveSubWindow(seismogramWindow);
    seismogram->Pages().setCurrentIndex(kPageSolution);
    test::SaveScreenshot(*seismogram, out + "/seismogram-solution-page.png");

    TfmPrintPreview preview(&fm, seismogram->Solution(), example.string());
    preview.LoadLocationFile((example / "tremor.dbs").string());
    preview.show();
    QTest::qWait(300);
    test::SaveScreenshot(preview, out + "/print-preview.png");
    preview.Image()->Picture().save(out + "/print-preview-page.png");

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out + "/page.pdf");
    PrintResult(*seismogram->Solution(), preview, printer);
    std::printf("%s\n", qPrintable(out + "/page.pdf"));
    return 0;
}
