#pragma once
// The direct-debit result run: reads the file the bank returned and records
// one payment per debited customer, exactly as a payment entered by hand: a
// journal row in 経理マスター仮 (debit the chosen means, credit receivables
// 110, the customer as counterparty) under its own slip number, in the order
// of the file. The customers' received totals change when the daily update
// posts the rows. A run is one transaction. Only a whole file is booked; the
// file's fingerprint is kept so that the same file run again is noticed, and
// each payment booked (customer, debit date, amount), so that another file
// holding it does not book it a second time. The screen frm売掛FD入力 is in
// BankDebitResultScreen.h.

#include "core/OperatorError.h"
#include "session/Routines.h"
#include "session/Session.h"
#include "db/Database.h"
#include "receivables/BankDebitFile.h"

#include <optional>
#include <vector>

// The file has no data record with a result code (the request file fed
// back, or some other file): nothing can be recorded from it.
// message() holds the operator's words.
class NotAResultFile : public OperatorError {
public:
    NotAResultFile();
};

// The file is not whole (cut short, a record of the wrong length or kind,
// a trailer that disagrees with the data records): nothing is recorded
// from it. `problem()` names the line; message(), the operator's words, is
// the problem and that nothing was recorded.
class DamagedResultFile : public OperatorError {
public:
    explicit DamagedResultFile(const QString& problem);
    const QString& problem() const { return problem_; }

private:
    QString problem_;
};

// What a result file means for the books, worked out before anything is
// written.
struct ResultPlan {
    struct Payment {
        int recordNumber = 0;
        QString customerCode; // as 顧客マスター holds it
        QString customerName; // 顧客名前
        Currency amount;
    };
    // A payment an earlier result run booked: the same customer, debit date
    // and amount, its journal row still in the books.
    struct EarlierPayment {
        Payment payment;
        std::int32_t slipNumber = 0;
        Date processedOn; // the day of that run
    };
    struct Unmatched {
        int recordNumber = 0;
        QString customerCode; // as the file holds it
        Currency amount;
    };
    Date debitDate; // the header's month and day in the year nearest the payment date
    std::vector<Payment> payments; // debited customers to book, in file order
    Currency paymentsTotal;
    // Debited customers whose payment is in the books already: not booked.
    std::vector<EarlierPayment> alreadyBooked;
    Currency alreadyBookedTotal;
    int notDebited = 0; // data records whose result code is not "0"
    Currency notDebitedTotal;
    std::vector<Unmatched> unmatched; // debited, but no such customer
    Currency unmatchedTotal;
    // Debited records whose customer code is blank: recorded for nobody,
    // and reported.
    std::vector<int> unreadable;
    QByteArray fingerprint;
};

// Matches the debited records against 顧客マスター and the payments earlier
// runs booked. A file that is not whole throws DamagedResultFile, one with
// no result code in any data record NotAResultFile.
ResultPlan planResultRun(Database& db, const bankfile::ResultFile& file, const Date& paymentDate);
// The date of that month and day nearest to `near` (the header of a result
// file holds no year).
Date debitDateNear(int month, int day, const Date& near);
// Books the payments earlier runs booked again as well, in file order: the
// operator chose to run the same file a second time.
void bookEarlierPaymentsAgain(ResultPlan& plan);

// A result file processed before, as the fingerprint table remembers it.
struct ProcessedRun {
    Date processedOn;  // the day of the run
    Date paymentDate;  // 経理年月日 of its rows
    int payments = 0;
    Currency total;
    QString fileName;
};
// The latest run of a file with this fingerprint, or nullopt.
std::optional<ProcessedRun> previousRun(Database& db, const QByteArray& fingerprint);

// Throws SlipNumberOverflow when `count` slip numbers from the current one
// do not all fit the signed 32-bit range, or the counter cannot advance
// past them.
void checkSlipNumbers(const Configuration& config, int count);
// Why `count` slip numbers cannot be had, and what the operator can do.
QString slipNumbersMessage(const Configuration& config, int count);

struct BookedRun {
    std::int32_t firstSlipNumber = 0;
    std::int32_t lastSlipNumber = 0;
    // Empty when the counter reached the configuration file; else why it
    // did not (the rows are stored all the same).
    QString counterError;
};

// Records the plan's payments as journal rows dated `paymentDate`, debit
// `debitAccount`, with consecutive slip numbers, and remembers the file's
// fingerprint and each payment, all in one transaction; then advances the
// counter past the numbers used and rewrites the configuration file.
// Numbers that do not fit throw SlipNumberOverflow, a payment date in the
// period the year-end closed ClosedPeriodError and a refused row
// DatabaseError, with nothing written and the counter unchanged. A plan
// without payments writes nothing.
BookedRun bookResultRun(Database& db, Configuration& config, const ResultPlan& plan, const Date& paymentDate,
                        int debitAccount, const QString& fileName,
                        const QString& configPath = configurationFilePath());

// The lines added to "書込が完了しました。": what was recorded, what the bank
// did not debit, and what was debited but could not be recorded.
QString resultRunSummary(const ResultPlan& plan);
// The question asked before a file processed before is run again.
QString repeatedRunQuestion(const ProcessedRun& run);
// The question asked before the rest of a file is booked when some of its
// payments are in the books already; they are listed.
QString alreadyBookedQuestion(const ResultPlan& plan);
// The message when every payment of the file is in the books already.
QString everyPaymentBookedMessage(const ResultPlan& plan);
