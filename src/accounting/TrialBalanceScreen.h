#pragma once
// The trial balance frm経理残高試算表: the chart's debits, credits and
// balances up to a day, the sales and expense totals, and the printed
// trial balance "残高試算表.rpt". Its work columns are cleared whenever the
// screen closes, so no other screen ever reads stale figures.

#include "db/Database.h"
#include "session/Session.h"

#include <QDialog>

class DateBoxes;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class ValueQueryModel;

class frm経理残高試算表 : public QDialog {
public:
    explicit frm経理残高試算表(SessionState& state, QWidget* parent = nullptr);
    ~frm経理残高試算表() override;

    DateBoxes* dateBoxes; // "までの試算表を作成します。"
    QSpinBox* yearBox;    // Text7, with its spin buttons
    QSpinBox* monthBox;   // Text8
    QSpinBox* dayBox;     // Text9
    QPushButton* createButton; // Command3 "作成"
    QTableView* chartGrid;     // DBGrid1: the chart with its work columns
    ValueQueryModel* chartRows; // Data1
    QLineEdit* salesTotalBox;   // Text1 "売上合計"
    QLineEdit* expenseTotalBox; // Text2 "経費合計"
    QPushButton* csvOutputButton; // cmdCSV "CSV出力": the chart as a CSV file
    QPushButton* printButton;   // Command1 "印刷", shown once "作成" has run
    QPushButton* finishButton;  // Command2 "終了"

    void create();
    void print();
    void finish();

    void done(int result) override;

private:
    void showChart();

    SessionState& state_;
    Database db_;
    bool cleared_ = false;
};
