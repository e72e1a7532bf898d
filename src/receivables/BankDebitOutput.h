#pragma once
// The direct-debit request: the customers of one settlement method who have
// an amount billed on their last invoice, as the bank's request file lists
// them, and what the operator is told about a file that cannot be written.
// Writing the file changes nothing in the database. The screen frm売掛FD出力
// is in BankDebitOutputScreen.h.

#include "db/Database.h"
#include "receivables/BankDebitFile.h"

#include <optional>
#include <vector>

// The settlement methods of the lists: 決済方法コード, 決済方法, by code.
QString settlementMethodsStatement();
// The method's row of 決済方法ＴＢＬ, or nullopt when there is none.
std::optional<bankfile::SettlementMethod> readSettlementMethod(Database& db, int code);

// The customers of one run: 顧客コード, 顧客名前カナ, 顧客売掛前回請求金額,
// 顧客引落銀行コード, 顧客引落銀行支店コード, 顧客引落口座種別, 顧客引落口座番号
// of the customers of the method (the one bound parameter) whose last
// invoice amount is not 0, in the table's own order, which is the order of
// the data records; then 備考, which marks a customer with a credit balance
// (left out of the file, its count and its total) with LeftOutOfTheFile.
QString debitCustomersStatement();
extern const QString LeftOutOfTheFile;
// The same customers with their bank's kana name.
std::vector<bankfile::DebitCustomer> readDebitCustomers(Database& db, int methodCode);

// Why a request file cannot be written, as the operator reads it: a
// missing bank starts with "銀行が登録されていません。"; every customer
// concerned is named with what is wrong.
QString requestProblemsMessage(const bankfile::RequestFile& file);
// The customers left out for a credit balance, one line each, for the
// question before writing; empty when there are none.
QString creditBalanceLines(const bankfile::RequestFile& file);
