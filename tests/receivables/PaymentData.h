#pragma once
// Customers and accounts the payment tests start from.

#include "support/ShopData.h"

#include <QStringList>

// Customer 12 山田　太郎 (billed 5000, paid 1200, sales since 3150) and
// customer 30 青木　花子; account 100 小切手 as a further means of payment.
inline void addPaymentShop(Database& db)
{
    const QString insert = QStringLiteral(
        "INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ, 顧客住所１, 顧客住所２, 顧客電話番号, 顧客郵便番号,"
        " 顧客売掛前回請求金額, 顧客売掛入金額, 顧客売掛締後売上額) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    db.exec(insert, {QStringLiteral("12"), QStringLiteral("山田　太郎"), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"),
                     QStringLiteral("東京都試験区１－１"), QStringLiteral("試験荘２０１"), QStringLiteral("03-1111-2222"),
                     QStringLiteral("100-0001"), sqlValue(yen("5000")), sqlValue(yen("1200")),
                     sqlValue(yen("3150"))});
    db.exec(insert, {QStringLiteral("30"), QStringLiteral("青木　花子"), QStringLiteral("ｱｵｷ ﾊﾅｺ"), QStringLiteral(""), QStringLiteral(""),
                     QStringLiteral(""), QStringLiteral(""), sqlValue(yen("0")), sqlValue(yen("0")), sqlValue(yen("0"))});
    db.exec(QStringLiteral("INSERT INTO 勘定科目TBL (科目番号, 勘定科目名) VALUES (100, '小切手')"));
}

// Every row of the ledger holding table as "a|b|c", serial left out.
inline QStringList holdingLedgerRows(Database& db)
{
    return tableRows(db, QStringLiteral("経理マスター仮"), 1);
}
