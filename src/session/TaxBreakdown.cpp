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

std::vector<RateShare> configuredRates(const Configuration& config)
{
    std::vector<RateShare> rates;
    const Currency values[2] = {text::valCurrency(config.taxRate1()), text::valCurrency(config.taxRate2())};
    for (int number = 1; number <= 2; ++number) {
        const Currency rate = values[number - 1];
        const bool reduced = config.reducedRate == number;
        auto same = std::find_if(rates.begin(), rates.end(), [&](const RateShare& r) { return r.rate == rate; });
        if (same != rates.end()) {
            same->reduced = same->reduced || reduced;
            continue;
        }
        RateShare share;
        share.rate = rate;
        share.reduced = reduced;
        rates.push_back(share);
    }
    std::sort(rates.begin(), rates.end(), [](const RateShare& a, const RateShare& b) { return a.rate > b.rate; });
    return rates;
}

TaxBreakdown taxBreakdown(const SlipTotals& t, const Configuration& config)
{
    // Each rate number's lines with their tax: the tax added to tax-added
    // lines is the slip's own (rounded per rate as the slip totals are).
    struct Part {
        Currency rate;
        Currency total;
        bool used;
        bool reduced;
    };
    const Currency rate1 = text::valCurrency(config.taxRate1());
    const Currency rate2 = text::valCurrency(config.taxRate2());
    const Part parts[2] = {
        {rate1, t.taxAddedRate1 + (rate1 * t.taxAddedRate1).Int() + t.taxIncludedRate1,
         !t.taxAddedRate1.isZero() || !t.taxIncludedRate1.isZero(), config.reducedRate == 1},
        {rate2, t.taxAddedRate2 + (rate2 * t.taxAddedRate2).Int() + t.taxIncludedRate2,
         !t.taxAddedRate2.isZero() || !t.taxIncludedRate2.isZero(), config.reducedRate == 2},
    };
    TaxBreakdown b;
    for (const RateShare& rate : configuredRates(config)) {
        RateShare share;
        share.rate = rate.rate;
        bool used = false;
        for (const Part& p : parts) {
            if (p.used && p.rate == rate.rate) {
                used = true;
                share.total += p.total;
                share.reduced = share.reduced || p.reduced;
            }
        }
        if (!used)
            continue;
        share.tax = taxContained(share.total, share.rate);
        b.rates.push_back(share);
    }
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

namespace {

// Whole yen with separators, 0 shown: the figures of the breakdowns.
QString yenFigure(const Currency& amount)
{
    return text::format(amount, QStringLiteral("###,###,##0")) + QStringLiteral("円");
}

} // namespace

QString rateFiguresText(const RateShare& share)
{
    return rateCaption(share.rate) + u' ' + yenFigure(share.total) + QStringLiteral(" 消費税 ") + yenFigure(share.tax);
}

QString notTaxableText(const Currency& amount)
{
    return QStringLiteral("非課税 ") + yenFigure(amount);
}

QString taxByRateText(const TaxBreakdown& breakdown)
{
    QStringList parts;
    for (const RateShare& share : breakdown.rates)
        parts << rateFiguresText(share) + (share.reduced ? QStringLiteral("※") : QString());
    if (!breakdown.notTaxable.isZero())
        parts << notTaxableText(breakdown.notTaxable);
    return parts.isEmpty() ? QStringLiteral("なし") : parts.join(QStringLiteral("　"));
}
