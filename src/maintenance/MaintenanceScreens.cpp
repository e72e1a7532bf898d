#include "maintenance/MaintenanceScreens.h"

#include "ui/Screens.h"
#include "maintenance/BackupScreen.h"
#include "maintenance/OldDataDeletionScreens.h"
#include "maintenance/OldDataImportScreen.h"
#include "maintenance/ProductSalesCountScreen.h"
#include "maintenance/ShopMoveScreen.h"

void registerMaintenanceScreens()
{
    registerScreen(QStringLiteral("frmバックアップ"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frmバックアップ(state, parent); });
    registerScreen(QStringLiteral("frm旧データ取り込み"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm旧データ取り込み(state, parent); });
    registerScreen(QStringLiteral("frmサーバー移行"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frmサーバー移行(state, parent); });
    registerScreen(QStringLiteral("frm削除商品"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm削除商品(state, parent); });
    registerScreen(QStringLiteral("frm削除ガス"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm削除ガス(state, parent); });
    registerScreen(QStringLiteral("frm商品販売数"),
                   [](SessionState& state, QWidget* parent) { return openProductSalesCount(state, parent); });
}
