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

// The properties a form designer sets are Qt properties as well, so that
// Qt Designer edits them and forms built by uic set them: colours as QColor,
// fonts as QFont, the two axes' settings flattened into AxisLeft... and
// AxisBottom... . Form code calls set<Property>, hence the lower-case setters
// beside the component's own Set... operations.
class QUACTL_EXPORT TQuaGraph : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE setTitle)
    Q_PROPERTY(QFont TitleFont READ titleFont WRITE setTitleFont)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor GraphColor READ graphColor WRITE setGraphColor)
    Q_PROPERTY(int MarginLeft READ MarginLeft WRITE setMarginLeft)
    Q_PROPERTY(int MarginRight READ MarginRight WRITE setMarginRight)
    Q_PROPERTY(int MarginTop READ MarginTop WRITE setMarginTop)
    Q_PROPERTY(int MarginBottom READ MarginBottom WRITE setMarginBottom)
    // Auto comes before the ends: with it set the range follows the series.
    Q_PROPERTY(bool AxisLeftVisible READ AxisLeftVisible WRITE setAxisLeftVisible)
    Q_PROPERTY(QString AxisLeftCaption READ AxisLeftCaption WRITE setAxisLeftCaption)
    Q_PROPERTY(bool AxisLeftShowCaption READ AxisLeftShowCaption WRITE setAxisLeftShowCaption)
    Q_PROPERTY(QFont AxisLeftFont READ AxisLeftFont WRITE setAxisLeftFont)
    Q_PROPERTY(QFont AxisLeftCaptionFont READ AxisLeftCaptionFont WRITE setAxisLeftCaptionFont)
    Q_PROPERTY(bool AxisLeftAuto READ AxisLeftAuto WRITE setAxisLeftAuto)
    Q_PROPERTY(double AxisLeftMaxValue READ AxisLeftMaxValue WRITE setAxisLeftMaxValue)
    Q_PROPERTY(double AxisLeftMinValue READ AxisLeftMinValue WRITE setAxisLeftMinValue)
    Q_PROPERTY(bool AxisLeftLogScale READ AxisLeftLogScale WRITE setAxisLeftLogScale)
    Q_PROPERTY(bool AxisLeftReverse READ AxisLeftReverse WRITE setAxisLeftReverse)
    Q_PROPERTY(QString AxisLeftFormatString READ AxisLeftFormatString WRITE setAxisLeftFormatString)
    Q_PROPERTY(double AxisLeftScaleMultiplier READ AxisLeftScaleMultiplier WRITE setAxisLeftScaleMultiplier)
    Q_PROPERTY(QColor AxisLeftColor READ AxisLeftColor WRITE setAxisLeftColor)
    Q_PROPERTY(bool AxisLeftDateAxis READ AxisLeftDateAxis WRITE setAxisLeftDateAxis)
    Q_PROPERTY(bool AxisLeftGrid READ AxisLeftGrid WRITE setAxisLeftGrid)
    Q_PROPERTY(bool AxisBottomVisible READ AxisBottomVisible WRITE setAxisBottomVisible)
    Q_PROPERTY(QString AxisBottomCaption READ AxisBottomCaption WRITE setAxisBottomCaption)
    Q_PROPERTY(bool AxisBottomShowCaption READ AxisBottomShowCaption WRITE setAxisBottomShowCaption)
    Q_PROPERTY(QFont AxisBottomFont READ AxisBottomFont WRITE setAxisBottomFont)
    Q_PROPERTY(QFont AxisBottomCaptionFont READ AxisBottomCaptionFont WRITE setAxisBottomCaptionFont)
    Q_PROPERTY(bool AxisBottomAuto READ AxisBottomAuto WRITE setAxisBottomAuto)
    Q_PROPERTY(double AxisBottomMaxValue READ AxisBottomMaxValue WRITE setAxisBottomMaxValue)
    Q_PROPERTY(double AxisBottomMinValue READ AxisBottomMinValue WRITE setAxisBottomMinValue)
    Q_PROPERTY(bool AxisBottomLogScale READ AxisBottomLogScale WRITE setAxisBottomLogScale)
    Q_PROPERTY(bool AxisBottomReverse READ AxisBottomReverse WRITE setAxisBottomReverse)
    Q_PROPERTY(QString AxisBottomFormatString READ AxisBottomFormatString WRITE setAxisBottomFormatString)
    Q_PROPERTY(double AxisBottomScaleMultiplier READ AxisBottomScaleMultiplier WRITE setAxisBottomScaleMultiplier)
    Q_PROPERTY(QColor AxisBottomColor READ AxisBottomColor WRITE setAxisBottomColor)
    Q_PROPERTY(bool AxisBottomDateAxis READ AxisBottomDateAxis WRITE setAxisBottomDateAxis)
    Q_PROPERTY(bool AxisBottomGrid READ AxisBottomGrid WRITE setAxisBottomGrid)

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

    // ---- the Qt properties' accessors where the component's own differ
    QFont titleFont() const { return titleFont_.Font(); }
    void setTitleFont(const QFont& font) { titleFont_.SetFont(font); }
    void setTitle(const QString& title) { SetTitle(title); }
    QColor color() const { return ToQColor(color_); }
    void setColor(const QColor& value) { SetColor(FromQColor(value)); }
    QColor graphColor() const { return ToQColor(graphColor_); }
    void setGraphColor(const QColor& value) { SetGraphColor(FromQColor(value)); }
    void setMarginLeft(int value) { SetMarginLeft(value); }
    void setMarginRight(int value) { SetMarginRight(value); }
    void setMarginTop(int value) { SetMarginTop(value); }
    void setMarginBottom(int value) { SetMarginBottom(value); }
#define QUA_GRAPH_AXIS_PROPERTIES(Axis, axis)                                                           \
    bool Axis##Visible() const { return axis.Visible(); }                                               \
    void set##Axis##Visible(bool value) { axis.SetVisible(value); }                                     \
    QString Axis##Caption() const { return axis.Caption(); }                                            \
    void set##Axis##Caption(const QString& value) { axis.SetCaption(value); }                           \
    bool Axis##ShowCaption() const { return axis.ShowCaption(); }                                       \
    void set##Axis##ShowCaption(bool value) { axis.SetShowCaption(value); }                             \
    QFont Axis##Font() const { return axis.Font().Font(); }                                             \
    void set##Axis##Font(const QFont& value) { axis.Font().SetFont(value); }                            \
    QFont Axis##CaptionFont() const { return axis.CaptionFont().Font(); }                               \
    void set##Axis##CaptionFont(const QFont& value) { axis.CaptionFont().SetFont(value); }              \
    bool Axis##Auto() const { return axis.Auto(); }                                                     \
    void set##Axis##Auto(bool value) { axis.SetAuto(value); }                                           \
    double Axis##MaxValue() const { return axis.MaxValue(); }                                           \
    void set##Axis##MaxValue(double value) { StoreAxisEnd(axis, value, true); }                         \
    double Axis##MinValue() const { return axis.MinValue(); }                                           \
    void set##Axis##MinValue(double value) { StoreAxisEnd(axis, value, false); }                        \
    bool Axis##LogScale() const { return axis.LogScale(); }                                             \
    void set##Axis##LogScale(bool value) { axis.SetLogScale(value); }                                   \
    bool Axis##Reverse() const { return axis.Reverse(); }                                               \
    void set##Axis##Reverse(bool value) { axis.SetReverse(value); }                                     \
    QString Axis##FormatString() const { return axis.FormatString(); }                                  \
    void set##Axis##FormatString(const QString& value) { axis.SetFormatString(value); }                 \
    double Axis##ScaleMultiplier() const { return axis.ScaleMultiplier(); }                             \
    void set##Axis##ScaleMultiplier(double value) { axis.SetScaleMultiplier(value); Invalidate(); }     \
    QColor Axis##Color() const { return ToQColor(axis.Color()); }                                       \
    void set##Axis##Color(const QColor& value) { axis.SetColor(FromQColor(value)); }                    \
    bool Axis##DateAxis() const { return axis.DateAxis(); }                                             \
    void set##Axis##DateAxis(bool value) { axis.SetDateAxis(value); }                                   \
    bool Axis##Grid() const { return axis.Grid(); }                                                     \
    void set##Axis##Grid(bool value) { axis.SetGrid(value); }
    QUA_GRAPH_AXIS_PROPERTIES(AxisLeft, axisLeft_)
    QUA_GRAPH_AXIS_PROPERTIES(AxisBottom, axisBottom_)
#undef QUA_GRAPH_AXIS_PROPERTIES

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
    // A form states both ends of a range one after the other, so an end is
    // stored as given, without the check against the other end that the
    // axis's own setters make (a range below the present one would be
    // refused at its first end).
    void StoreAxisEnd(TQuaAxis& axis, double value, bool maximum);

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
