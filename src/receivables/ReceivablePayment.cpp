#include "receivables/ReceivablePayment.h"

#include "core/Text.h"
#include "db/Database.h"

#include <limits>

QString paymentMeansStatement()
{
    return QStringLiteral("SELECT 科目番号, 勘定科目名 FROM 勘定科目TBL WHERE 科目番号 > 0 AND 科目番号 < 1000 ORDER BY 科目番号");
}

void startPayment(SessionState& state)
{
    JournalEntry& j = state.journal;
    j.entryDate = state.customer.slipDate;
    j.amount = state.customer.lastInvoiceAmount;
    j.debitAccount = 0;
    j.debitCounterparty = 0;
    j.creditAccount = PaymentCreditAccount;
    j.creditCounterparty = text::fixed(state.customer.code, 13);
}

Currency typedPaymentAmount(const QString& text)
{
    return text::parseCurrency(text).value_or(Currency());
}

bool paymentReady(const JournalEntry& entry)
{
    return !entry.amount.isZero() && entry.debitAccount != 0;
}

std::optional<StoredPayment> storePayment(Database& db, SessionState& state, const QString& configPath)
{
    const JournalEntry& j = state.journal;
    if (!paymentReady(j) || j.creditCounterparty.trimmed().isEmpty())
        return std::nullopt;
    // A counter at the largest value can number this payment but cannot
    // advance past it: the next entry would get the same number.
    if (state.config.slipCounter == std::numeric_limits<std::int32_t>::max())
        throw SlipNumberOverflow();

    StoredPayment stored;
    stored.slipNumber = currentSlipNumber(state.config);
    {
        Transaction tx(db);
        db.exec(QStringLiteral("INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理金額, 経理借方コード,"
                               " 経理借方相手先コード, 経理貸方コード, 経理貸方相手先コード) VALUES (?, ?, ?, ?, 0, ?, ?)"),
                {stored.slipNumber, sqlValue(j.entryDate), sqlValue(j.amount), j.debitAccount, j.creditAccount,
                 j.creditCounterparty});
        tx.commit();
    }
    // The row is kept; a file that cannot be written leaves only the
    // counter in the file behind, which start-up moves past the numbers in
    // use. The counter in memory has advanced, so this run never reuses it.
    try {
        WriteConfiguration(state.config, configPath);
    } catch (const ConfigurationError& e) {
        stored.counterError = e.message();
    }
    return stored;
}
