// Old-data deletion: the cut-off day counts whole (a time of day on it is
// deleted, the next day stays), nothing but the one table is touched, and
// each gas customer keeps the reading the next bill is measured from.
#include "maintenance/OldDataDeletion.h"
#include "OldDataDeletionData.h"

#include <gtest/gtest.h>

using namespace maintenance;

namespace {

class OldDataDeletionTest : public OldDataDeletionFixture {};

} // namespace

TEST_F(OldDataDeletionTest, SalesLinesOnOrBeforeTheCutoffDayGoAndNothingElse)
{
    addRowsAroundTheCutoff();
    EXPECT_EQ(countOldSalesLines(db, day(2022, 5, 1)).rows, 3);
    EXPECT_EQ(deleteOldSalesLines(db, day(2022, 5, 1)), 3);
    EXPECT_EQ(salesDates(db), QStringList({serial(day(2022, 5, 2))}));
    // The holding table, the receivables detail and the journal stay.
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 4);
    EXPECT_EQ(rowCount(db, QStringLiteral("売掛マスター")), 4);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター")), 1);
    // A cut-off carrying a time of day still means the whole day.
    EXPECT_EQ(deleteOldSalesLines(db, at(2022, 5, 2, 0, 1)), 1);
}

TEST_F(OldDataDeletionTest, EachGasCustomerKeepsTheReadingTheNextBillIsMeasuredFrom)
{
    addGasCustomers();
    const DeletionCount count = countOldGasData(db, day(2022, 5, 1));
    EXPECT_EQ(count.rows, 5);
    EXPECT_EQ(count.readingsKept, 3);
    EXPECT_EQ(deleteOldGasData(db, day(2022, 5, 1)), 5);
    EXPECT_EQ(gasRows(db), QStringList({"G1|1|2022/02/10|150", "G3|1|2022/04/01|20", "G3|8|2022/04/01|0",
                                        "G2|1|2022/06/01|40"}));
    // Once a later reading exists, the earlier ones may go too.
    addGasRow(db, day(2022, 5, 20), 1, QStringLiteral("G1"), "180");
    EXPECT_EQ(deleteOldGasData(db, day(2022, 5, 10)), 1);
}

TEST_F(OldDataDeletionTest, CutoffAfterTodayIsRecognised)
{
    const Date today = day(2024, 2, 29);
    EXPECT_FALSE(isAfterToday(at(2024, 2, 29, 23, 59), today));
    EXPECT_TRUE(isAfterToday(day(2024, 3, 1), today));
    EXPECT_FALSE(isAfterToday(day(2022, 3, 1), today));
}
