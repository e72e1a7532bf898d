#pragma once
// Correcting one customer's carried-forward billed amount
// (顧客売掛前回請求金額), for example when the shop starts with balances from
// its old books. Only that one field is written: no journal row, the closing
// date, payments and sales since closing stay as they are. The screen
// frm売掛残高変更 is in BalanceChangeScreen.h.

#include "core/Currency.h"
#include "db/Database.h"

#include <QString>
#include <optional>

// The amount typed in "変更後請求額": an empty box is 0; text that is not
// wholly one amount ("12ab", "1.2.3") is nullopt and is never stored.
std::optional<Currency> typedBilledAmount(const QString& text);

// Sets the customer's 顧客売掛前回請求金額 and nothing else. False when there
// is no customer with the code.
bool changeLastInvoiceAmount(Database& db, const QString& code, const Currency& amount);
