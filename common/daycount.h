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
CivilDateTime DecodeDateTime(double dayCount);

}  // namespace dyma
