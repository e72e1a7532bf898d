#pragma once
// The consumption tax of a document by rate, as a qualified invoice states
// it: for each rate in use, the total of its lines with their tax and the
// tax that total contains, rounded once per document and rate. A slip is a
// document; an invoice and the sales-by-rate list add up the figures of
// their slips, each rounded on its own slip.

#include "session/Values.h"
#include "core/Currency.h"

#include <QString>
#include <vector>

// One rate's share of a document.
struct RateShare {
    Currency rate;      // the decimal fraction, 0.1 for 10 %
    bool reduced = false; // the configuration's reduced rate (軽減税率)
    // The rate's lines with their tax: tax-added lines with the tax the
    // slip adds to them, tax-inclusive lines as they are.
    Currency total;
    // The tax contained in the total: whole part, toward minus infinity, of
    // total × rate / (1 + rate). On a slip of tax-added lines alone it is
    // the tax the slip charged for the rate.
    Currency tax;
    Currency base() const { return total - tax; } // the taxable amount without tax
};

struct TaxBreakdown {
    std::vector<RateShare> rates; // the rates in use, the highest first
    Currency notTaxable;          // non-taxable sales (stamps), apart
    bool empty() const { return rates.empty() && notTaxable.isZero(); }
    // Adds another document's figures, rate by rate.
    void add(const TaxBreakdown& other);
};

// Adds a line's amount to the slip total of its tax category: 0 and 1 are
// tax-added at rate 1 and 2, 5 and 6 tax-inclusive at rate 1 and 2, 9 not
// taxable; any other category is in no total.
void addToCategoryTotal(SlipTotals& totals, int taxCategory, const Currency& amount);

// Which rate (1 or 2) a tax category is charged at; 0 for none.
int rateNumberOfCategory(int taxCategory);
// True when lines of the category are sold at the configuration's reduced
// rate, and are marked "※".
bool reducedCategory(const Configuration& config, int taxCategory);

// The breakdown of one document from its category totals (the slip totals
// of the slip, the sums of one slip's lines elsewhere) and the two rates of
// the configuration. Two rates of the same value are one rate. Throws
// CurrencyOverflow for totals beyond the Currency range.
TaxBreakdown taxBreakdown(const SlipTotals& totals, const Configuration& config);

// A rate as the documents print it: "10%", "8%", "6.5%".
QString ratePercent(const Currency& rate);
// "10%対象" etc.
QString rateCaption(const Currency& rate);

// The tax contained in a tax-inclusive amount: whole part, toward minus
// infinity, of amount × rate / (1 + rate), computed exactly.
Currency taxContained(const Currency& amount, const Currency& rate);
