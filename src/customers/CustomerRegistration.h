#pragma once
// The customer master's boxes and the registration of a new customer
// (frm顧客新規登録). The captions say what each box takes ("半角数字13桁以
// 内"); text longer than that, or of the wrong kind, is refused with a
// message naming the box, so nothing wrong reaches 顧客マスター.

#include "core/Date.h"
#include "ui/ValueModel.h"

#include <QDialog>
#include <QString>
#include <QVariant>
#include <array>
#include <optional>

class Database;
class QLabel;
class QLineEdit;
class QPushButton;
struct SessionState;

// What a customer box takes.
enum class CustomerBoxKind {
    Digits,      // half-width digits (codes)
    Telephone,   // half-width digits with hyphens, parentheses and blanks
    HalfWidth,   // half-width characters (the kana name)
    Text,        // any text
    Day,         // a day of the month: 1-31, 31 for the month end; 0 for none
    Whole,       // a whole number (the codes chosen in pickers, the gas type)
    Number,      // a number (tank capacity, cylinder sizes)
    BillingCode, // "0" or the code of a registered customer
    ShownOnly    // shown, never written by the screens
};

struct CustomerBox {
    const char* column;
    const char* caption; // as the change screen shows it
    int maxLength;       // characters; 0 for no limit
    CustomerBoxKind kind;
    const char* picker;  // the picker a click opens, or nullptr
    ValueKind stored;    // how 顧客マスター stores the column
};

constexpr int CustomerBoxCount = 32;
// The fields of 顧客マスター in the order of the change screen's boxes.
const std::array<CustomerBox, CustomerBoxCount>& customerBoxes();
// The box of a column, or -1.
int customerBoxIndex(const QString& column);

// The typed text as it is kept: full-width digits, signs and points typed
// through an input method become half-width in the number and code boxes.
QString normalizedBoxText(int index, const QString& typed);
// Why the (normalized) text cannot be stored in box `index`, or nullopt.
std::optional<QString> customerBoxProblem(int index, const QString& text);
// The value written to the column for an acceptable text.
QVariant customerBoxValue(int index, const QString& text);
// A stored value as its box shows it: yen for amounts, yyyy/mm/dd for dates
// (nothing for the zero date, which means "never").
QString customerBoxText(int index, const QVariant& stored);

// The seven boxes of the registration screen.
struct NewCustomer {
    QString code;
    QString name;
    QString kanaName;
    QString telephone;
    QString postalCode;
    QString address1;
    QString address2;
};

enum class RegistrationOutcome { Stored, EmptyCode, EmptyKanaName, DuplicateCode, Refused };
struct RegistrationResult {
    RegistrationOutcome outcome;
    QString message; // what the operator is told (title "エラー"); empty when stored
};

// The checks of "追加(&A)" in their order (empty code, empty kana name, code
// in use), then the boxes' sizes and kinds; a customer that passes them all
// is stored with the table's defaults for every other column and
// registration date `today`. A code of blanks is not empty.
RegistrationResult registerCustomer(Database& db, const NewCustomer& customer, const Date& today);

class frm顧客新規登録 : public QDialog {
public:
    explicit frm顧客新規登録(SessionState& state, QWidget* parent = nullptr);

    static constexpr int BoxCount = 7;
    // 顧客コード, 顧客名前, 顧客名前カナ, 顧客電話番号, 顧客郵便番号,
    // 顧客住所１, 顧客住所２ (txtFields_0 … txtFields_6) and their captions
    // (lblLabels_0 … lblLabels_6).
    std::array<QLineEdit*, BoxCount> boxes{};
    std::array<QLabel*, BoxCount> captions{};
    QPushButton* addButton;   // cmdAdd "追加(&A)"
    QPushButton* closeButton; // cmdClose "閉じる(&C)"

    void addClicked();   // "追加(&A)"
    void closeClicked(); // "閉じる(&C)"

private:
    void startNewRecord();

    SessionState& state_;
};
