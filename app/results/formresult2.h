// TfmResult2, the result window: an MDI child with the focal sphere on the
// left and the numeric solution on the right. The processing command and
// the legacy import open one for each new solution; the window owns its
// record and frees it when it closes.
#pragma once

#include "app/document/tremordocument.h"

#include <QWidget>

#include <memory>

namespace dyma::gui {

class TSolutionPanel;
class TSphereView;

inline constexpr QSize kResultMinimumSize{600, 340};

class TfmResult2 : public QWidget {
public:
    explicit TfmResult2(QWidget* parent = nullptr);
    ~TfmResult2() override;

    // Takes the record over and fills the value labels from it.
    void SetSolution(std::unique_ptr<SolutionRecord> record, char decimalSeparator);
    SolutionRecord* Record() const { return record_.get(); }

    TSphereView& LeftPanel() const { return *left_; }
    TSolutionPanel& Panel1() const { return *panel_; }

    QSize sizeHint() const override { return {686, 418}; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<SolutionRecord> record_;
    TSphereView* left_;
    TSolutionPanel* panel_;
};

}  // namespace dyma::gui
