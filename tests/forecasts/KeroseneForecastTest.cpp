// The kerosene forecast: the month profile of the delivery intervals, the
// walk to the day the tank's content is used up, and the rows it writes.
#include "ForecastData.h"
#include "forecasts/KeroseneForecast.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

namespace {

forecast::MonthProfile flatProfile(float rate)
{
    forecast::MonthProfile p;
    p.rate.fill(rate);
    return p;
}

TEST(KeroseneStart, NoMoreThanSeventyPercentOfTheTank)
{
    EXPECT_EQ(keroseneStartingLitres(200, 180), 140.0f);
    EXPECT_EQ(keroseneStartingLitres(200, 100), 100.0f);
    EXPECT_EQ(keroseneStartingLitres(90, 90), 63.0f);
}

TEST(KeroseneProfile, AnIntervalIsSpreadOverTheCalendarMonthsItTouches)
{
    forecast::MonthProfile p;
    // 20 January to 10 March: 11 days of January (31 − 20), all 28 of
    // February and 10 of March, each at the interval's rate.
    p.addInterval(day(2023, 1, 20), day(2023, 3, 10), 2.0f);
    EXPECT_EQ(p.days[0], 49.0f);
    EXPECT_EQ(p.days[1], 11.0f);
    EXPECT_EQ(p.days[2], 28.0f);
    EXPECT_EQ(p.days[3], 10.0f);
    EXPECT_EQ(p.amount[1], 22.0f);
    EXPECT_EQ(p.amount[2], 56.0f);
    EXPECT_EQ(p.amount[0], 98.0f);
    // Across the year's end: December, then January of the next year.
    p.addInterval(day(2022, 12, 25), day(2023, 1, 5), 1.0f);
    EXPECT_EQ(p.days[12], 6.0f);
    EXPECT_EQ(p.days[1], 16.0f);
    EXPECT_EQ(p.amount[1], 27.0f);
    for (int m : {4, 5, 6, 7, 8, 9, 10, 11})
        EXPECT_EQ(p.days[m], 0.0f) << "month " << m;
}

TEST(KeroseneProfile, TwentyNinthOfFebruaryCountsAgainstTwentyEightDays)
{
    forecast::MonthProfile p;
    p.addInterval(day(2024, 2, 29), day(2024, 3, 10), 1.0f);
    EXPECT_EQ(p.days[0], 10.0f);
    EXPECT_EQ(p.days[2], -1.0f); // 28 − 29
    EXPECT_EQ(p.days[3], 10.0f);

    // The walk from 29 February: February gives back a day's use, so 10
    // litres at 1 a day last until 11 March.
    const auto empty = keroseneEmptyDay(flatProfile(1.0f), day(2024, 2, 29), 10.0f, day(2024, 12, 31));
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, day(2024, 3, 11));
}

TEST(KeroseneProfile, MonthsWithoutDeliveriesTakeTheOverallRate)
{
    // Winter only: November at 2 litres a day, December mostly at 3,
    // January mostly at 4.
    const auto p = keroseneProfile({{day(2023, 11, 1), 0},
                                    {day(2023, 12, 1), 60},
                                    {day(2024, 1, 1), 93},
                                    {day(2024, 2, 1), 124}});
    ASSERT_TRUE(p);
    EXPECT_EQ(p->rate[11], 2.0f);
    EXPECT_EQ(p->rate[12], 92.0f / 31.0f);
    EXPECT_EQ(p->rate[1], 123.0f / 31.0f);
    EXPECT_EQ(p->rate[2], 4.0f);
    EXPECT_EQ(p->rate[0], 277.0f / 92.0f);
    for (int m = 3; m <= 10; ++m)
        EXPECT_EQ(p->rate[m], 277.0f / 92.0f) << "month " << m;
}

TEST(KeroseneProfile, TwoDeliveriesOnOneWholeDayGiveNoProfile)
{
    EXPECT_FALSE(keroseneProfile({{Date::fromSerial(45000.25), 20}, {Date::fromSerial(45000.75), 20}}));
    EXPECT_FALSE(keroseneProfile({{day(2024, 1, 1), 20}}));
}

TEST(KeroseneWalk, UsesEachMonthsOwnRate)
{
    forecast::MonthProfile p = flatProfile(2.0f);
    p.rate[4] = 1.0f;
    // From 10 March with 98 litres: 42 used in March (21 days at 2), then
    // 56 litres at 1 a day outlast April's 30 days; 26 are left for May
    // at 2 a day: 13 May.
    const auto empty = keroseneEmptyDay(p, day(2023, 3, 10), 98.0f, day(2023, 12, 31));
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, day(2023, 5, 13));
    // What is left on the delivery day itself: the same day (day 10 + 0).
    EXPECT_EQ(keroseneEmptyDay(p, day(2023, 3, 10), 0.0f, day(2023, 12, 31)), day(2023, 3, 10));
    // Used up on the first of a month: day 0 becomes day 1.
    EXPECT_EQ(keroseneEmptyDay(p, day(2023, 3, 10), 42.0f, day(2023, 12, 31)), day(2023, 3, 31));
    EXPECT_EQ(keroseneEmptyDay(p, day(2023, 3, 10), 42.5f, day(2023, 12, 31)), day(2023, 4, 1));
}

TEST(KeroseneWalk, RatesThatNeverEmptyTheTankStopAtThePeriodsEnd)
{
    // Returns leave every month's rate negative: the tank only fills up.
    // Without a stop the walk would never end; it ends, without a day,
    // once the month walked starts after the period.
    const auto negative = endsWithin(10, [] {
        return keroseneEmptyDay(flatProfile(-2.25f), day(2023, 2, 10), 10.0f, day(2023, 12, 31));
    });
    EXPECT_FALSE(negative);
    // A tiny rate: the tank would last for millions of years.
    const auto tiny = endsWithin(10, [] {
        return keroseneEmptyDay(flatProfile(1e-30f), day(2023, 2, 10), 10.0f, day(2030, 12, 31));
    });
    EXPECT_FALSE(tiny);
    // A rate of 0 at the final division, and a negative amount.
    EXPECT_FALSE(keroseneEmptyDay(flatProfile(0.0f), day(2023, 2, 10), 0.0f, day(2023, 12, 31)));
    EXPECT_FALSE(keroseneEmptyDay(flatProfile(2.0f), day(2023, 2, 10), -1.0f, day(2023, 12, 31)));
    // A day found in the period's last month is still found.
    EXPECT_EQ(keroseneEmptyDay(flatProfile(1.0f), day(2023, 2, 10), 30.0f, day(2023, 3, 1)), day(2023, 3, 12));
}

class KeroseneForecastDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<Database>(install.database());
        addForecastProducts(*db);
        Database& d = *db;
        // K2: 100 litres on 20 January, 98 on 10 March (2 a day): 98 litres
        // from 10 March last until 28 April.
        addCustomer(d, {QStringLiteral("K2"), QStringLiteral("灯油　二郎"), QStringLiteral("03-2222"), 200});
        addSale(d, QStringLiteral("K2"), day(2023, 1, 20), QStringLiteral("K1"), QStringLiteral("100"));
        addSale(d, QStringLiteral("K2"), day(2023, 3, 10), QStringLiteral("K1"), QStringLiteral("98"));
        // K1: a 200-litre tank whose last delivery was 180 litres (31 days
        // after the one before): forecast from 140 litres, used up on 25
        // February (180 litres would last into March).
        addCustomer(d, {QStringLiteral("K1"), QStringLiteral("灯油　一郎"), QStringLiteral("03-1111"), 200});
        addSale(d, QStringLiteral("K1"), day(2023, 1, 1), QStringLiteral("K1"), QStringLiteral("100"));
        addSale(d, QStringLiteral("K1"), day(2023, 2, 1), QStringLiteral("K1"), QStringLiteral("180"));
        // K3: a can and two litres on each of two days, ten days apart:
        // 20 litres a day summed, 2 a day; used up on 30 January. The last
        // line is the two litres.
        addCustomer(d, {QStringLiteral("K3"), QStringLiteral("灯油　三郎"), QStringLiteral("03-3333"), 100});
        addSale(d, QStringLiteral("K3"), day(2023, 1, 10), QStringLiteral("K18"), QStringLiteral("1"));
        addSale(d, QStringLiteral("K3"), day(2023, 1, 10), QStringLiteral("K1"), QStringLiteral("2"));
        addSale(d, QStringLiteral("K3"), day(2023, 1, 20), QStringLiteral("K18"), QStringLiteral("1"));
        addSale(d, QStringLiteral("K3"), day(2023, 1, 20), QStringLiteral("K1"), QStringLiteral("2"));
        // K4: the same deliveries as K2 but no tank: not a kerosene customer.
        addCustomer(d, {QStringLiteral("K4"), QStringLiteral("タンク　なし"), QStringLiteral("03-4444"), 0});
        addSale(d, QStringLiteral("K4"), day(2023, 1, 20), QStringLiteral("K1"), QStringLiteral("100"));
        addSale(d, QStringLiteral("K4"), day(2023, 3, 10), QStringLiteral("K1"), QStringLiteral("98"));
    }
    TestInstallation install;
    std::unique_ptr<Database> db;
    const QString litre = QStringLiteral("灯油配達（１Ｌ）").leftJustified(24, QLatin1Char(' '));
};

TEST_F(KeroseneForecastDb, OneRowPerCustomerWithThePlainName)
{
    const auto rows = runKeroseneForecast(*db, {day(2023, 1, 1), day(2023, 12, 31)});
    const std::vector<DeliveryRow> expected = {
        row(day(2023, 4, 28), QStringLiteral("灯油　二郎"), QStringLiteral("03-2222"), litre, QStringLiteral("98")),
        row(day(2023, 2, 25), QStringLiteral("灯油　一郎"), QStringLiteral("03-1111"), litre, QStringLiteral("180")),
        row(day(2023, 1, 30), QStringLiteral("灯油　三郎"), QStringLiteral("03-3333"), litre, QStringLiteral("2")),
    };
    EXPECT_EQ(rows, expected);
    const auto stored = readDeliverySchedule(*db);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0], expected[2]);
    EXPECT_EQ(stored[2], expected[0]);
}

TEST_F(KeroseneForecastDb, BothEndsOfThePeriodAreIncluded)
{
    auto names = [&](Date from, Date to) {
        QStringList n;
        for (const DeliveryRow& r : runKeroseneForecast(*db, {from, to}))
            n << r.name;
        return n;
    };
    const QString jiro = QStringLiteral("灯油　二郎");
    EXPECT_EQ(names(day(2023, 4, 28), day(2023, 4, 28)), QStringList{jiro});
    EXPECT_EQ(names(day(2023, 4, 1), day(2023, 4, 28)), QStringList{jiro});
    EXPECT_EQ(names(day(2023, 4, 28), day(2023, 5, 31)), QStringList{jiro});
    EXPECT_TRUE(names(day(2023, 4, 29), day(2023, 5, 31)).isEmpty());
    EXPECT_TRUE(names(day(2023, 3, 1), day(2023, 4, 27)).isEmpty());
}

TEST_F(KeroseneForecastDb, ReturnsAndOddHistoriesGiveNoRowAndTheRunEnds)
{
    Database& d = *db;
    // Returns leave the rates negative after February: the tank never runs
    // dry.
    addCustomer(d, {QStringLiteral("K5"), QStringLiteral("返品　多い"), QStringLiteral(""), 200});
    addSale(d, QStringLiteral("K5"), day(2023, 1, 1), QStringLiteral("K1"), QStringLiteral("100"));
    addSale(d, QStringLiteral("K5"), day(2023, 1, 11), QStringLiteral("K1"), QStringLiteral("-100"));
    addSale(d, QStringLiteral("K5"), day(2023, 2, 10), QStringLiteral("K1"), QStringLiteral("10"));
    // The last delivery day is a return: a negative amount.
    addCustomer(d, {QStringLiteral("K6"), QStringLiteral("最後　返品"), QStringLiteral(""), 200});
    addSale(d, QStringLiteral("K6"), day(2023, 1, 1), QStringLiteral("K1"), QStringLiteral("100"));
    addSale(d, QStringLiteral("K6"), day(2023, 1, 11), QStringLiteral("K1"), QStringLiteral("-5"));
    // Two deliveries on one whole day, told apart by the time of day.
    addCustomer(d, {QStringLiteral("K7"), QStringLiteral("同日　二回"), QStringLiteral(""), 200});
    addSale(d, QStringLiteral("K7"), Date::fromSerial(day(2023, 1, 1).serial() + 0.25), QStringLiteral("K1"),
            QStringLiteral("50"));
    addSale(d, QStringLiteral("K7"), Date::fromSerial(day(2023, 1, 1).serial() + 0.75), QStringLiteral("K1"),
            QStringLiteral("50"));

    const auto started = std::chrono::steady_clock::now();
    const auto rows = runKeroseneForecast(d, {day(2023, 1, 1), day(2030, 12, 31)});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    QStringList names;
    for (const DeliveryRow& r : rows)
        names << r.name;
    EXPECT_EQ(names, (QStringList{QStringLiteral("灯油　二郎"), QStringLiteral("灯油　一郎"), QStringLiteral("灯油　三郎")}));
}

} // namespace
