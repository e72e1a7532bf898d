// The LP-gas delivery schedule: the month table of the meter and delivery
// series, the two replays, the walk with its give-up, and the rows of each
// forecasting method.
#include "ForecastData.h"
#include "session/Session.h"
#include "forecasts/GasForecast.h"
#include "forecasts/KeroseneForecast.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

namespace {

GasEvent reading(Date date, float value, int kind = 1, float delivered = 0)
{
    return {date, kind, value, delivered, 0};
}

GasEvent delivery(Date date, float delivered, float leftover, int kind = 6)
{
    return {date, kind, 0, delivered, leftover};
}

TEST(GasMonthTable, MeterSeriesRatesAreTwiceTheReadingsPerDay)
{
    const auto t = gasMonthTable({reading(day(2024, 1, 1), 0), reading(day(2024, 1, 11), 10),
                                  reading(day(2024, 1, 21), 40), reading(day(2024, 2, 11), 61),
                                  // a new meter reads lower: a rate of 0
                                  reading(day(2024, 2, 21), 5)},
                                 true);
    // January: 10 days at 2, 10 at 6, 10 at 2; February: 11 at 2, 10 at 0.
    EXPECT_EQ(t.days[1], 30.0f);
    EXPECT_EQ(t.amount[1], 100.0f);
    EXPECT_EQ(t.rate[1], 100.0f / 30.0f);
    EXPECT_EQ(t.days[2], 21.0f);
    EXPECT_EQ(t.rate[2], 22.0f / 21.0f);
    EXPECT_EQ(t.days[0], 51.0f);
    EXPECT_EQ(t.rate[0], 122.0f / 51.0f);
    // A month without any history days takes the all-months average.
    for (int m = 3; m <= 12; ++m)
        EXPECT_EQ(t.rate[m], 122.0f / 51.0f) << "month " << m;
}

TEST(GasMonthTable, DeliverySeriesRatesAreTheGasUsedPerDay)
{
    // Used: 50 − 10 = 40 over 20 days, then 50 − 20 = 30 over 20 days.
    const auto t = gasMonthTable({delivery(day(2024, 1, 1), 50, 0), delivery(day(2024, 1, 21), 50, 10),
                                  delivery(day(2024, 2, 10), 50, 20, 5)},
                                 false);
    EXPECT_EQ(t.rate[1], 55.0f / 30.0f);
    EXPECT_EQ(t.rate[2], 1.5f);
    EXPECT_EQ(t.rate[0], 1.75f);
    EXPECT_EQ(t.rate[6], 1.75f);
}

TEST(GasReplay, MeterReplayFollowsEachKindOfEvent)
{
    std::vector<GasEvent> h = {
        reading(day(2024, 1, 1), 0),      // start: 50 in use, 50 spare
        reading(day(2024, 1, 20), 20),    // 40 used: 10 left
        reading(day(2024, 2, 5), 30, 7),  // 20 used: −10, the spare is opened: 40
        reading(day(2024, 2, 6), 35, 6, 50), // delivery of 50, 10 used: 80, capped at 50
        reading(day(2024, 2, 20), 40, 8), // a reading only
        reading(day(2024, 3, 1), 45),     // 10 used: 40
        reading(day(2024, 3, 9), 100, 3), // another kind: nothing changes
    };
    GasState s = gasMeterReplay(h, 50, 50);
    EXPECT_EQ(s.remaining, 40.0f);
    EXPECT_EQ(s.reserve, 0.0f);
    EXPECT_EQ(s.lastDate, day(2024, 3, 1));
    EXPECT_EQ(s.lastReading, 45.0f);

    // A delivery that still leaves less than nothing: the spare is used,
    // the rest is 0, and the delivered cylinder becomes the spare; a change
    // of cylinders (kind 5) starts again from full ones.
    h = {reading(day(2024, 1, 1), 0), reading(day(2024, 1, 20), 50, 6, 10)};
    s = gasMeterReplay(h, 50, 30);
    EXPECT_EQ(s.remaining, 0.0f);
    EXPECT_EQ(s.reserve, 50.0f);
    h.push_back(reading(day(2024, 1, 25), 60, 5));
    s = gasMeterReplay(h, 50, 30);
    EXPECT_EQ(s.remaining, 50.0f);
    EXPECT_EQ(s.reserve, 30.0f);
    EXPECT_EQ(s.lastDate, day(2024, 1, 25));
    EXPECT_EQ(s.lastReading, 60.0f);

    // A reading beyond both cylinders leaves 0 and no spare.
    s = gasMeterReplay({reading(day(2024, 1, 1), 0), reading(day(2024, 1, 20), 60)}, 50, 50);
    EXPECT_EQ(s.remaining, 0.0f);
    EXPECT_EQ(s.reserve, 0.0f);
}

TEST(GasReplay, DeliveryReplayCountsFullCylinders)
{
    const std::vector<GasEvent> h = {
        delivery(day(2024, 1, 1), 50, 0), delivery(day(2024, 1, 21), 50, 10), // + 50: 100
        delivery(day(2024, 2, 1), 0, 0, 1),                                   // nothing
    };
    GasState s = gasDeliveryReplay(h, 50, 20);
    EXPECT_EQ(s.remaining, 100.0f);
    EXPECT_EQ(s.reserve, 20.0f);
    EXPECT_EQ(s.lastDate, day(2024, 1, 1)); // a delivery does not move the date
    auto changed = h;
    changed.push_back(delivery(day(2024, 2, 10), 50, 20, 5));
    s = gasDeliveryReplay(changed, 50, 20);
    EXPECT_EQ(s.remaining, 50.0f);
    EXPECT_EQ(s.lastDate, day(2024, 2, 10));
}

TEST(GasWalk, GivesUpMoreThanTenThousandDaysAfterToday)
{
    forecast::MonthProfile zero;
    const Date today = day(2024, 1, 1);
    // All rates 0: the gas is never used up.
    const GasForecastDay never = endsWithin(10, [&] { return gasForecastDay(zero, today, 40.0f, today); });
    EXPECT_EQ(never.outcome, GasForecastDay::Outcome::GaveUp);

    // A thousandth a day: 9 last about 9000 days (found), 11 about 11000
    // (given up).
    forecast::MonthProfile slow;
    slow.rate.fill(0.001f);
    const GasForecastDay found = endsWithin(10, [&] { return gasForecastDay(slow, today, 9.0f, today); });
    EXPECT_EQ(found.outcome, GasForecastDay::Outcome::Walked);
    // (The walk's Februaries have 28 days, so the calendar is a few leap
    // days further on.)
    EXPECT_NEAR(double(found.date.dayNumber() - today.dayNumber()), 9000, 15);
    const GasForecastDay gaveUp = endsWithin(10, [&] { return gasForecastDay(slow, today, 11.0f, today); });
    EXPECT_EQ(gaveUp.outcome, GasForecastDay::Outcome::GaveUp);

    // Nothing left: the last date itself.
    const GasForecastDay exhausted = gasForecastDay(slow, day(2020, 5, 5), 0.0f, today);
    EXPECT_EQ(exhausted.outcome, GasForecastDay::Outcome::Exhausted);
    EXPECT_EQ(exhausted.date, day(2020, 5, 5));
}

class GasForecastDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<Database>(install.database());
    }
    void addGasCustomer(const QString& code, const QString& name, int method, double cylinder1, double cylinder2,
                        const QString& gasCode = QStringLiteral("1"))
    {
        TestCustomer c{code, name, QStringLiteral("0480-") + code};
        c.gasCode = gasCode;
        c.gasType = method;
        c.cylinder1 = cylinder1;
        c.cylinder2 = cylinder2;
        addCustomer(*db, c);
    }
    // Readings 100 and 110 twenty days apart: 20 used at 1 a day, 30 left
    // of a 50 cylinder on 30 April.
    void addTwoReadings(const QString& code, const QString& second = QStringLiteral("110"))
    {
        addGasEvent(*db, code, {day(2024, 4, 10), 1, QStringLiteral("100")});
        addGasEvent(*db, code, {day(2024, 4, 30), 1, second});
    }
    TestInstallation install;
    std::unique_ptr<Database> db;
    const Date today = day(2024, 5, 1);
    const ForecastPeriod mayToJune{day(2024, 5, 1), day(2024, 6, 30)};
};

TEST_F(GasForecastDb, EachMethodWritesItsRows)
{
    // Method 1: 30 left, less a fifth of the 50 cylinder: 20 more at 1 a
    // day from 30 April: 20 May.
    addGasCustomer(QStringLiteral("G1"), QStringLiteral("ガス　一号"), 1, 50, 50);
    addTwoReadings(QStringLiteral("G1"));
    // Method 2: the 30 left run out on 30 May; a full cylinder of 50 from
    // the same 30 April lasts until 19 June.
    addGasCustomer(QStringLiteral("G2"), QStringLiteral("ガス　二号"), 2, 50, 40);
    addTwoReadings(QStringLiteral("G2"));
    // Method 6: cylinders changed on 10 February leave 50 in use and a
    // spare of 20: 13 March and 23 February at the month rates.
    addGasCustomer(QStringLiteral("G6"), QStringLiteral("ガス　六号"), 6, 50, 20);
    addGasEvent(*db, QStringLiteral("G6"), {day(2024, 1, 1), 6, QStringLiteral("0"), 50, 0});
    addGasEvent(*db, QStringLiteral("G6"), {day(2024, 1, 21), 6, QStringLiteral("0"), 50, 10});
    addGasEvent(*db, QStringLiteral("G6"), {day(2024, 2, 10), 5, QStringLiteral("0"), 50, 20});

    const auto rows = runGasForecast(*db, {day(2024, 2, 1), day(2024, 6, 30)}, today);
    const QString lpg = QStringLiteral("ＬＰＧ");
    const std::vector<DeliveryRow> expected = {
        row(day(2024, 5, 20), QStringLiteral("ガス　一号"), QStringLiteral("0480-G1"), lpg, QStringLiteral("50")),
        row(day(2024, 5, 30), QStringLiteral("ガス　二号"), QStringLiteral("0480-G2"), lpg, QStringLiteral("50")),
        row(day(2024, 6, 19), QStringLiteral("*ガス　二号"), QStringLiteral("0480-G2"), lpg, QStringLiteral("50")),
        row(day(2024, 3, 13), QStringLiteral("ガス　六号"), QStringLiteral("0480-G6"), lpg, QStringLiteral("50")),
        row(day(2024, 2, 23), QStringLiteral("*ガス　六号"), QStringLiteral("0480-G6"), lpg, QStringLiteral("50")),
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(readDeliverySchedule(*db).size(), 5u);
}

TEST_F(GasForecastDb, EventsOfOneDayAreReplayedInTheOrderTheyWereStored)
{
    // A new meter on 30 April (kind 8 at 0), read twice the same day after
    // the exchange (kind 1 at 5, kind 7 at 10), and again on 10 May. In
    // stored order: 10 and 10 used of the 100 cylinder, 20 more by 10 May,
    // 60 left; 40 more beyond a fifth of it at 2 a day from 10 May: 30 May.
    // By kind code the exchange would come last and the day's readings
    // would count back from the old meter's 100.
    addGasCustomer(QStringLiteral("G1"), QStringLiteral("ガス　交換"), 1, 100, 50);
    addGasEvent(*db, QStringLiteral("G1"), {day(2024, 4, 10), 1, QStringLiteral("100")});
    addGasEvent(*db, QStringLiteral("G1"), {day(2024, 4, 30), 8, QStringLiteral("0")});
    addGasEvent(*db, QStringLiteral("G1"), {day(2024, 4, 30), 1, QStringLiteral("5")});
    addGasEvent(*db, QStringLiteral("G1"), {day(2024, 4, 30), 7, QStringLiteral("10")});
    addGasEvent(*db, QStringLiteral("G1"), {day(2024, 5, 10), 7, QStringLiteral("20")});

    const auto rows = runGasForecast(*db, mayToJune, today);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].date, day(2024, 5, 30));
    EXPECT_EQ(rows[0].name, QStringLiteral("ガス　交換"));
}

TEST_F(GasForecastDb, WalkedDaysAreListedInsideThePeriodOnlyBothEndsIncluded)
{
    addGasCustomer(QStringLiteral("G1"), QStringLiteral("ガス　一号"), 1, 50, 50);
    addTwoReadings(QStringLiteral("G1"));
    EXPECT_EQ(runGasForecast(*db, {day(2024, 5, 20), day(2024, 5, 20)}, today).size(), 1u);
    EXPECT_EQ(runGasForecast(*db, {day(2024, 5, 1), day(2024, 5, 20)}, today).size(), 1u);
    EXPECT_TRUE(runGasForecast(*db, {day(2024, 5, 21), day(2024, 6, 30)}, today).empty());
    EXPECT_TRUE(runGasForecast(*db, {day(2024, 5, 1), day(2024, 5, 19)}, today).empty());
}

TEST_F(GasForecastDb, AnExhaustedCustomerIsWrittenAtItsLastDateWhateverThePeriod)
{
    // 40 used of a 50 cylinder: 10 left, no more than a fifth of it.
    addGasCustomer(QStringLiteral("G1"), QStringLiteral("ガス　切れ"), 1, 50, 50);
    addTwoReadings(QStringLiteral("G1"), QStringLiteral("120"));
    const auto rows = runGasForecast(*db, mayToJune, today);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].date, day(2024, 4, 30));
    EXPECT_EQ(rows[0].name, QStringLiteral("ガス　切れ"));
}

TEST_F(GasForecastDb, CustomersThatAreNotForecast)
{
    // Not a gas customer, though it has a history and a method.
    addGasCustomer(QStringLiteral("N0"), QStringLiteral("ガス　なし"), 1, 50, 50, QStringLiteral("0"));
    addTwoReadings(QStringLiteral("N0"));
    // One history row and two of kind 9, which do not count.
    addGasCustomer(QStringLiteral("N1"), QStringLiteral("履歴　一行"), 1, 50, 50);
    addGasEvent(*db, QStringLiteral("N1"), {day(2024, 4, 10), 1, QStringLiteral("100")});
    addGasEvent(*db, QStringLiteral("N1"), {day(2024, 4, 20), 9, QStringLiteral("105")});
    addGasEvent(*db, QStringLiteral("N1"), {day(2024, 4, 30), 9, QStringLiteral("110")});
    // Two rows of one day.
    addGasCustomer(QStringLiteral("N2"), QStringLiteral("同日　二行"), 1, 50, 50);
    addGasEvent(*db, QStringLiteral("N2"), {day(2024, 4, 10), 1, QStringLiteral("100")});
    addGasEvent(*db, QStringLiteral("N2"), {Date::fromSerial(day(2024, 4, 10).serial() + 0.5), 8,
                                            QStringLiteral("101")});
    // A method that is not 1, 2 or 6.
    addGasCustomer(QStringLiteral("N3"), QStringLiteral("方式　三"), 3, 50, 50);
    addTwoReadings(QStringLiteral("N3"));
    // All rates 0 (the meter never moves): the walk gives up, no row.
    addGasCustomer(QStringLiteral("N4"), QStringLiteral("使用　なし"), 1, 50, 50);
    addTwoReadings(QStringLiteral("N4"), QStringLiteral("100"));

    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(runGasForecast(*db, {day(1900, 1, 1), day(9999, 12, 31)}, today).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST_F(GasForecastDb, TheForecastsKeepTheirMonthTablesToThemselves)
{
    addForecastProducts(*db);
    addGasCustomer(QStringLiteral("G1"), QStringLiteral("ガス　一号"), 1, 50, 50);
    addTwoReadings(QStringLiteral("G1"));
    addGasCustomer(QStringLiteral("G2"), QStringLiteral("ガス　二号"), 2, 50, 40);
    addTwoReadings(QStringLiteral("G2"));
    TestCustomer k{QStringLiteral("K1"), QStringLiteral("灯油　一郎"), QStringLiteral("03-1111"), 200};
    addCustomer(*db, k);
    addSale(*db, QStringLiteral("K1"), day(2024, 3, 1), QStringLiteral("K1"), QStringLiteral("60"));
    addSale(*db, QStringLiteral("K1"), day(2024, 3, 31), QStringLiteral("K1"), QStringLiteral("60"));
    const auto monthLengths = testSession().daysPerMonth;

    const auto gasAlone = runGasForecast(*db, mayToJune, today);
    ASSERT_EQ(gasAlone.size(), 3u);
    const auto kerosene = runKeroseneForecast(*db, {day(2024, 4, 1), day(2024, 6, 30)});
    ASSERT_EQ(kerosene.size(), 1u);
    EXPECT_EQ(kerosene[0].date, day(2024, 4, 30)); // 60 litres at 2 a day from 31 March
    EXPECT_EQ(runGasForecast(*db, mayToJune, today), gasAlone);
    EXPECT_EQ(testSession().daysPerMonth, monthLengths);
    EXPECT_EQ(testSession().daysPerMonth[2][3], 28.0f);
}

} // namespace
