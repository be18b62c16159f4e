// TQuaDirectoryDialog: lets the user choose a folder through the system's
// folder browser.
#pragma once

#include "quactl/quactlexport.h"

#include <QFileDialog>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace quactl {

enum TQuaDirStyle : std::uint8_t {
    qdsBrowseOnlyComputers,
    qdsBrowseOnlyPrinters,
    qdsLocalhostOnly,
    qdsAncestorsOnly,
    qdsDirsOnly
};

// A set of TQuaDirStyle values, one bit each.
using TQuaDirStyles = unsigned;
constexpr TQuaDirStyles DirStyleBit(TQuaDirStyle s) { return 1u << s; }

// A component without a picture of its own. It is a widget only so that a
// form can hold it (Qt Designer places it as a small marker): it hides
// itself when created, so a form shown at run time never shows it.
class QUACTL_EXPORT TQuaDirectoryDialog : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Directory READ Directory WRITE setDirectory)
    Q_PROPERTY(QString Title READ Title WRITE setTitle)
    Q_PROPERTY(StyleFlags Style READ styleFlags WRITE setStyle)

public:
    // The style set as Qt flags, bit for bit the TQuaDirStyles set.
    enum StyleFlag : unsigned {
        BrowseOnlyComputers = 1u << qdsBrowseOnlyComputers,
        BrowseOnlyPrinters = 1u << qdsBrowseOnlyPrinters,
        LocalhostOnly = 1u << qdsLocalhostOnly,
        AncestorsOnly = 1u << qdsAncestorsOnly,
        DirsOnly = 1u << qdsDirsOnly
    };
    Q_DECLARE_FLAGS(StyleFlags, StyleFlag)
    Q_FLAG(StyleFlags)

    explicit TQuaDirectoryDialog(QWidget* owner = nullptr);
    ~TQuaDirectoryDialog() override;

    const QString& Directory() const { return directory_; }
    void SetDirectory(const QString& value) { directory_ = value; }
    const QString& Title() const { return title_; }
    void SetTitle(const QString& value) { title_ = value; }
    TQuaDirStyles Style() const { return style_; }
    void SetStyle(TQuaDirStyles value) { style_ = value; }

    // The Qt properties' setters, as form code calls them.
    void setDirectory(const QString& value) { SetDirectory(value); }
    void setTitle(const QString& value) { SetTitle(value); }
    StyleFlags styleFlags() const { return StyleFlags(style_); }
    void setStyle(StyleFlags value) { SetStyle(value.toInt()); }
    using QWidget::setStyle;

    // Shows the folder browser; true and the chosen folder in Directory when
    // the user picks one, false with Directory unchanged when cancelled.
    bool Execute();

    // The classic browse flags of the style set (computers 0x1000, printers
    // 0x2000, no-domain 0x0002, ancestors 0x0008, directories 0x0001).
    unsigned BrowseFlags() const;
    // What Qt's folder dialog can honour of the style set: qdsDirsOnly lists
    // folders only; the computer, printer, domain and ancestor restrictions
    // of the classic browser have no equivalent.
    QFileDialog::Options DialogOptions() const;
    // The window the browser is modal to: the owner's, else the active window.
    QWidget* OwnerWindow() const;

    QSize sizeHint() const override { return QSize(28, 28); }

protected:
    // Runs the browser; returns false when it was cancelled. Tests replace
    // it to answer without a modal dialog.
    virtual bool Browse(QWidget* owner, const QString& title, QFileDialog::Options options, QString& chosen);

    // Only Qt Designer ever shows it: a folder marker.
    void paintEvent(QPaintEvent* event) override;

private:
    QString directory_ = QStringLiteral(".");
    QString title_ = QStringLiteral("Wybierz folder");
    TQuaDirStyles style_ = DirStyleBit(qdsDirsOnly);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TQuaDirectoryDialog::StyleFlags)

}  // namespace quactl
