#include "quactl/quadirectorydialog.h"

#include <QApplication>
#include <QDir>
#include <QPainter>

namespace quactl {

TQuaDirectoryDialog::TQuaDirectoryDialog(QWidget* owner) : QWidget(owner) {
    setVisible(false);
    resize(sizeHint());
}

TQuaDirectoryDialog::~TQuaDirectoryDialog() = default;

unsigned TQuaDirectoryDialog::BrowseFlags() const {
    unsigned flags = 0;
    if (style_ & DirStyleBit(qdsBrowseOnlyComputers)) flags += 0x1000;
    if (style_ & DirStyleBit(qdsBrowseOnlyPrinters)) flags += 0x2000;
    if (style_ & DirStyleBit(qdsLocalhostOnly)) flags += 0x0002;
    if (style_ & DirStyleBit(qdsAncestorsOnly)) flags += 0x0008;
    if (style_ & DirStyleBit(qdsDirsOnly)) flags += 0x0001;
    return flags;
}

QFileDialog::Options TQuaDirectoryDialog::DialogOptions() const {
    // Only "file-system folders only" has a counterpart: without it the
    // dialog also lists the files (it still returns a folder).
    QFileDialog::Options options;
    if (style_ & DirStyleBit(qdsDirsOnly)) options |= QFileDialog::ShowDirsOnly;
    return options;
}

QWidget* TQuaDirectoryDialog::OwnerWindow() const {
    if (QWidget* owner = parentWidget()) return owner->window();
    return QApplication::activeWindow();
}

bool TQuaDirectoryDialog::Browse(QWidget* owner, const QString& title, QFileDialog::Options options, QString& chosen) {
    // No starting folder: the browser opens at the top of the file system
    // tree, as the folder browser opens at the desktop.
    chosen = QFileDialog::getExistingDirectory(owner, title, QString(), options);
    return !chosen.isEmpty();
}

void TQuaDirectoryDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(frame, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawRect(frame);
    // A folder: its tab and its body.
    const int w = width(), h = height();
    painter.setBrush(QColor(240, 200, 80));
    painter.drawRect(w / 5, h / 4, w * 3 / 10, h / 8);
    painter.drawRect(w / 5, h * 3 / 8, w * 3 / 5, h * 2 / 5);
}

bool TQuaDirectoryDialog::Execute() {
    QString chosen;
    if (!Browse(OwnerWindow(), title_, DialogOptions(), chosen)) return false;
    directory_ = QDir::toNativeSeparators(chosen);
    return true;
}

}  // namespace quactl
