// A colour panel: a flat panel painted in the colour it holds, with its
// caption in the inverted colour (colour XOR 0xFFFFFF) so that it can be
// read on any colour. A click asks the owner to choose a new colour.
#pragma once

#include "app/document/tremordocument.h"

#include <QFrame>

#include <functional>

namespace dyma::gui {

class TColourPanel : public QFrame {
public:
    explicit TColourPanel(const QString& caption, QWidget* parent = nullptr);

    Colour Value() const { return value_; }
    void SetValue(Colour value);
    QString Caption() const { return caption_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    std::function<void()> Clicked;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString caption_;
    Colour value_ = 0;
};

}  // namespace dyma::gui
