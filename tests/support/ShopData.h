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
#include <concepts>

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
