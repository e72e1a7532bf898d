#include "accounting/AccountingScreens.h"

#include "accounting/EntryScreens.h"
#include "accounting/LedgerScreen.h"
#include "accounting/TransferSlipScreen.h"
#include "accounting/TrialBalanceScreen.h"
#include "accounting/YearEndScreen.h"
#include "ui/Screens.h"

namespace {

template <class Screen>
void add(const char* name)
{
    registerScreen(QString::fromUtf8(name),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new Screen(state, parent); });
}

} // namespace

void registerAccountingScreens()
{
    add<frm仕入>("frm仕入");
    add<frm経費>("frm経費");
    add<frm経理入力>("frm経理入力");
    add<frm経理残高試算表>("frm経理残高試算表");
    registerScreen(QStringLiteral("frm経理勘定帳"),
                   [](SessionState& state, QWidget* parent) { return openAccountLedger(state, parent); });
    add<frm経理振替伝票>("frm経理振替伝票");
    add<frm更新年次>("frm更新年次");
}
