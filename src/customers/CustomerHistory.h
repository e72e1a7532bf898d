#pragma once
// A customer's posted sales history (売上商品マスター): the statement the
// results grid shows, the customer's latest posted slip, and the repeat of
// that slip into the slip line buffer ("前回どおり"). Lines still in the
// holding table are not history yet.

#include "session/Session.h"
#include "core/Date.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class Database;

// The history lines of one customer (bound as the one parameter), oldest
// first: date, slip number, serial. The computed column 金額 is the whole
// part of unit price × quantity, in CURRENCY ticks.
QString customerHistoryStatement();
// The name of the computed amount column.
inline const QString HistoryAmountColumn = QStringLiteral("金額");

// The last line of the history: latest date, then highest slip number, then
// highest serial.
struct LatestSlip {
    Date saleDate;
    std::optional<std::int32_t> slipNumber; // nullopt when the line has none
};
std::optional<LatestSlip> latestPostedSlip(Database& db, const QString& customerCode);

// The lines of a posted slip of the customer in serial order, up to (not
// including) its first department-99 line, the consumption-tax line that
// closes every slip; at most the capacity of the slip buffer. Each line has
// a blank kana name and amount = whole part of unit price × quantity.
std::vector<SlipLine> slipLinesToRepeat(Database& db, const QString& customerCode, std::int32_t slipNumber);

// Fills the slip buffer with the lines of the chosen customer's slip
// `slipNumber` (of state.customer.code) and returns the new line count.
int repeatPreviousSlip(Database& db, SessionState& state, std::int32_t slipNumber);
