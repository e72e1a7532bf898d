#pragma once
// The transfer-slip listing: every posted journal row of a date range with
// the names of its accounts, its counterparty and its customer, and the
// printed transfer-slip journal.

#include "core/Currency.h"
#include "core/Date.h"

#include <QString>
#include <QVariantList>
#include <cstdint>
#include <vector>

class Database;
class PrintSurface;

namespace accounting {

// Columns 経理伝票番号, 経理年月日, 借方科目, 経理金額, 貸方科目, 借方相手先,
// 顧客名前 of every journal row whose whole day lies in the range (both ends
// included), by day, slip number and serial. Every row is listed: a name
// that matches nothing (counterparty 0 of a sale, customer 0 of a
// purchase) is blank. Parameters: transferSlipParams().
QString transferSlipStatement();
QVariantList transferSlipParams(const Date& start, const Date& end);

struct TransferSlipRow {
    std::int32_t slipNumber = 0;
    Date date;
    QString debitAccountName;
    Currency amount;
    QString creditAccountName;
    QString counterpartyName;
    QString customerName;
};

// Refreshes 勘定科目TBLＣＯＰＹ, then reads the listing.
std::vector<TransferSlipRow> loadTransferSlips(Database& db, const Date& start, const Date& end);

inline const QString TransferSlipDocumentName = QStringLiteral("振替伝票");
inline const QString TransferSlipFontName = QStringLiteral("ＭＳ 明朝");

namespace transferSlipLayout {
constexpr int Left = 700;
constexpr int TitleY = 500;
constexpr int HeadingY = 1000;
constexpr int FirstLineY = 1500;
constexpr int LineHeight = 200;
constexpr int LinesPerGroup = 5;
constexpr int LinesPerPage = 60;
constexpr double FontSize = 9.5;
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
