#include "receivables/BalanceChange.h"

#include "core/Text.h"

std::optional<Currency> typedBilledAmount(const QString& text)
{
    if (text.trimmed().isEmpty())
        return Currency();
    return text::parseCurrency(text);
}

bool changeLastInvoiceAmount(Database& db, const QString& code, const Currency& amount)
{
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛前回請求金額 = ? WHERE 顧客コード = ?"),
            {sqlValue(amount), code});
    return db.changes() == 1;
}
