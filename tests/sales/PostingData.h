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
    insertSalesLine(db, QStringLiteral("売上商品マスター仮"),
                    {.serial = serial,
                     .slip = slip,
                     .date = Date::fromSerial(dateSerial),
                     .customer = customer,
                     .kind = kind,
                     .department = 1,
                     .taxCategory = 0,
                     .productCode = QStringLiteral("12"),
                     .productName = name,
                     .price = yen(price),
                     .quantity = yen(quantity)});
}

// One holding ledger row with a given serial.
inline void addLedger(Database& db, int serial, int slip, double dateSerial, const char* value, int debit,
                      int credit, const QString& counterparty)
{
    insertLedgerRow(db, QStringLiteral("経理マスター仮"),
                    {.serial = serial,
                     .slip = slip,
                     .date = Date::fromSerial(dateSerial),
                     .amount = yen(value),
                     .debit = debit,
                     .debitCounterparty = 0,
                     .credit = credit,
                     .creditCounterparty = counterparty});
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
