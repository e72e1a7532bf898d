// The rice forecast: rates, the trimmed average, the cycle in single
// precision, the up to three listed dates and what is written to 配達予定.
#include "ForecastData.h"
#include "forecasts/RiceForecast.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t D0 = 45000; // 2023/03/15

std::vector<RicePurchaseDay> purchases(std::initializer_list<std::pair<std::int64_t, float>> days)
{
    std::vector<RicePurchaseDay> v;
    for (auto [d, kg] : days)
        v.push_back({D0 + d, kg});
    return v;
}

TEST(RiceCycle, TenKilogramsThirtyDaysApartIsAThirtyDayCycleInSinglePrecision)
{
    // 10 / 30 is 0.33333334 as a float; 10 / 0.33333334 is exactly 30 in
    // float but 29.9999991 in double, which would give a 29-day cycle.
    const auto c = riceCycle(purchases({{0, 10}, {30, 10}}));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->averageRate, 0.33333334f);
    EXPECT_EQ(c->cycle, 30);
    EXPECT_EQ(c->nextDay, D0 + 60);
}

TEST(RiceCycle, AveragesByTheNumberOfPurchaseDays)
{
    // Two days: the one rate.
    auto c = riceCycle(purchases({{0, 10}, {20, 10}}));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->averageRate, 0.5f);
    EXPECT_EQ(c->cycle, 20);
    EXPECT_EQ(c->nextDay, D0 + 40);

    // Three days: the mean of both rates (1.0 and 0.5), K = 10 → 13.33 days.
    c = riceCycle(purchases({{0, 10}, {10, 10}, {30, 10}}));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->averageRate, 0.75f);
    EXPECT_EQ(c->cycle, 13);
    EXPECT_EQ(c->nextDay, D0 + 43);

    // Four days: rates 0.5, 1.0, 1.0 without the largest and the smallest.
    c = riceCycle(purchases({{0, 10}, {20, 10}, {30, 10}, {50, 20}}));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->averageRate, 1.0f);
    EXPECT_EQ(c->cycle, 20);
    EXPECT_EQ(c->nextDay, D0 + 70);

    // Six days: rates 2, 0.25, 1, 0.5, 1 → (4.75 − 2 − 0.25) / 3 = 0.8333333;
    // the last 10 kg last 12 days.
    c = riceCycle(purchases({{0, 10}, {5, 10}, {45, 10}, {55, 10}, {75, 10}, {85, 10}}));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->averageRate, 2.5f / 3.0f);
    EXPECT_EQ(c->cycle, 12);
    EXPECT_EQ(c->nextDay, D0 + 97);
}

TEST(RiceCycle, CustomersWithoutAUsableCycleAreSkipped)
{
    EXPECT_FALSE(riceCycle({}));
    EXPECT_FALSE(riceCycle(purchases({{0, 10}})));
    // Two purchase days of one day number (stored with times of day).
    EXPECT_FALSE(riceCycle({{D0, 10}, {D0, 5}}));
    // Everything bought with quantity 0: an average rate of 0.
    EXPECT_FALSE(riceCycle(purchases({{0, 0}, {30, 0}})));
    // A last day that is a net return: K / A is −20, which would put the
    // next date 20 days before the last purchase.
    EXPECT_FALSE(riceCycle(purchases({{0, 10}, {10, 10}, {20, -5}})));
    // Returns leave the trimmed average at about 1.2e-7: K / A is about
    // 8.4e9 days, beyond a 32-bit cycle.
    EXPECT_FALSE(riceCycle(purchases({{0, 10}, {10, -10}, {10010, 0.001f}, {11010, 1000}})));
    // Less than one day of rice left: a cycle of 0 would list the same day
    // three times.
    EXPECT_FALSE(riceCycle(purchases({{0, 10}, {1, 10}, {2, 0.5f}})));
}

TEST(RiceDeliveryDays, ListsUpToThreeCyclesInsideTheWindowWithOneMoreStarEach)
{
    const ForecastPeriod window{day(D0 + 100), day(D0 + 160)};
    // A 10-day cycle, the window starting before the next date.
    EXPECT_EQ(riceDeliveryDays(D0 + 110, 10, window),
              (std::vector<StarredDay>{{D0 + 110, 0}, {D0 + 120, 1}, {D0 + 130, 2}}));
    // A date exactly on the start is moved on by one cycle, with a "*".
    EXPECT_EQ(riceDeliveryDays(D0 + 100, 10, window),
              (std::vector<StarredDay>{{D0 + 110, 1}, {D0 + 120, 2}, {D0 + 130, 3}}));
    // Two cycles before the start: moved twice.
    EXPECT_EQ(riceDeliveryDays(D0 + 85, 10, window),
              (std::vector<StarredDay>{{D0 + 105, 2}, {D0 + 115, 3}, {D0 + 125, 4}}));
    // Still on or before the start after two moves: nothing.
    EXPECT_TRUE(riceDeliveryDays(D0 + 80, 10, window).empty());
    // A date exactly on the end is not listed, nor later ones.
    EXPECT_TRUE(riceDeliveryDays(D0 + 160, 10, window).empty());
    EXPECT_TRUE(riceDeliveryDays(D0 + 200, 10, window).empty());
    // Rows stop before the end: 140 and 150 are listed, 160 is not.
    EXPECT_EQ(riceDeliveryDays(D0 + 140, 10, window), (std::vector<StarredDay>{{D0 + 140, 0}, {D0 + 150, 1}}));
}

TEST(RiceDeliveryDays, ADateMovedPastTheEndIsNotListed)
{
    // Five days before a five-day window with a 30-day cycle: moved on, the
    // date lies 20 days after the window.
    EXPECT_TRUE(riceDeliveryDays(D0 + 95, 30, {day(D0 + 100), day(D0 + 105)}).empty());
}

class RiceForecastDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<Database>(install.database());
        addForecastProducts(*db);
    }
    TestInstallation install;
    std::unique_ptr<Database> db;
};

TEST_F(RiceForecastDb, WritesTheRowsOfEveryCustomerWithTheLastRiceProduct)
{
    Database& d = *db;
    addCustomer(d, {QStringLiteral("C2"), QStringLiteral("米田　二郎"), QStringLiteral("03-2222")});
    addCustomer(d, {QStringLiteral("C1"), QStringLiteral("米田　一郎"), QStringLiteral("03-1111")});
    addCustomer(d, {QStringLiteral("C3"), QStringLiteral("一回　だけ"), QStringLiteral("03-3333")});
    // C2 (first in the table): 10 kg on day 0, then two bags of 5 kg and a
    // sundry on day 20; a 20-day cycle, next day 40. The last rice line is
    // the second 5 kg line of day 20.
    addSale(d, QStringLiteral("C2"), day(D0), QStringLiteral("R10"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C2"), day(D0 + 20), QStringLiteral("R5"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C2"), day(D0 + 20), QStringLiteral("R5"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C2"), day(D0 + 20), QStringLiteral("S1"), QStringLiteral("3"));
    // C1: 10 kg on day 0, two bags of 5 kg on day 30 (cycle 30, next 60).
    // The sundry bought the day after is no rice line.
    addSale(d, QStringLiteral("C1"), day(D0), QStringLiteral("R10"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C1"), day(D0 + 30), QStringLiteral("R5"), QStringLiteral("2"));
    addSale(d, QStringLiteral("C1"), day(D0 + 31), QStringLiteral("S1"), QStringLiteral("1"));
    // C3: one purchase day only.
    addSale(d, QStringLiteral("C3"), day(D0), QStringLiteral("R10"), QStringLiteral("1"));

    const auto rows = runRiceForecast(d, {day(D0 + 35), day(D0 + 95)});
    const QString bag5 = QStringLiteral("無洗米５ｋｇ").leftJustified(24, QLatin1Char(' '));
    const std::vector<DeliveryRow> expected = {
        row(day(D0 + 40), QStringLiteral("米田　二郎"), QStringLiteral("03-2222"), bag5, QStringLiteral("1")),
        row(day(D0 + 60), QStringLiteral("*米田　二郎"), QStringLiteral("03-2222"), bag5, QStringLiteral("1")),
        row(day(D0 + 80), QStringLiteral("**米田　二郎"), QStringLiteral("03-2222"), bag5, QStringLiteral("1")),
        row(day(D0 + 60), QStringLiteral("米田　一郎"), QStringLiteral("03-1111"), bag5, QStringLiteral("2")),
        row(day(D0 + 90), QStringLiteral("*米田　一郎"), QStringLiteral("03-1111"), bag5, QStringLiteral("2")),
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(expected[0].productName.size(), 24);

    // The table holds them, by date.
    const auto stored = readDeliverySchedule(d);
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_EQ(stored[0], expected[0]);
    EXPECT_EQ(stored[1], expected[1]);
    EXPECT_EQ(stored[2], expected[3]);
    EXPECT_EQ(stored[4], expected[4]);
}

TEST_F(RiceForecastDb, OnlyProductsWithKilogramsCountAsRice)
{
    Database& d = *db;
    addCustomer(d, {QStringLiteral("C1"), QStringLiteral("洗剤　だけ")});
    addSale(d, QStringLiteral("C1"), day(D0), QStringLiteral("S1"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C1"), day(D0 + 10), QStringLiteral("S1"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C1"), day(D0 + 20), QStringLiteral("R10"), QStringLiteral("1"));
    // One rice day only: no forecast, although there are three sales days.
    EXPECT_TRUE(runRiceForecast(d, {day(D0), day(D0 + 400)}).empty());
}

TEST_F(RiceForecastDb, ReturnsThatBreakTheCycleGiveNoRowAndStopNothing)
{
    Database& d = *db;
    addCustomer(d, {QStringLiteral("C1"), QStringLiteral("返品　多い")});
    addCustomer(d, {QStringLiteral("C2"), QStringLiteral("返品　最後")});
    addCustomer(d, {QStringLiteral("C3"), QStringLiteral("普通　花子")});
    // C1: the trimmed average is about 1.2e-7 kg a day (a 32-bit cycle
    // would overflow).
    addSale(d, QStringLiteral("C1"), day(D0), QStringLiteral("R10"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C1"), day(D0 + 10), QStringLiteral("R10"), QStringLiteral("-1"));
    addSale(d, QStringLiteral("C1"), day(D0 + 10010), QStringLiteral("R10"), QStringLiteral("0.0001"));
    addSale(d, QStringLiteral("C1"), day(D0 + 11010), QStringLiteral("R10"), QStringLiteral("100"));
    // C2: the last day returns 5 kg: the cycle is −20 days.
    addSale(d, QStringLiteral("C2"), day(D0), QStringLiteral("R10"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C2"), day(D0 + 10), QStringLiteral("R10"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C2"), day(D0 + 20), QStringLiteral("R5"), QStringLiteral("-1"));
    // C3 after them is still forecast.
    addSale(d, QStringLiteral("C3"), day(D0), QStringLiteral("R10"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C3"), day(D0 + 20), QStringLiteral("R10"), QStringLiteral("1"));

    const auto rows = runRiceForecast(d, {day(D0 - 1000), day(D0 + 20000)});
    ASSERT_EQ(rows.size(), 3u);
    for (const DeliveryRow& r : rows)
        EXPECT_TRUE(r.name.endsWith(QStringLiteral("普通　花子"))) << r.name.toStdString();
    EXPECT_EQ(rows[0].date, day(D0 + 40));
}

TEST_F(RiceForecastDb, EachRunReplacesTheWholeTable)
{
    Database& d = *db;
    d.exec(QStringLiteral("INSERT INTO 配達予定 (配達年月日, 配達顧客名) VALUES (1, '前回の行')"));
    addCustomer(d, {QStringLiteral("C1"), QStringLiteral("米田　一郎")});
    addSale(d, QStringLiteral("C1"), day(D0), QStringLiteral("R10"), QStringLiteral("1"));
    addSale(d, QStringLiteral("C1"), day(D0 + 30), QStringLiteral("R10"), QStringLiteral("1"));
    runRiceForecast(d, {day(D0 + 30), day(D0 + 61)});
    auto stored = readDeliverySchedule(d);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].date, day(D0 + 60));
    // A window with nothing in it leaves the table empty.
    runRiceForecast(d, {day(D0 + 30), day(D0 + 60)});
    EXPECT_TRUE(readDeliverySchedule(d).empty());
}

} // namespace
