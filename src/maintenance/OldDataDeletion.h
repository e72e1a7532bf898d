#pragma once
// Deletion of old detail rows, so that the database stays small: posted
// sales lines (売上商品マスター) and LP-gas records (ガスデータ) dated on or
// before a cut-off day, the time of day never mattering. Nothing else is
// touched: holding tables, 売掛マスター, 経理マスター and the customers'
// balances stay as they are.

#include "core/Date.h"

class Database;

// What a deletion would do.
struct DeletionCount {
    int rows = 0;         // rows that will be deleted
    int readingsKept = 0; // gas only: rows on or before the cut-off kept as
                          // their customer's latest meter reading
};

// Meter readings from which the next usage is measured (kinds 1 and 8).
constexpr int MeterReadingKind = 1;
constexpr int OpeningReadingKind = 8;

// A cut-off after today would delete current data.
bool isAfterToday(const Date& cutoff, const Date& today = Date::today());

DeletionCount countOldSalesLines(Database& db, const Date& cutoff);
// Deletes every posted sales line dated on or before the cut-off day in one
// transaction and returns how many went.
int deleteOldSalesLines(Database& db, const Date& cutoff);

// Every gas row dated on or before the cut-off day, except each customer's
// latest row of kind 1 or 8 (all of them when several share that date):
// it is the base of the customer's next bill, which could not be billed
// without it.
DeletionCount countOldGasData(Database& db, const Date& cutoff);
int deleteOldGasData(Database& db, const Date& cutoff);

