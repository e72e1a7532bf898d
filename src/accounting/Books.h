#pragma once
// The books: which side an account's balance is kept on, the trial balance
// (the chart's work columns 借方金額, 貸方金額 and 現在残高 up to a day), the
// account ledger (the work table 各勘定帳) and the year-end carry-forward.
// Plain functions over one connection; the screens call them.

#include "core/Currency.h"
#include "core/Date.h"
#include "core/OperatorError.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

class Database;

namespace accounting {

// ------------------------------------------------------------ balance side

enum class Side { Debit, Credit };

// Liabilities and capital (3000 to 4999), sales (5000 to 5499) and other
// income (8000 to 8999) are kept on the credit side; every other account on
// the debit side.
Side balanceSide(std::int64_t account);
// The balance after a movement: a debit adds to a debit-side account and
// takes from a credit-side one; a credit does the opposite.
Currency moveBalance(std::int64_t account, Currency balance, Currency debit, Currency credit);
// The same rule as an SQL expression over the chart's columns 科目番号,
// 期首残高, 借方金額 and 貸方金額.
QString currentBalanceExpression();

// ------------------------------------------------------------ trial balance

struct TrialBalanceTotals {
    Currency sales;    // 売上合計: 現在残高 of accounts 5000 to 5499
    Currency expenses; // 経費合計: 現在残高 of accounts 6000 to 7999
};

// Recomputes the chart's work columns from zero: the debits and credits of
// every journal row dated on or before `upTo` (any time of that day), and
// each account's current balance from its opening balance by its side. A
// journal code that names no account is placed on none. One transaction.
TrialBalanceTotals computeTrialBalance(Database& db, const Date& upTo);
// The two totals as the chart holds them now.
TrialBalanceTotals trialBalanceTotals(Database& db);
// Sets 借方金額, 貸方金額 and 現在残高 of every account to 0.
void clearTrialBalance(Database& db);

// ------------------------------------------------------------ ledger

struct LedgerResult {
    std::int64_t account = 0;
    bool accountExists = false; // false: no such account; name blank, opening 0
    QString accountName;
    Currency opening;
    int lines = 0;
    Currency closing; // the running balance after the last line
};

// Empties 各勘定帳 and writes one line per journal row that debits or credits
// `account`, in date order (within a day by slip number, then serial), each
// with the running balance from the account's 期首残高. A row debiting and
// crediting the account itself is one line with the amount on both sides
// and the balance unchanged. One transaction.
LedgerResult buildLedger(Database& db, std::int64_t account);
// The grid's statement over 各勘定帳, in the order written.
QString ledgerLinesStatement();
// Empties 各勘定帳.
void clearLedger(Database& db);

// ------------------------------------------------------------ year-end

// A journal row up to the period end whose debit or credit account is not
// in the chart: the year-end would delete it without carrying its amount.
struct UnplacedJournalRow {
    std::int32_t slipNumber = 0;
    std::int64_t debitAccount = 0;
    std::int64_t creditAccount = 0;
    bool debitMissing = false;
    bool creditMissing = false;
};

std::vector<UnplacedJournalRow> unplacedJournalRows(Database& db, const Date& periodEnd);

// The year-end refused before anything was changed. message(): the
// operator's words, why nothing was done, the slips and codes, and what to
// do.
class UnplacedJournalRowsError : public OperatorError {
public:
    explicit UnplacedJournalRowsError(std::vector<UnplacedJournalRow> rows);
    const std::vector<UnplacedJournalRow>& rows() const { return rows_; }

private:
    std::vector<UnplacedJournalRow> rows_;
};

// Holding rows (経理マスター仮) dated on or before the period end: entered
// but not yet posted by the daily update, so the year-end would not see them.
int unpostedHoldingRows(Database& db, const Date& periodEnd);

// The year-end refuses to close a period while such rows wait: posted
// after it, they would land in books already carried forward.
class UnpostedHoldingRowsError : public OperatorError {
public:
    explicit UnpostedHoldingRowsError(int rows);
    int rows() const { return rows_; }

private:
    int rows_;
};

struct YearEndResult {
    int journalRowsDeleted = 0;
};

// Closes the period ending on `periodEnd`, as one transaction: clears every
// account's work columns, sums the journal up to the period end (any time
// of that day), computes each balance by its side, carries the balance of
// the accounts below 5000 into 期首残高 and starts the accounts from 5000
// up at 0 (work columns 0 everywhere), then deletes the journal rows up to
// the period end. Rows after it stay. The period end is kept, so later
// writes dated in the closed period are refused. Journal rows naming no
// account throw UnplacedJournalRowsError, holding rows up to the period end
// UnpostedHoldingRowsError, before anything is changed; a refused statement
// (or an exception from `afterCarryForward`, called between the
// carry-forward and the deletion) rolls everything back.
YearEndResult runYearEnd(Database& db, const Date& periodEnd,
                         const std::function<void()>& afterCarryForward = {});

} // namespace accounting
