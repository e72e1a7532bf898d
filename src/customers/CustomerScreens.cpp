#include "customers/CustomerScreens.h"

#include "ui/Screens.h"
#include "customers/CustomerChange.h"
#include "customers/CustomerPicker.h"
#include "customers/CustomerRegistration.h"
#include "customers/CustomerResults.h"

void registerCustomerScreens()
{
    registerScreen(QStringLiteral("frm顧客選択"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm顧客選択(state, parent); });
    registerScreen(QStringLiteral("frm顧客選択ガス"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm顧客選択ガス(state, parent); });
    registerScreen(QStringLiteral("frm顧客実績表示"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm顧客実績表示(state, parent); });
    registerScreen(QStringLiteral("frm顧客新規登録"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm顧客新規登録(state, parent); });
    registerScreen(QStringLiteral("frm顧客変更"),
                   [](SessionState& state, QWidget* parent) { return openCustomerChange(state, parent); });
}
