#pragma once
// Text rules shared by every screen, file and print-out: the numeric value of
// typed text, the decimal form written to the configuration file, fixed-length
// fields and the format masks of the print-outs.

#include <QString>
#include <cstdint>
#include <optional>

class Currency;
class Date;

namespace text {

// Numeric value of the leading number of a text after leading blanks (half-
// or full-width spaces, tabs); a text with no leading number is 0. Accepts a
// sign, a decimal point and an exponent ("1.5E3"); full-width digits, sign
// and point typed through an input method count as their half-width forms.
double Val(const QString& text);
// The same leading number read exactly as a Currency (rounded to four places
// half to even); 0 when there is none.
Currency valCurrency(const QString& text);
// True when the text, blanks around it aside, is one number and nothing else.
bool isNumber(const QString& text);
// Full-width digits, sign, point and comma typed through an input method as
// their half-width forms; other characters as they stand.
QString halfWidthDigits(const QString& text);
// The whole text, blanks around it aside, read exactly as a Currency
// ("1,050", "105.5", "－３"): nullopt when it is not one plain decimal
// number or lies beyond the Currency range.
std::optional<Currency> parseCurrency(const QString& text);

// Characters that a Linux input method types for their Windows look-alikes
// (〜 U+301C, − U+2212, — U+2014, ¥ U+00A5, ‖ U+2016, ¢ £ ¬) replaced by the
// forms the Japanese code page holds (～ U+FF5E, － U+FF0D, ― U+2015, ￥, ∥,
// ￠ ￡ ￢), so that Shift_JIS files (the configuration file, bank files)
// can hold what the operator typed.
QString shiftJisForms(const QString& text);

// Decimal text with a leading blank for a non-negative number: 3 gives " 3",
// -3 gives "-3".
QString Str(std::int64_t value);
// The same for a fractional number, without a leading zero before the point
// (0.5 gives " .5"), up to 15 significant digits.
QString Str(double value);

// Fixed-length field: padded with blanks on the right or cut to `length`
// characters.
QString fixed(const QString& text, int length);

// Number formatted with a mask: "#" a digit only where the number has one,
// "0" always a digit, "," thousands separators, "." the decimal point (shown
// even with no digits after it), "\x" prints x literally (so "\\" prints one
// backslash), any other character is printed as it stands. The named mask
// "Currency" is whole yen with separators behind a backslash (yen sign).
// Negative numbers get a minus sign in front of the whole text. Values are
// rounded to the mask's decimal places half away from zero.
QString format(Currency value, const QString& mask);
QString format(double value, const QString& mask);
QString format(std::int64_t value, const QString& mask);
inline QString format(int value, const QString& mask) { return format(std::int64_t(value), mask); }
// Date with a mask: "yyyy" the year, "mm" the two-digit month, "dd" the
// two-digit day; anything else as it stands.
QString format(const Date& value, const QString& mask);

} // namespace text
