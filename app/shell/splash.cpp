#include "splash.h"

#include "app/widgets/icons.h"
#include "app/widgets/qtconvert.h"
#include "common/product.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace dyma::gui {

namespace {

QImage SplashPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(width - 190, 30, 160, 160), BeachBallImage(160));
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(54);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(20, 40, 110));
    p.drawText(QRect(30, 40, 300, 70), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(kShortName));
    QFont text(QStringLiteral("Arial"));
    text.setPixelSize(16);
    p.setFont(text);
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRect(32, 112, 280, 80), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Mechanizm ogniska wstrząsu górniczego z polaryzacji pierwszych wejść fal"));
    p.drawImage(QRect(20, 220, width - 40, 110), SeismogramTraceImage(width - 40, 110));
    p.setPen(QColor(150, 150, 150));
    p.drawLine(20, height - 40, width - 20, height - 40);
    return image;
}

}  // namespace

TfmSplash::TfmSplash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("fmSplash");
    setWindowTitle(QString::fromUtf8(kProductDisplay));
    setFixedSize(500, 400);
    SetBackground(*this, Qt::white);

    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    image->setGeometry(rect());
    image->setScaledContents(true);
    image->setPixmap(QPixmap::fromImage(SplashPicture(500, 400)));

    version_ = new QLabel(this);
    version_->setObjectName("Version");
    version_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    version_->setGeometry(250, 365, 230, 22);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    version_->setFont(font);
    version_->setText(QStringLiteral("Wersja ") + QString::fromUtf8(kVersionString));

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void ShowSplashScreen(std::chrono::milliseconds wait) {
    TfmSplash splash;
    splash.show();
    QCoreApplication::processEvents();
    QEventLoop loop;
    QTimer::singleShot(wait, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    splash.close();
    QCoreApplication::processEvents();
}

}  // namespace dyma::gui
