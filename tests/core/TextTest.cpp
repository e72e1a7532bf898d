#include "core/Text.h"

#include "core/Currency.h"
#include "core/Date.h"

#include <gtest/gtest.h>
#include <limits>

using text::format;

namespace {

QString u8(const char* s)
{
    return QString::fromUtf8(s);
}

Currency cur(const char* s)
{
    return Currency::parse(u8(s)).value();
}

} // namespace

TEST(Text, ValReadsTheLeadingNumber)
{
    EXPECT_EQ(text::Val(u8("12ab")), 12);
    EXPECT_EQ(text::Val(u8("  -3.5x")), -3.5);
    EXPECT_EQ(text::Val(u8(".5")), 0.5);
    EXPECT_EQ(text::Val(u8("\t+7")), 7);
    EXPECT_EQ(text::Val(u8("1 2")), 1);
    EXPECT_EQ(text::Val(u8("abc")), 0);
    EXPECT_EQ(text::Val(u8("")), 0);
    EXPECT_EQ(text::Val(u8("x12")), 0);
    EXPECT_EQ(text::Val(u8("1.5E3")), 1500);
    EXPECT_EQ(text::Val(u8("2d2")), 200);
    EXPECT_EQ(text::Val(u8("1e-2x")), 0.01);
    EXPECT_EQ(text::Val(u8("12e")), 12);
    EXPECT_EQ(text::Val(u8("12e+")), 12);
    // Full-width space, digits, sign and point from an input method.
    EXPECT_EQ(text::Val(u8("\u3000１２３")), 123);
    EXPECT_EQ(text::Val(u8("－１．５円")), -1.5);
    EXPECT_EQ(text::Val(u8("＋．２５")), 0.25);
}

TEST(Text, ValCurrencyIsExact)
{
    EXPECT_EQ(text::valCurrency(u8("0.29")).ticks(), 2900);
    EXPECT_EQ(text::valCurrency(u8("  -3.5x")), cur("-3.5"));
    EXPECT_EQ(text::valCurrency(u8("１２３４．５６７８９")), cur("1234.5679"));
    EXPECT_EQ(text::valCurrency(u8("1.5E3")), cur("1500"));
    EXPECT_EQ(text::valCurrency(u8("125e-5")), cur("0.0012")); // 0.00125, half to even
    EXPECT_EQ(text::valCurrency(u8("0.00015")), cur("0.0002"));
    EXPECT_EQ(text::valCurrency(u8("0.00005")), Currency());
    EXPECT_EQ(text::valCurrency(u8("922337203685477.5807")).ticks(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(text::valCurrency(u8("abc")), Currency());
}

TEST(Text, IsNumber)
{
    for (const char* yes : {"12", " 12 ", "-1.5", ".5", "1e5", "１２", "\u3000３\u3000"})
        EXPECT_TRUE(text::isNumber(u8(yes))) << yes;
    for (const char* no : {"", " ", "12a", "1 2", ".", "-", "e5", "12e"})
        EXPECT_FALSE(text::isNumber(u8(no))) << no;
}

TEST(Text, Str)
{
    EXPECT_EQ(text::Str(std::int64_t(3)), " 3");
    EXPECT_EQ(text::Str(std::int64_t(-3)), "-3");
    EXPECT_EQ(text::Str(std::int64_t(0)), " 0");
    EXPECT_EQ(text::Str(0.5), " .5");
    EXPECT_EQ(text::Str(-0.5), "-.5");
    EXPECT_EQ(text::Str(-1.25), "-1.25");
    EXPECT_EQ(text::Str(12.0), " 12");
    EXPECT_EQ(text::Str(0.0), " 0");
    EXPECT_EQ(text::Str(0.1 + 0.2), " .3");
    EXPECT_EQ(text::Str(123456789012345.0), " 123456789012345");
    EXPECT_EQ(text::Str(1e15), " 1E+15");
    EXPECT_EQ(text::Str(-1e-5), "-1E-05");
}

TEST(Text, Fixed)
{
    EXPECT_EQ(text::fixed(u8("abc"), 5), "abc  ");
    EXPECT_EQ(text::fixed(u8("abcdef"), 3), "abc");
    EXPECT_EQ(text::fixed(u8("ひまわり"), 2), u8("ひま"));
    EXPECT_EQ(text::fixed(u8("ab"), 0), "");
}

TEST(TextFormat, DecimalMasks)
{
    EXPECT_EQ(format(cur("1234.5"), " ######.00"), " 1234.50");
    EXPECT_EQ(format(Currency(), " ######.00"), " .00");
    EXPECT_EQ(format(cur("1234"), " #########."), " 1234.");
    EXPECT_EQ(format(Currency(), " #########."), " .");
    EXPECT_EQ(format(12.34, " ###,###.0"), " 12.3");
    EXPECT_EQ(format(cur("1234.56"), " ###,###.00"), " 1,234.56");
    EXPECT_EQ(format(0.05, " #,###.0"), " .1");
    EXPECT_EQ(format(cur("0.05"), " #,###.0"), " .1");
    // Fraction "#" keeps only digits the number has.
    EXPECT_EQ(format(1.5, "0.##"), "1.5");
    EXPECT_EQ(format(1.0, "0.##"), "1.");
    EXPECT_EQ(format(1.0, "0.0#"), "1.0");
    EXPECT_EQ(format(1.25, "0.0#"), "1.25");
}

TEST(TextFormat, RoundsHalfAwayFromZero)
{
    EXPECT_EQ(format(cur("2.345"), "0.00"), "2.35");
    EXPECT_EQ(format(cur("-2.345"), "0.00"), "-2.35");
    EXPECT_EQ(format(0.125, "0.00"), "0.13");
    // 1.005 is stored just below; read at 15 digits it is the 1.005 meant.
    EXPECT_EQ(format(1.005, "0.00"), "1.01");
    EXPECT_EQ(format(cur("9.995"), "0.00"), "10.00");
    EXPECT_EQ(format(999.96, "#,###.0"), "1,000.0");
    EXPECT_EQ(format(cur("2.5"), "#"), "3");
}

TEST(TextFormat, IntegerMasks)
{
    EXPECT_EQ(format(1003, "000/000"), "001/003");
    EXPECT_EQ(format(5, "00"), "05");
    EXPECT_EQ(format(123, "00"), "123");
    EXPECT_EQ(format(std::int64_t(0), "########0"), "0");
    EXPECT_EQ(format(41, "#########"), "41");
    EXPECT_EQ(format(0, "#"), "");
    EXPECT_EQ(format(1234567, " ##,###,###"), " 1,234,567");
    // Digits beyond the placeholders are printed and grouped too.
    EXPECT_EQ(format(1234567, "#,##0"), "1,234,567");
    EXPECT_EQ(format(cur("1234567"), " 0"), " 1234567");
}

TEST(TextFormat, BackslashAndLiterals)
{
    EXPECT_EQ(format(12345, "\\\\###,###,###"), "\\12,345");
    EXPECT_EQ(format(0, "\\\\###,###,###"), "\\");
    EXPECT_EQ(format(5, "\\#0\\,\\."), "#5,.");
    EXPECT_EQ(format(7, u8("0個")), u8("7個"));
}

TEST(TextFormat, NegativeAndNamedCurrency)
{
    EXPECT_EQ(format(cur("-1234.5"), " ######.00"), "- 1234.50");
    EXPECT_EQ(format(-12345, "\\\\###,###,###"), "-\\12,345");
    EXPECT_EQ(format(cur("1234.5"), "Currency"), "\\1,235");
    EXPECT_EQ(format(cur("-1234.5"), "Currency"), "-\\1,235");
    EXPECT_EQ(format(1234.4, "Currency"), "\\1,234");
    EXPECT_EQ(format(Currency(), "Currency"), "\\0");
    EXPECT_EQ(format(cur("-1234.5"), ""), "-1234.5");
}

TEST(TextFormat, DateMasks)
{
    const Date d = Date::fromParts(2001, 2, 16);
    EXPECT_EQ(format(d, "yyyy / mm / dd"), "2001 / 02 / 16");
    EXPECT_EQ(format(d, "yyyy/mm/dd"), "2001/02/16");
    EXPECT_EQ(format(d, u8("yyyy年mm月dd日")), u8("2001年02月16日"));
}

TEST(Text, ParseCurrencyReadsWhatPeopleTypeExactly)
{
    using text::parseCurrency;
    EXPECT_EQ(parseCurrency(QStringLiteral("1980"))->ticks(), 19800000);
    // Full-width digits, sign and point typed through an input method.
    EXPECT_EQ(parseCurrency(QStringLiteral("１，０５０"))->ticks(), 10500000);
    EXPECT_EQ(parseCurrency(QStringLiteral("－３．５"))->ticks(), -35000);
    EXPECT_EQ(parseCurrency(QStringLiteral("　12.34567 "))->ticks(), 123457);
    for (const char* bad : {"", "abc", "12a", "1,05", "1e3", "12,3456", "99999999999999999"})
        EXPECT_FALSE(parseCurrency(QString::fromUtf8(bad))) << bad;
}

TEST(Text, ShiftJisFormsOfWindowsLookAlikes)
{
    EXPECT_EQ(text::shiftJisForms(QStringLiteral("1〜3−5—¥‖")), QStringLiteral("1～3－5―￥∥"));
    EXPECT_EQ(text::shiftJisForms(QStringLiteral("ﾅｶﾏｲ 東京")), QStringLiteral("ﾅｶﾏｲ 東京"));
}
