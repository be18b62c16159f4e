// The processing box: a small window that tells the operator what the
// program is busy with (a signal being read, the solver running, temporary
// files being removed). It is not modal; each operation lets pending events
// run before and after, so the box is drawn at once.
#pragma once

#include <QDialog>

class QLabel;

namespace dyma::gui {

class TfmProcessing : public QDialog {
public:
    explicit TfmProcessing(QWidget* parent = nullptr);

    // An empty caption becomes "Przetwarzanie".
    void ShowProcessing(const QString& text, const QString& caption = {});
    void SetProcessingText(const QString& text);
    void HideProcessing();

    QString Text() const;

private:
    QLabel* text_;
};

}  // namespace dyma::gui
