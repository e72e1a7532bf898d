#pragma once
// Registers the maintenance screens with the main window's screen list:
// "frmバックアップ", "frm削除商品", "frm削除ガス" and "frm商品販売数".

void registerMaintenanceScreens();
