#include "wizytowka.h"

#include "common/product.h"
#include "icons.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace dyma::gui {

TfmWizytowka::TfmWizytowka(QWidget* parent) : QDialog(parent) {
    setObjectName("fmWizytowka");
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto* image1 = new QLabel(this);
    image1->setObjectName("Image1");
    image1->setPixmap(QPixmap::fromImage(BeachBallImage(96)));
    auto* image2 = new QLabel(this);
    image2->setObjectName("Image2");
    image2->setPixmap(QPixmap::fromImage(SeismogramTraceImage(360, 70)));

    shortName_ = new QLabel(this);
    shortName_->setObjectName("Label1");
    QFont big(QStringLiteral("Arial"));
    big.setPixelSize(30);
    big.setBold(true);
    shortName_->setFont(big);
    shortName_->setText(QString::fromUtf8(kShortName));

    auto* versionCaption = new QLabel(QStringLiteral("Wersja"), this);
    version_ = new QLabel(this);
    version_->setObjectName("Version");

    auto* about = new QLabel(this);
    about->setWordWrap(true);
    about->setText(QStringLiteral(
        "Wyznaczanie mechanizmu ogniska wstrząsu górniczego z polaryzacji pierwszych wejść fali "
        "bezpośredniej i fal pokładowych, zarejestrowanych przez sieci sejsmologiczne LGOM.\n\n"
        "Quarnet"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(image1, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(shortName_, 0, 1, 1, 2);
    layout->addWidget(versionCaption, 1, 1);
    layout->addWidget(version_, 1, 2);
    layout->addWidget(about, 2, 1, 1, 2);
    layout->addWidget(image2, 3, 0, 1, 3, Qt::AlignHCenter);
    layout->addWidget(buttons, 4, 0, 1, 3);
    layout->setColumnStretch(2, 1);
    setFixedWidth(440);
}

void TfmWizytowka::showEvent(QShowEvent* event) {
    version_->setText(QString::fromUtf8(kVersionString));
    setWindowTitle(QString::fromUtf8(kProductDisplay) + QStringLiteral(" - Informacje o programie"));
    QDialog::showEvent(event);
}

}  // namespace dyma::gui
