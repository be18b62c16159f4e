// Dates and times as day counts: whole days since 30 December 1899, the
// fraction of the day being the time. Project files, signal headers and
// reports all store them this way.
#pragma once

namespace dyma {

struct CivilDateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Proleptic Gregorian calendar. Out-of-range fields are not rejected: the
// count follows the arithmetic (month 13 is January of the next year).
double EncodeDate(int year, int month, int day);
double EncodeTime(int hour, int minute, int second, int millisecond);

// Rounds to the nearest millisecond first, so 0.5 days is exactly 12:00:00.000.
// A count that is no number or lies beyond a few hundred million years gives
// the default (day 0) instead of overflowing.
CivilDateTime DecodeDateTime(double dayCount);

// The dates and times a document may show: days from 1900-01-01 to
// 2100-12-31, times of day from 0 up to one day. A value outside (a damaged
// or foreign project file, a signal header of zeros) is shown as absent and
// never turned into a calendar date.
bool IsShownDate(double dayCount);
bool IsShownTime(double dayFraction);

}  // namespace dyma
