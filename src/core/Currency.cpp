#include "core/Currency.h"

#include <cmath>
#include <limits>

namespace {

using i128 = __int128;

constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();

// Floor division: the remainder of C++ division follows the dividend's sign,
// which would round -12.5 to -12 instead of -13.
std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

Currency Currency::fromDouble(double value)
{
    if (std::isnan(value))
        return Currency();
    // rint rounds half to even in the default rounding mode.
    const double scaled = std::rint(value * double(Scale));
    if (scaled >= 9223372036854775807.0 || scaled < -9223372036854775808.0)
        throw CurrencyOverflow();
    return Currency(std::int64_t(scaled));
}

std::optional<Currency> Currency::parse(const QString& text)
{
    const QString s = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }

    // Anything above 2^63 ticks cannot be represented; stop accumulating there
    // so that a long digit string cannot overflow the 128-bit accumulator.
    constexpr i128 Limit = i128(1) << 63;
    i128 units = 0;
    bool anyDigit = false;
    for (; i < s.size() && isAsciiDigit(s[i]); ++i) {
        units = units * 10 + (s[i].unicode() - u'0');
        if (units * Scale > Limit)
            return std::nullopt;
        anyDigit = true;
    }

    std::int64_t frac = 0;
    int fracDigits = 0;
    int roundDigit = 0;  // the fifth decimal, deciding the rounding
    bool beyond = false; // any non-zero digit after the fifth decimal
    if (i < s.size() && s[i] == u'.') {
        ++i;
        for (; i < s.size() && isAsciiDigit(s[i]); ++i) {
            const int d = s[i].unicode() - u'0';
            if (fracDigits < 4)
                frac = frac * 10 + d;
            else if (fracDigits == 4)
                roundDigit = d;
            else if (d != 0)
                beyond = true;
            ++fracDigits;
            anyDigit = true;
        }
    }
    if (!anyDigit || i != s.size())
        return std::nullopt;
    for (int k = fracDigits; k < 4; ++k)
        frac *= 10;

    i128 ticks = units * Scale + frac;
    if (roundDigit > 5 || (roundDigit == 5 && (beyond || (ticks & 1))))
        ++ticks;
    if (negative)
        ticks = -ticks;
    if (ticks > Max || ticks < Min)
        return std::nullopt;
    return Currency(std::int64_t(ticks));
}

Currency Currency::Int() const
{
    return fromUnits(floorDiv(ticks_, Scale));
}

std::int64_t Currency::wholeUnits() const
{
    return floorDiv(ticks_, Scale);
}

QString Currency::toString() const
{
    // Work on the magnitude as unsigned so that the most negative value has one.
    const bool negative = ticks_ < 0;
    const std::uint64_t mag = negative ? std::uint64_t(0) - std::uint64_t(ticks_) : std::uint64_t(ticks_);
    QString out = QString::number(mag / Scale);
    std::uint64_t frac = mag % Scale;
    if (frac != 0) {
        QString f = QString::number(frac).rightJustified(4, u'0');
        while (f.endsWith(u'0'))
            f.chop(1);
        out += u'.' + f;
    }
    return negative ? u'-' + out : out;
}

Currency operator*(Currency a, Currency b)
{
    // The product of two tick counts has eight decimals; bring it back to four.
    const __int128 p = __int128(a.ticks_) * b.ticks_;
    __int128 q = p / Currency::Scale;
    const __int128 r = p % Currency::Scale;
    const __int128 twice = (r < 0 ? -r : r) * 2;
    if (twice > Currency::Scale || (twice == Currency::Scale && (q & 1)))
        q += p < 0 ? -1 : 1;
    if (q > Max || q < Min)
        throw CurrencyOverflow();
    return Currency(std::int64_t(q));
}
