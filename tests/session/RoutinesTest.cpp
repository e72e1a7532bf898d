// The slip buffer routines: totals and consumption tax, adding lines with
// the price question, clearing, and the account-name copy.
#include "session/Routines.h"
#include "db/Database.h"
#include "support/ShopData.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

namespace {

void chooseProduct(const char* code, int taxCategory, const char* price, const char* quantity)
{
    ProductBeingChosen& p = testSession().product;
    p.departmentCode = 1;
    p.taxCategory = std::int16_t(taxCategory);
    p.productCode = QString::fromUtf8(code);
    p.kanaName = QStringLiteral("ｺﾒ");
    p.productName = QStringLiteral("コシヒカリ５ｋｇ　特別栽培米　新潟県魚沼産　令和六年産");
    p.unitPrice = yen(price);
    p.quantity = yen(quantity);
}

// The unit-price question of a test: hands out the scripted answers in turn
// and counts how often it was asked.
struct PriceAnswers {
    std::vector<std::optional<QString>> answers;
    std::size_t asked = 0;
    UnitPriceQuestion question()
    {
        return [this]() -> std::optional<QString> {
            return asked < answers.size() ? answers[asked++] : (++asked, std::nullopt);
        };
    }
};

// Adds the chosen product; a product with a price is never asked about.
bool added(SessionState& state, const UnitPriceQuestion& ask = [] {
    ADD_FAILURE() << "the unit price was asked for";
    return std::optional<QString>();
})
{
    return addSlipLine(state, ask) == SlipLineOutcome::Added;
}

} // namespace

TEST(SlipTotals, ConsumptionTaxIsTheWholePartPerRate)
{
    TestInstallation inst;
    testSession().config.taxRate1() = "0.05";
    testSession().config.taxRate2() = "0.08";
    clearSlip(testSession());
    // 1000 at rate 1 and 999 at rate 2: 79.92 → 79, plus 50 = 129.
    chooseProduct("1", 1, "999", "1");
    ASSERT_TRUE(added(testSession()));
    chooseProduct("2", 0, "1000", "1");
    ASSERT_TRUE(added(testSession()));
    computeSlipTotals(testSession());
    const SlipTotals& t = testSession().totals;
    EXPECT_EQ(t.consumptionTax, yen("129"));
    EXPECT_EQ(t.taxAddedRate1, yen("1000"));
    EXPECT_EQ(t.taxAddedRate2, yen("999"));
    EXPECT_EQ(t.grandTotal, yen("2128"));

    // 199 at 0.05 is 9.95, so 9.
    clearSlip(testSession());
    chooseProduct("3", 0, "199", "1");
    added(testSession());
    computeSlipTotals(testSession());
    EXPECT_EQ(testSession().totals.consumptionTax, yen("9"));

    // Included and non-taxable sales carry no tax; an unknown category
    // reaches no total at all; a rate of 0.29 is applied exactly.
    testSession().config.taxRate1() = "0.29";
    clearSlip(testSession());
    chooseProduct("4", 0, "100", "1");
    added(testSession());
    chooseProduct("5", 5, "540", "1");
    added(testSession());
    chooseProduct("6", 6, "216", "1");
    added(testSession());
    chooseProduct("7", 9, "300", "2");
    added(testSession());
    chooseProduct("8", 3, "777", "1");
    added(testSession());
    computeSlipTotals(testSession());
    const SlipTotals& u = testSession().totals;
    EXPECT_EQ(u.consumptionTax, yen("29"));
    EXPECT_EQ(u.taxIncludedRate1, yen("540"));
    EXPECT_EQ(u.taxIncludedRate2, yen("216"));
    EXPECT_EQ(u.notTaxable, yen("600"));
    EXPECT_EQ(u.grandTotal, yen("1485"));
}

TEST(SlipLines, AmountIsTheWholePartAndFieldsAreFixedLength)
{
    TestInstallation inst;
    clearSlip(testSession());
    chooseProduct("4901", 0, "105", "0.5");
    ASSERT_TRUE(added(testSession()));
    const SlipLine& line = testSession().lines[1];
    EXPECT_EQ(testSession().lineCount, 1);
    EXPECT_EQ(line.amount, yen("52"));
    EXPECT_EQ(line.productCode, QStringLiteral("4901         "));
    EXPECT_EQ(line.kanaName, QStringLiteral("ｺﾒ      "));
    EXPECT_EQ(line.productName, QStringLiteral("コシヒカリ５ｋｇ　特別栽培米　新潟県魚沼産　令和"));
    EXPECT_EQ(line.productName.size(), 24);
    // A returned item: -1 × 105.5 is -105.5, whole part -106.
    chooseProduct("4902", 0, "105.5", "-1");
    added(testSession());
    EXPECT_EQ(testSession().lines[2].amount, yen("-106"));
}

TEST(SlipLines, AskedPriceAndLinesThatAreNotAdded)
{
    TestInstallation inst;
    clearSlip(testSession());
    // A product without a price asks for one.
    PriceAnswers prices{{QStringLiteral("１２５０"), std::nullopt, QString()}};
    chooseProduct("9", 0, "0", "2");
    ASSERT_TRUE(added(testSession(), prices.question()));
    ASSERT_EQ(prices.asked, 1u);
    EXPECT_EQ(testSession().lines[1].unitPrice, yen("1250"));
    EXPECT_EQ(testSession().lines[1].amount, yen("2500"));
    // Cancelled or empty: price 0, nothing added.
    chooseProduct("9", 0, "0", "2");
    EXPECT_EQ(addSlipLine(testSession(), prices.question()), SlipLineOutcome::NothingToAdd);
    chooseProduct("9", 0, "0", "2");
    EXPECT_EQ(addSlipLine(testSession(), prices.question()), SlipLineOutcome::NothingToAdd);
    // Quantity 0 adds nothing and asks nothing.
    chooseProduct("10", 0, "100", "0");
    EXPECT_EQ(addSlipLine(testSession(), prices.question()), SlipLineOutcome::NothingToAdd);
    EXPECT_EQ(testSession().lineCount, 1);
    EXPECT_EQ(prices.asked, 3u);

    // The buffer holds ten lines and refuses the eleventh.
    for (int i = 2; i <= 10; ++i) {
        chooseProduct("11", 0, "1", "1");
        ASSERT_TRUE(added(testSession()));
    }
    chooseProduct("11", 0, "1", "1");
    EXPECT_THROW(addSlipLine(testSession(), {}), SlipBufferFull);
    EXPECT_EQ(testSession().lineCount, 10);
}

TEST(SlipLines, AmountsBeyondTheRangeAreRefusedAndNothingIsAdded)
{
    TestInstallation inst;
    clearSlip(testSession());
    chooseProduct("4901", 0, "1980", "2");
    ASSERT_TRUE(added(testSession()));
    ASSERT_TRUE(computeSlipTotals(testSession()));
    const SlipTotals before = testSession().totals;
    // A barcode scanned into the quantity box: 1980 × 4901234567894 wrapped
    // to an ordinary-looking amount.
    chooseProduct("4901", 0, "1980", "4901234567894");
    EXPECT_EQ(addSlipLine(testSession(), {}), SlipLineOutcome::TooLarge);
    EXPECT_EQ(calculationTooLargeTitle(), QStringLiteral("計算エラー"));
    EXPECT_EQ(calculationTooLargeMessage(), QStringLiteral("金額または数量が大きすぎて計算できません。\n入力した値を確かめてください。"));
    EXPECT_EQ(testSession().lineCount, 1);
    // Each amount fits, but the slip's total would not: still refused.
    chooseProduct("4902", 9, "900000000000000", "1");
    ASSERT_TRUE(added(testSession()));
    chooseProduct("4903", 9, "900000000000000", "1");
    EXPECT_EQ(addSlipLine(testSession(), {}), SlipLineOutcome::TooLarge);
    EXPECT_EQ(testSession().lineCount, 2);

    // Totals that cannot be computed are reported and left as they were.
    testSession().lines[3] = testSession().lines[2];
    testSession().lineCount = 3;
    testSession().totals = before;
    EXPECT_FALSE(computeSlipTotals(testSession()));
    EXPECT_EQ(testSession().totals.grandTotal, before.grandTotal);
}

TEST(SlipLines, ClearSlipKeepsPostalCodeAndAmounts)
{
    TestInstallation inst;
    ChosenCustomer& c = testSession().customer;
    c = {"1001", "青木", "ｱｵｷ", "住所１", "住所２", "03", "100-0001", yen("5000"), yen("2000"), yen("300"),
         Date::fromParts(2001, 2, 16)};
    chooseProduct("1", 0, "100", "1");
    added(testSession());
    computeSlipTotals(testSession());
    clearSlip(testSession());
    EXPECT_EQ(c.code, QString());
    EXPECT_EQ(c.name, QString());
    EXPECT_EQ(c.telephone, QString());
    EXPECT_EQ(c.postalCode, QStringLiteral("100-0001"));
    EXPECT_EQ(c.lastInvoiceAmount, yen("5000"));
    EXPECT_EQ(c.creditSalesSinceClosing, yen("300"));
    EXPECT_TRUE(c.slipDate.isZero());
    EXPECT_EQ(testSession().lineCount, 0);
    EXPECT_EQ(testSession().lines[1].productCode, QString(13, u' '));
    EXPECT_EQ(testSession().lines[1].amount, Currency());
    EXPECT_EQ(testSession().totals.grandTotal, Currency());
}

TEST(AccountCopy, MirrorsTheChartOfAccounts)
{
    TestInstallation inst;
    Database db = inst.database();
    db.exec("INSERT INTO 勘定科目TBLＣＯＰＹ VALUES (99999, '古い科目')");
    db.exec("UPDATE 勘定科目TBL SET 勘定科目名 = '現金（店頭）' WHERE 科目番号 = 10");
    refreshAccountCopy(db);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 勘定科目TBLＣＯＰＹ").toInt(), db.scalar("SELECT COUNT(*) FROM 勘定科目TBL").toInt());
    EXPECT_EQ(db.scalar("SELECT 勘定科目名 FROM 勘定科目TBLＣＯＰＹ WHERE 科目番号 = 10").toString(), QStringLiteral("現金（店頭）"));
    EXPECT_FALSE(db.scalar("SELECT 1 FROM 勘定科目TBLＣＯＰＹ WHERE 科目番号 = 99999").isValid());
}
