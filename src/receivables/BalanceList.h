#pragma once
// frm売掛残高一覧: every customer whose receivable balance is not zero,
// largest first (credit balances after the positive ones), and its print-out
// through the report "売掛残高.rpt".

#include "core/Currency.h"
#include "db/Database.h"

#include <QDialog>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;
class QToolButton;
class ValueQueryModel;

// The statement of the list: 顧客名前, 顧客売掛前回請求金額, 顧客売掛入金額,
// 顧客売掛締後売上額 and the computed 売掛残高 (CURRENCY); ties in the
// table's order.
QString balanceListStatement();
inline const QString BalanceColumn = QStringLiteral("売掛残高");
// The report the list prints.
inline const QString BalanceReport = QStringLiteral("売掛残高.rpt");

struct BalanceRow {
    QString name;
    Currency lastInvoiceAmount;
    Currency paymentsSinceClosing;
    Currency creditSalesSinceClosing;
    Currency balance;
};
// The rows of the list, in its order.
std::vector<BalanceRow> readBalanceList(Database& db);

class frm売掛残高一覧 : public QDialog {
public:
    explicit frm売掛残高一覧(QWidget* parent = nullptr);
    ~frm売掛残高一覧() override;

    QTableView* grdDataGrid;
    ValueQueryModel* datPrimaryRS; // the grid's data source
    // The data source's bar: first, previous, next and last row, and the
    // caption "Record: " with the current row counted from 1.
    QToolButton* cmdFirst;
    QToolButton* cmdPrevious;
    QToolButton* cmdNext;
    QToolButton* cmdLast;
    QLabel* lblRecord;
    QPushButton* Command1; // "印刷"
    QPushButton* cmdClose; // "閉じる(&C)"

    void Command1_Click(); // print "売掛残高.rpt"
    void cmdClose_Click();

private:
    void moveTo(int row);
    void updateCaption();

    Database db_;
};
