#include "session/CustomerRow.h"

#include "db/Database.h"

#include <QSqlQuery>

CustomerCard customerCardOf(const QSqlQuery& row)
{
    CustomerCard c;
    c.code = row.value(QStringLiteral("顧客コード")).toString();
    c.name = row.value(QStringLiteral("顧客名前")).toString();
    c.kanaName = row.value(QStringLiteral("顧客名前カナ")).toString();
    c.address1 = row.value(QStringLiteral("顧客住所１")).toString();
    c.address2 = row.value(QStringLiteral("顧客住所２")).toString();
    c.telephone = row.value(QStringLiteral("顧客電話番号")).toString();
    c.postalCode = row.value(QStringLiteral("顧客郵便番号")).toString();
    c.lastInvoiceAmount = currencyValue(row.value(QStringLiteral("顧客売掛前回請求金額")));
    c.paymentsSinceClosing = currencyValue(row.value(QStringLiteral("顧客売掛入金額")));
    c.creditSalesSinceClosing = currencyValue(row.value(QStringLiteral("顧客売掛締後売上額")));
    return c;
}
