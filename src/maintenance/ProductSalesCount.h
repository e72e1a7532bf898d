#pragma once
// Product sales counts: the posted sales lines of one product in a date
// range, the total quantity and the total amount (quantity × unit price
// summed without cutting each line to whole yen), and the report that
// prints them. Only posted lines (売上商品マスター) count.

#include "core/Currency.h"
#include "core/Date.h"
#include "print/ReportEngine.h"

#include <QString>
#include <QVariantList>
#include <cstdint>
#include <vector>

class Database;
struct Configuration;

// One product and a range of whole days, both ends included.
struct ProductSalesQuery {
    QString productCode; // compared in its 13-character blank-padded form
    Date start;
    Date end;
};

// The screen's listing: 売上年月日, 売上単品名, 売上単価, 売上個数 in date order.
QString productSalesListingStatement();
QVariantList productSalesParameters(const ProductSalesQuery& query);

struct ProductSalesLine {
    Date saleDate;
    std::int32_t slipNumber = 0;
    QString productName;
    Currency unitPrice;
    Currency quantity;
    Currency amount; // unit price × quantity, not cut to whole yen
};
std::vector<ProductSalesLine> productSalesLines(Database& db, const ProductSalesQuery& query);

// 個数合計 and 金額合計; `any` is false when no line is in the range (the
// totals are then shown empty).
struct ProductSalesTotals {
    bool any = false;
    Currency quantity;
    Currency amount;
};
ProductSalesTotals productSalesTotals(Database& db, const ProductSalesQuery& query);

// The print-out is the report engine's listing of this name: title
// "販売商品集計", the shop's name, the date of printing and the page number
// on every page, the lines, and the quantity and amount totals.
inline const QString ProductSalesReportName = QStringLiteral("ガス集計.rpt");
// What the report is handed: the product and range as its statement binds
// them, and a line under the title naming the product and the period.
ReportRequest productSalesReport(const ProductSalesQuery& query, const QString& productName);
// Prints the report from the shop's database. Throws PrintError when the
// printer or the file fails.
void printProductSales(const Configuration& shop, const ProductSalesQuery& query, const QString& productName);
