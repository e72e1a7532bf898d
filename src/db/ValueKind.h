#pragma once
// How a column keeps its values: CURRENCY as ticks (1050000 is 105 yen),
// DATE as day serials, SINGLE as a float, INTEGER, and text for anything
// else. Shared by the code that writes rows and the grids that show them.

enum class ValueKind { Text, Integer, Currency, Date, Single };
