// One change of the picks as the history records it (TfmSeismogram's own
// helper): the sections it may touch are copied when it starts and again
// when it ends, and a change that changed something becomes one step that
// Cofnij and Ponów take back and bring again.
#pragma once

#include "app/seismogram/childformseismogram.h"

#include <QString>

#include <string>
#include <vector>

namespace dyma::gui {

class TfmSeismogram::PickChange {
public:
    // `channel` is the channel the change is shown on when it is taken back
    // (-1: the current one stays). `absorbsNext`: the next change of the
    // same sections joins this one (the weight written before an up-down
    // step and the step itself are one change for the operator).
    PickChange(TfmSeismogram& window, QString text, const std::vector<std::string>& sections, int channel,
               bool absorbsNext = false);
    ~PickChange();
    PickChange(const PickChange&) = delete;
    PickChange& operator=(const PickChange&) = delete;

private:
    TfmSeismogram& window_;
    bool outermost_;
    QString text_;
    int channel_;
    bool absorbsNext_;
    std::vector<IniImage::SectionCopy> before_;
};

}  // namespace dyma::gui
