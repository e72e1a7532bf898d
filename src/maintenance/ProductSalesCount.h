#pragma once
// Product sales counts: the posted sales lines of one product in a date
// range, the total quantity and the total amount (quantity × unit price
// summed without cutting each line to whole yen), and the line the
// print-out names them by (ProductSalesCountPrinting.h prints them). Only
// posted lines (売上商品マスター) count.

#include "core/Currency.h"
#include "core/Date.h"

#include <QString>
#include <QVariantList>
#include <cstdint>
#include <vector>

class Database;

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

// The line under the print-out's title naming the product and the period:
// "品名　<name>　　期間　yyyy/mm/dd ～ yyyy/mm/dd".
QString productSalesSubtitle(const ProductSalesQuery& query, const QString& productName);
