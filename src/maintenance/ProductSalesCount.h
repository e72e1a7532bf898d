#pragma once
// Product sales counts (frm商品販売数, "販売商品集計"): the posted sales lines
// of one product in a date range, the total quantity and the total amount
// (quantity × unit price summed without cutting each line to whole yen),
// on the screen and on paper. Only posted lines (売上商品マスター) count.

#include "core/Currency.h"
#include "core/Date.h"

#include <QDialog>
#include <QString>
#include <QVariantList>
#include <cstdint>
#include <memory>
#include <vector>

class Database;
class DateBoxes;
class PrintSurface;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class ValueQueryModel;

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

// The print-out "販売商品集計": title, product name and period, the lines
// (date, slip, quantity, price, amount) with headings and page numbers on
// every page, and the two totals at the end.
void PrintProductSales(PrintSurface& surface, const QString& productName, const Date& start, const Date& end,
                       const std::vector<ProductSalesLine>& lines, const ProductSalesTotals& totals);
// Lines per page of that print-out.
constexpr int ProductSalesLinesPerPage = 45;

// An amount as the print-out shows it: whole units with separators, and a
// fraction only where the value has one ("1,050", "157.5", "-3").
QString amountText(const Currency& value);

class frm商品販売数 : public QDialog {
public:
    // Opens on the product chosen in the session (frm商品選択2).
    explicit frm商品販売数(QWidget* parent = nullptr);
    ~frm商品販売数() override;

    QLabel* Label1;        // "品名"
    QLineEdit* Text1;      // product name, 24 characters
    QSpinBox* Text2;       // start year
    QSpinBox* Text3;       // start month
    QSpinBox* Text4;       // start day
    QLabel* Label2;        // "から"
    QSpinBox* Text7;       // end year
    QSpinBox* Text8;       // end month
    QSpinBox* Text9;       // end day
    QLabel* Label3;        // "まで"
    QTableView* DBGrid1;   // the listing (Data1)
    QLabel* Label4;        // "個数合計"
    QLineEdit* Text5;
    QLabel* Label5;        // "金額合計"
    QLineEdit* Text10;
    QPushButton* Command1; // "販売データの表示"
    QPushButton* Command3; // "印刷・集計"
    QPushButton* Command2; // "中止・終了"

    Date startDate() const;
    Date endDate() const;

    void Command1_Click();
    void Command3_Click();

private:
    ProductSalesQuery query() const;
    std::unique_ptr<Database> db_;
    DateBoxes* start_;
    DateBoxes* end_;
    ValueQueryModel* Data1;
};

// The screen's opening: the plain product picker first; when it was
// cancelled (or closed) without a choice the screen is not shown and
// nullptr is returned.
QDialog* openProductSalesCount(QWidget* parent);
