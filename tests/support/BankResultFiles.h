#pragma once
// The bank's answer to a direct-debit request as the bank writes it: data
// records carrying a result code, and the whole file around them.

#include "receivables/BankDebitFile.h"

#include <QByteArray>
#include <QList>
#include <cstdint>

// A data record of the result file for customer `code` with the bank's
// result code at position 112.
inline QByteArray resultRecord(const QString& code, std::int64_t amount, char result)
{
    bankfile::DebitCustomer c;
    c.code = code;
    c.kanaName = QStringLiteral("ﾃｽﾄ");
    c.amount = Currency::fromUnits(amount);
    c.bankCode = 991;
    c.branchCode = QStringLiteral("105");
    c.accountType = 1;
    c.accountNumber = QStringLiteral("1234567");
    c.bankKana = QStringLiteral("ﾋﾊﾞﾘｷﾞﾝｺｳ");
    QByteArray record = bankfile::dataRecord(c);
    record[111] = result;
    return record;
}

// A whole result file of settlement method 991 debited on `debitDate`:
// header, the data records, a trailer with their count and total, the end
// record.
inline QByteArray resultFile(const QList<QByteArray>& data, const QByteArray& lineEnd = "\r\n",
                             const Date& debitDate = Date::fromParts(2024, 6, 27))
{
    bankfile::SettlementMethod m;
    m.code = 991;
    QByteArray bytes = bankfile::headerRecord(m, debitDate) + lineEnd;
    Currency total;
    for (const QByteArray& r : data) {
        bytes += r + lineEnd;
        total += Currency::fromUnits(r.mid(80, 10).toLongLong());
    }
    return bytes + bankfile::trailerRecord(data.size(), total) + lineEnd + bankfile::endRecord() + lineEnd;
}
