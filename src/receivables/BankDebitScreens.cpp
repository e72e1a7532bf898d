#include "receivables/BankDebitScreens.h"

#include "ui/Screens.h"
#include "receivables/BankDebitOutputScreen.h"
#include "receivables/BankDebitResultScreen.h"

void registerBankDebitScreens()
{
    registerScreen(QStringLiteral("frm売掛FD出力"), [](SessionState&, QWidget* parent) -> QDialog* { return new frm売掛FD出力(parent); });
    registerScreen(QStringLiteral("frm売掛FD入力"), [](SessionState&, QWidget* parent) -> QDialog* { return new frm売掛FD入力(parent); });
}
