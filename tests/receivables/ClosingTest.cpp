// Closing a billing period without the screens: the invoice figures from
// 売掛マスター and the customer's running amounts, and the roll-over.
#include "receivables/ClosingData.h"
#include "receivables/InvoiceIssuing.h"
#include "support/RefusedWrites.h"
#include "support/TestInstallation.h"
#include "support/TestSession.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace closing;

namespace {

const Date Closing = Date::fromParts(2024, 5, 20);

class InvoiceClosing : public ::testing::Test {
protected:
    TestInstallation installation;
    Database db = installation.database();
};

} // namespace

TEST_F(InvoiceClosing, PaidUpCustomerIsBilledItsNewSalesAndRolledOver)
{
    addCustomer(db, {"C1", "", "10000", "10000", "5000", 20, 25, Date::fromParts(2024, 4, 20),
                     Date::fromParts(2024, 5, 2)});
    addLine(db, "C1", Date::fromParts(2024, 5, 3), "3000", "1");
    // Late on the closing day itself: whole days count.
    addLine(db, "C1", Date::fromSerial(Closing.serial() + 0.75), "1000", "2");

    const auto computed = computeInvoice(db, "C1", Closing, testSession().config);
    ASSERT_TRUE(computed);
    const InvoiceValues& v = computed->invoice;
    ASSERT_EQ(v.lineCount(), 2);
    EXPECT_EQ(v.lines[0].amount, yen("3000"));
    EXPECT_EQ(v.lines[1].amount, yen("2000"));
    EXPECT_EQ(v.lines[1].quantity, yen("2"));
    EXPECT_EQ(v.currentSales, yen("5000"));
    EXPECT_EQ(v.previousInvoiceAmount, yen("10000"));
    EXPECT_EQ(v.paymentsSinceClosing, yen("10000"));
    EXPECT_EQ(v.previousClosingDate, Date::fromParts(2024, 4, 20));
    EXPECT_EQ(v.lastPaymentDate, Date::fromParts(2024, 5, 2));
    EXPECT_EQ(v.closingDate, Closing);
    EXPECT_EQ(v.totalBilled, yen("5000"));
    EXPECT_FALSE(computed->detailTotalDiffers);
    EXPECT_FALSE(nothingToBill(v));

    EXPECT_EQ(closeBillingPeriod(db, "C1", v), 2);
    const Stored after = stored(db, "C1");
    EXPECT_EQ(after.lastInvoice, yen("5000"));
    EXPECT_EQ(after.previousClosing, Closing);
    EXPECT_EQ(after.payments, Currency());
    EXPECT_TRUE(after.lastPayment.isZero());
    EXPECT_EQ(after.sales, Currency());
    EXPECT_EQ(lineCount(db, "C1"), 0);
    // The balance is the same before and after: 10000 − 10000 + 5000.
    EXPECT_EQ(readCustomerAccount(db, "C1")->balance(), yen("5000"));
}

TEST_F(InvoiceClosing, NoLinesBillsTheBalanceBroughtForwardAndTheNothingToBillRule)
{
    addCustomer(db, {"C1", "", "8000", "3000", "0", 20});
    auto computed = computeInvoice(db, "C1", Closing, testSession().config);
    ASSERT_TRUE(computed);
    EXPECT_EQ(computed->invoice.lineCount(), 0);
    EXPECT_EQ(computed->invoice.currentSales, Currency());
    EXPECT_EQ(computed->invoice.totalBilled, yen("5000"));
    EXPECT_FALSE(computed->detailTotalDiffers);
    closeBillingPeriod(db, "C1", computed->invoice);
    EXPECT_EQ(stored(db, "C1").lastInvoice, yen("5000"));

    // Nothing to bill only when all three are empty.
    addCustomer(db, {"Z0", "", "0", "0", "0"});
    computed = computeInvoice(db, "Z0", Closing, testSession().config);
    EXPECT_TRUE(nothingToBill(computed->invoice));
    EXPECT_EQ(computed->invoice.totalBilled, Currency());
    addCustomer(db, {"P1", "", "0", "500", "0"});
    EXPECT_FALSE(nothingToBill(computeInvoice(db, "P1", Closing, testSession().config)->invoice));
    addCustomer(db, {"L1", "", "0", "0", "0"});
    addLine(db, "L1", Closing, "1", "1");
    EXPECT_FALSE(nothingToBill(computeInvoice(db, "L1", Closing, testSession().config)->invoice));

    // Closing without printing still writes the date and the zeroes.
    closeBillingPeriod(db, "Z0", computeInvoice(db, "Z0", Closing, testSession().config)->invoice);
    const Stored z = stored(db, "Z0");
    EXPECT_EQ(z.previousClosing, Closing);
    EXPECT_EQ(z.lastInvoice, Currency());
    EXPECT_EQ(z.payments, Currency());

    // Negative payments and balances go through the same arithmetic.
    addCustomer(db, {"N1", "", "-300", "-200", "100"});
    addLine(db, "N1", Closing, "100", "1");
    EXPECT_EQ(computeInvoice(db, "N1", Closing, testSession().config)->invoice.totalBilled, yen("0"));
}

TEST_F(InvoiceClosing, LineAfterTheClosingDayStaysForTheNextInvoice)
{
    addCustomer(db, {"C1", "", "0", "0", "5000", 20});
    addLine(db, "C1", Closing, "3000", "1");
    addLine(db, "C1", Closing.addDays(1), "2000", "1");

    const auto computed = computeInvoice(db, "C1", Closing, testSession().config);
    ASSERT_EQ(computed->invoice.lineCount(), 1);
    EXPECT_EQ(computed->invoice.currentSales, yen("3000"));
    // 3000 on the invoice against 5000 of sales since closing.
    EXPECT_TRUE(computed->detailTotalDiffers);
    EXPECT_EQ(computed->invoice.totalBilled, yen("3000"));

    EXPECT_EQ(closeBillingPeriod(db, "C1", computed->invoice), 1);
    EXPECT_EQ(lineCount(db, "C1"), 1);
    EXPECT_EQ(db.scalar("SELECT 売上年月日 FROM 売掛マスター WHERE 売上顧客コード = 'C1'").toDouble(),
              Closing.addDays(1).serial());
    // Only what was billed leaves the sales since closing.
    EXPECT_EQ(stored(db, "C1").sales, yen("2000"));
    EXPECT_EQ(stored(db, "C1").lastInvoice, yen("3000"));
}

TEST_F(InvoiceClosing, LineAmountsAreWholeYenTowardMinusInfinity)
{
    addCustomer(db, {"C1", "", "0", "0", "0", 20});
    addLine(db, "C1", Closing, "105", "0.5");  // 52.5 → 52
    addLine(db, "C1", Closing, "105", "-0.5"); // a return: −52.5 → −53
    addLine(db, "C1", Closing, "0.29", "100"); // exactly 29, not 28.999…
    const auto computed = computeInvoice(db, "C1", Closing, testSession().config);
    ASSERT_EQ(computed->invoice.lineCount(), 3);
    EXPECT_EQ(computed->invoice.lines[0].amount, yen("52"));
    EXPECT_EQ(computed->invoice.lines[1].amount, yen("-53"));
    EXPECT_EQ(computed->invoice.lines[2].amount, yen("29"));
    EXPECT_EQ(computed->invoice.currentSales, yen("28"));

    // The grid's computed column gives the same amounts.
    const BoundStatement s = invoiceLinesStatement("C1", Closing);
    QSqlQuery q = db.exec(s.sql, s.params);
    QList<Currency> amounts;
    while (q.next())
        amounts << currencyValue(q.value(InvoiceAmountColumn));
    EXPECT_EQ(amounts, QList<Currency>({yen("52"), yen("-53"), yen("29")}));
}

TEST_F(InvoiceClosing, BillingCustomerIsBilledTheLinesOfTheCustomersBilledToIt)
{
    // The daily update files B's credit sales under A, who pays for B.
    addCustomer(db, {"A", "", "0", "0", "4000", 20});
    addCustomer(db, {"B", "", "0", "0", "0", 20, 0, {}, {}, "A"});
    addLine(db, "A", Closing, "1500", "1", QStringLiteral("Aの灯油"));
    addLine(db, "A", Closing.addDays(-1), "2500", "1", QStringLiteral("Bの米"));

    const auto a = computeInvoice(db, "A", Closing, testSession().config);
    ASSERT_EQ(a->invoice.lineCount(), 2);
    // By date, then serial.
    EXPECT_EQ(a->invoice.lines[0].productName, QStringLiteral("Bの米"));
    EXPECT_EQ(a->invoice.lines[1].productName, QStringLiteral("Aの灯油"));
    EXPECT_EQ(a->invoice.totalBilled, yen("4000"));
    EXPECT_EQ(computeInvoice(db, "B", Closing, testSession().config)->invoice.lineCount(), 0);
}

TEST_F(InvoiceClosing, CodesMatchPaddedOrNotAndOtherCustomersAreUntouched)
{
    addCustomer(db, {"12", "", "0", "0", "700", 20});
    addCustomer(db, {"123", "", "0", "0", "900", 20});
    addLine(db, QStringLiteral("12           "), Closing, "700", "1"); // as the slip buffer pads it
    addLine(db, "123", Closing, "900", "1");
    const auto computed = computeInvoice(db, "12", Closing, testSession().config);
    ASSERT_EQ(computed->invoice.lineCount(), 1);
    EXPECT_EQ(closeBillingPeriod(db, "12", computed->invoice), 1);
    EXPECT_EQ(lineCount(db, "123"), 1);
    EXPECT_EQ(stored(db, "123").sales, yen("900"));
    EXPECT_FALSE(computeInvoice(db, "999", Closing, testSession().config));
}

TEST_F(InvoiceClosing, AFailedRollOverKeepsTheLinesAsWell)
{
    addCustomer(db, {"C1", "", "1000", "0", "3000", 20});
    addLine(db, "C1", Closing, "3000", "1");
    const auto computed = computeInvoice(db, "C1", Closing, testSession().config);
    addRefusal(db, QStringLiteral("CREATE TRIGGER 拒否 BEFORE UPDATE OF 顧客売掛前回請求金額 ON 顧客マスター"
                                  " BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    EXPECT_THROW(closeBillingPeriod(db, "C1", computed->invoice), DatabaseError);
    // Neither the delete nor the update took place.
    EXPECT_EQ(lineCount(db, "C1"), 1);
    EXPECT_EQ(stored(db, "C1").lastInvoice, yen("1000"));
    EXPECT_EQ(stored(db, "C1").sales, yen("3000"));
}

TEST(DayOfMonthBox, OutOfRangeMeansTheMonthEndAndFractionsRoundHalfToEven)
{
    EXPECT_EQ(dayOfMonthBoxValue(45), 31);
    EXPECT_EQ(dayOfMonthBoxValue(32), 31);
    EXPECT_EQ(dayOfMonthBoxValue(-1), 31);
    EXPECT_EQ(dayOfMonthBoxValue(0), 0);
    EXPECT_EQ(dayOfMonthBoxValue(31), 31);
    EXPECT_EQ(dayOfMonthBoxValue(15), 15);
    EXPECT_EQ(dayOfMonthBoxValue(2.5), 2);
    EXPECT_EQ(dayOfMonthBoxValue(3.5), 4);
    EXPECT_EQ(dayOfMonthBoxValue(-0.4), 0);
    EXPECT_EQ(dayOfMonthBoxValue(31.6), 31);
}

TEST_F(InvoiceClosing, CustomersOfAClosingDayInTableOrder)
{
    addCustomer(db, {"Z9", "", "0", "0", "0", 31});
    addCustomer(db, {"A1", "", "0", "0", "0", 20});
    addCustomer(db, {"B1", "", "0", "0", "0", 31});
    EXPECT_EQ(closingDayCustomerCodes(db, 31), QStringList({"Z9", "B1"}));
    EXPECT_EQ(closingDayCustomerCodes(db, 20), QStringList({"A1"}));
    EXPECT_TRUE(closingDayCustomerCodes(db, 5).isEmpty());
}
