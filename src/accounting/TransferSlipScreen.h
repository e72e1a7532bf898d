#pragma once
// The transfer-slip listing frm経理振替伝票: two dates, the posted journal
// rows between them with their names, and the printed journal.

#include "accounting/TransferSlips.h"
#include "db/Database.h"

#include <QDialog>
#include <vector>

class DateBoxes;
class QPushButton;
class QSpinBox;
class QTableView;
class ValueQueryModel;

class frm経理振替伝票 : public QDialog {
public:
    // Opens on today − 30 days to today and loads the list.
    explicit frm経理振替伝票(QWidget* parent = nullptr);
    ~frm経理振替伝票() override;

    DateBoxes* startBoxes; // "年　月　日から"
    QSpinBox* Text2;
    QSpinBox* Text3;
    QSpinBox* Text4;
    DateBoxes* endBoxes;   // "年　月　日まで"
    QSpinBox* Text7;
    QSpinBox* Text8;
    QSpinBox* Text9;
    QTableView* DBGrid1;
    ValueQueryModel* Data1;
    QPushButton* Command1; // "実行"
    QPushButton* Command3; // "印刷"
    QPushButton* Command2; // "中止・終了"

    const std::vector<accounting::TransferSlipRow>& loadedRows() const { return rows_; }

    void Command1_Click();
    void Command3_Click();
    void Command2_Click();

private:
    void load();

    Database db_;
    std::vector<accounting::TransferSlipRow> rows_;
};
