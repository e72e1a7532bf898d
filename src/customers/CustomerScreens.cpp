#include "customers/CustomerScreens.h"

#include "session/Screens.h"
#include "customers/CustomerChange.h"
#include "customers/CustomerPicker.h"
#include "customers/CustomerRegistration.h"
#include "customers/CustomerResults.h"

void registerCustomerScreens()
{
    registerScreen(QStringLiteral("frm顧客選択"), [](QWidget* parent) -> QDialog* { return new frm顧客選択(parent); });
    registerScreen(QStringLiteral("frm顧客選択ガス"),
                   [](QWidget* parent) -> QDialog* { return new frm顧客選択ガス(parent); });
    registerScreen(QStringLiteral("frm顧客実績表示"),
                   [](QWidget* parent) -> QDialog* { return new frm顧客実績表示(parent); });
    registerScreen(QStringLiteral("frm顧客新規登録"),
                   [](QWidget* parent) -> QDialog* { return new frm顧客新規登録(parent); });
    registerScreen(QStringLiteral("frm顧客変更"), [](QWidget* parent) { return openCustomerChange(parent); });
}
