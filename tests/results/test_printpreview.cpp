// The print preview and printing: the dialog's controls, the preview page
// (the sphere where the layout puts it), the location-file list, and the
// printed page read back from a PDF.
#include "app/results/focalgeometry.h"
#include "app/results/focalsphererenderer.h"
#include "app/results/modalformprintpreview.h"
#include "app/results/printpage.h"
#include "app/widgets/helpsystem.h"
#include "app/widgets/helpviewer.h"
#include "common/focalmath.h"
#include "shell/fakeseismogram.h"
#include "support/mainwindowfixture.h"
#include "support/pdftext.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>
#include <filesystem>

using namespace dyma;
using namespace dyma::gui;

namespace {

SolutionRecord Solution(int stations = 10) {
    SolutionRecord r;
    r.Exists = true;
    r.X = 4.2, r.Y = -1.35, r.Z = 0.8;
    r.SignalFileShort = "wstrzas.mbj";
    r.SA = 120, r.DA = 60, r.RA = -90, r.SB = 300, r.RB = 30, r.DB = -90;
    r.PTrend = 30, r.PPlunge = 75, r.TTrend = 210, r.TPlunge = 15;
    r.StationCount = stations;
    for (int k = 0; k < stations; ++k) {
        SolutionStation& s = r.stations[size_t(k)];
        s.No = k + 1;
        s.Channel = std::to_string(k + 1) + "Z";
        const double az = focal::Rad(36.0 * k);
        s.XS = r.X + 1.5 * std::cos(az), s.YS = r.Y + 1.5 * std::sin(az), s.ZS = r.Z + (k % 2 ? 0.3 : -0.3);
        s.Type = "C";
        s.Sign = k % 2 ? 1 : -1;
        s.SignString = k % 2 ? "+" : "-";
        s.Weight = 1;
    }
    ComputeStationGeometry(r);
    return r;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class PrintPreviewTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MakeMainWindow();
        record = Solution();
    }
    std::string LocationFile(size_t layout) {
        LocationRecord loc;
        loc.layout = layout;
        loc.Data = "01.03.24";
        loc.Czas = "07:05:09";
        loc.Oddzial = "ZG Rudna";
        loc.TypZjawiska = 2;
        loc.X = 4200, loc.Y = -1350, loc.Z = -800;
        loc.Energia = 3.2e6;
        loc.T0 = 1.25;
        loc.Notatki = "silny wstrząs";
        loc.Rejon = "R-7";
        return work.Write("zjawisko" + std::to_string(layout) + ".dbs", EncodeLocationRecord(loc));
    }
    // A PDF printer at the resolution of the tests.
    std::unique_ptr<QPrinter> PdfPrinter(const std::string& file, int dpi = 300) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(file));
        printer->setResolution(dpi);
        printer->setPageSize(QPageSize(QPageSize::A4));
        return printer;
    }

    SolutionRecord record;
};

}  // namespace

TEST_F(PrintPreviewTest, DialogControlsAndThePreviewPage) {
    TfmPrintPreview preview(fm.get(), &record, SeismogramDirectory());
    EXPECT_EQ(preview.windowTitle(), "Podgląd wydruku");
    EXPECT_TRUE(preview.AddDBSInfo()->isChecked());
    EXPECT_EQ(preview.AddDBSInfo()->text(), "Dołącz informację z pliku DBS");
    EXPECT_EQ(preview.DBSList()->headerItem()->text(0), "Klucz");
    EXPECT_EQ(preview.DBSList()->headerItem()->text(1), "Wartość");
    EXPECT_EQ(preview.DBSList()->columnWidth(0), TfmPrintPreview::Scaled(154));
    const std::pair<const char*, const char*> buttons[] = {
        {"Button4", "Wczytaj plik DBS"}, {"Button3", "Pomoc"}, {"Button2", "Anuluj"}, {"Button1", "Drukuj"}};
    for (const auto& [name, caption] : buttons) {
        ASSERT_NE(preview.Button(name), nullptr) << name;
        EXPECT_EQ(preview.Button(name)->text(), QString::fromUtf8(caption));
    }
    EXPECT_EQ(preview.size(), QSize(TfmPrintPreview::Scaled(775), TfmPrintPreview::Scaled(615)));

    preview.show();
    QApplication::processEvents();
    const QImage page = preview.Image()->Picture();
    ASSERT_EQ(page.size(), QSize(1240, 1754));
    // The sphere is copied unscaled to (665, 75), 470 pixels wide, drawn as
    // the solution views draw it.
    SolutionRecord copy = record;
    const QImage sphere = RenderFocalSphere(copy, 470, 470, 1, SphereStyleFor(copy)).convertToFormat(page.format());
    EXPECT_EQ(page.copy(665, 75, 470, 470), sphere);
    // The margins are blank; the title starts at the inner corner.
    for (int x = 0; x < 1240; x += 7) {
        EXPECT_EQ(page.pixel(x, 40), qRgb(255, 255, 255)) << x;
        EXPECT_EQ(page.pixel(x, 1720), qRgb(255, 255, 255)) << x;
    }
    bool ink = false;
    for (int y = 75; y < 93 && !ink; ++y)
        for (int x = 75; x < 400 && !ink; ++x) ink = page.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_TRUE(ink) << "the title's first line";

    // "Drukuj" and "Anuluj" are the dialog's two results.
    preview.Button("Button2")->click();
    EXPECT_EQ(preview.result(), QDialog::Rejected);
    preview.show();
    preview.Button("Button1")->click();
    EXPECT_EQ(preview.result(), QDialog::Accepted);

    ApplicationHelp().SetHelpDirectory(QDir(DYMA_PROGRAM_DIR).filePath("help"));
    preview.Button("Button3")->click();
    EXPECT_EQ(ApplicationHelp().LastContext(), 4060);
    EXPECT_TRUE(recorded.warnings.empty());
}

TEST_F(PrintPreviewTest, LocationFilesFillTheListByTheirLength) {
    TfmPrintPreview preview(fm.get(), &record, SeismogramDirectory());
    QString title, directory, filter;
    {
        ScopedDialogRunner answer([&](QDialog& d) {
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            title = dialog.windowTitle();
            directory = QDir::toNativeSeparators(dialog.directory().absolutePath());
            filter = dialog.nameFilters().value(0);
            dialog.selectFile(QString::fromStdString(LocationFile(kLocationLayoutShort)));
            return int(QDialog::Accepted);
        });
        preview.Button("Button4")->click();
    }
    EXPECT_EQ(title, "Odczytaj plik lokalizacji");
    EXPECT_EQ(filter, "Plik lokalizacji (*.dbs)");
    EXPECT_EQ(directory, Dir("Sejsmogramy"));
    std::vector<LocationEntry> entries = preview.Entries();
    ASSERT_EQ(entries.size(), 11u);
    EXPECT_EQ(entries[0].key, "Data");
    EXPECT_EQ(entries[0].value, "01.03.24");
    EXPECT_EQ(entries[3].key, "Typ zjawiska");
    EXPECT_EQ(entries[10].key, "Rejon");
    EXPECT_EQ(entries[10].value, "R-7");

    // A file of another length leaves the list as it was; a known one
    // replaces it.
    const std::string other = work.Write("inny.dbs", std::string(3447, '\0'));
    EXPECT_FALSE(preview.LoadLocationFile(other));
    EXPECT_FALSE(preview.LoadLocationFile(work.File("brak.dbs")));
    EXPECT_EQ(preview.Entries().size(), 11u);
    EXPECT_TRUE(preview.LoadLocationFile(LocationFile(kLocationLayoutNoType)));
    entries = preview.Entries();
    EXPECT_EQ(entries.size(), 10u) << "the 3450-byte layout has no event type";
    EXPECT_EQ(entries[3].key, "X");

    // Cancelling the dialog changes nothing.
    ScopedDialogRunner cancel([](QDialog&) { return int(QDialog::Rejected); });
    preview.Button("Button4")->click();
    EXPECT_EQ(preview.Entries().size(), 10u);
    EXPECT_TRUE(recorded.Silent());
}

TEST_F(PrintPreviewTest, ThePrintedPageHoldsTheReportAndTheLocationBlockWhenTicked) {
    TfmPrintPreview preview(fm.get(), &record, SeismogramDirectory());
    ASSERT_TRUE(preview.LoadLocationFile(LocationFile(kLocationLayoutLong)));

    const std::string ticked = work.File("z_dbs.pdf");
    PrintResult(record, preview, *PdfPrinter(ticked));
    const std::string text = test::PdfText(ticked);
    ASSERT_FALSE(text.empty()) << "pdftotext could not read " << ticked;
    for (const char* part : {"PLIK WYNIKOWY PRZETWARZANIA PROGRAMU WinDYMA 1.5.0", "Nazwa pliku przetwarzanego: wstrzas.mbj",
                             "ROZWIĄZANIE PŁASZCZYZN NODALNYCH:", "Płaszczyzna nodalna A:", "Zagłębienie osi T:",
                             "KONFIGURACJA SIECI SEJSMOMETRYCZNEJ:", "Kąt wyjścia", "Waga", "10Z",
                             "INFORMACJE Z PLIKU DBS:", "Rejon:", "R-7", "silny wstrząs"})
        EXPECT_TRUE(Contains(text, part)) << part << "\n" << text;
    EXPECT_FALSE(Contains(text, "Osie:"));

    preview.AddDBSInfo()->setChecked(false);
    const std::string plain = work.File("bez_dbs.pdf");
    PrintResult(record, preview, *PdfPrinter(plain, 600));
    const std::string without = test::PdfText(plain);
    EXPECT_TRUE(Contains(without, "PLIK WYNIKOWY PRZETWARZANIA PROGRAMU WinDYMA 1.5.0"));
    EXPECT_TRUE(Contains(without, "Waga"));
    EXPECT_FALSE(Contains(without, "INFORMACJE Z PLIKU DBS:"));
    EXPECT_FALSE(Contains(without, "R-7"));
}

TEST_F(PrintPreviewTest, ThePrintCommandPreviewsAndPrintsOnlyOnDrukuj) {
    auto child = std::make_unique<test::FakeSeismogram>();
    child->solution = record;
    child->resultShown = true;
    Add(std::move(child));
    const std::string pdf = work.File("wydruk.pdf");
    fm->Printer().setOutputFormat(QPrinter::PdfFormat);
    fm->Printer().setOutputFileName(QString::fromStdString(pdf));

    std::vector<QString> dialogs;
    auto answer = [&](int previewResult) {
        return [&dialogs, previewResult](QDialog& d) {
            dialogs.push_back(d.objectName());
            if (auto* preview = dynamic_cast<TfmPrintPreview*>(&d)) {
                EXPECT_EQ(preview->DBSList()->topLevelItemCount(), 0) << "every print command starts empty";
                return previewResult;
            }
            return int(QDialog::Accepted);  // the print dialog
        };
    };
    {
        ScopedDialogRunner cancel(answer(QDialog::Rejected));
        fm->Action("mPrint")->trigger();
    }
    EXPECT_EQ(dialogs, (std::vector<QString>{"PrintDialog1", "fmPrintPreview"}));
    EXPECT_FALSE(std::filesystem::exists(pdf));
    {
        ScopedDialogRunner print(answer(QDialog::Accepted));
        fm->Action("mPrint")->trigger();
    }
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_TRUE(Contains(test::PdfText(pdf), "PLIK WYNIKOWY PRZETWARZANIA PROGRAMU WinDYMA 1.5.0"));
    EXPECT_TRUE(recorded.Silent());
}

TEST_F(PrintPreviewTest, ThePrintedSphereKeepsTheLineWeightOfThePreview) {
    EXPECT_EQ(SphereLineWidth(PreviewPageGeometry()), 1);
    const PageGeometry page = PrinterPageGeometry(600, 600, 4960, 7016);
    EXPECT_EQ(SphereLineWidth(page), 4);
    // The same picture drawn with wider lines holds several times the ink.
    auto ink = [&](int width) {
        SolutionRecord copy = record;
        const QImage image = RenderFocalSphere(copy, 940, 940, width);
        long count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != qRgb(255, 255, 255);
        return count;
    };
    EXPECT_GT(ink(4), 3 * ink(1));
}

TEST_F(PrintPreviewTest, HelpAskedFromTheModalPreviewIsNotBlockedByIt) {
    ApplicationHelp().SetHelpDirectory(QDir(DYMA_PROGRAM_DIR).filePath("help"));
    TfmPrintPreview preview(fm.get(), &record, SeismogramDirectory());
    Qt::WindowModality during = Qt::NonModal;
    QTimer::singleShot(0, [&] {
        preview.Button("Button3")->click();
        during = ApplicationHelp().Viewer()->windowModality();
        ApplicationHelp().Viewer()->close();
        preview.reject();
    });
    preview.exec();
    EXPECT_EQ(ApplicationHelp().LastContext(), 4060);
    EXPECT_EQ(during, Qt::ApplicationModal) << "above the modal dialog, so it takes input";
    // Asked from the main window, it is an ordinary window again.
    ApplicationHelp().ShowContext(help::kContents);
    EXPECT_EQ(ApplicationHelp().Viewer()->windowModality(), Qt::NonModal);
    ApplicationHelp().Viewer()->close();
}
