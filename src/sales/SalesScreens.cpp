#include "sales/SalesScreens.h"

#include "session/Screens.h"
#include "sales/ProductPicker.h"
#include "sales/SalesSlip.h"

void registerSalesScreens()
{
    registerScreen(QStringLiteral("frm売上"), [](QWidget* parent) { return openSalesSlip(parent); });
    registerScreen(QStringLiteral("frm商品選択"), [](QWidget* parent) -> QDialog* { return new frm商品選択(parent); });
    registerScreen(QStringLiteral("frm商品選択2"), [](QWidget* parent) -> QDialog* { return new frm商品選択2(parent); });
}
