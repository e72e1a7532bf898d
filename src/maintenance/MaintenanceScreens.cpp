#include "maintenance/MaintenanceScreens.h"

#include "ui/Screens.h"
#include "maintenance/BackupScreen.h"
#include "maintenance/OldDataDeletionScreens.h"
#include "maintenance/ProductSalesCountScreen.h"

void registerMaintenanceScreens()
{
    registerScreen(QStringLiteral("frmバックアップ"), [](SessionState&, QWidget* parent) -> QDialog* { return new frmバックアップ(parent); });
    registerScreen(QStringLiteral("frm削除商品"), [](SessionState&, QWidget* parent) -> QDialog* { return new frm削除商品(parent); });
    registerScreen(QStringLiteral("frm削除ガス"), [](SessionState&, QWidget* parent) -> QDialog* { return new frm削除ガス(parent); });
    registerScreen(QStringLiteral("frm商品販売数"), [](SessionState&, QWidget* parent) { return openProductSalesCount(parent); });
}
