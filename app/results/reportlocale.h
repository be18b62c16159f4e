// The regional formats of the text report and the printout, taken from the
// system locale: the decimal separator, the short date, the long time (the
// time zone left out, as the operator's clock shows it) and the current
// moment for the creation stamp.
#pragma once

#include "app/results/textreport.h"

namespace dyma::gui {

ReportLocale SystemReportLocale();

}  // namespace dyma::gui
