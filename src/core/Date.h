#pragma once
// Calendar date as the shop's data has always stored it: a serial of days
// since 30 December 1899, the fraction being the time of day (unused by the
// program, but kept as read). Serial 0 is the "zero date" of a cleared slip.

#include <QString>
#include <cstdint>

class QDate;

class Date {
public:
    constexpr Date() = default;
    static constexpr Date fromSerial(double serial) { return Date(serial); }
    // Builds a date with carry into the next unit: month 13 is January of the
    // next year, month 0 December of the year before, day 0 the last day of
    // the month before, 2001/02/31 is 3 March 2001.
    static Date fromParts(int year, int month, int day);
    static Date fromQDate(const QDate& date);
    static Date today();

    constexpr double serial() const { return serial_; }
    // Whole day number (days since 30 December 1899), the unit of every
    // date comparison in SQL.
    std::int64_t dayNumber() const;
    bool isZero() const { return serial_ == 0.0; }

    int year() const;
    int month() const;
    int day() const;
    QDate toQDate() const;
    Date addDays(int days) const { return Date(serial_ + days); }

    // Short date form as screens show it: 2001/02/16.
    QString toShortString() const;

    friend constexpr bool operator==(Date a, Date b) = default;
    friend constexpr auto operator<=>(Date a, Date b) = default;

private:
    explicit constexpr Date(double serial) : serial_(serial) {}
    double serial_ = 0.0;
};
