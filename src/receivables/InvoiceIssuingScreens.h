#pragma once
// frm売掛請求書発行: the closing date and closing day, the customers of that
// closing day, and the two ways of invoicing them (every listed customer in
// turn, or one customer from the picker). frm売掛請求書画面確認: one
// customer's invoice, confirmed and printed, closed without printing, or
// left as it is.

#include "db/Database.h"
#include "receivables/InvoiceIssuing.h"

#include <QDialog>

class CustomerFrame;
class DateBoxes;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSpinBox;
class QTableView;
class ValueQueryModel;
struct SessionState;

class frm売掛請求書発行 : public QDialog {
public:
    explicit frm売掛請求書発行(SessionState& state, QWidget* parent = nullptr);
    ~frm売掛請求書発行() override;

    DateBoxes* dateBoxes;              // "締切日": the closing date
    QSpinBox* yearBox;                 // Text年
    QSpinBox* monthBox;                // Text月
    QSpinBox* dayBox;                  // Text日
    QSpinBox* closingDayBox;           // Text締切指定日 "締切指定日" … "日"
    QListView* customerList;           // DBList1 "対象顧客": names of the closing day's customers
    ValueQueryModel* customerModel;    // Data1, the list's record source
    QPushButton* byDayButton;          // Command1 "締切指定日別発行"
    QPushButton* singleCustomerButton; // Command2 "個別顧客発行"
    QPushButton* closeButton;          // Command3 "終了"

    int closingDay() const { return closingDay_; }
    Date closingDate() const;

    void closingDayChanged();   // takes the box's day and reloads the list
    void issueForClosingDay();  // every customer of the closing day in turn
    void issueForOneCustomer(); // one customer from the picker
    void closeClicked();        // close

private:
    void loadList();

    SessionState& state_;
    Database db_;
    int closingDay_ = 0;
};

class frm売掛請求書画面確認 : public QDialog {
public:
    // Shows the invoice of the session's chosen customer (by code) up to the
    // closing date, and makes that customer the session's chosen customer.
    frm売掛請求書画面確認(SessionState& state, Date closingDate, QWidget* parent = nullptr);
    ~frm売掛請求書画面確認() override;
    // False when the customer was not found (the operator has been told):
    // the screen ends while opening.
    bool isReady() const { return computed_.has_value(); }

    Date closingDate() const { return closingDate_; }
    // The invoice as computed on opening, which the print-out prints; only
    // while the screen is ready.
    const InvoiceValues& invoice() const { return computed_->invoice; }

    CustomerFrame* customerFrame;  // Frame1 "顧客相手先" with "請求額", "既入金額", "締後売上額"
    QTableView* lineGrid;          // DBGrid1 "売掛明細"
    ValueQueryModel* lineModel;    // Data1, its record source
    QLineEdit* detailTotalBox;     // Text明細合計 "明細合計": the current sales
    QLineEdit* totalBilledBox;     // Text合計請求金額 "合計請求金額": the total billed
    QLabel* taxByRateField;        // lbl税率別内訳: the sales by rate, as the invoice prints them
    QPushButton* confirmButton;    // Command1 "確認－請求書発行"
    QPushButton* updateOnlyButton; // Command2 "更新のみ"
    QPushButton* cancelButton;     // Command3 "キャンセル"

    void confirmAndPrint(); // print twice, then close the period
    void updateOnly();      // close the period without printing
    void cancel();          // leave the customer unchanged

private:
    bool closePeriod();

    SessionState& state_;
    Date closingDate_;
    Database db_;
    std::optional<InvoiceComputation> computed_;
};

// Opens the confirmation for the session's chosen customer up to the
// closing date, modally and behind the error guard. Returns the screen's
// result, or -1 when it ended while opening (no such customer).
int openInvoiceConfirmation(SessionState& state, Date closingDate, QWidget* parent);
