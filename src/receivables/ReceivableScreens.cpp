#include "receivables/ReceivableScreens.h"

#include "session/Screens.h"
#include "receivables/PaymentScreen.h"

void registerReceivableScreens()
{
    registerScreen(QStringLiteral("frm売掛入金"), [](QWidget* parent) { return openReceivablePayment(parent); });
}
