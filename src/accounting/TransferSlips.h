#pragma once
// The transfer-slip listing: every posted journal row of a date range with
// the names of its accounts, its counterparty and its customer, as the
// screen lists them and the printed transfer-slip journal prints them
// (TransferSlipPrinting.h).

#include "core/Currency.h"
#include "core/Date.h"

#include <QString>
#include <QVariantList>
#include <cstdint>
#include <vector>

class Database;

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

} // namespace accounting
