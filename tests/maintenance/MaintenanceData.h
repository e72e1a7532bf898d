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

inline void addSalesLine(Database& db, int slip, const Date& date, const QString& productCode, const QString& name,
                         const char* price, const char* quantity, const QString& table = QStringLiteral("売上商品マスター"))
{
    db.exec(QStringLiteral("INSERT INTO %1 (売上伝票番号, 売上年月日, 売上顧客コード, 売上種別コード, 売上部門コード,"
                           " 売上税区分コード, 売上単品コード, 売上単品名, 売上単価, 売上個数)"
                           " VALUES (?, ?, 'C1', 1, 1, 0, ?, ?, ?, ?)").arg(table),
            {slip, sqlValue(date), productCode, name, sqlValue(yen(price)), sqlValue(yen(quantity))});
}

inline void addGasRow(Database& db, const Date& date, int kind, const QString& customer, const char* reading)
{
    db.exec(QStringLiteral("INSERT INTO ガスデータ (ガス年月日, ガスデータ種別コード, ガス相手先コード, ガス検針値)"
                           " VALUES (?, ?, ?, ?)"),
            {sqlValue(date), kind, customer, sqlValue(yen(reading))});
}

} // namespace maintenance
