#pragma once
// Customers and receivable lines as the daily update leaves them, for the
// closing tests (invoices, receipts, balances).

#include "support/ShopData.h"

#include <QSqlQuery>
#include <QString>

namespace closing {

struct Customer {
    QString code;
    QString name = QStringLiteral("試験　太郎");
    const char* lastInvoice = "0"; // 顧客売掛前回請求金額
    const char* payments = "0";    // 顧客売掛入金額
    const char* sales = "0";       // 顧客売掛締後売上額
    int closingDay = 0;
    int collectionDay = 0;
    Date previousClosing = Date(); // 顧客売掛前回締め日
    Date lastPayment = Date();     // 顧客売掛入金日
    QString billTo = QStringLiteral("0");
};

inline void addCustomer(Database& db, const Customer& c)
{
    db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ, 顧客住所１, 顧客住所２,"
                           " 顧客電話番号, 顧客郵便番号, 顧客売掛前回請求金額, 顧客売掛入金額, 顧客売掛締後売上額,"
                           " 顧客売掛締切日, 顧客売掛集金日, 顧客売掛前回締め日, 顧客売掛入金日, 顧客売掛請求先コード)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {c.code, c.name, QStringLiteral("ｼｹﾝ ") + c.code, QStringLiteral("東京都架空区試験町") + c.code,
             QStringLiteral("ひまわり荘"), QStringLiteral("03-0000-") + c.code, QStringLiteral("100-") + c.code,
             sqlValue(yen(c.lastInvoice)), sqlValue(yen(c.payments)), sqlValue(yen(c.sales)), c.closingDay,
             c.collectionDay, sqlValue(c.previousClosing), sqlValue(c.lastPayment), c.billTo});
}

// One posted credit-sale line in 売掛マスター under the code it is billed to.
// The serial is given in the order of the calls.
inline void addLine(Database& db, const QString& billedCode, Date date, const char* price, const char* quantity,
                    const QString& name = QStringLiteral("コシヒカリ５ｋｇ"), int department = 1, int taxCategory = 0,
                    const QString& productCode = QStringLiteral("4901234567890"))
{
    const QVariant serial = db.scalar(QStringLiteral("SELECT COALESCE(MAX(売上シリアル), 0) + 1 FROM 売掛マスター"));
    db.exec(QStringLiteral("INSERT INTO 売掛マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード,"
                           " 売上種別コード, 売上部門コード, 売上税区分コード, 売上単品コード, 売上単品名, 売上単価,"
                           " 売上個数) VALUES (?, ?, ?, ?, 1, ?, ?, ?, ?, ?, ?)"),
            {serial, serial.toInt() + 100, sqlValue(date), billedCode, department, taxCategory,
             productCode, name, sqlValue(yen(price)), sqlValue(yen(quantity))});
}

// The three running amounts and the two dates of a customer as stored.
struct Stored {
    Currency lastInvoice;
    Date previousClosing;
    Currency payments;
    Date lastPayment;
    Currency sales;
};

inline Stored stored(Database& db, const QString& code)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT 顧客売掛前回請求金額, 顧客売掛前回締め日, 顧客売掛入金額,"
                                         " 顧客売掛入金日, 顧客売掛締後売上額 FROM 顧客マスター WHERE 顧客コード = ?"),
                          {code});
    if (!q.next())
        return {};
    return {currencyValue(q.value(0)), dateValue(q.value(1)), currencyValue(q.value(2)), dateValue(q.value(3)),
            currencyValue(q.value(4))};
}

inline int lineCount(Database& db, const QString& code)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売掛マスター WHERE 売上顧客コード = ?"), {code}).toInt();
}

} // namespace closing
