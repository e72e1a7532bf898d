#include "sales/PostingScreens.h"

#include "ui/Screens.h"
#include "sales/DailyUpdateScreen.h"
#include "sales/PrePostingReview.h"

void registerPostingScreens()
{
    registerScreen(QStringLiteral("frm転記前確認"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm転記前確認(state, parent); });
    registerScreen(QStringLiteral("frm更新日次"), [](SessionState& state, QWidget* parent) { return openDailyUpdate(state, parent); });
}
