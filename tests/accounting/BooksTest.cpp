// The trial balance, the account ledger and the year-end on the small books
// of AccountingData.h, whose figures are worked by hand there.
#include "AccountingData.h"

#include "accounting/Books.h"
#include "support/TestInstallation.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace accounting;

namespace {

class BooksTest : public ::testing::Test {
protected:
    TestInstallation install;
    Database db = install.database();
    void SetUp() override { addSmallBooks(db); }
};

struct LedgerLine {
    double date;
    qlonglong debitAccount;
    qlonglong creditAccount;
    Currency debit;
    Currency credit;
    Currency balance;
};

std::vector<LedgerLine> ledgerLines(Database& db)
{
    std::vector<LedgerLine> lines;
    QSqlQuery q = db.exec(ledgerLinesStatement());
    while (q.next())
        lines.push_back({q.value(0).toDouble(), q.value(1).toLongLong(), q.value(2).toLongLong(),
                         currencyValue(q.value(3)), currencyValue(q.value(4)), currencyValue(q.value(5))});
    return lines;
}

} // namespace

TEST(BalanceSide, CreditSideIsLiabilitiesSalesAndOtherIncomeOnly)
{
    for (int account : {3000, 4999, 5000, 5499, 8000, 8999})
        EXPECT_EQ(balanceSide(account), Side::Credit) << account;
    for (int account : {1, 10, 999, 2999, 5500, 5999, 6000, 7999, 9000, 9999, 10000})
        EXPECT_EQ(balanceSide(account), Side::Debit) << account;
    // A debit adds to cash and takes from sales; a credit the opposite.
    EXPECT_EQ(moveBalance(10, yen(10000), yen(3000), yen(0)), yen(13000));
    EXPECT_EQ(moveBalance(10, yen(13000), yen(0), yen(500)), yen(12500));
    EXPECT_EQ(moveBalance(5000, yen(2000), yen(300), yen(0)), yen(1700));
}

TEST_F(BooksTest, TrialBalanceGivesEachAccountItsBalanceBySide)
{
    const TrialBalanceTotals totals = computeTrialBalance(db, PeriodEnd);

    const AccountFigures cash = figuresOf(db, 10);
    EXPECT_EQ(cash.opening, yen(100000));
    EXPECT_EQ(cash.debit, yen(31400)); // includes the row at 23:59 of the day
    EXPECT_EQ(cash.credit, yen(18800));
    EXPECT_EQ(cash.current, yen(112600));

    EXPECT_EQ(currentOf(db, 2999), yen(10500));
    EXPECT_EQ(currentOf(db, 3000), yen(24500));
    EXPECT_EQ(currentOf(db, 5499), yen(30800)); // the next day's 50000 is not in
    EXPECT_EQ(currentOf(db, 5500), yen(12000));
    EXPECT_EQ(currentOf(db, 7999), yen(4000));
    EXPECT_EQ(currentOf(db, 8000), yen(600));
    EXPECT_EQ(currentOf(db, 8999), yen(700));
    EXPECT_EQ(currentOf(db, 9000), yen(1500));
    // An account without movements shows its opening balance.
    EXPECT_EQ(figuresOf(db, 110).current, Currency());

    // 5000-5499 and 6000-7999 only: purchases (5500) and 9000 are in neither.
    EXPECT_EQ(totals.sales, yen(30800));
    EXPECT_EQ(totals.expenses, yen(4000));
}

TEST_F(BooksTest, TrialBalanceAtAnEarlierDateAfterALaterOneGivesTheEarlierFigures)
{
    const TrialBalanceTotals later = computeTrialBalance(db, day(2024, 4, 1));
    EXPECT_EQ(currentOf(db, 10), yen(162600));
    EXPECT_EQ(currentOf(db, 5499), yen(80800));
    EXPECT_EQ(later.sales, yen(80800));

    const TrialBalanceTotals earlier = computeTrialBalance(db, PeriodEnd);
    EXPECT_EQ(figuresOf(db, 10).debit, yen(31400));
    EXPECT_EQ(currentOf(db, 10), yen(112600));
    EXPECT_EQ(figuresOf(db, 5499).credit, yen(30800));
    EXPECT_EQ(earlier.sales, yen(30800));

    // Before the first row every account is back at its opening balance.
    computeTrialBalance(db, day(2024, 2, 29));
    const AccountFigures cash = figuresOf(db, 10);
    EXPECT_EQ(cash.debit, Currency());
    EXPECT_EQ(cash.credit, Currency());
    EXPECT_EQ(cash.current, yen(100000));
    EXPECT_EQ(currentOf(db, 8999), yen(1000));
}

TEST_F(BooksTest, TrialBalanceSumsLargeAmountsExactlyAndNetsASelfTransfer)
{
    addJournal(db, 120, at(day(2024, 3, 10)), 1500000000, 20, 4000);
    addJournal(db, 121, at(day(2024, 3, 11)), 1500000000, 20, 4000);
    addJournal(db, 122, at(day(2024, 3, 12)), 999, 10, 10);
    computeTrialBalance(db, PeriodEnd);
    EXPECT_EQ(figuresOf(db, 20).debit, yen(3000000000));
    EXPECT_EQ(currentOf(db, 20), yen(3000000000));
    EXPECT_EQ(currentOf(db, 4000), yen(3000000000));
    // Debit and credit of the same account: both sums grow, the balance not.
    const AccountFigures cash = figuresOf(db, 10);
    EXPECT_EQ(cash.debit, yen(31400 + 999));
    EXPECT_EQ(cash.credit, yen(18800 + 999));
    EXPECT_EQ(cash.current, yen(112600));
}

TEST_F(BooksTest, ClearingTheTrialBalanceZeroesEveryWorkColumnAndKeepsOpenings)
{
    computeTrialBalance(db, PeriodEnd);
    clearTrialBalance(db);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 勘定科目TBL WHERE 借方金額 <> 0 OR 貸方金額 <> 0 OR 現在残高 <> 0"))
                  .toInt(),
              0);
    EXPECT_EQ(figuresOf(db, 10).opening, yen(100000));
}

TEST_F(BooksTest, LedgerRunsTheBalanceFromTheOpeningInDateOrder)
{
    const LedgerResult cash = buildLedger(db, 10);
    EXPECT_TRUE(cash.accountExists);
    EXPECT_EQ(cash.accountName, QStringLiteral("現金"));
    EXPECT_EQ(cash.lines, 8);
    const std::vector<LedgerLine> lines = ledgerLines(db);
    ASSERT_EQ(lines.size(), 8u);
    const std::int64_t balances[] = {130000, 118000, 114000, 111500, 112100, 111800, 112600, 162600};
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].balance, yen(balances[i])) << "line " << i + 1;
    EXPECT_EQ(lines[0].debit, yen(30000));
    EXPECT_EQ(lines[0].credit, Currency());
    EXPECT_EQ(lines[0].debitAccount, 10);
    EXPECT_EQ(lines[0].creditAccount, 5499);
    EXPECT_EQ(lines[1].debit, Currency());
    EXPECT_EQ(lines[1].credit, yen(12000));
    EXPECT_DOUBLE_EQ(lines[6].date, at(PeriodEnd, 23.0 / 24 + 59.0 / 1440));

    // The last balance up to a day is that day's trial balance.
    computeTrialBalance(db, day(2024, 4, 1));
    EXPECT_EQ(cash.closing, currentOf(db, 10));

    // A credit-side account: credits add, a debit (a return) takes away.
    addJournal(db, 130, at(day(2024, 4, 2)), 300, 5499, 10);
    buildLedger(db, 5499);
    const std::vector<LedgerLine> sales = ledgerLines(db);
    ASSERT_EQ(sales.size(), 4u); // the cash lines are gone: one ledger at a time
    EXPECT_EQ(sales[0].balance, yen(30000));
    EXPECT_EQ(sales[1].balance, yen(30800));
    EXPECT_EQ(sales[2].balance, yen(80800));
    EXPECT_EQ(sales[3].balance, yen(80500));
    EXPECT_EQ(sales[3].debit, yen(300));
}

TEST_F(BooksTest, LedgerOrdersADayBySlipNumberThenSerialAndShowsASelfTransferOnBothSides)
{
    const Date d = day(2024, 3, 20);
    addJournal(db, 301, at(d, 0.1), 1, 10, 5499);   // early in the day, higher slip
    addJournal(db, 298, at(d, 0.9), 2, 10, 5499);   // late in the day, lower slip
    addJournal(db, 299, at(d), 4, 5500, 10);
    addJournal(db, 299, at(d), 8, 10, 10);          // same slip, later serial, same account twice
    buildLedger(db, 10);
    std::vector<LedgerLine> lines = ledgerLines(db);
    ASSERT_EQ(lines.size(), 12u);
    // Lines 7 to 10 are 2024/03/20: slip 298, 299 (two serials), 301.
    EXPECT_EQ(lines[6].debit, yen(2));
    EXPECT_EQ(lines[7].credit, yen(4));
    EXPECT_EQ(lines[8].debit, yen(8));
    EXPECT_EQ(lines[8].credit, yen(8));
    EXPECT_EQ(lines[9].debit, yen(1));
    // 111800 (after 03/07) + 2 − 4 + 8 − 8 + 1
    EXPECT_EQ(lines[6].balance, yen(111802));
    EXPECT_EQ(lines[7].balance, yen(111798));
    EXPECT_EQ(lines[8].balance, yen(111798));
    EXPECT_EQ(lines[9].balance, yen(111799));
}

TEST_F(BooksTest, LedgerOfAnAccountMissingFromTheChartStartsFromZeroUnderABlankName)
{
    db.exec(QStringLiteral("DELETE FROM 勘定科目TBL WHERE 科目番号 = 10"));
    const LedgerResult r = buildLedger(db, 10);
    EXPECT_FALSE(r.accountExists);
    EXPECT_TRUE(r.accountName.isEmpty());
    const std::vector<LedgerLine> lines = ledgerLines(db);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].balance, yen(30000));
    EXPECT_EQ(lines[7].balance, yen(62600));

    // An account with no rows: its name and no lines.
    const LedgerResult quiet = buildLedger(db, 1600);
    EXPECT_EQ(quiet.accountName, QStringLiteral("器具備品"));
    EXPECT_EQ(quiet.lines, 0);
    EXPECT_TRUE(ledgerLines(db).empty());

    buildLedger(db, 5499);
    clearLedger(db);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 各勘定帳")).toInt(), 0);
}

// The lines are written with the column checks off (their values come from
// the checked journal); a running balance beyond the money range must still
// be refused, the earlier ledger kept, and the checks be on again after.
TEST_F(BooksTest, LedgerRefusesABalanceBeyondTheMoneyRangeAndKeepsItsChecks)
{
    buildLedger(db, 10);
    setAccount(db, 1600, QStringLiteral("器具備品"), 922337203685000);
    addJournal(db, 140, at(day(2024, 3, 25)), 1000, 1600, 10);
    EXPECT_THROW(buildLedger(db, 1600), CurrencyOverflow);
    EXPECT_EQ(ledgerLines(db).size(), 8u);
    EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO 各勘定帳 (年月日, 残高) VALUES (45000, '1980円')")), DatabaseError);
    // The file's check that was switched off for the copy holds a fraction
    // out of the money column again. A server has no such switch: its
    // 64-bit column takes a number literal rounded to a whole one, and the
    // program writes money only as whole ten-thousandths.
    if (!testingOnServer()) {
        EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO 各勘定帳 (年月日, 残高) VALUES (45000, 19.8)")), DatabaseError);
    }
}

TEST_F(BooksTest, YearEndCarriesBalanceSheetAccountsAndDeletesTheClosedPeriod)
{
    // Figures a trial balance at another date left behind on an account
    // without movements must not reach its new opening balance.
    db.exec(QStringLiteral("UPDATE 勘定科目TBL SET 借方金額 = ?, 現在残高 = ? WHERE 科目番号 = 1100"),
            {sqlValue(yen(99999)), sqlValue(yen(99999))});
    setAccount(db, 1500, QStringLiteral("車両運搬具"), 250000);

    const YearEndResult r = runYearEnd(db, PeriodEnd);
    EXPECT_EQ(r.journalRowsDeleted, 9);

    EXPECT_EQ(figuresOf(db, 10).opening, yen(112600));
    EXPECT_EQ(figuresOf(db, 2999).opening, yen(10500));
    EXPECT_EQ(figuresOf(db, 3000).opening, yen(24500));
    EXPECT_EQ(figuresOf(db, 1100).opening, Currency());
    EXPECT_EQ(figuresOf(db, 1500).opening, yen(250000));
    for (int account : {5499, 5500, 7999, 8000, 8999, 9000})
        EXPECT_EQ(figuresOf(db, account).opening, Currency()) << account;
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 勘定科目TBL WHERE 借方金額 <> 0 OR 貸方金額 <> 0 OR 現在残高 <> 0"))
                  .toInt(),
              0);

    // Only the row after the period end is left, and it opens the new period.
    QSqlQuery q = db.exec(QStringLiteral("SELECT 経理伝票番号 FROM 経理マスター"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 110);
    EXPECT_FALSE(q.next());
    computeTrialBalance(db, day(2024, 4, 1));
    EXPECT_EQ(currentOf(db, 10), yen(162600));
    EXPECT_EQ(currentOf(db, 5499), yen(50000));
    clearTrialBalance(db);

    // A second run with the same date changes nothing.
    const QStringList before = dumpBooks(db);
    EXPECT_EQ(runYearEnd(db, PeriodEnd).journalRowsDeleted, 0);
    EXPECT_EQ(dumpBooks(db), before);
}

TEST_F(BooksTest, YearEndRefusesRowsOnAccountsNotInTheChartAndChangesNothing)
{
    addJournal(db, 140, at(day(2024, 3, 15)), 700, 7777, 10);
    addJournal(db, 141, at(day(2024, 3, 16)), 800, 10, 8888);
    addJournal(db, 142, at(day(2024, 4, 2)), 900, 6666, 10); // after the period end: stays, no harm
    const QStringList before = dumpBooks(db);

    const std::vector<UnplacedJournalRow> found = unplacedJournalRows(db, PeriodEnd);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].slipNumber, 140);
    EXPECT_TRUE(found[0].debitMissing);
    EXPECT_FALSE(found[0].creditMissing);
    EXPECT_TRUE(found[1].creditMissing);
    try {
        runYearEnd(db, PeriodEnd);
        FAIL() << "the year-end ran over rows it cannot carry";
    } catch (const UnplacedJournalRowsError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("伝票番号 140：借方 7777")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("伝票番号 141：貸方 8888")));
        EXPECT_FALSE(e.message().contains(QStringLiteral("6666")));
    }
    EXPECT_EQ(dumpBooks(db), before);
}

TEST_F(BooksTest, YearEndFailingAfterTheCarryForwardLeavesEveryTableAsItWas)
{
    db.exec(QStringLiteral("INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理金額, 経理借方コード, 経理貸方コード)"
                           " VALUES (150, ?, ?, 10, 5499)"),
            {at(day(2024, 3, 30)), sqlValue(yen(100))});
    EXPECT_EQ(unpostedHoldingRows(db, PeriodEnd), 1);
    EXPECT_EQ(unpostedHoldingRows(db, day(2024, 3, 29)), 0);

    const QStringList before = dumpBooks(db);
    EXPECT_THROW(runYearEnd(db, PeriodEnd, [] { throw std::runtime_error("disk full"); }), std::runtime_error);
    EXPECT_EQ(dumpBooks(db), before);
}
