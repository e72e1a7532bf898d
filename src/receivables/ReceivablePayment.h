#pragma once
// Recording a payment received on account: one journal row in 経理マスター仮,
// debit the means of payment, credit receivables (110) with the customer as
// counterparty, under its own slip number. The customer's balance changes
// when the daily update posts the row.

#include "session/Routines.h"
#include "session/Session.h"

#include <QString>
#include <cstdint>
#include <optional>

class Database;

// The receivables account every payment credits.
constexpr int PaymentCreditAccount = 110;

// Means of payment: the accounts 1 to 999 of the chart, by number; columns
// 科目番号, 勘定科目名.
QString paymentMeansStatement();

// The journal row of a payment by the chosen customer as it starts: the
// slip date, the customer's last invoice amount, no means yet, credit 110
// and the customer's code (13 characters, blank-padded).
JournalEntry startPayment(const ChosenCustomer& customer);

// The amount typed in "入金額": the whole text read as an amount (blanks
// around it, separators and full-width digits allowed); 0 when it is not
// wholly one amount, so that "12ab" is never stored as 12.
Currency typedPaymentAmount(const QString& text);

// A payment may be stored once it has an amount other than 0 and a means.
bool paymentReady(const JournalEntry& entry);

using StoredPayment = StoredJournalRow;

// Writes the payment's journal row with the current slip number of
// `state.config`, then advances the counter in the file at `configPath`. A
// payment that is not ready (or has no customer) writes nothing and gives
// nullopt. A refused row or a slip number that does not fit throws
// (DatabaseError, SlipNumberOverflow) with nothing written and the counter
// unchanged.
std::optional<StoredPayment> storePayment(Database& db, SessionState& state, const JournalEntry& payment,
                                          const QString& configPath = configurationFilePath());
