// Posting the holding tables: the whole-day cut-off, billed customers,
// rounding of line amounts, cash lines, payments and their date, rows that
// name no customer, and a run that fails half-way or runs twice.
#include "sales/DailyUpdate.h"
#include "support/RefusedWrites.h"
#include "support/TestInstallation.h"
#include "PostingData.h"

#include <gtest/gtest.h>

using namespace posting;

namespace {

class PostingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addCustomer(db, QStringLiteral("C1"), QStringLiteral("一郎"));
        addCustomer(db, QStringLiteral("C2"), QStringLiteral("二郎"));
    }

    QStringList serials(const QString& table)
    {
        QStringList out;
        QSqlQuery q = db.exec(QStringLiteral("SELECT 1 * %1 FROM %2 ORDER BY 1")
                                  .arg(table.startsWith(QStringLiteral("経理")) ? QStringLiteral("経理シリアル")
                                                                               : QStringLiteral("売上シリアル"),
                                       table));
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

    TestInstallation inst;
    Database db = inst.database();
    const Date cutoff = Date::fromParts(2024, 5, 10);
    const double day = cutoff.serial();
    const double lastMinute = day + 1439.0 / 1440.0; // 23:59 of the cut-off day
    const double tomorrow = day + 1;
};

} // namespace

TEST_F(PostingTest, CutOffTakesTheWholeDayAndLeavesTomorrowForLater)
{
    addSale(db, 1, 10, lastMinute, QStringLiteral("C1"), 1, "100", "2");
    addSale(db, 2, 11, tomorrow, QStringLiteral("C1"), 1, "100", "5");
    addSale(db, 3, 9, day - 30, QStringLiteral("C2"), 0, "80", "1");
    addLedger(db, 1, 10, day + 0.99, "700", 10, 110, QStringLiteral("C1"));
    addLedger(db, 2, 11, tomorrow, "400", 10, 110, QStringLiteral("C1"));

    const PostingResult r = postHoldingRows(db, cutoff);

    EXPECT_EQ(r.salesLines, 2);
    EXPECT_EQ(r.receivableLines, 1);
    EXPECT_EQ(r.customersCharged, 1);
    EXPECT_EQ(r.ledgerRows, 1);
    EXPECT_EQ(r.customersPaid, 1);
    // 1000 + 200 from the 23:59 line; tomorrow's 500 and 400 are not counted.
    EXPECT_EQ(customerTotals(db, QStringLiteral("C1")), QStringLiteral("1200|700|") + serialText(day + 0.99));
    EXPECT_EQ(customerTotals(db, QStringLiteral("C2")), QStringLiteral("1000|0|0.0000"));
    EXPECT_EQ(serials(QStringLiteral("売上商品マスター仮")), QStringList({"2"}));
    EXPECT_EQ(serials(QStringLiteral("売上商品マスター")), QStringList({"1", "3"}));
    EXPECT_EQ(serials(QStringLiteral("売掛マスター")), QStringList({"1"}));
    EXPECT_EQ(serials(QStringLiteral("経理マスター仮")), QStringList({"2"}));
    EXPECT_EQ(serials(QStringLiteral("経理マスター")), QStringList({"1"}));

    // The next day's run takes what was left.
    const PostingResult next = postHoldingRows(db, cutoff.addDays(1));
    EXPECT_EQ(next.salesLines, 1);
    EXPECT_EQ(next.ledgerRows, 1);
    EXPECT_EQ(customerTotals(db, QStringLiteral("C1")), QStringLiteral("1700|1100|") + serialText(tomorrow));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")) + rowCount(db, QStringLiteral("経理マスター仮")), 0);
}

TEST_F(PostingTest, CreditLineOfABilledCustomerRaisesTheBilledCustomerAndCarriesItsCode)
{
    addCustomer(db, QStringLiteral("B001"), QStringLiteral("請求先"), QStringLiteral("0"), "2000");
    addCustomer(db, QStringLiteral("A001"), QStringLiteral("利用者"), QStringLiteral("B001"), "1000");
    // The slip stores the code blank-padded to 13 characters.
    addSale(db, 5, 20, day, QStringLiteral("A001         "), 1, "1500", "1", QStringLiteral("灯油"));

    postHoldingRows(db, cutoff);

    EXPECT_EQ(customerTotals(db, QStringLiteral("B001")), QStringLiteral("3500|0|0.0000"));
    EXPECT_EQ(customerTotals(db, QStringLiteral("A001")), QStringLiteral("1000|0|0.0000"));
    const QString d = QString::number(day);
    EXPECT_EQ(tableRows(db, QStringLiteral("売掛マスター")),
              QStringList({"5|20|" + d + "|B001|1|1|0|12|灯油|15000000|10000"}));
    EXPECT_EQ(tableRows(db, QStringLiteral("売上商品マスター")),
              QStringList({"5|20|" + d + "|A001         |1|1|0|12|灯油|15000000|10000"}));
}

TEST_F(PostingTest, LineAmountIsTheWholePartTowardMinusInfinity)
{
    addSale(db, 1, 30, day, QStringLiteral("C1"), 1, "99.5", "3");  // 298.5 -> 298
    addSale(db, 2, 31, day, QStringLiteral("C2"), 1, "12.5", "-1"); // -12.5 -> -13
    addSale(db, 3, 31, day, QStringLiteral("C2"), 1, "0.3", "0.5");  // 0.15 -> 0

    postHoldingRows(db, cutoff);

    EXPECT_EQ(customerTotals(db, QStringLiteral("C1")), QStringLiteral("1298|0|0.0000"));
    EXPECT_EQ(customerTotals(db, QStringLiteral("C2")), QStringLiteral("987|0|0.0000"));
    EXPECT_EQ(rowCount(db, QStringLiteral("売掛マスター")), 3);
}

TEST_F(PostingTest, CashLinesAreCopiedButTouchNoCustomer)
{
    addSale(db, 1, 40, day, QStringLiteral("C1"), 0, "500", "2");
    addSale(db, 2, 40, day, QStringLiteral("C1"), 2, "300", "1");

    const PostingResult r = postHoldingRows(db, cutoff);

    EXPECT_EQ(r.salesLines, 2);
    EXPECT_EQ(r.receivableLines, 0);
    EXPECT_EQ(r.customersCharged, 0);
    EXPECT_EQ(customerTotals(db, QStringLiteral("C1")), QStringLiteral("1000|0|0.0000"));
    EXPECT_EQ(rowCount(db, QStringLiteral("売掛マスター")), 0);
    EXPECT_EQ(serials(QStringLiteral("売上商品マスター")), QStringList({"1", "2"}));
}

TEST_F(PostingTest, PaymentsCreditTheNamedCustomerAndOtherLedgerRowsTouchNobody)
{
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛入金額 = ?, 顧客売掛入金日 = ? WHERE 顧客コード = 'C1'"),
            {sqlValue(yen("100")), day - 40});
    addCustomer(db, QStringLiteral("B001"), QStringLiteral("請求先"));
    addCustomer(db, QStringLiteral("A001"), QStringLiteral("利用者"), QStringLiteral("B001"));
    addLedger(db, 10, 30, day - 1, "3000", 10, 110, QStringLiteral("C1           "));
    // A higher serial with an earlier date: its date is the one kept.
    addLedger(db, 11, 31, day - 3, "500", 20, 110, QStringLiteral("C1"));
    // A credit slip's debit row: the customer is charged through the
    // slip's sales line, never a second time through the ledger row.
    addSale(db, 40, 32, day, QStringLiteral("C2"), 1, "1050", "1");
    addLedger(db, 12, 32, day, "1050", 110, 5000, QStringLiteral("C2"));
    addLedger(db, 13, 33, day, "800", 6010, 10, QStringLiteral("0"));      // an expense
    addLedger(db, 14, 34, day, "200", 10, 110, QStringLiteral("A001"));    // no billing redirection
    const QStringList before = tableRows(db, QStringLiteral("経理マスター仮"));

    const PostingResult r = postHoldingRows(db, cutoff);

    EXPECT_EQ(r.ledgerRows, 5);
    EXPECT_EQ(r.customersPaid, 2);
    EXPECT_EQ(r.customersDebited, 0);
    EXPECT_EQ(r.salesLines, 1);
    EXPECT_EQ(customerTotals(db, QStringLiteral("C1")), QStringLiteral("1000|3600|") + serialText(day - 3));
    EXPECT_EQ(customerTotals(db, QStringLiteral("C2")), QStringLiteral("2050|0|0.0000"));
    EXPECT_EQ(customerTotals(db, QStringLiteral("A001")), QStringLiteral("1000|200|") + serialText(day));
    EXPECT_EQ(customerTotals(db, QStringLiteral("B001")), QStringLiteral("1000|0|0.0000"));
    // Copied with every column and serial unchanged.
    EXPECT_EQ(tableRows(db, QStringLiteral("経理マスター")), before);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 0);
}

TEST_F(PostingTest, SalesRowsAreCopiedUnchangedAndOnlyLedgerRunsPostTheLedger)
{
    addSale(db, 7, 50, day - 2 + 0.25, QStringLiteral("C1"), 1, "2000", "0.25", QStringLiteral("コシヒカリ"));
    addSale(db, 8, 50, day - 2 + 0.25, QStringLiteral("C1"), 1, "25", "1", QStringLiteral("　　　消費税"));
    const QStringList before = tableRows(db, QStringLiteral("売上商品マスター仮"));
    postHoldingRows(db, cutoff);
    EXPECT_EQ(tableRows(db, QStringLiteral("売上商品マスター")), before);
    EXPECT_EQ(customerTotals(db, QStringLiteral("C1")), QStringLiteral("1525|0|0.0000"));

    // Only ledger rows waiting: the sales tables stay as they are.
    addLedger(db, 20, 51, day, "525", 10, 110, QStringLiteral("C1"));
    const QStringList sales = tableRows(db, QStringLiteral("売上商品マスター"));
    const QStringList receivables = tableRows(db, QStringLiteral("売掛マスター"));
    const PostingResult r = postHoldingRows(db, cutoff);
    EXPECT_EQ(r.salesLines, 0);
    EXPECT_EQ(r.ledgerRows, 1);
    EXPECT_EQ(tableRows(db, QStringLiteral("売上商品マスター")), sales);
    EXPECT_EQ(tableRows(db, QStringLiteral("売掛マスター")), receivables);
    EXPECT_EQ(customerTotals(db, QStringLiteral("C1")), QStringLiteral("1525|525|") + serialText(day));
}

TEST_F(PostingTest, RowsNamingNoCustomerStopTheRunAndAreNamed)
{
    addCustomer(db, QStringLiteral("D1"), QStringLiteral("請求先なし"), QStringLiteral("X9"));
    addSale(db, 1, 505, day, QStringLiteral("C1"), 1, "100", "1");
    addSale(db, 2, 501, day, QStringLiteral("ZZZ"), 1, "100", "1");
    addSale(db, 3, 501, day, QStringLiteral("ZZZ"), 1, "5", "1");
    addSale(db, 4, 502, day, QStringLiteral("D1"), 1, "100", "1");
    addSale(db, 5, 504, day, QStringLiteral("YYY"), 0, "100", "1"); // cash: no customer needed
    addSale(db, 6, 506, tomorrow, QStringLiteral("WWW"), 1, "100", "1"); // not in this run
    addLedger(db, 1, 503, day, "300", 10, 110, QStringLiteral("Q7"));
    addLedger(db, 2, 507, day, "300", 6010, 10, QStringLiteral("0"));
    const QStringList before = snapshot(db);

    try {
        postHoldingRows(db, cutoff);
        FAIL() << "posted rows that name no customer";
    } catch (const UnpostableRowsError& e) {
        ASSERT_EQ(e.rows().size(), 3u);
        EXPECT_EQ(e.rows()[0].slipNumber, 501);
        EXPECT_EQ(e.rows()[0].customerCode, QStringLiteral("ZZZ"));
        EXPECT_FALSE(e.rows()[0].billingCodeMissing);
        EXPECT_EQ(e.rows()[1].slipNumber, 502);
        EXPECT_EQ(e.rows()[1].customerCode, QStringLiteral("D1"));
        EXPECT_TRUE(e.rows()[1].billingCodeMissing);
        EXPECT_EQ(e.rows()[1].billingCode, QStringLiteral("X9"));
        EXPECT_EQ(e.rows()[2].slipNumber, 503);
        EXPECT_EQ(e.rows()[2].customerCode, QStringLiteral("Q7"));
        EXPECT_EQ(e.message(),
                  QStringLiteral("顧客マスターに登録されていない顧客の伝票があるため、日次更新を中止しました。\n"
                                 "データは何も変更していません。\n\n"
                                 "伝票番号 501　顧客コード「ZZZ」\n"
                                 "伝票番号 502　顧客コード「D1」の請求先コード「X9」\n"
                                 "伝票番号 503　顧客コード「Q7」\n\n"
                                 "顧客を登録するか、転記前の確認でこれらの伝票を削除してから、もう一度日次更新を行ってください。"));
    }
    EXPECT_EQ(snapshot(db), before);

    // Deleting the three slips by number lets the rest through, the cash
    // line of an unknown code included.
    for (int slip : {501, 502, 503})
        deleteHoldingSlip(db, slip);
    const PostingResult r = postHoldingRows(db, cutoff);
    EXPECT_EQ(r.salesLines, 2);
    EXPECT_EQ(r.ledgerRows, 1);
    EXPECT_EQ(serials(QStringLiteral("売上商品マスター")), QStringList({"1", "5"}));
    EXPECT_EQ(serials(QStringLiteral("売上商品マスター仮")), QStringList({"6"}));
}

TEST_F(PostingTest, ManyUnpostableRowsAreCountedAfterTheFirstFifteen)
{
    for (int i = 0; i < 18; ++i)
        addSale(db, i + 1, 600 + i, day, QStringLiteral("N%1").arg(i), 1, "1", "1");
    try {
        postHoldingRows(db, cutoff);
        FAIL();
    } catch (const UnpostableRowsError& e) {
        EXPECT_EQ(e.rows().size(), 18u);
        EXPECT_TRUE(e.message().contains(QStringLiteral("伝票番号 614　顧客コード「N14」\nほか 3 件\n")))
            << e.message().toStdString();
        EXPECT_FALSE(e.message().contains(QStringLiteral("N15")));
    }
}

TEST_F(PostingTest, FailureAtAnyStageLeavesEveryTableAsBefore)
{
    addCustomer(db, QStringLiteral("B001"), QStringLiteral("請求先"));
    addCustomer(db, QStringLiteral("A001"), QStringLiteral("利用者"), QStringLiteral("B001"));
    for (int i = 1; i <= 4; ++i) {
        addSale(db, i, 70 + i, day, i % 2 ? QStringLiteral("C1") : QStringLiteral("A001"), 1, "100", "1");
        addLedger(db, i, 70 + i, day, "50", 10, 110, i % 2 ? QStringLiteral("C2") : QStringLiteral("C1"));
    }
    addSale(db, 5, 80, day, QStringLiteral("C2"), 0, "10", "1");
    const QStringList before = snapshot(db);

    // Each failure: the table refusing a row, and the rule that refuses it.
    const std::pair<const char*, const char*> failures[] = {
        {"売掛マスター", "CREATE TRIGGER fail BEFORE INSERT ON 売掛マスター WHEN NEW.売上シリアル = 3"
         " BEGIN SELECT RAISE(ABORT, '書き込み失敗'); END"},
        {"売上商品マスター", "CREATE TRIGGER fail BEFORE INSERT ON 売上商品マスター WHEN NEW.売上シリアル = 5"
         " BEGIN SELECT RAISE(ABORT, '書き込み失敗'); END"},
        {"売上商品マスター仮", "CREATE TRIGGER fail BEFORE DELETE ON 売上商品マスター仮 WHEN OLD.売上シリアル = 4"
         " BEGIN SELECT RAISE(ABORT, '書き込み失敗'); END"},
        {"顧客マスター", "CREATE TRIGGER fail BEFORE UPDATE OF 顧客売掛入金額 ON 顧客マスター WHEN NEW.顧客コード = 'C2'"
         " BEGIN SELECT RAISE(ABORT, '書き込み失敗'); END"},
        {"経理マスター", "CREATE TRIGGER fail BEFORE INSERT ON 経理マスター WHEN NEW.経理シリアル = 3"
         " BEGIN SELECT RAISE(ABORT, '書き込み失敗'); END"},
        {"経理マスター仮", "CREATE TRIGGER fail BEFORE DELETE ON 経理マスター仮 WHEN OLD.経理シリアル = 4"
         " BEGIN SELECT RAISE(ABORT, '書き込み失敗'); END"},
    };
    for (const auto& [table, trigger] : failures) {
        SCOPED_TRACE(trigger);
        addRefusal(db, QString::fromUtf8(trigger));
        try {
            postHoldingRows(db, cutoff);
            ADD_FAILURE() << "the run did not fail";
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.databaseText(), QStringLiteral("書き込み失敗"));
        }
        dropRefusal(db, QStringLiteral("fail"), QString::fromUtf8(table));
        EXPECT_EQ(snapshot(db), before);
    }

    // A running total beyond the range of money fails too, never wraps.
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛締後売上額 = 9223372036854775000 WHERE 顧客コード = 'B001'"));
    const QStringList nearMax = snapshot(db);
    EXPECT_THROW(postHoldingRows(db, cutoff), DatabaseError);
    EXPECT_EQ(snapshot(db), nearMax);
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛締後売上額 = 10000000 WHERE 顧客コード = 'B001'"));

    // Then a run that succeeds, and a second one that finds nothing.
    const PostingResult r = postHoldingRows(db, cutoff);
    EXPECT_EQ(r.salesLines, 5);
    EXPECT_EQ(r.receivableLines, 4);
    EXPECT_EQ(r.ledgerRows, 4);
    EXPECT_EQ(customerTotals(db, QStringLiteral("C1")), QStringLiteral("1200|100|") + serialText(day));
    EXPECT_EQ(customerTotals(db, QStringLiteral("B001")), QStringLiteral("1200|0|0.0000"));
    EXPECT_EQ(customerTotals(db, QStringLiteral("C2")), QStringLiteral("1000|100|") + serialText(day));
    const QStringList posted = snapshot(db);
    const PostingResult again = postHoldingRows(db, cutoff);
    EXPECT_EQ(again.salesLines + again.receivableLines + again.customersCharged + again.ledgerRows + again.customersPaid, 0);
    EXPECT_EQ(snapshot(db), posted);
}
