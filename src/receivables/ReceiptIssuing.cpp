#include "receivables/ReceiptIssuing.h"

#include "db/Database.h"

BoundStatement collectionDayCustomers(int collectionDay)
{
    return {QStringLiteral("SELECT 顧客コード, 顧客名前, 顧客売掛集金日 FROM 顧客マスター"
                           " WHERE 顧客売掛集金日 = ? ORDER BY rowid"),
            {collectionDay}};
}

QStringList collectionDayCustomerCodes(Database& db, int collectionDay)
{
    return firstColumnTexts(db, collectionDayCustomers(collectionDay));
}

bool nothingToCollect(const Currency& lastInvoiceAmount, const Currency& paymentsSinceClosing)
{
    return lastInvoiceAmount.isZero() || lastInvoiceAmount == paymentsSinceClosing;
}

ReceiptFigures receiptFigures(const Currency& amount, const Currency& rate)
{
    ReceiptFigures f;
    f.amount = amount;
    // amount × rate / (1 + rate) in ticks: A·R / (S + R), exactly, then the
    // whole yen toward minus infinity.
    constexpr std::int64_t S = Currency::Scale;
    const __int128 numerator = __int128(amount.ticks()) * rate.ticks();
    const __int128 denominator = __int128(S) * (S + rate.ticks());
    if (denominator == 0)
        throw CurrencyOverflow();
    __int128 yen = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0)))
        --yen; // toward minus infinity
    f.tax = Currency::fromUnits(std::int64_t(yen));
    f.goods = amount - f.tax;
    // The stamp test takes the rate on the amount itself.
    f.stampDue = amount - (amount * rate).Int() >= StampThreshold;
    return f;
}

QString eraName(Date date)
{
    const std::int64_t day = date.dayNumber();
    if (day >= Date::fromParts(2019, 5, 1).dayNumber())
        return QStringLiteral("令和");
    if (day >= Date::fromParts(1989, 1, 8).dayNumber())
        return QStringLiteral("平成");
    return QStringLiteral("昭和");
}
