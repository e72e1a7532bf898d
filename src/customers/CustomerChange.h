#pragma once
// The customer master's change screen frm顧客変更: every field of one
// customer, chosen in the customer picker when the screen opens. The
// editable boxes are written back by "更新(&U)"; a customer is deleted by
// "削除(&D)" unless other rows still carry its code. The boxes marked
// "クリックして選択" open the picker of their code table when clicked.

#include "customers/CustomerRecords.h"
#include "db/Database.h"

#include <QDialog>
#include <QVariant>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
struct SessionState;

// A stored value as its box shows it: yen for amounts, yyyy/mm/dd for dates
// (nothing for the zero date, which means "never").
QString customerBoxText(int index, const QVariant& stored);

class frm顧客変更 : public QDialog {
public:
    // The screen on the customer `code`, which must exist (see
    // openCustomerChange for the opening with the picker).
    frm顧客変更(SessionState& state, const QString& code, QWidget* parent = nullptr);

    // The 32 boxes (txtFields_0 … txtFields_31) and their captions
    // (lblLabels_0 … lblLabels_31).
    std::array<QLineEdit*, CustomerBoxCount> boxes{};
    std::array<QLabel*, CustomerBoxCount> captions{};
    QPushButton* updateButton; // cmdUpdate "更新(&U)"
    QPushButton* deleteButton; // cmdDelete "削除(&D)"
    QPushButton* closeButton;  // cmdClose "閉じる(&C)"

    // A click on box `index`: the boxes marked "クリックして選択" open their
    // picker and take the code it returns; the others do nothing special.
    void boxClicked(int index);
    void updateClicked(); // "更新(&U)"
    void deleteClicked(); // "削除(&D)"
    void closeClicked();  // "閉じる(&C)"

private:
    void showValues(const CustomerValues& values);

    SessionState& state_;
    Database db_;
    QString code_;
    std::array<QString, CustomerBoxCount> loaded_;
};

// The opening of frm顧客変更: the customer picker first; closed without a
// choice, the screen ends here and nullptr is returned.
QDialog* openCustomerChange(SessionState& state, QWidget* parent);
