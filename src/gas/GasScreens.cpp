#include "gas/GasScreens.h"

#include "ui/Screens.h"
#include "gas/GasInputScreen.h"
#include "gas/GasTotalsScreen.h"

void registerGasScreens()
{
    registerScreen(QStringLiteral("frmガス入力"), [](SessionState&, QWidget* parent) { return openGasInput(parent); });
    registerScreen(QStringLiteral("frmガス集計"), [](SessionState&, QWidget* parent) -> QDialog* { return new frmガス集計(parent); });
}
