#include "TenYears.h"

#include "customers/CustomerSelection.h"
#include "db/Database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <stdexcept>

namespace {

// Rows 0 … n − 1 of a counter, for INSERT … SELECT (n is bound first).
const QString Counter = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) ");

const int ClosingDays[] = {5, 10, 15, 20, 25, 31};
const int BankCodes[] = {1, 5, 9, 10, 17};

// The last closing day before `today`'s month began, for closing day `cd`
// (31 is the month end).
Date previousClosing(const Date& today, int cd)
{
    if (cd >= 28)
        return Date::fromParts(today.year(), today.month(), 0);
    return Date::fromParts(today.year(), today.month() - 1, cd);
}

void insertCodeTables(Database& db)
{
    db.exec(QStringLiteral("INSERT INTO 商品部門マスター (部門コード, 部門名, 税区分)"
                           " VALUES (1, '米', 0), (2, '灯油', 0), (3, 'ガス器具', 0), (4, '雑貨', 0), (5, '食品', 5),"
                           " (6, '酒', 0), (7, '飲料', 5), (8, '日用品', 0), (9, '電池', 0), (10, '贈答', 9),"
                           " (99, '消費税', 9)"));
    db.exec(Counter
                + QStringLiteral("INSERT INTO 商品マスター (単品コード, 部門コード, 単品名称, 単品名称カナ, 単品売価, 単品米キロ, 単品灯油Ｌ)"
                                 " SELECT '49' || substr(CAST(100000 + i AS TEXT), 2), 1 + i % 10, '商品' || i, 'ｼｮｳﾋﾝ' || i, (i % 300 + 1) * 100000,"
                                 " CASE WHEN i % 10 = 0 THEN 10 ELSE 0 END, CASE WHEN i % 10 = 1 THEN 18 ELSE 0 END FROM n"),
            {500});
    db.exec(QStringLiteral("INSERT INTO 引落銀行ＴＢＬ (引落銀行コード, 引落銀行名, 引落銀行名カナ)"
                           " VALUES (1, '第一銀行', 'ﾀﾞｲｲﾁｷﾞﾝｺｳ'), (5, '南銀行', 'ﾐﾅﾐｷﾞﾝｺｳ'), (9, '北銀行', 'ｷﾀｷﾞﾝｺｳ'),"
                           " (10, '東信用金庫', 'ﾋｶﾞｼｼﾝｷﾝ'), (17, '西農協', 'ﾆｼﾉｳｷｮｳ')"));
    db.exec(QStringLiteral("INSERT INTO 決済方法ＴＢＬ (決済方法コード, 決済方法, 決済銀行ファイル名, 決済銀行振替種別コード,"
                           " 決済銀行振替委託者コード, 決済銀行振替委託者名カナ, 決済銀行名カナ, 決済銀行支店番号,"
                           " 決済銀行支店名カナ, 決済銀行口座番号)"
                           " VALUES (0, '集金', '', '', '', '', '', '', '', ''), (1, '振込', '', '', '', '', '', '', '', ''),"
                           " (?, '口座振替', 'JIFURI.TXT', '91', '1234567890', 'ﾋﾏﾜﾘｼｮｳﾃﾝ', 'ﾐﾅﾐｷﾞﾝｺｳ', '123', 'ﾎﾝﾃﾝ', '11234567')"),
            {BankDebitMethod});
}

// 2,000 customers through one prepared statement.
void insertCustomers(Database& db, const Date& first, const Date& today, int count)
{
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral(
        "INSERT INTO 顧客マスター (顧客コード, 顧客ガスコード, 顧客名前, 顧客名前カナ, 顧客電話番号, 顧客郵便番号,"
        " 顧客住所１, 顧客住所２, 顧客登録日, 顧客売掛条件, 顧客売掛締切日, 顧客売掛集金日, 顧客売掛前回請求金額,"
        " 顧客売掛前回締め日, 顧客売掛請求先コード, 顧客引落銀行コード, 顧客引落銀行支店コード, 顧客引落口座種別,"
        " 顧客引落口座番号, 顧客米サービスレベル, 顧客灯油サービスレベル, 顧客灯油タンク容量, 顧客ガスタイプ,"
        " 顧客ガスボンベ１, 顧客ガスボンベ２, 顧客売掛決済コード)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 1; i <= count; ++i) {
        const QString code = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        const bool gas = i % 8 == 0;
        const bool bank = i % 4 == 1;
        const int cd = ClosingDays[i % 6];
        QString initial = kanaInitialPattern((i + i / 8) % KanaInitialCount);
        initial.chop(1);
        const QVariantList values = {
            code,
            gas ? code : QStringLiteral("0"),
            QStringLiteral("顧客%1").arg(i),
            initial + QStringLiteral("ｺｷｬｸ%1").arg(i),
            QStringLiteral("0123-45-%1").arg(i, 4, 10, QLatin1Char('0')),
            QStringLiteral("123-%1").arg(i % 10000, 4, 10, QLatin1Char('0')),
            QStringLiteral("ひまわり町%1丁目").arg(i % 9 + 1),
            QStringLiteral("%1番地").arg(i),
            sqlValue(first),
            i % 3,
            cd,
            ClosingDays[(i + 2) % 6],
            sqlValue(Currency::fromUnits(i % 9 == 0 ? 0 : (i * 37) % 60 * 1000)),
            sqlValue(previousClosing(today, cd)),
            i % 10 == 0 ? QStringLiteral("%1").arg(i - 1, 5, 10, QLatin1Char('0')) : QStringLiteral("0"),
            bank ? BankCodes[i % 5] : 0,
            bank ? QStringLiteral("%1").arg(i % 900 + 1, 3, 10, QLatin1Char('0')) : QStringLiteral(""),
            bank ? 1 : 0,
            bank ? QStringLiteral("%1").arg(i * 7 + 1000000, 7, 10, QLatin1Char('0')) : QStringLiteral(""),
            i % 5 == 0 ? 1 + i % 3 : 0,
            i % 3 == 0 ? 1 + i % 2 : 0,
            i % 3 == 0 ? 200.0 : 0.0,
            gas ? 1 + i % 2 : 0,
            gas ? 50.0 : 0.0,
            gas ? 20.0 : 0.0,
            bank ? BankDebitMethod : i % 2,
        };
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec())
            throw DatabaseError(q.lastError().text(), q.lastQuery());
    }
}

} // namespace

TenYears generateTenYears(Database& db, const Date& today, const TenYearsVolume& v)
{
    TenYears made;
    made.today = today;
    made.first = Date::fromParts(today.year() - 10, today.month(), today.day());
    const qint64 first = made.first.dayNumber();
    const qint64 days = today.dayNumber() - first;
    const int firstSlip = 1000000;

    Transaction tx(db);
    insertCodeTables(db);
    insertCustomers(db, made.first, today, v.customers);

    // Posted sales: six lines a slip, the sixth the consumption-tax line
    // (department 99); three slips in five on credit; a time of day now
    // and then.
    db.exec(Counter
                + QStringLiteral("INSERT INTO 売上商品マスター SELECT i + 1, ? + s, ? + s * ? / ? + (s % 4) * 0.125,"
                                 " substr(CAST(100001 + (s * 7919) % ? AS TEXT), 2), CASE WHEN s % 5 < 3 THEN 1 ELSE 0 END,"
                                 " CASE WHEN i % 6 = 5 THEN 99 ELSE 1 + p % 10 END, 0,"
                                 " CASE WHEN i % 6 = 5 THEN '' ELSE '49' || substr(CAST(100000 + p AS TEXT), 2) END,"
                                 " CASE WHEN i % 6 = 5 THEN '消費税' ELSE '商品' || p END,"
                                 " CASE WHEN i % 6 = 5 THEN (p % 50 + 1) * 10000 ELSE (p % 300 + 1) * 100000 END,"
                                 " CASE WHEN i % 6 = 5 THEN 10000 ELSE (i % 4 + 1) * 10000 END"
                                 " FROM (SELECT i, i / 6 AS s, (i * 31 + i / 6) % 500 AS p FROM n) AS t"),
            {v.slips * 6, firstSlip, first, days, v.slips, v.customers});
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客最終売上日 = COALESCE((SELECT DAYNUM(MAX(売上年月日))"
                           " FROM 売上商品マスター WHERE 売上顧客コード = 顧客マスター.顧客コード), 0)"));

    // Journal: cash and credit sales, payments from customers, expenses,
    // gas sales, purchases; two rows a slip after the sales slips.
    const int journalSlip = firstSlip + v.slips;
    db.exec(Counter
                + QStringLiteral("INSERT INTO 経理マスター SELECT i + 1, ? + i / 2, ? + i * ? / ? + (i % 3) * 0.25,"
                                 " ((i * 53) % 9000 + 100) * 10000,"
                                 " CASE i % 6 WHEN 0 THEN 10 WHEN 1 THEN 110 WHEN 2 THEN 10 WHEN 3 THEN 6010 + 10 * (i % 10)"
                                 "   WHEN 4 THEN 10 ELSE 5530 END, 0,"
                                 " CASE i % 6 WHEN 0 THEN 5000 WHEN 1 THEN 5000 WHEN 2 THEN 110 WHEN 3 THEN 10"
                                 "   WHEN 4 THEN 3075 ELSE 10 END,"
                                 " CASE WHEN i % 6 = 2 THEN substr(CAST(100001 + ((i / 6) * 7) % ? AS TEXT), 2) ELSE '0' END FROM n"),
            {v.journalRows, journalSlip, first, days, v.journalRows, v.customers});
    made.lastSlipNumber = journalSlip + (v.journalRows - 1) / 2;

    // Invoices closed every month: only the credit lines after the billing
    // customer's last closing remain in 売掛マスター, under its code.
    const qint64 earliestOpen = previousClosing(today, 5).dayNumber() + 1;
    db.exec(QStringLiteral("INSERT INTO 売掛マスター SELECT s.売上シリアル, s.売上伝票番号, s.売上年月日, b.顧客コード,"
                           " s.売上種別コード, s.売上部門コード, s.売上税区分コード, s.売上単品コード, s.売上単品名,"
                           " s.売上単価, s.売上個数"
                           " FROM 売上商品マスター s JOIN 顧客マスター own ON own.顧客コード = s.売上顧客コード"
                           " JOIN 顧客マスター b ON b.顧客コード = CASE WHEN own.顧客売掛請求先コード = '0'"
                           "   THEN own.顧客コード ELSE own.顧客売掛請求先コード END"
                           " WHERE s.売上年月日 >= ? AND s.売上種別コード = 1 AND s.売上年月日 >= b.顧客売掛前回締め日 + 1"
                           " ORDER BY s.売上シリアル"),
            {earliestOpen});
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛締後売上額 = COALESCE((SELECT SUM(CUR_INT(CUR_MUL(売上個数, 売上単価)))"
                           " FROM 売掛マスター WHERE 売上顧客コード = 顧客マスター.顧客コード), 0)"));
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛入金額 = COALESCE(p.金額, 0), 顧客売掛入金日 = COALESCE(p.入金日, 0)"
                           " FROM (SELECT c.顧客コード AS 顧客, SUM(j.経理金額) AS 金額, DAYNUM(MAX(j.経理年月日)) AS 入金日"
                           "   FROM 顧客マスター c JOIN 経理マスター j ON j.経理貸方相手先コード = c.顧客コード"
                           "   WHERE j.経理貸方コード = 110 AND j.経理年月日 >= c.顧客売掛前回締め日 + 1 GROUP BY c.顧客コード) p"
                           " WHERE 顧客マスター.顧客コード = p.顧客"));

    // LP gas: every eighth customer, a billed reading a month (the first
    // one the opening reading).
    const int gasCustomers = std::min(v.gasCustomers, v.customers / 8);
    db.exec(Counter
                + QStringLiteral("INSERT INTO ガスデータ SELECT ? + m * ? / ? + 14, CASE WHEN m = 0 THEN 8 ELSE 1 END,"
                                 " substr(CAST(100000 + (k + 1) * 8 AS TEXT), 2), (m * 15 + k % 7) * 10000, CASE WHEN m = 0 THEN 0 ELSE 150000 END,"
                                 " 0, 0, CASE WHEN m = 0 THEN 0 ELSE 90000000 END, CASE WHEN m = 0 THEN 0 ELSE 3075 END"
                                 " FROM (SELECT i / ? AS k, i % ? AS m FROM n) AS t"),
            {gasCustomers * v.gasMonths, first, days - 15, v.gasMonths, v.gasMonths, v.gasMonths});

    // Account 110 opens with what the customers owed before the history
    // began, so that it agrees with their balances.
    db.exec(QStringLiteral("UPDATE 勘定科目TBL SET 期首残高 = (SELECT SUM(顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額)"
                           " FROM 顧客マスター) - COALESCE((SELECT SUM(経理金額) FROM 経理マスター WHERE 経理借方コード = 110), 0)"
                           " + COALESCE((SELECT SUM(経理金額) FROM 経理マスター WHERE 経理貸方コード = 110), 0)"
                           " WHERE 科目番号 = 110"));
    tx.commit();

    made.customers = db.scalar(QStringLiteral("SELECT COUNT(*) FROM 顧客マスター")).toInt();
    made.salesLines = db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター")).toInt();
    made.receivableLines = db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売掛マスター")).toInt();
    made.journalRows = db.scalar(QStringLiteral("SELECT COUNT(*) FROM 経理マスター")).toInt();
    made.gasRows = db.scalar(QStringLiteral("SELECT COUNT(*) FROM ガスデータ")).toInt();
    made.bankDebitCustomers =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM 顧客マスター WHERE 顧客売掛決済コード = ?"), {BankDebitMethod}).toInt();
    checkBooks(db);
    return made;
}

int addHoldingDay(Database& db, const Date& day, int salesLines, int ledgerRows, int firstSlip)
{
    const int customers = db.scalar(QStringLiteral("SELECT COUNT(*) FROM 顧客マスター")).toInt();
    const qint64 salesSerial = db.scalar(QStringLiteral("SELECT COALESCE(MAX(m), 0) FROM (SELECT MAX(売上シリアル) AS m FROM 売上商品マスター"
                                                        " UNION ALL SELECT MAX(売上シリアル) FROM 売上商品マスター仮) AS t"))
                                   .toLongLong();
    const qint64 ledgerSerial = db.scalar(QStringLiteral("SELECT COALESCE(MAX(m), 0) FROM (SELECT MAX(経理シリアル) AS m FROM 経理マスター"
                                                         " UNION ALL SELECT MAX(経理シリアル) FROM 経理マスター仮) AS t"))
                                    .toLongLong();
    const qint64 d = day.dayNumber();
    const int ledgerSlip = firstSlip + (salesLines + 5) / 6;
    Transaction tx(db);
    db.exec(Counter
                + QStringLiteral("INSERT INTO 売上商品マスター仮 SELECT ? + i + 1, ? + s, ? + (s % 3) * 0.25,"
                                 " substr(CAST(100001 + (s * 13) % ? AS TEXT), 2), CASE WHEN s % 5 < 3 THEN 1 ELSE 0 END,"
                                 " CASE WHEN i % 6 = 5 THEN 99 ELSE 1 + p % 10 END, 0,"
                                 " CASE WHEN i % 6 = 5 THEN '' ELSE '49' || substr(CAST(100000 + p AS TEXT), 2) END,"
                                 " CASE WHEN i % 6 = 5 THEN '消費税' ELSE '商品' || p END,"
                                 " CASE WHEN i % 6 = 5 THEN (p % 50 + 1) * 10000 ELSE (p % 300 + 1) * 100000 END,"
                                 " CASE WHEN i % 6 = 5 THEN 10000 WHEN i % 97 = 0 THEN -10000 ELSE (i % 4 + 1) * 10000 END"
                                 " FROM (SELECT i, i / 6 AS s, (i * 17 + i / 6) % 500 AS p FROM n) AS t"),
            {salesLines, salesSerial, firstSlip, d, customers});
    // Each credit slip's journal row (debit 110, its amount), as storing
    // the slip writes it, so that account 110 stays in step with the
    // customers once the day is posted.
    db.exec(QStringLiteral("INSERT INTO 経理マスター仮 SELECT ? + ROW_NUMBER() OVER (ORDER BY 売上伝票番号), 売上伝票番号,"
                           " MIN(売上年月日), SUM(CUR_INT(CUR_MUL(売上個数, 売上単価))), 110, 0, 5000, '0'"
                           " FROM 売上商品マスター仮 WHERE 売上伝票番号 >= ? AND 売上種別コード = 1"
                           " GROUP BY 売上伝票番号 ORDER BY 売上伝票番号"),
            {ledgerSerial, firstSlip});
    const int slipRows = db.changes();
    // The rest: payments from customers (credit 110) and expenses.
    const int rest = std::max(0, ledgerRows - slipRows);
    db.exec(Counter
                + QStringLiteral("INSERT INTO 経理マスター仮 SELECT ? + i + 1, ? + i / 2, ? + (i % 3) * 0.25,"
                                 " ((i * 53) % 9000 + 100) * 10000,"
                                 " CASE WHEN i % 2 = 0 THEN 10 ELSE 6010 END, 0,"
                                 " CASE WHEN i % 2 = 0 THEN 110 ELSE 10 END,"
                                 " CASE WHEN i % 2 = 0 THEN substr(CAST(100001 + (i * 7) % ? AS TEXT), 2) ELSE '0' END FROM n"),
            {std::max(rest, 1), ledgerSerial + slipRows, ledgerSlip, d, customers});
    if (rest == 0)
        db.exec(QStringLiteral("DELETE FROM 経理マスター仮 WHERE 経理シリアル = ?"), {ledgerSerial + slipRows + 1});
    tx.commit();
    return ledgerSlip + (rest + 1) / 2;
}

TenYearsBooks readBooks(Database& db)
{
    TenYearsBooks b;
    b.account110 = currencyValue(db.scalar(QStringLiteral(
        "SELECT 期首残高 + COALESCE((SELECT SUM(経理金額) FROM 経理マスター WHERE 経理借方コード = 110), 0)"
        " - COALESCE((SELECT SUM(経理金額) FROM 経理マスター WHERE 経理貸方コード = 110), 0)"
        " FROM 勘定科目TBL WHERE 科目番号 = 110")));
    b.customerBalances = currencyValue(db.scalar(
        QStringLiteral("SELECT COALESCE(SUM(顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額), 0) FROM 顧客マスター")));
    b.creditSalesSinceClosing =
        currencyValue(db.scalar(QStringLiteral("SELECT COALESCE(SUM(顧客売掛締後売上額), 0) FROM 顧客マスター")));
    b.openReceivableLines = currencyValue(
        db.scalar(QStringLiteral("SELECT COALESCE(SUM(CUR_INT(CUR_MUL(売上個数, 売上単価))), 0) FROM 売掛マスター")));
    b.linesOutsideOpenPeriod = db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売掛マスター r JOIN 顧客マスター c"
                                                        " ON c.顧客コード = r.売上顧客コード"
                                                        " WHERE r.売上年月日 < c.顧客売掛前回締め日 + 1"))
                                   .toInt();
    return b;
}

void checkBooks(Database& db)
{
    const TenYearsBooks b = readBooks(db);
    if (b.account110 != b.customerBalances)
        throw std::logic_error("account 110 does not agree with the customers' balances");
    if (b.creditSalesSinceClosing != b.openReceivableLines)
        throw std::logic_error("credit sales since closing do not agree with 売掛マスター");
    if (b.linesOutsideOpenPeriod != 0)
        throw std::logic_error("売掛マスター holds lines of a closed period");
}
