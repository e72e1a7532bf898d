#pragma once
// The printed transfer-slip journal: the rows of the listing
// (TransferSlips.h) under a title with the date range, in groups of five.

#include "accounting/TransferSlips.h"
#include "print/GroupedLines.h"

#include <QString>
#include <vector>

class PrintSurface;

namespace accounting {

inline const QString TransferSlipDocumentName = QStringLiteral("振替伝票");
inline const QString TransferSlipFontName = QStringLiteral("ＭＳ 明朝");

namespace transferSlipLayout {
using namespace groupedListing;
// Offsets from Left. Each column ends a clear gap (100 twips, more than
// one half-width character at 9.5 points) before the next one begins, even
// at its widest value: a ten-digit slip number before the date, the date
// before the debit account.
constexpr int ClearGap = 100;
constexpr int SlipNumberX = 650;
constexpr int DateX = 1700;
constexpr int DebitX = 2750;
constexpr int AmountX = 4200;
constexpr int AmountRight = 5500;
constexpr int CreditX = 5700;
constexpr int CounterpartyX = 7200;
constexpr int CustomerX = 8700;
}

// The listing on a surface already set up: the title on the first page,
// headings on every page, lines in groups of five with an empty slot after
// each group, 60 lines a page. The document is not ended.
void printTransferSlips(PrintSurface& surface, const Date& start, const Date& end,
                        const std::vector<TransferSlipRow>& rows);
// Opens the printer, sets it up, prints and ends the document.
void printTransferSlips(const Date& start, const Date& end, const std::vector<TransferSlipRow>& rows);

} // namespace accounting
