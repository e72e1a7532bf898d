#pragma once
// The sales of a date range by consumption-tax rate, as the shop's tax
// return asks for them: per rate the total with tax, the taxable base and
// the tax, of the posted sales (売上商品マスター) and of the held sales not
// yet posted (売上商品マスター仮), apart and together, with the non-taxable
// sales on a row of their own. The tax of a rate is that of each slip,
// rounded once per slip and rate (taxBreakdown), summed over the slips; the
// slip's own consumption-tax row is left out, since that tax is computed
// again from the lines. No widgets: the screen and the print-out show what
// this returns.

#include "core/Currency.h"
#include "core/Date.h"
#include "core/OperatorError.h"
#include "session/TaxBreakdown.h"
#include "session/Values.h"

#include <QString>
#include <QVariantList>
#include <vector>

class Database;

// A range of whole days, both ends included.
struct SalesByRateRange {
    Date from;
    Date to;
};

// A range whose first day is after its last. The operator's words name both
// days and say what to do.
class SalesByRateRangeError : public OperatorError {
public:
    explicit SalesByRateRangeError(const SalesByRateRange& range);
};

// The figures of one table in the range.
struct SalesByRateTable {
    TaxBreakdown figures; // the slips' breakdowns added up
    int slips = 0;        // slips with at least one line in the range
};

struct SalesByRate {
    SalesByRateRange range;
    // The rates of the configuration, highest first (one when both are the
    // same), and which of them is the reduced one: every list shows them,
    // in use or not.
    std::vector<RateShare> rates; // rate and reduced only
    SalesByRateTable posted;      // 計上済
    SalesByRateTable held;        // 未計上
    TaxBreakdown combined;        // 合計: posted and held together
    bool empty() const { return posted.slips == 0 && held.slips == 0; }
};

// The statement that sums the line amounts of `table` (売上商品マスター or
// 売上商品マスター仮) per slip and tax category over a range of days:
// 売上伝票番号, 売上税区分コード, the sum of CUR_INT(CUR_MUL(売上単価, 売上個数)),
// by slip number. The slip's tax row is left out. Its parameters come from
// salesByRateParameters.
QString salesByRateStatement(const QString& table);
QVariantList salesByRateParameters(const SalesByRateRange& range);

// The figures of both tables for the range, computed with the tax rates of
// `config`. Throws SalesByRateRangeError when the range runs backwards,
// DatabaseError when a statement is refused, CurrencyOverflow for sums
// beyond the Currency range.
SalesByRate salesByRate(Database& db, const Configuration& config, const SalesByRateRange& range);

// The list as the screen and the print-out show it: for each of 計上済,
// 未計上 and 合計, a row per rate ("10%対象", "8%対象（軽減税率）"), the
// non-taxable row ("非課税") and the row of their sums ("計"). Rates not in
// use show zeros. The non-taxable row's base is its total and its tax 0.
struct SalesByRateLine {
    QString section;     // "計上済", "未計上", "合計" on the first row of its section; empty below it
    QString caption;     // "10%対象", "8%対象（軽減税率）", "非課税", "計"
    bool sum = false;    // the section's "計" row
    Currency total;      // 税込金額
    Currency base;       // 税抜金額
    Currency tax;        // 消費税額
};
std::vector<SalesByRateLine> salesByRateLines(const SalesByRate& figures);

// "期間　2024/05/01 ～ 2024/05/31"
QString salesByRatePeriod(const SalesByRateRange& range);
