#pragma once
// The slips the sales-by-rate tests count: May 2024 at the rates 10 % (rate
// 1) and 8 % (rate 2, the reduced one), with slips just outside the month.

#include "sales/SalesByRate.h"
#include "sales/SlipStore.h"
#include "support/ShopData.h"

#include <QString>

namespace byrate {

inline const QString Posted = QStringLiteral("売上商品マスター");
inline const QString Held = QStringLiteral("売上商品マスター仮");

// A configuration of the rates 0.10 and 0.08, the second reduced.
inline Configuration tenAndEight(Configuration config)
{
    config.taxRate1() = QStringLiteral("0.10");
    config.taxRate2() = QStringLiteral("0.08");
    config.reducedRate = 2;
    return config;
}

// A day with a time: `hours` after midnight.
inline Date dayAt(int year, int month, int dayOfMonth, double hours)
{
    return Date::fromSerial(day(year, month, dayOfMonth).serial() + hours / 24);
}

// One sales line of a slip in `table`.
inline void addLine(Database& db, const QString& table, int slip, const Date& date, int category, const char* price,
                    const char* quantity = "1", int department = 1, const QString& code = QStringLiteral("12"))
{
    insertSalesLine(db, table,
                    {.slip = slip,
                     .date = date,
                     .customer = QStringLiteral("C1"),
                     .kind = 1,
                     .department = department,
                     .taxCategory = category,
                     .productCode = code,
                     .productName = QStringLiteral("商品"),
                     .price = yen(price),
                     .quantity = yen(quantity)});
}

// The slip's own consumption-tax row, as the slip store writes it.
inline void addTaxRow(Database& db, const QString& table, int slip, const Date& date, const char* tax)
{
    addLine(db, table, slip, date, TaxLineCategory, tax, "1", TaxLineDepartment, TaxLineProductCode);
}

// May 2024:
//   slip 101, posted, 05/01 00:00: tax-added 8 % 2,980 + 880, tax-added
//     10 % 2,160, and its tax row 524 (floor(308.8) + 216);
//   slip 202, held, 05/31 18:00: tax-inclusive 10 % gas 4,400 and a
//     non-taxable stamp 200;
//   slip 100, posted, 04/30 23:00, and slip 203, held, 06/01 00:00: 10 %
//     1,000 each, outside the month.
inline void addMaySlips(Database& db)
{
    const Date first = day(2024, 5, 1);
    addLine(db, Posted, 101, first, 1, "2980");
    addLine(db, Posted, 101, first, 1, "880");
    addLine(db, Posted, 101, first, 0, "2160");
    addTaxRow(db, Posted, 101, first, "524");
    const Date last = dayAt(2024, 5, 31, 18);
    addLine(db, Held, 202, last, 5, "4400");
    addLine(db, Held, 202, last, 9, "200");
    addLine(db, Posted, 100, dayAt(2024, 4, 30, 23), 0, "1000");
    addTaxRow(db, Posted, 100, dayAt(2024, 4, 30, 23), "100");
    addLine(db, Held, 203, day(2024, 6, 1), 0, "1000");
}

inline const SalesByRateRange May{day(2024, 5, 1), day(2024, 5, 31)};

} // namespace byrate
