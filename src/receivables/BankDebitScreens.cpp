#include "receivables/BankDebitScreens.h"

#include "ui/Screens.h"
#include "receivables/BankDebitOutputScreen.h"
#include "receivables/BankDebitResultScreen.h"

void registerBankDebitScreens()
{
    registerScreen(QStringLiteral("frm売掛FD出力"), [](SessionState& state, QWidget* parent) -> QDialog* { return new frm売掛FD出力(state, parent); });
    registerScreen(QStringLiteral("frm売掛FD入力"), [](SessionState& state, QWidget* parent) -> QDialog* { return new frm売掛FD入力(state, parent); });
}
