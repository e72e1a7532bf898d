#pragma once
// Registers the sales screens with the main window's screen list:
// "frm売上", "frm商品選択", "frm商品選択2" and "frm税率別売上一覧".

void registerSalesScreens();
