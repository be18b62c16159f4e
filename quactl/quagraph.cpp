#include "quactl/quagraph.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quactl {

namespace {

constexpr int kMarkerHit = 3;  // pixels around a marker that grab it

TShiftState ShiftOf(const QMouseEvent& e) {
    TShiftState s = 0;
    const Qt::KeyboardModifiers m = e.modifiers();
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::AltModifier) s |= ssAlt;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    const Qt::MouseButtons b = e.buttons();
    if (b & Qt::LeftButton) s |= ssLeft;
    if (b & Qt::RightButton) s |= ssRight;
    if (b & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

bool ButtonOf(Qt::MouseButton b, TMouseButton& out) {
    switch (b) {
    case Qt::LeftButton: out = TMouseButton::mbLeft; return true;
    case Qt::RightButton: out = TMouseButton::mbRight; return true;
    case Qt::MiddleButton: out = TMouseButton::mbMiddle; return true;
    default: return false;
    }
}

int TextWidthIn(const TQuaFont& font, const QString& text) { return QuaFontMetrics(font.Font()).horizontalAdvance(text); }
int TextHeightIn(const TQuaFont& font) { return QuaFontMetrics(font.Font()).height(); }

}  // namespace

TQuaGraph::TQuaGraph(QWidget* parent) : QWidget(parent) {
    axisLeft_.OnChange = [this] { Change(); };
    axisBottom_.OnChange = [this] { Change(); };
    titleFont_.OnChange = [this] { Change(); };
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(200, 150);
}

TQuaGraph::~TQuaGraph() = default;

// ---- properties -------------------------------------------------------------

void TQuaGraph::SetMarkerStart(double x) {
    const double lo = axisBottom_.MinValue(), hi = axisBottom_.MaxValue();
    if (!(x >= lo)) x = lo;
    if (x > hi) x = hi;
    markerStart_ = x;
}

void TQuaGraph::SetMarkerEnd(double x) {
    const double lo = axisBottom_.MinValue(), hi = axisBottom_.MaxValue();
    if (!(x >= lo)) x = lo;
    if (x > hi) x = hi;
    markerEnd_ = x;
}

void TQuaGraph::SetMargin(int& margin, int value, int opposite) {
    value = std::clamp(value, 0, 100);
    margin = std::min(value, 100 - opposite);
    Invalidate();
}

void TQuaGraph::SetMarginLeft(int value) { SetMargin(marginLeft_, value, marginRight_); }
void TQuaGraph::SetMarginRight(int value) { SetMargin(marginRight_, value, marginLeft_); }
void TQuaGraph::SetMarginTop(int value) { SetMargin(marginTop_, value, marginBottom_); }
void TQuaGraph::SetMarginBottom(int value) { SetMargin(marginBottom_, value, marginTop_); }

void TQuaGraph::StoreAxisEnd(TQuaAxis& axis, double value, bool maximum) {
    const bool locked = axis.LockAxis();
    axis.SetLockAxis(false);
    if (maximum)
        axis.SetMaxValue(value);
    else
        axis.SetMinValue(value);
    axis.SetLockAxis(locked);
    Invalidate();
}

void TQuaGraph::SetColor(TColor value) {
    color_ = value;
    Invalidate();
}

void TQuaGraph::SetGraphColor(TColor value) {
    graphColor_ = value;
    Invalidate();
}

void TQuaGraph::SetTitle(const QString& title) {
    if (title == title_) return;
    title_ = title;
    Invalidate();
}

void TQuaGraph::EndUpdate() {
    updating_ = false;
    Invalidate();
}

void TQuaGraph::Invalidate() {
    dirty_ = true;
    update();
}

// ---- series -------------------------------------------------------------------

bool TQuaGraph::AddOwnedSeries(std::unique_ptr<TQuaGraphSeries> series) {
    if (!series || series->GetN() == 0) return false;
    series_.push_back(std::move(series));
    RecalculateXAxis();
    RecalculateYAxis();
    Invalidate();
    return true;
}

int TQuaGraph::RemoveSeries(const QString& name) {
    if (name.isEmpty() || series_.empty()) return 0;
    const auto removed = std::erase_if(series_, [&](const auto& s) { return s->Name == name; });
    if (removed > 0) Invalidate();
    return static_cast<int>(removed);
}

void TQuaGraph::RemoveAllSeries() {
    if (series_.empty()) return;
    series_.clear();
    Invalidate();
}

TQuaGraphSeries* TQuaGraph::FindSeries(const QString& name) const {
    if (name.isEmpty()) return nullptr;
    for (const auto& s : series_)
        if (s->Name == name) return s.get();
    return nullptr;
}

std::unique_ptr<TQuaGraphSeries> TQuaGraph::RemoveSeriesPointer(const QString& name) {
    const auto it = std::find_if(series_.begin(), series_.end(), [&](const auto& s) { return s->Name == name; });
    if (it == series_.end()) return nullptr;
    std::unique_ptr<TQuaGraphSeries> taken = std::move(*it);
    series_.erase(it);
    Invalidate();
    return taken;
}

// ---- coordinates ------------------------------------------------------------

TQuaTransform TQuaGraph::PlotMapping() const {
    TQuaTransform t;
    t.XMin = axisBottom_.MinValue();
    t.XMax = axisBottom_.MaxValue();
    t.YMin = axisLeft_.MinValue();
    t.YMax = axisLeft_.MaxValue();
    t.Width = plotPixelWidth_;
    t.Height = plotPixelHeight_;
    return t;
}

int TQuaGraph::TitleHeight() const { return title_.isEmpty() ? 0 : TextHeightIn(titleFont_); }

TQuaLabelRewrite TQuaGraph::LabelRewrite(const TAxisLabelEvent& event) {
    if (!event) return {};
    return [this, &event](double value, QString& label) { event(this, value, label); };
}

int TQuaGraph::CalculateAxisLeftWidth() {
    const TQuaAxis& a = axisLeft_;
    if (!a.Visible()) return 0;
    const int caption = a.ShowCaption() ? a.CaptionOffset() + TextHeightIn(a.CaptionFont()) : 0;
    if (!a.RoundTicks() || a.LogScale())
        return a.Offset() + a.MajorTicksLength() + TextWidthIn(a.Font(), a.FormatSample()) + caption + 3;
    // Round ticks: room for the widest label they bring at this height, so
    // that big values are not cut at the left edge, and the caption's gap
    // kept beside them.
    RecalculateYAxis();
    const int plotHeight =
        (100 - marginTop_ - marginBottom_) * height() / 100 - CalculateAxisBottomHeight() - TitleHeight();
    const int labels = plotHeight > 0
                           ? a.LabelWidth(a.Ticks(plotHeight, TQuaAxisOrientation::Vertical, LabelRewrite(OnAxisLeftLabel)))
                           : 0;
    return a.Offset() + a.MajorTicksLength() + labels + caption + 5;
}

int TQuaGraph::CalculateAxisBottomHeight() const {
    const TQuaAxis& a = axisBottom_;
    if (!a.Visible()) return 0;
    const int caption = a.ShowCaption() ? a.CaptionOffset() + TextHeightIn(a.CaptionFont()) : 0;
    return a.Offset() + a.MajorTicksLength() + TextHeightIn(a.Font()) + caption + 3;
}

void TQuaGraph::RecalculateAxis(TQuaAxis& axis, bool horizontal) {
    if (!axis.Auto() || series_.empty()) return;
    double lo = kQuaLargeValue, hi = -kQuaLargeValue;
    for (const auto& s : series_) {
        if (horizontal ? s->GetIgnoreXLim() : s->GetIgnoreYLim()) continue;
        const double sMax = horizontal ? s->GetMaxXValue() : s->GetMaxYValue();
        const double sMin = horizontal ? s->GetMinXValue() : s->GetMinYValue();
        if (sMax > hi) hi = sMax;
        if (sMin < lo) lo = sMin;
    }
    if (axis.LogScale()) {
        lo = lo > 0 ? std::floor(std::log10(lo)) : 0;
        hi = hi > 0 ? std::ceil(std::log10(hi)) : 0;
    }
    axis.SetAxis(lo, hi);
}

void TQuaGraph::RecalculateXAxis() { RecalculateAxis(axisBottom_, true); }
void TQuaGraph::RecalculateYAxis() { RecalculateAxis(axisLeft_, false); }

// ---- layout and painting ----------------------------------------------------

double TQuaGraph::PixelRatio() const { return pixelRatio_ > 0 ? pixelRatio_ : devicePixelRatioF(); }

void TQuaGraph::SetPixelRatio(double ratio) {
    pixelRatio_ = ratio > 0 && std::isfinite(ratio) ? ratio : 0;
    Invalidate();
}

bool TQuaGraph::UpdateLayout() {
    axisLeftWidth_ = CalculateAxisLeftWidth();
    axisBottomHeight_ = CalculateAxisBottomHeight();
    const int w = width(), h = height();
    const int titleHeight = TitleHeight();
    const int plotWidth = (100 - marginLeft_ - marginRight_) * w / 100 - axisLeftWidth_;
    const int plotHeight = (100 - marginTop_ - marginBottom_) * h / 100 - axisBottomHeight_ - titleHeight;
    plotWidth_ = plotWidth;
    plotHeight_ = plotHeight;
    plotLeft_ = marginLeft_ * w / 100 + axisLeftWidth_;
    plotTop_ = marginTop_ * h / 100 + titleHeight;
    plotBottom_ = (100 - marginBottom_) * h / 100 - axisBottomHeight_;
    plotRight_ = (100 - marginRight_) * w / 100;
    plotPixelWidth_ = plotWidth;
    plotPixelHeight_ = plotHeight;
    return plotWidth >= 0 && plotHeight >= 0;
}

std::vector<TQuaAxisTick> TQuaGraph::LeftAxisTicks() {
    RecalculateYAxis();
    return axisLeft_.Ticks(plotPixelHeight_, TQuaAxisOrientation::Vertical, LabelRewrite(OnAxisLeftLabel));
}

std::vector<TQuaAxisTick> TQuaGraph::BottomAxisTicks() {
    RecalculateXAxis();
    return axisBottom_.Ticks(plotPixelWidth_, TQuaAxisOrientation::Horizontal, LabelRewrite(OnAxisBottomLabel));
}

void TQuaGraph::Paint() {
    if (Rebuild()) update();
}

bool TQuaGraph::Rebuild() {
    if (updating_) return false;
    dirty_ = false;
    if (!UpdateLayout()) return false;
    builtRatio_ = PixelRatio();
    const int w = width(), h = height();

    plot_.SetSize(plotPixelWidth_, plotPixelHeight_, builtRatio_);
    FillBitmap(plot_, graphColor_);
    if (axisLeft_.Visible()) PrepareLeftAxis(axisLeftBitmap_);
    if (axisBottom_.Visible()) PrepareBottomAxis(axisBottomBitmap_);
    DrawGrids(plot_);
    RedrawSeries(plot_);

    back_.SetSize(w, h, builtRatio_);
    FillBitmap(back_, color_);
    TQuaCanvas& back = back_.Canvas();
    const int left = static_cast<int>(plotLeft_), top = static_cast<int>(plotTop_);
    back.Draw(left, top, plot_.Image());
    if (axisLeft_.Visible()) back.Draw(left - axisLeftWidth_, top, axisLeftBitmap_.Image());
    if (axisBottom_.Visible()) back.Draw(left, static_cast<int>(plotBottom_), axisBottomBitmap_.Image());
    if (!title_.isEmpty()) {
        back.Font.Assign(titleFont_);
        back.TextOut((w - back.TextWidth(title_)) / 2, 0, title_);
    }
    if (dragging_ || selected_) InvertBand(back, markerStart_, drawnMarkerEnd_);

    screen_.SetSize(w, h, builtRatio_);
    screen_.Canvas().Draw(0, 0, back_.Image());
    // The fresh surface has no cursor line: it is drawn again where it stood
    // (in the new layout), so that the next DrawLine erases a line that is
    // there rather than leaving one behind.
    if (cursor_.Shown) {
        cursor_.Top = top;
        cursor_.Bottom = static_cast<int>(plotTop_ + plotHeight_);
        if (cursor_.X >= left && cursor_.X < static_cast<int>(plotRight_))
            XorCursor(cursor_);
        else
            cursor_.Shown = false;
    }
    return true;
}

void TQuaGraph::PrepareLeftAxis(TQuaBitmap& bitmap) {
    if (axisLeftWidth_ == 0 || plotPixelHeight_ <= 0) {
        bitmap.SetSize(0, 0);
        leftTicks_.clear();
        return;
    }
    bitmap.SetSize(axisLeftWidth_, plotPixelHeight_, builtRatio_);
    leftTicks_ = LeftAxisTicks();
    axisLeft_.DrawStrip(bitmap, TQuaAxisOrientation::Vertical, color_, leftTicks_);
}

void TQuaGraph::PrepareBottomAxis(TQuaBitmap& bitmap) {
    if (plotPixelWidth_ <= 0 || axisBottomHeight_ == 0) {
        bitmap.SetSize(0, 0);
        bottomTicks_.clear();
        return;
    }
    bitmap.SetSize(plotPixelWidth_, axisBottomHeight_, builtRatio_);
    bottomTicks_ = BottomAxisTicks();
    axisBottom_.DrawStrip(bitmap, TQuaAxisOrientation::Horizontal, color_, bottomTicks_);
}

// The grids use the ticks their strips were drawn with; a hidden axis
// labels nothing, so its ticks are worked out without the label events.
void TQuaGraph::DrawGrids(TQuaBitmap& plot) {
    if (axisLeft_.Grid()) {
        if (!axisLeft_.Visible()) {
            RecalculateYAxis();
            leftTicks_ = axisLeft_.Ticks(plotPixelHeight_, TQuaAxisOrientation::Vertical);
        }
        axisLeft_.DrawGrid(plot, TQuaAxisOrientation::Vertical, leftTicks_);
    }
    if (axisBottom_.Grid()) {
        if (!axisBottom_.Visible()) {
            RecalculateXAxis();
            bottomTicks_ = axisBottom_.Ticks(plotPixelWidth_, TQuaAxisOrientation::Horizontal);
        }
        axisBottom_.DrawGrid(plot, TQuaAxisOrientation::Horizontal, bottomTicks_);
    }
}

void TQuaGraph::RedrawSeries(TQuaBitmap& bitmap) {
    for (const auto& s : series_) {
        if (s->GetN() < 1) continue;
        s->DrawSeries(bitmap, axisBottom_.MinValue(), axisBottom_.MaxValue(), axisLeft_.MinValue(), axisLeft_.MaxValue(),
                      axisBottom_.LogScale(), axisLeft_.LogScale(), axisBottom_.Reverse(), axisLeft_.Reverse());
    }
}

void TQuaGraph::paintEvent(QPaintEvent*) {
    // A move to a screen of another density rebuilds the pictures too.
    if ((dirty_ || builtRatio_ != PixelRatio()) && !updating_) Rebuild();
    QPainter p(this);
    p.drawImage(0, 0, screen_.Image());
    // Until the first successful paint (or after growing while the plot had
    // no room) part of the widget has no picture yet.
    const int w = screen_.Width(), h = screen_.Height();
    if (w < width()) p.fillRect(w, 0, width() - w, height(), ToQColor(color_));
    if (h < height()) p.fillRect(0, h, width(), height() - h, ToQColor(color_));
}

void TQuaGraph::resizeEvent(QResizeEvent*) {
    Invalidate();
    if (OnResize) OnResize(this);
}

// ---- selection band and cursor line -----------------------------------------

void TQuaGraph::InvertBand(TQuaCanvas& canvas, double from, double to) {
    const TQuaPen pen = canvas.Pen;
    const TQuaBrush brush = canvas.Brush;
    canvas.Pen.Mode = pmNot;
    canvas.Pen.Style = psSolid;
    canvas.Pen.Width = 1;
    canvas.Brush.Style = bsSolid;
    const int left = static_cast<int>(plotLeft_);
    canvas.Rectangle(TransferX(from) + left, static_cast<int>(plotTop_), TransferX(to) + left,
                     static_cast<int>(plotBottom_));
    canvas.Pen = pen;
    canvas.Pen.Mode = pmCopy;
    canvas.Brush = brush;
}

void TQuaGraph::DrawBox() {
    TQuaCanvas& c = Canvas();
    // The old band is erased even when the new one is empty, so a drag that
    // returns to its start leaves nothing behind on the screen.
    if (markerEnd_ != drawnMarkerEnd_) {
        InvertBand(c, markerStart_, drawnMarkerEnd_);
        InvertBand(c, markerStart_, markerEnd_);
        drawnMarkerEnd_ = markerEnd_;
    }
    if (selected_) InvertBand(c, markerStart_, drawnMarkerEnd_);
    update();
}

void TQuaGraph::XorCursor(const CursorLine& line) {
    TQuaCanvas& c = Canvas();
    const TQuaPen keep = c.Pen;
    c.Pen = line.Pen;
    c.Pen.Mode = pmXor;
    c.MoveTo(line.X, line.Top);
    c.LineTo(line.X, line.Bottom);
    c.Pen = keep;
    c.Pen.Mode = pmCopy;
}

// The line is erased where it stands, with the pen it was drawn with: after
// a repaint the previous mouse column may hold no line at all, and a second
// XOR there would leave one behind.
void TQuaGraph::DrawLine() {
    if (cursor_.Shown) XorCursor(cursor_);
    cursor_.Shown = true;
    cursor_.X = mouseX_;
    cursor_.Top = static_cast<int>(plotTop_);
    cursor_.Bottom = static_cast<int>(plotTop_ + plotHeight_);
    cursor_.Pen = Canvas().Pen;
    XorCursor(cursor_);
    update();
}

void TQuaGraph::Select(double x1, double x2) {
    if (selected_) DrawBox();
    if (axisBottom_.LogScale()) {
        // log10(0) is minus infinity, which the marker setters clamp to the
        // axis minimum.
        x1 = x1 >= 0 ? std::log10(x1) : 0;
        x2 = x2 >= 0 ? std::log10(x2) : 0;
    }
    SetMarkerStart(x1);
    SetMarkerEnd(x2);
    drawnMarkerEnd_ = markerEnd_;
    selected_ = true;
    DrawBox();
}

void TQuaGraph::RemoveSelection() {
    if (!selected_) return;
    DrawBox();
    markerStart_ = markerEnd_ = 0;
    drawnMarkerEnd_ = 0;
    dragging_ = selected_ = false;
}

// ---- mouse ------------------------------------------------------------------

bool TQuaGraph::InsideForPress(int x, int y) const {
    return plotLeft_ < x && x < plotRight_ && plotTop_ < y && y < plotBottom_;
}

bool TQuaGraph::InsideForMove(int x, int y) const {
    return plotLeft_ <= x && x < plotRight_ && plotTop_ <= y && y < plotBottom_;
}

bool TQuaGraph::NearMarker(double marker, int x) const {
    return std::abs(TransferX(marker) - (x - static_cast<int>(plotLeft_))) < kMarkerHit;
}

void TQuaGraph::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if ((shift & ssRight) && popupMenu_) popupMenu_->popup(mapToGlobal(QPoint(x, y)));
    if (button == TMouseButton::mbLeft && plotWidth_ != 0 && InsideForPress(x, y)) {
        const double value = InvertTransformX(x - static_cast<int>(plotLeft_));
        const bool nearStart = NearMarker(markerStart_, x), nearEnd = NearMarker(markerEnd_, x);
        if (overMarkerEdge_ && (nearStart || nearEnd)) {
            // Grabbing a marker edge: the other marker becomes the anchor, and
            // the band on screen stays as it is until the drag moves it.
            overMarkerEdge_ = false;
            selected_ = false;
            const double start = markerStart_, end = markerEnd_;
            SetMarkerStart(nearStart ? end : start);
            SetMarkerEnd(value);
            drawnMarkerEnd_ = nearStart ? start : end;
            dragging_ = true;
        } else {
            overMarkerEdge_ = false;
            if (selected_) DrawBox();
            selected_ = false;
            SetMarkerStart(value);
            SetMarkerEnd(value);
            drawnMarkerEnd_ = markerEnd_;
            dragging_ = true;
        }
    }
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TQuaGraph::MouseMove(TShiftState shift, int x, int y) {
    const int left = static_cast<int>(plotLeft_);
    if (!InsideForMove(x, y)) {
        mouseInPlot_ = false;
        overMarkerEdge_ = false;
        setCursor(Qt::ArrowCursor);
        if (plotWidth_ != 0 && dragging_) {
            SetMarkerEnd(InvertTransformX(x - left));
            dragging_ = false;
            DrawBox();
            selected_ = markerStart_ != markerEnd_;
        }
    } else {
        mouseInPlot_ = true;
        mouseX_ = x;
        mouseY_ = y;
        setCursor(Qt::CrossCursor);
        if (dragging_) {
            SetMarkerEnd(InvertTransformX(x - left));
            DrawBox();
            overMarkerEdge_ = false;
        } else if (selected_ && (NearMarker(markerEnd_, x) || NearMarker(markerStart_, x))) {
            setCursor(Qt::SplitHCursor);
            overMarkerEdge_ = true;
        } else {
            overMarkerEdge_ = false;
        }
    }
    if (plotWidth_ != 0) {
        mouseValueX_ = InvertTransformX(x - left);
        mouseValueY_ = InvertTransformY(y - static_cast<int>(plotTop_));
    }
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
    previousMouseX_ = mouseX_;
    previousMouseY_ = mouseY_;
}

void TQuaGraph::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && plotWidth_ != 0 && InsideForPress(x, y) && dragging_) {
        SetMarkerEnd(InvertTransformX(x - static_cast<int>(plotLeft_)));
        dragging_ = false;
        DrawBox();
        selected_ = markerStart_ != markerEnd_;
    }
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TQuaGraph::mousePressEvent(QMouseEvent* event) {
    TMouseButton button;
    if (!ButtonOf(event->button(), button)) return;
    const QPoint p = event->position().toPoint();
    MouseDown(button, ShiftOf(*event), p.x(), p.y());
}

void TQuaGraph::mouseDoubleClickEvent(QMouseEvent* event) {
    TMouseButton button;
    if (!ButtonOf(event->button(), button)) return;
    const QPoint p = event->position().toPoint();
    MouseDown(button, ShiftOf(*event) | ssDouble, p.x(), p.y());
    if (OnDblClick) OnDblClick(this);
}

void TQuaGraph::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseMove(ShiftOf(*event), p.x(), p.y());
}

void TQuaGraph::mouseReleaseEvent(QMouseEvent* event) {
    TMouseButton button;
    if (!ButtonOf(event->button(), button)) return;
    const QPoint p = event->position().toPoint();
    MouseUp(button, ShiftOf(*event), p.x(), p.y());
    if (button == TMouseButton::mbLeft && rect().contains(p) && OnClick) OnClick(this);
}

void TQuaGraph::enterEvent(QEnterEvent*) { CMMouseEnter(); }

void TQuaGraph::leaveEvent(QEvent*) { CMMouseLeave(); }

}  // namespace quactl
