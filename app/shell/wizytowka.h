// The about box ("O programie").
#pragma once

#include <QDialog>

class QLabel;

namespace dyma::gui {

class TfmWizytowka : public QDialog {
public:
    explicit TfmWizytowka(QWidget* parent = nullptr);
    QLabel* ShortName() const { return shortName_; }
    QLabel* Version() const { return version_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* shortName_;
    QLabel* version_;
};

}  // namespace dyma::gui
