#include "core/Date.h"

#include <QDate>
#include <cmath>

namespace {

// Day 0 of the serial (1899-12-30) as a Julian day number, as QDate counts.
constexpr std::int64_t JulianDayOfSerialZero = 2415019;
// 1970-01-01, the origin of the civil-day arithmetic below, as a serial.
constexpr std::int64_t SerialOfEpoch = 25569;

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Proleptic Gregorian calendar, days relative to 1970-01-01. Done by hand
// rather than through QDate, which has no year 0 and so would put any carry
// across it one year off.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = floorDiv(y, 400);
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    int month;
    int day;
};

Civil civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const int d = int(doy - (153 * mp + 2) / 5 + 1);
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    return {std::int64_t(yoe) + era * 400 + (m <= 2), m, d};
}

Civil civilOf(const Date& date)
{
    return civilFromDays(date.dayNumber() - SerialOfEpoch);
}

} // namespace

Date Date::fromParts(int year, int month, int day)
{
    // Carry months into years first, then days are plain offsets from the 1st
    // of that month, which gives day 0 = last day of the month before and
    // 2001/02/31 = 3 March.
    const std::int64_t months = std::int64_t(year) * 12 + (month - 1);
    const std::int64_t y = floorDiv(months, 12);
    const unsigned m = unsigned(months - y * 12) + 1;
    const std::int64_t first = daysFromCivil(y, m, 1);
    return Date(double(first + SerialOfEpoch + (std::int64_t(day) - 1)));
}

Date Date::fromQDate(const QDate& date)
{
    if (!date.isValid())
        return Date();
    return Date(double(date.toJulianDay() - JulianDayOfSerialZero));
}

Date Date::today()
{
    return fromQDate(QDate::currentDate());
}

std::int64_t Date::dayNumber() const
{
    return std::int64_t(std::floor(serial_));
}

int Date::year() const
{
    return int(civilOf(*this).year);
}

int Date::month() const
{
    return civilOf(*this).month;
}

int Date::day() const
{
    return civilOf(*this).day;
}

QDate Date::toQDate() const
{
    return QDate::fromJulianDay(dayNumber() + JulianDayOfSerialZero);
}

QString Date::toShortString() const
{
    const Civil c = civilOf(*this);
    return QString::asprintf("%04lld/%02d/%02d", static_cast<long long>(c.year), c.month, c.day);
}
