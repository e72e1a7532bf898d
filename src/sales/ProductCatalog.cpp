#include "sales/ProductCatalog.h"

#include "session/Routines.h"
#include "core/Text.h"
#include "db/Database.h"

#include <cmath>

std::vector<DepartmentEntry> listDepartments(Database& db)
{
    std::vector<DepartmentEntry> rows;
    QSqlQuery q = db.exec(QStringLiteral("SELECT 部門コード, 部門名, 税区分 FROM 商品部門マスター ORDER BY 部門コード"));
    while (q.next())
        rows.push_back({q.value(0).toInt(), q.value(1).toString(), q.value(2).toInt()});
    return rows;
}

std::optional<int> departmentTaxCategory(Database& db, int department)
{
    const QVariant v = db.scalar(QStringLiteral("SELECT 税区分 FROM 商品部門マスター WHERE 部門コード = ?"), {department});
    if (!v.isValid())
        return std::nullopt;
    return v.toInt();
}

std::vector<ProductEntry> listProducts(Database& db, int department)
{
    std::vector<ProductEntry> rows;
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT 単品コード, 単品名称 FROM 商品マスター WHERE 部門コード = ? ORDER BY 単品コード"), {department});
    while (q.next())
        rows.push_back({q.value(0).toString(), q.value(1).toString()});
    return rows;
}

std::optional<ProductDetail> findProduct(Database& db, const QString& code)
{
    // 単品コード compares with RTRIM: the padded code finds its row.
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT 単品コード, 単品名称, 単品名称カナ, 単品売価 FROM 商品マスター WHERE 単品コード = ?"), {code});
    if (!q.next())
        return std::nullopt;
    return ProductDetail{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), currencyValue(q.value(3))};
}

void clearProductBeingChosen(ProductBeingChosen& product)
{
    product = ProductBeingChosen{};
    product.productCode = text::fixed(QString(), 13);
    product.kanaName = text::fixed(QString(), 8);
    product.productName = text::fixed(QString(), 24);
}

QuantityOutOfRange::QuantityOutOfRange(const QString& typed)
    : OperatorError(QStringLiteral("個数「%1」は大きすぎます（%2 まで）。\n"
                                   "バーコードを読み取った場合は、個数の欄を消して数量を入力し直してください。")
                        .arg(typed.trimmed(), QStringLiteral("999999.99")),
                    "quantity out of range"),
      typed_(typed)
{
}

SlipLineOutcome addChosenProduct(SessionState& state, const ProductBeingChosen& chosen, const ProductBoxes& boxes,
                                 const UnitPriceQuestion& askUnitPrice)
{
    if (!(std::fabs(text::Val(boxes.quantity)) <= MaxQuantity))
        throw QuantityOutOfRange(boxes.quantity);

    // A price beyond any amount the program keeps would read as 0 and be
    // asked for again; it is refused as out of range instead.
    if (!(std::fabs(text::Val(boxes.price)) < 922337203685477.0))
        throw CurrencyOverflow();

    const auto savedLines = state.lines;
    const int savedCount = state.lineCount;
    const SlipTotals savedTotals = state.totals;
    try {
        ProductBeingChosen& p = state.product;
        p.departmentCode = chosen.departmentCode;
        p.taxCategory = chosen.taxCategory;
        p.productCode = text::fixed(chosen.productCode, 13);
        p.kanaName = text::fixed(boxes.kanaName, 8);
        p.productName = text::fixed(boxes.name, 24);
        p.unitPrice = text::valCurrency(boxes.price);
        p.quantity = text::valCurrency(boxes.quantity);
        // An amount out of range is refused here, before the price prompt,
        // so that the picker stays open for a corrected entry.
        (void)(p.unitPrice * p.quantity).Int();
        const SlipLineOutcome added = addSlipLine(state, askUnitPrice);
        computeSlipTotals(state);
        clearProductBeingChosen(p);
        return added;
    } catch (...) {
        // A line whose amount or totals cannot be computed is not kept:
        // the slip stays as it was before the picker.
        state.lines = savedLines;
        state.lineCount = savedCount;
        state.totals = savedTotals;
        clearProductBeingChosen(state.product);
        throw;
    }
}
