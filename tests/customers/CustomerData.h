#pragma once
// Rows the customer tests put into a fresh installation's database.

#include "core/Currency.h"
#include "core/Date.h"
#include "db/Database.h"

#include <QString>

struct CustomerRow {
    QString code;
    QString kana;
    QString name = QStringLiteral("試験　太郎");
    QString gasCode = QStringLiteral("0");
    std::int64_t lastInvoiceTicks = 0;
    std::int64_t paymentsTicks = 0;
    std::int64_t salesTicks = 0;
    double cylinder1 = 0;
};

// An empty kana name is stored as empty text, as the master screen stores it.
inline void addCustomer(Database& db, const CustomerRow& c)
{
    db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前カナ, 顧客名前, 顧客ガスコード,"
                           " 顧客住所１, 顧客住所２, 顧客電話番号, 顧客郵便番号,"
                           " 顧客売掛前回請求金額, 顧客売掛入金額, 顧客売掛締後売上額, 顧客ガスボンベ１)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {c.code, c.kana.isNull() ? QStringLiteral("") : c.kana, c.name, c.gasCode, QStringLiteral("住所１の") + c.code, QStringLiteral("住所２の") + c.code,
             QStringLiteral("0120-") + c.code, QStringLiteral("100-") + c.code, qint64(c.lastInvoiceTicks),
             qint64(c.paymentsTicks), qint64(c.salesTicks), c.cylinder1});
}

struct SaleRow {
    std::int32_t slip;
    Date date;
    QString customer;
    int department = 1;
    int taxCategory = 0;
    QString productCode = QStringLiteral("1001");
    QString productName = QStringLiteral("コシヒカリ５ｋｇ");
    QString price = QStringLiteral("2000");
    QString quantity = QStringLiteral("1");
};

// A posted line (売上商品マスター), or a holding line when `table` says so.
// The serial is given by the table in the order of the calls.
inline void addSale(Database& db, const SaleRow& s, const QString& table = QStringLiteral("売上商品マスター"))
{
    db.exec(QStringLiteral("INSERT INTO %1 (売上伝票番号, 売上年月日, 売上顧客コード, 売上種別コード, 売上部門コード,"
                           " 売上税区分コード, 売上単品コード, 売上単品名, 売上単価, 売上個数)"
                           " VALUES (?, ?, ?, 1, ?, ?, ?, ?, ?, ?)")
                .arg(table),
            {s.slip, sqlValue(s.date), s.customer, s.department, s.taxCategory, s.productCode, s.productName,
             sqlValue(*Currency::parse(s.price)), sqlValue(*Currency::parse(s.quantity))});
}

// The consumption-tax line that closes a slip.
inline void addTaxLine(Database& db, std::int32_t slip, Date date, const QString& customer, const QString& tax)
{
    addSale(db, {slip, date, customer, 99, 9, QStringLiteral("999900"), QStringLiteral("　　　消費税"), tax,
                 QStringLiteral("1")});
}
