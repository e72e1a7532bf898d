#include "maintenance/MaintenanceScreens.h"

#include "session/Screens.h"
#include "maintenance/BackupScreen.h"
#include "maintenance/OldDataDeletionScreens.h"
#include "maintenance/ProductSalesCountScreen.h"

void registerMaintenanceScreens()
{
    registerScreen(QStringLiteral("frmバックアップ"), [](QWidget* parent) -> QDialog* { return new frmバックアップ(parent); });
    registerScreen(QStringLiteral("frm削除商品"), [](QWidget* parent) -> QDialog* { return new frm削除商品(parent); });
    registerScreen(QStringLiteral("frm削除ガス"), [](QWidget* parent) -> QDialog* { return new frm削除ガス(parent); });
    registerScreen(QStringLiteral("frm商品販売数"), [](QWidget* parent) { return openProductSalesCount(parent); });
}
