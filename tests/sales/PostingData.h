#pragma once
// Holding rows, customers and table snapshots the posting tests start from.

#include "support/ShopData.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace posting {

// A customer with running amounts (in yen) and a billing code ("0": itself).
inline void addCustomer(Database& db, const QString& code, const QString& name, const QString& billingCode = "0",
                        const char* sales = "1000", const char* payments = "0", const Date& paymentDate = Date())
{
    insertCustomer(db, {.code = code,
                        .name = name,
                        .kana = QStringLiteral("ｶﾅ"),
                        .billTo = billingCode,
                        .lastInvoice = yen("5000"),
                        .payments = yen(payments),
                        .lastPayment = paymentDate,
                        .sales = yen(sales)});
}

// One holding sales line with a given serial.
inline void addSale(Database& db, int serial, int slip, double dateSerial, const QString& customer, int kind,
                    const char* price, const char* quantity, const QString& name = QStringLiteral("商品"))
{
    db.exec(QStringLiteral("INSERT INTO 売上商品マスター仮 (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上種別コード,"
                           " 売上部門コード, 売上税区分コード, 売上単品コード, 売上単品名, 売上単価, 売上個数)"
                           " VALUES (?, ?, ?, ?, ?, 1, 0, '12', ?, ?, ?)"),
            {serial, slip, dateSerial, customer, kind, name, sqlValue(yen(price)), sqlValue(yen(quantity))});
}

// One holding ledger row with a given serial.
inline void addLedger(Database& db, int serial, int slip, double dateSerial, const char* value, int debit,
                      int credit, const QString& counterparty)
{
    db.exec(QStringLiteral("INSERT INTO 経理マスター仮 (経理シリアル, 経理伝票番号, 経理年月日, 経理金額, 経理借方コード,"
                           " 経理借方相手先コード, 経理貸方コード, 経理貸方相手先コード) VALUES (?, ?, ?, ?, ?, 0, ?, ?)"),
            {serial, slip, dateSerial, sqlValue(yen(value)), debit, credit, counterparty});
}

// A date serial to four places, as the totals below show it.
inline QString serialText(double serial)
{
    return QString::number(serial, 'f', 4);
}

// A customer's two credit sales and payment amounts in yen and the
// payment date's serial: "sales|payments|paymentSerial".
inline QString customerTotals(Database& db, const QString& code)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT 顧客売掛締後売上額, 顧客売掛入金額, 顧客売掛入金日 FROM 顧客マスター WHERE 顧客コード = ?"),
                          {code});
    if (!q.next())
        return QStringLiteral("<none>");
    return currencyValue(q.value(0)).toString() + u'|' + currencyValue(q.value(1)).toString() + u'|'
           + serialText(q.value(2).toDouble());
}

// Everything the posting reads or writes, for "nothing changed" checks.
inline QStringList snapshot(Database& db)
{
    QStringList all;
    for (const char* table : {"売上商品マスター仮", "売上商品マスター", "売掛マスター", "経理マスター仮", "経理マスター", "顧客マスター"})
        all << QString::fromUtf8(table) + QStringLiteral(":") << tableRows(db, QString::fromUtf8(table));
    return all;
}

} // namespace posting
