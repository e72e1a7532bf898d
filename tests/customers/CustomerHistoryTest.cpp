// A customer's posted history: the amounts and order of the grid, the
// latest slip, and the repeat of that slip into the slip buffer.
#include "customers/CustomerData.h"
#include "customers/CustomerHistory.h"
#include "support/TestInstallation.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

const Date May1 = Date::fromParts(2024, 5, 1);
const Date May2 = Date::fromParts(2024, 5, 2);
const Date June3 = Date::fromParts(2024, 6, 3);

struct HistoryLine {
    std::int32_t slip;
    QString product;
    qint64 amountTicks;
};

std::vector<HistoryLine> history(Database& db, const QString& code)
{
    QSqlQuery q = db.exec(customerHistoryStatement(), {code});
    std::vector<HistoryLine> lines;
    while (q.next())
        lines.push_back({std::int32_t(q.value(0).toInt()), q.value(4).toString(), q.value(8).toLongLong()});
    return lines;
}

} // namespace

TEST(CustomerHistory, AmountsAreTheWholePartAndLinesComeInDateSlipSerialOrder)
{
    TestInstallation inst;
    Database db = inst.database();
    // Entered out of order: a later slip first, then an older date.
    addSale(db, {20, May2, "C1", 1, 0, "P-late"});
    addSale(db, {30, May1, "C1", 2, 0, "P-998", "灯油", "99.5", "3"});
    addSale(db, {10, May2, "C1", 1, 0, "P-neg", "返品", "-0.5", "3"});
    addSale(db, {10, May2, "C1", 1, 0, "P-10b"});
    addSale(db, {10, May2, "C2", 1, 0, "P-other"}); // another customer
    addSale(db, {40, June3, "C1", 1, 0, "P-held"}, QStringLiteral("売上商品マスター仮")); // not posted yet

    const std::vector<HistoryLine> lines = history(db, "C1");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].product, "P-998");
    EXPECT_EQ(lines[0].amountTicks, 2980000); // 99.5 × 3 = 298.5 → 298
    EXPECT_EQ(lines[1].product, "P-neg");
    EXPECT_EQ(lines[1].amountTicks, -20000); // -1.5 rounds down to -2
    EXPECT_EQ(lines[2].product, "P-10b");
    EXPECT_EQ(lines[3].product, "P-late");
    // A code typed with blanks after it is the same customer.
    EXPECT_EQ(history(db, "C1   ").size(), 4u);
}

TEST(CustomerHistory, TheLatestSlipIsLatestDateThenHighestNumber)
{
    TestInstallation inst;
    Database db = inst.database();
    EXPECT_FALSE(latestPostedSlip(db, "C1"));

    addSale(db, {900, May1, "C1"});
    addSale(db, {120, May2, "C1"}); // same date, the higher number wins
    addSale(db, {110, May2, "C1"});
    auto latest = latestPostedSlip(db, "C1");
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->slipNumber, 120);
    EXPECT_EQ(latest->saleDate, May2);

    // A later date beats a higher number; held lines do not count.
    addSale(db, {5, June3, "C1"});
    addSale(db, {999, Date::fromParts(2024, 7, 1), "C1"}, QStringLiteral("売上商品マスター仮"));
    latest = latestPostedSlip(db, "C1");
    EXPECT_EQ(latest->slipNumber, 5);
    EXPECT_EQ(latest->saleDate, June3);
}

TEST(RepeatSlip, FillsTheProductLinesBeforeTheTaxLine)
{
    TestInstallation inst;
    Database db = inst.database();
    addSale(db, {7, May1, "C1", 3, 9, "OLD"}); // an older slip
    addSale(db, {8, May2, "C1", 1, 0, "4901234567890", "コシヒカリ５ｋｇ", "2100", "2"});
    addSale(db, {8, May2, "C1", 2, 1, "201", "灯油１８Ｌ", "99.5", "3"});
    addSale(db, {8, May2, "C1", 5, 9, "5", "配達料", "300", "1"});
    addTaxLine(db, 8, May2, "C1", "462");
    addSale(db, {8, May2, "C1", 1, 0, "AFTER"}); // after the tax line: not repeated

    SessionState state;
    state.customer.code = "C1";
    state.lineCount = 4; // whatever was there is replaced
    EXPECT_EQ(repeatPreviousSlip(db, state, 8), 3);
    EXPECT_EQ(state.lineCount, 3);

    const SlipLine& rice = state.lines[1];
    EXPECT_EQ(rice.departmentCode, 1);
    EXPECT_EQ(rice.taxCategory, 0);
    EXPECT_EQ(rice.productCode, "4901234567890");
    EXPECT_EQ(rice.kanaName, QString(8, ' '));
    EXPECT_EQ(rice.productName, QStringLiteral("コシヒカリ５ｋｇ") + QString(16, ' '));
    EXPECT_EQ(rice.unitPrice, Currency::fromUnits(2100));
    EXPECT_EQ(rice.quantity, Currency::fromUnits(2));
    EXPECT_EQ(rice.amount, Currency::fromUnits(4200));

    const SlipLine& kerosene = state.lines[2];
    EXPECT_EQ(kerosene.productCode, QStringLiteral("201") + QString(10, ' '));
    EXPECT_EQ(kerosene.taxCategory, 1);
    EXPECT_EQ(kerosene.amount, Currency::fromUnits(298));
    EXPECT_EQ(state.lines[3].departmentCode, 5);
    EXPECT_EQ(state.lines[3].taxCategory, 9);
}

TEST(RepeatSlip, StopsAtTheCapacityOfTheSlipBuffer)
{
    TestInstallation inst;
    Database db = inst.database();
    for (int i = 1; i <= 12; ++i)
        addSale(db, {3, May1, "C1", 1, 0, QStringLiteral("P%1").arg(i)});
    addTaxLine(db, 3, May1, "C1", "100");

    const std::vector<SlipLine> lines = slipLinesToRepeat(db, "C1", 3);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines.back().productCode.trimmed(), "P10");

    SessionState state;
    state.customer.code = "C1";
    EXPECT_EQ(repeatPreviousSlip(db, state, 3), 10);
    EXPECT_EQ(state.lines[10].productCode.trimmed(), "P10");

    // Another customer's slip of the same number is not this customer's.
    state.customer.code = "C2";
    EXPECT_EQ(repeatPreviousSlip(db, state, 3), 0);
}
