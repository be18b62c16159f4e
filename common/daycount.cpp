#include "daycount.h"

#include <cmath>

namespace dyma {
namespace {

// Days from 0000-03-01 style civil algorithm (H. Hinnant), relative to 1970.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

const long long kEpochOffset = DaysFromCivil(1899, 12, 30);

}  // namespace

double EncodeDate(int year, int month, int day) {
    long long y = year;
    long long m = month;
    // normalise months so that arithmetic over the year boundary works
    y += (m - 1) / 12;
    m = (m - 1) % 12 + 1;
    if (m <= 0) {
        m += 12;
        --y;
    }
    return static_cast<double>(DaysFromCivil(y, static_cast<unsigned>(m), 1) + (day - 1) - kEpochOffset);
}

double EncodeTime(int hour, int minute, int second, int millisecond) {
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / 86400000.0;
}

CivilDateTime DecodeDateTime(double dayCount) {
    CivilDateTime out;
    // 1e11 days in milliseconds still fit a 64-bit integer.
    if (!(std::fabs(dayCount) < 1e11)) return out;
    long long ms = std::llround(dayCount * 86400000.0);
    long long days = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
    long long msOfDay = ms - days * 86400000;
    CivilFromDays(days + kEpochOffset, out.year, out.month, out.day);
    out.hour = static_cast<int>(msOfDay / 3600000);
    out.minute = static_cast<int>(msOfDay / 60000 % 60);
    out.second = static_cast<int>(msOfDay / 1000 % 60);
    out.millisecond = static_cast<int>(msOfDay % 1000);
    return out;
}

bool IsShownDate(double dayCount) {
    static const double first = EncodeDate(1900, 1, 1);
    static const double afterLast = EncodeDate(2101, 1, 1);
    return dayCount >= first && dayCount < afterLast;
}

bool IsShownTime(double dayFraction) { return dayFraction >= 0.0 && dayFraction < 1.0; }

}  // namespace dyma
