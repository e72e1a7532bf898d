#pragma once
// frm売掛残高変更: one customer's account and the box "変更後請求額" that
// corrects its carried-forward billed amount (BalanceChange.h).

#include "core/Currency.h"
#include "receivables/InvoiceIssuing.h"

#include <QDialog>
#include <optional>

class CustomerFrame;
class QLineEdit;
class QPushButton;
struct SessionState;

class frm売掛残高変更 : public QDialog {
public:
    // Shows the session's chosen customer; the picker runs before, in
    // openBalanceChange().
    explicit frm売掛残高変更(SessionState& state, QWidget* parent = nullptr);
    // False when the customer was not found (the operator has been told).
    bool isReady() const { return account_.has_value(); }

    CustomerFrame* customerFrame; // Frame1 "顧客相手先" with "請求額", "既入金額", "締後売上額"
    QLineEdit* billedBox;         // Text1 "変更後請求額"
    QPushButton* okButton;        // Command1 "ＯＫ": shown once the amount is edited to a valid amount
    QPushButton* cancelButton;    // Command2 "キャンセル"

    void amountChanged(); // shows "ＯＫ" while the box holds a valid amount
    void store();         // store the edited amount and close
    void cancel();        // close without writing

private:
    SessionState& state_;
    std::optional<CustomerAccount> account_;
    Currency edited_;
};

// The screen's opening: the customer picker first; a picker closed without
// a choice ends here with nothing changed (nullptr).
QDialog* openBalanceChange(SessionState& state, QWidget* parent);
