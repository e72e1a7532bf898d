// A document's consumption tax by rate: each rate's total with its tax and
// the tax that total contains, rounded once per document and rate.
#include "core/Text.h"
#include "session/TaxBreakdown.h"

#include <gtest/gtest.h>

namespace {

Currency yen(const char* text) { return text::valCurrency(QString::fromUtf8(text)); }

Configuration ratesOf(const char* rate1, const char* rate2, int reduced)
{
    Configuration c;
    c.taxRate1() = QString::fromUtf8(rate1);
    c.taxRate2() = QString::fromUtf8(rate2);
    c.reducedRate = reduced;
    return c;
}

SlipTotals totals(const char* added1, const char* added2, const char* included1, const char* included2,
                  const char* notTaxable)
{
    SlipTotals t;
    t.taxAddedRate1 = yen(added1);
    t.taxAddedRate2 = yen(added2);
    t.taxIncludedRate1 = yen(included1);
    t.taxIncludedRate2 = yen(included2);
    t.notTaxable = yen(notTaxable);
    return t;
}

} // namespace

TEST(TaxBreakdown, SlipOfBothRatesTaxInclusiveLineAndStamp)
{
    // Rice 2980 at 8 % and kerosene 2160 at 10 %, both tax-added; gas 4400
    // at 10 % tax-inclusive; a stamp of 200.
    const TaxBreakdown b = taxBreakdown(totals("2160", "2980", "4400", "0", "200"), ratesOf("0.10", "0.08", 2));
    ASSERT_EQ(b.rates.size(), 2u);
    // 10 %: 2160 + 216 + 4400 = 6776, containing 6776 / 11 = 616.
    EXPECT_EQ(b.rates[0].rate, yen("0.1"));
    EXPECT_FALSE(b.rates[0].reduced);
    EXPECT_EQ(b.rates[0].total, yen("6776"));
    EXPECT_EQ(b.rates[0].tax, yen("616"));
    EXPECT_EQ(b.rates[0].base(), yen("6160"));
    // 8 %: 2980 + 238 (238.4 down) = 3218, containing 238.37… → 238.
    EXPECT_EQ(b.rates[1].rate, yen("0.08"));
    EXPECT_TRUE(b.rates[1].reduced);
    EXPECT_EQ(b.rates[1].total, yen("3218"));
    EXPECT_EQ(b.rates[1].tax, yen("238"));
    EXPECT_EQ(b.notTaxable, yen("200"));
    EXPECT_EQ(rateFiguresText(b.rates[0]), QStringLiteral("10%対象 6,776円 消費税 616円"));
    EXPECT_EQ(taxByRateText(b), QStringLiteral("10%対象 6,776円 消費税 616円　8%対象 3,218円 消費税 238円※　非課税 200円"));
}

TEST(TaxBreakdown, TaxAddedLinesAloneGiveTheTaxTheSlipCharged)
{
    // total × r / (1 + r) of a total that is A + floor(r·A) always rounds
    // down to floor(r·A): the slip and its breakdown never disagree.
    const Configuration c = ratesOf("0.10", "0.08", 2);
    for (const char* amount : {"1", "9", "99", "105", "999", "1001", "2980", "12345", "99999", "1234567"}) {
        SCOPED_TRACE(amount);
        const TaxBreakdown b = taxBreakdown(totals(amount, amount, "0", "0", "0"), c);
        ASSERT_EQ(b.rates.size(), 2u);
        EXPECT_EQ(b.rates[0].tax, (yen("0.10") * yen(amount)).Int());
        EXPECT_EQ(b.rates[1].tax, (yen("0.08") * yen(amount)).Int());
    }
}

TEST(TaxBreakdown, RatesNotInUseAreLeftOutAndEqualRatesAreOne)
{
    const TaxBreakdown onlyStamp = taxBreakdown(totals("0", "0", "0", "0", "200"), ratesOf("0.10", "0.08", 2));
    EXPECT_TRUE(onlyStamp.rates.empty());
    EXPECT_FALSE(onlyStamp.empty());
    EXPECT_EQ(taxByRateText(TaxBreakdown()), QStringLiteral("なし"));

    // Two rates of the same value are one rate of the document.
    const TaxBreakdown same = taxBreakdown(totals("100", "200", "0", "0", "0"), ratesOf("0.08", "0.080", 1));
    ASSERT_EQ(same.rates.size(), 1u);
    EXPECT_EQ(same.rates[0].total, yen("324")); // 100 + 8 + 200 + 16
    EXPECT_EQ(same.rates[0].tax, yen("24"));
    EXPECT_TRUE(same.rates[0].reduced);
}

TEST(TaxBreakdown, ReturnsRoundTowardMinusInfinityAsTheSlipTotalsDo)
{
    // A returned 8 % bag: −2980 tax-added, tax floor(−238.4) = −239.
    const TaxBreakdown b = taxBreakdown(totals("0", "-2980", "0", "0", "0"), ratesOf("0.10", "0.08", 2));
    ASSERT_EQ(b.rates.size(), 1u);
    EXPECT_EQ(b.rates[0].total, yen("-3219"));
    EXPECT_EQ(b.rates[0].tax, yen("-239"));
    EXPECT_EQ(taxContained(yen("-1100"), yen("0.1")), yen("-100"));
    EXPECT_EQ(taxContained(yen("-1101"), yen("0.1")), yen("-101"));
}

TEST(TaxBreakdown, DocumentsAddUpRateByRateEachRoundedOnItsOwn)
{
    // Three slips of one 8 % bag of 110: 8 yen each (8.8 down), 24 in all;
    // one rounding over the sum would say 26.
    const Configuration c = ratesOf("0.10", "0.08", 2);
    TaxBreakdown sum;
    for (int i = 0; i < 3; ++i)
        sum.add(taxBreakdown(totals("0", "110", "0", "0", "0"), c));
    sum.add(taxBreakdown(totals("1000", "0", "0", "0", "50"), c));
    ASSERT_EQ(sum.rates.size(), 2u);
    EXPECT_EQ(sum.rates[0].rate, yen("0.1")); // the highest rate first, whatever came first
    EXPECT_EQ(sum.rates[0].total, yen("1100"));
    EXPECT_EQ(sum.rates[1].total, yen("354"));
    EXPECT_EQ(sum.rates[1].tax, yen("24"));
    EXPECT_EQ(sum.notTaxable, yen("50"));
}

TEST(TaxBreakdown, CategoriesRatesAndCaptions)
{
    Configuration c = ratesOf("0.10", "0.08", 2);
    EXPECT_FALSE(reducedCategory(c, 0));
    EXPECT_TRUE(reducedCategory(c, 1));
    EXPECT_FALSE(reducedCategory(c, 5));
    EXPECT_TRUE(reducedCategory(c, 6));
    EXPECT_FALSE(reducedCategory(c, 9));
    EXPECT_FALSE(reducedCategory(c, 3));
    c.reducedRate = 0;
    EXPECT_FALSE(reducedCategory(c, 1));
    EXPECT_EQ(ratePercent(yen("0.1")), QStringLiteral("10%"));
    EXPECT_EQ(ratePercent(yen("0.08")), QStringLiteral("8%"));
    EXPECT_EQ(ratePercent(yen("0.065")), QStringLiteral("6.5%"));
    EXPECT_EQ(rateCaption(yen("0.08")), QStringLiteral("8%対象"));
    EXPECT_TRUE(isSlipTaxRow(99, QStringLiteral("999900       ")));
    EXPECT_FALSE(isSlipTaxRow(9, QStringLiteral("999900")));
    EXPECT_FALSE(isSlipTaxRow(99, QStringLiteral("9999")));
}
