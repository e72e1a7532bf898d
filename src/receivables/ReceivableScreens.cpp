#include "receivables/ReceivableScreens.h"

#include "ui/Screens.h"
#include "receivables/PaymentScreen.h"

void registerReceivableScreens()
{
    registerScreen(QStringLiteral("frm売掛入金"), [](SessionState& state, QWidget* parent) { return openReceivablePayment(state, parent); });
}
