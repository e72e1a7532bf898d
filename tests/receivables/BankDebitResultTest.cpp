// Processing a result file: which records become payments, the journal
// rows and their slip numbers, the counter, a file run twice, and the files
// that must book nothing.
#include "app/Routines.h"
#include "receivables/BankDebitFile.h"
#include "receivables/BankDebitResult.h"
#include "support/TestInstallation.h"
#include "PaymentData.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace bankfile;

namespace {

// A data record of the result file for customer `code` with the bank's
// result code at position 112.
QByteArray resultRecord(const QString& code, std::int64_t amount, char result)
{
    DebitCustomer c;
    c.code = code;
    c.kanaName = QStringLiteral("ﾃｽﾄ");
    c.amount = Currency::fromUnits(amount);
    c.bankCode = 991;
    c.branchCode = QStringLiteral("105");
    c.accountType = 1;
    c.accountNumber = QStringLiteral("1234567");
    c.bankKana = QStringLiteral("ﾋﾊﾞﾘｷﾞﾝｺｳ");
    QByteArray record = dataRecord(c);
    record[111] = result;
    return record;
}

QByteArray resultFile(const QList<QByteArray>& data, const QByteArray& lineEnd = "\r\n")
{
    SettlementMethod m;
    m.code = 991;
    QByteArray bytes = headerRecord(m, Date::fromParts(2024, 6, 27)) + lineEnd;
    for (const QByteArray& r : data)
        bytes += r + lineEnd;
    return bytes + trailerRecord(data.size(), Currency()) + lineEnd + endRecord() + lineEnd;
}

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

    BookedRun book(const QByteArray& bytes, Date date = Date::fromParts(2024, 6, 10))
    {
        const ResultPlan plan = planResultRun(db, readResultFile(bytes));
        return bookResultRun(db, session().config, plan, date, 20, QStringLiteral("HBR0991.TXT"), inst.configurationPath());
    }

    TestInstallation inst;
    Database db = inst.database();
};

} // namespace

TEST_F(BankDebitResultTest, DebitedCustomersGetOneRowAndOneNumberEachInFileOrder)
{
    session().config.slipCounter = 41;
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
    EXPECT_EQ(session().config.slipCounter, 43);
    EXPECT_EQ(counterInFile(), QStringLiteral(" 43"));
}

TEST_F(BankDebitResultTest, PlanCountsWhatWasAndWasNotDebited)
{
    QByteArray unreadable = resultRecord("1002", 300, '0');
    unreadable.replace(80, 10, "XXXXXXXXXX");
    // A code in the master written with blanks after it still matches; a
    // code the master does not hold is named.
    const QByteArray bytes = resultFile({resultRecord("12", 10800, '0'), resultRecord("1001", 5000, '1'),
                                         resultRecord("9999", 3000, '0'), resultRecord("1003", 700, '9'), unreadable});
    const ResultPlan plan = planResultRun(db, readResultFile(bytes));
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
    EXPECT_THROW(planResultRun(db, readResultFile(request)), NotAResultFile);
    // A file of unknown customers books nothing and writes nothing.
    const BookedRun booked = book(resultFile({resultRecord("8888", 100, '0')}));
    EXPECT_EQ(booked.firstSlipNumber, 0);
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(session().config.slipCounter, 1);
    EXPECT_EQ(counterInFile(), QStringLiteral(" 1"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 引落結果処理ＴＢＬ")).toInt(), 0);
}

TEST_F(BankDebitResultTest, SlipNumbersMustAllFitBeforeAnyRowIsWritten)
{
    Configuration& config = session().config;
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
    book(fixed, Date::fromParts(2024, 6, 10));
    const QStringList both = holdingLedgerRows(db);
    ASSERT_EQ(both.size(), 4);
    EXPECT_EQ(both[2].section(u'|', 1), first[0].section(u'|', 1));
    EXPECT_EQ(both[3].section(u'|', 1), first[1].section(u'|', 1));
    EXPECT_EQ(both[2].section(u'|', 0, 0), QStringLiteral("3"));
}

TEST_F(BankDebitResultTest, OlderDatabasesGetTheFingerprintTable)
{
    db.exec(QStringLiteral("DROP TABLE 引落結果処理ＴＢＬ"));
    book(resultFile({resultRecord("1001", 10800, '0')}));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 引落結果処理ＴＢＬ")).toInt(), 1);
    // The statement the program runs and the schema of a new shop agree.
    TestInstallation fresh;
    Database other = fresh.database();
    const QString inSchema = other.scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = '引落結果処理ＴＢＬ'")).toString();
    const QString onDemand = db.scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = '引落結果処理ＴＢＬ'")).toString();
    EXPECT_EQ(inSchema.simplified(), onDemand.simplified());
}

TEST_F(BankDebitResultTest, ARefusedRowLeavesNothingBehind)
{
    // A trigger refuses the second row: the first is rolled back with it.
    db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON 経理マスター仮 WHEN NEW.経理貸方相手先コード = '1002'"
                           " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_THROW(book(resultFile({resultRecord("1001", 100, '0'), resultRecord("1002", 200, '0')})), DatabaseError);
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(session().config.slipCounter, 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 引落結果処理ＴＢＬ")).toInt(), 0);
}
