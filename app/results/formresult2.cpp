#include "formresult2.h"

#include "app/results/solutionpanel.h"
#include "app/widgets/helpsystem.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>

namespace dyma::gui {

TfmResult2::TfmResult2(QWidget* parent) : QWidget(parent) {
    setObjectName("fmResult2");
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    setFocusPolicy(Qt::StrongFocus);
    left_ = new TSphereView(this);
    panel_ = new TSolutionPanel(277, TSolutionPanel::CoordinateNames::XYZ, this);
    panel_->Attach(*left_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(left_, 1);
    layout->addWidget(panel_);
    resize(sizeHint());
}

TfmResult2::~TfmResult2() = default;

void TfmResult2::SetSolution(std::unique_ptr<SolutionRecord> record, char decimalSeparator) {
    record_ = std::move(record);
    if (record_) panel_->Fill(*record_, decimalSeparator);
    left_->SetRecord(record_.get());
}

void TfmResult2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The outer window (the MDI frame around this one, when there is one)
    // never gets smaller than 600 x 340.
    QWidget* outer = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    outer->setMinimumSize(kResultMinimumSize);
    if (record_) left_->LayOut();
}

bool TfmResult2::event(QEvent* event) {
    // F1 is this window's help, not the main window's shortcut.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void TfmResult2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        ApplicationHelp().ShowContext(help::kSolution);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfmResult2::closeEvent(QCloseEvent* event) {
    left_->SetRecord(nullptr);
    record_.reset();
    QWidget::closeEvent(event);
}

}  // namespace dyma::gui
