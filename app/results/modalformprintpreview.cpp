#include "modalformprintpreview.h"

#include "app/results/printpage.h"
#include "app/results/reportlocale.h"
#include "app/settings/modalformpreferences.h"
#include "app/widgets/helpsystem.h"
#include "app/widgets/mainwindowlink.h"
#include "app/widgets/messageboxes.h"
#include "app/widgets/qtconvert.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>
#include <stdexcept>

namespace dyma::gui {

// ---- the picture

TPageImage::TPageImage(QWidget* parent) : QWidget(parent) {
    setObjectName("Image");
    setMinimumSize(100, 100);
}

void TPageImage::SetPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

void TPageImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize fitted = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    p.drawImage(target, picture_);
}

// ---- the dialog

int TfmPrintPreview::Scaled(int designPixels) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return static_cast<int>(std::lround(designPixels * dpi / 120.0));
}

TfmPrintPreview::TfmPrintPreview(QWidget* owner, SolutionRecord* record, std::string seismogramDirectory)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      record_(record),
      seismogramDirectory_(std::move(seismogramDirectory)) {
    setObjectName("fmPrintPreview");
    setWindowTitle(QStringLiteral("Podgląd wydruku"));

    image_ = new TPageImage(this);

    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    panel->setFixedWidth(Scaled(328));
    addDBSInfo_ = new QCheckBox(QStringLiteral("Dołącz informację z pliku DBS"), panel);
    addDBSInfo_->setObjectName("AddDBSInfo");
    addDBSInfo_->setChecked(true);
    dbsList_ = new QTreeWidget(panel);
    dbsList_->setObjectName("DBSList");
    dbsList_->setRootIsDecorated(false);
    dbsList_->setColumnCount(2);
    dbsList_->setHeaderLabels({QStringLiteral("Klucz"), QStringLiteral("Wartość")});
    dbsList_->header()->setStretchLastSection(false);
    dbsList_->setColumnWidth(0, Scaled(154));
    dbsList_->setColumnWidth(1, Scaled(154));
    auto button = [panel](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, panel);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* button4 = button("Button4", QStringLiteral("Wczytaj plik DBS"));
    QPushButton* button3 = button("Button3", QStringLiteral("Pomoc"));
    QPushButton* button2 = button("Button2", QStringLiteral("Anuluj"));
    QPushButton* button1 = button("Button1", QStringLiteral("Drukuj"));
    button1->setDefault(true);
    connect(button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(button3, &QPushButton::clicked, this, [] { ApplicationHelp().ShowContext(help::kPrintPreview); });
    connect(button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(button1, &QPushButton::clicked, this, &QDialog::accept);

    auto* side = new QVBoxLayout(panel);
    // Narrow margins: the list's two columns fill the panel's width, and
    // wider margins would hide the values' ends behind a scroll bar.
    side->setContentsMargins(Scaled(6), 0, 0, 0);
    side->addWidget(addDBSInfo_);
    side->addWidget(dbsList_, 1);
    side->addWidget(button4);
    side->addSpacing(Scaled(16));
    side->addWidget(button3);
    auto* decision = new QHBoxLayout;
    decision->addWidget(button2);
    decision->addWidget(button1);
    side->addLayout(decision);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(Scaled(6), Scaled(6), Scaled(6), Scaled(6));
    layout->addWidget(image_, 1);
    layout->addWidget(panel);
    setFixedSize(Scaled(775), Scaled(615));
}

QPushButton* TfmPrintPreview::Button(const char* name) const { return findChild<QPushButton*>(name); }

void TfmPrintPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (record_) RenderPrintPreview(*record_, *image_);
}

std::vector<LocationEntry> TfmPrintPreview::Entries() const {
    std::vector<LocationEntry> out;
    for (int i = 0; i < dbsList_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = dbsList_->topLevelItem(i);
        out.push_back({S(item->text(0)), S(item->text(1))});
    }
    return out;
}

bool TfmPrintPreview::LoadLocationFile(const std::string& path) {
    const std::optional<LocationRecord> record = ReadLocationFile(path);
    if (!record) return false;
    dbsList_->clear();
    for (const LocationEntry& e : LocationEntries(*record, LocaleDecimalSeparator()))
        new QTreeWidgetItem(dbsList_, {Q(e.key), Q(e.value)});  // the list owns its items
    return true;
}

void TfmPrintPreview::Button4Click() {
    QFileDialog dialog(this, QStringLiteral("Odczytaj plik lokalizacji"), Q(seismogramDirectory_));
    dialog.setObjectName("LoadDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("Plik lokalizacji (*.dbs)"));
    if (RunModal(dialog) != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return;
    LoadLocationFile(S(QDir::toNativeSeparators(chosen.first())));
}

// ---- drawing and printing

void RenderPrintPreview(SolutionRecord& record, TPageImage& image) {
    image.SetPicture(RenderPreviewPage(record, SystemReportLocale()));
}

void PrintResult(SolutionRecord& record, const TfmPrintPreview& preview, QPrinter& printer) {
    // A PDF file has no printer resolution of its own; 600 dpi is as fine as
    // paper gets and keeps the sphere's bitmap at a sensible size.
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.resolution() > 600) printer.setResolution(600);
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error(S(QStringLiteral("Nie udało się rozpocząć wydruku na drukarce ") +
                                   (printer.outputFileName().isEmpty() ? printer.printerName()
                                                                       : printer.outputFileName()) +
                                   QStringLiteral(".")));
    const PageGeometry page = PrinterPageGeometry(printer.logicalDpiX(), printer.logicalDpiY(), printer.width(),
                                                  printer.height());
    const std::vector<LocationEntry> entries = preview.Entries();
    const bool withLocation = preview.AddDBSInfo()->isChecked();
    DrawResultPage(painter, record, page,
                   LayOutPage(page, BuildReport(record, SystemReportLocale()), withLocation ? &entries : nullptr));
    painter.end();
}

void PreviewAndPrint(MainWindowLink& main, SolutionRecord& record, QPrinter& printer) {
    TfmPrintPreview preview(&main.Window(), &record, main.Preferences().Directory(kSeismogramDir));
    if (RunModal(preview) == QDialog::Accepted) PrintResult(record, preview, printer);
}

}  // namespace dyma::gui
