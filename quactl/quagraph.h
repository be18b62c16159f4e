// TQuaGraph: a light two-dimensional plot with a left (Y) and a bottom (X)
// axis, an optional title, an owned list of series and an X-range selection
// shown as an inverted band between two markers.
//
// Everything is drawn into off-screen images: the series into a 24-bit plot
// bitmap, the axes into their strips, all of them into the back buffer, which
// is copied in one step onto the control's own surface (the image the widget
// shows). The selection band and the XOR cursor line are drawn onto that
// surface with raster operations, so drawing them twice erases them and
// dragging needs no repaint. A rebuild happens only when something changed.
//
// Units: control pixels are the widget's logical pixels, counted from its
// top-left corner (mouse positions, PlotLeft ...); plot pixels are offsets
// from the plot area's top-left corner (TransferX, InvertTransformX); data
// values are in the axes' units. The images hold PixelRatio() device pixels
// per logical pixel each way, so a finer screen gets a sharper picture with
// the same layout.
#pragma once

#include "quactl/quaaxis.h"
#include "quactl/quacanvas.h"
#include "quactl/quagraphseries.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace quactl {

class TQuaGraph;

using TAxisLabelEvent = std::function<void(TQuaGraph* sender, double value, QString& label)>;
using TMouseMoveEvent = std::function<void(TQuaGraph* sender, TShiftState shift, int x, int y)>;
using TMouseEvent = std::function<void(TQuaGraph* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TNotifyEvent = std::function<void(TQuaGraph* sender)>;

class QUACTL_EXPORT TQuaGraph : public QWidget {
public:
    explicit TQuaGraph(QWidget* parent = nullptr);
    ~TQuaGraph() override;

    // ---- properties
    bool Selected() const { return selected_; }
    bool Dragging() const { return dragging_; }
    // The selection's ends, data values of the bottom axis (held to its range).
    double MarkerStart() const { return markerStart_; }
    void SetMarkerStart(double x);
    double MarkerEnd() const { return markerEnd_; }
    void SetMarkerEnd(double x);
    // Margins in percent of the control's width (left, right) or height.
    int MarginLeft() const { return marginLeft_; }
    void SetMarginLeft(int value);
    int MarginRight() const { return marginRight_; }
    void SetMarginRight(int value);
    int MarginTop() const { return marginTop_; }
    void SetMarginTop(int value);
    int MarginBottom() const { return marginBottom_; }
    void SetMarginBottom(int value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TColor GraphColor() const { return graphColor_; }
    void SetGraphColor(TColor value);
    TQuaAxis& AxisLeft() { return axisLeft_; }
    TQuaAxis& AxisBottom() { return axisBottom_; }
    const TQuaAxis& AxisLeft() const { return axisLeft_; }
    const TQuaAxis& AxisBottom() const { return axisBottom_; }
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    TQuaFont& TitleFont() { return titleFont_; }
    void SetTitleFont(const TQuaFont& font) { titleFont_.Assign(font); }
    const QString& Title() const { return title_; }
    void SetTitle(const QString& title);

    // ---- events
    TAxisLabelEvent OnAxisLeftLabel;
    TAxisLabelEvent OnAxisBottomLabel;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;

    // ---- updates
    void BeginUpdate() { updating_ = true; }
    void EndUpdate();
    bool Updating() const { return updating_; }
    // Schedules a rebuild of the picture and a repaint.
    void Invalidate();
    void Change() { Invalidate(); }

    // ---- series (the graph owns them)
    // Takes the series and returns it, or destroys it and returns null when
    // it has no points.
    template <class S>
    S* AddSeries(std::unique_ptr<S> series) {
        S* raw = series.get();
        return AddOwnedSeries(std::move(series)) ? raw : nullptr;
    }
    int RemoveSeries(const QString& name);
    void RemoveAllSeries();
    TQuaGraphSeries* FindSeries(const QString& name) const;
    // Hands the first series of that name back to the caller.
    std::unique_ptr<TQuaGraphSeries> RemoveSeriesPointer(const QString& name);
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    TQuaGraphSeries* Series(int i) const { return series_.at(static_cast<std::size_t>(i)).get(); }

    // ---- coordinates: data values <-> plot pixels of the last layout
    // (valid after a paint or UpdateLayout), linear whatever the axes' modes
    // (the series honour those).
    TQuaTransform PlotMapping() const;
    int TransferX(double x) const { return PlotMapping().X(x); }
    int TransferY(double y) const { return PlotMapping().Y(y); }
    double InvertTransformX(int px) const { return PlotMapping().InvertX(px); }
    double InvertTransformY(int py) const { return PlotMapping().InvertY(py); }
    // Sizes of the axis strips in control pixels. With round ticks the left
    // strip is as wide as the labels the current size and range bring.
    int CalculateAxisLeftWidth();
    int CalculateAxisBottomHeight() const;
    void RecalculateXAxis();
    void RecalculateYAxis();
    // Lays out the plot area and the axis strips for the control's size, as
    // every paint does first; false when there is no room for the plot.
    bool UpdateLayout();
    // The ticks the next paint draws (offsets in plot pixels); valid after a
    // paint or UpdateLayout.
    std::vector<TQuaAxisTick> LeftAxisTicks();
    std::vector<TQuaAxisTick> BottomAxisTicks();

    // ---- drawing
    // Rebuilds the whole picture now (nothing while updating or when the
    // margins and axis strips leave no room for the plot).
    virtual void Paint();
    void PrepareLeftAxis(TQuaBitmap& bitmap);
    void PrepareBottomAxis(TQuaBitmap& bitmap);
    void RedrawSeries(TQuaBitmap& bitmap);
    // Updates the inverted selection band on the control's surface.
    void DrawBox();
    // The XOR cursor line: erases the one drawn before (a repaint keeps it
    // where it was) and draws one at MouseX from PlotTop to PlotBottom, with
    // the pen the caller has set on Canvas().
    void DrawLine();
    // The control's surface, as the widget shows it.
    TQuaCanvas& Canvas() { return screen_.Canvas(); }
    // The pictures, in device pixels (their devicePixelRatio() says how many
    // per control pixel); valid after a paint.
    const QImage& ControlImage() { return screen_.Image(); }
    const QImage& PlotImage() { return plot_.Image(); }
    // Device pixels per control pixel of the pictures: the screen's, unless
    // one is set (0 follows the screen again).
    double PixelRatio() const;
    void SetPixelRatio(double ratio);

    // ---- selection (data values of the bottom axis)
    void Select(double x1, double x2);
    void RemoveSelection();

    // ---- mouse (control pixels)
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void CMMouseEnter() { mouseInControl_ = true; }
    void CMMouseLeave() { mouseInControl_ = mouseInPlot_ = false; }

    // ---- run-time state: the plot area and the strips in control pixels,
    // valid after a paint or UpdateLayout (0 before)
    double PlotWidth() const { return plotWidth_; }
    double PlotHeight() const { return plotHeight_; }
    double PlotTop() const { return plotTop_; }
    double PlotLeft() const { return plotLeft_; }
    double PlotBottom() const { return plotBottom_; }
    double PlotRight() const { return plotRight_; }
    double DrawnMarkerEnd() const { return drawnMarkerEnd_; }  // data value
    bool OverMarkerEdge() const { return overMarkerEdge_; }
    bool MouseInControl() const { return mouseInControl_; }
    bool MouseInPlot() const { return mouseInPlot_; }
    // Mouse positions in control pixels, -1 until the mouse was over the plot.
    int PreviousMouseX() const { return previousMouseX_; }
    int PreviousMouseY() const { return previousMouseY_; }
    int MouseX() const { return mouseX_; }
    int MouseY() const { return mouseY_; }
    int AxisLeftWidth() const { return axisLeftWidth_; }
    int AxisBottomHeight() const { return axisBottomHeight_; }
    // The mouse position in data values, from the last move over the control.
    double MouseValueX() const { return mouseValueX_; }
    double MouseValueY() const { return mouseValueY_; }

    QSize sizeHint() const override { return QSize(200, 150); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // A cursor line as it stands on the surface: where, and with which pen.
    struct CursorLine {
        bool Shown = false;
        int X = 0, Top = 0, Bottom = 0;
        TQuaPen Pen;
    };

    bool AddOwnedSeries(std::unique_ptr<TQuaGraphSeries> series);
    bool Rebuild();
    int TitleHeight() const;
    TQuaLabelRewrite LabelRewrite(const TAxisLabelEvent& event);
    void InvertBand(TQuaCanvas& canvas, double from, double to);
    void XorCursor(const CursorLine& line);
    // The axes' grid lines (where switched on) into the plot bitmap, at the
    // ticks of the last PrepareLeftAxis / PrepareBottomAxis.
    void DrawGrids(TQuaBitmap& plot);
    void RecalculateAxis(TQuaAxis& axis, bool horizontal);
    bool InsideForPress(int x, int y) const;
    bool InsideForMove(int x, int y) const;
    bool NearMarker(double marker, int x) const;
    void SetMargin(int& margin, int value, int opposite);

    bool selected_ = false;
    bool dragging_ = false;
    double markerStart_ = 0, markerEnd_ = 0;
    int marginLeft_ = 2, marginRight_ = 2, marginTop_ = 2, marginBottom_ = 2;
    TColor color_ = clWhite;
    TColor graphColor_ = clWhite;
    TQuaAxis axisLeft_, axisBottom_;
    QPointer<QMenu> popupMenu_;
    TQuaFont titleFont_;
    QString title_;

    bool updating_ = false;
    bool dirty_ = true;
    TQuaBitmap plot_{QImage::Format_RGB888};
    TQuaBitmap back_{QImage::Format_RGB32};
    TQuaBitmap axisLeftBitmap_{QImage::Format_RGB32};
    TQuaBitmap axisBottomBitmap_{QImage::Format_RGB32};
    TQuaBitmap screen_{QImage::Format_RGB32};
    double plotWidth_ = 0, plotHeight_ = 0, plotTop_ = 0, plotLeft_ = 0, plotBottom_ = 0, plotRight_ = 0;
    double drawnMarkerEnd_ = 0;
    bool overMarkerEdge_ = false, mouseInControl_ = false, mouseInPlot_ = false;
    int previousMouseX_ = -1, previousMouseY_ = -1, mouseX_ = -1, mouseY_ = -1;
    int axisLeftWidth_ = 0, axisBottomHeight_ = 0;
    int plotPixelWidth_ = 0, plotPixelHeight_ = 0;
    std::vector<std::unique_ptr<TQuaGraphSeries>> series_;
    double mouseValueX_ = 0, mouseValueY_ = 0;
    double pixelRatio_ = 0;  // set by SetPixelRatio; 0 follows the screen
    double builtRatio_ = 1;  // the ratio of the pictures now built
    CursorLine cursor_;
    std::vector<TQuaAxisTick> leftTicks_, bottomTicks_;  // as last drawn
};

}  // namespace quactl
