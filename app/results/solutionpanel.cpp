#include "solutionpanel.h"

#include "app/document/projectfile.h"
#include "app/results/focalsphererenderer.h"
#include "app/results/sphereimage.h"
#include "app/results/textreport.h"
#include "app/widgets/messageboxes.h"
#include "app/widgets/qtconvert.h"
#include "common/numberformat.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>

namespace dyma::gui {

namespace {

// The Windows faces first; where they are missing, a face of the same
// narrow metrics, so that labels placed by pixel do not run into each other.
QFont PanelFont(const QString& face) {
    QFont f;
    f.setFamilies({face, QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    return f;
}

QFont BoldFont() {
    QFont f = PanelFont(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(12);
    f.setBold(true);
    return f;
}

// φ, δ, λ: the Unicode letters, which every font of the platform has, in
// place of the Latin letters of a symbol font.
QFont GreekFont() {
    QFont f = PanelFont(QStringLiteral("Tahoma"));
    f.setPixelSize(15);
    return f;
}

QFont WindowFont() {
    QFont f = PanelFont(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    return f;
}

// The paint box: draws the record of its view.
class TSphereBox : public QWidget {
public:
    explicit TSphereBox(TSphereView& view) : QWidget(&view), view_(view) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (SolutionRecord* r = view_.Record()) PaintFocalSphere(*r, *this);
    }

private:
    TSphereView& view_;
};

// The file kinds of the save dialog, each with the suffix it adds to a name
// typed without one.
struct ImageFilter {
    const char* filter;
    const char* suffix;
};
constexpr ImageFilter kImageFilters[] = {
    {"Obraz PNG (*.png)", "png"},
    {"Rysunek SVG (*.svg)", "svg"},
    {"Dokument PDF (*.pdf)", "pdf"},
};

// The panel's foot: the sphere's two controls, this far above its bottom.
constexpr int kShadingFromBottom = 56;
constexpr int kSaveImageFromBottom = 30;

}  // namespace

void PaintFocalSphere(SolutionRecord& record, QWidget& paintBox) {
    const QImage picture =
        RenderFocalSphereForScreen(record, paintBox.size(), paintBox.devicePixelRatioF(), SphereStyleFor(record));
    QPainter p(&paintBox);
    p.drawImage(0, 0, picture);
}

TSolutionPanel::TSolutionPanel(int width, CoordinateNames names, QWidget* parent) : QWidget(parent) {
    setObjectName(names == CoordinateNames::XYZ ? "Panel1" : "Panel2");
    setFixedWidth(width);
    SetBackground(*this, QColor(0xF0, 0xF0, 0xF0));
    setFont(WindowFont());
    const bool single = names == CoordinateNames::XYZ;
    coordinate_[0] = single ? "X" : "XX";
    coordinate_[1] = single ? "Y" : "YY";
    coordinate_[2] = single ? "Z" : "ZZ";

    const QFont bold = BoldFont(), greek = GreekFont(), plain = WindowFont();
    AddLabel("Label1", 8, 8, QStringLiteral("Położenie wstrząsu"), bold);
    AddLabel("Label2", 24, 24, QStringLiteral("X = "), plain);
    AddLabel("Label4", 24, 40, QStringLiteral("Y = "), plain);
    AddLabel("Label3", 24, 56, QStringLiteral("Z = "), plain);
    for (int i = 0; i < 3; ++i) AddLabel(coordinate_[i].toLatin1().constData(), 44, 24 + 16 * i, {}, bold);

    AddLabel("Label5", 8, 80, QStringLiteral("Płaszczyzny nodalne:"), bold);
    const QString letters[] = {QStringLiteral("φ"), QStringLiteral("δ"), QStringLiteral("λ")};
    const char* greekA[] = {"Label8", "Label9", "Label10"};
    const char* subA[] = {"Label16", "Label17", "Label18"};
    const char* equalsA[] = {"Label30", "Label29", "Label28"};
    const char* valuesA[] = {"SA", "DA", "RA"};
    const char* greekB[] = {"Label19", "Label20", "Label21"};
    const char* subB[] = {"Label24", "Label23", "Label22"};
    const char* equalsB[] = {"Label25", "Label26", "Label27"};
    const char* valuesB[] = {"SB", "DB", "RB"};
    for (int i = 0; i < 3; ++i) {
        const int row = 16 * i;
        AddLabel(greekA[i], 24, 96 + row, letters[i], greek);
        AddLabel(subA[i], 32, 102 + row, QStringLiteral("a"), plain);
        AddLabel(equalsA[i], 42, 99 + row, QStringLiteral("="), plain);
        AddLabel(valuesA[i], 52, 99 + row, {}, bold);
        AddLabel(greekB[i], 144, 96 + row, letters[i], greek);
        AddLabel(subB[i], 152, 102 + row, QStringLiteral("b"), plain);
        AddLabel(equalsB[i], 162, 99 + row, QStringLiteral("="), plain);
        AddLabel(valuesB[i], 172, 99 + row, {}, bold);
    }

    AddLabel("Label11", 8, 152, QStringLiteral("Osie tensji/kompresji:"), bold);
    AddLabel("Label7", 16, 176, QStringLiteral("Oś P:"), plain);
    AddLabel("Label6", 144, 176, QStringLiteral("Oś T:"), plain);
    AddLabel("Label12", 24, 192, QStringLiteral("Trend = "), plain);
    AddLabel("Label13", 24, 208, QStringLiteral("Upad = "), plain);
    AddLabel("PTrend", 65, 192, {}, bold);
    AddLabel("PPlunge", 63, 208, {}, bold);
    AddLabel("Label14", 152, 192, QStringLiteral("Trend = "), plain);
    AddLabel("Label15", 152, 208, QStringLiteral("Upad = "), plain);
    AddLabel("TTrend", 192, 192, {}, bold);
    AddLabel("TPlunge", 190, 208, {}, bold);

    // The solver's quality figures, shown only for a result that has them.
    AddLabel("LabelQuality", 8, 232, QStringLiteral("Jakość rozwiązania:"), bold)->hide();
    AddLabel("Quality", 136, 232, {}, bold)->hide();
    AddLabel("QualityFigures", 16, 248, {}, plain)->hide();

    shading_ = new QCheckBox(QStringLiteral("Cieniuj ćwiartki kompresji"), this);
    shading_->setObjectName("ShadeCompression");
    shading_->setChecked(SphereShading());
    shading_->adjustSize();
    saveImage_ = new QPushButton(QStringLiteral("Zapisz obraz kuli..."), this);
    saveImage_->setObjectName("SaveSphereImage");
    saveImage_->adjustSize();
}

void TSolutionPanel::Attach(TSphereView& view) {
    connect(shading_, &QCheckBox::toggled, this, [](bool on) { TSphereView::SetShading(on); });
    connect(saveImage_, &QPushButton::clicked, &view, [&view] { view.SaveImage(); });
}

void TSolutionPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    shading_->move(8, height() - kShadingFromBottom);
    saveImage_->move(8, height() - kSaveImageFromBottom);
}

QLabel* TSolutionPanel::AddLabel(const char* name, int left, int top, const QString& text, const QFont& font) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* TSolutionPanel::Value(const QString& name) const {
    return findChild<QLabel*>(name, Qt::FindDirectChildrenOnly);
}

void TSolutionPanel::Fill(const SolutionRecord& r, char sep) {
    auto set = [this](const QString& name, const std::string& text) {
        QLabel* label = Value(name);
        label->setText(Q(text));
        label->adjustSize();
    };
    auto plane = [sep](double value, double error) {
        return FormatFloat("0.0", value, sep) + " ± " + FormatFloat("0.0", error, sep) + " °";
    };
    auto axis = [sep](double value) { return FormatFloat("0.0", value, sep) + " °"; };
    set(coordinate_[0], FormatFloat("0.000", r.X, sep));
    set(coordinate_[1], FormatFloat("0.000", r.Y, sep));
    set(coordinate_[2], FormatFloat("0.000", r.Z, sep));
    set("SA", plane(r.SA, r.SAB));
    set("DA", plane(r.DA, r.DAB));
    set("RA", plane(r.RA, r.RAB));
    set("SB", plane(r.SB, r.SBB));
    // Plane B keeps its dip in RB and its rake in DB: the δ row shows RB,
    // the λ row DB.
    set("DB", plane(r.RB, r.RBB));
    set("RB", plane(r.DB, r.DBB));
    set("PTrend", axis(r.PTrend));
    set("PPlunge", axis(r.PPlunge));
    set("TTrend", axis(r.TTrend));
    set("TPlunge", axis(r.TPlunge));

    const std::optional<SolutionQuality>& q = r.AcceptableSet;
    for (const char* name : {"LabelQuality", "Quality", "QualityFigures"}) Value(name)->setVisible(q.has_value());
    if (!q) return;
    set("Quality", std::string(1, q->quality));
    // Two lines, above the shading box and the image button.
    set("QualityFigures", "Niezgodne: " + std::to_string(q->misfitCount) + " z " + std::to_string(q->polarityCount) +
                              ", szac. błędnych: " + FormatFloat("0.0", 100 * q->errorRate, sep) + " %" +
                              "\nRozkład stacji: " + FormatFloat("0.00", q->stationRatio, sep) + "; luki: " +
                              FormatFloat("0", q->azimuthGap, sep) + "° / " + FormatFloat("0", q->takeOffGap, sep) +
                              "°");
}

TSphereView::TSphereView(QWidget* parent) : QWidget(parent) {
    setObjectName("LeftPanel");
    SetBackground(*this, Qt::white);
    image_ = new TSphereBox(*this);
    image_->setObjectName("Image");
}

void TSphereView::SetRecord(SolutionRecord* record) {
    record_ = record;
    LayOut();
    image_->update();
}

void TSphereView::LayOut() {
    const int side = std::min(width(), height());
    image_->setGeometry(int((width() - side) * 0.5), int((height() - side) * 0.5), side, side);
}

void TSphereView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void TSphereView::SetShading(bool on) {
    SetSphereShading(on);
    // Every view follows, and so does every panel's switch.
    for (QWidget* w : QApplication::allWidgets()) {
        if (auto* view = dynamic_cast<TSphereView*>(w)) view->image_->update();
        if (auto* box = qobject_cast<QCheckBox*>(w); box && box->objectName() == QLatin1String("ShadeCompression")) {
            const QSignalBlocker quiet(box);
            box->setChecked(on);
        }
    }
}

void TSphereView::contextMenuEvent(QContextMenuEvent* event) {
    if (!record_) return;
    QMenu menu(this);
    QAction* shade = menu.addAction(QStringLiteral("Cieniuj ćwiartki kompresji"));
    shade->setCheckable(true);
    shade->setChecked(SphereShading());
    QAction* save = menu.addAction(QStringLiteral("Zapisz obraz kuli..."));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == shade) SetShading(shade->isChecked());
    if (chosen == save) SaveImage();
}

void TSphereView::SaveImage() {
    if (!record_) return;
    QFileDialog dialog(window(), QStringLiteral("Zapisywanie obrazu kuli ogniskowej"), imageDirectory_);
    dialog.setObjectName("SphereImageDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const ImageFilter& f : kImageFilters) filters << QString::fromUtf8(f.filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromLatin1(kImageFilters[0].suffix));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& filter) {
        const qsizetype i = filters.indexOf(filter);
        if (i >= 0) dialog.setDefaultSuffix(QString::fromLatin1(kImageFilters[i].suffix));
    });
    if (RunModal(dialog) != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty() || !record_) return;
    const std::string fileName = S(QDir::toNativeSeparators(chosen.first()));
    const std::optional<SphereImageFormat> format = SphereImageFormatOf(fileName);
    if (!format) {
        ShowWarning(QStringLiteral("Obraz kuli można zapisać tylko jako PNG, SVG albo PDF: ") + Q(fileName));
        return;
    }
    try {
        WriteSphereImage(*record_, fileName, *format, kDefaultSphereImageSize, SphereStyleFor(*record_));
    } catch (const std::exception&) {
        Messages().Warning(SaveFailedMessage(fileName));
        return;
    }
    Messages().Information(ReportSavedMessage(fileName));
}

}  // namespace dyma::gui
