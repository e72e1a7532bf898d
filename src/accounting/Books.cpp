#include "accounting/Books.h"

#include "core/Currency.h"
#include "db/ClosedPeriod.h"
#include "db/Database.h"
#include "db/Dialect.h"

#include <QSqlQuery>
#include <QStringList>

namespace accounting {

Side balanceSide(std::int64_t account)
{
    const bool credit = (account >= 3000 && account < 5500) || (account >= 8000 && account < 9000);
    return credit ? Side::Credit : Side::Debit;
}

Currency moveBalance(std::int64_t account, Currency balance, Currency debit, Currency credit)
{
    if (balanceSide(account) == Side::Credit)
        return balance - debit + credit;
    return balance + debit - credit;
}

QString currentBalanceExpression()
{
    return QStringLiteral("CASE WHEN (科目番号 >= 3000 AND 科目番号 < 5500) OR (科目番号 >= 8000 AND 科目番号 < 9000)"
                          " THEN 期首残高 - 借方金額 + 貸方金額 ELSE 期首残高 + 借方金額 - 貸方金額 END");
}

namespace {

Currency sumOrZero(const QVariant& value)
{
    return value.isNull() || !value.isValid() ? Currency() : currencyValue(value);
}

// Work columns from zero, then the debits and credits of the journal up to
// the day, then every balance by its side.
void sumJournalInto(Database& db, const Date& upTo)
{
    db.exec(QStringLiteral("UPDATE 勘定科目TBL SET 借方金額 = 0, 貸方金額 = 0, 現在残高 = 0"));
    struct Sum {
        qlonglong account;
        QVariant amount;
    };
    for (const auto& [codeColumn, workColumn] :
         {std::pair{QStringLiteral("経理借方コード"), QStringLiteral("借方金額")},
          std::pair{QStringLiteral("経理貸方コード"), QStringLiteral("貸方金額")}}) {
        std::vector<Sum> sums;
        QSqlQuery q = db.exec(QStringLiteral("SELECT %1, SUM(経理金額) FROM 経理マスター WHERE 経理年月日 < ? GROUP BY %1")
                                  .arg(codeColumn),
                              {dayAfter(upTo)});
        while (q.next())
            sums.push_back({q.value(0).toLongLong(), q.value(1)});
        q.finish();
        for (const Sum& s : sums)
            db.exec(QStringLiteral("UPDATE 勘定科目TBL SET %1 = ? WHERE 科目番号 = ?").arg(workColumn),
                    {sqlValue(currencyValue(s.amount)), s.account});
    }
    db.exec(QStringLiteral("UPDATE 勘定科目TBL SET 現在残高 = ") + currentBalanceExpression());
}

} // namespace

TrialBalanceTotals computeTrialBalance(Database& db, const Date& upTo)
{
    Transaction tx(db);
    sumJournalInto(db, upTo);
    tx.commit();
    return trialBalanceTotals(db);
}

TrialBalanceTotals trialBalanceTotals(Database& db)
{
    TrialBalanceTotals t;
    t.sales = sumOrZero(db.scalar(
        QStringLiteral("SELECT SUM(現在残高) FROM 勘定科目TBL WHERE 科目番号 >= 5000 AND 科目番号 < 5500")));
    t.expenses = sumOrZero(db.scalar(
        QStringLiteral("SELECT SUM(現在残高) FROM 勘定科目TBL WHERE 科目番号 >= 6000 AND 科目番号 < 8000")));
    return t;
}

void clearTrialBalance(Database& db)
{
    db.exec(QStringLiteral("UPDATE 勘定科目TBL SET 借方金額 = 0, 貸方金額 = 0, 現在残高 = 0"));
}

// ------------------------------------------------------------ ledger

LedgerResult buildLedger(Database& db, std::int64_t account)
{
    LedgerResult result;
    result.account = account;
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM 各勘定帳"));

    QSqlQuery chart = db.exec(QStringLiteral("SELECT 勘定科目名, 期首残高 FROM 勘定科目TBL WHERE 科目番号 = ?"),
                              {qlonglong(account)});
    if (chart.next()) {
        result.accountExists = true;
        result.accountName = chart.value(0).toString();
        result.opening = currencyValue(chart.value(1));
    }
    chart.finish();

    // One statement writes every line: the running balance is the opening
    // balance plus the signed movements so far, debits adding on a
    // debit-side account and credits on a credit-side one (a row debiting
    // and crediting the account itself moves nothing). The lines go in
    // ledger order, which is the order of their rowids.
    // The lines are copies of 経理マスター's values, which that table's own
    // checks already hold to their kinds, and the running balance is a sum
    // of those integers (checked after the statement). Checking each of a
    // quarter of a million cash lines again took two thirds of the build,
    // so the column checks are off for that one statement.
    const qlonglong sign = balanceSide(account) == Side::Debit ? 1 : -1;
    const QString runningBalance =
        QStringLiteral("? + ? * SUM(借方額 - 貸方額) OVER (ORDER BY 日, 伝票, 連番 ROWS UNBOUNDED PRECEDING)");
    const QString movements =
        QStringLiteral(" FROM (SELECT 経理年月日 AS 日付, DAYNUM(経理年月日) AS 日, 経理伝票番号 AS 伝票,"
                       "   経理シリアル AS 連番, 経理借方コード AS 借方, 経理貸方コード AS 貸方,"
                       "   CASE WHEN 経理借方コード = ? THEN 経理金額 ELSE 0 END AS 借方額,"
                       "   CASE WHEN 経理貸方コード = ? THEN 経理金額 ELSE 0 END AS 貸方額"
                       "   FROM 経理マスター WHERE 経理借方コード = ? OR 経理貸方コード = ?) AS 行");
    const QVariantList arguments{sqlValue(result.opening), sign,
                                 qlonglong(account),       qlonglong(account),
                                 qlonglong(account),       qlonglong(account)};
    try {
        ColumnChecksOff trusted(db);
        Transaction writing(db);
        db.exec(QStringLiteral("INSERT INTO 各勘定帳 (年月日, 借方科目, 貸方科目, 借方金額, 貸方金額, 残高)"
                               " SELECT 日付, 借方, 貸方, 借方額, 貸方額, ")
                    + runningBalance + movements + QStringLiteral(" ORDER BY 日, 伝票, 連番"),
                arguments);
        result.lines = db.changes();
        writing.commit();
    } catch (const DatabaseError&) {
        // A server's money column refuses a running balance beyond the
        // 64-bit range in the statement itself; that is the operator's
        // overflow, not a fault of the database.
        if (db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM (SELECT ") + runningBalance + QStringLiteral(" AS 残高")
                          + movements
                          + QStringLiteral(") AS 帳 WHERE 残高 > 9223372036854775807 OR 残高 < -9223372036854775808)"),
                      arguments)
                .toBool())
            throw CurrencyOverflow();
        throw;
    }
    // SQLite turns an integer sum past its range into a real number instead
    // of failing, and no column check is there to refuse it (a server's
    // column type refuses it in the statement).
    if (!db.onServer() && db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM 各勘定帳 WHERE typeof(残高) <> 'integer')")).toBool())
        throw CurrencyOverflow();
    const QVariant last = db.scalar(QStringLiteral("SELECT 残高 FROM 各勘定帳 ORDER BY rowid DESC LIMIT 1"));
    const Currency balance = last.isValid() ? currencyValue(last) : result.opening;
    tx.commit();
    result.closing = balance;
    return result;
}

QString ledgerLinesStatement()
{
    return QStringLiteral("SELECT 年月日, 借方科目, 貸方科目, 借方金額, 貸方金額, 残高 FROM 各勘定帳 ORDER BY rowid");
}

void clearLedger(Database& db)
{
    db.exec(QStringLiteral("DELETE FROM 各勘定帳"));
}

// ------------------------------------------------------------ year-end

std::vector<UnplacedJournalRow> unplacedJournalRows(Database& db, const Date& periodEnd)
{
    std::vector<UnplacedJournalRow> rows;
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT 経理伝票番号, 経理借方コード, 経理貸方コード,"
                       " NOT EXISTS (SELECT 1 FROM 勘定科目TBL WHERE 科目番号 = 経理借方コード),"
                       " NOT EXISTS (SELECT 1 FROM 勘定科目TBL WHERE 科目番号 = 経理貸方コード)"
                       " FROM 経理マスター WHERE 経理年月日 < ?"
                       " AND (NOT EXISTS (SELECT 1 FROM 勘定科目TBL WHERE 科目番号 = 経理借方コード)"
                       " OR NOT EXISTS (SELECT 1 FROM 勘定科目TBL WHERE 科目番号 = 経理貸方コード))"
                       " ORDER BY 経理伝票番号, 経理シリアル"),
        {dayAfter(periodEnd)});
    while (q.next()) {
        UnplacedJournalRow r;
        r.slipNumber = q.value(0).toInt();
        r.debitAccount = q.value(1).toLongLong();
        r.creditAccount = q.value(2).toLongLong();
        r.debitMissing = q.value(3).toBool();
        r.creditMissing = q.value(4).toBool();
        rows.push_back(r);
    }
    return rows;
}

namespace {

QString unplacedRowsMessage(const std::vector<UnplacedJournalRow>& rows)
{
    QStringList lines;
    lines << QStringLiteral("勘定科目にない科目番号を使った経理データがあるため、年次更新をしませんでした。何も変更していません。");
    constexpr std::size_t Shown = 20;
    for (std::size_t i = 0; i < rows.size() && i < Shown; ++i) {
        const UnplacedJournalRow& r = rows[i];
        QStringList codes;
        if (r.debitMissing)
            codes << QStringLiteral("借方 %1").arg(r.debitAccount);
        if (r.creditMissing)
            codes << QStringLiteral("貸方 %1").arg(r.creditAccount);
        lines << QStringLiteral("伝票番号 %1：%2").arg(r.slipNumber).arg(codes.join(QStringLiteral("、")));
    }
    if (rows.size() > Shown)
        lines << QStringLiteral("ほか %1 件").arg(rows.size() - Shown);
    lines << QStringLiteral("勘定科目設定でこの科目番号を登録してから、もう一度実行してください。");
    return lines.join(QLatin1Char('\n'));
}

} // namespace

UnplacedJournalRowsError::UnplacedJournalRowsError(std::vector<UnplacedJournalRow> rows)
    : OperatorError(unplacedRowsMessage(rows), "journal rows name accounts that are not in the chart"),
      rows_(std::move(rows))
{
}

UnpostedHoldingRowsError::UnpostedHoldingRowsError(int rows)
    : OperatorError(QStringLiteral("期末までの日付で、まだ日次更新していない経理データが %1 件あります。\n"
                                   "締めた後では繰越に入れられないため、年次更新はしませんでした。先に日次更新をしてください。")
                        .arg(rows),
                    "holding rows up to the period end"),
      rows_(rows)
{
}

int unpostedHoldingRows(Database& db, const Date& periodEnd)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM 経理マスター仮 WHERE 経理年月日 < ?"), {dayAfter(periodEnd)})
        .toInt();
}

YearEndResult runYearEnd(Database& db, const Date& periodEnd, const std::function<void()>& afterCarryForward)
{
    YearEndResult result;
    Transaction tx(db);
    std::vector<UnplacedJournalRow> unplaced = unplacedJournalRows(db, periodEnd);
    if (!unplaced.empty())
        throw UnplacedJournalRowsError(std::move(unplaced));
    // Holding rows up to the period end would be posted later into the
    // closed period, which no longer has them in its carry-forward.
    if (const int unposted = unpostedHoldingRows(db, periodEnd); unposted > 0)
        throw UnpostedHoldingRowsError(unposted);

    sumJournalInto(db, periodEnd);
    // Balance-sheet accounts carry their balance; the accounts from 5000 up
    // start the new period at 0. No profit is moved to another account.
    db.exec(QStringLiteral("UPDATE 勘定科目TBL SET 期首残高 = CASE WHEN 科目番号 < 5000 THEN 現在残高 ELSE 0 END,"
                           " 借方金額 = 0, 貸方金額 = 0, 現在残高 = 0"));
    if (afterCarryForward)
        afterCarryForward();
    db.exec(QStringLiteral("DELETE FROM 経理マスター WHERE 経理年月日 < ?"), {dayAfter(periodEnd)});
    result.journalRowsDeleted = db.changes();
    recordYearEnd(db, periodEnd, Date::today());
    tx.commit();
    return result;
}

} // namespace accounting
