#pragma once
// Recording one LP-gas event of one customer (frmガス入力): a meter reading,
// a cylinder delivery or a billed sale of gas. The event is a row of
// ガスデータ; the billed kinds 1 and 9 also write a sales line to
// 売上商品マスター仮 and a journal row to 経理マスター仮 under one slip
// number, for the daily update to post with the day's other sales.

#include "core/OperatorError.h"
#include "session/Routines.h"
#include "session/Values.h"

#include <QString>
#include <cstdint>
#include <optional>

class Database;

namespace gas {

// Kinds whose entry the screen knows; any other code of the kind table can
// be chosen but never completes an entry.
constexpr int MeteredBilled = 1;  // meter reading billed by usage
constexpr int Exchange = 5;       // cylinder exchange: delivered and remaining gas
constexpr int Delivery = 6;       // cylinder delivery
constexpr int Metered = 7;        // meter reading, not billed
constexpr int MeterStart = 8;     // first reading, or the reading of a new meter
constexpr int CylinderSale = 9;   // cylinder sold, billed

// The sale a billed event writes.
constexpr int SaleDepartment = 90;
constexpr int SaleTaxCategory = 5;
inline const QString SaleProductCode = QStringLiteral("999000");
inline const QString SaleProductName = QStringLiteral("ガス（ＬＰＧ）");
constexpr int GasSalesAccount = 3075;
// A sale paid to this account is a sale on account (credit).
constexpr int ReceivablesAccount = 110;

// The boxes a kind shows, and whether it is billed.
struct KindBoxes {
    bool meter = false;     // Text1 "メータ値"
    bool usage = false;     // Text4 "使用量", computed from the meter
    bool delivered = false; // Text3 "配送量"
    bool remaining = false; // Text5 "残ガス量"
    bool amount = false;    // Text2 "金額（税込み）"
    bool payment = false;   // DBList2 "入金方法"
    bool known() const { return meter || amount; }
};
KindBoxes kindBoxes(int kind);
bool isBilled(int kind);
// Kinds 1 and 7 measure usage from the latest reading of kind 1 or 8.
bool measuresUsage(int kind);

// A box's text read as the operator meant it: one number, blanks around it
// aside, in half- or full-width digits, with thousands separators allowed.
// A text that is not wholly a number, or whose number lies outside the range
// of the item (Currency for the meter and the amount, Single for the
// quantities), has no value.
std::optional<Currency> readCurrencyBox(const QString& text);
std::optional<float> readQuantityBox(const QString& text);

// The texts of the four input boxes as they stand.
struct BoxTexts {
    QString meter;     // Text1
    QString amount;    // Text2
    QString delivered; // Text3
    QString remaining; // Text5
};

// Empties the buffer for a new event of the customer on the day.
void resetEntry(GasEntry& entry, const Date& today, const QString& customerCode);
// A change of kind: every item but the date and the customer back to 0.
void clearItems(GasEntry& entry);

// The meter value usage is measured from: the customer's latest row of kind
// 1 or 8 as the history lists it (by date, within one date in the order
// stored); nullopt when the customer has none.
std::optional<Currency> baseReading(Database& db, const QString& customerCode);

// The customer's history as the screen's grid lists it, oldest first, events
// of one date in the order they were stored: ガス年月日,
// ガスデータ種別, ガス検針値, ガス使用量, ガス配送量, ガス残ガス量, ガス金額. One
// parameter: the customer code.
QString historyStatement();
// The kinds, by code: ガスデータ種別コード, ガスデータ種別.
QString kindListStatement();
// The means of payment, accounts 1 to 999 by number: 科目番号, 勘定科目名.
QString paymentListStatement();
// The name the kind table gives a kind, or an empty text.
QString kindName(Database& db, int kind);

// What the operator is told when a kind that measures usage is chosen for a
// customer without any reading yet: the first reading goes in as kind 8.
QString firstReadingMessage(Database& db);

// Usage of a metered kind: the meter value less the base reading; nullopt
// without a base or when the difference leaves the Currency range.
std::optional<Currency> usageFrom(const Currency& meter, const std::optional<Currency>& base);

// Whether the entry may be stored: its kind is one the screen knows, every
// box the kind shows holds a number, and the kind's conditions hold (meter
// given; amount other than 0 and whole yen; delivered quantity other than 0;
// remaining gas other than 0 for kind 5 and given for kind 9; usage 0 or more
// from a base reading; a means of payment chosen).
bool isComplete(const GasEntry& entry, const BoxTexts& texts, bool hasBase);

// An entry the store refuses before writing anything; the message is the
// operator's.
class GasEntryRefused : public OperatorError {
public:
    explicit GasEntryRefused(const QString& message) : OperatorError(message) {}
};

struct StoredEvent {
    // The slip number of a billed event's sale; nullopt for the other kinds.
    std::optional<std::int32_t> slipNumber;
};

// Stores the event `entry` as one transaction: the ガスデータ row (items of
// boxes the kind does not show as 0) and, for kinds 1 and 9, the sales line
// and the journal row under the current slip number of `config` together
// with the advanced counter in the file at `configPath`. Nothing is written
// when anything fails:
//  - GasEntryRefused: no customer, a kind the screen does not know, or a
//    billed event without a whole non-zero amount or a means of payment, a
//    date in the period the year-end closed;
//  - SlipNumberOverflow: the slip number leaves the signed 32-bit range or
//    the counter cannot advance (billed kinds only);
//  - ConfigurationError: the file cannot be rewritten (the counter in memory
//    is put back, so the number is used by the next entry);
//  - DatabaseError: a statement was refused.
StoredEvent storeEvent(Database& db, Configuration& config, const GasEntry& entry,
                       const QString& configPath = configurationFilePath());

} // namespace gas
