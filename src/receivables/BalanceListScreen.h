#pragma once
// frm売掛残高一覧: the receivable balance list in a grid with its record bar,
// and its print-out through the report "売掛残高.rpt".

#include "db/Database.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;
class QToolButton;
class ValueQueryModel;
struct SessionState;

class frm売掛残高一覧 : public QDialog {
public:
    explicit frm売掛残高一覧(SessionState& state, QWidget* parent = nullptr);
    ~frm売掛残高一覧() override;

    QTableView* balanceGrid;      // grdDataGrid
    ValueQueryModel* balanceRows; // datPrimaryRS, the grid's data source
    // The data source's bar: first, previous, next and last row, and the
    // caption "Record: " with the current row counted from 1.
    QToolButton* firstButton;    // cmdFirst
    QToolButton* previousButton; // cmdPrevious
    QToolButton* nextButton;     // cmdNext
    QToolButton* lastButton;     // cmdLast
    QLabel* recordLabel;         // lblRecord
    QPushButton* csvOutputButton; // cmdCSV "CSV出力": the list as a CSV file
    QPushButton* printButton;    // Command1 "印刷"
    QPushButton* closeButton;    // cmdClose "閉じる(&C)"

    void print();  // print "売掛残高.rpt"
    void finish(); // close the screen

private:
    void moveTo(int row);
    void updateCaption();

    SessionState& state_;
    Database db_;
};
