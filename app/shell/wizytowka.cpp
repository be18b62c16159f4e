#include "wizytowka.h"

#include "app/widgets/icons.h"
#include "app/widgets/qtconvert.h"
#include "common/product.h"

#include <QDialogButtonBox>
#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace dyma::gui {

TfmWizytowka::TfmWizytowka(QWidget* parent) : QDialog(parent) {
    setObjectName("fmWizytowka");
    SetBackground(*this, Qt::white);

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
    about->setObjectName("Label3");

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    about->setFixedWidth(300);

    auto* version = new QHBoxLayout;
    version->addWidget(versionCaption);
    version->addWidget(version_);
    version->addStretch(1);
    auto* texts = new QVBoxLayout;
    texts->addWidget(shortName_);
    texts->addLayout(version);
    texts->addSpacing(8);
    texts->addWidget(about);
    texts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(image1, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(image2, 0, Qt::AlignHCenter);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfmWizytowka::showEvent(QShowEvent* event) {
    version_->setText(QString::fromUtf8(kVersionString));
    setWindowTitle(QString::fromUtf8(kProductDisplay) + QStringLiteral(" - Informacje o programie"));
    QDialog::showEvent(event);
}

}  // namespace dyma::gui
