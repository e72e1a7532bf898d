#pragma once
// The transfer-slip listing frm経理振替伝票: two dates, the posted journal
// rows between them with their names, and the printed journal.

#include "accounting/TransferSlips.h"
#include "db/Database.h"
#include "session/Session.h"

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
    explicit frm経理振替伝票(SessionState& state, QWidget* parent = nullptr);
    ~frm経理振替伝票() override;

    DateBoxes* startBoxes;     // "年　月　日から"
    QSpinBox* startYearBox;    // Text2
    QSpinBox* startMonthBox;   // Text3
    QSpinBox* startDayBox;     // Text4
    DateBoxes* endBoxes;       // "年　月　日まで"
    QSpinBox* endYearBox;      // Text7
    QSpinBox* endMonthBox;     // Text8
    QSpinBox* endDayBox;       // Text9
    QTableView* slipGrid;      // DBGrid1: the journal rows of the period
    ValueQueryModel* slipRows; // Data1
    QPushButton* runButton;    // Command1 "実行"
    QPushButton* csvOutputButton;     // cmdCSV "CSV出力": the rows shown, as a CSV file
    QPushButton* journalOutputButton; // cmd仕訳CSV "仕訳CSV出力": the journal of the dates for the tax accountant
    QPushButton* printButton;  // Command3 "印刷"
    QPushButton* finishButton; // Command2 "中止・終了"

    const std::vector<accounting::TransferSlipRow>& loadedRows() const { return rows_; }

    void run();
    void print();
    // Writes the journal of the dates the boxes show as a CSV file.
    void writeJournal();
    void finish();

private:
    void load();

    Database db_;
    std::vector<accounting::TransferSlipRow> rows_;
};
