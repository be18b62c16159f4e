#include "helpsystem.h"

#include "helpviewer.h"
#include "messageboxes.h"

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
    viewer_->ShowPage(page);
    return true;
}

}  // namespace dyma::gui
