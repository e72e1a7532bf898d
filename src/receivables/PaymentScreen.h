#pragma once
// The payment screen frm売掛入金: the customer chosen in the picker, the
// means of payment and the amount received; "ＯＫ" writes one journal row
// for the daily update to post.

#include "customers/CustomerDisplayFrame.h"
#include "db/Database.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class ValueQueryModel;

class frm売掛入金 : public QDialog {
public:
    // Shows the customer of the session and fills the journal buffer; the
    // customer picker runs before, in openReceivablePayment().
    explicit frm売掛入金(QWidget* parent = nullptr);
    ~frm売掛入金() override;

    QGroupBox* Frame1; // "顧客相手先"
    QLabel* lbl顧客コード;
    QLabel* lbl顧客名前;
    QLabel* lbl顧客カナ名前;
    QLabel* lbl顧客住所１;
    QLabel* lbl顧客住所２;
    QLabel* lbl顧客電話番号;
    QLabel* lbl郵便番号;
    QLabel* lbl請求額;
    QLabel* lbl既入金額;
    QLabel* lbl締後売上額;
    QLabel* lbl入金年月日;

    QListView* dat入金先;        // "入金先": shows 勘定科目名, yields 科目番号
    ValueQueryModel* Data入金先; // its record source
    QLineEdit* Text1;            // "入金額"
    QPushButton* Command1;       // "ＯＫ", shown once amount and means are set
    QPushButton* Command2;       // "キャンセル"

    void dat入金先_Click(int row);
    void Text1_Change();
    void Command1_Click();
    void Command2_Click();

private:
    void showCustomer();
    void updateOkVisibility();

    Database db_;
    CustomerDisplayFrame customer_; // "顧客相手先"
};

// The screen's opening: the customer picker first; a picker closed without
// a customer ends the payment here (nullptr). Otherwise the screen.
QDialog* openReceivablePayment(QWidget* parent);
