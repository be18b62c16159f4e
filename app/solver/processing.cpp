#include "processing.h"

#include "app/widgets/icons.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>

namespace dyma::gui {

TfmProcessing::TfmProcessing(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("fmProcessing");
    setModal(false);
    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setPixmap(QPixmap::fromImage(BeachBallImage(48)));
    text_ = new QLabel(this);
    text_->setObjectName("Label1");
    text_->setAlignment(Qt::AlignCenter);
    text_->setMinimumWidth(320);
    text_->setWordWrap(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(text_, 1);
    setFixedSize(440, 90);
}

void TfmProcessing::ShowProcessing(const QString& text, const QString& caption) {
    QCoreApplication::processEvents();
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Przetwarzanie") : caption);
    text_->setText(text);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    QCoreApplication::processEvents();
}

void TfmProcessing::SetProcessingText(const QString& text) {
    QCoreApplication::processEvents();
    text_->setText(text);
    QCoreApplication::processEvents();
}

void TfmProcessing::HideProcessing() {
    QCoreApplication::processEvents();
    hide();
    QCoreApplication::processEvents();
}

QString TfmProcessing::Text() const { return text_->text(); }

}  // namespace dyma::gui
