#include "reportlocale.h"

#include "app/widgets/qtconvert.h"
#include "common/daycount.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace dyma::gui {

namespace {

QDateTime FromDayCount(double dayCount) {
    const CivilDateTime t = DecodeDateTime(dayCount);
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second, t.millisecond));
}

// The long time format without its time-zone field: the report's times are
// local times of the mine, not of the machine that prints them.
QString LongTimeFormat(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return format.trimmed();
}

}  // namespace

ReportLocale SystemReportLocale() {
    const QLocale locale = QLocale::system();
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    const QString timeFormat = LongTimeFormat(locale);
    ReportLocale out;
    out.decimalSeparator = LocaleDecimalSeparator();
    out.date = [locale, dateFormat](double d) { return S(locale.toString(FromDayCount(d).date(), dateFormat)); };
    out.time = [locale, timeFormat](double d) { return S(locale.toString(FromDayCount(d).time(), timeFormat)); };
    out.dateTime = [locale, dateFormat, timeFormat](double d) {
        const QDateTime t = FromDayCount(d);
        return S(locale.toString(t.date(), dateFormat) + QLatin1Char(' ') + locale.toString(t.time(), timeFormat));
    };
    out.now = CurrentDayCount();
    return out;
}

}  // namespace dyma::gui
