#pragma once
// How a column keeps its values: CURRENCY as ticks (1050000 is 105 yen),
// DATE as day serials, SINGLE as a float, INTEGER, and text for anything
// else. Shared by the code that writes rows and the grids that show them.

#include <QString>

enum class ValueKind { Text, Integer, Currency, Date, Single };

// The kind of a column from its declared type in the schema: CURRENCY,
// DATE, SINGLE, INTEGER (and any INT…); anything else is text.
inline ValueKind kindOfDeclaredType(const QString& declaredType)
{
    const QString t = declaredType.trimmed().toUpper();
    if (t == QLatin1String("CURRENCY"))
        return ValueKind::Currency;
    if (t == QLatin1String("DATE"))
        return ValueKind::Date;
    if (t == QLatin1String("SINGLE"))
        return ValueKind::Single;
    if (t.startsWith(QLatin1String("INT")))
        return ValueKind::Integer;
    return ValueKind::Text;
}
