#include "forecasts/RiceForecast.h"

#include "db/Database.h"

#include <cmath>

namespace {

// A cycle must be a whole number of days from 1 up to the largest 32-bit
// value: anything else would write dates before the last purchase, or
// never reach a real date.
constexpr float LargestCycle = 2147483648.0f; // 2^31, the first value beyond

// Rice purchase days of one customer: the day's kilograms over every line
// of a product that is rice (単品米キロ <> 0), grouped by sales date.
const QString PurchaseDays = QStringLiteral(
    "SELECT 売上年月日, SUM(SNG_MUL(単品米キロ, 売上個数)) AS 米キロ"
    " FROM 売上商品マスター, 商品マスター"
    " WHERE 商品マスター.単品コード = 売上商品マスター.売上単品コード"
    " AND 単品米キロ <> 0 AND 売上商品マスター.売上顧客コード = ?"
    " GROUP BY 売上年月日 ORDER BY 売上年月日");

// The customer's last rice line (of one date, the one entered last): its
// product and quantity go into every row of the customer.
const QString LastLine = QStringLiteral(
    "SELECT 単品名称, 売上個数"
    " FROM 売上商品マスター, 商品マスター"
    " WHERE 商品マスター.単品コード = 売上商品マスター.売上単品コード"
    " AND 単品米キロ <> 0 AND 売上商品マスター.売上顧客コード = ?"
    " ORDER BY 売上年月日 DESC, 売上シリアル DESC LIMIT 1");

} // namespace

std::optional<RiceCycle> riceCycle(const std::vector<RicePurchaseDay>& days)
{
    const std::size_t n = days.size();
    if (n < 2)
        return std::nullopt;

    float sum = 0, largest = 0, smallest = 0;
    for (std::size_t i = 1; i < n; ++i) {
        const std::int64_t interval = days[i].day - days[i - 1].day;
        if (interval == 0)
            return std::nullopt; // two purchase days on one day number
        const float rate = days[i].kilograms / float(interval);
        sum += rate;
        if (i == 1) {
            largest = smallest = rate;
        } else {
            if (rate > largest)
                largest = rate;
            if (rate < smallest)
                smallest = rate;
        }
    }

    float average = 0;
    if (n == 2)
        average = sum;
    else if (n == 3)
        average = sum / 2.0f;
    else
        average = (sum - largest - smallest) / float(n - 3);

    // K / A in single precision: 10 kg bought 30 days after 10 kg is a
    // rate of 0.33333334 and a cycle of exactly 30 days.
    const float quotient = days.back().kilograms / average;
    if (!std::isfinite(quotient) || quotient < 1.0f || quotient >= LargestCycle)
        return std::nullopt;
    const auto cycle = std::int32_t(std::floor(quotient));
    return RiceCycle{average, cycle, days.back().day + cycle};
}

std::vector<StarredDay> riceDeliveryDays(std::int64_t nextDay, std::int32_t cycle, const ForecastPeriod& window)
{
    std::vector<StarredDay> listed;
    const std::int64_t start = window.from.dayNumber();
    const std::int64_t end = window.to.dayNumber();
    if (cycle <= 0 || nextDay >= end)
        return listed;

    std::int64_t day = nextDay;
    int stars = 0;
    // A date on or before the start is moved on by a cycle, twice at most.
    for (int move = 0; move < 2 && day <= start; ++move) {
        day += cycle;
        ++stars;
    }
    if (day <= start)
        return listed;
    // The date and the two cycles after it, as far as they lie before the
    // end. A date moved past the end is not listed either: the list holds
    // the deliveries inside the window only.
    for (int row = 0; row < 3 && day < end; ++row) {
        listed.push_back({day, stars});
        day += cycle;
        ++stars;
    }
    return listed;
}

std::vector<DeliveryRow> forecastRice(Database& db, const ForecastPeriod& window)
{
    std::vector<DeliveryRow> rows;
    QSqlQuery purchaseDays = forecast::prepareQuery(db, PurchaseDays);
    QSqlQuery lastLine = forecast::prepareQuery(db, LastLine);
    const std::vector<QVariantList> customers = forecast::readAll(db, QStringLiteral("SELECT 顧客コード, 顧客名前, 顧客電話番号 FROM 顧客マスター ORDER BY rowid"));
    std::vector<RicePurchaseDay> days;
    for (const QVariantList& customer : customers) {
        const QString code = customer[0].toString();

        days.clear();
        forecast::runQuery(purchaseDays, {code});
        while (purchaseDays.next())
            days.push_back({dateValue(purchaseDays.value(0)).dayNumber(), float(purchaseDays.value(1).toDouble())});
        purchaseDays.finish();
        const std::optional<RiceCycle> cycle = riceCycle(days);
        if (!cycle)
            continue;
        const std::vector<StarredDay> listed = riceDeliveryDays(cycle->nextDay, cycle->cycle, window);
        if (listed.empty())
            continue;

        forecast::runQuery(lastLine, {code});
        if (!lastLine.next())
            continue;
        const QString product = forecast::productNameField(lastLine.value(0).toString());
        const Currency quantity = currencyValue(lastLine.value(1));
        lastLine.finish();

        const QString name = customer[1].toString();
        const QString phone = customer[2].toString();
        for (const StarredDay& d : listed)
            rows.push_back({Date::fromSerial(double(d.day)), QString(d.stars, QLatin1Char('*')) + name, phone, product,
                            quantity});
    }
    return rows;
}

std::vector<DeliveryRow> runRiceForecast(Database& db, const ForecastPeriod& window)
{
    std::vector<DeliveryRow> rows = forecastRice(db, window);
    replaceDeliverySchedule(db, rows);
    return rows;
}
