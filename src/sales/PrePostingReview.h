#pragma once
// The pre-posting review frm転記前確認: what waits in the two holding tables,
// one listing above the other, and the deletion of a whole slip by its
// number. Opened by the daily update before its question.

#include "db/Database.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;
class ValueQueryModel;

class frm転記前確認 : public QDialog {
public:
    explicit frm転記前確認(QWidget* parent = nullptr);
    ~frm転記前確認() override;

    QLabel* Label1;          // "売上商品マスター仮"
    QTableView* DBGrid1;     // the holding sales lines
    ValueQueryModel* Data1;  // its record source
    QLabel* Label2;          // "経理マスター仮"
    QTableView* DBGrid2;     // the holding ledger rows
    ValueQueryModel* Data2;  // its record source
    QPushButton* Command1;   // "削除"
    QPushButton* Command2;   // "確認ＯＫ"

    // Reloads both listings (the account copy is refreshed before the
    // ledger listing); the first row of each becomes current in turn.
    void LoadHoldingListings();
    void Command1_Click(); // delete the selected slip
    void Command2_Click(); // close the review

private:
    void currentRowChanged(ValueQueryModel* data, const QModelIndex& current);
    void makeFirstRowCurrent(QTableView* grid, ValueQueryModel* data);
    void clearListings();
    void fitColumns(QTableView* grid);

    Database db_;
};
