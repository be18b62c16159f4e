// Pictures of the shell's windows for the review of a change: the main
// window with a result window, the four pages of the preferences, a result
// window (also as it opens, and at its minimum size with the widest values
// a solution can have), the import dialog, the help viewer, the about box,
// the splash, the processing box and the question about unsaved changes.
// Not a test; run under Xvfb: xvfb-run -a screenshots <output folder>.
#include "app/results/focalgeometry.h"
#include "app/results/formresult2.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/dymaapplication.h"
#include "app/shell/helpsystem.h"
#include "app/shell/helpviewer.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/qtconvert.h"
#include "app/shell/messageboxes.h"
#include "app/shell/splash.h"
#include "app/shell/unsavedchanges.h"
#include "app/shell/wizytowka.h"
#include "app/solver/modalformimport.h"
#include "app/solver/processing.h"
#include "common/focalmath.h"

#include "tests/support/screenshot.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

#include <cmath>
#include <cstdio>

using namespace dyma;
using namespace dyma::gui;

namespace {

// A normal fault as LGOM tremors often show, sixteen stations with the
// polarities that mechanism gives.
std::unique_ptr<SolutionRecord> ExampleSolution() {
    auto r = std::make_unique<SolutionRecord>();
    r->Exists = true;
    r->X = 4200.0, r->Y = -1350.0, r->Z = 800.0;
    const focal::Plane a{120, 60, -90};
    const focal::Plane b = focal::AuxiliaryPlane(a);
    r->SA = a.strike, r->DA = a.dip, r->RA = a.rake;
    r->SB = b.strike, r->RB = b.dip, r->DB = b.rake;
    r->SAB = 4.5, r->DAB = 3.0, r->RAB = 6.5, r->SBB = 5.0, r->RBB = 2.5, r->DBB = 7.0;
    focal::Axis p, t, n;
    focal::PrincipalAxes(a, p, t, n);
    r->PTrend = p.trend, r->PPlunge = p.plunge, r->TTrend = t.trend, r->TPlunge = t.plunge;
    const focal::Vec3 normal = focal::FaultNormal(a), slip = focal::SlipVector(a);
    const int count = 16;
    for (int k = 0; k < count; ++k) {
        SolutionStation& s = r->stations[size_t(k)];
        const double az = focal::Rad(k * 360.0 / count + 7.0 * (k % 3));
        const double dist = 1500.0 + 400.0 * (k % 4);
        s.No = k + 1;
        s.Channel = std::to_string(k + 1) + "Z";
        s.XS = r->X + dist * std::cos(az);
        s.YS = r->Y + dist * std::sin(az);
        s.ZS = r->Z + (k % 2 ? -350.0 : 450.0);
        s.Type = "C";
    }
    r->StationCount = count;
    ComputeStationGeometry(*r);
    for (int k = 0; k < count; ++k) {
        SolutionStation& s = r->stations[size_t(k)];
        const focal::RayAngles ray{s.Angle, s.SinBet, s.CosBet, s.SinAl, s.CosAl};
        s.Sign = focal::PAmplitude(normal, slip, focal::RayVector(ray)) > 0 ? 1 : -1;
    }
    return r;
}

// The longest texts the panel can be given: coordinates of five digits
// with their signs, rakes near -180 with errors of two digits.
std::unique_ptr<SolutionRecord> WidestSolution() {
    auto r = ExampleSolution();
    r->X = -24750.125, r->Y = -17444.875, r->Z = -1064.5;
    r->SA = 359.9, r->DA = 89.9, r->RA = -179.9, r->SB = 359.9, r->RB = 89.9, r->DB = -179.9;
    r->SAB = r->DAB = r->RAB = r->SBB = r->RBB = r->DBB = 88.8;
    r->PTrend = r->TTrend = 359.9, r->PPlunge = r->TPlunge = 89.9;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    TDymaApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    // Settings and data of this run go to the output folder.
    qputenv("XDG_DATA_HOME", (out + "/data").toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, out + "/config");

    TfmMain fm(DYMA_PROGRAM_DIR);
    fm.resize(1200, 760);
    fm.show();
    QTest::qWait(300);
    auto result = std::make_unique<TfmResult2>();
    result->setWindowTitle(QStringLiteral("Rozwiązanie: wstrząs 2024-03-11 ZG Rudna"));
    result->SetSolution(ExampleSolution(), LocaleDecimalSeparator());
    QMdiSubWindow* sub = fm.AddChild(std::move(result));
    sub->resize(720, 460);
    sub->move(20, 20);
    fm.TimerTimer();
    QTest::qWait(300);
    test::SaveScreenshot(fm, out + "/main-window.png");
    test::SaveScreenshot(*sub->widget(), out + "/result-window.png");
    {
        // As the processing opens one, then at its smallest.
        auto widest = std::make_unique<TfmResult2>();
        widest->setWindowTitle(QStringLiteral("Rozwiązanie: najszersze wartości"));
        widest->SetSolution(WidestSolution(), LocaleDecimalSeparator());
        QMdiSubWindow* opened = fm.AddChild(std::move(widest));
        QTest::qWait(200);
        test::SaveScreenshot(*opened->widget(), out + "/result-window-initial.png");
        opened->resize(opened->minimumSize());
        QTest::qWait(200);
        test::SaveScreenshot(*opened, out + "/result-window-minimum.png");
        opened->close();
        QTest::qWait(100);
    }

    {
        TfmImport import(&fm);
        import.show();
        QTest::qWait(200);
        test::SaveScreenshot(import, out + "/import.png");
    }

    TfmPreferences& prefs = fm.Preferences();
    prefs.show();
    QTest::qWait(200);
    for (int page = 0; page < 4; ++page) {
        prefs.Pages()->setCurrentIndex(page);
        test::SaveScreenshot(prefs, out + QStringLiteral("/preferences-%1.png").arg(page + 1));
    }
    prefs.hide();

    ApplicationHelp().ShowContext(help::kSolution);
    QTest::qWait(200);
    test::SaveScreenshot(*ApplicationHelp().Viewer(), out + "/help-4050.png");

    TfmWizytowka about(&fm);
    about.show();
    test::SaveScreenshot(about, out + "/about.png");
    TfmSplash splash;
    splash.show();
    test::SaveScreenshot(splash, out + "/splash.png");
    fm.Processing().ShowProcessing(QStringLiteral("Usuwanie plików z katalogu tymczasowego"),
                                   QStringLiteral("Usuwanie plików tymczasowych"));
    test::SaveScreenshot(fm.Processing(), out + "/processing.png");

    // The question before a modified document closes.
    {
        ScopedDialogRunner shoot([&out](QDialog& box) {
            box.show();
            QTest::qWait(200);
            test::SaveScreenshot(box, out + "/unsaved-changes.png");
            return int(QDialog::Rejected);
        });
        QtUserMessages().AskToSave(UnsavedChangesQuestion("wstrzas 12.mbj"));
    }

    // Qt's own dialogs, in Polish.
    QFileDialog files(&fm, QStringLiteral("Zapis pliku"), QDir::homePath(), QStringLiteral("Plik programu Dyma (*.dym)"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.show();
    QTest::qWait(300);
    test::SaveScreenshot(files, out + "/save-dialog.png");
    fm.Preferences().ColorDialog().show();
    QTest::qWait(200);
    test::SaveScreenshot(fm.Preferences().ColorDialog(), out + "/colour-dialog.png");
    return 0;
}
