#pragma once
// Storing a sales slip: the slip's sales lines and its consumption-tax line
// go to 売上商品マスター仮, one ledger row per non-zero total to 経理マスター仮,
// all under one slip number and in one transaction; then the slip counter
// advances in HMWcfg.dat.

#include "session/Routines.h"
#include "session/Session.h"
#include "session/TaxBreakdown.h"

#include <QString>
#include <optional>
#include <vector>

class Database;

// The texts the operator is shown when a slip cannot be stored.
inline const QString StoreFailedMessage = QStringLiteral("記録の書き込みに失敗しました。やり直してください・");
inline const QString StoreFailedTitle = QStringLiteral("エラーメッセージ");


// Debit accounts of a slip: cash or receivables.
constexpr int CashAccount = 10;
constexpr int ReceivablesAccount = 110;

// One ledger row of a slip, before it is written.
struct SlipLedgerRow {
    int creditAccount;
    Currency amount;
};

// The ledger rows a slip produces, in the order they are written: one per
// non-zero total, tax added rate 1 (5000), tax added rate 2 (5010), tax
// included rate 1 (5050), tax included rate 2 (5060), not taxable (5090),
// consumption tax (3079).
std::vector<SlipLedgerRow> slipLedgerRows(const SlipTotals& totals);

// Product name as the sales line stores it: the first 12 characters of the
// 24-character name, blank-padded.
QString storedProductName(const QString& productName);

// One message for the operator: its text and the title of its box.
struct SlipStoreMessage {
    QString text;
    QString title;
};

// What storing a slip did: whether the slip's rows are stored, and what
// the operator is to be told, in the order the screen shows it.
struct SlipStoreResult {
    bool stored = false;
    std::vector<SlipStoreMessage> messages;

    explicit operator bool() const { return stored; }
};

// Writes the slip of `state` and advances the slip counter in the file at
// `configPath`. Nothing happens for a slip without lines; a slip without a
// customer or dated in the closed period is refused with a message. On any
// failure while writing (a refused statement, a slip number that does not
// fit, an amount out of range) nothing of the slip remains, the result
// carries StoreFailedMessage, and the configuration is read again from the
// file, so the number is used by the next slip (a file that cannot be read
// adds its own message). When the rows are stored but the file cannot be
// rewritten, the result is stored and says so and why the file failed.
SlipStoreResult storeSlip(Database& db, SessionState& state, const QString& configPath = configurationFilePath());
// What the operator is told when the slip date lies in the period the
// year-end closed (such a slip is refused); nullopt when it is open.
std::optional<QString> closedSlipDate(Database& db, const SessionState& state);
// The same on a connection of its own to the configured database.
SlipStoreResult storeSlip(SessionState& state, const QString& configPath = configurationFilePath());
