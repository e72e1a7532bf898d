// The numeric value of typed text (text::Val, text::valCurrency and the
// whole-text readers) on arbitrary text: no exception, no crash, and the
// exact reading agrees with the double one where both can hold the value.
#include "core/Currency.h"
#include "core/Text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const double d = text::Val(text);
    const Currency c = text::valCurrency(text);
    // Where the double is a moderate finite value, the exact reading is
    // the same number to within rounding at the fourth decimal.
    if (std::isfinite(d) && std::fabs(d) < 1e9 && std::fabs(c.toDouble() - d) > 0.0001 + std::fabs(d) * 1e-12)
        std::abort();

    (void)text::isNumber(text);
    (void)text::halfWidthDigits(text);
    (void)text::shiftJisForms(text);
    if (const std::optional<Currency> whole = text::parseCurrency(text)) {
        // One plain number without thousands separators: Val reads the
        // same number once line ends around it are gone (parseCurrency
        // takes any white space around the number, Val only blanks).
        const bool separators = text.contains(u',') || text.contains(u'，');
        const double t = text::Val(text.trimmed());
        if (!separators && std::isfinite(t) && std::fabs(t) < 1e9 && std::fabs(whole->toDouble() - t) > 0.0001 + std::fabs(t) * 1e-12)
            std::abort();
    }
    return 0;
}
