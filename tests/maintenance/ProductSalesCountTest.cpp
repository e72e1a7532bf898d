// Product sales counts: which lines are counted (the product's own code,
// padded or not; whole days at both ends; posted lines only) and the totals
// summed without cutting each line.
#include "maintenance/ProductSalesCount.h"
#include "support/TestInstallation.h"
#include "ProductSalesData.h"

#include <gtest/gtest.h>

using namespace maintenance;

namespace {

QStringList lineTexts(const std::vector<ProductSalesLine>& lines)
{
    QStringList texts;
    for (const ProductSalesLine& l : lines)
        texts << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(l.saleDate.toShortString())
                     .arg(l.slipNumber)
                     .arg(l.unitPrice.toString(), l.quantity.toString(), l.amount.toString());
    return texts;
}

class ProductSalesCountTest : public ProductSalesFixture {};

} // namespace

TEST_F(ProductSalesCountTest, ListsThePostedLinesOfTheProductOverWholeDays)
{
    addMayLines();
    // Unpadded or padded, the code finds the same lines; 123 is another product.
    for (const QString& code : {QStringLiteral("12"), text::fixed(QStringLiteral("12"), 13)}) {
        const ProductSalesQuery q{code, may.start, may.end};
        EXPECT_EQ(lineTexts(productSalesLines(db, q)),
                  QStringList({"2024/05/01|1001|105|0.5|52.5", "2024/05/31|1003|105|1|105"}));
    }
    // 105 × 0.5 + 105 × 1: the lines are not cut to 52 first.
    const ProductSalesTotals totals = productSalesTotals(db, may);
    EXPECT_TRUE(totals.any);
    EXPECT_EQ(totals.quantity.toString(), QStringLiteral("1.5"));
    EXPECT_EQ(totals.amount.toString(), QStringLiteral("157.5"));

    // One day: the line with a time of day at its end is in.
    EXPECT_EQ(productSalesLines(db, {QStringLiteral("12"), day(2024, 5, 31), day(2024, 5, 31)}).size(), 1u);
    // An end before the start lists nothing and totals nothing.
    const ProductSalesQuery backwards{QStringLiteral("12"), day(2024, 5, 31), day(2024, 5, 1)};
    EXPECT_TRUE(productSalesLines(db, backwards).empty());
    EXPECT_FALSE(productSalesTotals(db, backwards).any);
}
