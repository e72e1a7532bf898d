#pragma once
// Makes the bank direct-debit screens available to openScreen:
// "frm売掛FD出力" (the request file) and "frm売掛FD入力" (the result file).

void registerBankDebitScreens();
