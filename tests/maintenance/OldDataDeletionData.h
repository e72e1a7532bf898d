#pragma once
// Posted sales lines and gas readings around the old-data deletion's
// cut-off, and what the tables hold afterwards.

#include "support/TestInstallation.h"
#include "MaintenanceData.h"

#include <QSqlQuery>
#include <QStringList>
#include <gtest/gtest.h>

namespace maintenance {

inline QStringList salesDates(Database& db, const QString& table = QStringLiteral("売上商品マスター"))
{
    QStringList dates;
    QSqlQuery q = db.exec(QStringLiteral("SELECT 売上年月日 FROM %1 ORDER BY 売上年月日").arg(table));
    while (q.next())
        dates << QString::number(q.value(0).toDouble(), 'f', 4);
    return dates;
}

inline QString serial(const Date& d)
{
    return QString::number(d.serial(), 'f', 4);
}

// Every gas row as "customer|kind|date|reading", in date order.
inline QStringList gasRows(Database& db)
{
    QStringList rows;
    QSqlQuery q = db.exec(QStringLiteral("SELECT RTRIM(ガス相手先コード), ガスデータ種別コード, ガス年月日, ガス検針値"
                                         " FROM ガスデータ ORDER BY ガス年月日, ガスデータ種別コード"));
    while (q.next())
        rows << QStringLiteral("%1|%2|%3|%4")
                    .arg(q.value(0).toString())
                    .arg(q.value(1).toInt())
                    .arg(dateValue(q.value(2)).toShortString(), currencyValue(q.value(3)).toString());
    return rows;
}

class OldDataDeletionFixture : public ::testing::Test {
protected:
    // Four posted lines around the cut-off 2022-05-01, and the same dates in
    // the holding table and the receivables detail, which must stay.
    void addRowsAroundTheCutoff()
    {
        for (const Date& d : cutoffDates) {
            addSalesLine(db, 1, d, QStringLiteral("12"), QStringLiteral("米"), "2000", "1");
            addSalesLine(db, 2, d, QStringLiteral("12"), QStringLiteral("米"), "2000", "1", QStringLiteral("売上商品マスター仮"));
            addSalesLine(db, 3, d, QStringLiteral("12"), QStringLiteral("米"), "2000", "1", QStringLiteral("売掛マスター"));
        }
        db.exec(QStringLiteral("INSERT INTO 経理マスター (経理伝票番号, 経理年月日, 経理金額, 経理借方コード,"
                               " 経理借方相手先コード, 経理貸方コード, 経理貸方相手先コード) VALUES (1, ?, ?, 110, 0, 5000, 'C1')"),
                {sqlValue(day(2022, 4, 30)), sqlValue(yen("2000"))});
    }

    // Gas customers around the cut-off 2022-05-01:
    //  G1: readings 2021-01-10 (unpadded code) and 2022-02-10 (padded), a
    //      cylinder change and a delivery, all before the cut-off;
    //  G2: an opening reading before the cut-off, a reading after it;
    //  G3: an opening reading and a reading on its latest day, then a
    //      reading without billing (kind 7).
    void addGasCustomers()
    {
        addGasRow(db, day(2021, 1, 10), 1, QStringLiteral("G1"), "100");
        addGasRow(db, day(2021, 6, 1), 5, QStringLiteral("G1"), "0");
        addGasRow(db, day(2022, 2, 10), 1, QStringLiteral("G1           "), "150");
        addGasRow(db, day(2022, 3, 1), 6, QStringLiteral("G1"), "0");
        addGasRow(db, day(2021, 3, 1), 8, QStringLiteral("G2"), "10");
        addGasRow(db, day(2022, 6, 1), 1, QStringLiteral("G2"), "40");
        addGasRow(db, day(2022, 4, 1), 8, QStringLiteral("G3"), "0");
        addGasRow(db, day(2022, 4, 1), 1, QStringLiteral("G3"), "20");
        addGasRow(db, day(2022, 4, 15), 7, QStringLiteral("G3"), "25");
    }

    TestInstallation inst;
    Database db = inst.database();
    const Date cutoffDates[4] = {day(2022, 4, 30), day(2022, 5, 1), at(2022, 5, 1, 23, 30), day(2022, 5, 2)};
};

} // namespace maintenance
