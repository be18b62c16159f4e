#include "helpsystem.h"

#include "helpviewer.h"
#include "messageboxes.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace dyma::gui {

HelpSystem::HelpSystem() = default;
HelpSystem::~HelpSystem() = default;

void HelpSystem::SetHelpDirectory(const QString& directory) { directory_ = directory; }

QString HelpSystem::PagePath(int context) const {
    return QDir(directory_).filePath(QString::number(context) + QStringLiteral(".html"));
}

bool HelpSystem::ShowContext(int context) {
    lastContext_ = context;
    const QString page = PagePath(context);
    if (!QFileInfo(page).isFile()) {
        ShowWarning(QStringLiteral("Nie znaleziono strony pomocy ") + QDir::toNativeSeparators(page) +
                    QStringLiteral("."));
        return false;
    }
    if (!viewer_) viewer_ = std::make_unique<TfmHelpViewer>();
    // Asked from a modal dialog (the preferences, the print preview), the
    // viewer must be modal itself: any other window is blocked while the
    // dialog runs. Elsewhere it stays beside the program's windows; a page
    // asked from the viewer itself keeps its state.
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal == viewer_.get() ? viewer_->windowModality()
                                      : modal              ? Qt::ApplicationModal
                                                           : Qt::NonModal;
    if (viewer_->windowModality() != wanted) {
        viewer_->hide();  // the modality of a shown window does not change
        viewer_->setWindowModality(wanted);
    }
    viewer_->ShowPage(page);
    return true;
}

}  // namespace dyma::gui
