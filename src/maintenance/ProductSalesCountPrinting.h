#pragma once
// The print-out of the product sales counts: the report engine's listing
// "ガス集計.rpt" over the posted lines of one product in a date range.

#include "maintenance/ProductSalesCount.h"
#include "print/ReportEngine.h"

struct Configuration;

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
