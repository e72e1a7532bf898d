#pragma once
// The small books the accounting tests start from, worked by hand.
//
// Chart additions (the seed chart has 10 現金 and 5500 米仕入):
//   2999 資産境界 (opening 5000), 3000 負債境界 (20000), 5499 売上境界 (0),
//   7999 経費境界, 8000 収入境界, 8999 雑収入境界 (1000), 9000 雑損境界,
//   9999 雑損末尾; 10 現金 opening 100000.
//
// Journal (経理マスター), the period ending 2024/03/31:
//   slip 101  03/01        debit 10    credit 5499  30000  (a sale)
//   slip 102  03/02        debit 5500  credit 10    12000  (a purchase)
//   slip 103  03/03        debit 7999  credit 10     4000  (an expense)
//   slip 104  03/04        debit 2999  credit 3000   7000
//   slip 105  03/05        debit 3000  credit 10     2500
//   slip 106  03/06        debit 10    credit 8000    600
//   slip 107  03/07        debit 8999  credit 10      300
//   slip 108  03/08        debit 9000  credit 2999   1500
//   slip 109  03/31 23:59  debit 10    credit 5499    800
//   slip 110  04/01 00:00  debit 10    credit 5499  50000  (the next period)
//
// Up to 03/31:
//   10   debit side   100000 + (30000 + 600 + 800) − (12000 + 4000 + 2500 + 300) = 112600
//   2999 debit side     5000 + 7000 − 1500 = 10500
//   3000 credit side   20000 − 2500 + 7000 = 24500
//   5499 credit side   30000 + 800 = 30800         (売上合計 30800)
//   5500 debit side    12000
//   7999 debit side     4000                       (経費合計 4000)
//   8000 credit side     600
//   8999 credit side    1000 − 300 = 700
//   9000 debit side     1500
// Up to 04/01: 10 is 162600, 5499 80800, 売上合計 80800.

#include "support/ShopData.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

inline const Date PeriodEnd = Date::fromParts(2024, 3, 31);

inline void setAccount(Database& db, int number, const QString& name, std::int64_t opening)
{
    db.exec(QStringLiteral("INSERT INTO 勘定科目TBL (科目番号, 勘定科目名, 期首残高) VALUES (?, ?, ?)"
                           " ON CONFLICT (科目番号) DO UPDATE SET 期首残高 = excluded.期首残高"),
            {number, name, sqlValue(yen(opening))});
}

inline void addJournal(Database& db, int slip, double serial, std::int64_t amount, int debit, int credit,
                       int debitCounterparty = 0, const QString& creditCounterparty = QStringLiteral("0"))
{
    insertLedgerRow(db, QStringLiteral("経理マスター"),
                    {.slip = slip,
                     .date = Date::fromSerial(serial),
                     .amount = yen(amount),
                     .debit = debit,
                     .debitCounterparty = debitCounterparty,
                     .credit = credit,
                     .creditCounterparty = creditCounterparty});
}

inline double at(const Date& d, double fraction = 0)
{
    return d.serial() + fraction;
}

inline void addSmallBooks(Database& db)
{
    setAccount(db, 10, QStringLiteral("現金"), 100000);
    setAccount(db, 2999, QStringLiteral("資産境界"), 5000);
    setAccount(db, 3000, QStringLiteral("負債境界"), 20000);
    setAccount(db, 5499, QStringLiteral("売上境界"), 0);
    setAccount(db, 7999, QStringLiteral("経費境界"), 0);
    setAccount(db, 8000, QStringLiteral("収入境界"), 0);
    setAccount(db, 8999, QStringLiteral("雑収入境界"), 1000);
    setAccount(db, 9000, QStringLiteral("雑損境界"), 0);
    setAccount(db, 9999, QStringLiteral("雑損末尾"), 0);

    addJournal(db, 101, at(day(2024, 3, 1)), 30000, 10, 5499);
    addJournal(db, 102, at(day(2024, 3, 2)), 12000, 5500, 10);
    addJournal(db, 103, at(day(2024, 3, 3)), 4000, 7999, 10);
    addJournal(db, 104, at(day(2024, 3, 4)), 7000, 2999, 3000);
    addJournal(db, 105, at(day(2024, 3, 5)), 2500, 3000, 10);
    addJournal(db, 106, at(day(2024, 3, 6)), 600, 10, 8000);
    addJournal(db, 107, at(day(2024, 3, 7)), 300, 8999, 10);
    addJournal(db, 108, at(day(2024, 3, 8)), 1500, 9000, 2999);
    addJournal(db, 109, at(PeriodEnd, 23.0 / 24 + 59.0 / 1440), 800, 10, 5499);
    addJournal(db, 110, at(day(2024, 4, 1)), 50000, 10, 5499);
}

struct AccountFigures {
    Currency opening;
    Currency debit;
    Currency credit;
    Currency current;
};

inline AccountFigures figuresOf(Database& db, int account)
{
    AccountFigures f;
    QSqlQuery q = db.exec(QStringLiteral("SELECT 期首残高, 借方金額, 貸方金額, 現在残高 FROM 勘定科目TBL WHERE 科目番号 = ?"),
                          {account});
    if (q.next()) {
        f.opening = currencyValue(q.value(0));
        f.debit = currencyValue(q.value(1));
        f.credit = currencyValue(q.value(2));
        f.current = currencyValue(q.value(3));
    }
    return f;
}

inline Currency currentOf(Database& db, int account)
{
    return figuresOf(db, account).current;
}

// Every row of a table as "a|b|c" texts in rowid order, values as stored
// with their storage class, so that two dumps are equal only when the
// table is byte for byte the same. Most server tables have no rowid: there
// the rows go in the order of their whole values.
inline QStringList dump(Database& db, const QString& table)
{
    QStringList rows;
    QSqlQuery q = db.exec((db.onServer() ? QStringLiteral("SELECT * FROM %1 AS 行 ORDER BY 行")
                                          : QStringLiteral("SELECT * FROM %1 ORDER BY rowid"))
                              .arg(table));
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < q.record().count(); ++i) {
            const QVariant v = q.value(i);
            values << (v.isNull() ? QStringLiteral("NULL") : QString::fromLatin1(v.typeName()) + QLatin1Char(':') + v.toString());
        }
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

// The tables the books keep.
inline QStringList dumpBooks(Database& db)
{
    QStringList all;
    for (const char* table : {"勘定科目TBL", "経理マスター", "経理マスター仮", "各勘定帳"})
        all << QString::fromUtf8(table) << dump(db, QString::fromUtf8(table));
    return all;
}
