#pragma once
// Makes the master screens available to openScreen: the seventeen
// code-table editors (frm設定店コード … frm商品税区分), the nine code
// pickers (frm店コード選択 … frm勘定科目選択) and the company settings
// frm設定会社.

void registerMasterScreens();
