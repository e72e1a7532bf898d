#pragma once
// Generated shops for the benchmarks: customers, years of posted history and
// a day's worth (or more) of holding rows, written by SQL alone so that a
// shop of hundreds of thousands of rows is made in seconds.

#include "core/Date.h"

class Database;

struct PostingVolume {
    int customers = 2000;
    int postedRows = 300000;   // rows of 売上商品マスター and of 経理マスター each
    int holdingSales = 20000;  // lines of 売上商品マスター仮
    int holdingLedger = 5000;  // rows of 経理マスター仮
};

// What the generated holding tables hold, for checking a run.
struct GeneratedHolding {
    int salesDue = 0;        // holding sales lines dated on or before the cut-off
    int creditLinesDue = 0;  // of which credit lines
    int ledgerDue = 0;       // holding ledger rows dated on or before the cut-off
};

// Fills a new database (seed rows only) with:
//  - customers "00001" … : every tenth billed to the customer before it;
//  - posted sales lines and ledger rows over the year before the cut-off,
//    the credit lines also in 売掛マスター;
//  - holding sales lines (three in five on credit, some returns with a
//    negative quantity, prices with half yen) and holding ledger rows
//    (payments crediting 110, the slips' sales rows, expenses), one in
//    twenty dated the day after the cut-off.
GeneratedHolding generatePostingShop(Database& db, const Date& cutoff, const PostingVolume& volume = {});
