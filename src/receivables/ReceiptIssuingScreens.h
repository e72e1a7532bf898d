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

class frm売掛領収書発行 : public QDialog {
public:
    explicit frm売掛領収書発行(QWidget* parent = nullptr);
    ~frm売掛領収書発行() override;

    QSpinBox* Text集金指定日; // "集金指定日" … "日"
    QListView* DBList1;      // "対象顧客"
    ValueQueryModel* Data1;  // the list's record source
    QPushButton* Command1;   // "集金指定日別発行"
    QPushButton* Command2;   // "個別顧客発行"
    QPushButton* Command3;   // "終了"

    int collectionDay() const { return collectionDay_; }

    void Text集金指定日_Change();
    void Command1_Click(); // every customer of the collection day in turn
    void Command2_Click(); // one customer from the picker
    void Command3_Click(); // close

private:
    void loadList();

    Database db_;
    int collectionDay_ = 0;
};

class frm売掛領収書画面確認 : public QDialog {
public:
    // Shows the session's chosen customer (by code) and sets the session's
    // closing date to the customer's last closing date.
    explicit frm売掛領収書画面確認(QWidget* parent = nullptr);
    // False when the customer was not found (the operator has been told).
    bool isReady() const { return account_.has_value(); }

    CustomerFrame* Frame1;  // "顧客相手先" with "請求額", "既入金額", "締後売上額"
    QPushButton* Command1;  // "確認－領収書発行": shown for a last invoice other than 0
    QPushButton* Command2;  // "キャンセル"

    void Command1_Click(); // print the receipt sheet
    void Command2_Click(); // close

private:
    std::optional<CustomerAccount> account_;
};
