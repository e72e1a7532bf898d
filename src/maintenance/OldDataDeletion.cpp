#include "maintenance/OldDataDeletion.h"

#include "db/Database.h"

namespace {

// The rows of a customer's latest meter reading: kind 1 or 8, dated on the
// latest date any row of kind 1 or 8 of that customer carries.
const QString LatestReading = QStringLiteral(
    "(ガスデータ種別コード IN (1, 8) AND ガス年月日 = (SELECT MAX(最新.ガス年月日) FROM ガスデータ AS 最新"
    " WHERE 最新.ガス相手先コード = ガスデータ.ガス相手先コード AND 最新.ガスデータ種別コード IN (1, 8)))");

int count(Database& db, const QString& sql, const Date& cutoff)
{
    return db.scalar(sql, {dayAfter(cutoff)}).toInt();
}

} // namespace

bool isAfterToday(const Date& cutoff, const Date& today)
{
    return cutoff.dayNumber() > today.dayNumber();
}

DeletionCount countOldSalesLines(Database& db, const Date& cutoff)
{
    DeletionCount c;
    c.rows = count(db, QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター WHERE 売上年月日 < ?"), cutoff);
    return c;
}

int deleteOldSalesLines(Database& db, const Date& cutoff)
{
    BatchMemory memory(db); // years of lines out of the table and its four indexes
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM 売上商品マスター WHERE 売上年月日 < ?"), {dayAfter(cutoff)});
    const int deleted = db.changes();
    tx.commit();
    return deleted;
}

DeletionCount countOldGasData(Database& db, const Date& cutoff)
{
    DeletionCount c;
    c.rows = count(db, QStringLiteral("SELECT COUNT(*) FROM ガスデータ WHERE ガス年月日 < ? AND NOT ") + LatestReading,
                   cutoff);
    c.readingsKept = count(db, QStringLiteral("SELECT COUNT(*) FROM ガスデータ WHERE ガス年月日 < ? AND ") + LatestReading,
                           cutoff);
    return c;
}

int deleteOldGasData(Database& db, const Date& cutoff)
{
    BatchMemory memory(db);
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM ガスデータ WHERE ガス年月日 < ? AND NOT ") + LatestReading, {dayAfter(cutoff)});
    const int deleted = db.changes();
    tx.commit();
    return deleted;
}
