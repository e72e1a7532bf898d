#pragma once
// Amounts, days and table reads every folder's tests build their data with.
// The rows particular to one part of the shop stay in that folder's header.

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
#include <type_traits>

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

// A customer row (顧客マスター): its code and the columns a test sets. A
// column left unset keeps the table's default, exactly as when the INSERT
// does not name it.
struct CustomerRow {
    QString code{};
    std::optional<QString> name{};            // 顧客名前
    std::optional<QString> kana{};            // 顧客名前カナ
    std::optional<QString> billTo{};          // 顧客売掛請求先コード ("0": itself)
    std::optional<QString> gasCode{};         // 顧客ガスコード
    std::optional<QString> telephone{};       // 顧客電話番号
    std::optional<QString> postalCode{};      // 顧客郵便番号
    std::optional<QString> address1{};        // 顧客住所１
    std::optional<QString> address2{};        // 顧客住所２
    std::optional<Currency> lastInvoice{};    // 顧客売掛前回請求金額
    std::optional<Date> previousClosing{};    // 顧客売掛前回締め日
    std::optional<Currency> payments{};       // 顧客売掛入金額
    std::optional<Date> lastPayment{};        // 顧客売掛入金日
    std::optional<Currency> sales{};          // 顧客売掛締後売上額
    std::optional<int> closingDay{};          // 顧客売掛締切日
    std::optional<double> tank{};             // 顧客灯油タンク容量
    std::optional<int> gasType{};             // 顧客ガスタイプ
    std::optional<double> cylinder1{};        // 顧客ガスボンベ１
    std::optional<double> cylinder2{};        // 顧客ガスボンベ２
};

// Inserts the customer with the columns it sets.
inline void insertCustomer(Database& db, const CustomerRow& c)
{
    QStringList columns{QStringLiteral("顧客コード")};
    QVariantList values{c.code};
    const auto put = [&](const char* column, const auto& value) {
        if (!value)
            return;
        columns << QString::fromUtf8(column);
        if constexpr (std::is_same_v<std::decay_t<decltype(*value)>, Currency>
                      || std::is_same_v<std::decay_t<decltype(*value)>, Date>)
            values << sqlValue(*value);
        else
            values << QVariant(*value);
    };
    put("顧客名前", c.name);
    put("顧客名前カナ", c.kana);
    put("顧客売掛請求先コード", c.billTo);
    put("顧客ガスコード", c.gasCode);
    put("顧客電話番号", c.telephone);
    put("顧客郵便番号", c.postalCode);
    put("顧客住所１", c.address1);
    put("顧客住所２", c.address2);
    put("顧客売掛前回請求金額", c.lastInvoice);
    put("顧客売掛前回締め日", c.previousClosing);
    put("顧客売掛入金額", c.payments);
    put("顧客売掛入金日", c.lastPayment);
    put("顧客売掛締後売上額", c.sales);
    put("顧客売掛締切日", c.closingDay);
    put("顧客灯油タンク容量", c.tank);
    put("顧客ガスタイプ", c.gasType);
    put("顧客ガスボンベ１", c.cylinder1);
    put("顧客ガスボンベ２", c.cylinder2);
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    db.exec(QStringLiteral("INSERT INTO 顧客マスター (%1) VALUES (%2)").arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
            values);
}
