#pragma once
// frm商品販売数 ("販売商品集計"): the plain product picker first, then the
// chosen product's posted sales in a date range, their totals, and the
// print-out through the report engine.

#include "maintenance/ProductSalesCount.h"

#include <QDialog>
#include <memory>

class Database;
class DateBoxes;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class ValueQueryModel;

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
