#pragma once
// Ten years of a shop, generated in one transaction by a handful of
// statements: customers of every kind, products, posted sales lines and
// journal rows, invoices closed every month, LP-gas readings. The result is
// what the program itself would leave after ten years: 売掛マスター holds only
// the lines of each billing customer's open period, each customer's three
// running amounts agree with the rows, and account 110 agrees with the sum of
// the customers' balances.

#include "core/Currency.h"
#include "core/Date.h"

#include <QString>

class Database;

struct TenYearsVolume {
    int customers = 2000;     // a multiple of 40 keeps every kind present
    int slips = 50000;        // six posted lines each (the sixth is the tax line)
    int journalRows = 300000;
    int gasCustomers = 250;   // every eighth customer
    int gasMonths = 120;      // one billed reading a month
};

// What was generated, for checks and counters.
struct TenYears {
    Date first;               // first day of the history
    Date today;               // the day after the last posted day
    int customers = 0;
    int salesLines = 0;
    int receivableLines = 0;  // 売掛マスター rows (open periods only)
    int journalRows = 0;
    int gasRows = 0;
    int bankDebitCustomers = 0;
    int lastSlipNumber = 0;   // the highest slip number used
};

// Settlement method of the direct-debit customers, and the journal account
// their payments are debited to.
constexpr int BankDebitMethod = 2;
constexpr int BankAccount = 20;

// Fills a new database (seed rows only), a file or a database on the
// server: the statements are written for both, and give the same rows.
// `today` is the day after the last posted day; every customer's billing
// period was last closed on its closing day of the month before.
TenYears generateTenYears(Database& db, const Date& today, const TenYearsVolume& volume = {});

// Holding rows of one day dated `day` (some with a time of day), as the
// entry screens leave them: `salesLines` sales lines (six a slip, three
// slips in five on credit, a return now and then) over every customer, the
// journal row of each credit slip (debit 110, the slip's amount), and
// payments from customers (credit 110) and expenses up to `ledgerRows`
// journal rows in all. Slips are numbered from `firstSlip`; returns the
// next free slip number.
int addHoldingDay(Database& db, const Date& day, int salesLines, int ledgerRows, int firstSlip);

// The books as the program must keep them.
struct TenYearsBooks {
    Currency account110;          // 期首残高 + debits − credits of account 110
    Currency customerBalances;    // Σ 前回請求金額 − 入金額 + 締後売上額
    Currency creditSalesSinceClosing; // Σ 顧客売掛締後売上額
    Currency openReceivableLines; // Σ whole part of price × quantity in 売掛マスター
    int linesOutsideOpenPeriod = 0; // 売掛マスター rows dated on or before their customer's closing
};
TenYearsBooks readBooks(Database& db);
// Throws std::logic_error naming what disagrees.
void checkBooks(Database& db);
