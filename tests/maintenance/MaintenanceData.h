#pragma once
// Rows and files the maintenance tests start from.

#include "core/Text.h"
#include "support/Files.h"
#include "support/ShopData.h"

#include <QString>

namespace maintenance {

// A date with a time of day: hours and minutes after midnight.
inline Date at(int y, int m, int d, int hour, int minute)
{
    return Date::fromSerial(Date::fromParts(y, m, d).serial() + (hour * 60 + minute) / 1440.0);
}

// A sales line of customer C1 (kind 1, department 1, tax category 0).
inline void addSalesLine(Database& db, int slip, const Date& date, const QString& productCode, const QString& name,
                         const char* price, const char* quantity, const QString& table = QStringLiteral("売上商品マスター"))
{
    insertSalesLine(db, table,
                    {.slip = slip,
                     .date = date,
                     .customer = QStringLiteral("C1"),
                     .kind = 1,
                     .department = 1,
                     .taxCategory = 0,
                     .productCode = productCode,
                     .productName = name,
                     .price = yen(price),
                     .quantity = yen(quantity)});
}

inline void addGasRow(Database& db, const Date& date, int kind, const QString& customer, const char* reading)
{
    insertGasRow(db, {.date = date, .kind = kind, .customer = customer, .meter = yen(reading)});
}

} // namespace maintenance
