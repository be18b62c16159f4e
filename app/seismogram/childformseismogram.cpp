#include "childformseismogram.h"

#include "app/document/projectlock.h"
#include "app/seismogram/recordsectionview.h"
#include "app/seismogram/sampletablename.h"
#include "app/seismogram/signalchannels.h"
#include "app/settings/modalformpreferences.h"
#include "app/settings/numbercheck.h"
#include "app/widgets/commandtable.h"
#include "app/widgets/helpsystem.h"
#include "app/widgets/icons.h"
#include "app/widgets/mainwindowlink.h"
#include "app/widgets/qtconvert.h"
#include "app/widgets/wagespinbox.h"
#include "common/numberformat.h"
#include "kelsig/signalprocessing.h"
#include "lgsig/lgsig.h"
#include "quactl/quagraph.h"
#include "quactl/quaseries.h"

#include <QAbstractSpinBox>
#include <QActionGroup>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace dyma::gui {

using namespace quactl;

namespace {

constexpr TColor kPickColour = 0x0000FF;  // red
constexpr TColor kGridLineColour = 0x808080;
// The tint of a stretch the signal file does not hold (a gap in a miniSEED
// record, filled with the last value before it): light enough to leave the
// trace readable.
constexpr double kFilledSpanTint = 0.2;

// Help contexts of the pages in page order.
constexpr int kPageHelp[] = {help::kSeismogramPage, help::kSectionPage, help::kNetworkPage, help::kPickListPage,
                             help::kDataPage,        help::kSolution};

// A little air between the numbers of neighbouring columns.
constexpr int kCellAir = 8;
constexpr int kNarrowestColumn = 16;

// The widths of a list's columns: `share` each, or less where that does
// not fit into `total`, but never less than a column's `cells` need.
std::vector<int> ShareColumns(int share, int total, const std::vector<int>& cells) {
    auto sum = [&](int each) {
        int s = 0;
        for (int c : cells) s += std::max(each, c);
        return s;
    };
    int each = share;
    while (each > kNarrowestColumn && sum(each) > total) --each;
    std::vector<int> widths;
    for (int c : cells) widths.push_back(std::max(each, c));
    return widths;
}

// Controls in which the operator types: they keep their own editing keys.
// A box that only shows a value (the window's weight, which changes by its
// arrows alone) is none: the window's keys pass it.
bool IsTextEditor(const QObject* o) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(o)) return !edit->isReadOnly();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(o)) {
        const QLineEdit* edit = spin->findChild<const QLineEdit*>();
        return !spin->isReadOnly() && !(edit && edit->isReadOnly());
    }
    return qobject_cast<const QPlainTextEdit*>(o) || qobject_cast<const QTextEdit*>(o);
}

}  // namespace

TfmSeismogram::TfmSeismogram(MainWindowLink& owner, std::string projectFileName, std::string signalFileName,
                             std::unique_ptr<IniImage> image, std::unique_ptr<Kelo::signalprocessing> signal,
                             std::unique_ptr<SampleTableName> sampleTable, std::unique_ptr<ProjectLock> lock)
    : owner_(owner),
      projectFileName_(std::move(projectFileName)),
      signalFileName_(std::move(signalFileName)),
      lock_(std::move(lock)),
      sampleTable_(std::move(sampleTable)),
      signal_(std::move(signal)),
      image_(std::move(image)) {
    setObjectName("fmSeismogram");
    setFocusPolicy(Qt::StrongFocus);
    // The history of the pick changes lives as long as the window.
    history_ = new QUndoStack(this);
    connect(history_, &QUndoStack::indexChanged, this, [this] { UpdateModified(); });
    AskOperatorAboutPolarity();
    const Settings& settings = owner_.Preferences().Values();
    window_.RecordLength = double(signal_->GetChannelLength(0)) / signal_->GetSamplingRate(0);

    numberCheck_ = new TNumberCheck(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    pages_->addTab(BuildSeismogramPage(), QStringLiteral("Sejsmogram"));
    pages_->addTab(BuildSectionPage(), QStringLiteral("Wszystkie kanały"));
    pages_->addTab(BuildNetworkPage(), QStringLiteral("Sieć"));
    pages_->addTab(BuildProcessingPage(), QStringLiteral("Plik przetwarzania"));
    pages_->addTab(BuildDataPage(), QStringLiteral("Dane"));
    pages_->addTab(BuildSolutionPage(), QStringLiteral("Rozwiązanie"));
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("StatusBar1");
    statusBar_->setSizeGripEnabled(false);
    const QString initial[] = {QStringLiteral("Plik:"), QStringLiteral("Kanał:"), QStringLiteral("Próbka:")};
    for (int i = 0; i < 3; ++i) {
        status_[i] = new QLabel(initial[i], statusBar_);
        status_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        statusBar_->addWidget(status_[i], i == 0 ? 2 : 1);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pages_, 1);
    layout->addWidget(statusBar_);

    // The document's data, the station table and the record's facts, then
    // the picks.
    LoadHeader();
    FillStationTable();
    RefreshPickList();

    graph_->SetColor(settings.GraphColor);
    graph_->SetGraphColor(settings.GraphColor);
    window_.VisibleWidth = settings.WindowWidth / 1000.0;
    verticalScale_ = 1.0;
    ClearSelection();
    currentChannel_ = 0;
    modified_ = false;
    otherChanges_ = false;

    resize(kSeismogramMinimumSize);
    setMinimumSize(kSeismogramMinimumSize);
    setWindowTitle(Q(signal_->FileName));
    // The time axis shows the window from the start, not whatever the
    // series span (a pick far along the record would stretch it).
    ApplyTimeAxis();
    ShowChannel();

    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) { PageChanged(page); });
    if (QMdiArea* area = owner_.MdiArea()) {
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
            if (sub && sub->widget() == this) SyncMainPickingBar();
        });
    }
    WatchKeys();
}

TfmSeismogram::~TfmSeismogram() {
    if (!listedProject_.empty()) owner_.RemoveOpenFile(listedProject_);
    if (!listedSignal_.empty()) owner_.RemoveOpenFile(listedSignal_);
    // The members go in reverse order: solution, image, signal (which
    // deletes the sample table's file), the table's name.
}

// ------------------------------------------------------------------ pages

QWidget* TfmSeismogram::BuildSeismogramPage() {
    auto* page = new QWidget;
    page->setObjectName("tabSejsmogram");

    auto* bar = new QToolBar(page);
    bar->setObjectName("ToolBar1");
    bar->setIconSize(QSize(20, 20));
    auto* type = new QLabel(QStringLiteral("Typ:"), bar);
    type->setObjectName("Label1");
    bar->addWidget(type);
    waveGroup_ = new QActionGroup(this);
    const IconKind icons[] = {IconKind::DirectWave, IconKind::AWave, IconKind::BWave};
    for (int tag = 0; tag < 3; ++tag) {
        const ButtonCommand& command = WaveButtons()[tag];
        QAction* button = bar->addAction(ToolIcon(icons[tag]), QString::fromUtf8(command.hint));
        button->setObjectName(command.name);
        button->setToolTip(QString::fromUtf8(command.hint));
        button->setProperty("tag", tag);
        button->setCheckable(true);
        waveGroup_->addAction(button);
        connect(button, &QAction::triggered, this, [this, tag] { ChooseWaveType(tag); });
        waveButtons_[tag] = button;
    }
    waveButtons_[0]->setChecked(true);
    currentWaveType_ = new QLabel(QStringLiteral("-"), bar);
    currentWaveType_->setObjectName("CurrentWaveType");
    currentWaveType_->setMinimumWidth(20);
    currentWaveType_->setAlignment(Qt::AlignCenter);
    bar->addWidget(currentWaveType_);
    auto* weight = new QLabel(QStringLiteral("Waga:"), bar);
    weight->setObjectName("Label2");
    bar->addWidget(weight);
    wage_ = new TWageSpinBox(bar);
    wage_->setObjectName("Wage");
    // Read-only: the weight changes only by its up-down.
    if (QLineEdit* edit = wage_->findChild<QLineEdit*>()) edit->setReadOnly(true);
    wage_->BeforeStep = [this] {
        bool allowChange = true;
        WageControllerChanging(allowChange);
    };
    connect(wage_, &QSpinBox::textChanged, this, [this] { WageChange(wage_); });
    bar->addWidget(wage_);
    removeMarker_ = bar->addAction(ToolIcon(IconKind::RemoveMarker), QStringLiteral("Usuń marker z sejsmogramu"));
    removeMarker_->setObjectName("bRemoveMarker");
    removeMarker_->setToolTip(QStringLiteral("Usuń marker z sejsmogramu"));
    connect(removeMarker_, &QAction::triggered, this, [this] { RemovePick(); });
    // The view's band-pass switch (the main window's picking bar has the
    // same one for the active window).
    bar->addSeparator();
    filterButton_ = bar->addAction(QStringLiteral("Filtr"));
    filterButton_->setObjectName("bFilter");
    filterButton_->setCheckable(true);
    filterButton_->setToolTip(QStringLiteral("Filtr pasmowy widoku sejsmogramu (F)"));
    connect(filterButton_, &QAction::triggered, this, [this](bool on) { SetViewFiltered(on); });

    auto* infoBar = new QToolBar(page);
    infoBar->setObjectName("ToolBar2");
    const char* infoNames[] = {"ChannelLabel", "ComponentLabel", "ActivityLabel"};
    for (int i = 0; i < 3; ++i) {
        info_[i] = new QLabel(infoBar);
        info_[i]->setObjectName(infoNames[i]);
        infoBar->addWidget(info_[i]);
    }

    graph_ = new TQuaGraph(page);
    graph_->setObjectName("Graph");
    graph_->AxisLeft().SetVisible(false);
    for (TQuaAxis* axis : {&graph_->AxisLeft(), &graph_->AxisBottom()}) {
        axis->SetFormatString(QStringLiteral("##0.000"));
        axis->SetDecimalSeparator(LocaleDecimalSeparator());
    }
    // Time labels at round times (0.80, 0.85, 0.90 ...) as dense as they
    // fit, and the time grid (when it is switched on) through them, so that
    // it stays in step with the labels at every zoom and size.
    graph_->AxisBottom().SetRoundTicks(true);
    graph_->AxisBottom().SetGridColor(kGridLineColour);
    graph_->OnMouseDown = [this](TQuaGraph*, TMouseButton button, TShiftState shift, int x, int) {
        MouseDown(int(button), shift, x);
    };
    graph_->OnMouseMove = [this](TQuaGraph*, TShiftState, int x, int) { MouseMove(x); };

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(infoBar);
    layout->addWidget(graph_, 1);
    return page;
}

QTreeWidget* TfmSeismogram::MakeList(const char* name, std::span<const char* const> captions, QWidget* page) {
    auto* list = new QTreeWidget(page);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // The columns share the width themselves (FitColumns).
    list->header()->setStretchLastSection(false);
    QStringList texts;
    for (const char* c : captions) texts << QString::fromUtf8(c);
    list->setHeaderLabels(texts);
    // A narrow window cuts the captions; the tooltip has them whole.
    for (int c = 0; c < int(texts.size()); ++c) list->headerItem()->setToolTip(c, texts[c]);
    return list;
}

QWidget* TfmSeismogram::BuildProcessingPage() {
    auto* page = new QWidget;
    page->setObjectName("tabPrzetwarzanie");
    processingList_ = MakeList("ProcessingList", kPickListColumns, page);
    connect(processingList_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem*, int column) {
        // Only the operator's ticks count; the refresh fills the list itself.
        if (!filling_ && column == 0) PickListClick();
    });
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(processingList_);
    return page;
}

// ------------------------------------------------------------------ show and resize

void TfmSeismogram::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TfmSeismogram::FormShow() {
    pages_->setCurrentIndex(kPageData);
    FitColumns();
    ShowChannel();
    waveButtons_[0]->setChecked(true);
    currentWaveType_->setText(QStringLiteral("D"));
    SetWeightControls(100);
    FirstChannel();
    RefreshPickList();
    RefillSolutionPage();
}

void TfmSeismogram::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitColumns();
}

void TfmSeismogram::FitColumns() {
    for (QTreeWidget* list : {processingList_, netInfo_}) FitColumns(*list);
}

void TfmSeismogram::FitColumns(QTreeWidget& list) {
    // Every column the same width: the client width less a margin and a
    // pixel a column, shared out. No value may be cut, though: a column
    // whose cells need more gets that, and the others share what is left,
    // so that every column, the polarity one too, stays in view. A caption
    // too long for its column shows in full as the column's tooltip.
    const int n = list.columnCount();
    if (n == 0) return;
    int total = width() - 8 - n;
    // What the list really has, once it is laid out: less when its rows
    // scroll. (It fits again when its viewport changes size.)
    if (list.isVisible()) total = std::min(total, list.viewport()->width());
    // (QTreeView hides the cells' size hints; its base class shows them.)
    const QAbstractItemView& view = list;
    std::vector<int> cells(size_t(n), 0);
    if (list.topLevelItemCount() > 0)
        for (int c = 0; c < n; ++c) cells[size_t(c)] = view.sizeHintForColumn(c) + kCellAir;
    const std::vector<int> widths = ShareColumns((width() - 8 - n) / n, total, cells);
    for (int c = 0; c < n; ++c) list.setColumnWidth(c, widths[size_t(c)]);
}

void TfmSeismogram::PageChanged(int page) {
    switch (page) {
    case kPageSeismogram: ShowChannel(); break;
    case kPageSection: RefreshSection(); break;
    case kPageProcessing: RefreshPickList(); break;
    case kPageSolution: RefillSolutionPage(); break;
    default: break;
    }
}

std::string TfmSeismogram::DocumentFileName() const { return image_->FileName(); }

void TfmSeismogram::ListOpenFiles() {
    listedProject_ = owner_.AddOpenFile(projectFileName_);
    listedSignal_ = owner_.AddOpenFile(signalFileName_);
}

Quarnet::lgsig* TfmSeismogram::Reader() const { return dynamic_cast<Quarnet::lgsig*>(signal_.get()); }

std::string TfmSeismogram::SampleTablePath() const { return sampleTable_ ? sampleTable_->Path() : std::string(); }

// ------------------------------------------------------------------ the graph

void TfmSeismogram::ShowChannel() {
    if (!signal_) return;
    const Settings& settings = owner_.Preferences().Values();
    const double rate = signal_->GetSamplingRate(0);
    const double dt = 1.0 / rate;
    const ChannelPick pick = ReadChannelPick(*image_, currentChannel_ + 1);
    const SampleRange samples = VisibleSamples(window_, rate);
    const int f = samples.first, l = samples.last;

    graph_->BeginUpdate();
    graph_->RemoveAllSeries();
    auto horizontal = std::make_unique<TQuaFreeLineSeries>(QStringLiteral("HorizontalLine"), 10);
    auto markers = std::make_unique<TQuaMarkerSeries>(QStringLiteral("ZoomMarkers"), 10, settings.GraphColor, clBlack);
    auto trace = std::make_unique<TQuaFastLineSeries>(QStringLiteral("Velocity"), std::max(0, l - f) + 10,
                                                      settings.PlotColor);

    // Selection ends along the bottom, the pick at the top.
    if (selection_.Start != 0) markers->AddPoint(QStringLiteral("<>Start"), settings.MarkerColor, selection_.Start, -1, 0);
    if (selection_.End != 0) markers->AddPoint(QStringLiteral("<>End"), settings.MarkerColor, selection_.End, -1, 0);
    if (pick.MarkerPosition > 0) markers->AddPoint(PickLabel(pick), kPickColour, pick.MarkerPosition, 0, 0);

    if (pick.Wage > 0) SetWeightControls(int(std::lround(pick.Wage * 100)));
    ShowWaveType(pick.WaveType == wave::kNone ? std::string(wave::kDirect) : pick.WaveType);

    // The trace: the samples of the window that the record holds, as
    // recorded or through the view's filter.
    const int length = signal_->GetChannelLength(0);
    const int last = std::min(l, length);
    if (filtered_) {
        const std::vector<double>& view = ViewSamples();
        for (int i = std::max(f, 0); i < std::min(last, int(view.size())); ++i)
            trace->AddPoint(QString(), settings.PlotColor, i * dt, view[size_t(i)], 0);
    } else if (f < last) {
        const double* block = signal_->GetSampleBlockAddress(currentChannel_, f);
        for (int i = f; i < last; ++i) {
            const double v = block ? block[i - f] : signal_->GetSample(currentChannel_, i);
            trace->AddPoint(QString(), settings.PlotColor, i * dt, v, 0);
        }
    }
    // A flat stretch that the file does not hold must not pass for quiet
    // ground: it is tinted.
    auto filled = std::make_unique<TQuaRectangleSeries>(QStringLiteral("Gaps"), 10);
    for (const SampleSpan& span : FilledSpans(*signal_, currentChannel_)) {
        if (span.end <= f || span.first >= l) continue;
        filled->AddPoint(QString(), clRed, std::max(span.first, f) * dt, 0, kFilledSpanTint);
        filled->AddPoint(QString(), clRed, std::min(span.end, l) * dt, 0, kFilledSpanTint);
    }
    horizontal->AddPoint(QString(), settings.GridColor, f * dt, 0, 0);
    horizontal->AddPoint(QString(), settings.GridColor, l * dt, 0, 0);

    if (filled->GetN() > 0) graph_->AddSeries(std::move(filled));
    if (settings.HorizontalGrid) graph_->AddSeries(std::move(horizontal));
    graph_->AxisBottom().SetGrid(settings.VerticalGrid);
    graph_->AddSeries(std::move(trace));
    AddSuggestionMarks();
    graph_->AddSeries(std::move(markers));
    graph_->EndUpdate();

    if (filtered_) {
        const std::vector<double>& view = ViewSamples();
        const auto [low, high] = std::minmax_element(view.begin(), view.end());
        channelMax_ = high == view.end() ? 0 : *high;
        channelMin_ = low == view.end() ? 0 : *low;
    } else {
        channelMax_ = signal_->GetMaxChannelValue(currentChannel_);
        channelMin_ = signal_->GetMinChannelValue(currentChannel_);
    }
    if (fitVisible_) ApplyVerticalAxis();
    UpdateStatusBar();
    UpdateChannelInfo();
}

void TfmSeismogram::ApplyTimeAxis() {
    TQuaAxis& axis = graph_->AxisBottom();
    axis.SetAuto(false);
    // Both ends at once: one at a time, a window moved past the old one
    // would be refused by the other end.
    axis.SetAxis(window_.WindowStart, window_.End());
    graph_->Invalidate();
}

void TfmSeismogram::ApplyVerticalAxis() {
    TQuaAxis& axis = graph_->AxisLeft();
    axis.SetAuto(false);
    double top = channelMax_ * verticalScale_, bottom = channelMin_ * verticalScale_;
    if (fitVisible_) {
        // The amplitude of what is visible, with a little air, stretched
        // about its middle.
        const std::vector<double>& view = ViewSamples();
        const SampleRange samples = VisibleSamples(window_, signal_->GetSamplingRate(0));
        const int first = std::clamp(samples.first, 0, int(view.size()));
        const int last = std::clamp(samples.last, first, int(view.size()));
        if (first < last) {
            const auto [low, high] = std::minmax_element(view.begin() + first, view.begin() + last);
            const double middle = (*high + *low) / 2, half = (*high - *low) / 2 * 1.1;
            top = middle + half * verticalScale_;
            bottom = middle - half * verticalScale_;
        }
    }
    // A silent channel still gets a range, with its zero line in the middle.
    if (!(top > bottom)) {
        top += 1;
        bottom -= 1;
    }
    axis.SetAxis(bottom, top);
    graph_->Invalidate();
}

void TfmSeismogram::UpdateFilePanel() {
    QString file = Q(FileNamePart(signalFileName_));
    if (modified_) file += QStringLiteral(" (Zmodyfikowany)");
    status_[0]->setText(file);
}

void TfmSeismogram::UpdateStatusBar() {
    UpdateFilePanel();
    const Kelo::StationInfo* s = signal_->GetStationInfo(currentChannel_);
    status_[1]->setText(Q(s->Name) + QStringLiteral(" ") + Q(s->Component));
    status_[2]->clear();
}

QString TfmSeismogram::StatusText(int panel) const { return status_[panel]->text(); }

double TfmSeismogram::DataNumber(const char* name) const {
    // The edits are checked when left; until then a text that is not a
    // number counts as 0.
    try {
        return ParseNumber(S(DataEdit(name)->text()), LocaleDecimalSeparator());
    } catch (const ConversionError&) {
        return 0;
    }
}

void TfmSeismogram::UpdateChannelInfo() {
    if (!signal_) return;
    const Kelo::StationInfo* s = signal_->GetStationInfo(currentChannel_);
    const double d = std::trunc(Distance(DataNumber("X"), DataNumber("Y"), DataNumber("Z"), s->X,
                                         s->Y, s->Z));
    const QString distance = QString::number(qlonglong(d));
    const QString number = Q(FormatInt(currentChannel_ + 1, 2));
    info_[0]->setText(QStringLiteral("   Kanał: ") + number + QStringLiteral(" (") + Q(s->Name) + QStringLiteral(")   "));
    info_[1]->setText(QStringLiteral("   Składowa: ") + Q(s->Component) + QStringLiteral("   ") + QStringLiteral(" ") +
                      QStringLiteral("   Odległość: ") + distance + QStringLiteral("   "));
    QString activity = signal_->GetChannelExists(currentChannel_) ? QStringLiteral("Kanał aktywny")
                                                                  : QStringLiteral("Kanał nieaktywny");
    if (const QString reason = PickNotUsedReason(); !reason.isEmpty())
        activity += QStringLiteral(" – odczyt nie pójdzie do obliczeń: ") + reason;
    info_[2]->setText(activity + QStringLiteral("   "));
    if (IsActiveSeismogram())
        owner_.Picking().Label2->setText(number + QStringLiteral(" (") + Q(s->Name) + QStringLiteral(")   ") +
                                         QStringLiteral(" ") + distance);
}

// ------------------------------------------------------------------ navigation

void TfmSeismogram::ClearSelection() { selection_.Clear(); }

void TfmSeismogram::AfterChannelChange() {
    ClearSelection();
    ShowChannel();
    ScaleVertical(0.0);
}

void TfmSeismogram::FirstChannel() {
    if (!signal_) return;
    if (SectionShown()) return SectionChannel(section_->Rows().empty() ? 0 : section_->Rows().front());
    currentChannel_ = signal_->GetMinChannel();
    AfterChannelChange();
}

void TfmSeismogram::LastChannel() {
    if (!signal_) return;
    if (SectionShown()) return SectionChannel(section_->Rows().empty() ? 0 : section_->Rows().back());
    currentChannel_ = signal_->GetMaxChannel();
    AfterChannelChange();
}

void TfmSeismogram::NextChannel() {
    if (!signal_) return;
    if (SectionShown()) return SectionChannel(section_->ChannelAfter(1));
    currentChannel_ = std::min(currentChannel_ + 1, signal_->GetMaxChannel());
    AfterChannelChange();
}

void TfmSeismogram::PreviousChannel() {
    if (!signal_) return;
    if (SectionShown()) return SectionChannel(section_->ChannelAfter(-1));
    currentChannel_ = std::max(currentChannel_ - 1, 0);
    if (currentChannel_ < signal_->GetMinChannel()) currentChannel_ = signal_->GetMinChannel();
    AfterChannelChange();
}

// ------------------------------------------------------------------ the time window

void TfmSeismogram::MoveTimeWindow(MoveMode mode) {
    const Settings& settings = owner_.Preferences().Values();
    const MoveSteps steps{settings.RelativeDisplacement, settings.WindowStep / 1000.0};
    if (SectionShown()) {
        TimeWindow window = section_->Window();
        dyma::MoveTimeWindow(window, mode, steps, window.VisibleWidth);
        section_->SetTimeWindow(window.WindowStart, window.End());
        return;
    }
    const TQuaAxis& axis = graph_->AxisBottom();
    dyma::MoveTimeWindow(window_, mode, steps, axis.MaxValue() - axis.MinValue());
    SetTimeWindow(window_.WindowStart, window_.End());
}

void TfmSeismogram::SetTimeWindow(double start, double end) {
    if (start == end) return;
    if (start > end) std::swap(start, end);
    window_.WindowStart = start;
    window_.VisibleWidth = end - start;
    ApplyTimeAxis();
    ShowChannel();
}

void TfmSeismogram::ZoomIn() {
    if (SectionShown()) {
        TimeWindow window = section_->Window();
        dyma::ZoomIn(window, TimeSelection{});
        section_->SetTimeWindow(window.WindowStart, window.End());
        return;
    }
    dyma::ZoomIn(window_, selection_);
    ClearSelection();
    SetTimeWindow(window_.WindowStart, window_.End());
}

void TfmSeismogram::ZoomOut() {
    if (SectionShown()) {
        TimeWindow window = section_->Window();
        dyma::ZoomOut(window);
        section_->SetTimeWindow(window.WindowStart, window.End());
        return;
    }
    dyma::ZoomOut(window_);
    ClearSelection();
    SetTimeWindow(window_.WindowStart, window_.End());
}

void TfmSeismogram::ScaleVertical(double delta) {
    // The section's gain grows as the trace's scale shrinks: a stretch
    // (a negative delta) makes the traces taller there too.
    if (SectionShown()) return section_->SetGain(1.0 / dyma::ScaleVertical(1.0 / section_->Gain(), delta));
    // Cancelling the stretch (and a new channel) gives the whole channel's
    // amplitude back.
    if (delta == 0) fitVisible_ = false;
    verticalScale_ = dyma::ScaleVertical(verticalScale_, delta);
    ApplyVerticalAxis();
    UpdateChannelInfo();
}

// ------------------------------------------------------------------ mouse

double TfmSeismogram::MouseTime(int x) const {
    if (graph_->PlotWidth() == 0) return graph_->MouseValueX();
    return graph_->InvertTransformX(x - int(graph_->PlotLeft()));
}

void TfmSeismogram::MouseDown(int button, unsigned shift, int x) {
    const double t = MouseTime(x);
    switch (TMouseButton(button)) {
    case TMouseButton::mbLeft:
        // A click near the suggestion takes it, at its own time.
        if (NearSuggestion(x)) AcceptSuggestion();
        else PlacePick(t);
        break;
    case TMouseButton::mbRight:
        selection_.RightClick(t);
        ShowChannel();
        break;
    case TMouseButton::mbMiddle:
        if (shift & ssShift) ZoomOut();
        else ZoomIn();
        break;
    }
}

void TfmSeismogram::MouseMove(int x) {
    mouseX_ = x;
    const double t = MouseTime(x);
    const double rate = signal_->GetSamplingRate(0);
    const double position = rate * t;
    // The value as drawn: through the filter when the view is filtered.
    double v = 0;
    if (position >= 0 && position <= signal_->GetChannelLength(0)) {
        const int i = int(std::trunc(position));
        if (!filtered_) v = signal_->GetSample(currentChannel_, i);
        else if (const std::vector<double>& view = ViewSamples(); i < int(view.size())) v = view[size_t(i)];
    }
    const char sep = LocaleDecimalSeparator();
    status_[2]->setText(QStringLiteral("Czas: ") + Q(FormatFloat("0.000", t, sep)) + QStringLiteral(" Wartość: ") +
                        Q(FormatFloat("0", v, sep)));
}

// ------------------------------------------------------------------ keys

void TfmSeismogram::WatchKeys() {
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

bool TfmSeismogram::TakesKey(const QKeyEvent& e, bool inEditor) const {
    const Qt::KeyboardModifiers m = e.modifiers();
    const bool ctrl = m & Qt::ControlModifier, shift = m & Qt::ShiftModifier, alt = m & Qt::AltModifier;
    const bool keypad = m & Qt::KeypadModifier;
    const int key = e.key();
    if (alt && !ctrl && (key == Qt::Key_A || key == Qt::Key_B || key == Qt::Key_C)) return true;
    const bool plain = !ctrl && !shift;
    if (plain && (key == Qt::Key_F1 || key == Qt::Key_F9 || key == Qt::Key_F10)) return true;
    // Where the operator types, the editing keys stay with the control.
    if (inEditor) return false;
    if (PickingCommandOf(e) >= 0) return true;
    if (plain) {
        switch (key) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Home:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Insert:
        case Qt::Key_Delete: return true;
        case Qt::Key_4:
        case Qt::Key_6:
        case Qt::Key_8:
        case Qt::Key_2:
        case Qt::Key_Plus:
        case Qt::Key_Minus: return keypad;
        default: break;
        }
    }
    return (ctrl || shift) && (key == Qt::Key_Left || key == Qt::Key_Right);
}

void TfmSeismogram::HandleKey(const QKeyEvent& e) {
    const Qt::KeyboardModifiers m = e.modifiers();
    const bool ctrl = m & Qt::ControlModifier, shift = m & Qt::ShiftModifier, alt = m & Qt::AltModifier;
    const bool keypad = m & Qt::KeypadModifier;
    const int key = e.key();
    if (const int command = PickingCommandOf(e); command >= 0) {
        PickingKey(command);
        return;
    }
    const double p = owner_.Preferences().Values().MagnificationFactorY * 0.01;
    if (!ctrl && !shift) {
        switch (key) {
        case Qt::Key_PageUp: PreviousChannel(); break;
        case Qt::Key_PageDown: NextChannel(); break;
        case Qt::Key_End: LastChannel(); break;
        case Qt::Key_Home: FirstChannel(); break;
        case Qt::Key_Left: MoveTimeWindow(kSlowBackward); break;
        case Qt::Key_Right: MoveTimeWindow(kSlowForward); break;
        case Qt::Key_Up: ScaleVertical(-p); break;
        case Qt::Key_Down: ScaleVertical(p); break;
        case Qt::Key_Insert: ZoomIn(); break;
        case Qt::Key_Delete: ZoomOut(); break;
        case Qt::Key_F1: ShowPageHelp(); break;
        case Qt::Key_F9: MoveTimeWindow(kFirst5Seconds); break;
        case Qt::Key_F10: MoveTimeWindow(kFirst10Seconds); break;
        default:
            if (keypad && key == Qt::Key_4) MoveTimeWindow(kSlowBackward);
            else if (keypad && key == Qt::Key_6) MoveTimeWindow(kSlowForward);
            else if (keypad && key == Qt::Key_8) ScaleVertical(-p);
            else if (keypad && key == Qt::Key_2) ScaleVertical(p);
            else if (keypad && key == Qt::Key_Plus) ZoomIn();
            else if (keypad && key == Qt::Key_Minus) ZoomOut();
            break;
        }
    }
    if (ctrl && key == Qt::Key_Left) PreviousChannel();
    if (ctrl && key == Qt::Key_Right) NextChannel();
    if (shift && key == Qt::Key_Left) MoveTimeWindow(kFastBackward);
    if (shift && key == Qt::Key_Right) MoveTimeWindow(kFastForward);
    if (alt && !ctrl) {
        if (key == Qt::Key_C) ChooseWaveType(0);
        else if (key == Qt::Key_A) ChooseWaveType(1);
        else if (key == Qt::Key_B) ChooseWaveType(2);
    }
}

void TfmSeismogram::ShowPageHelp() {
    const int page = pages_->currentIndex();
    ApplicationHelp().ShowContext(page >= 0 && page < int(std::size(kPageHelp)) ? kPageHelp[page]
                                                                                 : help::kSeismogramWindow);
}

bool TfmSeismogram::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Leave && watched == graph_) mouseX_.reset();
    if (type == QEvent::Resize) {
        for (QTreeWidget* list : {processingList_, netInfo_})
            if (watched == list->viewport()) FitColumns(*list);
    }
    if (type == QEvent::ShortcutOverride || type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (TakesKey(*key, IsTextEditor(watched))) {
            // Claimed before the main window's shortcuts see it; handled
            // when it arrives.
            event->accept();
            if (type == QEvent::KeyPress) HandleKey(*key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace dyma::gui
