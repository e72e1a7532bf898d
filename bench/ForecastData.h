#pragma once
// A generated shop for the forecast benchmarks: customers who buy rice,
// kerosene for their tanks and LP gas, with years of posted sales and gas
// history ending at a cut-off day. The generator has a fixed seed, so
// every run writes the same shop.

#include "core/Date.h"

class Database;

struct ForecastVolume {
    int customers = 2000;
    int years = 10;
};

// What was written, for checking and for the report.
struct GeneratedForecastShop {
    int salesRows = 0; // 売上商品マスター
    int gasRows = 0;   // ガスデータ
};

// Fills a new database (seed rows only) with:
//  - customers "00001" …, every one a rice customer with a kerosene tank
//    and a gas customer forecast by method 1, 2 or 6 in turn;
//  - rice bought every 20 to 45 days, one or two bags, and now and then a
//    return; kerosene delivered every 10 to 20 days from November to March
//    and twice in summer; a sundry line with most purchases;
//  - a meter reading every month, a delivery with its reading every third
//    month, a change of cylinders now and then;
// over `years` years up to the day before `cutoff`.
GeneratedForecastShop generateForecastShop(Database& db, const Date& cutoff, const ForecastVolume& volume = {});
