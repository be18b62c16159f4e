#include "modalformimport.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dyma::gui {

namespace {

QLabel* Explanation(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    // Under its radio button, indented like the button's caption.
    label->setContentsMargins(22, 0, 0, 8);
    return label;
}

}  // namespace

TfmImport::TfmImport(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName("fmImport");
    setWindowTitle(QStringLiteral("Importowanie"));

    auto* heading = new QLabel(QStringLiteral("Pliki źródłowe do importowania:"), this);
    heading->setObjectName("Label1");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    datRes_ = new QRadioButton(QStringLiteral("Plik *.DAT i *.RES programu Dyma"), this);
    datRes_->setObjectName("RadioButton1");
    datNet_ = new QRadioButton(QStringLiteral("Plik *.DAT i *.NET programu Dyma"), this);
    datNet_->setObjectName("RadioButton2");
    datNet_->setChecked(true);

    QLabel* resText = Explanation(
        QStringLiteral("Po wybraniu tej opcji koniecznie będzie podanie ścieżek dostępu do plików DAT i RES programu "
                       "DYMA pochodzących z przetwarzania tego samego sygnału sejsmicznego."),
        this);
    resText->setObjectName("Label2");
    QLabel* netText = Explanation(
        QStringLiteral("Po wybraniu tej opcji koniecznie będzie podanie ścieżek dostępu do pliku DAT pochodzącego z "
                       "przetwarzania sygnału sejsmicznego. Konieczne będzie też podanie pliku NET konfiguracji sieci "
                       "sejsmometrycznej."),
        this);
    netText->setObjectName("Label3");

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* proceed = buttons->addButton(QStringLiteral("Kontynuuj"), QDialogButtonBox::AcceptRole);
    proceed->setObjectName("Button1");
    proceed->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole);
    cancel->setObjectName("Button2");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addSpacing(6);
    layout->addWidget(datRes_);
    layout->addWidget(resText);
    layout->addWidget(datNet_);
    layout->addWidget(netText);
    layout->addStretch(1);
    layout->addWidget(buttons);
    // The explanations wrap: the height follows from the width.
    const int width = 460;
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : sizeHint().height();
    setFixedSize(width, height);
}

TfmImport::Choice TfmImport::Selected() const { return datRes_->isChecked() ? Choice::DatAndRes : Choice::DatAndNet; }

void TfmImport::Select(Choice choice) { (choice == Choice::DatAndRes ? datRes_ : datNet_)->setChecked(true); }

}  // namespace dyma::gui
