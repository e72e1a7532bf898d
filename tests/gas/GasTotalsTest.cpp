// The gas totals' queries: the events a range lists and the totals it
// counts.
#include "gas/GasTotals.h"
#include "support/TestInstallation.h"
#include "GasData.h"

#include <gtest/gtest.h>

using namespace gastest;

namespace {

// The rows of the list statement's range.
class GasTotalsTest : public GasTotalsFixture {};

} // namespace

TEST_F(GasTotalsTest, ListShowsTheRangesKnownEventsAndTotalsCountEveryRow)
{
    const std::vector<gas::Event> list = gas::loadEvents(db, day(2024, 5, 1), day(2024, 5, 31));
    ASSERT_EQ(list.size(), 4u);
    // By date, on one day by kind name (ボンベ販売 before ボンベ配送,
    // though entered the other way round).
    EXPECT_EQ(list[0].date, day(2024, 5, 1));
    EXPECT_EQ(list[0].kindName, QStringLiteral("開栓検針"));
    EXPECT_EQ(list[1].kindName, QStringLiteral("ボンベ販売"));
    EXPECT_EQ(list[1].customerName, QStringLiteral("南　花子"));
    EXPECT_EQ(list[1].amount, yen("9800"));
    EXPECT_DOUBLE_EQ(list[1].remaining, 2.5);
    EXPECT_EQ(list[2].kindName, QStringLiteral("ボンベ配送"));
    EXPECT_EQ(list[2].meter, yen("88"));
    EXPECT_EQ(list[3].customerName, QStringLiteral("北村　一郎"));
    EXPECT_EQ(list[3].meter, yen("1250"));
    EXPECT_EQ(list[3].usage, yen("15.5"));

    const gas::Totals t = gas::loadTotals(db, day(2024, 5, 1), day(2024, 5, 31));
    EXPECT_EQ(t.usage, yen("21.5"));       // 15.5 + 4 + 2
    EXPECT_EQ(t.delivered, 41.0);          // 20 + 20 + 1
    EXPECT_EQ(t.remaining, 3.5);           // 2.5 + 1
    EXPECT_EQ(t.amount, yen("14040"));     // 3240 + 9800 + 700 + 300

    // One day, the last: the event at 23:59 belongs to it.
    EXPECT_EQ(gas::loadEvents(db, day(2024, 5, 31), day(2024, 5, 31)).size(), 1u);
    EXPECT_EQ(gas::loadTotals(db, day(2024, 6, 1), day(2024, 6, 1)).amount, yen("5000"));

    // An empty range has empty sums, not sums of 0.
    const gas::Totals none = gas::loadTotals(db, day(2024, 7, 1), day(2024, 7, 31));
    EXPECT_FALSE(none.usage || none.delivered || none.remaining || none.amount);
    EXPECT_TRUE(gas::loadEvents(db, day(2024, 5, 31), day(2024, 5, 1)).empty());
}
