#include "gas/GasScreens.h"

#include "session/Screens.h"
#include "gas/GasInputScreen.h"
#include "gas/GasTotalsScreen.h"

void registerGasScreens()
{
    registerScreen(QStringLiteral("frmガス入力"), [](QWidget* parent) { return openGasInput(parent); });
    registerScreen(QStringLiteral("frmガス集計"), [](QWidget* parent) -> QDialog* { return new frmガス集計(parent); });
}
