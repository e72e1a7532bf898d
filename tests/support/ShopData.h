#pragma once
// Amounts, days, table reads and row inserts that every folder's tests
// build their data with. Which customers, lines and rows a folder's tests
// start from stays in that folder's header.

#include "core/Currency.h"
#include "core/Date.h"
#include "db/Database.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <concepts>
#include <optional>
#include <utility>

// An amount of yen from its text as an operator types it: "1500", "157.5",
// "-12.5". The text must be a valid amount.
inline Currency yen(const char* text)
{
    return *Currency::parse(QString::fromUtf8(text));
}

// A whole number of yen.
template <std::integral Whole>
Currency yen(Whole units)
{
    return Currency::fromUnits(units);
}

// A calendar day at midnight.
inline Date day(int year, int month, int dayOfMonth)
{
    return Date::fromParts(year, month, dayOfMonth);
}

// How many rows `table` holds.
inline int rowCount(Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
}

// Every row of `table` as "a|b|c" texts, in the order of its first column
// (the serial, where the table has one), leaving out the first
// `skipColumns` columns.
inline QStringList tableRows(Database& db, const QString& table, int skipColumns = 0)
{
    QStringList rows;
    QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
    while (q.next()) {
        QStringList values;
        for (int i = skipColumns; i < q.record().count(); ++i)
            values << q.value(i).toString();
        rows << values.join(u'|');
    }
    return rows;
}

// The value a column of the given kind stores: amounts as ticks, days as
// serials, anything else as it is.
inline QVariant storedValue(const Currency& value)
{
    return sqlValue(value);
}

inline QVariant storedValue(const Date& value)
{
    return sqlValue(value);
}

template <class T>
QVariant storedValue(const T& value)
{
    return QVariant::fromValue(value);
}

// An INSERT of the columns a test sets: a column left out keeps the
// table's default, exactly as when the statement does not name it.
class RowInsert {
public:
    explicit RowInsert(QString table) : table_(std::move(table)) {}

    template <class T>
    RowInsert& set(const char* column, const T& value)
    {
        columns_ << QString::fromUtf8(column);
        values_ << storedValue(value);
        return *this;
    }

    template <class T>
    RowInsert& set(const char* column, const std::optional<T>& value)
    {
        return value ? set(column, *value) : *this;
    }

    void into(Database& db) const
    {
        QStringList marks;
        for (qsizetype i = 0; i < columns_.size(); ++i)
            marks << QStringLiteral("?");
        db.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(table_, columns_.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                values_);
    }

private:
    QString table_;
    QStringList columns_;
    QVariantList values_;
};

// A customer row (顧客マスター): its code and the columns a test sets.
struct CustomerRow {
    QString code{};
    std::optional<QString> name{};           // 顧客名前
    std::optional<QString> kana{};           // 顧客名前カナ
    std::optional<QString> billTo{};         // 顧客売掛請求先コード ("0": itself)
    std::optional<QString> gasCode{};        // 顧客ガスコード
    std::optional<QString> telephone{};      // 顧客電話番号
    std::optional<QString> postalCode{};     // 顧客郵便番号
    std::optional<QString> address1{};       // 顧客住所１
    std::optional<QString> address2{};       // 顧客住所２
    std::optional<Currency> lastInvoice{};   // 顧客売掛前回請求金額
    std::optional<Date> previousClosing{};   // 顧客売掛前回締め日
    std::optional<Currency> payments{};      // 顧客売掛入金額
    std::optional<Date> lastPayment{};       // 顧客売掛入金日
    std::optional<Currency> sales{};         // 顧客売掛締後売上額
    std::optional<int> closingDay{};         // 顧客売掛締切日
    std::optional<double> tank{};            // 顧客灯油タンク容量
    std::optional<int> gasType{};            // 顧客ガスタイプ
    std::optional<double> cylinder1{};       // 顧客ガスボンベ１
    std::optional<double> cylinder2{};       // 顧客ガスボンベ２
};

inline void insertCustomer(Database& db, const CustomerRow& c)
{
    RowInsert(QStringLiteral("顧客マスター"))
        .set("顧客コード", c.code)
        .set("顧客名前", c.name)
        .set("顧客名前カナ", c.kana)
        .set("顧客売掛請求先コード", c.billTo)
        .set("顧客ガスコード", c.gasCode)
        .set("顧客電話番号", c.telephone)
        .set("顧客郵便番号", c.postalCode)
        .set("顧客住所１", c.address1)
        .set("顧客住所２", c.address2)
        .set("顧客売掛前回請求金額", c.lastInvoice)
        .set("顧客売掛前回締め日", c.previousClosing)
        .set("顧客売掛入金額", c.payments)
        .set("顧客売掛入金日", c.lastPayment)
        .set("顧客売掛締後売上額", c.sales)
        .set("顧客売掛締切日", c.closingDay)
        .set("顧客灯油タンク容量", c.tank)
        .set("顧客ガスタイプ", c.gasType)
        .set("顧客ガスボンベ１", c.cylinder1)
        .set("顧客ガスボンベ２", c.cylinder2)
        .into(db);
}

// A sales line, in any of the tables that hold them (売上商品マスター仮,
// 売上商品マスター, 売掛マスター): slip, day, customer and the columns a
// test sets. Without a serial the table numbers the line.
struct SalesLineRow {
    std::optional<int> serial{};             // 売上シリアル
    int slip{};                              // 売上伝票番号
    Date date{};                             // 売上年月日
    QString customer{};                      // 売上顧客コード
    std::optional<int> kind{};               // 売上種別コード
    std::optional<int> department{};         // 売上部門コード
    std::optional<int> taxCategory{};        // 売上税区分コード
    std::optional<QString> productCode{};    // 売上単品コード
    std::optional<QString> productName{};    // 売上単品名
    std::optional<Currency> price{};         // 売上単価
    std::optional<Currency> quantity{};      // 売上個数
};

inline void insertSalesLine(Database& db, const QString& table, const SalesLineRow& l)
{
    RowInsert(table)
        .set("売上シリアル", l.serial)
        .set("売上伝票番号", l.slip)
        .set("売上年月日", l.date)
        .set("売上顧客コード", l.customer)
        .set("売上種別コード", l.kind)
        .set("売上部門コード", l.department)
        .set("売上税区分コード", l.taxCategory)
        .set("売上単品コード", l.productCode)
        .set("売上単品名", l.productName)
        .set("売上単価", l.price)
        .set("売上個数", l.quantity)
        .into(db);
}

// A journal row, in 経理マスター仮 or 経理マスター: slip, day and the
// columns a test sets. Without a serial the table numbers the row.
struct LedgerRow {
    std::optional<int> serial{};                 // 経理シリアル
    int slip{};                                  // 経理伝票番号
    Date date{};                                 // 経理年月日
    std::optional<Currency> amount{};            // 経理金額
    std::optional<int> debit{};                  // 経理借方コード
    std::optional<int> debitCounterparty{};      // 経理借方相手先コード
    std::optional<int> credit{};                 // 経理貸方コード
    std::optional<QString> creditCounterparty{}; // 経理貸方相手先コード
};

inline void insertLedgerRow(Database& db, const QString& table, const LedgerRow& r)
{
    RowInsert(table)
        .set("経理シリアル", r.serial)
        .set("経理伝票番号", r.slip)
        .set("経理年月日", r.date)
        .set("経理金額", r.amount)
        .set("経理借方コード", r.debit)
        .set("経理借方相手先コード", r.debitCounterparty)
        .set("経理貸方コード", r.credit)
        .set("経理貸方相手先コード", r.creditCounterparty)
        .into(db);
}

// A gas row (ガスデータ): day, kind, customer and the columns a test sets.
struct GasRow {
    Date date{};                             // ガス年月日
    int kind{};                              // ガスデータ種別コード
    QString customer{};                      // ガス相手先コード
    std::optional<Currency> meter{};         // ガス検針値
    std::optional<Currency> usage{};         // ガス使用量
    std::optional<double> delivered{};       // ガス配送量
    std::optional<double> remaining{};       // ガス残ガス量
    std::optional<Currency> amount{};        // ガス金額
    std::optional<int> account{};            // ガス経理コード
};

inline void insertGasRow(Database& db, const GasRow& g)
{
    RowInsert(QStringLiteral("ガスデータ"))
        .set("ガス年月日", g.date)
        .set("ガスデータ種別コード", g.kind)
        .set("ガス相手先コード", g.customer)
        .set("ガス検針値", g.meter)
        .set("ガス使用量", g.usage)
        .set("ガス配送量", g.delivered)
        .set("ガス残ガス量", g.remaining)
        .set("ガス金額", g.amount)
        .set("ガス経理コード", g.account)
        .into(db);
}
