#include "customers/CustomerHistory.h"

#include "core/Currency.h"
#include "core/Text.h"
#include "db/Database.h"
#include "session/TaxBreakdown.h"

#include <QSqlQuery>

namespace {

const QString HistoryColumns = QStringLiteral(
    "SELECT 売上伝票番号, 売上年月日, 売上部門コード, 売上税区分コード, 売上単品コード, 売上単品名,"
    " 売上単価, 売上個数, CUR_INT(CUR_MUL(売上単価, 売上個数)) AS 金額"
    " FROM 売上商品マスター");

} // namespace

QString customerHistoryStatement()
{
    return HistoryColumns
           + QStringLiteral(" WHERE 売上顧客コード = ? ORDER BY 売上年月日, 売上伝票番号, 売上シリアル");
}

std::optional<LatestSlip> latestPostedSlip(Database& db, const QString& customerCode)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT 売上年月日, 売上伝票番号 FROM 売上商品マスター"
                                         " WHERE 売上顧客コード = ?"
                                         " ORDER BY 売上年月日 DESC, 売上伝票番号 DESC, 売上シリアル DESC LIMIT 1"),
                          {customerCode});
    if (!q.next())
        return std::nullopt;
    LatestSlip latest;
    latest.saleDate = dateValue(q.value(0));
    if (!q.value(1).isNull())
        latest.slipNumber = std::int32_t(q.value(1).toLongLong());
    return latest;
}

std::vector<SlipLine> slipLinesToRepeat(Database& db, const QString& customerCode, std::int32_t slipNumber)
{
    QSqlQuery q = db.exec(HistoryColumns
                              + QStringLiteral(" WHERE 売上顧客コード = ? AND 売上伝票番号 = ? ORDER BY 売上シリアル"),
                          {customerCode, slipNumber});
    std::vector<SlipLine> lines;
    while (q.next() && int(lines.size()) < SessionState::SlipCapacity) {
        const int department = q.value(2).toInt();
        if (department == TaxLineDepartment)
            break;
        SlipLine line;
        line.departmentCode = std::int16_t(department);
        line.taxCategory = std::int16_t(q.value(3).toInt());
        line.productCode = text::fixed(q.value(4).toString(), 13);
        line.kanaName = text::fixed(QString(), 8);
        line.productName = text::fixed(q.value(5).toString(), 24);
        line.unitPrice = currencyValue(q.value(6));
        line.quantity = currencyValue(q.value(7));
        line.amount = (line.unitPrice * line.quantity).Int();
        lines.push_back(line);
    }
    return lines;
}

int repeatPreviousSlip(Database& db, SessionState& state, std::int32_t slipNumber)
{
    const std::vector<SlipLine> lines = slipLinesToRepeat(db, state.customer.code, slipNumber);
    state.lineCount = 0;
    for (const SlipLine& line : lines)
        state.lines[++state.lineCount] = line;
    return state.lineCount;
}
