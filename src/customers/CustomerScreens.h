#pragma once
// Makes the customer screens available to openScreen: the pickers
// "frm顧客選択" and "frm顧客選択ガス", the results screen "frm顧客実績表示",
// and the customer master's "frm顧客新規登録" and "frm顧客変更".

void registerCustomerScreens();
