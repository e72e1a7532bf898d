#pragma once
// frm売掛領収書発行: the collection day and its customers, taken in turn or
// one from the picker. frm売掛領収書画面確認: one customer's figures and the
// receipt sheet for its last invoice. Nothing is written to the database.

#include "db/Database.h"
#include "receivables/InvoiceIssuing.h"

#include <QDialog>

class CustomerFrame;
class QListView;
class QPushButton;
class QSpinBox;
class ValueQueryModel;
struct SessionState;

class frm売掛領収書発行 : public QDialog {
public:
    explicit frm売掛領収書発行(SessionState& state, QWidget* parent = nullptr);
    ~frm売掛領収書発行() override;

    QSpinBox* collectionDayBox;        // Text集金指定日 "集金指定日" … "日"
    QListView* customerList;           // DBList1 "対象顧客"
    ValueQueryModel* customerModel;    // Data1, the list's record source
    QPushButton* byDayButton;          // Command1 "集金指定日別発行"
    QPushButton* singleCustomerButton; // Command2 "個別顧客発行"
    QPushButton* closeButton;          // Command3 "終了"

    int collectionDay() const { return collectionDay_; }

    void collectionDayChanged();  // takes the box's day and reloads the list
    void issueForCollectionDay(); // every customer of the collection day in turn
    void issueForOneCustomer();   // one customer from the picker
    void closeClicked();          // close

private:
    void loadList();

    SessionState& state_;
    Database db_;
    int collectionDay_ = 0;
};

class frm売掛領収書画面確認 : public QDialog {
public:
    // Shows the session's chosen customer (by code) and makes it the
    // session's chosen customer; the receipt is for its last closing date.
    explicit frm売掛領収書画面確認(SessionState& state, QWidget* parent = nullptr);
    // False when the customer was not found (the operator has been told).
    bool isReady() const { return account_.has_value(); }
    // The customer's last closing date, which the receipt prints.
    Date closingDate() const { return closingDate_; }

    CustomerFrame* customerFrame; // Frame1 "顧客相手先" with "請求額", "既入金額", "締後売上額"
    QPushButton* confirmButton;   // Command1 "確認－領収書発行": shown for a last invoice other than 0
    QPushButton* cancelButton;    // Command2 "キャンセル"

    void confirmAndPrint(); // print the receipt sheet
    void cancel();          // close

private:
    SessionState& state_;
    Date closingDate_;
    std::optional<CustomerAccount> account_;
    // The figures the customer's last closing kept for its receipt.
    std::optional<ClosedInvoice> closedInvoice_;
};
