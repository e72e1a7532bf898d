#include "forecasts/GasForecast.h"

#include "db/Database.h"

#include <cmath>

namespace {

// The gas history of one customer; kind 9 rows are not part of it. Events
// of one date are replayed in the order they were stored, as the gas input
// measures usage: a meter exchanged and read again on one day must come
// before the readings of the new meter, whatever its kind code.
const QString History = QStringLiteral(
    "SELECT ガス年月日, ガスデータ種別コード, ガス検針値, ガス配送量, ガス残ガス量"
    " FROM ガスデータ WHERE ガス相手先コード = ? AND ガスデータ種別コード <> 9"
    " ORDER BY ガス年月日, rowid");

// How far past today a forecast may walk before it gives up.
constexpr std::int64_t WalkLimitDays = 10000;
// See keroseneEmptyDay: a day offset beyond this is no date to list.
constexpr float LargestDayOffset = 1000.0f;

const QString ProductName = QStringLiteral("ＬＰＧ");

float positiveOrZero(float rate)
{
    return rate > 0 ? rate : 0.0f; // a NaN is not above 0 either
}

} // namespace

forecast::MonthProfile gasMonthTable(const std::vector<GasEvent>& history, bool meterSeries)
{
    forecast::MonthProfile table;
    for (std::size_t i = 1; i < history.size(); ++i) {
        const GasEvent& before = history[i - 1];
        const GasEvent& point = history[i];
        const std::int64_t interval = point.date.dayNumber() - before.date.dayNumber();
        float rate = 0;
        if (interval != 0) {
            if (meterSeries)
                rate = 2.0f * (point.reading - before.reading) / float(interval);
            else
                rate = (point.delivered - point.leftover) / float(interval);
        }
        table.addInterval(before.date, point.date, positiveOrZero(rate));
    }
    table.finish();
    return table;
}

namespace {

// Both replays start at the customer's first event: its date and reading,
// the first cylinder full and the second in reserve.
GasState stateAtFirstEvent(const GasEvent& first, float cylinder1, float cylinder2)
{
    GasState s;
    s.lastDate = first.date;
    s.lastReading = first.reading;
    s.remaining = cylinder1;
    s.reserve = cylinder2;
    return s;
}

} // namespace

GasState gasMeterReplay(const std::vector<GasEvent>& history, float cylinder1, float cylinder2)
{
    if (history.empty())
        return GasState{};
    GasState s = stateAtFirstEvent(history.front(), cylinder1, cylinder2);
    for (std::size_t i = 1; i < history.size(); ++i) {
        const GasEvent& e = history[i];
        switch (e.kind) {
        case 1:
        case 7: // a reading: the gas used since the last one
            s.remaining = s.remaining - 2.0f * (e.reading - s.lastReading);
            s.lastDate = e.date;
            s.lastReading = e.reading;
            if (s.remaining < 0) {
                s.remaining = s.remaining + s.reserve;
                s.reserve = 0;
                if (s.remaining < 0)
                    s.remaining = 0;
            }
            break;
        case 5: // both cylinders changed for full ones
            s.lastDate = e.date;
            s.lastReading = e.reading;
            s.remaining = cylinder1;
            s.reserve = cylinder2;
            break;
        case 6: // a delivery with a reading
            s.remaining = s.remaining + e.delivered - 2.0f * (e.reading - s.lastReading);
            s.lastDate = e.date;
            s.lastReading = e.reading;
            if (s.remaining < 0) {
                s.remaining = s.remaining + s.reserve;
                if (s.remaining < 0)
                    s.remaining = 0;
                s.reserve = cylinder1;
            }
            if (s.remaining > cylinder1)
                s.remaining = cylinder1;
            break;
        case 8: // a reading that uses nothing up
            s.lastDate = e.date;
            s.lastReading = e.reading;
            break;
        default:
            break;
        }
    }
    return s;
}

GasState gasDeliveryReplay(const std::vector<GasEvent>& history, float cylinder1, float cylinder2)
{
    if (history.empty())
        return GasState{};
    GasState s = stateAtFirstEvent(history.front(), cylinder1, cylinder2);
    for (std::size_t i = 1; i < history.size(); ++i) {
        const GasEvent& e = history[i];
        if (e.kind == 5) {
            s.lastDate = e.date;
            s.remaining = cylinder1;
            s.reserve = cylinder2;
        } else if (e.kind == 6) {
            s.remaining = s.remaining + cylinder1;
        }
    }
    return s;
}

GasForecastDay gasForecastDay(const forecast::MonthProfile& table, const Date& lastDate, float remaining,
                              const Date& today)
{
    using Outcome = GasForecastDay::Outcome;
    if (remaining <= 0)
        return {Outcome::Exhausted, lastDate};

    const forecast::Civil start = forecast::civil(lastDate);
    int y = start.year;
    int m = start.month;
    int d = start.day;
    const std::int64_t limit = today.dayNumber() + WalkLimitDays;
    for (;;) {
        const float rate = table.rate[m];
        const float use = float(forecast::MonthLength[m] - d) * rate;
        if (use >= remaining) {
            const float days = remaining / rate;
            if (!std::isfinite(days) || std::fabs(days) > LargestDayOffset)
                return {Outcome::GaveUp, Date()};
            int day = int(std::floor(days)) + d;
            if (day == 0)
                day = 1;
            return {Outcome::Walked, Date::fromParts(y, m, day)};
        }
        remaining = remaining - use;
        d = 0;
        const std::int64_t lastOfMonth = Date::fromParts(y, m + 1, 0).dayNumber();
        if (++m > 12) {
            m = 1;
            ++y;
        }
        if (lastOfMonth > limit)
            return {Outcome::GaveUp, Date()};
    }
}

std::vector<DeliveryRow> forecastGasCustomer(const GasCustomer& customer, const std::vector<GasEvent>& history,
                                             const ForecastPeriod& period, const Date& today)
{
    std::vector<DeliveryRow> rows;
    const int method = customer.method;
    if (method != gasMethod::Meter && method != gasMethod::MeterTwo && method != gasMethod::Delivery)
        return rows;
    const std::size_t n = history.size();
    if (n < 2 || (n == 2 && history[0].date.dayNumber() == history[1].date.dayNumber()))
        return rows;

    const bool meter = method != gasMethod::Delivery;
    const forecast::MonthProfile table = gasMonthTable(history, meter);
    const GasState state = meter ? gasMeterReplay(history, customer.cylinder1, customer.cylinder2)
                                 : gasDeliveryReplay(history, customer.cylinder1, customer.cylinder2);

    const Currency quantity =
        std::isfinite(customer.cylinder1) ? Currency::fromDouble(double(customer.cylinder1)) : Currency();
    const std::int64_t from = period.from.dayNumber();
    const std::int64_t to = period.to.dayNumber();
    // Both forecasts of a customer walk from the same last date.
    auto forecastFrom = [&](float remaining, const QString& name) {
        const GasForecastDay f = gasForecastDay(table, state.lastDate, remaining, today);
        const bool listed = f.outcome == GasForecastDay::Outcome::Exhausted
                            || (f.outcome == GasForecastDay::Outcome::Walked && f.date.dayNumber() >= from
                                && f.date.dayNumber() <= to);
        if (listed)
            rows.push_back({f.date, name, customer.phone, ProductName, quantity});
    };

    const QString starred = QStringLiteral("*") + customer.name;
    switch (method) {
    case gasMethod::Meter:
        // Delivered while a fifth of the cylinder is still left.
        forecastFrom(float(double(state.remaining) - 0.2 * double(customer.cylinder1)), customer.name);
        break;
    case gasMethod::MeterTwo:
        forecastFrom(state.remaining, customer.name);
        forecastFrom(customer.cylinder1, starred);
        break;
    case gasMethod::Delivery:
        forecastFrom(state.remaining, customer.name);
        forecastFrom(state.reserve, starred);
        break;
    }
    return rows;
}

std::vector<DeliveryRow> forecastGas(Database& db, const ForecastPeriod& period, const Date& today)
{
    std::vector<DeliveryRow> rows;
    QSqlQuery historyQuery = forecast::prepareQuery(db, History);
    const std::vector<QVariantList> customers = forecast::readAll(db, QStringLiteral(
        "SELECT 顧客コード, 顧客名前, 顧客電話番号, 顧客ガスボンベ１, 顧客ガスボンベ２, 顧客ガスタイプ"
        " FROM 顧客マスター WHERE 顧客ガスコード <> '0' ORDER BY rowid"));
    std::vector<GasEvent> history;
    for (const QVariantList& customer : customers) {
        GasCustomer c;
        c.code = customer[0].toString();
        c.name = customer[1].toString();
        c.phone = customer[2].toString();
        c.cylinder1 = float(customer[3].toDouble());
        c.cylinder2 = float(customer[4].toDouble());
        c.method = customer[5].toInt();
        if (c.method != gasMethod::Meter && c.method != gasMethod::MeterTwo && c.method != gasMethod::Delivery)
            continue;

        history.clear();
        forecast::runQuery(historyQuery, {c.code});
        while (historyQuery.next())
            history.push_back({dateValue(historyQuery.value(0)), historyQuery.value(1).toInt(),
                               float(currencyValue(historyQuery.value(2)).toDouble()),
                               float(historyQuery.value(3).toDouble()), float(historyQuery.value(4).toDouble())});
        historyQuery.finish();

        std::vector<DeliveryRow> own = forecastGasCustomer(c, history, period, today);
        rows.insert(rows.end(), own.begin(), own.end());
    }
    return rows;
}

std::vector<DeliveryRow> runGasForecast(Database& db, const ForecastPeriod& period, const Date& today)
{
    std::vector<DeliveryRow> rows = forecastGas(db, period, today);
    replaceDeliverySchedule(db, rows);
    return rows;
}

QString gasScheduleStatement()
{
    return QStringLiteral("SELECT * FROM 配達予定 WHERE 配達年月日 >= ? AND 配達年月日 < ?"
                          " ORDER BY 配達年月日, rowid");
}

QVariantList gasScheduleParameters(const ForecastPeriod& period)
{
    return {dayStart(period.from), dayAfter(period.to)};
}
