// TQuaDirectoryDialog: lets the user choose a folder through the system's
// folder browser.
#pragma once

#include "quactl/quactlexport.h"

#include <QFileDialog>
#include <QPointer>
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

class QUACTL_EXPORT TQuaDirectoryDialog {
public:
    explicit TQuaDirectoryDialog(QWidget* owner = nullptr);
    virtual ~TQuaDirectoryDialog();

    const QString& Directory() const { return directory_; }
    void SetDirectory(const QString& value) { directory_ = value; }
    const QString& Title() const { return title_; }
    void SetTitle(const QString& value) { title_ = value; }
    TQuaDirStyles Style() const { return style_; }
    void SetStyle(TQuaDirStyles value) { style_ = value; }

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
    // The window the browser is modal to: the owner, else the active window.
    QWidget* OwnerWindow() const;

protected:
    // Runs the browser; returns false when it was cancelled. Tests replace
    // it to answer without a modal dialog.
    virtual bool Browse(QWidget* owner, const QString& title, QFileDialog::Options options, QString& chosen);

private:
    QPointer<QWidget> owner_;
    QString directory_ = QStringLiteral(".");
    QString title_ = QStringLiteral("Wybierz folder");
    TQuaDirStyles style_ = DirStyleBit(qdsDirsOnly);
};

}  // namespace quactl
