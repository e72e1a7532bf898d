#pragma once
// The gas totals screen frmガス集計: two dates, the events between them for
// all customers with their totals, and the printed list.

#include "db/Database.h"
#include "gas/GasTotals.h"

#include <QDialog>
#include <vector>

struct SessionState;
class DateBoxes;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class ValueQueryModel;

class frmガス集計 : public QDialog {
public:
    // Opens on the first day of this month to today and loads the list.
    explicit frmガス集計(SessionState& state, QWidget* parent = nullptr);
    ~frmガス集計() override;

    DateBoxes* startBoxes;   // "年　　　　　　　月　　　　　　日から"
    QSpinBox* startYearBox;  // Text2, with its spin buttons
    QSpinBox* startMonthBox; // Text3
    QSpinBox* startDayBox;   // Text4
    DateBoxes* endBoxes;     // "年　　　　　　　月　　　　　　日まで"
    QSpinBox* endYearBox;    // Text7
    QSpinBox* endMonthBox;   // Text8
    QSpinBox* endDayBox;     // Text9

    QTableView* eventGrid;        // DBGrid1: the listed events
    ValueQueryModel* eventRows;   // Data1, its record source
    QLineEdit* usageTotalBox;     // Text1 "使用量合計"
    QLineEdit* deliveredTotalBox; // Text5 "配送量合計"
    QLineEdit* remainingTotalBox; // Text6 "残ガス量合計"
    QLineEdit* amountTotalBox;    // Text10 "金額合計"
    QPushButton* listButton;      // Command1 "ガスデータの表示": list and total again
    QPushButton* csvOutputButton; // cmdCSV "CSV出力": the listed events as a CSV file
    QPushButton* printButton;     // Command3 "印刷・集計": print
    QPushButton* finishButton;    // Command2 "中止・終了": close

    void listEvents();
    void print();
    void finish();

    // The list and totals as last loaded, which "印刷・集計" prints.
    const std::vector<gas::Event>& loadedEvents() const { return events_; }
    const gas::Totals& loadedTotals() const { return totals_; }

private:
    void load();

    SessionState& state_;
    Database db_;
    std::vector<gas::Event> events_;
    gas::Totals totals_;
};
