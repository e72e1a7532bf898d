#pragma once
// The printed gas totals list: the events of a range and its totals laid
// out on pages, with the title, the column headings and the totals line.

#include "gas/GasTotals.h"
#include "print/GroupedLines.h"

class PrintSurface;

namespace gas {

// The printed list, positions in twips from the left origin X 700.
namespace totalsLayout {
using namespace groupedListing;
constexpr int TotalsY = 15700;
} // namespace totalsLayout
inline const QString TotalsFontName = QStringLiteral("ＭＳ 明朝");
inline const QString TotalsDocumentName = QStringLiteral("ガス集計");

// Draws the list on a surface prepared by setUpPrinter: the title on the
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
