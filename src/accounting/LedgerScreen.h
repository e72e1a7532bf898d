#pragma once
// The account ledger frm経理勘定帳: the account chosen in frm勘定科目選択,
// its journal lines in 各勘定帳 with the running balance from its opening
// balance, and the printed ledger "各勘定帳.rpt".

#include "accounting/Books.h"
#include "db/Database.h"
#include "session/Session.h"

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;
class QTableView;
class ValueQueryModel;

class frm経理勘定帳 : public QDialog {
public:
    // Builds the ledger of `account` (an account not in the chart gives an
    // empty ledger from 0 under a blank name).
    frm経理勘定帳(SessionState& state, std::int64_t account, QWidget* parent = nullptr);
    ~frm経理勘定帳() override;

    QLabel* accountNameLabel;  // Label1: the account's name
    QTableView* linesGrid;     // DBGrid1: the lines of 各勘定帳
    ValueQueryModel* lineRows; // Data2
    QPushButton* csvOutputButton; // cmdCSV "CSV出力": the lines as a CSV file
    QPushButton* printButton;  // Command2 "印刷"
    QPushButton* finishButton; // Command1 "終了": empties the work table and closes

    const accounting::LedgerResult& ledger() const { return ledger_; }

    void print();
    void finish();

private:
    void showLines();

    SessionState& state_;
    Database db_;
    accounting::LedgerResult ledger_;
};

// The account the ledger starts from when the picker is closed without a
// choice.
constexpr std::int32_t DefaultLedgerAccount = 10;

// The screen's opening: the account picker first, then the ledger of the
// account it returns.
QDialog* openAccountLedger(SessionState& state, QWidget* parent);
