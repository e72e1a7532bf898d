#include "accounting/Entries.h"

#include "core/Text.h"
#include "db/Database.h"

#include <limits>
#include <stdexcept>

namespace accounting {

namespace {

const QString Suppliers = QStringLiteral(
    "SELECT 経理仕入経費先コード, 経理仕入経費先名 FROM 経理借方相手先ＴＢＬ"
    " WHERE 経理仕入経費先コード < 10000 ORDER BY 経理仕入経費先コード");
const QString Payees = QStringLiteral(
    "SELECT 経理仕入経費先コード, 経理仕入経費先名 FROM 経理借方相手先ＴＢＬ"
    " WHERE 経理仕入経費先コード > 10000 ORDER BY 経理仕入経費先コード");
const QString AllCounterparties = QStringLiteral(
    "SELECT 経理仕入経費先コード, 経理仕入経費先名 FROM 経理借方相手先ＴＢＬ ORDER BY 経理仕入経費先コード");
const QString PurchaseKinds = QStringLiteral(
    "SELECT 科目番号, 勘定科目名 FROM 勘定科目TBL WHERE 科目番号 >= 5500 AND 科目番号 < 6000 ORDER BY 科目番号");
const QString ExpenseKinds = QStringLiteral(
    "SELECT 科目番号, 勘定科目名 FROM 勘定科目TBL"
    " WHERE (科目番号 >= 6000 AND 科目番号 < 8000) OR (科目番号 >= 9000 AND 科目番号 < 10000) ORDER BY 科目番号");
const QString MeansOfPayment = QStringLiteral(
    "SELECT 科目番号, 勘定科目名 FROM 勘定科目TBL WHERE 科目番号 > 0 AND 科目番号 < 1000 ORDER BY 科目番号");
const QString AllAccounts = QStringLiteral("SELECT 科目番号, 勘定科目名 FROM 勘定科目TBL ORDER BY 科目番号");

} // namespace

const EntryDefinition& entryDefinition(EntryKind kind)
{
    static const EntryDefinition purchase{
        EntryKind::Purchase,
        QStringLiteral("frm仕入"),
        QStringLiteral("仕入"),
        QStringLiteral("仕入日"),
        QStringLiteral("仕入金額（税込み合計支払い金額）"),
        QStringLiteral("仕入先"),
        QStringLiteral("課税種別"),
        QStringLiteral("支払方法"),
        Suppliers,
        PurchaseKinds,
        MeansOfPayment,
        true,
        QStringLiteral("仕入先の追加入力"),
        QStringLiteral("frm設定仕入先"),
        QStringLiteral("仕入先設定"),
    };
    static const EntryDefinition expense{
        EntryKind::Expense,
        QStringLiteral("frm経費"),
        QStringLiteral("経費"),
        QStringLiteral("経費発生日"),
        QStringLiteral("経費金額（税込み合計支払い金額）"),
        QStringLiteral("経費先"),
        QStringLiteral("経費種別"),
        QStringLiteral("支払方法"),
        Payees,
        ExpenseKinds,
        MeansOfPayment,
        true,
        QStringLiteral("経費支払先の追加入力"),
        QStringLiteral("frm設定経費先"),
        QStringLiteral("経費先設定"),
    };
    static const EntryDefinition journal{
        EntryKind::Journal,
        QStringLiteral("frm経理入力"),
        QStringLiteral("経理入力"),
        QStringLiteral("仕訳日"),
        QStringLiteral("経理金額"),
        QStringLiteral("借方相手先"),
        QStringLiteral("借方"),
        QStringLiteral("貸方"),
        AllCounterparties,
        AllAccounts,
        AllAccounts,
        false,
        {},
        {},
        {},
    };
    switch (kind) {
    case EntryKind::Purchase:
        return purchase;
    case EntryKind::Expense:
        return expense;
    case EntryKind::Journal:
        return journal;
    }
    throw std::out_of_range("no such entry kind");
}

void resetEntry(JournalEntry& entry, const Date& today)
{
    entry.entryDate = today;
    entry.amount = Currency();
    entry.debitAccount = 0;
    entry.debitCounterparty = 0;
    entry.creditAccount = 0;
    entry.creditCounterparty = QStringLiteral("0");
}

Currency typedEntryAmount(const QString& text)
{
    return text::parseCurrency(text).value_or(Currency());
}

bool needsReceivableCustomer(const JournalEntry& entry)
{
    return entry.debitAccount == ReceivablesAccountCode || entry.creditAccount == ReceivablesAccountCode;
}

QString receivableCustomer(const JournalEntry& entry)
{
    const QString code = entry.creditCounterparty.trimmed();
    return code == QStringLiteral("0") ? QString() : code;
}

bool entryComplete(EntryKind kind, const JournalEntry& entry)
{
    if (entry.amount.isZero() || entry.debitAccount == 0 || entry.creditAccount == 0)
        return false;
    if (needsReceivableCustomer(entry) && receivableCustomer(entry).isEmpty())
        return false;
    return !entryDefinition(kind).counterpartyRequired || entry.debitCounterparty != 0;
}

std::optional<StoredEntry> storeEntry(Database& db, SessionState& state, EntryKind kind, const JournalEntry& entry,
                                      const QString& configPath)
{
    if (!entryComplete(kind, entry))
        return std::nullopt;
    return storeJournalRow(db, state.config, entry, entry.debitCounterparty,
                           needsReceivableCustomer(entry) ? entry.creditCounterparty : QStringLiteral("0"), configPath);
}

} // namespace accounting
