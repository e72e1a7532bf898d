#include "forecasts/KeroseneForecast.h"

#include "db/Database.h"

#include <cmath>

namespace {

// Kerosene delivery days of one customer: the day's litres over every line
// of a kerosene product (単品灯油Ｌ <> 0), grouped by sales date.
const QString DeliveryDays = QStringLiteral(
    "SELECT 売上年月日, SUM(SNG_MUL(単品灯油Ｌ, 売上個数)) AS 灯油Ｌ"
    " FROM 売上商品マスター, 商品マスター"
    " WHERE 商品マスター.単品コード = 売上商品マスター.売上単品コード"
    " AND 単品灯油Ｌ <> 0 AND 売上商品マスター.売上顧客コード = ?"
    " GROUP BY 売上年月日 ORDER BY 売上年月日");

// The customer's last kerosene line (of one date, the one entered last).
const QString LastLine = QStringLiteral(
    "SELECT 単品名称, 売上個数"
    " FROM 売上商品マスター, 商品マスター"
    " WHERE 商品マスター.単品コード = 売上商品マスター.売上単品コード"
    " AND 単品灯油Ｌ <> 0 AND 売上商品マスター.売上顧客コード = ?"
    " ORDER BY 売上年月日 DESC, 売上シリアル DESC LIMIT 1");

// The day of the month on which the forecast ends lies within a month
// (or one day either side, for a 29 February); anything further is the
// sign of a broken profile, not a date to list.
constexpr float LargestDayOffset = 1000.0f;

} // namespace

float keroseneStartingLitres(float tankCapacity, float lastLitres)
{
    const double limit = 0.7 * double(tankCapacity);
    return limit < double(lastLitres) ? float(limit) : lastLitres;
}

std::optional<forecast::MonthProfile> keroseneProfile(const std::vector<KeroseneDelivery>& deliveries)
{
    if (deliveries.size() < 2)
        return std::nullopt;
    forecast::MonthProfile profile;
    for (std::size_t i = 1; i < deliveries.size(); ++i) {
        const std::int64_t interval = deliveries[i].date.dayNumber() - deliveries[i - 1].date.dayNumber();
        if (interval == 0)
            return std::nullopt; // two deliveries on one whole day
        const float rate = deliveries[i].litres / float(interval);
        profile.addInterval(deliveries[i - 1].date, deliveries[i].date, rate);
    }
    profile.finish();
    return profile;
}

std::optional<Date> keroseneEmptyDay(const forecast::MonthProfile& profile, const Date& lastDelivery,
                                     float remaining, const Date& walkEnd)
{
    const forecast::Civil start = forecast::civil(lastDelivery);
    int y = start.year;
    int m = start.month;
    int d = start.day;
    const std::int64_t lastDay = walkEnd.dayNumber();
    // A negative amount (a NaN too) never enters the walk: no day.
    while (remaining >= 0) {
        const float rate = profile.rate[m];
        const float use = float(forecast::MonthLength[m] - d) * rate;
        if (use >= remaining) {
            const float days = remaining / rate;
            if (!std::isfinite(days) || std::fabs(days) > LargestDayOffset)
                return std::nullopt; // a rate of 0 at the division
            int day = d + int(std::floor(days));
            if (day == 0)
                day = 1;
            return Date::fromParts(y, m, day);
        }
        remaining -= use;
        d = 0;
        if (++m > 12) {
            m = 1;
            ++y;
        }
        // A month that starts after the period can hold no listed day.
        if (Date::fromParts(y, m, 1).dayNumber() > lastDay)
            return std::nullopt;
    }
    return std::nullopt;
}

std::vector<DeliveryRow> forecastKerosene(Database& db, const ForecastPeriod& period)
{
    std::vector<DeliveryRow> rows;
    QSqlQuery deliveryDays = forecast::prepareQuery(db, DeliveryDays);
    QSqlQuery lastLine = forecast::prepareQuery(db, LastLine);
    const std::vector<QVariantList> customers = forecast::readAll(db, QStringLiteral(
        "SELECT 顧客コード, 顧客名前, 顧客電話番号, 顧客灯油タンク容量 FROM 顧客マスター ORDER BY rowid"));
    const std::int64_t from = period.from.dayNumber();
    const std::int64_t to = period.to.dayNumber();
    std::vector<KeroseneDelivery> deliveries;
    for (const QVariantList& customer : customers) {
        const auto capacity = float(customer[3].toDouble());
        if (capacity == 0)
            continue;
        const QString code = customer[0].toString();

        deliveries.clear();
        forecast::runQuery(deliveryDays, {code});
        while (deliveryDays.next())
            deliveries.push_back({dateValue(deliveryDays.value(0)), float(deliveryDays.value(1).toDouble())});
        deliveryDays.finish();
        if (deliveries.size() <= 1)
            continue;
        const float remaining = keroseneStartingLitres(capacity, deliveries.back().litres);

        const std::optional<forecast::MonthProfile> profile = keroseneProfile(deliveries);
        if (!profile)
            continue;
        const std::optional<Date> empty = keroseneEmptyDay(*profile, deliveries.back().date, remaining, period.to);
        if (!empty || empty->dayNumber() < from || empty->dayNumber() > to)
            continue;

        forecast::runQuery(lastLine, {code});
        if (!lastLine.next())
            continue;
        rows.push_back({*empty, customer[1].toString(), customer[2].toString(),
                        forecast::productNameField(lastLine.value(0).toString()), currencyValue(lastLine.value(1))});
        lastLine.finish();
    }
    return rows;
}

std::vector<DeliveryRow> runKeroseneForecast(Database& db, const ForecastPeriod& period)
{
    std::vector<DeliveryRow> rows = forecastKerosene(db, period);
    replaceDeliverySchedule(db, rows);
    return rows;
}
