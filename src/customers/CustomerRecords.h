#pragma once
// The customer master's records without widgets: the 32 boxes of 顧客マスター
// with what each takes, the registration of a new customer, and the load,
// change and deletion of one. The captions say what each box takes ("半角数字
// 13桁以内"); text longer than that, or of the wrong kind, is refused with
// the operator's words naming the box, so nothing wrong reaches 顧客マスター.
// The screens hand over the typed texts and show what these return.

#include "core/Date.h"
#include "db/ValueKind.h"

#include <QString>
#include <QVariant>
#include <array>
#include <map>
#include <optional>

class Database;

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
