#pragma once
// Closing a customer's billing period: the invoice of the credit-sale lines
// of 売掛マスター up to the closing date, and the roll-over of the
// customer's three running amounts (last invoice, payments since closing,
// credit sales since closing) to the next period. Also the customer's
// receivable fields as the receivables screens read them.

#include "session/Session.h"
#include "core/Currency.h"
#include "core/Date.h"

#include <QString>
#include <QVariantList>
#include <optional>

class Database;

// One customer's row of 顧客マスター as the receivables screens show it.
struct CustomerAccount : CustomerCard {
    Date previousClosingDate;         // 顧客売掛前回締め日
    Date lastPaymentDate;             // 顧客売掛入金日
    int closingDay = 0;               // 顧客売掛締切日
    int collectionDay = 0;            // 顧客売掛集金日

    // 前回請求金額 − 入金額 + 締後売上額; never stored.
    Currency balance() const { return lastInvoiceAmount - paymentsSinceClosing + creditSalesSinceClosing; }
};

// The customer with the code, or nullopt when there is none.
std::optional<CustomerAccount> readCustomerAccount(Database& db, const QString& code);
// Copies the shown customer into the session's chosen customer: code, names,
// address, telephone, postal code and the three amounts (the slip date
// stays).
void chooseCustomer(const CustomerAccount& account, ChosenCustomer& chosen);

// The closing day or collection day typed in its box: the number rounded
// to a whole number (a text with no leading number is 0); anything above 31
// or below 0 means the month end, 31.
int dayOfMonthBoxValue(double typed);

// A statement with its bound values.
struct BoundStatement {
    QString sql;
    QVariantList params;
};
// The texts of a statement's first column, in its order (the customer
// codes of a customer list).
QStringList firstColumnTexts(Database& db, const BoundStatement& statement);
// The customers of a closing day (顧客売掛締切日): 顧客コード, 顧客名前,
// 顧客売掛締切日, in the table's order.
BoundStatement closingDayCustomers(int closingDay);
// The codes of those customers, in the same order.
QStringList closingDayCustomerCodes(Database& db, int closingDay);

// The detail lines of an invoice: the 売掛マスター rows carrying the code
// (the billing customer's code, so a billing customer's invoice includes
// the lines of the customers billed to it) dated on or before the closing
// day, by date and serial. Columns 売上シリアル, 売上年月日, 売上部門コード,
// 売上税区分コード, 売上単品コード, 売上単品名, 売上単価, 売上個数 and 金額,
// the whole part of unit price × quantity.
BoundStatement invoiceLinesStatement(const QString& code, Date closingDate);
// The name of the computed amount column of that statement.
inline const QString InvoiceAmountColumn = QStringLiteral("金額");

// An invoice as the confirmation screen computes it on opening.
struct InvoiceComputation {
    CustomerAccount customer;
    InvoiceValues invoice;
    // The detail total differs from the customer's 顧客売掛締後売上額: the
    // detail total is the one billed.
    bool detailTotalDiffers = false;
};

// Reads the customer and its lines up to the closing date and computes the
// invoice values: current sales = sum of the line amounts; total billed =
// previous invoice − payments since closing + current sales; the sales by
// rate at the configuration's rates. nullopt when the customer does not
// exist.
std::optional<InvoiceComputation> computeInvoice(Database& db, const QString& code, Date closingDate,
                                                 const Configuration& config);

// The period's sales by rate: the lines up to the closing date grouped by
// slip (the slip's own tax row left out, its tax is worked out again from
// the rates), each slip's breakdown on its own, added up.
TaxBreakdown invoiceTaxByRate(Database& db, const QString& code, Date closingDate, const Configuration& config);

// The figures the last closing of a customer kept for its receipt.
struct ClosedInvoice {
    Date closingDate;
    Currency currentSales;
    Currency totalBilled;
    TaxBreakdown taxByRate;
};
// The figures kept for the customer's last closing, or nullopt when none
// were kept (a period closed before they were).
std::optional<ClosedInvoice> readClosedInvoice(Database& db, const QString& code);

// Nothing to bill: no previous invoice amount, no payments and no lines.
bool nothingToBill(const InvoiceValues& invoice);

// Closes the period of one customer, in one transaction and in this order:
// deletes its 売掛マスター lines dated on or before the closing day, then
// rolls the customer over: 前回請求金額 = total billed, 前回締め日 = the
// closing date, 入金額 = 0, 入金日 = the zero date, 締後売上額 = its value
// now − current sales; and keeps the invoice's figures by rate for the
// receipt (replacing the last closing's). Payments posted after the invoice
// was computed (by another computer's daily update, on a server) are not
// billed: 入金額 keeps them and 入金日 its date. A failure changes nothing
// and throws. Returns the number of lines deleted.
int closeBillingPeriod(Database& db, const QString& code, const InvoiceValues& invoice);
