#include "PostingData.h"

#include "db/Database.h"

namespace {

// Rows 1 … n of a counter, for INSERT … SELECT.
QString numbers(int n)
{
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ").arg(n);
}

} // namespace

GeneratedHolding generatePostingShop(Database& db, const Date& cutoff, const PostingVolume& v)
{
    const qint64 day = cutoff.dayNumber();
    Transaction tx(db);

    // Customers: code, name, running amounts; every tenth billed to the one before.
    db.exec(numbers(v.customers)
                + QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ, 顧客売掛請求先コード,"
                                 " 顧客売掛前回請求金額, 顧客売掛入金額, 顧客売掛締後売上額)"
                                 " SELECT printf('%05d', i), '顧客' || i, 'ｺｷｬｸ' || i,"
                                 " CASE WHEN i % 10 = 0 THEN printf('%05d', i - 1) ELSE '0' END,"
                                 " (i % 50) * 1000 * 10000, (i % 7) * 500 * 10000, (i % 30) * 700 * 10000 FROM n"));

    // Posted history over the year before the cut-off.
    db.exec(numbers(v.postedRows)
                + QStringLiteral("INSERT INTO 売上商品マスター SELECT i, 1000000 + i / 3, ? - 1 - (i % 365),"
                                 " printf('%05d', (i * 7) % ? + 1), CASE WHEN i % 5 < 3 THEN 1 ELSE 0 END,"
                                 " 1 + i % 4, 0, printf('%d', 4900000 + i % 500), '商品' || (i % 500),"
                                 " ((i * 37) % 3000 + 50) * 10000, (i % 4 + 1) * 10000 FROM n"),
            {day, v.customers});
    db.exec(QStringLiteral("INSERT INTO 売掛マスター SELECT * FROM 売上商品マスター WHERE 売上種別コード = 1"));
    db.exec(numbers(v.postedRows)
                + QStringLiteral("INSERT INTO 経理マスター SELECT i, 1000000 + i / 2, ? - 1 - (i % 365),"
                                 " ((i * 53) % 9000 + 100) * 10000,"
                                 " CASE WHEN i % 2 = 0 THEN 10 ELSE 110 END, 0,"
                                 " CASE WHEN i % 2 = 0 THEN 110 ELSE 5000 END, printf('%05d', (i * 11) % ? + 1) FROM n"),
            {day, v.customers});

    // Holding rows: serials after the posted ones; one in twenty dated the
    // day after the cut-off; a return now and then; half yen in the price.
    const int firstSerial = v.postedRows;
    db.exec(numbers(v.holdingSales)
                + QStringLiteral("INSERT INTO 売上商品マスター仮 SELECT ? + i, 2000000 + i / 3,"
                                 " CASE WHEN i % 20 = 0 THEN ? + 1 ELSE ? - (i % 3) + 0.5 END,"
                                 " printf('%05d', (i * 13) % ? + 1), CASE WHEN i % 5 < 3 THEN 1 ELSE 0 END,"
                                 " 1 + i % 4, 0, printf('%d', 4900000 + i % 500), '商品' || (i % 500),"
                                 " ((i * 37) % 3000 + 50) * 10000 + (i % 2) * 5000,"
                                 " CASE WHEN i % 97 = 0 THEN -10000 ELSE (i % 4 + 1) * 10000 END FROM n"),
            {firstSerial, day, day, v.customers});
    db.exec(numbers(v.holdingLedger)
                + QStringLiteral("INSERT INTO 経理マスター仮 SELECT ? + i, 3000000 + i,"
                                 " CASE WHEN i % 20 = 0 THEN ? + 1 ELSE ? - (i % 3) + 0.25 END,"
                                 " ((i * 53) % 9000 + 100) * 10000,"
                                 " CASE i % 4 WHEN 0 THEN 6010 WHEN 1 THEN 110 ELSE 10 END, 0,"
                                 " CASE i % 4 WHEN 0 THEN 10 WHEN 1 THEN 5000 ELSE 110 END,"
                                 " CASE WHEN i % 4 = 0 THEN '0' ELSE printf('%05d', (i * 17) % ? + 1) END FROM n"),
            {firstSerial, day, day, v.customers});
    tx.commit();

    GeneratedHolding g;
    const QVariant before = dayAfter(cutoff);
    g.salesDue = db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター仮 WHERE 売上年月日 < ?"), {before}).toInt();
    g.creditLinesDue = db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター仮 WHERE 売上年月日 < ? AND 売上種別コード = 1"),
                                 {before})
                           .toInt();
    g.ledgerDue = db.scalar(QStringLiteral("SELECT COUNT(*) FROM 経理マスター仮 WHERE 経理年月日 < ?"), {before}).toInt();
    return g;
}
