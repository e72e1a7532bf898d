#pragma once
// The customer master's change screen frm顧客変更: every field of one
// customer, chosen in the customer picker when the screen opens. The
// editable boxes are written back by "更新(&U)"; a customer is deleted by
// "削除(&D)" unless other rows still carry its code. The boxes marked
// "クリックして選択" open the picker of their code table when clicked.

#include "customers/CustomerRegistration.h"
#include "db/Database.h"

#include <QDialog>
#include <QVariant>
#include <array>
#include <map>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
struct SessionState;

// One customer's columns as stored, in the order of the boxes.
using CustomerValues = std::array<QVariant, CustomerBoxCount>;
std::optional<CustomerValues> loadCustomer(Database& db, const QString& code);

struct ChangeResult {
    bool stored = false;
    QString message; // what the operator is told when nothing was stored
};
// Writes the boxes whose text the operator changed (box index → text) to
// the customer `code`. Sizes and kinds are checked first, and a billing
// customer must be "0" or a registered customer; a change the database
// refuses is reported as "Data error event hit err:" and its reason.
ChangeResult changeCustomer(Database& db, const QString& code, const std::map<int, QString>& changedTexts);
// Deletes the customer; false when the database keeps it because rows
// still refer to it.
bool deleteCustomer(Database& db, const QString& code);

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
