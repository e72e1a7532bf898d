// An invoice's sales by rate: slips stored at the counter and posted by the
// daily update, billed at the month's closing; the closing keeps the
// figures, and the receipt of that invoice says which breakdown it prints.
#include "receivables/ClosingData.h"
#include "receivables/InvoiceIssuing.h"
#include "receivables/ReceiptIssuing.h"
#include "sales/DailyUpdate.h"
#include "sales/SlipStore.h"
#include "session/Routines.h"
#include "session/TaxBreakdown.h"
#include "support/SlipLines.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

using namespace closing;

namespace {

const Date Closing = Date::fromParts(2024, 5, 31);

class InvoiceByRate : public ::testing::Test {
protected:
    TestInstallation installation;
    Database db = installation.database();
    SessionState& s = testSession();

    void SetUp() override
    {
        s.config.taxRate1() = QStringLiteral("0.10");
        s.config.taxRate2() = QStringLiteral("0.08");
        s.config.reducedRate = 2;
    }

    // Stores the slip in the buffer as the counter does: its lines, its
    // tax row and its ledger rows.
    void store()
    {
        ASSERT_TRUE(computeSlipTotals(s));
        ASSERT_TRUE(storeSlip(db, s, installation.configurationPath()).stored);
    }

    // Three credit slips of May for customer K1, posted.
    void monthOfSlips()
    {
        startSlip(s, "K1", Date::fromParts(2024, 5, 3), saleKind::Credit);
        appendSlipLine(s, 1, 1, "1001", "県産こしひかり　５ｋｇ", "2980", "1");
        appendSlipLine(s, 1, 1, "1005", "もち米　１ｋｇ", "880", "1");
        appendSlipLine(s, 2, 0, "2001", "灯油　１８Ｌ缶", "2160", "1");
        store(); // tax 308 (308.8 down) + 216 = 524
        startSlip(s, "K1", Date::fromParts(2024, 5, 10), saleKind::Credit);
        appendSlipLine(s, 1, 1, "1001", "県産こしひかり　５ｋｇ", "2980", "1");
        appendSlipLine(s, 3, 5, "3001", "ＬＰガス　８ｋｇ交換", "4400", "1");
        appendSlipLine(s, 7, 9, "7002", "収入印紙　２００円", "200", "1");
        store(); // tax 238
        startSlip(s, "K1", Date::fromParts(2024, 5, 15), saleKind::Credit);
        appendSlipLine(s, 5, 1, "5009", "みかん", "105", "3");
        store(); // tax 25 (25.2 down)
        // After the closing day: held until June's daily update, billed
        // next month.
        startSlip(s, "K1", Date::fromParts(2024, 6, 1), saleKind::Credit);
        appendSlipLine(s, 2, 0, "2001", "灯油　１８Ｌ缶", "2160", "1");
        store();
        postHoldingRows(db, Closing);
    }
};

} // namespace

TEST_F(InvoiceByRate, RatesAreTheSumOfTheSlipsEachRoundedOnItsSlip)
{
    addCustomer(db, {"K1", "", "0", "0", "0", 31, 10});
    monthOfSlips();

    const auto computed = computeInvoice(db, "K1", Closing, s.config);
    ASSERT_TRUE(computed);
    const InvoiceValues& v = computed->invoice;
    // The lines with the slips' tax rows. Slip 1: 2980 + 880 + 2160 + tax
    // 524 = 6544; slip 2: 2980 + 4400 + 200 + tax 238 = 7818; slip 3:
    // 315 + tax 25 = 340.
    EXPECT_EQ(v.currentSales, yen("14702"));
    EXPECT_FALSE(computed->detailTotalDiffers);

    const TaxBreakdown& b = v.taxByRate;
    ASSERT_EQ(b.rates.size(), 2u);
    // 10 %: slip 1 2160 + 216 = 2376 (tax 216), slip 2 gas 4400 (tax 400).
    EXPECT_EQ(b.rates[0].rate, yen("0.1"));
    EXPECT_EQ(b.rates[0].total, yen("6776"));
    EXPECT_EQ(b.rates[0].tax, yen("616"));
    EXPECT_FALSE(b.rates[0].reduced);
    // 8 %: slip 1 3860 + 308 = 4168 (tax 308), slip 2 2980 + 238 = 3218
    // (tax 238), slip 3 315 + 25 = 340 (tax 25): 7726 with 571 of tax. One
    // rounding over the month would say 572.
    EXPECT_EQ(b.rates[1].rate, yen("0.08"));
    EXPECT_EQ(b.rates[1].total, yen("7726"));
    EXPECT_EQ(b.rates[1].tax, yen("571"));
    EXPECT_TRUE(b.rates[1].reduced);
    // The stamp apart; the slips' tax rows are in the rates, not here.
    EXPECT_EQ(b.notTaxable, yen("200"));
    // Every yen billed is in one of them.
    EXPECT_EQ(b.rates[0].total + b.rates[1].total + b.notTaxable, v.currentSales);

    // The closing keeps the figures for the receipt.
    closeBillingPeriod(db, "K1", v);
    const std::optional<ClosedInvoice> kept = readClosedInvoice(db, "K1");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->closingDate, Closing);
    EXPECT_EQ(kept->currentSales, yen("14702"));
    EXPECT_EQ(kept->totalBilled, yen("14702"));
    ASSERT_EQ(kept->taxByRate.rates.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(kept->taxByRate.rates[i].rate, b.rates[i].rate);
        EXPECT_EQ(kept->taxByRate.rates[i].total, b.rates[i].total);
        EXPECT_EQ(kept->taxByRate.rates[i].tax, b.rates[i].tax);
        EXPECT_EQ(kept->taxByRate.rates[i].reduced, b.rates[i].reduced);
    }
    EXPECT_EQ(kept->taxByRate.notTaxable, yen("200"));
    const CustomerAccount account = *readCustomerAccount(db, "K1");
    EXPECT_EQ(receiptBreakdown(kept, account.lastInvoiceAmount, account.previousClosingDate),
              ReceiptBreakdown::ByRate);

    // June's slip is next month's invoice, and its closing replaces the
    // figures kept.
    postHoldingRows(db, Date::fromParts(2024, 6, 1));
    const auto june = computeInvoice(db, "K1", Date::fromParts(2024, 6, 30), s.config);
    ASSERT_EQ(june->invoice.taxByRate.rates.size(), 1u);
    EXPECT_EQ(june->invoice.taxByRate.rates[0].total, yen("2376"));
    closeBillingPeriod(db, "K1", june->invoice);
    EXPECT_EQ(readClosedInvoice(db, "K1")->taxByRate.rates.size(), 1u);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 請求内訳ＴＢＬ").toInt(), 1);
}

TEST_F(InvoiceByRate, ReceiptOfACarriedBalanceOrOfFiguresNotKeptRefersToTheInvoice)
{
    // 5000 billed last time, 3000 paid: the new invoice carries 2000.
    addCustomer(db, {"K1", "", "5000", "3000", "0", 31, 10});
    monthOfSlips();
    const auto computed = computeInvoice(db, "K1", Closing, s.config);
    EXPECT_EQ(computed->invoice.totalBilled, yen("16702"));
    closeBillingPeriod(db, "K1", computed->invoice);
    const std::optional<ClosedInvoice> kept = readClosedInvoice(db, "K1");
    CustomerAccount account = *readCustomerAccount(db, "K1");
    EXPECT_EQ(receiptBreakdown(kept, account.lastInvoiceAmount, account.previousClosingDate),
              ReceiptBreakdown::CarriedBalance);

    // No figures kept (a period closed before they were).
    EXPECT_EQ(receiptBreakdown(std::nullopt, yen("14702"), Closing), ReceiptBreakdown::SeeInvoice);
    // Figures of another closing, or of an amount changed since.
    ClosedInvoice sales;
    sales.closingDate = Closing;
    sales.currentSales = sales.totalBilled = yen("1100");
    sales.taxByRate.rates.push_back({yen("0.1"), false, yen("1100"), yen("100")});
    EXPECT_EQ(receiptBreakdown(sales, yen("1100"), Closing), ReceiptBreakdown::ByRate);
    EXPECT_EQ(receiptBreakdown(sales, yen("1100"), Date::fromParts(2024, 4, 30)), ReceiptBreakdown::SeeInvoice);
    EXPECT_EQ(receiptBreakdown(sales, yen("1200"), Closing), ReceiptBreakdown::SeeInvoice);
    // Rates that do not account for the whole amount are not printed.
    sales.taxByRate.rates[0].total = yen("1000");
    EXPECT_EQ(receiptBreakdown(sales, yen("1100"), Closing), ReceiptBreakdown::SeeInvoice);
}
