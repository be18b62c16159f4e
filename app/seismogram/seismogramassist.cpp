// TfmSeismogram: what helps the operator read an onset. The picking keys
// (polarity, marker at the mouse, removal, weight), the band-pass view, the
// suggested onset drawn as a dashed grey mark that a key or a click near it
// takes, and the short window round an onset.
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/pickchange.h"
#include "app/seismogram/signalchannels.h"
#include "app/settings/modalformpreferences.h"
#include "app/solver/solverfiles.h"
#include "app/widgets/mainwindowlink.h"
#include "app/widgets/messageboxes.h"
#include "app/widgets/qtconvert.h"
#include "common/numberformat.h"
#include "kelsig/signalprocessing.h"
#include "quactl/quagraph.h"
#include "quactl/quaseries.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QTabWidget>

#include <algorithm>
#include <cmath>

namespace dyma::gui {

using namespace quactl;

namespace {

// The suggestion is drawn dashed in the grey of the time grid, so that it
// never passes for a pick and leaves a grid line it falls on standing.
constexpr TColor kSuggestionColour = 0x808080;
// How near (control pixels) a click must be to the suggestion to take it.
constexpr int kNearSuggestionPixels = 4;
// The window round an onset: some quiet trace before it to see the level,
// the first swings after it.
constexpr double kOnsetBefore = 0.05, kOnsetAfter = 0.15;

bool SameFilter(const picking::BandPassSettings& a, const picking::BandPassSettings& b) {
    return a.order == b.order && a.lowHz == b.lowHz && a.highHz == b.highHz;
}

QString SnrText(double snr, char sep) {
    // A trace without noise has no ratio worth a number.
    if (snr >= 1000) return QStringLiteral("S/N > 999");
    return QStringLiteral("S/N ") + Q(FormatFloat("0.0", snr, sep));
}

}  // namespace

// ------------------------------------------------------------------ keys

int TfmSeismogram::PickingCommandOf(const QKeyEvent& e) const {
    if (pages_->currentIndex() != kPageSeismogram) return -1;
    const Qt::KeyboardModifiers m = e.modifiers();
    const bool ctrl = m & Qt::ControlModifier, shift = m & Qt::ShiftModifier, alt = m & Qt::AltModifier;
    const bool keypad = m & Qt::KeypadModifier;
    const int key = e.key();
    if (alt) return -1;
    // "+" of the main keyboard comes with Shift on many layouts; the
    // keypad's "+" and "-" zoom the time window.
    if (!ctrl && !keypad) {
        if (key == Qt::Key_Plus) return kPolarityPlus;
        if (key == Qt::Key_Minus) return kPolarityMinus;
    }
    if (ctrl && !shift) {
        if (key == Qt::Key_Up) return kPolarityPlus;
        if (key == Qt::Key_Down) return kPolarityMinus;
        return -1;
    }
    // The keypad's digits move and stretch the trace.
    if (ctrl || shift || keypad) return -1;
    switch (key) {
    case Qt::Key_P: return kPlaceAtMouse;
    case Qt::Key_Backspace: return kRemovePick;
    case Qt::Key_S: return kAcceptSuggestion;
    case Qt::Key_Z: return kZoomToOnset;
    case Qt::Key_F: return kToggleFilter;
    case Qt::Key_0: return kWeight100;
    default: break;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9) return kWeight10 + (key - Qt::Key_1);
    return -1;
}

void TfmSeismogram::PickingKey(int command) {
    // The picking keys act on the trace the operator looks at.
    if (!signal_ || pages_->currentIndex() != kPageSeismogram) return;
    switch (command) {
    case kPolarityPlus: SetPickPolarity("+"); break;
    case kPolarityMinus: SetPickPolarity("-"); break;
    case kPlaceAtMouse: PlacePickAtMouse(); break;
    case kRemovePick: RemovePick(); break;
    case kAcceptSuggestion: AcceptSuggestion(); break;
    case kZoomToOnset: ZoomToOnset(); break;
    case kToggleFilter: SetViewFiltered(!filtered_); break;
    default:
        if (command >= kWeight10 && command <= kWeight100) SetPickWeight(10 * (command - kWeight10 + 1));
        break;
    }
}

// ------------------------------------------------------------------ the operator's overrides

void TfmSeismogram::SetPickPolarity(const std::string& firstArrival) {
    const ChannelPick pick = ReadChannelPick(*image_, currentChannel_ + 1);
    if (!(pick.MarkerPosition > 0)) return;
    const std::string s = ChannelSectionName();
    const PickChange change(*this, QStringLiteral("Polaryzacja"), {s}, currentChannel_);
    image_->WriteString(s, "FirstArrival", firstArrival);
    SetModified(true);
    ShowChannel();
}

void TfmSeismogram::SetPickWeight(int weight) {
    const std::string s = ChannelSectionName();
    const PickChange change(*this, QStringLiteral("Waga"), {s}, currentChannel_);
    SetWeightControls(weight);
    image_->WriteFloat(s, "Wage", WeightToWage(weight), LocaleDecimalSeparator());
    SetModified(true);
    ShowChannel();
}

void TfmSeismogram::PlacePickAtMouse() {
    if (mouseX_) PlacePick(MouseTime(*mouseX_));
}

void TfmSeismogram::AskOperatorAboutPolarity() {
    polarityQuestion_ = [this](double t, const picking::FirstMotion& motion) { return AskPolarity(t, motion); };
}

std::optional<picking::Polarity> TfmSeismogram::AskPolarity(double t, const picking::FirstMotion& motion) {
    const char sep = LocaleDecimalSeparator();
    const std::string text = "Pierwsze wychylenie po markerze (" + FormatFloat("0.000", t, sep) +
                             " s) nie odróżnia się od szumu (" + S(SnrText(motion.snr, sep)) +
                             "). Jaka jest polaryzacja tego wstąpienia: „+” (w górę) czy „-” (w dół)?";
    switch (Messages().AskPolarity(text)) {
    case PolarityChoice::Plus: return picking::Polarity::Up;
    case PolarityChoice::Minus: return picking::Polarity::Down;
    case PolarityChoice::Cancel: break;
    }
    return std::nullopt;
}

QString TfmSeismogram::PickNotUsedReason() const {
    const ChannelPick pick = ReadChannelPick(*image_, currentChannel_ + 1);
    if (!(pick.MarkerPosition > 0)) return {};
    if (!signal_->GetChannelExists(currentChannel_))
        return QStringLiteral("kanał nieaktywny, plik sygnału nie ma jego próbek");
    if (!pick.Active) return QStringLiteral("odczyt wyłączony na liście odczytów");
    return {};
}

QString TfmSeismogram::PickLabel(const ChannelPick& pick) const {
    QString label = Q(pick.FirstArrival) + QStringLiteral(" ") + Q(ToUpperAscii(pick.WaveType));
    // A reversed sensor: the solver gets the other sign.
    if (pick.Polarity != 1)
        label += QStringLiteral(" (odwr. → ") +
                 Q(SolverPolarity(pick.FirstArrival, pick.Polarity, reversePolarization_->isChecked())) +
                 QStringLiteral(")");
    if (const QString reason = PickNotUsedReason(); !reason.isEmpty())
        label += QStringLiteral("|nie pójdzie do obliczeń: ") + reason;
    return label;
}

// ------------------------------------------------------------------ the view

picking::BandPassSettings TfmSeismogram::ViewFilterSettings() const {
    return owner_.Preferences().Values().ViewFilter;
}

const std::vector<double>& TfmSeismogram::ViewSamples() {
    const picking::BandPassSettings filter = ViewFilterSettings();
    const double rate = signal_->GetSamplingRate(0);
    if (filtered_) {
        // The preferences may have changed since the filter was switched on.
        if (const std::string problem = picking::BandPassProblem(filter, rate); !problem.empty()) {
            filtered_ = false;
            filterButton_->setChecked(false);
            if (IsActiveSeismogram() && owner_.Picking().filter) owner_.Picking().filter->setChecked(false);
            ShowWarning(Q(problem));
        }
    }
    if (view_.channel == currentChannel_ && view_.filtered == filtered_ &&
        (!filtered_ || SameFilter(view_.filter, filter)))
        return view_.samples;
    std::vector<double> raw = ReadChannelSamples(*signal_, currentChannel_);
    view_.samples = filtered_ ? picking::ViewTrace(raw, rate, &filter) : std::move(raw);
    view_.channel = currentChannel_;
    view_.filtered = filtered_;
    view_.filter = filter;
    return view_.samples;
}

bool TfmSeismogram::SetViewFiltered(bool on) {
    if (on) {
        const std::string problem = picking::BandPassProblem(ViewFilterSettings(), signal_->GetSamplingRate(0));
        if (!problem.empty()) {
            ShowWarning(Q(problem));
            on = false;
        }
    }
    filtered_ = on;
    filterButton_->setChecked(on);
    if (IsActiveSeismogram() && owner_.Picking().filter) owner_.Picking().filter->setChecked(on);
    ShowChannel();
    // The filtered trace has amplitudes of its own.
    ApplyVerticalAxis();
    return filtered_;
}

// ------------------------------------------------------------------ suggestions

const picking::OnsetSuggestion& TfmSeismogram::Suggestion() { return SuggestionFor(currentChannel_); }

const picking::OnsetSuggestion& TfmSeismogram::SuggestionFor(int channel) {
    auto it = suggestions_.find(channel);
    if (it == suggestions_.end()) {
        picking::OnsetSuggestion suggestion;
        if (signal_->GetChannelExists(channel))
            suggestion = picking::SuggestOnset(ReadChannelSamples(*signal_, channel), signal_->GetSamplingRate(0));
        it = suggestions_.emplace(channel, suggestion).first;
    }
    return it->second;
}

bool TfmSeismogram::SuggestionTaken(int channel, const picking::OnsetSuggestion& suggestion) const {
    const ChannelPick pick = ReadChannelPick(*image_, channel + 1);
    return pick.MarkerPosition > 0 && std::abs(pick.MarkerPosition - suggestion.time) * signal_->GetSamplingRate(0) < 0.5;
}

void TfmSeismogram::AddSuggestionMarks() {
    const picking::OnsetSuggestion& suggestion = Suggestion();
    if (!suggestion.found) return;
    // Once taken, the pick's own mark says it all.
    if (SuggestionTaken(currentChannel_, suggestion)) return;
    const Settings& settings = owner_.Preferences().Values();
    auto mark = std::make_unique<TQuaMarkerSeries>(QStringLiteral("Suggestion"), 2, settings.GraphColor,
                                                    kSuggestionColour);
    mark->LinePenStyle = psDash;
    // Below the pick's label, so that both stay readable when they meet.
    const QString label = QStringLiteral("sugestia ") + QString::fromLatin1(PolarityText(suggestion.motion.polarity)) +
                          QStringLiteral("  ") + SnrText(suggestion.motion.snr, LocaleDecimalSeparator());
    mark->AddPoint(label, kSuggestionColour, suggestion.time, 1, 0);
    graph_->AddSeries(std::move(mark));
}

bool TfmSeismogram::NearSuggestion(int x) {
    if (!signal_) return false;
    const picking::OnsetSuggestion& suggestion = Suggestion();
    if (!suggestion.found || graph_->PlotWidth() == 0) return false;
    const int column = int(graph_->PlotLeft()) + graph_->TransferX(suggestion.time);
    return std::abs(x - column) <= kNearSuggestionPixels;
}

bool TfmSeismogram::AcceptSuggestion() {
    const picking::OnsetSuggestion suggestion = Suggestion();
    if (!suggestion.found) return false;
    // An uncertain one goes the way of a click: the operator is asked.
    if (suggestion.motion.polarity == picking::Polarity::Uncertain) return PlacePick(suggestion.time);
    PlacePickWithPolarity(suggestion.time, suggestion.motion.polarity);
    return true;
}

bool TfmSeismogram::ZoomToOnset() {
    const ChannelPick pick = ReadChannelPick(*image_, currentChannel_ + 1);
    double onset = pick.MarkerPosition;
    if (!(onset > 0)) {
        const picking::OnsetSuggestion& suggestion = Suggestion();
        if (!suggestion.found) return false;
        onset = suggestion.time;
    }
    ClearSelection();
    verticalScale_ = 1.0;
    fitVisible_ = true;
    SetTimeWindow(std::max(0.0, onset - kOnsetBefore), std::min(window_.RecordLength, onset + kOnsetAfter));
    return true;
}

}  // namespace dyma::gui
