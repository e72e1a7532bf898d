#include "receivables/BalanceChangeScreen.h"

#include "session/Screens.h"
#include "session/Session.h"
#include "db/Database.h"
#include "receivables/BalanceChange.h"
#include "receivables/ClosingScreens.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frm売掛残高変更::frm売掛残高変更(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm売掛残高変更"));
    setWindowTitle(QStringLiteral("売掛残高変更"));

    Frame1 = new CustomerFrame(this);
    auto* amountLabel = new QLabel(QStringLiteral("変更後請求額"), this);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAlignment(Qt::AlignRight);
    Text1->setMinimumWidth(140);
    amountLabel->setBuddy(Text1);

    Command1 = closingButton(this, QStringLiteral("Command1"), QStringLiteral("ＯＫ"));
    Command2 = closingButton(this, QStringLiteral("Command2"), QStringLiteral("キャンセル"));
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    auto* amountRow = new QHBoxLayout;
    amountRow->addStretch(1);
    amountRow->addWidget(amountLabel);
    amountRow->addWidget(Text1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addSpacing(8);
    layout->addLayout(amountRow);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    enableEnterNavigation(this);

    // Opening: the chosen customer as stored now, its billed amount in the
    // box, "ＯＫ" hidden until the amount is edited.
    SessionState& s = session();
    {
        Database db(s.config.databasePath);
        account_ = readCustomerAccount(db, s.customer.code);
    }
    Command1->setVisible(false);
    if (!account_) {
        ui().showMessage(QStringLiteral("顧客コード %1 の顧客が見つかりません。").arg(s.customer.code),
                         QStringLiteral("エラーメッセージ"));
        return;
    }
    Frame1->showAccount(*account_);
    edited_ = account_->lastInvoiceAmount;
    Text1->setText(edited_.toString());
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    Text1->setFocus();
    Text1->selectAll();
}

void frm売掛残高変更::Text1_Change()
{
    const std::optional<Currency> typed = typedBilledAmount(Text1->text());
    // Text that is no amount keeps "ＯＫ" hidden: it is never stored.
    if (typed)
        edited_ = *typed;
    Command1->setVisible(typed.has_value());
}

void frm売掛残高変更::Command1_Click()
{
    const std::optional<Currency> typed = typedBilledAmount(Text1->text());
    if (!typed)
        return;
    Database db(session().config.databasePath);
    if (!changeLastInvoiceAmount(db, account_->code, *typed)) {
        ui().showMessage(QStringLiteral("顧客コード %1 の顧客が見つかりません。").arg(account_->code),
                         QStringLiteral("エラーメッセージ"));
        return;
    }
    session().customer.lastInvoiceAmount = *typed;
    accept();
}

void frm売掛残高変更::Command2_Click()
{
    reject();
}

QDialog* openBalanceChange(QWidget* parent)
{
    if (openScreen(QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), parent) != QDialog::Accepted)
        return nullptr;
    auto* screen = new frm売掛残高変更(parent);
    if (!screen->isReady()) {
        delete screen;
        return nullptr;
    }
    return screen;
}
