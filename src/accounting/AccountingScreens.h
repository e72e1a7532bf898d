#pragma once
// Makes the accounting screens available to openScreen: frm仕入, frm経費,
// frm経理入力, frm経理残高試算表, frm経理勘定帳 (after the account picker
// frm勘定科目選択 of the master screens), frm経理振替伝票 and frm更新年次.

void registerAccountingScreens();
