#pragma once
// Makes the customer pickers and the customer results screen available to
// openScreen: "frm顧客選択", "frm顧客選択ガス" and "frm顧客実績表示".

void registerCustomerScreens();
