#pragma once
// The holding tables and their posting. Entry screens write sales lines to
// 売上商品マスター仮 and ledger rows to 経理マスター仮; the pre-posting review
// lists them and throws away whole slips; the daily update posts every row
// dated on or before the cut-off day into the permanent tables and the
// customers' running receivable totals.

#include "core/Date.h"
#include "core/OperatorError.h"

#include <QString>
#include <cstdint>
#include <vector>

class Database;

// The receivables account: a ledger row crediting it with a customer as
// credit counterparty is a payment received from that customer.
constexpr int ReceivablesCreditAccount = 110;

// ------------------------------------------------------------ the review

// Sales listing of the review: 売上シリアル, 売上伝票番号, 売上年月日, 顧客名前,
// 売上単品名, 売上単価, 売上個数 of the holding lines whose customer exists,
// by slip number, then serial.
QString holdingSalesStatement();
// Ledger listing of the review: 経理シリアル, 経理伝票番号, 経理年月日, 経理金額,
// the debit account's name (勘定科目TBL), the credit account's name
// (勘定科目TBLＣＯＰＹ, refreshed first), 顧客名前 of the holding rows whose
// credit counterparty is a customer and whose two accounts exist, by slip
// number, then serial.
QString holdingLedgerStatement();
// Result columns of the two listings that carry the slip number.
constexpr int HoldingSlipNumberColumn = 1;

struct HoldingSlipDeletion {
    int salesLines = 0;
    int ledgerRows = 0;
};
// Deletes every sales line and every ledger row of the slip from the two
// holding tables, listed or not, in one transaction.
HoldingSlipDeletion deleteHoldingSlip(Database& db, std::int32_t slipNumber);

// ------------------------------------------------------------ posting

// A holding row that must reach a customer names none: a credit-sale line
// whose customer code, or whose customer's billing code, matches no
// customer, or a payment (credit 110) whose counterparty matches none.
struct UnpostableRow {
    std::int32_t slipNumber = 0;
    QString customerCode;
    // True when the customer exists but its billing code names no customer.
    bool billingCodeMissing = false;
    QString billingCode;
};

// Posting refused before anything was changed, because of such rows. The
// operator's words (message()) say why nothing was posted, name the slips
// and codes concerned, and what to do.
class UnpostableRowsError : public OperatorError {
public:
    explicit UnpostableRowsError(std::vector<UnpostableRow> rows);
    const std::vector<UnpostableRow>& rows() const { return rows_; }

private:
    std::vector<UnpostableRow> rows_;
};

// What one run posted.
struct PostingResult {
    int salesLines = 0;        // copied to 売上商品マスター
    int receivableLines = 0;   // added to 売掛マスター (credit-sale lines)
    int customersCharged = 0;  // customers whose 顧客売掛締後売上額 rose
    int ledgerRows = 0;        // copied to 経理マスター
    int customersPaid = 0;     // customers whose 顧客売掛入金額 changed
    int customersDebited = 0;  // customers an entry debiting 110 charged
};

// The holding rows found by one run, before anything is written.
std::vector<UnpostableRow> unpostableRows(Database& db, const Date& cutoff);

// Posts every holding row whose whole day is on or before `cutoff`, as one
// transaction:
//  - each credit-sale line (売上種別コード 1) adds Int(売上個数 × 売上単価) to
//    顧客売掛締後売上額 of its billed customer (the customer's
//    顧客売掛請求先コード unless that is "0") and goes to 売掛マスター with
//    the billing code in place of the customer code;
//  - each ledger row crediting 110 adds 経理金額 to 顧客売掛入金額 of the
//    customer it names; 顧客売掛入金日 becomes the 経理年月日 of that
//    customer's last such row (highest 経理シリアル) of the run;
//  - each ledger row debiting 110 that is no slip's (a purchase, expense or
//    journal entry: no holding sales line has its number) lowers
//    顧客売掛入金額 of the customer it names by 経理金額, so account 110
//    stays equal to the customers' balances (a slip's debit reaches the
//    customer through its sales lines instead);
//  - every posted row is copied unchanged to 売上商品マスター / 経理マスター
//    and deleted from its holding table.
// Rows dated after the cut-off stay. Holding rows that name no customer
// (see UnpostableRow) throw UnpostableRowsError; a refused statement throws
// DatabaseError; either way nothing is changed.
PostingResult postHoldingRows(Database& db, const Date& cutoff);
