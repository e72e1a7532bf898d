#include "session/TaxBreakdown.h"

#include "core/Text.h"

#include <QStringList>
#include <algorithm>
#include <limits>

void TaxBreakdown::add(const TaxBreakdown& other)
{
    for (const RateShare& share : other.rates) {
        auto same = std::find_if(rates.begin(), rates.end(), [&](const RateShare& r) { return r.rate == share.rate; });
        if (same == rates.end()) {
            rates.push_back(share);
        } else {
            same->total += share.total;
            same->tax += share.tax;
            same->reduced = same->reduced || share.reduced;
        }
    }
    std::sort(rates.begin(), rates.end(), [](const RateShare& a, const RateShare& b) { return a.rate > b.rate; });
    notTaxable += other.notTaxable;
}

bool isSlipTaxRow(int departmentCode, const QString& productCode)
{
    return departmentCode == TaxLineDepartment && productCode.trimmed() == TaxLineProductCode;
}

void addToCategoryTotal(SlipTotals& t, int taxCategory, const Currency& amount)
{
    switch (taxCategory) {
    case 0: t.taxAddedRate1 += amount; break;
    case 1: t.taxAddedRate2 += amount; break;
    case 5: t.taxIncludedRate1 += amount; break;
    case 6: t.taxIncludedRate2 += amount; break;
    case 9: t.notTaxable += amount; break;
    default: break; // stored and shown, but in no total
    }
}

int rateNumberOfCategory(int taxCategory)
{
    switch (taxCategory) {
    case 0:
    case 5: return 1;
    case 1:
    case 6: return 2;
    default: return 0;
    }
}

bool reducedCategory(const Configuration& config, int taxCategory)
{
    const int number = rateNumberOfCategory(taxCategory);
    return number != 0 && number == config.reducedRate;
}

Currency taxContained(const Currency& amount, const Currency& rate)
{
    // amount × rate / (1 + rate) in ticks: A·R / (S·(S + R)) yen, exactly,
    // then the whole yen toward minus infinity.
    constexpr std::int64_t S = Currency::Scale;
    const __int128 numerator = __int128(amount.ticks()) * rate.ticks();
    const __int128 denominator = __int128(S) * (S + rate.ticks());
    if (denominator == 0)
        throw CurrencyOverflow();
    __int128 yen = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0)))
        --yen;
    if (yen > std::numeric_limits<std::int64_t>::max() / S || yen < std::numeric_limits<std::int64_t>::min() / S)
        throw CurrencyOverflow();
    return Currency::fromUnits(std::int64_t(yen));
}

TaxBreakdown taxBreakdown(const SlipTotals& t, const Configuration& config)
{
    const Currency rate1 = text::valCurrency(config.taxRate1());
    const Currency rate2 = text::valCurrency(config.taxRate2());
    // Each rate's lines with their tax: the tax added to tax-added lines is
    // the slip's own (rounded per rate as the slip totals are).
    Currency total1 = t.taxAddedRate1 + (rate1 * t.taxAddedRate1).Int() + t.taxIncludedRate1;
    Currency total2 = t.taxAddedRate2 + (rate2 * t.taxAddedRate2).Int() + t.taxIncludedRate2;
    bool used1 = !t.taxAddedRate1.isZero() || !t.taxIncludedRate1.isZero();
    bool used2 = !t.taxAddedRate2.isZero() || !t.taxIncludedRate2.isZero();
    bool reduced1 = config.reducedRate == 1;
    bool reduced2 = config.reducedRate == 2;
    if (rate1 == rate2 && used1 && used2) {
        total1 += total2;
        reduced1 = reduced1 || reduced2;
        used2 = false;
    }
    TaxBreakdown b;
    auto share = [](const Currency& rate, const Currency& total, bool reduced) {
        RateShare s;
        s.rate = rate;
        s.reduced = reduced;
        s.total = total;
        s.tax = taxContained(total, rate);
        return s;
    };
    if (used1)
        b.rates.push_back(share(rate1, total1, reduced1));
    if (used2)
        b.rates.push_back(share(rate2, total2, reduced2));
    std::sort(b.rates.begin(), b.rates.end(), [](const RateShare& a, const RateShare& c) { return a.rate > c.rate; });
    b.notTaxable = t.notTaxable;
    return b;
}

QString ratePercent(const Currency& rate)
{
    return (rate * Currency::fromUnits(100)).toString() + QStringLiteral("%");
}

QString rateCaption(const Currency& rate)
{
    return ratePercent(rate) + QStringLiteral("対象");
}

QString rateFiguresText(const RateShare& share)
{
    const QString mask = QStringLiteral("###,###,##0");
    return rateCaption(share.rate) + u' ' + text::format(share.total, mask) + QStringLiteral("円 消費税 ")
           + text::format(share.tax, mask) + QStringLiteral("円");
}

QString taxByRateText(const TaxBreakdown& breakdown)
{
    QStringList parts;
    for (const RateShare& share : breakdown.rates)
        parts << rateFiguresText(share) + (share.reduced ? QStringLiteral("※") : QString());
    if (!breakdown.notTaxable.isZero())
        parts << QStringLiteral("非課税 ") + text::format(breakdown.notTaxable, QStringLiteral("###,###,##0"))
                     + QStringLiteral("円");
    return parts.isEmpty() ? QStringLiteral("なし") : parts.join(QStringLiteral("　"));
}
