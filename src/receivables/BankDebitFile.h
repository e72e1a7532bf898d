#pragma once
// The bank's fixed-length direct-debit files. The request file the shop
// hands to its collecting bank holds a header record (1), one data record (2)
// per customer, a trailer record (8) and an end record (9); the bank returns
// the same file as the result file, each data record's result code filled
// in. Every record is 120 bytes of Shift_JIS, written followed by CR LF.
// Fields start at fixed positions and are filled by four rules: text left-
// aligned (value, then blanks), text right-aligned (blanks, then value),
// zero-filled number, blank. A value longer than its field keeps its
// leading characters. Widget-free: the screens and tests call this directly.

#include "core/Currency.h"
#include "core/Date.h"
#include "core/OperatorError.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace bankfile {

constexpr int RecordLength = 120;
// The postal savings bank, whose branch and account numbers are written
// differently.
constexpr int PostalSavingsBank = 9900;

// The one-byte form of a text as a bank record holds it: letters, digits,
// blanks, ASCII signs and half-width katakana. Full-width katakana become
// their half-width forms (ガ becomes ｶﾞ, two characters), full-width letters,
// digits and signs their ASCII forms, the ideographic space a blank, and ー、。「」・
// ゛゜ their half-width forms. nullopt when a character has no one-byte form
// (kanji, hiragana, ヰ), and `refused` then holds the first such character.
std::optional<QByteArray> singleByteText(const QString& text, QString* refused = nullptr);

// A value that cannot be written into its field. `field()` is the column's
// name; `what()` / `message()` say in Japanese what is wrong with it.
class FieldError : public OperatorError {
public:
    FieldError(const QString& field, const QString& message) : OperatorError(message), field_(field) {}
    const QString& field() const { return field_; }

private:
    QString field_;
};

// The collecting arrangement (決済方法ＴＢＬ): the shop's contract with the
// bank that collects for it. The code is also the bank's number.
struct SettlementMethod {
    int code = 0;             // 決済方法コード
    QString name;             // 決済方法
    QString fileName;         // 決済銀行ファイル名
    QString typeCode;         // 決済銀行振替種別コード (2)
    QString contractorCode;   // 決済銀行振替委託者コード (10)
    QString contractorKana;   // 決済銀行振替委託者名カナ (40)
    QString bankKana;         // 決済銀行名カナ (15)
    QString branchNumber;     // 決済銀行支店番号 (3)
    QString branchKana;       // 決済銀行支店名カナ (15)
    QString accountNumber;    // 決済銀行口座番号 (8: deposit kind + 7 digits)
};

// One customer of a debit run (顧客マスター), with the kana name of its bank
// (引落銀行ＴＢＬ), nullopt when the bank is not registered.
struct DebitCustomer {
    QString code;                    // 顧客コード
    QString kanaName;                // 顧客名前カナ
    Currency amount;                 // 顧客売掛前回請求金額
    std::int64_t bankCode = 0;       // 顧客引落銀行コード
    QString branchCode;              // 顧客引落銀行支店コード
    std::int64_t accountType = 0;    // 顧客引落口座種別
    QString accountNumber;           // 顧客引落口座番号
    std::optional<QString> bankKana; // 引落銀行名カナ
};

// The four records, 120 bytes each, without the line end. A value that
// does not fit (a character without a one-byte form, a number longer than
// its zero-filled field or below 0, an amount with a part below one yen)
// throws FieldError.
QByteArray headerRecord(const SettlementMethod& method, const Date& debitDate);
// The customer's bank must be registered (bankKana set), else FieldError.
QByteArray dataRecord(const DebitCustomer& customer);
QByteArray trailerRecord(std::int64_t count, Currency total);
QByteArray endRecord();

// A customer that keeps the file from being written, and why.
struct RequestProblem {
    QString customerCode; // empty for a problem of the settlement method
    QString kanaName;
    bool bankMissing = false; // the customer's bank is not in 引落銀行ＴＢＬ
    std::int64_t bankCode = 0;
    QString text;             // what is wrong, in Japanese
};

// The whole request file of one run, built in memory before anything is
// written.
struct RequestFile {
    QByteArray bytes;   // every record with CR LF; empty when there are problems
    int count = 0;      // data records
    Currency total;     // their amounts
    // Customers with a credit balance (a last invoice below 0): nothing to
    // debit, so they are left out of the records, the count and the total.
    std::vector<DebitCustomer> creditBalances;
    // Anything here means nothing may be written.
    std::vector<RequestProblem> problems;
    bool writable() const { return problems.empty() && count > 0; }
};

// Header, one data record per customer whose amount is above 0 (in the
// order given), trailer and end record. Every customer is checked, so all
// problems are reported at once.
RequestFile buildRequestFile(const SettlementMethod& method, const std::vector<DebitCustomer>& customers,
                             const Date& debitDate);

// ------------------------------------------------------------ result file

// The records of a file: lines ended by CR LF, LF or CR; a file without
// line ends whose size is a multiple of 120 is read as 120-byte records.
// A trailing end-of-file mark (0x1A) and empty last line are dropped.
QList<QByteArray> splitRecords(const QByteArray& bytes);

// One data record of a result file.
struct ResultRecord {
    int recordNumber = 0;    // position of the record in the file, from 1
    char resultCode = ' ';   // position 112; ' ' when the bank wrote none
    QString customerCode;    // positions 92-104, trailing blanks removed
    // Positions 81-90 as whole yen; nullopt when they are not a number.
    std::optional<Currency> amount;
    bool debited() const { return resultCode == '0'; }
};

struct ResultFile {
    std::vector<ResultRecord> dataRecords;
    // Hash of the records (line ends aside), by which a file processed
    // before is recognised.
    QByteArray fingerprint;
    // The debit date of the header (positions 55-58); 0 when unreadable.
    int debitMonth = 0;
    int debitDay = 0;
    // Empty when the file is whole: a header first, then the data records,
    // a trailer whose figures agree with them and an end record, every
    // record 120 bytes. Else the first thing that keeps it from being
    // booked, naming its line, as the operator reads it.
    QString problem;
    bool whole() const { return problem.isEmpty(); }
    // True when at least one data record carries a result code: the
    // request file fed back has none.
    bool hasResultCodes() const;
};

// Reads the data records (first byte "2") and checks that the file is
// whole. The records of a file that is not are read all the same.
ResultFile readResultFile(const QByteArray& bytes);

// ------------------------------------------------------------ the drive

// The folder that stands for the floppy drive A:: the one chosen on a bank
// screen during this run, else "FD" in the current directory (the
// program's own, made current at start-up). Always an absolute path.
QString bankDriveFolder();
// Chooses another folder (a USB stick) for the rest of the run; an empty
// text returns to the default.
void setBankDriveFolder(const QString& folder);

// The file of that name in the drive folder.
QString bankFilePath(const QString& fileName);

// Why a settlement method's 決済銀行ファイル名 cannot name a file in the
// drive folder (empty, "1" for a method without a bank file, a folder
// separator, ":" or ".."), or an empty text when it can.
QString fileNameProblem(const QString& methodName, const QString& fileName);

// A bank file that cannot be written or read; the message is Japanese and
// names the file.
class DriveError : public OperatorError {
public:
    explicit DriveError(const QString& message) : OperatorError(message) {}
};

// Writes the bytes as the file, atomically: the file is replaced only when
// every byte is on the disk, so a failure leaves an earlier file as it was.
// The folder is created when missing. Throws DriveError.
void writeBankFile(const QString& path, const QByteArray& bytes);

} // namespace bankfile
