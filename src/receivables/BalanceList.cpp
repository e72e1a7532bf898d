#include "receivables/BalanceList.h"

#include <QSqlQuery>

namespace {

// The balance as the list computes, filters and orders by it.
const QString Balance = QStringLiteral("顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額");

} // namespace

QString balanceListStatement()
{
    return QStringLiteral("SELECT 顧客名前, 顧客売掛前回請求金額, 顧客売掛入金額, 顧客売掛締後売上額, ") + Balance
           + QStringLiteral(" AS 売掛残高 FROM 顧客マスター WHERE ") + Balance + QStringLiteral(" <> 0 ORDER BY ")
           + Balance + QStringLiteral(" DESC, rowid");
}

std::vector<BalanceRow> readBalanceList(Database& db)
{
    QSqlQuery q = db.exec(balanceListStatement());
    std::vector<BalanceRow> rows;
    while (q.next())
        rows.push_back({q.value(0).toString(), currencyValue(q.value(1)), currencyValue(q.value(2)),
                        currencyValue(q.value(3)), currencyValue(q.value(4))});
    return rows;
}
