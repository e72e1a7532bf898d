#pragma once
// What the customer pickers read from 顧客マスター: the list of names, by
// first kana letter or whole, and the details of one customer. The gas
// picker sees only the LP-gas customers (顧客ガスコード other than "0").

#include "session/Session.h"
#include "core/Currency.h"

#include <QString>
#include <QVariantList>
#include <optional>

class Database;

enum class CustomerScope { All, Gas };

// The 44 kana initials of the picker, in button order: あ い う え お か … わ.
constexpr int KanaInitialCount = 44;
QString kanaInitialCaption(int index);
// The pattern of initial `index`: its half-width katakana letter (ｱ for
// あ … ﾜ for わ) followed by "*". Names are kept in half-width katakana, where
// a voiced letter is its base letter plus a separate mark, so ｶ* finds ｶﾞ… too.
QString kanaInitialPattern(int index);

// A statement with its bound values.
struct CustomerListStatement {
    QString sql;
    QVariantList params;
};
// The names of the list: 顧客コード and 顧客名前カナ, ordered by kana name.
// With a pattern (a beginning and "*") only the names that begin so; the
// beginning is always bound.
CustomerListStatement customerListStatement(CustomerScope scope, const QString& pattern = {});

// One customer as the picker's detail boxes show it.
struct CustomerDetails : CustomerCard {
    float gasCylinder1 = 0; // 顧客ガスボンベ１
};

// The first customer of 顧客マスター in table order (the order the rows were
// added), within the scope; nullopt when there is none.
std::optional<CustomerDetails> firstCustomer(Database& db, CustomerScope scope);
// The customer with the given code, within the scope; nullopt when there is
// none.
std::optional<CustomerDetails> findCustomer(Database& db, const QString& code, CustomerScope scope);
