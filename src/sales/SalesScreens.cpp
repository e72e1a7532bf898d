#include "sales/SalesScreens.h"

#include "ui/Screens.h"
#include "sales/ProductPicker.h"
#include "sales/SalesSlip.h"

void registerSalesScreens()
{
    registerScreen(QStringLiteral("frm売上"), [](SessionState&, QWidget* parent) { return openSalesSlip(parent); });
    registerScreen(QStringLiteral("frm商品選択"), [](SessionState&, QWidget* parent) -> QDialog* { return new frm商品選択(parent); });
    registerScreen(QStringLiteral("frm商品選択2"), [](SessionState&, QWidget* parent) -> QDialog* { return new frm商品選択2(parent); });
}
