#include "core/Currency.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

Currency cur(const char* text)
{
    return Currency::parse(QString::fromUtf8(text)).value();
}

constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();

} // namespace

TEST(Currency, IntRoundsTowardMinusInfinity)
{
    EXPECT_EQ(cur("-12.5").Int(), cur("-13"));
    EXPECT_EQ(cur("12.5").Int(), cur("12"));
    EXPECT_EQ(cur("-12").Int(), cur("-12"));
    EXPECT_EQ(cur("-0.0001").wholeUnits(), -1);
    EXPECT_EQ(cur("52.9999").wholeUnits(), 52);
}

TEST(Currency, ProductIsExactAndRoundsHalfToEven)
{
    EXPECT_EQ((cur("0.29") * Currency::fromUnits(100)).ticks(), 290000);
    const Currency half = cur("105") * cur("0.5");
    EXPECT_EQ(half, cur("52.5"));
    EXPECT_EQ(half.Int(), cur("52"));
    EXPECT_EQ(cur("0.08") * Currency::fromUnits(999), cur("79.92"));
    // Eight-decimal products that fall exactly halfway.
    EXPECT_EQ(cur("0.0001") * cur("0.5"), Currency());
    EXPECT_EQ(cur("0.0003") * cur("0.5"), cur("0.0002"));
    EXPECT_EQ(cur("-0.0003") * cur("0.5"), cur("-0.0002"));
    EXPECT_EQ(cur("0.0001") * cur("0.6"), cur("0.0001"));
    // The intermediate product exceeds 64 bits although the result does not.
    EXPECT_EQ(Currency::fromUnits(100000000) * Currency::fromUnits(1000), Currency::fromUnits(100000000000));
}

TEST(Currency, ParseIsExact)
{
    EXPECT_EQ(cur("1234.56789"), cur("1234.5679"));
    EXPECT_EQ(cur("1234.56785"), cur("1234.5678"));
    EXPECT_EQ(cur("1234.56775"), cur("1234.5678"));
    EXPECT_EQ(cur("1234.567850001"), cur("1234.5679"));
    EXPECT_EQ(cur(" -0.29 ").ticks(), -2900);
    EXPECT_EQ(cur("+5").ticks(), 50000);
    EXPECT_EQ(cur(".5").ticks(), 5000);
    EXPECT_EQ(cur("5.").ticks(), 50000);
    // Beyond the 53 bits of a double.
    EXPECT_EQ(cur("922337203685477.5807").ticks(), Max);
    EXPECT_EQ(cur("-922337203685477.5808").ticks(), Min);
    for (const char* bad : {"abc", "", " ", "-", ".", "1.2.3", "12a", "1e3", "1 2", "922337203685477.5808"})
        EXPECT_FALSE(Currency::parse(QString::fromUtf8(bad))) << bad;
}

TEST(Currency, ArithmeticBeyondTheRangeRaisesInsteadOfWrapping)
{
    // A barcode scanned into the quantity box: 1980 yen × 4901234567894
    // wrapped to the ordinary-looking 481072407575344.
    EXPECT_THROW(cur("1980") * cur("4901234567894"), CurrencyOverflow);
    EXPECT_THROW(Currency::fromTicks(Max) + Currency::fromTicks(1), CurrencyOverflow);
    EXPECT_THROW(Currency::fromTicks(Min) - Currency::fromTicks(1), CurrencyOverflow);
    EXPECT_THROW(-Currency::fromTicks(Min), CurrencyOverflow);
    // The whole part of the lowest value is below the range.
    EXPECT_THROW(Currency::fromTicks(Min).Int(), CurrencyOverflow);
    EXPECT_THROW(Currency::fromUnits(Max / 1000), CurrencyOverflow);
    EXPECT_THROW(Currency::fromDouble(1e300), CurrencyOverflow);
    Currency sum = Currency::fromTicks(Max - 5);
    EXPECT_THROW(sum += Currency::fromTicks(6), CurrencyOverflow);
    EXPECT_EQ(sum.ticks(), Max - 5); // unchanged after the refused sum
    // Right at the ends nothing is refused.
    EXPECT_EQ((Currency::fromTicks(Max - 1) + Currency::fromTicks(1)).ticks(), Max);
    EXPECT_EQ(cur("-922337203685476.5").Int(), cur("-922337203685477"));
    EXPECT_EQ((cur("-922337203685477") * cur("1")).toString(), "-922337203685477");
}

TEST(Currency, FromDoubleRoundsHalfToEven)
{
    EXPECT_EQ(Currency::fromDouble(0.29).ticks(), 2900);
    EXPECT_EQ(Currency::fromDouble(-1.23456).ticks(), -12346);
    EXPECT_EQ(Currency::fromDouble(0.03125).ticks(), 312); // 312.5 ticks exactly
    EXPECT_EQ(Currency::fromDouble(0.09375).ticks(), 938); // 937.5 ticks exactly
    EXPECT_EQ(Currency::fromDouble(1e-5).ticks(), 0);
}

TEST(Currency, ToStringIsPlainDecimal)
{
    EXPECT_EQ(cur("1234.50").toString(), "1234.5");
    EXPECT_EQ(cur("-300").toString(), "-300");
    EXPECT_EQ(Currency().toString(), "0");
    EXPECT_EQ(cur("0.29").toString(), "0.29");
    EXPECT_EQ(cur("-0.0001").toString(), "-0.0001");
    EXPECT_EQ(Currency::fromTicks(Min).toString(), "-922337203685477.5808");
}
