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

// The row that carries a slip's consumption tax among its sales rows: the
// slip store writes it after the lines (department 99, product "999900",
// non-taxable category, the tax as its price, quantity 1).
constexpr int TaxLineDepartment = 99;
constexpr int TaxLineCategory = 9;
inline const QString TaxLineProductCode = QStringLiteral("999900");
inline const QString TaxLineName = QStringLiteral("　　　消費税");
// True for that row, whose amount is the tax of the slip's other rows and
// no sale of its own.
bool isSlipTaxRow(int departmentCode, const QString& productCode);

// Adds a line's amount to the slip total of its tax category: 0 and 1 are
// tax-added at rate 1 and 2, 5 and 6 tax-inclusive at rate 1 and 2, 9 not
// taxable; any other category is in no total.
void addToCategoryTotal(SlipTotals& totals, int taxCategory, const Currency& amount);

// Which rate (1 or 2) a tax category is charged at; 0 for none.
int rateNumberOfCategory(int taxCategory);
// True when lines of the category are sold at the configuration's reduced
// rate, and are marked "※".
bool reducedCategory(const Configuration& config, int taxCategory);

// The rates of the configuration, highest first, totals empty: two of the
// same value are one rate, reduced when either is.
std::vector<RateShare> configuredRates(const Configuration& config);

// The breakdown of one document from its category totals (the slip totals
// of the slip, the sums of one slip's lines elsewhere) and the two rates of
// the configuration. Two rates of the same value are one rate. Throws
// CurrencyOverflow for totals beyond the Currency range.
TaxBreakdown taxBreakdown(const SlipTotals& totals, const Configuration& config);

// A rate as the documents print it: "10%", "8%", "6.5%".
QString ratePercent(const Currency& rate);
// "10%対象" etc.
QString rateCaption(const Currency& rate);
// One rate's figures as slips and invoices print them:
// "10%対象 1,100円 消費税 100円".
QString rateFiguresText(const RateShare& share);
// Non-taxable sales as slips and invoices print them: "非課税 200円".
QString notTaxableText(const Currency& amount);
// A whole breakdown on one line, as the screens show it: each rate's
// figures (the reduced one marked "※"), then non-taxable sales; "なし" when
// there is nothing.
QString taxByRateText(const TaxBreakdown& breakdown);

// The tax contained in a tax-inclusive amount: whole part, toward minus
// infinity, of amount × rate / (1 + rate), computed exactly.
Currency taxContained(const Currency& amount, const Currency& rate);
