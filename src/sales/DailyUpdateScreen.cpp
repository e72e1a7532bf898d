#include "sales/DailyUpdateScreen.h"

#include "ui/Screens.h"
#include "session/Session.h"
#include "db/Database.h"
#include "sales/DailyUpdate.h"
#include "ui/ScreenWidgets.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("日次更新");

} // namespace

frm更新日次::frm更新日次(SessionState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frm更新日次"));
    setWindowTitle(Title);

    questionLabel = new QLabel(QStringLiteral("データの転記をしてもよろしいか？"), this);
    questionLabel->setObjectName(QStringLiteral("Label1"));
    QFont big = questionLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    questionLabel->setFont(big);
    questionLabel->setAlignment(Qt::AlignCenter);
    okButton = commandButton(this, QStringLiteral("Command2"), QStringLiteral("ＯＫ"));
    cancelButton = commandButton(this, QStringLiteral("Command1"), QStringLiteral("キャンセル"));
    connect(okButton, &QPushButton::clicked, this, [this] { post(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 28, 32, 20);
    layout->setSpacing(24);
    layout->addWidget(questionLabel);
    layout->addLayout(buttons);
    // The cursor starts on キャンセル, so a stray Enter posts nothing; on a
    // focused ＯＫ Enter posts.
    cancelButton->setDefault(true);
    enableEnterNavigation(this);
    cancelButton->setFocus();
}

void frm更新日次::post()
{
    // One cut-off for the whole run, taken when posting starts.
    const Date cutoff = Date::today();
    try {
        BusyCursor busy;
        Database db(state_.config.databasePath);
        postHoldingRows(db, cutoff);
    } catch (const UnpostableRowsError& e) {
        ui().showMessage(e.message(), Title);
        reject();
        return;
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("日次更新を中止しました。データは何も変更していません。\n%1").arg(e.databaseText()),
                         Title);
        reject();
        return;
    }
    accept();
}

void frm更新日次::cancel()
{
    reject();
}

QDialog* openDailyUpdate(SessionState& state, QWidget* parent)
{
    openScreen(state, QStringLiteral("frm転記前確認"), QStringLiteral("転記前確認"), parent);
    return new frm更新日次(state, parent);
}
