#pragma once
// What the product pickers read from 商品部門マスター and 商品マスター, and the
// step that turns the picker's boxes into a line of the slip. No widgets.

#include "core/OperatorError.h"
#include "session/Routines.h"

#include <QString>
#include <optional>
#include <vector>

class Database;

struct DepartmentEntry {
    int code = 0;     // 部門コード
    QString name;     // 部門名
    int taxCategory = 0; // 税区分
};

struct ProductEntry {
    QString code;     // 単品コード as stored
    QString name;     // 単品名称
};

struct ProductDetail {
    QString code;
    QString name;     // 単品名称
    QString kanaName; // 単品名称カナ
    Currency price;   // 単品売価
};

// Every department, by code.
std::vector<DepartmentEntry> listDepartments(Database& db);
// The department's tax category, or nullopt when there is no such department.
std::optional<int> departmentTaxCategory(Database& db, int department);
// The products of one department, by code.
std::vector<ProductEntry> listProducts(Database& db, int department);
// The product with this code; a code held blank-padded to 13 characters
// finds the row stored without the padding and the other way round.
std::optional<ProductDetail> findProduct(Database& db, const QString& code);

// The picker's values cleared: department and tax category 0, the texts
// blank at their fixed lengths, price and quantity 0.
void clearProductBeingChosen(ProductBeingChosen& product);

// The largest quantity a slip line takes: the slip prints six digits before
// the point. A barcode scanned into the quantity box is far beyond it.
constexpr double MaxQuantity = 999999.99;

// A quantity the slip cannot take; message() is what the operator is told.
class QuantityOutOfRange : public OperatorError {
public:
    explicit QuantityOutOfRange(const QString& typed);
    const QString& typed() const { return typed_; }

private:
    QString typed_;
};

// The texts of the picker's boxes as the line takes them.
struct ProductBoxes {
    QString kanaName; // 商品名カナ
    QString name;     // 商品名
    QString price;    // 単価
    QString quantity; // 個数
};

// "ＯＫ" of the sales picker: the chosen product (department, tax category,
// code) with the kana name cut or padded to 8 characters, the name to 24,
// price and quantity read from the boxes; asks for a missing price through
// `askUnitPrice` (addSlipLine), recomputes the totals and clears the
// picker's values. Returns what addSlipLine did. A quantity beyond
// MaxQuantity throws QuantityOutOfRange and a price or amount beyond the
// Currency range throws CurrencyOverflow; in both cases the slip is left as
// it was. Totals beyond the range add nothing (SlipLineOutcome::TooLarge).
SlipLineOutcome addChosenProduct(SessionState& state, const ProductBeingChosen& chosen, const ProductBoxes& boxes,
                                 const UnitPriceQuestion& askUnitPrice);
