#pragma once
// Fixed-point money and quantity value: a signed 64-bit count of
// ten-thousandths, as the shop's amounts have always been kept.
// Arithmetic is exact; products are rounded to four places half to even.

#include "core/OperatorError.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <stdexcept>

// A result beyond the 64-bit range of ten-thousandths: no amount the shop
// keeps, and never one to continue with (a barcode typed into the quantity
// box, say). Raised instead of wrapping round to a plausible wrong amount.
class CurrencyOverflow : public OperatorError {
public:
    CurrencyOverflow()
        : OperatorError(QStringLiteral("金額または数量が大きすぎて計算できません。\n入力した値を確かめてください。"),
                        "Currency overflow") {}
};

class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;
    // Whole units (yen, litres, pieces).
    static constexpr Currency fromUnits(std::int64_t units)
    {
        std::int64_t ticks = 0;
        if (__builtin_mul_overflow(units, Scale, &ticks))
            throw CurrencyOverflow();
        return Currency(ticks);
    }
    // The raw count of ten-thousandths, as stored in CURRENCY columns.
    static constexpr Currency fromTicks(std::int64_t ticks) { return Currency(ticks); }
    // Nearest value to a double, rounded to four places half to even
    // (used only where a value really comes as a double, never for parsing).
    // A value beyond the range throws CurrencyOverflow.
    static Currency fromDouble(double value);
    // Exact decimal text ("1234.5", "-0.29", " 12"); leading and trailing
    // blanks allowed, digits beyond the fourth decimal are rounded half to
    // even. Anything else gives nullopt.
    static std::optional<Currency> parse(const QString& text);

    constexpr std::int64_t ticks() const { return ticks_; }
    double toDouble() const { return double(ticks_) / Scale; }
    // Whole part, rounded toward minus infinity: -12.5 gives -13. The lowest
    // value has no whole part in range and throws CurrencyOverflow.
    Currency Int() const;
    // Whole part as an integer (toward minus infinity).
    std::int64_t wholeUnits() const;
    bool isZero() const { return ticks_ == 0; }

    // Plain decimal text: "1234.5", "-300", "0".
    QString toString() const;

    // Sums, differences and products beyond the range throw CurrencyOverflow.
    friend constexpr Currency operator+(Currency a, Currency b)
    {
        std::int64_t t = 0;
        if (__builtin_add_overflow(a.ticks_, b.ticks_, &t))
            throw CurrencyOverflow();
        return Currency(t);
    }
    friend constexpr Currency operator-(Currency a, Currency b)
    {
        std::int64_t t = 0;
        if (__builtin_sub_overflow(a.ticks_, b.ticks_, &t))
            throw CurrencyOverflow();
        return Currency(t);
    }
    constexpr Currency operator-() const { return Currency() - *this; }
    Currency& operator+=(Currency o) { return *this = *this + o; }
    Currency& operator-=(Currency o) { return *this = *this - o; }
    // Exact product rounded to four places, half to even: 0.29 × 100 = 29.
    friend Currency operator*(Currency a, Currency b);
    friend constexpr auto operator<=>(Currency a, Currency b) = default;

private:
    explicit constexpr Currency(std::int64_t ticks) : ticks_(ticks) {}
    std::int64_t ticks_ = 0;
};
