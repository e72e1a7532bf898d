#include "maintenance/ProductSalesCountPrinting.h"

ReportRequest productSalesReport(const ProductSalesQuery& query, const QString& productName)
{
    return {productSalesParameters(query), productSalesSubtitle(query, productName)};
}

void printProductSales(const Configuration& shop, const ProductSalesQuery& query, const QString& productName)
{
    printReport(shop, ProductSalesReportName, productSalesReport(query, productName));
}
