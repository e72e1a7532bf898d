#include "maintenance/ProductSalesCount.h"

#include "core/Text.h"
#include "db/Database.h"

namespace {

const QString Selection = QStringLiteral(
    " FROM 売上商品マスター WHERE 売上単品コード = ? AND 売上年月日 >= ? AND 売上年月日 < ?");

QString dateText(const Date& d)
{
    return text::format(d, QStringLiteral("yyyy/mm/dd"));
}

} // namespace

QString productSalesListingStatement()
{
    return QStringLiteral("SELECT 売上年月日, 売上単品名, 売上単価, 売上個数") + Selection
           + QStringLiteral(" ORDER BY 売上年月日, 売上シリアル");
}

QVariantList productSalesParameters(const ProductSalesQuery& query)
{
    return {text::fixed(query.productCode, 13), dayStart(query.start), dayAfter(query.end)};
}

std::vector<ProductSalesLine> productSalesLines(Database& db, const ProductSalesQuery& query)
{
    std::vector<ProductSalesLine> lines;
    QSqlQuery q = db.exec(QStringLiteral("SELECT 売上年月日, 売上伝票番号, 売上単品名, 売上単価, 売上個数") + Selection
                              + QStringLiteral(" ORDER BY 売上年月日, 売上シリアル"),
                          productSalesParameters(query));
    while (q.next()) {
        ProductSalesLine line;
        line.saleDate = dateValue(q.value(0));
        line.slipNumber = std::int32_t(q.value(1).toLongLong());
        line.productName = q.value(2).toString();
        line.unitPrice = currencyValue(q.value(3));
        line.quantity = currencyValue(q.value(4));
        line.amount = line.unitPrice * line.quantity;
        lines.push_back(line);
    }
    return lines;
}

ProductSalesTotals productSalesTotals(Database& db, const ProductSalesQuery& query)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT COUNT(*), SUM(売上個数), SUM(CUR_MUL(売上個数, 売上単価))") + Selection,
                          productSalesParameters(query));
    ProductSalesTotals totals;
    if (q.next() && q.value(0).toLongLong() > 0) {
        totals.any = true;
        totals.quantity = currencyValue(q.value(1));
        totals.amount = currencyValue(q.value(2));
    }
    return totals;
}

QString productSalesSubtitle(const ProductSalesQuery& query, const QString& productName)
{
    return QStringLiteral("品名　%1　　期間　%2 ～ %3").arg(productName.trimmed(), dateText(query.start), dateText(query.end));
}
