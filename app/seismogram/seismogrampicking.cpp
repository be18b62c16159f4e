// TfmSeismogram: picks on the trace, wave type and weight (kept in step with
// the main window's picking bar), and the pick list.
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/pickchange.h"
#include "app/settings/modalformpreferences.h"
#include "app/seismogram/signalchannels.h"
#include "app/solver/solverfiles.h"
#include "app/widgets/mainwindowlink.h"
#include "app/widgets/qtconvert.h"
#include "app/widgets/wagespinbox.h"
#include "common/numberformat.h"
#include "kelsig/signalprocessing.h"

#include <QAction>
#include <QLabel>
#include <QCheckBox>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <cmath>

namespace dyma::gui {

namespace {

int TagOfLetter(const std::string& letter) {
    for (int tag = 0; tag < 3; ++tag)
        if (letter == wave::FromTag(tag)) return tag;
    return -1;
}

}  // namespace

std::string TfmSeismogram::ChannelSectionName() const { return ChannelSection(currentChannel_ + 1); }

double TfmSeismogram::WageValue() const { return wage_->value() * 0.01; }

bool TfmSeismogram::IsActiveSeismogram() const {
    return owner_.ActiveSeismogram() == static_cast<const SeismogramChild*>(this);
}

// ------------------------------------------------------------------ the two picking bars

void TfmSeismogram::SetWeightControls(int weight) {
    // Set by the window, not typed: no weight change follows.
    const QSignalBlocker ours(wage_);
    wage_->setValue(weight);
    if (!IsActiveSeismogram()) return;
    TWageSpinBox* main = owner_.Picking().Wage;
    const QSignalBlocker theirs(main);
    main->setValue(weight);
}

void TfmSeismogram::ShowWaveType(const std::string& letter) {
    currentWaveType_->setText(Q(letter));
    const int tag = TagOfLetter(letter);
    if (tag >= 0) waveButtons_[tag]->setChecked(true);
    if (!IsActiveSeismogram()) return;
    PickingBar& bar = owner_.Picking();
    bar.CurrentWaveType->setText(Q(letter));
    if (tag < 0) return;
    bar.waveButtons[tag]->setChecked(true);
    bar.waveMenuItems[tag]->setChecked(true);
}

void TfmSeismogram::SyncMainPickingBar() {
    // The main window's bar shows the window the operator works in.
    SetWeightControls(wage_->value());
    ShowWaveType(S(currentWaveType_->text()));
    if (QAction* filter = owner_.Picking().filter) filter->setChecked(filtered_);
    UpdateChannelInfo();
}

// ------------------------------------------------------------------ picks

std::vector<double> TfmSeismogram::PolarityTrace(int channel) const {
    // The operator reads the first motion off the trace as shown: through
    // the view's causal filter when it is on.
    std::vector<double> raw = ReadChannelSamples(*signal_, channel);
    if (!filtered_) return raw;
    const picking::BandPassSettings filter = ViewFilterSettings();
    if (!picking::BandPassProblem(filter, signal_->GetSamplingRate(0)).empty()) return raw;
    return picking::ViewTrace(raw, signal_->GetSamplingRate(0), &filter);
}

picking::FirstMotion TfmSeismogram::FirstMotionAt(double t) const {
    return picking::ReadFirstMotion(PolarityTrace(currentChannel_), signal_->GetSamplingRate(0), t);
}

bool TfmSeismogram::PlacePick(double t) {
    if (!(t > 0)) return false;
    const picking::FirstMotion motion = FirstMotionAt(t);
    picking::Polarity polarity = motion.polarity;
    if (polarity == picking::Polarity::Uncertain) {
        const std::optional<picking::Polarity> chosen =
            polarityQuestion_ ? polarityQuestion_(t, motion) : std::optional<picking::Polarity>();
        if (!chosen || *chosen == picking::Polarity::Uncertain) return false;
        polarity = *chosen;
    }
    PlacePickWithPolarity(t, polarity);
    return true;
}

void TfmSeismogram::PlacePickWithPolarity(double t, picking::Polarity polarity) {
    if (!(t > 0) || polarity == picking::Polarity::Uncertain) return;
    const PickChange change(*this, QStringLiteral("Marker"), {ChannelSectionName()}, currentChannel_);
    const Kelo::StationInfo* station = signal_->GetStationInfo(currentChannel_);
    const char sep = LocaleDecimalSeparator();
    const std::string s = ChannelSectionName();
    image_->WriteFloat(s, "MarkerPosition", t, sep);
    image_->WriteString(s, "FirstArrival", picking::PolarityText(polarity));
    image_->WriteString(s, "WaveType", S(currentWaveType_->text()));
    image_->WriteInteger(s, "Ident", currentChannel_ + 1);
    image_->WriteString(s, "Name", std::to_string(station->Number));
    image_->WriteString(s, "Skladowa", station->Component);
    image_->WriteFloat(s, "Wage", WageValue(), sep);
    SetModified(true);
    ShowChannel();
}

void TfmSeismogram::BWaveClick(QObject* sender) {
    if (sender) ChooseWaveType(sender->property("tag").toInt());
}

void TfmSeismogram::ChooseWaveType(int tag) {
    if (tag < 0 || tag > 2) return;
    const Settings& settings = owner_.Preferences().Values();
    const int weights[] = {settings.WageD, settings.WageA, settings.WageB};
    const int weight = weights[tag];
    const std::string letter = wave::FromTag(tag);
    const PickChange change(*this, QStringLiteral("Typ fali"), {ChannelSectionName()}, currentChannel_);
    SetWeightControls(weight);
    ShowWaveType(letter);
    SetModified(true);
    const std::string s = ChannelSectionName();
    image_->WriteString(s, "WaveType", letter);
    image_->WriteFloat(s, "Wage", WeightToWage(weight), LocaleDecimalSeparator());
    ShowChannel();
}

void TfmSeismogram::WageChange(QObject* sender) {
    auto* edit = qobject_cast<QSpinBox*>(sender);
    // A weight still being typed in the main window's edit waits until it
    // is a whole weight.
    if (!edit || !edit->hasAcceptableInput()) return;
    const PickChange change(*this, QStringLiteral("Waga"), {ChannelSectionName()}, currentChannel_);
    SetModified(true);
    image_->WriteFloat(ChannelSectionName(), "Wage", WeightToWage(edit->value()), LocaleDecimalSeparator());
    ShowChannel();
}

void TfmSeismogram::WageControllerChanging(bool& allowChange) {
    // The weight before the step, with the wave type shown; the step
    // itself follows as a weight change.
    const std::string s = ChannelSectionName();
    const PickChange change(*this, QStringLiteral("Waga"), {s}, currentChannel_, true);
    image_->WriteString(s, "WaveType", S(currentWaveType_->text()));
    image_->WriteFloat(s, "Wage", WageValue(), LocaleDecimalSeparator());
    allowChange = true;
}

void TfmSeismogram::bRemoveMarkerClick(QObject*) { RemovePick(); }

void TfmSeismogram::RemovePick() {
    const PickChange change(*this, QStringLiteral("Usunięcie markera"), {ChannelSectionName()}, currentChannel_);
    image_->EraseSection(ChannelSectionName());
    ShowChannel();
    SetModified(true);
}

// ------------------------------------------------------------------ the pick list

void TfmSeismogram::RefreshPickList() {
    if (!signal_) return;
    filling_ = true;
    processingList_->clear();
    readyToProcess_ = false;
    pickRows_ = BuildPickRows(*image_, channels_);
    const DataPageValues tremor = TremorPosition();
    const char sep = LocaleDecimalSeparator();
    for (const PickRow& row : pickRows_) {
        const PickListCells cells = PickListRow(row, channels_[size_t(row.Ident - 1)], tremor, sep);
        auto* item = new QTreeWidgetItem(processingList_);
        for (int c = 0; c < int(cells.cells.size()); ++c) item->setText(c, Q(cells.cells[size_t(c)]));
        // A reversed sensor: the solver gets the other sign.
        const int polarity = int(image_->ReadInteger(ChannelSection(row.Ident), "Polarity", 1));
        if (polarity != 1)
            item->setText(5, Q(row.FirstArrival) + QStringLiteral(" (odwr. → ") +
                                 Q(SolverPolarity(row.FirstArrival, polarity, reversePolarization_->isChecked())) +
                                 QStringLiteral(")"));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, cells.checked ? Qt::Checked : Qt::Unchecked);
        owner_.SetRefreshToolbars();
    }
    readyToProcess_ = ReadyAfterRefresh(pickRows_);
    filling_ = false;
    // New rows may need wider columns.
    FitColumns();
}

void TfmSeismogram::PickListClick() {
    const PickChange change(*this, QStringLiteral("Lista odczytów"), PickListSections(), -1);
    int checked = 0;
    for (int i = 0; i < processingList_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = processingList_->topLevelItem(i);
        const bool active = item->checkState(0) == Qt::Checked;
        const int ident = int(StrToInt(S(item->text(2))));
        image_->WriteBool(ChannelSection(ident), "Active", active);
        if (size_t(i) < pickRows_.size()) pickRows_[size_t(i)].Active = active;
        checked += active ? 1 : 0;
    }
    SetModified(true);
    readyToProcess_ = ReadyAfterClick(checked);
}

}  // namespace dyma::gui
