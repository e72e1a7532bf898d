#pragma once
// Purchase, expense and journal entry: one bookkeeping entry becomes one
// holding row of 経理マスター仮 under its own slip number, for the daily
// update to post. The three entry screens differ only in the definition
// below: captions, what their lists offer and what makes an entry complete.

#include "session/Routines.h"
#include "session/Session.h"

#include <QString>
#include <cstdint>
#include <optional>

class Database;

namespace accounting {

enum class EntryKind { Purchase, Expense, Journal };

struct EntryDefinition {
    EntryKind kind;
    QString screenName;   // frm仕入, frm経費, frm経理入力
    QString caption;      // window title
    QString dateLabel;    // "仕入日"
    QString amountLabel;  // "仕入金額（税込み合計支払い金額）"
    QString counterpartyLabel;
    QString debitLabel;
    QString creditLabel;
    // Each list's statement yields the code in column 0 and shows the name
    // in column 1.
    QString counterpartyStatement;
    QString debitStatement;
    QString creditStatement;
    // A purchase or an expense needs its counterparty; a journal entry not.
    bool counterpartyRequired = true;
    // The add button and the editor it opens; empty on the journal entry.
    QString addButtonCaption;
    QString addEditorScreen;
    QString addEditorCaption;
};

const EntryDefinition& entryDefinition(EntryKind kind);

// Resets an entry as an entry screen opens: the date given,
// amount 0, no accounts, no counterparty, credit counterparty "0".
void resetEntry(JournalEntry& entry, const Date& today);

// The amount typed in the amount box: the whole text read as an amount
// (separators and full-width digits allowed); 0 when it is not wholly one
// amount, so that "12ab" is never stored as 12.
Currency typedEntryAmount(const QString& text);

// Account 110 holds the customers' receivables and must always equal the
// sum of their balances, so an entry with 110 on either side names the
// customer whose balance it moves (kept in the credit counterparty, the
// column every journal row keeps its customer in).
constexpr int ReceivablesAccountCode = 110;
bool needsReceivableCustomer(const JournalEntry& entry);
// The customer the entry names, or an empty text.
QString receivableCustomer(const JournalEntry& entry);

// ＯＫ is offered when the amount is not 0 (negative counts) and both
// accounts are chosen, and the counterparty too where it is required, and
// the customer where 110 is one of the accounts.
bool entryComplete(EntryKind kind, const JournalEntry& entry);

using StoredEntry = StoredJournalRow;

// Writes `entry` as one row of 経理マスター仮 with the current slip number
// of `state` (credit counterparty: the customer where 110 is one of the
// accounts, else 0), then advances the counter in the file at
// `configPath`. An incomplete entry writes nothing and gives nullopt. A
// slip number that does not fit (SlipNumberOverflow) or a refused row
// (DatabaseError) throws with nothing written and the counter unchanged.
std::optional<StoredEntry> storeEntry(Database& db, SessionState& state, EntryKind kind, const JournalEntry& entry,
                                      const QString& configPath = configurationFilePath());

} // namespace accounting
