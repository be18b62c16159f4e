// The two halves of every solution view: the panel with the numeric
// solution (heading, coordinates, both nodal planes with their errors, the
// P and T axes) and the white panel with the square, centred focal sphere.
// The result window uses both; so does the seismogram window's page
// "Rozwiązanie" (with a wider panel and the coordinate labels XX, YY, ZZ).
#pragma once

#include "app/document/tremordocument.h"

#include <QWidget>

class QLabel;

namespace dyma::gui {

class TSolutionPanel : public QWidget {
public:
    enum class CoordinateNames { XYZ, XXYYZZ };
    TSolutionPanel(int width, CoordinateNames names, QWidget* parent = nullptr);

    // The value labels in the formats of the solution: coordinates "0.000",
    // plane values "0.0 ± 0.0 °", axes "0.0 °".
    void Fill(const SolutionRecord& record, char decimalSeparator);
    // A value label by name ("X" or "XX", "SA", "DB", "PTrend" ...).
    QLabel* Value(const QString& name) const;

private:
    QLabel* AddLabel(const char* name, int left, int top, const QString& text, const QFont& font);
    QString coordinate_[3];
};

// The white panel `LeftPanel` with the paint box `Image`, kept square and
// centred; draws the record it is given (not owned).
class TSphereView : public QWidget {
public:
    explicit TSphereView(QWidget* parent = nullptr);
    void SetRecord(SolutionRecord* record);
    SolutionRecord* Record() const { return record_; }
    QWidget* Image() const { return image_; }
    // The square layout of the paint box for the panel's current size.
    void LayOut();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* image_;
    SolutionRecord* record_ = nullptr;
};

}  // namespace dyma::gui
