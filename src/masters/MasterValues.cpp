#include "masters/MasterValues.h"

#include "core/Text.h"

#include <cmath>
#include <limits>

std::int32_t codeOfText(const QString& text)
{
    const double value = std::nearbyint(text::Val(text)); // half to even
    if (!(value >= double(std::numeric_limits<std::int32_t>::min())
          && value <= double(std::numeric_limits<std::int32_t>::max())))
        return 0;
    return std::int32_t(value);
}

QString checkedTaxRate(const QString& typed)
{
    const double value = text::Val(typed);
    return value > 1 || value < 0 ? QStringLiteral("0") : typed;
}

std::optional<std::int32_t> administratorCodeValue(const QString& typed)
{
    const double value = std::nearbyint(text::Val(typed)); // half to even
    if (!(value >= double(std::numeric_limits<std::int32_t>::min())
          && value <= double(std::numeric_limits<std::int32_t>::max())))
        return std::nullopt;
    return std::int32_t(value);
}

bool numberCharactersOnly(const QString& typed)
{
    for (QChar c : text::halfWidthDigits(typed)) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u'+' || u == u' '
                             || u == u'\t' || u == u'　';
        if (!allowed)
            return false;
    }
    return true;
}
