// The import dialog: which files of the older DYMA program to show a result
// from, a pick file with its result file or a pick file with the network
// file (the solver then runs on them).
#pragma once

#include <QDialog>

class QRadioButton;

namespace dyma::gui {

class TfmImport : public QDialog {
public:
    enum class Choice { DatAndRes, DatAndNet };

    explicit TfmImport(QWidget* parent = nullptr);

    Choice Selected() const;
    void Select(Choice choice);
    QRadioButton* DatAndResButton() const { return datRes_; }
    QRadioButton* DatAndNetButton() const { return datNet_; }

private:
    QRadioButton* datRes_;
    QRadioButton* datNet_;
};

}  // namespace dyma::gui
