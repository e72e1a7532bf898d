#pragma once
// The gas totals (frmガス集計): every gas event of a date range for all
// customers, the range's totals of usage, delivered quantity, remaining gas
// and amount: the queries and values the screen lists and prints.

#include "core/Currency.h"
#include "core/Date.h"

#include <QString>
#include <QVariantList>
#include <optional>
#include <vector>

class Database;

namespace gas {

// The listed events of a range, both days included, by date and kind name:
// ガス年月日, 顧客名前, ガスデータ種別, ガス検針値, ガス使用量, ガス配送量,
// ガス残ガス量, ガス金額. Events of customers missing from 顧客マスター or of
// kinds missing from the kind table are not listed. Parameters: see
// rangeParams().
QString eventListStatement();
// The totals of a range over every gas row in it, listed or not: 使用量合計,
// 配送量合計, 残ガス量合計, 金額合計 (all NULL for an empty range).
QString totalsStatement();
// The bounds of a range as the two statements bind them: the start's day
// and the day after the end, as numbers.
QVariantList rangeParams(const Date& start, const Date& end);

struct Event {
    Date date;
    QString customerName;
    QString kindName;
    Currency meter;
    Currency usage;
    double delivered = 0; // Single, as stored
    double remaining = 0; // Single, as stored
    Currency amount;
};
std::vector<Event> loadEvents(Database& db, const Date& start, const Date& end);

// Sums of a range; an empty range has none (the sums are empty, not 0).
struct Totals {
    std::optional<Currency> usage;
    std::optional<double> delivered;
    std::optional<double> remaining;
    std::optional<Currency> amount;
};
Totals loadTotals(Database& db, const Date& start, const Date& end);

} // namespace gas
