#pragma once
// What the three delivery forecasts (rice, kerosene, LP gas) share: the rows
// of the work table 配達予定, the forecast period, the constant month lengths
// and the month profile they learn from a customer's history.
//
// Each forecast keeps its month profile in its own local value. The session's
// days-per-month table is never used as work space: clearing it there would
// also clear the month lengths, after which the walks would give up at once
// or never end.

#include "core/Currency.h"
#include "core/Date.h"

#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <array>
#include <cstdint>
#include <vector>

class Database;

// One row of 配達予定.
struct DeliveryRow {
    Date date;           // 配達年月日
    QString name;        // 配達顧客名, with its leading "*" marks
    QString phone;       // 配達顧客電話
    QString productName; // 配達商品名
    Currency quantity;   // 配達商品個数

    friend bool operator==(const DeliveryRow&, const DeliveryRow&) = default;
};

// The chosen period: the dates of the "から" and "まで" boxes. Each forecast
// says whether its ends are included.
struct ForecastPeriod {
    Date from;
    Date to;
};

namespace forecast {

// Days of the months 1..12, February always 28 (index 0 unused).
inline constexpr std::array<int, 13> MonthLength = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// A product name as 配達商品名 holds it: cut or padded with blanks to 24
// characters.
QString productNameField(const QString& name);

// Year, month and day of a date in one conversion.
struct Civil {
    int year = 0;
    int month = 0;
    int day = 0;
};
Civil civil(const Date& date);

// Consumption by calendar month, learnt from the intervals between a
// customer's deliveries or readings. Index 0 is all months together.
struct MonthProfile {
    std::array<float, 13> days{};  // days of the intervals in the month
    std::array<float, 13> amount{}; // rate × days, summed
    std::array<float, 13> rate{};   // amount / days; a month without one takes month 0's

    // Adds one interval, from `from` to `to`, used at `rate` per day: its
    // length to month 0, and each calendar month it touches its share: the
    // days from the start day to the month's end (the month length less the
    // day of month; 0 after the first month), and in the month of `to` the
    // days up to its day of month. A 29 February counts against 28 days,
    // so that month gets one day less (a negative share when the interval
    // starts on it).
    void addInterval(const Date& from, const Date& to, float rate);
    // Computes the rates: amount / days for every month with days, then
    // month 0's rate for every month 1..12 whose rate is 0.
    void finish();
};

// A statement prepared once and run once per customer with new values.
// A refused statement throws DatabaseError.
QSqlQuery prepareQuery(Database& db, const QString& sql);
void runQuery(QSqlQuery& query, const QVariantList& params);

// Every row of a statement, read to the end before the caller runs its
// statements per row: a server connection carries the rows of one
// statement at a time, and a second one would discard the first one's rest.
std::vector<QVariantList> readAll(Database& db, const QString& sql);

} // namespace forecast

// Replaces the whole content of 配達予定 by `rows`, in the given order, in
// one transaction on the given connection: either all of them are there
// afterwards or the table is as before. A grid model reading the table on
// the same connection must be cleared first.
void replaceDeliverySchedule(Database& db, const std::vector<DeliveryRow>& rows);
// "Delete from 配達予定".
void clearDeliverySchedule(Database& db);
// The rows of 配達予定 by date, rows of one date in the order written.
std::vector<DeliveryRow> readDeliverySchedule(Database& db);
