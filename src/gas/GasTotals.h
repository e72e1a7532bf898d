#pragma once
// The gas totals (frmガス集計): every gas event of a date range for all
// customers, the range's totals of usage, delivered quantity, remaining gas
// and amount, and the printed list with its totals.

#include "core/Currency.h"
#include "core/Date.h"

#include <QString>
#include <QVariantList>
#include <optional>
#include <vector>

class Database;
class PrintSurface;

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

// The printed list, positions in twips from the left origin X 700.
namespace totalsLayout {
constexpr int Left = 700;
constexpr int TitleY = 500;
constexpr int HeadingY = 1000;
constexpr int FirstLineY = 1500;
constexpr int LineHeight = 200;
constexpr int LinesPerGroup = 5;
constexpr int LinesPerPage = 60;
constexpr int TotalsY = 15700;
constexpr double FontSize = 9.5;
} // namespace totalsLayout
inline const QString TotalsFontName = QStringLiteral("ＭＳ 明朝");
inline const QString TotalsDocumentName = QStringLiteral("ガス集計");

// Draws the list on a surface prepared by SetUpPrinter: the title on the
// first page ("ガス集計一覧　　　　", the company name, a full-width space,
// the start and end dates), the column headings on every page, 60 events a page in groups of
// five, and the totals line after the last event. Does not end the document.
void printTotals(PrintSurface& surface, const QString& companyName, const Date& start, const Date& end,
                 const std::vector<Event>& events, const Totals& totals);

// Prints the list on a print job of its own ("ガス集計"). Throws PrintError
// when the printer or the file fails.
void printGasTotals(const QString& companyName, const Date& start, const Date& end, const std::vector<Event>& events,
                    const Totals& totals);

} // namespace gas
