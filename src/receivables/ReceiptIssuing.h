#pragma once
// Receipts for collecting an invoiced amount at the customer's door: the
// customers of a collection day, the figures of the receipt and the values
// its sheet prints (the sheet itself is laid out in ReceiptPrinting.h).
// Nothing here writes to the database.

#include "session/Session.h"
#include "core/Currency.h"
#include "core/Date.h"
#include "receivables/InvoiceIssuing.h"

#include <QString>

// The customers of a collection day (顧客売掛集金日): 顧客コード, 顧客名前,
// 顧客売掛集金日, in the table's order.
BoundStatement collectionDayCustomers(int collectionDay);
QStringList collectionDayCustomerCodes(Database& db, int collectionDay);

// Nothing to collect: no last invoice amount, or payments since closing
// that equal it.
bool nothingToCollect(const Currency& lastInvoiceAmount, const Currency& paymentsSinceClosing);

// Receipts from this amount on carry a revenue stamp.
inline const Currency StampThreshold = Currency::fromUnits(50000);

struct ReceiptFigures {
    Currency amount; // the last invoice amount, printed in full
    Currency tax;    // whole part of amount × rate / (1 + rate)
    Currency goods;  // amount − tax
    // The stamp box and "印紙" are printed: amount − whole part of
    // (amount × rate) reaches the stamp threshold.
    bool stampDue = false;
};

// The figures for an amount at tax rate 1 (a decimal fraction such as
// 0.05), computed exactly.
ReceiptFigures receiptFigures(const Currency& amount, const Currency& rate);

// The era name of a date, for the blank date lines: 令和 from 1 May 2019,
// 平成 from 8 January 1989, 昭和 before.
QString eraName(Date date);

// What the receipt says of the amount's consumption tax.
enum class ReceiptBreakdown {
    // The amount is the closed invoice's sales alone: its figures by rate.
    ByRate,
    // The amount carries a balance from before that invoice's period: no
    // breakdown, the invoice is referred to.
    CarriedBalance,
    // No figures were kept for the invoice (closed before they were, or the
    // amount was changed since): the invoice is referred to.
    SeeInvoice,
};

// Which of them fits a customer's last invoice amount and closing date,
// given the figures kept at its last closing. Figures of another closing,
// of another amount, or whose rates do not add up to the amount are not
// used.
ReceiptBreakdown receiptBreakdown(const std::optional<ClosedInvoice>& kept, const Currency& lastInvoiceAmount,
                                  Date lastClosingDate);

// What the receipt sheet prints besides the chosen customer and the shop.
struct ReceiptSheet {
    ReceiptFigures figures;
    ReceiptBreakdown breakdown = ReceiptBreakdown::SeeInvoice;
    TaxBreakdown taxByRate; // the invoice's figures, for ByRate
    Date closingDate;      // the customer's last closing date
    int collectionDay = 0; // the customer's 顧客売掛集金日
    Date issueDate;        // the date of issue, printed in every band
};
