#include "receivables/ReceivablePayment.h"

#include "core/Text.h"
#include "db/Database.h"

#include <limits>

QString paymentMeansStatement()
{
    return QStringLiteral("SELECT 科目番号, 勘定科目名 FROM 勘定科目TBL WHERE 科目番号 > 0 AND 科目番号 < 1000 ORDER BY 科目番号");
}

JournalEntry startPayment(const ChosenCustomer& customer)
{
    JournalEntry j;
    j.entryDate = customer.slipDate;
    j.amount = customer.lastInvoiceAmount;
    j.debitAccount = 0;
    j.debitCounterparty = 0;
    j.creditAccount = PaymentCreditAccount;
    j.creditCounterparty = text::fixed(customer.code, 13);
    return j;
}

Currency typedPaymentAmount(const QString& text)
{
    return text::parseCurrency(text).value_or(Currency());
}

bool paymentReady(const JournalEntry& entry)
{
    return !entry.amount.isZero() && entry.debitAccount != 0;
}

std::optional<StoredPayment> storePayment(Database& db, SessionState& state, const JournalEntry& payment,
                                          const QString& configPath)
{
    if (!paymentReady(payment) || payment.creditCounterparty.trimmed().isEmpty())
        return std::nullopt;
    return storeJournalRow(db, state.config, payment, 0, payment.creditCounterparty, configPath);
}
