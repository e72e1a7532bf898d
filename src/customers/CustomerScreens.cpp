#include "customers/CustomerScreens.h"

#include "ui/Screens.h"
#include "customers/CustomerChange.h"
#include "customers/CustomerPicker.h"
#include "customers/CustomerRegistration.h"
#include "customers/CustomerResults.h"

void registerCustomerScreens()
{
    registerScreen(QStringLiteral("frm顧客選択"), [](SessionState&, QWidget* parent) -> QDialog* { return new frm顧客選択(parent); });
    registerScreen(QStringLiteral("frm顧客選択ガス"),
                   [](SessionState&, QWidget* parent) -> QDialog* { return new frm顧客選択ガス(parent); });
    registerScreen(QStringLiteral("frm顧客実績表示"),
                   [](SessionState&, QWidget* parent) -> QDialog* { return new frm顧客実績表示(parent); });
    registerScreen(QStringLiteral("frm顧客新規登録"),
                   [](SessionState&, QWidget* parent) -> QDialog* { return new frm顧客新規登録(parent); });
    registerScreen(QStringLiteral("frm顧客変更"), [](SessionState&, QWidget* parent) { return openCustomerChange(parent); });
}
