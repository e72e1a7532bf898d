#include "sales/SalesScreens.h"

#include "ui/Screens.h"
#include "sales/ProductPicker.h"
#include "sales/SalesByRateScreen.h"
#include "sales/SalesSlip.h"

void registerSalesScreens()
{
    registerScreen(QStringLiteral("frm売上"), [](SessionState& state, QWidget* parent) { return openSalesSlip(state, parent); });
    registerScreen(QStringLiteral("frm商品選択"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm商品選択(state, parent); });
    registerScreen(QStringLiteral("frm商品選択2"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm商品選択2(state, parent); });
    registerScreen(QStringLiteral("frm税率別売上一覧"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm税率別売上一覧(state, parent); });
}
