#pragma once
// The shared routines (mdlSubRt): the configuration file HMWcfg.dat, the
// slip numbers, and the operations on the slip buffer of the session state.

#include "core/OperatorError.h"
#include "session/Session.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>

class Database;

// A configuration file that cannot be read or written; the message is
// Japanese, names the file and says what is wrong.
class ConfigurationError : public OperatorError {
public:
    explicit ConfigurationError(const QString& message) : OperatorError(message) {}
};

// The next slip number does not fit: the counter is at the largest value, or
// prefix × 100000000 + counter leaves the signed 32-bit range.
class SlipNumberOverflow : public ConfigurationError {
public:
    SlipNumberOverflow() : ConfigurationError(QStringLiteral("伝票番号が上限を超えました。伝票を登録できません。")) {}
};

// More lines than the slip buffer holds.
class SlipBufferFull : public OperatorError {
public:
    SlipBufferFull()
        : OperatorError(QStringLiteral("伝票の明細がいっぱいです。これ以上明細を追加できません。"), "slip buffer full") {}
};

inline const QString ConfigurationFileName = QStringLiteral("HMWcfg.dat");

// HMWcfg.dat in the current directory, which start-up makes the program's
// own directory.
QString configurationFilePath();

// Reads the configuration from its file bytes: 18 double-quoted values,
// then the registration number and the reduced rate when the file has them
// (an older installation's file has not: no number, and the lower rate is
// the reduced one), Shift_JIS, or UTF-8 when the bytes are valid UTF-8.
// Derives the database path and the three numbers.
Configuration parseConfiguration(const QByteArray& bytes, const QString& fileName);
// The file bytes of a configuration: 20 quoted lines with CR LF, Shift_JIS.
// A reader of the first 18 values (an older program) passes over the rest.
QByteArray configurationBytes(const Configuration& config, const QString& fileName);

// Reads HMWcfg.dat; a file that is missing, unreadable or not a
// configuration throws ConfigurationError.
Configuration readConfiguration(const QString& path = configurationFilePath());
// Advances the slip counter and rewrites HMWcfg.dat (replaced atomically, so
// a crash never leaves a short file). A counter at the largest value throws
// SlipNumberOverflow and writes nothing. When the file cannot be written,
// the counter in memory is advanced all the same (the number was used) and
// ConfigurationError is thrown.
void writeConfiguration(Configuration& config, const QString& path = configurationFilePath());

// Slip number = prefix × 100000000 + counter, or SlipNumberOverflow.
std::int32_t currentSlipNumber(const Configuration& config);

// A journal row stored under a slip number of its own.
struct StoredJournalRow {
    std::int32_t slipNumber = 0;
    // Empty when the next number reached the configuration file; else why
    // it did not (the row is stored all the same).
    QString counterError;
};
// Stores a journal entry (its date, amount, debit and credit accounts) as
// one row of 経理マスター仮 with the given counterparties under the current
// slip number, committed, then advances the counter in HMWcfg.dat. The row is kept when the file cannot be written: only the
// counter in the file stays behind, and start-up moves it past the numbers
// in use; the counter in memory has advanced, so this run never reuses it.
// A counter at the largest value throws SlipNumberOverflow, a date in the
// period the year-end closed ClosedPeriodError; both store nothing.
StoredJournalRow storeJournalRow(Database& db, Configuration& config, const JournalEntry& entry,
                                 int debitCounterparty, const QString& creditCounterparty, const QString& configPath);

// After a crash between storing a slip and rewriting the file, the file's
// counter may point at a number the database already holds. Moves the
// counter past the highest slip number of the current prefix in any table
// and rewrites the file; returns true when it had to.
bool recoverSlipCounter(Database& db, Configuration& config, const QString& path);

// Empties the slip buffer, its totals and the chosen customer's name and
// address (postal code and amounts are left as they are).
void clearSlip(SessionState& state);
// Recomputes the seven slip totals from the buffer and the two tax rates.
// Totals beyond the Currency range leave the totals as they were and
// return false; the screen tells the operator (calculationTooLargeMessage).
bool computeSlipTotals(SessionState& state);

// What addSlipLine did.
enum class SlipLineOutcome {
    Added,
    NothingToAdd, // price or quantity 0: no line
    TooLarge,     // the amount or a total beyond the Currency range: no line
};
// Asks the operator for the unit price of a product whose price is 0;
// nullopt when the operator gave none.
using UnitPriceQuestion = std::function<std::optional<QString>()>;
// Adds the product being chosen as a new line. A unit price of 0 is asked
// for first through `askUnitPrice`. A full buffer throws SlipBufferFull.
SlipLineOutcome addSlipLine(SessionState& state, const UnitPriceQuestion& askUnitPrice);
// The operator's words for an amount or total beyond the Currency range,
// and the title they are shown under.
QString calculationTooLargeMessage();
QString calculationTooLargeTitle();
// Refills 勘定科目TBLＣＯＰＹ from 勘定科目TBL.
void refreshAccountCopy(Database& db);
