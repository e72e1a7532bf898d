#pragma once
// The value rules of the master screens, without widgets: the code a box's
// text stands for when it is handed to a code picker, and the company
// settings' rules for the tax rates and the administrator code.

#include <QString>
#include <cstdint>
#include <optional>

// The code a box's text stands for when it is handed to a picker: its
// numeric value rounded to a whole number (half to even); 0 for a text with
// no number or one beyond the range of a code.
std::int32_t codeOfText(const QString& text);

// The tax-rate rule: a rate whose numeric value is above 1 or negative
// becomes "0"; any other text stays as typed (an emptied box stays empty).
QString checkedTaxRate(const QString& typed);
// The administrator code's value: the numeric value of the text rounded to
// the nearest whole number, a half to the even neighbour; nullopt beyond the
// range of a Long.
std::optional<std::int32_t> administratorCodeValue(const QString& typed);
// True when the text holds only what a number is typed with: digits, sign,
// decimal point and blanks, half- or full-width.
bool numberCharactersOnly(const QString& typed);
