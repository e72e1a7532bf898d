#pragma once
// Registers the sales screens with the main window's screen list:
// "frm売上", "frm商品選択" and "frm商品選択2".

void registerSalesScreens();
