#pragma once
// The posted journal of a date range for the tax accountant, as the rows of
// a CSV file: 日付, 伝票番号, 借方科目コード, 借方科目名, 貸方科目コード,
// 貸方科目名, 相手先, 金額.

#include "core/Date.h"

#include <QList>
#include <QString>
#include <QStringList>

class Database;

namespace accounting {

// The name the journal's files carry.
inline const QString JournalCsvName = QStringLiteral("仕訳帳");

// Every 経理マスター row whose whole day lies in the range (both ends
// included), by day, slip number and serial, with both accounts named from
// 勘定科目TBL (an unknown account gets an empty name, never drops the row).
// 相手先 is the supplier or payee of a purchase or expense (its debit
// counterparty, when not 0), else the customer of a sale (its credit
// counterparty, when not "0"), else empty. Parameters: the day the range
// starts and the day after it ends, as numbers.
QString journalStatement();

// The heading and one row per journal row: the date as yyyy/mm/dd, the
// amount as whole yen (toward minus infinity, as every amount here is cut)
// without separators.
QList<QStringList> journalCsvRows(Database& db, const Date& start, const Date& end);

} // namespace accounting
