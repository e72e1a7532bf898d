#pragma once
// The receivable balance list: every customer whose receivable balance is
// not zero, largest first (credit balances after the positive ones), and the
// report "売掛残高.rpt" that prints it. The screen frm売掛残高一覧 is in
// BalanceListScreen.h.

#include "core/Currency.h"
#include "db/Database.h"

#include <vector>

// The statement of the list: 顧客名前, 顧客売掛前回請求金額, 顧客売掛入金額,
// 顧客売掛締後売上額 and the computed 売掛残高 (CURRENCY); ties in the
// table's order.
QString balanceListStatement();
inline const QString BalanceColumn = QStringLiteral("売掛残高");
// The report the list prints.
inline const QString BalanceReport = QStringLiteral("売掛残高.rpt");

struct BalanceRow {
    QString name;
    Currency lastInvoiceAmount;
    Currency paymentsSinceClosing;
    Currency creditSalesSinceClosing;
    Currency balance;
};
// The rows of the list, in its order.
std::vector<BalanceRow> readBalanceList(Database& db);
