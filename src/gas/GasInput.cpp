#include "gas/GasInput.h"

#include "core/Text.h"
#include "db/ClosedPeriod.h"
#include "db/Database.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace gas {

namespace {

QString plainNumberText(const QString& text)
{
    return text::halfWidthDigits(text).trimmed();
}

} // namespace

KindBoxes kindBoxes(int kind)
{
    KindBoxes b;
    switch (kind) {
    case MeteredBilled:
        b.meter = b.amount = b.usage = b.payment = true;
        break;
    case Exchange:
        b.meter = b.delivered = b.remaining = true;
        break;
    case Delivery:
        b.meter = b.delivered = true;
        break;
    case Metered:
        b.meter = b.usage = true;
        break;
    case MeterStart:
        b.meter = true;
        break;
    case CylinderSale:
        b.amount = b.delivered = b.remaining = b.payment = true;
        break;
    default:
        break;
    }
    return b;
}

bool isBilled(int kind)
{
    return kind == MeteredBilled || kind == CylinderSale;
}

bool measuresUsage(int kind)
{
    return kind == MeteredBilled || kind == Metered;
}

std::optional<Currency> readCurrencyBox(const QString& text)
{
    const QString t = plainNumberText(text);
    if (t.isEmpty())
        return std::nullopt;
    if (auto exact = text::parseCurrency(t))
        return exact;
    // A number in exponent form ("1.5E3") is still one number; beyond the
    // Currency range ("1e20") it is none.
    if (!text::isNumber(t) || t.contains(u','))
        return std::nullopt;
    const double v = text::Val(t);
    if (!std::isfinite(v))
        return std::nullopt;
    try {
        return Currency::fromDouble(v);
    } catch (const CurrencyOverflow&) {
        return std::nullopt;
    }
}

std::optional<float> readQuantityBox(const QString& text)
{
    const QString t = plainNumberText(text);
    if (t.isEmpty())
        return std::nullopt;
    double v = 0;
    if (auto exact = text::parseCurrency(t))
        v = exact->toDouble();
    else if (text::isNumber(t) && !t.contains(u','))
        v = text::Val(t);
    else
        return std::nullopt;
    if (!std::isfinite(v) || std::fabs(v) > double(FLT_MAX))
        return std::nullopt;
    return float(v);
}

void resetEntry(GasEntry& entry, const Date& today, const QString& customerCode)
{
    entry = GasEntry();
    entry.entryDate = today;
    entry.customerCode = customerCode;
}

void clearItems(GasEntry& entry)
{
    entry.meterValue = Currency();
    entry.usage = Currency();
    entry.delivered = 0;
    entry.remaining = 0;
    entry.amount = Currency();
    entry.paymentAccount = 0;
}

QString historyStatement()
{
    return QStringLiteral(
        "SELECT ガス年月日, ガスデータ種別, ガス検針値, ガス使用量, ガス配送量, ガス残ガス量, ガス金額"
        " FROM ガスデータ, ガスデータ種別コードＴＢＬ"
        " WHERE ガス相手先コード = ?"
        " AND ガスデータ.ガスデータ種別コード = ガスデータ種別コードＴＢＬ.ガスデータ種別コード"
        " ORDER BY ガス年月日, ガスデータ.rowid");
}

QString kindListStatement()
{
    return QStringLiteral("SELECT ガスデータ種別コード, ガスデータ種別 FROM ガスデータ種別コードＴＢＬ ORDER BY ガスデータ種別コード");
}

QString paymentListStatement()
{
    return QStringLiteral("SELECT 科目番号, 勘定科目名 FROM 勘定科目TBL WHERE 科目番号 > 0 AND 科目番号 < 1000 ORDER BY 科目番号");
}

QString kindName(Database& db, int kind)
{
    const QVariant name = db.scalar(
        QStringLiteral("SELECT ガスデータ種別 FROM ガスデータ種別コードＴＢＬ WHERE ガスデータ種別コード = ?"), {kind});
    return name.isValid() ? name.toString() : QString();
}

std::optional<Currency> baseReading(Database& db, const QString& customerCode)
{
    // The last row of the history (same rows, same order) whose kind is a
    // meter reading that usage counts from. Within one date the row stored
    // last is the latest: a kind's name is the operator's to change and says
    // nothing about which event came first.
    const QVariant meter = db.scalar(
        QStringLiteral("SELECT ガス検針値 FROM ガスデータ, ガスデータ種別コードＴＢＬ"
                       " WHERE ガス相手先コード = ?"
                       " AND ガスデータ.ガスデータ種別コード = ガスデータ種別コードＴＢＬ.ガスデータ種別コード"
                       " AND ガスデータ.ガスデータ種別コード IN (?, ?)"
                       " ORDER BY ガス年月日 DESC, ガスデータ.rowid DESC LIMIT 1"),
        {customerCode, MeteredBilled, MeterStart});
    if (!meter.isValid())
        return std::nullopt;
    return currencyValue(meter);
}

QString firstReadingMessage(Database& db)
{
    const QString kind8 = kindName(db, MeterStart);
    const QString name = kind8.isEmpty() ? QStringLiteral("「種別 8」") : QStringLiteral("「%1」（種別 8）").arg(kind8);
    return QStringLiteral("この顧客にはまだメーター値の記録がないため、使用量を計算できません。\n"
                          "最初のメーター値は%1で入力してください。").arg(name);
}

std::optional<Currency> usageFrom(const Currency& meter, const std::optional<Currency>& base)
{
    if (!base)
        return std::nullopt;
    try {
        return meter - *base;
    } catch (const CurrencyOverflow&) {
        return std::nullopt;
    }
}

bool isComplete(const GasEntry& e, const BoxTexts& t, bool hasBase)
{
    const KindBoxes b = kindBoxes(e.kind);
    if (!b.known())
        return false;
    // Every box the kind shows must hold a number: a box of letters or a
    // value beyond its range is never stored as 0.
    if (b.meter && !readCurrencyBox(t.meter))
        return false;
    if (b.amount && !readCurrencyBox(t.amount))
        return false;
    if (b.delivered && !readQuantityBox(t.delivered))
        return false;
    if (b.remaining && !readQuantityBox(t.remaining))
        return false;

    if (b.usage && (!hasBase || e.usage < Currency()))
        return false;
    if (b.delivered && e.delivered == 0.0f)
        return false;
    if (e.kind == Exchange && e.remaining == 0.0f)
        return false;
    if (b.amount && (e.amount.isZero() || e.amount != e.amount.Int()))
        return false;
    if (b.payment && e.paymentAccount == 0)
        return false;
    return true;
}

StoredEvent storeEvent(Database& db, Configuration& config, const GasEntry& entry, const QString& configPath)
{
    const GasEntry& e = entry;
    const KindBoxes b = kindBoxes(e.kind);
    if (e.customerCode.trimmed().isEmpty())
        throw GasEntryRefused(QStringLiteral("顧客が選ばれていないため、ガスデータを記録できません。"));
    if (!b.known())
        throw GasEntryRefused(QStringLiteral("この種別のガスデータは入力できません。"));
    try {
        requireOpenPeriod(db, e.entryDate);
    } catch (const ClosedPeriodError& closed) {
        throw GasEntryRefused(closed.message());
    }

    // Usage is measured here from the stored readings, never taken on trust.
    Currency usage;
    if (b.usage) {
        const std::optional<Currency> base = baseReading(db, e.customerCode);
        if (!base)
            throw GasEntryRefused(firstReadingMessage(db));
        const std::optional<Currency> u = usageFrom(e.meterValue, base);
        if (!u || *u < Currency())
            throw GasEntryRefused(QStringLiteral("使用量が負になるため記録できません。メータ値を確かめてください。"));
        usage = *u;
    }
    const bool billed = isBilled(e.kind);
    if (billed) {
        if (e.amount.isZero() || e.amount != e.amount.Int())
            throw GasEntryRefused(QStringLiteral("金額は 0 以外の円単位で入力してください。"));
        if (e.paymentAccount <= 0 || e.paymentAccount >= 1000)
            throw GasEntryRefused(QStringLiteral("入金方法を選んでください。"));
    }

    StoredEvent stored;
    std::int32_t number = 0;
    if (billed) {
        // A counter at the largest value can number this sale but cannot
        // advance past it: the next entry would get the same number.
        if (config.slipCounter == std::numeric_limits<std::int32_t>::max())
            throw SlipNumberOverflow();
        number = currentSlipNumber(config);
    }

    const Configuration before = config;
    try {
        Transaction tx(db);
        db.exec(QStringLiteral("INSERT INTO ガスデータ (ガス年月日, ガスデータ種別コード, ガス相手先コード, ガス検針値,"
                               " ガス使用量, ガス配送量, ガス残ガス量, ガス金額, ガス経理コード)"
                               " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {sqlValue(e.entryDate), e.kind, e.customerCode, sqlValue(b.meter ? e.meterValue : Currency()),
                 sqlValue(usage), double(b.delivered ? e.delivered : 0.0f), double(b.remaining ? e.remaining : 0.0f),
                 sqlValue(b.amount ? e.amount : Currency()), b.payment ? e.paymentAccount : 0});
        if (billed) {
            const int saleKind = e.paymentAccount == ReceivablesAccount ? saleKind::Credit : saleKind::Cash;
            db.exec(QStringLiteral("INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード, 売上種別コード,"
                                   " 売上部門コード, 売上税区分コード, 売上単品コード, 売上単品名, 売上単価, 売上個数)"
                                   " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {number, sqlValue(e.entryDate), e.customerCode, saleKind, SaleDepartment, SaleTaxCategory,
                     SaleProductCode, SaleProductName, sqlValue(e.amount), sqlValue(Currency::fromUnits(1))});
            db.exec(QStringLiteral("INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理金額, 経理借方コード,"
                                   " 経理借方相手先コード, 経理貸方コード, 経理貸方相手先コード) VALUES (?, ?, ?, ?, 0, ?, ?)"),
                    {number, sqlValue(e.entryDate), sqlValue(e.amount), e.paymentAccount, GasSalesAccount,
                     e.customerCode});
            // The next number reaches the file before the rows are kept, so
            // a file that cannot be written keeps nothing of the event.
            writeConfiguration(config, configPath);
            stored.slipNumber = number;
        }
        tx.commit();
    } catch (...) {
        // The rows are rolled back with the transaction; the number was not
        // used, so the next entry gets it again.
        // Should the file already hold the next number, the next entry
        // rewrites it from memory with the same value.
        config = before;
        throw;
    }
    return stored;
}

} // namespace gas
