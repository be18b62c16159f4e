// The text report of one solution: 47 fixed lines (the printout takes its
// text blocks from fixed positions), the TAB-separated station table header
// and one line per station. Written to a file in code page 1250 with CR LF.
#pragma once

#include "app/document/tremordocument.h"

#include <functional>
#include <string>
#include <vector>

namespace dyma {

// The regional formats the report is printed with. The window part fills
// them from the system locale; an empty formatter falls back to the
// unambiguous numeric forms below, which the command-line tool uses.
struct ReportLocale {
    char decimalSeparator = ',';
    std::function<std::string(double dayCount)> date;      // short date
    std::function<std::string(double dayCount)> time;      // long time
    std::function<std::string(double dayCount)> dateTime;  // the creation stamp
    double now = 0;                                        // creation moment, day count
};

std::string NumericDate(double dayCount);      // 2024-03-01
std::string NumericTime(double dayCount);      // 07:05:09
std::string NumericDateTime(double dayCount);  // 2024-03-01 07:05:09
// Whether the record's tremor date and time are shown: a date from 1900 to
// 2100, a time within one day and not 0 (no time stored). Otherwise the
// report says "b.d." and the catalogue leaves the field empty.
bool HasEventDate(const SolutionRecord& record);
bool HasEventTime(const SolutionRecord& record);
// The current local date and time as a day count.
double CurrentDayCount();

std::vector<std::string> BuildReport(const SolutionRecord& record, const ReportLocale& locale);

// Builds the report and writes it to `fileName` (created or replaced, code
// page 1250, CR LF). False on any failure.
bool SaveReport(const SolutionRecord& record, const std::string& fileName, const ReportLocale& locale);

// The export command's two messages.
std::string ReportSaveFailedMessage(const std::string& fileName);
std::string ReportSavedMessage(const std::string& fileName);

}  // namespace dyma
