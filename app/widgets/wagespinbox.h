// The weight edit with its up-down: a spin box that tells its owner before
// every step of the arrows or keys, the way the up-down's "changing" event
// does, and then steps.
#pragma once

#include <QKeyEvent>
#include <QSpinBox>

#include <functional>

namespace dyma::gui {

class TWageSpinBox : public QSpinBox {
public:
    explicit TWageSpinBox(QWidget* parent = nullptr) : QSpinBox(parent) {
        setRange(10, 100);
        setSingleStep(10);
        setValue(10);
    }
    std::function<void()> BeforeStep;

    void stepBy(int steps) override {
        if (BeforeStep) BeforeStep();
        QSpinBox::stepBy(steps);
    }

protected:
    // With the focus here the arrow keys step the weight; they are not the
    // main window's stretch and shrink shortcuts.
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(e);
            if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && key->modifiers() == Qt::NoModifier) {
                e->accept();
                return true;
            }
        }
        return QSpinBox::event(e);
    }
};

}  // namespace dyma::gui
