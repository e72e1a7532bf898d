#pragma once
// The pre-posting review frm転記前確認: what waits in the two holding tables,
// one listing above the other, and the deletion of a whole slip by its
// number. Opened by the daily update before its question.

#include "db/Database.h"

#include <QDialog>
#include <cstdint>

struct SessionState;
class QLabel;
class QPushButton;
class QTableView;
class ValueQueryModel;

class frm転記前確認 : public QDialog {
public:
    // Lists the holding tables of the database `state` is configured for.
    // `selectedSlipNumber` is the number "削除" offers while no listed row
    // has become current (0: none).
    explicit frm転記前確認(SessionState& state, QWidget* parent = nullptr, std::int32_t selectedSlipNumber = 0);
    ~frm転記前確認() override;

    QLabel* salesLabel;           // Label1 "売上商品マスター仮"
    QTableView* salesGrid;        // DBGrid1: the holding sales lines
    ValueQueryModel* salesModel;  // Data1, its record source
    QLabel* ledgerLabel;          // Label2 "経理マスター仮"
    QTableView* ledgerGrid;       // DBGrid2: the holding ledger rows
    ValueQueryModel* ledgerModel; // Data2, its record source
    QPushButton* deleteButton;    // Command1 "削除"
    QPushButton* okButton;        // Command2 "確認ＯＫ"

    // Reloads both listings (the account copy is refreshed before the
    // ledger listing); the first row of each becomes current in turn.
    void loadHoldingListings();
    void deleteSlip(); // "削除": deletes the selected slip
    void confirm();    // "確認ＯＫ": closes the review

    // The slip "削除" deletes: the number of the row that became current
    // last in either listing.
    std::int32_t selectedSlipNumber() const { return selectedSlipNumber_; }
    void setSelectedSlipNumber(std::int32_t number) { selectedSlipNumber_ = number; }

private:
    void currentRowChanged(ValueQueryModel* data, const QModelIndex& current);
    void makeFirstRowCurrent(QTableView* grid, ValueQueryModel* data);
    void clearListings();
    void fitColumns(QTableView* grid);

    SessionState& state_;
    Database db_;
    std::int32_t selectedSlipNumber_;
};
