#include "helpviewer.h"

#include "common/product.h"
#include "helpsystem.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace dyma::gui {

TfmHelpViewer::TfmHelpViewer() : QWidget(nullptr, Qt::Window) {
    setObjectName("fmHelpViewer");
    resize(780, 620);
    // A window beside the program, not one that keeps it running: the
    // program ends when its main window closes.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* contents = new QToolButton(this);
    contents->setText(QStringLiteral("Spis treści"));
    back_ = new QToolButton(this);
    back_->setText(QStringLiteral("Wstecz"));
    back_->setEnabled(false);
    forward_ = new QToolButton(this);
    forward_->setText(QStringLiteral("Dalej"));
    forward_->setEnabled(false);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    // Links to other help pages stay here; web addresses go to the desktop.
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);

    connect(contents, &QToolButton::clicked, this, [] { ApplicationHelp().ShowContext(help::kContents); });
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] { UpdateCaption(); });
}

void TfmHelpViewer::ShowPage(const QString& path) {
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (browser_->source() == url) browser_->reload();
    else browser_->setSource(url);
    UpdateCaption();
    show();
    raise();
    activateWindow();
}

QString TfmHelpViewer::CurrentPage() const { return browser_->source().toLocalFile(); }

void TfmHelpViewer::UpdateCaption() {
    const QString title = browser_->documentTitle();
    const QString product = QString::fromUtf8(kProductDisplay);
    setWindowTitle(title.isEmpty() ? QStringLiteral("Pomoc - ") + product
                                   : QStringLiteral("Pomoc - ") + product + QStringLiteral(": ") + title);
}

}  // namespace dyma::gui
