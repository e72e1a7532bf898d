#include "sales/SalesByRate.h"

#include "core/Text.h"
#include "db/Database.h"
#include "sales/SlipStore.h"

#include <QSqlQuery>
#include <algorithm>

namespace {

QString dateText(const Date& d)
{
    return text::format(d, QStringLiteral("yyyy/mm/dd"));
}

// One table's slips in the range: the statement returns each slip's sums
// per tax category in slip order, so a slip's rows come together and its
// breakdown is made once all of them are read.
SalesByRateTable tableFigures(Database& db, const Configuration& config, const QString& table,
                              const SalesByRateRange& range)
{
    SalesByRateTable result;
    QSqlQuery q = db.exec(salesByRateStatement(table), salesByRateParameters(range));
    bool open = false;
    qint64 slip = 0;
    SlipTotals totals;
    auto closeSlip = [&] {
        if (!open)
            return;
        result.figures.add(taxBreakdown(totals, config));
        ++result.slips;
    };
    while (q.next()) {
        const qint64 number = q.value(0).toLongLong();
        if (!open || number != slip) {
            closeSlip();
            totals = SlipTotals{};
            slip = number;
            open = true;
        }
        addToCategoryTotal(totals, q.value(1).toInt(), currencyValue(q.value(2)));
    }
    closeSlip();
    return result;
}

// A rate's share in a breakdown, or zeros.
RateShare shareOf(const TaxBreakdown& figures, const RateShare& rate)
{
    for (const RateShare& share : figures.rates)
        if (share.rate == rate.rate)
            return share;
    RateShare none = rate;
    none.total = Currency();
    none.tax = Currency();
    return none;
}

} // namespace

SalesByRateRangeError::SalesByRateRangeError(const SalesByRateRange& range)
    : OperatorError(QStringLiteral("開始日（%1）が終了日（%2）より後になっています。\n"
                                   "開始日には終了日と同じ日かそれより前の日を指定してください。")
                        .arg(dateText(range.from), dateText(range.to)))
{
}

QString salesByRateStatement(const QString& table)
{
    // The bare date column keeps the date index in use; the slip's tax row
    // (department 99, product 999900) is no sale.
    return QStringLiteral("SELECT 売上伝票番号, 売上税区分コード, SUM(CUR_INT(CUR_MUL(売上単価, 売上個数))) AS 金額"
                          " FROM %1 WHERE 売上年月日 >= ? AND 売上年月日 < ?"
                          " AND NOT (売上部門コード = ? AND 売上単品コード = ?)"
                          " GROUP BY 売上伝票番号, 売上税区分コード ORDER BY 売上伝票番号")
        .arg(table);
}

QVariantList salesByRateParameters(const SalesByRateRange& range)
{
    return {dayStart(range.from), dayAfter(range.to), TaxLineDepartment, TaxLineProductCode};
}

SalesByRate salesByRate(Database& db, const Configuration& config, const SalesByRateRange& range)
{
    if (range.from.dayNumber() > range.to.dayNumber())
        throw SalesByRateRangeError(range);
    SalesByRate result;
    result.range = range;
    result.rates = configuredRates(config);
    result.posted = tableFigures(db, config, QStringLiteral("売上商品マスター"), range);
    result.held = tableFigures(db, config, QStringLiteral("売上商品マスター仮"), range);
    result.combined.add(result.posted.figures);
    result.combined.add(result.held.figures);
    return result;
}

std::vector<SalesByRateLine> salesByRateLines(const SalesByRate& figures)
{
    // Every rate of the configuration, and any other a breakdown holds.
    std::vector<RateShare> rates = figures.rates;
    for (const RateShare& share : figures.combined.rates)
        if (std::none_of(rates.begin(), rates.end(), [&](const RateShare& r) { return r.rate == share.rate; }))
            rates.push_back(share);
    std::sort(rates.begin(), rates.end(), [](const RateShare& a, const RateShare& b) { return a.rate > b.rate; });

    std::vector<SalesByRateLine> lines;
    auto section = [&](const QString& name, const TaxBreakdown& b) {
        SalesByRateLine sum;
        sum.caption = QStringLiteral("計");
        sum.sum = true;
        bool first = true;
        auto add = [&](SalesByRateLine line) {
            if (first)
                line.section = name;
            first = false;
            sum.total += line.total;
            sum.base += line.base;
            sum.tax += line.tax;
            lines.push_back(line);
        };
        for (const RateShare& rate : rates) {
            const RateShare share = shareOf(b, rate);
            SalesByRateLine line;
            line.caption = rateCaption(rate.rate);
            if (rate.reduced || share.reduced)
                line.caption += QStringLiteral("（軽減税率）");
            line.total = share.total;
            line.base = share.base();
            line.tax = share.tax;
            add(line);
        }
        SalesByRateLine free;
        free.caption = QStringLiteral("非課税");
        free.total = b.notTaxable;
        free.base = b.notTaxable;
        add(free);
        lines.push_back(sum);
    };
    section(QStringLiteral("計上済"), figures.posted.figures);
    section(QStringLiteral("未計上"), figures.held.figures);
    section(QStringLiteral("合計"), figures.combined);
    return lines;
}

QString salesByRatePeriod(const SalesByRateRange& range)
{
    return QStringLiteral("期間　%1 ～ %2").arg(dateText(range.from), dateText(range.to));
}
