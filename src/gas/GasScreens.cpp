#include "gas/GasScreens.h"

#include "ui/Screens.h"
#include "gas/GasInputScreen.h"
#include "gas/GasTotalsScreen.h"

void registerGasScreens()
{
    registerScreen(QStringLiteral("frmガス入力"), [](SessionState& state, QWidget* parent) { return openGasInput(state, parent); });
    registerScreen(QStringLiteral("frmガス集計"), [](SessionState& state, QWidget* parent) -> QDialog* { return new frmガス集計(state, parent); });
}
