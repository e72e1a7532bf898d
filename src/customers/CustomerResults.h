#pragma once
// frm顧客実績表示: the posted sales history of the chosen customer, line by
// line. Opened from the sales slip it offers "前回どおり", which fills the new
// slip with the lines of the customer's latest posted slip; opened from the
// main menu it is a plain enquiry and the opener hides that button.

#include "db/Database.h"

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;
class QTableView;
class ValueQueryModel;
struct SessionState;

class frm顧客実績表示 : public QDialog {
public:
    explicit frm顧客実績表示(SessionState& state, QWidget* parent = nullptr);
    ~frm顧客実績表示() override;

    QLabel* customerNameLabel;     // Label1: the customer's name
    QTableView* historyGrid;       // grdDataGrid: the history
    ValueQueryModel* historyModel; // Data1, the history's record source
    QPushButton* csvOutputButton;  // cmdCSV "CSV出力": the history as a CSV file
    QPushButton* repeatButton;     // Command2 "前回どおり"
    QPushButton* okButton;         // Command1 "ＯＫ"

    void repeatLatestSlip(); // "前回どおり": repeat the latest slip
    void confirm();          // "ＯＫ": close

    // The slip "前回どおり" repeats: the customer's latest posted slip; 0
    // when there is none to repeat.
    std::int32_t selectedSlipNumber() const { return selectedSlipNumber_; }

private:
    SessionState& state_;
    Database db_;
    std::int32_t selectedSlipNumber_ = 0;
};
