// The bank's result file on arbitrary bytes (a damaged floppy, the wrong
// file chosen): records are split and read without a crash, and what is
// read stays within the record it came from.
#include "receivables/BankDebitFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> records = bankfile::splitRecords(bytes);
    qsizetype total = 0;
    for (const QByteArray& r : records)
        total += r.size();
    if (total > bytes.size())
        std::abort();

    const bankfile::ResultFile file = bankfile::readResultFile(bytes);
    if (file.dataRecords.size() > std::size_t(records.size()))
        std::abort();
    int previous = 0;
    for (const bankfile::ResultRecord& r : file.dataRecords) {
        if (r.recordNumber <= previous || r.recordNumber > records.size())
            std::abort();
        previous = r.recordNumber;
        if (r.customerCode.size() > 13)
            std::abort();
        // Ten digits of whole yen at most.
        if (r.amount && (r.amount->ticks() < 0 || r.amount->ticks() > 9999999999LL * Currency::Scale))
            std::abort();
        (void)r.debited();
    }
    (void)file.hasResultCodes();
    // The same bytes are recognised as the same file.
    if (bankfile::readResultFile(bytes).fingerprint != file.fingerprint)
        std::abort();
    return 0;
}
