// The page "Wszystkie kanały" of the seismogram window: the record section.
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/recordsectionview.h"
#include "app/settings/modalformpreferences.h"
#include "app/widgets/mainwindowlink.h"
#include "app/widgets/qtconvert.h"
#include "common/numberformat.h"
#include "kelsig/signalprocessing.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

namespace dyma::gui {

QWidget* TfmSeismogram::BuildSectionPage() {
    auto* page = new QWidget;
    page->setObjectName("tabKanaly");
    auto* bar = new QToolBar(page);
    bar->setObjectName("SectionBar");
    auto* caption = new QLabel(QStringLiteral("Kolejność: "), bar);
    bar->addWidget(caption);
    sectionOrder_ = new QComboBox(bar);
    sectionOrder_->setObjectName("SectionOrder");
    sectionOrder_->addItem(QStringLiteral("według odległości od wstrząsu"));
    sectionOrder_->addItem(QStringLiteral("według numeru kanału"));
    bar->addWidget(sectionOrder_);
    section_ = new TRecordSection(page);
    connect(sectionOrder_, &QComboBox::currentIndexChanged, this, [this](int index) {
        section_->SetOrder(index == 1 ? SectionOrder::Channel : SectionOrder::Distance);
    });
    section_->OnChannelClicked = [this](int channel) { SectionChannel(channel); };
    // A double click goes to the channel's trace for picking.
    section_->OnChannelOpened = [this](int channel) {
        SectionChannel(channel);
        pages_->setCurrentIndex(kPageSeismogram);
    };
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(section_, 1);
    return page;
}

bool TfmSeismogram::SectionShown() const { return section_ && pages_->currentIndex() == kPageSection; }

void TfmSeismogram::SectionChannel(int channel) {
    if (channel < 0 || !signal_) return;
    currentChannel_ = channel;
    section_->SetCurrentChannel(channel);
    // The picking page is ready on that channel as the channel keys leave
    // it there, its vertical scale reset.
    ClearSelection();
    ShowChannel();
    verticalScale_ = dyma::ScaleVertical(verticalScale_, 0.0);
    ApplyVerticalAxis();
    UpdateChannelInfo();
}

void TfmSeismogram::LoadSectionSamples() {
    // A copy of every channel in single precision: the section redraws all
    // of them at once, which the sample table (one row in memory at a time)
    // cannot serve quickly; single precision holds every value of the
    // district's 16-bit and miniSEED integer records.
    std::vector<std::vector<float>> samples;
    const int count = signal_->GetChannelCount();
    const int length = signal_->GetChannelLength(0);
    samples.resize(size_t(std::max(count, 0)));
    for (int c = 0; c < count; ++c) {
        std::vector<float>& row = samples[size_t(c)];
        row.resize(size_t(std::max(length, 0)));
        const double* block = signal_->GetSampleBlockAddress(c, 0);
        for (int i = 0; i < length; ++i) row[size_t(i)] = float(block ? block[i] : signal_->GetSample(c, i));
    }
    section_->SetSamples(std::move(samples), signal_->GetSamplingRate(0));
    sectionLoaded_ = true;
}

void TfmSeismogram::RefreshSection() {
    if (!signal_) return;
    if (!sectionLoaded_) LoadSectionSamples();
    const double x = DataNumber("X"), y = DataNumber("Y"), z = DataNumber("Z");
    std::vector<SectionMarks> marks;
    for (int c = 0; c < int(channels_.size()); ++c) {
        const ChannelFacts& facts = channels_[size_t(c)];
        SectionMarks m;
        m.label = FormatInt(c + 1, 2) + " " + facts.Name + " " + facts.Component;
        m.distance = Distance(x, y, z, facts.X, facts.Y, facts.Z);
        m.exists = facts.Exists;
        const std::string section = ChannelSection(c + 1);
        m.reversed = image_->ReadInteger(section, "Polarity", 1) != 1;
        const ChannelPick pick = ReadChannelPick(*image_, c + 1);
        m.marker = pick.MarkerPosition;
        m.firstArrival = pick.FirstArrival;
        m.waveType = ToUpperAscii(pick.WaveType);
        m.active = pick.Active && pick.IsComplete();
        marks.push_back(std::move(m));
    }
    section_->SetTraceColour(ToQColor(owner_.Preferences().Values().PlotColor));
    section_->SetChannels(channels_, std::move(marks), x, y, z);
    // The picker's onsets where the operator has not taken them yet: the
    // rows show at a glance which channels still wait for a pick.
    std::vector<std::optional<SuggestedOnset>> suggested(channels_.size());
    for (int c = 0; c < int(channels_.size()); ++c) {
        if (!channels_[size_t(c)].Exists) continue;
        const picking::OnsetSuggestion& s = SuggestionFor(c);
        if (!s.found || SuggestionTaken(c, s)) continue;
        const int polarity = s.motion.polarity == picking::Polarity::Up     ? 1
                             : s.motion.polarity == picking::Polarity::Down ? -1
                                                                           : 0;
        suggested[size_t(c)] = SuggestedOnset{s.time, polarity};
    }
    section_->SetSuggestions(std::move(suggested));
    section_->SetCurrentChannel(currentChannel_);
}

}  // namespace dyma::gui
