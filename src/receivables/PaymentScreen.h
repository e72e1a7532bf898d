#pragma once
// The payment screen frm売掛入金: the customer chosen in the picker, the
// means of payment and the amount received; "ＯＫ" writes one journal row
// for the daily update to post.

#include "customers/CustomerDisplayFrame.h"
#include "db/Database.h"
#include "session/Values.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class ValueQueryModel;
struct SessionState;

class frm売掛入金 : public QDialog {
public:
    // Shows the customer of the session and starts the payment's journal
    // row; the customer picker runs before, in openReceivablePayment().
    explicit frm売掛入金(SessionState& state, QWidget* parent = nullptr);
    ~frm売掛入金() override;

    // The customer panel "顧客相手先" (Frame1) with the customer's details.
    QGroupBox* customerFrame;
    QLabel* paymentDateField;       // lbl入金年月日 "入金年月日"

    QListView* meansOfPaymentList;        // dat入金先 "入金先": shows 勘定科目名, yields 科目番号
    ValueQueryModel* meansOfPaymentModel; // Data入金先, its record source
    QLineEdit* amountBox;                 // Text1 "入金額"
    QPushButton* okButton;                // Command1 "ＯＫ", shown once amount and means are set
    QPushButton* cancelButton;            // Command2 "キャンセル"

    // The operator's actions, as the list, the box and the buttons call them.
    void chooseMeansOfPayment(int row);
    void amountChanged();
    void store();
    void cancel();

    // The journal row being entered: date, amount, means and customer.
    const JournalEntry& journal() const { return journal_; }

private:
    void showCustomer();
    void updateOkVisibility();

    SessionState& state_;
    JournalEntry journal_;
    Database db_;
    CustomerDisplayFrame customerPanel; // "顧客相手先" and its fields
};

// The screen's opening: the customer picker first; a picker closed without
// a customer ends the payment here (nullptr). Otherwise the screen.
QDialog* openReceivablePayment(SessionState& state, QWidget* parent);
