// Storing a slip: the holding rows, the ledger rows, the slip number and
// the counter in HMWcfg.dat, and what a failure leaves behind.
#include "session/Routines.h"
#include "sales/SlipStore.h"
#include "support/RefusedWrites.h"
#include "support/TestInstallation.h"
#include "SalesData.h"

#include <QDir>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

class SlipStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SessionState& s = testSession();
        clearSlip(s);
        s.customer.code = QStringLiteral("C001");
        s.customer.slipDate = Date::fromParts(2024, 5, 1); // serial 45413
    }

    TestInstallation inst;
    Database db = inst.database();
};

const QString pad13(const char* code)
{
    return text::fixed(QString::fromUtf8(code), 13);
}

} // namespace

TEST_F(SlipStoreTest, CreditSaleOfTaxAddedLinesStoresLinesTaxLineAndTwoLedgerRows)
{
    SessionState& s = testSession();
    appendSlipLine(s, 1, 0, QStringLiteral("12"), QStringLiteral("コシヒカリ５ｋｇ"), "300", "2");
    appendSlipLine(s, 4, 0, QStringLiteral("4501"), QStringLiteral("ティッシュ"), "400", "1");
    computeSlipTotals(s);
    s.saleKind = saleKind::Credit;

    const SlipStoreResult stored = storeSlip(db, s, inst.configurationPath());
    ASSERT_TRUE(stored);

    EXPECT_EQ(tableRows(db, QStringLiteral("売上商品マスター仮"), 1),
              QStringList({QStringLiteral("1|45413|C001|1|1|0|") + pad13("12") + QStringLiteral("|コシヒカリ５ｋｇ    |3000000|20000"),
                           QStringLiteral("1|45413|C001|1|4|0|") + pad13("4501") + QStringLiteral("|ティッシュ       |4000000|10000"),
                           QStringLiteral("1|45413|C001|1|99|9|999900|　　　消費税|500000|10000")}));
    EXPECT_EQ(tableRows(db, QStringLiteral("経理マスター仮"), 1),
              QStringList({QStringLiteral("1|45413|10000000|110|0|5000|C001"),
                           QStringLiteral("1|45413|500000|110|0|3079|C001")}));
    // The code is stored at its full 13 characters; the name cut to 12.
    // (Counted as read back: a server's length() leaves a code's trailing
    // blanks out, though it keeps and returns them.)
    QSqlQuery stored1 = db.exec(QStringLiteral("SELECT 売上単品コード, 売上単品名 FROM 売上商品マスター仮"
                                               " WHERE 売上部門コード = 1"));
    ASSERT_TRUE(stored1.next());
    EXPECT_EQ(QString::number(stored1.value(0).toString().length()) + QLatin1Char('/')
                  + QString::number(stored1.value(1).toString().length()),
              QStringLiteral("13/12"));
    EXPECT_TRUE(stored.messages.empty());
    // The next slip gets number 2, in memory and in the file.
    EXPECT_EQ(s.config.slipCounter, 2);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 2"));
}

TEST_F(SlipStoreTest, LedgerRowsFollowTheAccountOrderAndSkipZeroTotals)
{
    SessionState& s = testSession();
    // Entered in an order unlike the accounts' order.
    appendSlipLine(s, 3, 9, QStringLiteral("300"), QStringLiteral("配達料"), "500", "1");
    appendSlipLine(s, 2, 6, QStringLiteral("201"), QStringLiteral("灯油"), "1080", "1");
    appendSlipLine(s, 1, 1, QStringLiteral("14"), QStringLiteral("米２"), "1000", "1");
    appendSlipLine(s, 2, 5, QStringLiteral("202"), QStringLiteral("灯油２"), "1050", "2");
    appendSlipLine(s, 1, 0, QStringLiteral("12"), QStringLiteral("米"), "199", "1");
    computeSlipTotals(s); // tax = Int(0.08 × 1000) + Int(0.05 × 199) = 80 + 9
    s.saleKind = saleKind::Cash;
    ASSERT_TRUE(storeSlip(db, s, inst.configurationPath()));

    EXPECT_EQ(tableRows(db, QStringLiteral("経理マスター仮"), 1),
              QStringList({QStringLiteral("1|45413|1990000|10|0|5000|C001"),
                           QStringLiteral("1|45413|10000000|10|0|5010|C001"),
                           QStringLiteral("1|45413|21000000|10|0|5050|C001"),
                           QStringLiteral("1|45413|10800000|10|0|5060|C001"),
                           QStringLiteral("1|45413|5000000|10|0|5090|C001"),
                           QStringLiteral("1|45413|890000|10|0|3079|C001")}));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 売上単価 FROM 売上商品マスター仮 WHERE 売上部門コード = 99")).toLongLong(),
              890000);
    // The slip's grand total is the sum of its ledger rows.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT SUM(経理金額) FROM 経理マスター仮")).toLongLong(), s.totals.grandTotal.ticks());
}

TEST_F(SlipStoreTest, TaxIncludedAndNonTaxableSlipHasNoTaxRows)
{
    SessionState& s = testSession();
    appendSlipLine(s, 2, 5, QStringLiteral("201"), QStringLiteral("灯油１８Ｌ"), "1500", "1");
    appendSlipLine(s, 3, 9, QStringLiteral("300"), QStringLiteral("配達料"), "300", "1");
    computeSlipTotals(s);
    ASSERT_TRUE(s.totals.consumptionTax.isZero());
    ASSERT_TRUE(storeSlip(db, s, inst.configurationPath()));

    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 2);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター仮 WHERE 売上部門コード = 99")).toInt(), 0);
    EXPECT_EQ(tableRows(db, QStringLiteral("経理マスター仮"), 1),
              QStringList({QStringLiteral("1|45413|15000000|10|0|5050|C001"),
                           QStringLiteral("1|45413|3000000|10|0|5090|C001")}));
}

TEST_F(SlipStoreTest, UnknownTaxCategoryIsStoredButInNoTotalAndNoLedgerRow)
{
    SessionState& s = testSession();
    appendSlipLine(s, 1, 0, QStringLiteral("12"), QStringLiteral("米"), "1000", "1");
    appendSlipLine(s, 7, 3, QStringLiteral("700"), QStringLiteral("分類なし"), "777", "1");
    computeSlipTotals(s);
    EXPECT_EQ(s.totals.grandTotal, yen("1050"));
    ASSERT_TRUE(storeSlip(db, s, inst.configurationPath()));

    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 売上単価 FROM 売上商品マスター仮 WHERE 売上税区分コード = 3")).toLongLong(),
              7770000);
    EXPECT_EQ(tableRows(db, QStringLiteral("経理マスター仮"), 1),
              QStringList({QStringLiteral("1|45413|10000000|10|0|5000|C001"),
                           QStringLiteral("1|45413|500000|10|0|3079|C001")}));
}

TEST_F(SlipStoreTest, ProductNamesAreStoredAtTwelveCharacters)
{
    EXPECT_EQ(storedProductName(QStringLiteral("あいうえおかきくけこさしすせそ")), QStringLiteral("あいうえおかきくけこさし"));
    EXPECT_EQ(storedProductName(QStringLiteral("米")), QStringLiteral("米           "));

    SessionState& s = testSession();
    appendSlipLine(s, 1, 9, QStringLiteral("1"), QStringLiteral("とても長い名前の商品ですがここで切れます"), "10", "1");
    appendSlipLine(s, 1, 9, QStringLiteral("2"), QStringLiteral("米"), "10", "1");
    computeSlipTotals(s);
    ASSERT_TRUE(storeSlip(db, s, inst.configurationPath()));
    QSqlQuery q = db.exec(QStringLiteral("SELECT 売上単品名 FROM 売上商品マスター仮 ORDER BY 売上シリアル"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("とても長い名前の商品です"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("米           "));
}

TEST_F(SlipStoreTest, SlipNumberIsPrefixTimesHundredMillionPlusCounter)
{
    SessionState& s = testSession();
    s.config.slipPrefix = 1;
    s.config.slipCounter = 99999999;
    appendSlipLine(s, 1, 9, QStringLiteral("1"), QStringLiteral("米"), "10", "1");
    computeSlipTotals(s);
    ASSERT_TRUE(storeSlip(db, s, inst.configurationPath()));

    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 売上伝票番号 FROM 売上商品マスター仮")).toLongLong(), 199999999);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 経理伝票番号 FROM 経理マスター仮")).toLongLong(), 199999999);
    Configuration file = parseConfiguration(inst.configurationFileBytes(), QStringLiteral("test"));
    EXPECT_EQ(file.prefixText(), QStringLiteral(" 1"));
    EXPECT_EQ(file.counterText(), QStringLiteral(" 100000000"));
}

TEST_F(SlipStoreTest, RefusedRowRollsBackTheWholeSlipAndTheNumberIsUsedAgain)
{
    SessionState& s = testSession();
    appendSlipLine(s, 1, 0, QStringLiteral("12"), QStringLiteral("米"), "1000", "1");
    computeSlipTotals(s);
    // The last statement of the slip (the tax ledger row) is refused.
    addRefusal(db, QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON 経理マスター仮 WHEN NEW.経理貸方コード = 3079"
                                  " BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    // Something changed the counter in memory only: the file's value counts.
    s.config.slipCounter = 7;

    const SlipStoreResult refused = storeSlip(db, s, inst.configurationPath());
    EXPECT_FALSE(refused);
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 0);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_EQ(refused.messages[0].text, QStringLiteral("記録の書き込みに失敗しました。やり直してください・"));
    EXPECT_EQ(refused.messages[0].title, QStringLiteral("エラーメッセージ"));
    EXPECT_EQ(s.config.slipCounter, 1);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 1"));

    // Entered again once the table takes rows: the same number 1.
    dropRefusal(db, QStringLiteral("refuse"), QStringLiteral("経理マスター仮"));
    ASSERT_TRUE(storeSlip(db, s, inst.configurationPath()));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT DISTINCT 売上伝票番号 FROM 売上商品マスター仮")).toInt(), 1);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 2"));
}

TEST_F(SlipStoreTest, SlipNumbersThatDoNotFitStoreNothing)
{
    SessionState& s = testSession();
    appendSlipLine(s, 1, 9, QStringLiteral("1"), QStringLiteral("米"), "10", "1");
    computeSlipTotals(s);

    // 21 × 100000000 + 47483648 = 2147483648, one past the 32-bit range.
    s.config.slipPrefix = 21;
    s.config.slipCounter = 47483648;
    const SlipStoreResult beyondRange = storeSlip(db, s, inst.configurationPath());
    EXPECT_FALSE(beyondRange);
    // The largest counter gives a number but could never advance: the next
    // slip would get the same one.
    s.config.slipPrefix = 0;
    s.config.slipCounter = 2147483647;
    const SlipStoreResult largest = storeSlip(db, s, inst.configurationPath());
    EXPECT_FALSE(largest);

    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 0);
    ASSERT_EQ(beyondRange.messages.size(), 1u);
    ASSERT_EQ(largest.messages.size(), 1u);
    EXPECT_EQ(largest.messages[0].text, QStringLiteral("記録の書き込みに失敗しました。やり直してください・"));
    EXPECT_EQ(s.config.slipCounter, 1); // read again from the file
}

TEST_F(SlipStoreTest, SlipStaysStoredWhenTheCounterCannotBeWritten)
{
    SessionState& s = testSession();
    appendSlipLine(s, 1, 9, QStringLiteral("1"), QStringLiteral("米"), "10", "1");
    computeSlipTotals(s);
    const QString unwritable = inst.path(QStringLiteral("no-such-folder/HMWcfg.dat"));

    const SlipStoreResult stored = storeSlip(db, s, unwritable);
    EXPECT_TRUE(stored);
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 1);
    ASSERT_EQ(stored.messages.size(), 1u);
    EXPECT_NE(stored.messages[0].text, QStringLiteral("記録の書き込みに失敗しました。やり直してください・"));
    EXPECT_TRUE(stored.messages[0].text.startsWith(QStringLiteral("売上伝票は記録しました")));
    EXPECT_TRUE(stored.messages[0].text.contains(QStringLiteral("書き込めません"))) << stored.messages[0].text.toStdString();
    EXPECT_EQ(stored.messages[0].title, QStringLiteral("エラーメッセージ"));
    // Number 1 is used: the next slip in this run gets 2.
    EXPECT_EQ(s.config.slipCounter, 2);
}

TEST_F(SlipStoreTest, EmptySlipOrMissingCustomerWritesNothing)
{
    SessionState& s = testSession();
    const SlipStoreResult empty = storeSlip(db, s, inst.configurationPath());
    EXPECT_FALSE(empty);
    EXPECT_TRUE(empty.messages.empty());
    EXPECT_EQ(s.config.slipCounter, 1);

    appendSlipLine(s, 1, 9, QStringLiteral("1"), QStringLiteral("米"), "10", "1");
    computeSlipTotals(s);
    s.customer.code.clear();
    const SlipStoreResult nobodys = storeSlip(db, s, inst.configurationPath());
    EXPECT_FALSE(nobodys);
    ASSERT_EQ(nobodys.messages.size(), 1u);
    EXPECT_EQ(nobodys.messages[0].text, QStringLiteral("顧客が選ばれていないため、伝票を記録できません。"));
    EXPECT_EQ(nobodys.messages[0].title, QStringLiteral("エラーメッセージ"));

    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 1"));
}

TEST_F(SlipStoreTest, MissingDatabaseIsAFailedStore)
{
    SessionState& s = testSession();
    appendSlipLine(s, 1, 9, QStringLiteral("1"), QStringLiteral("米"), "10", "1");
    computeSlipTotals(s);
    s.config.databasePath = inst.path(QStringLiteral("gone.db"));
    const SlipStoreResult failed = storeSlip(s, inst.configurationPath());
    EXPECT_FALSE(failed);
    ASSERT_EQ(failed.messages.size(), 1u);
    EXPECT_EQ(failed.messages[0].text, QStringLiteral("記録の書き込みに失敗しました。やり直してください・"));
    EXPECT_EQ(failed.messages[0].title, QStringLiteral("エラーメッセージ"));
    EXPECT_EQ(s.config.databasePath, inst.databasePath()); // read again
}

TEST_F(SlipStoreTest, ASlipDatedInTheClosedYearIsRefusedWithTheClosingDate)
{
    SessionState& s = testSession();
    appendSlipLine(s, 1, 9, QStringLiteral("1"), QStringLiteral("米"), "10", "1");
    computeSlipTotals(s);
    // The year-end closed the books through the slip's date.
    db.exec(QStringLiteral("INSERT INTO 年次更新ＴＢＬ (年次更新期末日, 年次更新実行日) VALUES (?, ?)"),
            {sqlValue(s.customer.slipDate), sqlValue(s.customer.slipDate)});

    const SlipStoreResult refused = storeSlip(db, s, inst.configurationPath());
    EXPECT_FALSE(refused);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_EQ(refused.messages[0].text,
              QStringLiteral("2024/05/01 までの期間は年次更新で締めてあります。\n2024/05/01 の日付では記録できません。"
                             "2024/05/02 以降の日付にしてください。"));
    EXPECT_EQ(refused.messages[0].title, QStringLiteral("エラーメッセージ"));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 0);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 1"));
}
