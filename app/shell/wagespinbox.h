// The weight edit with its up-down: a spin box that tells its owner before
// every step of the arrows or keys, the way the up-down's "changing" event
// does, and then steps.
#pragma once

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
};

}  // namespace dyma::gui
