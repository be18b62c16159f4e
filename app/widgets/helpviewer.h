// The help viewer: a window with the help page, links between the pages and
// the usual back / forward / contents buttons.
#pragma once

#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace dyma::gui {

class TfmHelpViewer : public QWidget {
public:
    TfmHelpViewer();

    // Shows the page at `path` (a local HTML file) and brings the window up.
    void ShowPage(const QString& path);
    QString CurrentPage() const;
    QTextBrowser* Browser() const { return browser_; }

private:
    void UpdateCaption();

    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* forward_;
    QString contentsPage_;
};

}  // namespace dyma::gui
