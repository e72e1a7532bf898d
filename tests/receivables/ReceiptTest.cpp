// The receipt's figures: the tax contained in the amount, the stamp, what
// there is to collect and the era printed on the date lines.
#include "receivables/ClosingData.h"
#include "receivables/ReceiptIssuing.h"

#include <gtest/gtest.h>

using namespace closing;

TEST(ReceiptFigures, TaxContainedInTheAmountIsCutTowardMinusInfinity)
{
    const Currency rate = yen("0.05");
    ReceiptFigures f = receiptFigures(yen("2000"), rate); // 95.238…
    EXPECT_EQ(f.tax, yen("95"));
    EXPECT_EQ(f.goods, yen("1905"));
    EXPECT_EQ(f.amount, yen("2000"));
    f = receiptFigures(yen("1000"), rate); // 47.619…
    EXPECT_EQ(f.tax, yen("47"));
    EXPECT_EQ(f.goods, yen("953"));
    // Exactly 50: a computation in binary fractions gives 49.999… and 49.
    f = receiptFigures(yen("1050"), rate);
    EXPECT_EQ(f.tax, yen("50"));
    EXPECT_EQ(f.goods, yen("1000"));
    f = receiptFigures(yen("1100"), yen("0.1"));
    EXPECT_EQ(f.tax, yen("100"));
    // A credit balance: −95.238… is −96.
    f = receiptFigures(yen("-2000"), rate);
    EXPECT_EQ(f.tax, yen("-96"));
    EXPECT_EQ(f.goods, yen("-1904"));
    f = receiptFigures(yen("0"), rate);
    EXPECT_EQ(f.tax, Currency());
    // A rate that is not set: no tax.
    f = receiptFigures(yen("3000"), Currency());
    EXPECT_EQ(f.tax, Currency());
    EXPECT_EQ(f.goods, yen("3000"));
}

TEST(ReceiptFigures, StampIsDueFromFiftyThousandYenAfterTheRateIsTakenOff)
{
    const Currency rate = yen("0.10");
    EXPECT_FALSE(receiptFigures(yen("55000"), rate).stampDue); // 55000 − 5500 = 49500
    EXPECT_TRUE(receiptFigures(yen("56000"), rate).stampDue);  // 56000 − 5600 = 50400
    EXPECT_TRUE(receiptFigures(yen("55555"), rate).stampDue);  // 55555 − 5555 = 50000
    EXPECT_FALSE(receiptFigures(yen("55554"), rate).stampDue); // 55554 − 5555 = 49999
    // 30020 after the rate: a stamp under the limit of old, not any more.
    EXPECT_FALSE(receiptFigures(yen("31600"), yen("0.05")).stampDue);
    EXPECT_FALSE(receiptFigures(yen("-60000"), rate).stampDue);
}

TEST(ReceiptFigures, NothingToCollectAndTheEraOfTheDateOfIssue)
{
    EXPECT_TRUE(nothingToCollect(yen("0"), yen("0")));
    EXPECT_TRUE(nothingToCollect(yen("0"), yen("300")));
    EXPECT_TRUE(nothingToCollect(yen("5000"), yen("5000")));
    EXPECT_FALSE(nothingToCollect(yen("5000"), yen("2000")));
    EXPECT_FALSE(nothingToCollect(yen("-300"), yen("0")));

    EXPECT_EQ(eraName(Date::fromParts(2019, 4, 30)), "平成");
    EXPECT_EQ(eraName(Date::fromParts(2019, 5, 1)), "令和");
    EXPECT_EQ(eraName(Date::fromParts(2024, 12, 31)), "令和");
    EXPECT_EQ(eraName(Date::fromParts(1989, 1, 8)), "平成");
    EXPECT_EQ(eraName(Date::fromParts(1989, 1, 7)), "昭和");
}
