// Currency::parse on arbitrary text: nullopt or a value whose own text
// reads back as the same value; never an exception or a wrapped amount.
#include "core/Currency.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<Currency> value = Currency::parse(text);
    if (!value)
        return 0;
    const std::optional<Currency> again = Currency::parse(value->toString());
    if (!again || *again != *value)
        std::abort();
    // Negation of every value but the lowest stays in range.
    if (value->ticks() != INT64_MIN && (-*value).ticks() != -value->ticks())
        std::abort();
    return 0;
}
