// TfmSeismogram: the history of the pick changes. Every change of a pick
// (marker, polarity, wave type, weight, removal, the pick list's ticks) is a
// step of one QUndoStack that lives as long as the window. A step holds the
// channel sections it touched as they were before and after, so taking it
// back gives the document's text exactly as it was. The document counts as
// modified while the history is away from the point of the last save or
// something outside the history (the data page, the stations, a solution)
// changed since.
#include "app/seismogram/pickchange.h"
#include "app/widgets/mainwindowlink.h"
#include "app/widgets/qtconvert.h"
#include "common/numberformat.h"
#include "kelsig/signalprocessing.h"

#include <QTreeWidget>
#include <QUndoCommand>
#include <QUndoStack>

#include <utility>

namespace dyma::gui {

namespace {

constexpr int kPickChangeId = 1;

class PickUndoCommand : public QUndoCommand {
public:
    PickUndoCommand(TfmSeismogram& window, const QString& text, int channel,
                    std::vector<IniImage::SectionCopy> before, std::vector<IniImage::SectionCopy> after,
                    bool absorbsNext)
        : QUndoCommand(text),
          window_(window),
          channel_(channel),
          before_(std::move(before)),
          after_(std::move(after)),
          absorbsNext_(absorbsNext) {}

    void undo() override { window_.RestoreSections(channel_, before_); }
    void redo() override {
        // Pushed after the change was made: the first redo has nothing to do.
        if (std::exchange(pending_, false)) return;
        window_.RestoreSections(channel_, after_);
    }
    int id() const override { return kPickChangeId; }
    bool mergeWith(const QUndoCommand* other) override {
        if (!absorbsNext_) return false;
        const auto* next = static_cast<const PickUndoCommand*>(other);
        if (next->channel_ != channel_ || next->after_.size() != after_.size()) return false;
        for (size_t i = 0; i < after_.size(); ++i)
            if (!EqualsIgnoreCase(next->after_[i].name, after_[i].name)) return false;
        after_ = next->after_;
        setText(next->text());
        absorbsNext_ = false;
        return true;
    }

private:
    static bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
        return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
    }

    TfmSeismogram& window_;
    int channel_;
    std::vector<IniImage::SectionCopy> before_, after_;
    bool absorbsNext_;
    bool pending_ = true;
};

}  // namespace

TfmSeismogram::PickChange::PickChange(TfmSeismogram& window, QString text, const std::vector<std::string>& sections,
                                      int channel, bool absorbsNext)
    : window_(window),
      outermost_(window.recording_++ == 0),
      text_(std::move(text)),
      channel_(channel),
      absorbsNext_(absorbsNext) {
    if (!outermost_) return;
    for (const std::string& section : sections) before_.push_back(window_.image_->CopySection(section));
}

TfmSeismogram::PickChange::~PickChange() {
    --window_.recording_;
    if (!outermost_) return;
    std::vector<IniImage::SectionCopy> after;
    for (const IniImage::SectionCopy& copy : before_) after.push_back(window_.image_->CopySection(copy.name));
    if (after != before_)
        window_.history_->push(
            new PickUndoCommand(window_, text_, channel_, std::move(before_), std::move(after), absorbsNext_));
    // An action that rewrote what was there marks the document as it always
    // has, though it is no step to take back.
    else if (std::exchange(window_.touched_, false))
        window_.otherChanges_ = true;
    window_.touched_ = false;
    window_.UpdateModified();
}

void TfmSeismogram::RestoreSections(int channel, const std::vector<IniImage::SectionCopy>& sections) {
    for (const IniImage::SectionCopy& copy : sections) image_->RestoreSection(copy);
    if (channel >= 0 && channel != currentChannel_ && signal_ && channel <= signal_->GetMaxChannel()) {
        currentChannel_ = channel;
        AfterChannelChange();
    } else {
        ShowChannel();
    }
    RefreshPickList();
}

std::vector<std::string> TfmSeismogram::PickListSections() const {
    std::vector<std::string> sections;
    for (int i = 0; i < processingList_->topLevelItemCount(); ++i)
        sections.push_back(ChannelSection(int(StrToInt(S(processingList_->topLevelItem(i)->text(2))))));
    return sections;
}

void TfmSeismogram::Undo() { history_->undo(); }
void TfmSeismogram::Redo() { history_->redo(); }
bool TfmSeismogram::CanUndo() const { return history_->canUndo(); }
bool TfmSeismogram::CanRedo() const { return history_->canRedo(); }

void TfmSeismogram::SetModified(bool value) {
    if (!value) {
        // Saved: this point of the history is the document on disk.
        otherChanges_ = false;
        history_->setClean();
    } else if (recording_ == 0) {
        otherChanges_ = true;
    } else {
        touched_ = true;
    }
    UpdateModified();
}

void TfmSeismogram::UpdateModified() {
    modified_ = otherChanges_ || !history_->isClean();
    owner_.SetRefreshToolbars();
    UpdateFilePanel();
}

}  // namespace dyma::gui
