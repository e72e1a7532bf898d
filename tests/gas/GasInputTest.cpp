// The gas input's logic: reading the boxes, the base reading and usage, the
// completeness rule, and storing an event through to the daily update.
#include "gas/GasInput.h"
#include "sales/DailyUpdate.h"
#include "support/TestInstallation.h"
#include "GasData.h"

#include <gtest/gtest.h>

using namespace gastest;

namespace {

class GasInputTest : public ::testing::Test {
protected:
    void SetUp() override { addGasCustomers(db); }

    // A complete kind-1 entry of customer 501: meter, amount and means.
    GasEntry meteredSale(const char* meter, const char* amount, int account)
    {
        GasEntry e;
        gas::resetEntry(e, day(2024, 4, 1), QStringLiteral("501"));
        e.kind = gas::MeteredBilled;
        e.meterValue = yen(meter);
        e.amount = yen(amount);
        e.paymentAccount = account;
        return e;
    }

    // An unbilled kind-7 reading of customer 501.
    GasEntry meterReading(const Date& date, const char* meter)
    {
        GasEntry e;
        gas::resetEntry(e, date, QStringLiteral("501"));
        e.kind = gas::Metered;
        e.meterValue = yen(meter);
        return e;
    }

    TestInstallation inst;
    Database db = inst.database();
};

} // namespace

TEST_F(GasInputTest, BoxesReadOneWholeNumberInItsRangeAndNothingElse)
{
    EXPECT_EQ(gas::readCurrencyBox(QStringLiteral("１２５０．５")), yen("1250.5"));
    EXPECT_EQ(gas::readCurrencyBox(QStringLiteral(" 1,250 ")), yen("1250"));
    EXPECT_EQ(gas::readCurrencyBox(QStringLiteral("-34.5")), yen("-34.5"));
    EXPECT_EQ(gas::readCurrencyBox(QStringLiteral("1.5E3")), yen("1500"));
    for (const char* notANumber : {"", "　", "12ab", "1,25", "1e20", "99999999999999999999", "-"})
        EXPECT_FALSE(gas::readCurrencyBox(QString::fromUtf8(notANumber))) << notANumber;

    EXPECT_EQ(gas::readQuantityBox(QStringLiteral("２０")), 20.0f);
    EXPECT_EQ(gas::readQuantityBox(QStringLiteral("12.3")), 12.3f);
    EXPECT_EQ(gas::readQuantityBox(QStringLiteral("1e3")), 1000.0f);
    for (const char* notANumber : {"", "abc", "1e39", "-1e39", "8kg"})
        EXPECT_FALSE(gas::readQuantityBox(QString::fromUtf8(notANumber))) << notANumber;
}

TEST_F(GasInputTest, BaseIsTheLatestReadingOfKind1Or8WhateverOrderTheRowsWereEntered)
{
    EXPECT_FALSE(gas::baseReading(db, QStringLiteral("501")));
    addGasRow(db, day(2024, 3, 1), 1, "501", "1000.0");
    addGasRow(db, day(2024, 3, 20), 8, "501", "1100.0");
    addGasRow(db, day(2024, 3, 25), 6, "501", "1130.0");
    addGasRow(db, day(2024, 3, 28), 7, "501", "1140.0");
    addGasRow(db, day(2024, 3, 10), 1, "501", "1050.0");
    // Another customer's later reading is not this customer's base.
    addGasRow(db, day(2024, 3, 30), 1, "502", "9000");

    const auto base = gas::baseReading(db, QStringLiteral("501"));
    ASSERT_TRUE(base);
    EXPECT_EQ(*base, yen("1100"));
    EXPECT_EQ(gas::usageFrom(yen("1150"), base), yen("50"));
    EXPECT_FALSE(gas::usageFrom(yen("1150"), std::nullopt));
}

TEST_F(GasInputTest, WithinOneDayTheEventStoredLastIsTheBaseWhateverTheKindsAreCalled)
{
    // The operator's own names, by which the exchange (8) would sort before
    // the reading (1) of the old meter on the same day.
    renameKind(db, 1, "検針");
    renameKind(db, 8, "メーター交換");
    addGasRow(db, day(2024, 3, 1), 1, "501", "5230.0");
    addGasRow(db, day(2024, 3, 1), 8, "501", "0.0");
    EXPECT_EQ(gas::baseReading(db, QStringLiteral("501")), yen("0"));

    // The new meter's readings are measured from 0, stored, and measured
    // from each other: not 13 − 5230 = −5217, refused for good.
    setSlipNumbering(inst, 0, 41);
    SessionState& s = testSession();
    GasEntry entry = meteredSale("13", "3240", 10);
    gas::storeEvent(db, s.config, entry, inst.configurationPath());
    entry = meterReading(day(2024, 4, 10), "20");
    gas::storeEvent(db, s.config, entry, inst.configurationPath());
    EXPECT_EQ(gasRows(db).mid(2), QStringList({QStringLiteral("2024/04/01|1|501|13|13|0|0|3240|10"),
                                               QStringLiteral("2024/04/10|7|501|20|7|0|0|0|0")}));

    // A kind missing from the kind table is missing from the history too.
    addGasRow(db, day(2024, 4, 11), 1, "501", "6000");
    db.exec(QStringLiteral("DELETE FROM ガスデータ種別コードＴＢＬ WHERE ガスデータ種別コード = 1"));
    EXPECT_EQ(gas::baseReading(db, QStringLiteral("501")), yen("0"));
}

TEST_F(GasInputTest, ASameDayReadingAfterAnExchangeIsMeasuredFromTheNewMeter)
{
    // The shop's own names: 開栓検針 (8) sorts after 検針請求 (1), so by
    // name the exchange would be the base of every reading of that day.
    addGasRow(db, day(2024, 4, 1), 1, "501", "4870");
    addGasRow(db, day(2024, 4, 20), 8, "501", "0");
    addGasRow(db, day(2024, 4, 20), 1, "501", "12.5", "12.5", 0, 0, "1620", 10);
    EXPECT_EQ(gas::baseReading(db, QStringLiteral("501")), yen("12.5"));

    SessionState& s = testSession();
    GasEntry entry = meterReading(day(2024, 4, 20), "15");
    gas::storeEvent(db, s.config, entry, inst.configurationPath());
    EXPECT_EQ(gasRows(db).last(), QStringLiteral("2024/04/20|7|501|15|2.5|0|0|0|0"));
}

TEST_F(GasInputTest, CompletenessFollowsTheKindAndRefusesNegativeUsageAndPartYen)
{
    GasEntry e = meteredSale("1250", "3240", 10);
    const auto base = yen("1234.5");
    e.usage = *gas::usageFrom(e.meterValue, base);
    EXPECT_EQ(e.usage, yen("15.5"));
    gas::BoxTexts t{QStringLiteral("1250"), QStringLiteral("3240"), QString(), QString()};
    EXPECT_TRUE(gas::isComplete(e, t, true));
    EXPECT_FALSE(gas::isComplete(e, t, false)) << "no base reading";

    GasEntry negative = e;
    negative.meterValue = yen("1200");
    negative.usage = *gas::usageFrom(negative.meterValue, base);
    EXPECT_EQ(negative.usage, yen("-34.5"));
    EXPECT_FALSE(gas::isComplete(negative, {QStringLiteral("1200"), QStringLiteral("3240"), {}, {}}, true));

    // The billed amount is whole yen: 3240.5 would split the ledger from
    // the customer's balance.
    GasEntry part = e;
    part.amount = yen("3240.5");
    EXPECT_FALSE(gas::isComplete(part, {QStringLiteral("1250"), QStringLiteral("3240.5"), {}, {}}, true));
    GasEntry noMeans = e;
    noMeans.paymentAccount = 0;
    EXPECT_FALSE(gas::isComplete(noMeans, t, true));

    // Kind 5 needs remaining gas other than 0; kind 9 only some number.
    GasEntry exchange;
    exchange.kind = gas::Exchange;
    exchange.meterValue = yen("10");
    exchange.delivered = 20;
    const gas::BoxTexts exchangeTexts{QStringLiteral("10"), {}, QStringLiteral("20"), QStringLiteral("0")};
    EXPECT_FALSE(gas::isComplete(exchange, exchangeTexts, false));
    exchange.remaining = 1.5f;
    EXPECT_TRUE(gas::isComplete(exchange, {QStringLiteral("10"), {}, QStringLiteral("20"), QStringLiteral("1.5")}, false));

    GasEntry sale;
    sale.kind = gas::CylinderSale;
    sale.delivered = 20;
    sale.amount = yen("9800");
    sale.paymentAccount = 110;
    EXPECT_TRUE(gas::isComplete(sale, {{}, QStringLiteral("9800"), QStringLiteral("20"), QStringLiteral("0")}, false));
    EXPECT_FALSE(gas::isComplete(sale, {{}, QStringLiteral("9800"), QStringLiteral("20"), QString()}, false));

    // A meter of letters or beyond the range is no reading, not a reading of 0.
    GasEntry start;
    start.kind = gas::MeterStart;
    EXPECT_TRUE(gas::isComplete(start, {QStringLiteral("0"), {}, {}, {}}, false));
    EXPECT_FALSE(gas::isComplete(start, {QStringLiteral("abc"), {}, {}, {}}, false));
    EXPECT_FALSE(gas::isComplete(start, {QStringLiteral("1e20"), {}, {}, {}}, false));
    EXPECT_FALSE(gas::isComplete(start, {QString(), {}, {}, {}}, false));

    GasEntry unknown;
    unknown.kind = 2;
    EXPECT_FALSE(gas::isComplete(unknown, {QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("10")}, true));
}

TEST_F(GasInputTest, BilledGasOnAccountReachesTheCustomerThroughTheDailyUpdate)
{
    setSlipNumbering(inst, 0, 41);
    addGasRow(db, day(2024, 3, 1), 1, "501", "1234.5");
    SessionState& s = testSession();
    GasEntry entry = meteredSale("1250", "3240", 110);

    const gas::StoredEvent stored = gas::storeEvent(db, s.config, entry, inst.configurationPath());
    EXPECT_EQ(stored.slipNumber, 41);
    EXPECT_EQ(gasRows(db).last(), QStringLiteral("2024/04/01|1|501|1250|15.5|0|0|3240|110"));
    // serial | slip | date | customer | kind | dept | tax | code | name | price | quantity
    ASSERT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 1);
    QSqlQuery sale = db.exec(QStringLiteral("SELECT 売上伝票番号, 売上年月日, 売上顧客コード, 売上種別コード, 売上部門コード,"
                                            " 売上税区分コード, 売上単品コード, 売上単品名, 売上単価, 売上個数 FROM 売上商品マスター仮"));
    ASSERT_TRUE(sale.next());
    EXPECT_EQ(sale.value(0).toInt(), 41);
    EXPECT_EQ(dateValue(sale.value(1)), day(2024, 4, 1));
    EXPECT_EQ(sale.value(2).toString(), QStringLiteral("501"));
    EXPECT_EQ(sale.value(3).toInt(), 1);
    EXPECT_EQ(sale.value(4).toInt(), 90);
    EXPECT_EQ(sale.value(5).toInt(), 5);
    EXPECT_EQ(sale.value(6).toString(), QStringLiteral("999000"));
    EXPECT_EQ(sale.value(7).toString(), QStringLiteral("ガス（ＬＰＧ）"));
    EXPECT_EQ(currencyValue(sale.value(8)), yen("3240"));
    EXPECT_EQ(currencyValue(sale.value(9)), yen("1"));
    // slip | date | amount | debit | debit party | credit | credit party
    EXPECT_EQ(tableRows(db, QStringLiteral("経理マスター仮"), 1),
              QStringList{QStringLiteral("41|%1|32400000|110|0|3075|501").arg(day(2024, 4, 1).serial())});
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 42"));
    EXPECT_EQ(s.config.slipCounter, 42);

    postHoldingRows(db, day(2024, 4, 1));
    EXPECT_EQ(currencyValue(db.scalar(QStringLiteral("SELECT 顧客売掛締後売上額 FROM 顧客マスター WHERE 顧客コード = '501'"))),
              yen("5240"));
    EXPECT_EQ(currencyValue(db.scalar(QStringLiteral("SELECT 顧客売掛入金額 FROM 顧客マスター WHERE 顧客コード = '501'"))),
              yen("1000"));
    ASSERT_EQ(rowCount(db, QStringLiteral("売掛マスター")), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 売上伝票番号 FROM 売掛マスター")).toInt(), 41);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター")), 1);
}

TEST_F(GasInputTest, BilledGasPaidInCashIsACashSaleThatLeavesTheCustomerAlone)
{
    setSlipNumbering(inst, 0, 41);
    addGasRow(db, day(2024, 3, 1), 8, "501", "1234.5");
    SessionState& s = testSession();
    GasEntry entry = meteredSale("1250", "3240", 10);
    gas::storeEvent(db, s.config, entry, inst.configurationPath());
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 売上種別コード FROM 売上商品マスター仮")).toInt(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 経理借方コード FROM 経理マスター仮")).toInt(), 10);

    postHoldingRows(db, day(2024, 4, 1));
    EXPECT_EQ(currencyValue(db.scalar(QStringLiteral("SELECT 顧客売掛締後売上額 FROM 顧客マスター WHERE 顧客コード = '501'"))),
              yen("2000"));
    EXPECT_EQ(rowCount(db, QStringLiteral("売掛マスター")), 0);
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター")), 1);

    // The next slip of any screen gets the next number.
    EXPECT_EQ(currentSlipNumber(s.config), 42);
}

TEST_F(GasInputTest, ASlipNumberBeyondTheRangeWritesNothingButUnbilledKindsStillStore)
{
    // 30 × 100000000 + 41 does not fit a signed 32-bit number.
    setSlipNumbering(inst, 30, 41);
    addGasRow(db, day(2024, 3, 1), 8, "501", "1234.5");
    const QByteArray fileBefore = inst.configurationFileBytes();
    SessionState& s = testSession();
    GasEntry entry = meteredSale("1250", "3240", 110);
    EXPECT_THROW(gas::storeEvent(db, s.config, entry, inst.configurationPath()), SlipNumberOverflow);
    EXPECT_EQ(rowCount(db, QStringLiteral("ガスデータ")), 1);
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 0);
    EXPECT_EQ(inst.configurationFileBytes(), fileBefore);

    // A counter at the largest value cannot advance past the number it gives.
    setSlipNumbering(inst, 0, 2147483647);
    const QByteArray atMax = inst.configurationFileBytes();
    EXPECT_THROW(gas::storeEvent(db, s.config, entry, inst.configurationPath()), SlipNumberOverflow);
    EXPECT_EQ(rowCount(db, QStringLiteral("ガスデータ")), 1);
    EXPECT_EQ(inst.configurationFileBytes(), atMax);

    setSlipNumbering(inst, 30, 41);
    GasEntry reading;
    gas::resetEntry(reading, day(2024, 4, 2), QStringLiteral("501"));
    reading.kind = gas::Metered;
    reading.meterValue = yen("1260");
    entry = reading;
    const gas::StoredEvent stored = gas::storeEvent(db, s.config, entry, inst.configurationPath());
    EXPECT_FALSE(stored.slipNumber);
    EXPECT_EQ(gasRows(db).last(), QStringLiteral("2024/04/02|7|501|1260|25.5|0|0|0|0"));
    EXPECT_EQ(inst.configurationFileBytes(), fileBefore) << "an unbilled event takes no number";
}

TEST_F(GasInputTest, AConfigurationFileThatCannotBeWrittenKeepsNothingOfTheEvent)
{
    setSlipNumbering(inst, 0, 41);
    addGasRow(db, day(2024, 3, 1), 8, "501", "1000");
    SessionState& s = testSession();
    GasEntry entry = meteredSale("1100", "5000", 20);
    EXPECT_THROW(gas::storeEvent(db, s.config, entry, inst.path(QStringLiteral("missing/HMWcfg.dat"))), ConfigurationError);
    EXPECT_EQ(rowCount(db, QStringLiteral("ガスデータ")), 1);
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 0);
    // The number was not used: the next entry gets it.
    EXPECT_EQ(s.config.slipCounter, 41);
    EXPECT_EQ(gas::storeEvent(db, s.config, entry, inst.configurationPath()).slipNumber, 41);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 42"));
}

TEST_F(GasInputTest, StoreKeepsOnlyTheKindsItemsAndMeasuresUsageItself)
{
    setSlipNumbering(inst, 0, 41);
    SessionState& s = testSession();
    GasEntry entry;

    // Kind 8 is a reading only, whatever else the buffer holds.
    GasEntry start = meteredSale("5230", "3000", 110);
    start.kind = gas::MeterStart;
    start.delivered = 8;
    start.usage = yen("99");
    entry = start;
    EXPECT_FALSE(gas::storeEvent(db, s.config, entry, inst.configurationPath()).slipNumber);
    EXPECT_EQ(gasRows(db), QStringList{QStringLiteral("2024/04/01|8|501|5230|0|0|0|0|0")});
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);

    // Kind 9 is a sale without a reading.
    GasEntry sale = meteredSale("5300", "9800", 110);
    sale.kind = gas::CylinderSale;
    sale.delivered = 20;
    sale.remaining = 2.5f;
    sale.usage = yen("70");
    entry = sale;
    EXPECT_EQ(gas::storeEvent(db, s.config, entry, inst.configurationPath()).slipNumber, 41);
    EXPECT_EQ(gasRows(db).last(), QStringLiteral("2024/04/01|9|501|0|0|20|2.5|9800|110"));

    // Usage comes from the stored readings, not from the buffer.
    GasEntry reading = meteredSale("5242.5", "0", 0);
    reading.kind = gas::Metered;
    reading.usage = yen("1");
    entry = reading;
    gas::storeEvent(db, s.config, entry, inst.configurationPath());
    EXPECT_EQ(gasRows(db).last(), QStringLiteral("2024/04/01|7|501|5242.5|12.5|0|0|0|0"));
}

TEST_F(GasInputTest, StoreRefusesWhatTheScreenWouldNotOffer)
{
    setSlipNumbering(inst, 0, 41);
    SessionState& s = testSession();
    GasEntry entry;

    // No earlier reading: kinds 1 and 7 have no base, and the operator is
    // told to store the first reading as kind 8 (開栓検針).
    entry = meteredSale("1250", "3240", 110);
    try {
        gas::storeEvent(db, s.config, entry, inst.configurationPath());
        ADD_FAILURE() << "stored without a base reading";
    } catch (const gas::GasEntryRefused& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("「開栓検針」（種別 8）"))) << e.message().toStdString();
    }

    addGasRow(db, day(2024, 3, 1), 1, "501", "1234.5");
    GasEntry negative = meteredSale("1200", "3240", 110);
    GasEntry part = meteredSale("1250", "3240.5", 110);
    GasEntry noMeans = meteredSale("1250", "3240", 0);
    GasEntry unknown = meteredSale("1250", "3240", 110);
    unknown.kind = 2;
    GasEntry nobody = meteredSale("1250", "3240", 110);
    nobody.customerCode = QString();
    for (const GasEntry& e : {negative, part, noMeans, unknown, nobody}) {
        entry = e;
        EXPECT_THROW(gas::storeEvent(db, s.config, entry, inst.configurationPath()), gas::GasEntryRefused);
    }
    EXPECT_EQ(rowCount(db, QStringLiteral("ガスデータ")), 1);
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 41"));
}
