#include "receivables/BankDebitScreens.h"

#include "session/Screens.h"
#include "receivables/BankDebitOutput.h"
#include "receivables/BankDebitResult.h"

void registerBankDebitScreens()
{
    registerScreen(QStringLiteral("frm売掛FD出力"), [](QWidget* parent) -> QDialog* { return new frm売掛FD出力(parent); });
    registerScreen(QStringLiteral("frm売掛FD入力"), [](QWidget* parent) -> QDialog* { return new frm売掛FD入力(parent); });
}
