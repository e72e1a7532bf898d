#include "receivables/BalanceChangeScreen.h"

#include "ui/Screens.h"
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

frm売掛残高変更::frm売掛残高変更(SessionState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frm売掛残高変更"));
    setWindowTitle(QStringLiteral("売掛残高変更"));

    customerFrame = new CustomerFrame(this);
    auto* amountLabel = new QLabel(QStringLiteral("変更後請求額"), this);
    billedBox = new QLineEdit(this);
    billedBox->setObjectName(QStringLiteral("Text1"));
    billedBox->setAlignment(Qt::AlignRight);
    billedBox->setMinimumWidth(140);
    amountLabel->setBuddy(billedBox);

    okButton = closingButton(this, QStringLiteral("Command1"), QStringLiteral("ＯＫ"));
    cancelButton = closingButton(this, QStringLiteral("Command2"), QStringLiteral("キャンセル"));
    connect(okButton, &QPushButton::clicked, this, [this] { store(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });

    auto* amountRow = new QHBoxLayout;
    amountRow->addStretch(1);
    amountRow->addWidget(amountLabel);
    amountRow->addWidget(billedBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(customerFrame);
    layout->addSpacing(8);
    layout->addLayout(amountRow);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setTabOrder(billedBox, okButton);
    setTabOrder(okButton, cancelButton);
    enableEnterNavigation(this);

    // Opening: the chosen customer as stored now, its billed amount in the
    // box, "ＯＫ" hidden until the amount is edited.
    SessionState& s = state_;
    {
        Database db(s.config.databasePath);
        account_ = readCustomerAccount(db, s.customer.code);
    }
    okButton->setVisible(false);
    if (!account_) {
        ui().showMessage(QStringLiteral("顧客コード %1 の顧客が見つかりません。").arg(s.customer.code),
                         QStringLiteral("エラーメッセージ"));
        return;
    }
    customerFrame->showAccount(*account_);
    edited_ = account_->lastInvoiceAmount;
    billedBox->setText(edited_.toString());
    connect(billedBox, &QLineEdit::textChanged, this, [this] { amountChanged(); });
    billedBox->setFocus();
    billedBox->selectAll();
}

void frm売掛残高変更::amountChanged()
{
    const std::optional<Currency> typed = typedBilledAmount(billedBox->text());
    // Text that is no amount keeps "ＯＫ" hidden: it is never stored.
    if (typed)
        edited_ = *typed;
    okButton->setVisible(typed.has_value());
}

void frm売掛残高変更::store()
{
    const std::optional<Currency> typed = typedBilledAmount(billedBox->text());
    if (!typed)
        return;
    Database db(state_.config.databasePath);
    if (!changeLastInvoiceAmount(db, account_->code, *typed)) {
        ui().showMessage(QStringLiteral("顧客コード %1 の顧客が見つかりません。").arg(account_->code),
                         QStringLiteral("エラーメッセージ"));
        return;
    }
    state_.customer.lastInvoiceAmount = *typed;
    accept();
}

void frm売掛残高変更::cancel()
{
    reject();
}

QDialog* openBalanceChange(SessionState& state, QWidget* parent)
{
    if (openScreen(state, QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), parent) != QDialog::Accepted)
        return nullptr;
    auto* screen = new frm売掛残高変更(state, parent);
    if (!screen->isReady()) {
        delete screen;
        return nullptr;
    }
    return screen;
}
