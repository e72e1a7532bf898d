// Processing a result file: which records become payments, the journal
// rows and their slip numbers, the counter, a file run twice, and the files
// that must book nothing.
#include "session/Routines.h"
#include "receivables/BankDebitFile.h"
#include "receivables/BankDebitResult.h"
#include "support/BankResultFiles.h"
#include "sales/DailyUpdate.h"
#include "support/RefusedWrites.h"
#include "support/TestInstallation.h"
#include "PaymentData.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace bankfile;

namespace {

class BankDebitResultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* code : {"1001", "1002", "1003", "12"})
            db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前) VALUES (?, 'テスト')"), {QString::fromUtf8(code)});
    }

    QString counterInFile() const
    {
        return parseConfiguration(inst.configurationFileBytes(), QStringLiteral("test")).counterText();
    }

    // Books the file as the screen does; `again` as when the operator chose
    // to run a file processed before once more.
    BookedRun book(const QByteArray& bytes, Date date = Date::fromParts(2024, 6, 10), bool again = false)
    {
        ResultPlan plan = planResultRun(db, readResultFile(bytes), date);
        if (again)
            bookEarlierPaymentsAgain(plan);
        return bookResultRun(db, testSession().config, plan, date, 20, QStringLiteral("HBR0991.TXT"), inst.configurationPath());
    }

    int rowsOf(const char* table) { return db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QString::fromUtf8(table))).toInt(); }

    TestInstallation inst;
    Database db = inst.database();
};

} // namespace

TEST_F(BankDebitResultTest, DebitedCustomersGetOneRowAndOneNumberEachInFileOrder)
{
    testSession().config.slipCounter = 41;
    const QByteArray bytes = resultFile({resultRecord("1003", 10800, '0'), resultRecord("1001", 5000, '1'),
                                         resultRecord("1002", 2500, '0')});
    const BookedRun booked = book(bytes);
    EXPECT_EQ(booked.firstSlipNumber, 41);
    EXPECT_EQ(booked.lastSlipNumber, 42);
    EXPECT_TRUE(booked.counterError.isEmpty());
    // 経理伝票番号|経理年月日|経理金額|借方|借方相手先|貸方|貸方相手先; amounts in
    // ticks, the date as its serial (10 June 2024 is 45453).
    EXPECT_EQ(holdingLedgerRows(db), QStringList({QStringLiteral("41|45453|108000000|20|0|110|1003"),
                                                  QStringLiteral("42|45453|25000000|20|0|110|1002")}));
    EXPECT_EQ(testSession().config.slipCounter, 43);
    EXPECT_EQ(counterInFile(), QStringLiteral(" 43"));
}

TEST_F(BankDebitResultTest, PlanCountsWhatWasAndWasNotDebited)
{
    QByteArray unreadable = resultRecord("1002", 300, '0');
    unreadable.replace(91, 20, QByteArray(20, ' '));
    // A code in the master written with blanks after it still matches; a
    // code the master does not hold is named.
    const QByteArray bytes = resultFile({resultRecord("12", 10800, '0'), resultRecord("1001", 5000, '1'),
                                         resultRecord("9999", 3000, '0'), resultRecord("1003", 700, '9'), unreadable});
    const ResultPlan plan = planResultRun(db, readResultFile(bytes), Date::fromParts(2024, 6, 10));
    ASSERT_EQ(plan.payments.size(), 1u);
    EXPECT_EQ(plan.payments[0].customerCode, QStringLiteral("12"));
    EXPECT_EQ(plan.payments[0].amount, Currency::fromUnits(10800));
    EXPECT_EQ(plan.paymentsTotal, Currency::fromUnits(10800));
    EXPECT_EQ(plan.notDebited, 2);
    EXPECT_EQ(plan.notDebitedTotal, Currency::fromUnits(5700));
    ASSERT_EQ(plan.unmatched.size(), 1u);
    EXPECT_EQ(plan.unmatched[0].customerCode, QStringLiteral("9999"));
    EXPECT_EQ(plan.unreadable, std::vector<int>({6}));

    const QString summary = resultRunSummary(plan);
    EXPECT_EQ(summary.split(u'\n').mid(0, 3),
              QStringList({QStringLiteral("入金を記録した顧客：1 件　10,800 円"),
                           QStringLiteral("引き落とされなかった顧客：2 件　5,700 円"),
                           QStringLiteral("顧客マスターにない顧客：1 件　3,000 円（顧客コード 9999）")}));
    EXPECT_TRUE(summary.contains(QStringLiteral("金額か顧客コードが読めない明細：1 件（6 行目）")));
}

TEST_F(BankDebitResultTest, FilesThatMustBookNothing)
{
    // The request file fed back: no result codes.
    QByteArray request = resultFile({resultRecord("1001", 10800, ' '), resultRecord("1002", 2500, ' ')});
    EXPECT_THROW(planResultRun(db, readResultFile(request), Date::fromParts(2024, 6, 10)), NotAResultFile);
    // A file of unknown customers books nothing and writes nothing.
    const BookedRun booked = book(resultFile({resultRecord("8888", 100, '0')}));
    EXPECT_EQ(booked.firstSlipNumber, 0);
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(testSession().config.slipCounter, 1);
    EXPECT_EQ(counterInFile(), QStringLiteral(" 1"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 引落結果処理ＴＢＬ")).toInt(), 0);
}

TEST_F(BankDebitResultTest, SlipNumbersMustAllFitBeforeAnyRowIsWritten)
{
    Configuration& config = testSession().config;
    config.slipPrefix = 21;
    config.slipCounter = 47483646;
    const QByteArray three = resultFile(
        {resultRecord("1001", 100, '0'), resultRecord("1002", 200, '0'), resultRecord("1003", 300, '0')});
    EXPECT_THROW(checkSlipNumbers(config, 3), SlipNumberOverflow);
    EXPECT_THROW(book(three), SlipNumberOverflow);
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(config.slipCounter, 47483646);
    EXPECT_EQ(counterInFile(), QStringLiteral(" 1")); // the file was never rewritten

    // Two numbers fit: 2147483646 and 2147483647, the largest.
    const BookedRun booked = book(resultFile({resultRecord("1001", 100, '0'), resultRecord("1002", 200, '0')}));
    EXPECT_EQ(booked.firstSlipNumber, 2147483646);
    EXPECT_EQ(booked.lastSlipNumber, 2147483647);
    EXPECT_EQ(config.slipCounter, 47483648);
    EXPECT_EQ(holdingLedgerRows(db).size(), 2);
}

TEST_F(BankDebitResultTest, TheSameFileIsRecognisedWithOrWithoutLineEnds)
{
    const QList<QByteArray> data = {resultRecord("1001", 10800, '0'), resultRecord("1002", 2500, '1'),
                                    resultRecord("1003", 700, '0')};
    const QByteArray withEnds = resultFile(data);
    const QByteArray fixed = resultFile(data, "");
    ASSERT_EQ(fixed.size(), 120 * 6);
    ASSERT_FALSE(previousRun(db, readResultFile(withEnds).fingerprint).has_value());

    book(withEnds, Date::fromParts(2024, 6, 10));
    const QStringList first = holdingLedgerRows(db);
    ASSERT_EQ(first.size(), 2);
    const std::optional<ProcessedRun> earlier = previousRun(db, readResultFile(fixed).fingerprint);
    ASSERT_TRUE(earlier.has_value());
    EXPECT_EQ(earlier->payments, 2);
    EXPECT_EQ(earlier->total, Currency::fromUnits(11500));
    EXPECT_EQ(earlier->paymentDate, Date::fromParts(2024, 6, 10));
    EXPECT_EQ(earlier->processedOn, Date::today());
    EXPECT_EQ(earlier->fileName, QStringLiteral("HBR0991.TXT"));
    EXPECT_TRUE(repeatedRunQuestion(*earlier).contains(QStringLiteral("2 件　11,500 円")));

    // Run again (the operator accepted): the same rows under new numbers.
    book(fixed, Date::fromParts(2024, 6, 10), true);
    const QStringList both = holdingLedgerRows(db);
    ASSERT_EQ(both.size(), 4);
    EXPECT_EQ(both[2].section(u'|', 1), first[0].section(u'|', 1));
    EXPECT_EQ(both[3].section(u'|', 1), first[1].section(u'|', 1));
    EXPECT_EQ(both[2].section(u'|', 0, 0), QStringLiteral("3"));
}

TEST_F(BankDebitResultTest, OlderDatabasesGetThePaymentTableFromTheUpgrade)
{
    // A database of the first version has no table of booked payments; the
    // upgrade gives it one, with the very statement a new shop's has.
    if (testingOnServer())
        GTEST_SKIP() << "upgrading a database file of an older version: a server database is made at the current version";
    const QString inNewShop =
        db.scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = '引落結果入金ＴＢＬ'")).toString();
    db.exec(QStringLiteral("DROP TABLE 引落結果入金ＴＢＬ"));
    db.exec(QStringLiteral("PRAGMA user_version = 1"));
    EXPECT_EQ(upgradeSchema(db), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = '引落結果入金ＴＢＬ'")).toString(), inNewShop);
    book(resultFile({resultRecord("1001", 10800, '0')}));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 引落結果処理ＴＢＬ")).toInt(), 1);
    EXPECT_EQ(rowsOf("引落結果入金ＴＢＬ"), 1);
}

TEST_F(BankDebitResultTest, ARefusedRowLeavesNothingBehind)
{
    // A trigger refuses the second row: the first is rolled back with it.
    addRefusal(db, QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON 経理マスター仮 WHEN NEW.経理貸方相手先コード = '1002'"
                                  " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_THROW(book(resultFile({resultRecord("1001", 100, '0'), resultRecord("1002", 200, '0')})), DatabaseError);
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(testSession().config.slipCounter, 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 引落結果処理ＴＢＬ")).toInt(), 0);
    EXPECT_EQ(rowsOf("引落結果入金ＴＢＬ"), 0);
}

TEST_F(BankDebitResultTest, APaymentInTheBooksIsNotBookedAgainFromAnotherFile)
{
    book(resultFile({resultRecord("1001", 10800, '0'), resultRecord("1002", 2500, '0')}));
    ASSERT_EQ(holdingLedgerRows(db).size(), 2); // slips 1 and 2

    // Another file of the same debit date: 1001 with the same amount is in
    // the books; 1002 was not debited this time, and its other amount is
    // another payment.
    const QByteArray second = resultFile({resultRecord("1001", 10800, '0'), resultRecord("1002", 2500, '1'),
                                          resultRecord("1003", 700, '0'), resultRecord("1002", 3000, '0')});
    ResultPlan plan = planResultRun(db, readResultFile(second), Date::fromParts(2024, 6, 10));
    EXPECT_EQ(plan.debitDate, Date::fromParts(2024, 6, 27));
    ASSERT_EQ(plan.alreadyBooked.size(), 1u);
    EXPECT_EQ(plan.alreadyBooked[0].payment.customerCode, QStringLiteral("1001"));
    EXPECT_EQ(plan.alreadyBooked[0].payment.customerName, QStringLiteral("テスト"));
    EXPECT_EQ(plan.alreadyBooked[0].slipNumber, 1);
    EXPECT_EQ(plan.alreadyBooked[0].processedOn, Date::today());
    EXPECT_EQ(plan.alreadyBookedTotal, Currency::fromUnits(10800));
    ASSERT_EQ(plan.payments.size(), 2u);
    EXPECT_EQ(plan.payments[0].recordNumber, 4);
    EXPECT_EQ(plan.paymentsTotal, Currency::fromUnits(3700));
    EXPECT_EQ(resultRunSummary(plan).section(u'\n', -1), QStringLiteral("記録済みのため記録しなかった入金：1 件　10,800 円"));

    book(second);
    EXPECT_EQ(holdingLedgerRows(db).mid(2), QStringList({QStringLiteral("3|45453|7000000|20|0|110|1003"),
                                                         QStringLiteral("4|45453|30000000|20|0|110|1002")}));
    EXPECT_EQ(counterInFile(), QStringLiteral(" 5"));
    EXPECT_EQ(rowsOf("引落結果入金ＴＢＬ"), 4);

    // Posted by the daily update, the payments are still in the books.
    postHoldingRows(db, Date::fromParts(2024, 6, 30));
    ASSERT_TRUE(holdingLedgerRows(db).isEmpty());
    plan = planResultRun(db, readResultFile(second), Date::fromParts(2024, 6, 10));
    EXPECT_EQ(plan.alreadyBooked.size(), 3u);
    EXPECT_TRUE(plan.payments.empty());

    // A slip deleted from the books no longer counts: its payment is booked.
    db.exec(QStringLiteral("DELETE FROM 経理マスター WHERE 経理伝票番号 = 4"));
    plan = planResultRun(db, readResultFile(second), Date::fromParts(2024, 6, 10));
    ASSERT_EQ(plan.payments.size(), 1u);
    EXPECT_EQ(plan.payments[0].amount, Currency::fromUnits(3000));

    // The same customers and amounts debited a month later are new payments.
    plan = planResultRun(db, readResultFile(resultFile({resultRecord("1001", 10800, '0')}, "\r\n", Date::fromParts(2024, 7, 27))),
                         Date::fromParts(2024, 7, 29));
    EXPECT_EQ(plan.payments.size(), 1u);
    EXPECT_TRUE(plan.alreadyBooked.empty());

    // Two payments of one customer in a file: one earlier payment sets one aside.
    plan = planResultRun(db, readResultFile(resultFile({resultRecord("1003", 700, '0'), resultRecord("1003", 700, '0')})),
                         Date::fromParts(2024, 6, 10));
    EXPECT_EQ(plan.alreadyBooked.size(), 1u);
    EXPECT_EQ(plan.payments.size(), 1u);
    // Run as the same file again, everything is booked, in file order.
    bookEarlierPaymentsAgain(plan);
    ASSERT_EQ(plan.payments.size(), 2u);
    EXPECT_EQ(plan.payments[0].recordNumber, 2);
    EXPECT_EQ(plan.paymentsTotal, Currency::fromUnits(1400));
    EXPECT_TRUE(plan.alreadyBooked.empty());
}

TEST(BankDebitDates, TheHeadersMonthAndDayTakeTheYearNearestThePaymentDate)
{
    EXPECT_EQ(debitDateNear(3, 5, Date::fromParts(2024, 6, 10)), Date::fromParts(2024, 3, 5));
    EXPECT_EQ(debitDateNear(12, 27, Date::fromParts(2025, 1, 6)), Date::fromParts(2024, 12, 27));
    EXPECT_EQ(debitDateNear(1, 6, Date::fromParts(2024, 12, 27)), Date::fromParts(2025, 1, 6));
    EXPECT_EQ(debitDateNear(6, 27, Date::fromParts(2024, 6, 27)), Date::fromParts(2024, 6, 27));
}

TEST_F(BankDebitResultTest, AFileThatIsNotWholeIsNotPlanned)
{
    QByteArray cut = resultFile({resultRecord("1001", 10800, '0'), resultRecord("1002", 2500, '0')});
    cut.chop(244); // no trailer, no end record
    try {
        planResultRun(db, readResultFile(cut), Date::fromParts(2024, 6, 10));
        FAIL() << "planned";
    } catch (const DamagedResultFile& e) {
        EXPECT_EQ(e.problem(), QStringLiteral("ファイルが 3 行目で終わっていて、トレーラレコード（データ区分 8）と"
                                              "エンドレコード（データ区分 9）がありません。"));
        EXPECT_EQ(e.message(), e.problem() + QStringLiteral("\n結果ファイルが完全ではないため、何も記録していません。"
                                                            "銀行から受け取ったファイルを確かめて下さい。"));
    }
}

TEST(BankDebitSlipNumbers, TheMessageSaysHowManyAreLeftAndWhatTheOperatorCanDo)
{
    Configuration config;
    config.slipPrefix = 21;
    config.slipCounter = 47483640;
    EXPECT_NO_THROW(checkSlipNumbers(config, 8));
    EXPECT_THROW(checkSlipNumbers(config, 9), SlipNumberOverflow);
    EXPECT_EQ(slipNumbersMessage(config, 9),
              QStringLiteral("伝票番号が上限を超えました。伝票を登録できません。\n何も記録していません。\n"
                             "この処理には伝票番号が 9 個要りますが、いまの頭番号 21・カウンター 47483640 から使えるのは 8 個です"
                             "（伝票番号の上限は 2147483647）。\n"
                             "伝票番号の頭番号とカウンターは会社設定の画面では変えられません。"
                             "設定ファイル HMWcfg.dat の 16 行目（伝票番号の頭番号）をまだ使っていない番号に、"
                             "17 行目（カウンター）を 1 に書き換えてプログラムを起動し直し、もう一度処理して下さい。"
                             "起動のときカウンターは使用中の番号の次へ進みます。"));
    // Without a prefix the counter itself runs out: it must move past the last number.
    config.slipPrefix = 0;
    config.slipCounter = 2147483640;
    EXPECT_TRUE(slipNumbersMessage(config, 8).contains(QStringLiteral("使えるのは 7 個です")));
}
