// The two halves of every solution view: the panel with the numeric
// solution (heading, coordinates, both nodal planes with their errors, the
// P and T axes) and the white panel with the square, centred focal sphere.
// The result window uses both; so does the seismogram window's page
// "Rozwiązanie" (with a wider panel and the coordinate labels XX, YY, ZZ).
#pragma once

#include "app/document/tremordocument.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace dyma::gui {

class TSphereView;

class TSolutionPanel : public QWidget {
public:
    enum class CoordinateNames { XYZ, XXYYZZ };
    TSolutionPanel(int width, CoordinateNames names, QWidget* parent = nullptr);

    // The value labels in the formats of the solution: coordinates "0.000",
    // plane values "0.0 ± 0.0 °", axes "0.0 °".
    void Fill(const SolutionRecord& record, char decimalSeparator);
    // A value label by name ("X" or "XX", "SA", "DB", "PTrend" ...).
    QLabel* Value(const QString& name) const;

    // The sphere's controls at the panel's foot: the shading switch and the
    // image export, acting on `view`.
    void Attach(TSphereView& view);
    QCheckBox& ShadingBox() const { return *shading_; }
    QPushButton& SaveImageButton() const { return *saveImage_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* AddLabel(const char* name, int left, int top, const QString& text, const QFont& font);
    QString coordinate_[3];
    QCheckBox* shading_ = nullptr;
    QPushButton* saveImage_ = nullptr;
};

// Renders for the paint box's current size and screen, in the style of
// every view of a stored solution (SphereStyleFor), and draws the image at
// (0, 0); the paint handler of every focal-sphere paint box (call it from
// paintEvent).
void PaintFocalSphere(SolutionRecord& record, QWidget& paintBox);

// The white panel `LeftPanel` with the paint box `Image`, kept square and
// centred; draws the record it is given (not owned). Its context menu
// switches the shading and saves the picture as an image.
class TSphereView : public QWidget {
public:
    explicit TSphereView(QWidget* parent = nullptr);
    void SetRecord(SolutionRecord* record);
    SolutionRecord* Record() const { return record_; }
    QWidget* Image() const { return image_; }
    // The square layout of the paint box for the panel's current size.
    void LayOut();

    // Where the save dialog opens.
    void SetImageDirectory(const QString& directory) { imageDirectory_ = directory; }
    // The operator's shading choice for every view (and the printout); the
    // views repaint.
    static void SetShading(bool on);
    // Asks for a file (PNG, SVG or PDF) and writes the picture there; says
    // how it went.
    void SaveImage();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QWidget* image_;
    SolutionRecord* record_ = nullptr;
    QString imageDirectory_;
};

}  // namespace dyma::gui
