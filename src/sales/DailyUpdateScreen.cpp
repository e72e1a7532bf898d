#include "sales/DailyUpdateScreen.h"

#include "session/Screens.h"
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

frm更新日次::frm更新日次(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm更新日次"));
    setWindowTitle(Title);

    Label1 = new QLabel(QStringLiteral("データの転記をしてもよろしいか？"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    Label1->setFont(big);
    Label1->setAlignment(Qt::AlignCenter);
    Command2 = commandButton(this, QStringLiteral("Command2"), QStringLiteral("ＯＫ"));
    Command1 = commandButton(this, QStringLiteral("Command1"), QStringLiteral("キャンセル"));
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 28, 32, 20);
    layout->setSpacing(24);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    // The cursor starts on キャンセル, so a stray Enter posts nothing; on a
    // focused ＯＫ Enter posts.
    Command1->setDefault(true);
    enableEnterNavigation(this);
    Command1->setFocus();
}

void frm更新日次::Command2_Click()
{
    // One cut-off for the whole run, taken when posting starts.
    const Date cutoff = Date::today();
    try {
        BusyCursor busy;
        Database db(session().config.databasePath);
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

void frm更新日次::Command1_Click()
{
    reject();
}

QDialog* openDailyUpdate(QWidget* parent)
{
    openScreen(QStringLiteral("frm転記前確認"), QStringLiteral("転記前確認"), parent);
    return new frm更新日次(parent);
}
