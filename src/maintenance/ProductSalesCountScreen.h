#pragma once
// frm商品販売数 ("販売商品集計"): the plain product picker first, then the
// chosen product's posted sales in a date range, their totals, and the
// print-out through the report engine.

#include "maintenance/ProductSalesCount.h"

#include <QDialog>
#include <memory>

struct SessionState;
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
    // Opens on one product (as frm商品選択2 chose it): its code, compared
    // blank-padded, and its name as the box and the print-out show it.
    frm商品販売数(SessionState& state, const QString& productCode, const QString& productName,
                  QWidget* parent = nullptr);
    ~frm商品販売数() override;

    QLabel* productNameCaption;   // Label1 "品名"
    QLineEdit* productNameBox;    // Text1: product name, 24 characters
    QSpinBox* startYearBox;       // Text2
    QSpinBox* startMonthBox;      // Text3
    QSpinBox* startDayBox;        // Text4
    QLabel* fromLabel;            // Label2 "から"
    QSpinBox* endYearBox;         // Text7
    QSpinBox* endMonthBox;        // Text8
    QSpinBox* endDayBox;          // Text9
    QLabel* untilLabel;           // Label3 "まで"
    QTableView* salesGrid;        // DBGrid1: the listing
    QLabel* quantityTotalCaption; // Label4 "個数合計"
    QLineEdit* quantityTotalBox;  // Text5
    QLabel* amountTotalCaption;   // Label5 "金額合計"
    QLineEdit* amountTotalBox;    // Text10
    QPushButton* listButton;      // Command1 "販売データの表示"
    QPushButton* csvOutputButton; // cmdCSV "CSV出力": the listing as a CSV file
    QPushButton* printButton;     // Command3 "印刷・集計"
    QPushButton* finishButton;    // Command2 "中止・終了"

    Date startDate() const;
    Date endDate() const;

    void listSales();
    void print();

private:
    ProductSalesQuery query() const;
    SessionState& state_;
    QString productCode_;
    QString productName_;
    std::unique_ptr<Database> db_;
    DateBoxes* start_;
    DateBoxes* end_;
    ValueQueryModel* salesRows; // Data1, the grid's record source
};

// The screen's opening: the plain product picker first, which leaves its
// choice in the product values of `state`; when it was cancelled (or
// closed) without a choice the screen is not shown and nullptr is returned.
QDialog* openProductSalesCount(SessionState& state, QWidget* parent);
