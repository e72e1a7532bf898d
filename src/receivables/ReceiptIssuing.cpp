#include "receivables/ReceiptIssuing.h"

#include "db/Database.h"
#include "session/TaxBreakdown.h"

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
    f.tax = taxContained(amount, rate);
    f.goods = amount - f.tax;
    // The stamp test takes the rate on the amount itself.
    f.stampDue = amount - (amount * rate).Int() >= StampThreshold;
    return f;
}

ReceiptBreakdown receiptBreakdown(const std::optional<ClosedInvoice>& kept, const Currency& lastInvoiceAmount,
                                  Date lastClosingDate)
{
    if (!kept || kept->closingDate != lastClosingDate || kept->totalBilled != lastInvoiceAmount)
        return ReceiptBreakdown::SeeInvoice;
    if (kept->totalBilled != kept->currentSales)
        return ReceiptBreakdown::CarriedBalance;
    // The rates must account for the whole amount (a line of a category in
    // no total, or rates changed since the slips, would leave a part out).
    Currency accounted = kept->taxByRate.notTaxable;
    for (const RateShare& share : kept->taxByRate.rates)
        accounted += share.total;
    return accounted == lastInvoiceAmount ? ReceiptBreakdown::ByRate : ReceiptBreakdown::SeeInvoice;
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
