#include "receivables/ClosingScreens.h"

#include "ui/Screens.h"
#include "receivables/BalanceChangeScreen.h"
#include "receivables/BalanceListScreen.h"
#include "receivables/InvoiceIssuing.h"
#include "receivables/InvoiceIssuingScreens.h"
#include "receivables/ReceiptIssuingScreens.h"

#include "ui/ValueModel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QLineEdit* frameBox(QWidget* parent, const QString& column, int minimumWidth, bool amount)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(column);
    box->setReadOnly(true);
    // Read, not typed: Tab passes them by, a click can still select.
    box->setFocusPolicy(Qt::ClickFocus);
    box->setMinimumWidth(minimumWidth);
    if (amount)
        box->setAlignment(Qt::AlignRight);
    return box;
}

// A screen that decides while opening that it has nothing to show (no such
// customer) ends there.
template <class Screen>
QDialog* openIfReady(SessionState& state, QWidget* parent)
{
    auto* screen = new Screen(state, parent);
    if (!screen->isReady()) {
        delete screen;
        return nullptr;
    }
    return screen;
}

} // namespace

CustomerFrame::CustomerFrame(QWidget* parent) : QGroupBox(QStringLiteral("顧客相手先"), parent)
{
    setObjectName(QStringLiteral("Frame1"));
    codeBox = frameBox(this, QStringLiteral("顧客コード"), 120, false);
    nameBox = frameBox(this, QStringLiteral("顧客名前"), 240, false);
    kanaNameBox = frameBox(this, QStringLiteral("顧客名前カナ"), 240, false);
    address1Box = frameBox(this, QStringLiteral("顧客住所１"), 320, false);
    address2Box = frameBox(this, QStringLiteral("顧客住所２"), 320, false);
    address2Box->setAccessibleName(QStringLiteral("顧客住所（２行目）"));
    telephoneBox = frameBox(this, QStringLiteral("顧客電話番号"), 160, false);
    postalCodeBox = frameBox(this, QStringLiteral("顧客郵便番号"), 100, false);
    lastInvoiceBox = frameBox(this, QStringLiteral("顧客売掛前回請求金額"), 120, true);
    paymentsBox = frameBox(this, QStringLiteral("顧客売掛入金額"), 120, true);
    salesSinceClosingBox = frameBox(this, QStringLiteral("顧客売掛締後売上額"), 120, true);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    auto addRow = [&](int row, int column, const QString& caption, QLineEdit* box) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        grid->addWidget(label, row, column);
        grid->addWidget(box, row, column + 1);
    };
    // Details on the left, the three amounts on the right.
    addRow(0, 0, QStringLiteral("顧客コード"), codeBox);
    addRow(1, 0, QStringLiteral("顧客名前"), nameBox);
    addRow(2, 0, QStringLiteral("顧客カナ名前"), kanaNameBox);
    addRow(3, 0, QStringLiteral("顧客住所"), address1Box);
    grid->addWidget(address2Box, 4, 1);
    addRow(5, 0, QStringLiteral("顧客電話番号"), telephoneBox);
    addRow(6, 0, QStringLiteral("郵便番号"), postalCodeBox);
    addRow(0, 2, QStringLiteral("請求額"), lastInvoiceBox);
    addRow(1, 2, QStringLiteral("既入金額"), paymentsBox);
    addRow(2, 2, QStringLiteral("締後売上額"), salesSinceClosingBox);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(2, 80);
}

void CustomerFrame::showAccount(const CustomerAccount& a)
{
    codeBox->setText(a.code);
    nameBox->setText(a.name);
    kanaNameBox->setText(a.kanaName);
    address1Box->setText(a.address1);
    address2Box->setText(a.address2);
    telephoneBox->setText(a.telephone);
    postalCodeBox->setText(a.postalCode);
    // Amounts in the plain decimal form: 10000, -300, 52.5.
    lastInvoiceBox->setText(a.lastInvoiceAmount.toString());
    paymentsBox->setText(a.paymentsSinceClosing.toString());
    salesSinceClosingBox->setText(a.creditSalesSinceClosing.toString());
}

void registerClosingScreens()
{
    registerScreen(QStringLiteral("frm売掛請求書発行"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm売掛請求書発行(state, parent); });
    registerScreen(QStringLiteral("frm売掛領収書発行"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm売掛領収書発行(state, parent); });
    registerScreen(QStringLiteral("frm売掛領収書画面確認"), [](SessionState& state, QWidget* parent) {
        return openIfReady<frm売掛領収書画面確認>(state, parent);
    });
    registerScreen(QStringLiteral("frm売掛残高変更"),
                   [](SessionState& state, QWidget* parent) { return openBalanceChange(state, parent); });
    registerScreen(QStringLiteral("frm売掛残高一覧"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm売掛残高一覧(state, parent); });
}

int settleDayBox(QSpinBox* box)
{
    const int day = dayOfMonthBoxValue(box->value());
    if (box->value() != day) {
        const QSignalBlocker block(box);
        box->setValue(day);
    }
    return day;
}

QPushButton* closingButton(QWidget* parent, const QString& objectName, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setMinimumHeight(36);
    b->setMinimumWidth(b->sizeHint().width() + 24);
    return b;
}

QSpinBox* dayOfMonthBox(QWidget* parent, const QString& objectName)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(objectName);
    box->setRange(-99, 99);
    // Every keystroke is a change of the box, so the day's customers follow
    // the digits as they are typed, not only after Enter or a change of focus.
    box->setKeyboardTracking(true);
    box->setAlignment(Qt::AlignRight);
    box->setMinimumWidth(60);
    return box;
}

IssuingPanel issuingPanel(QWidget* parent, const QString& byDayCaption)
{
    IssuingPanel p;
    auto* listLabel = new QLabel(QStringLiteral("対象顧客"), parent);
    p.list = new QListView(parent);
    p.list->setObjectName(QStringLiteral("DBList1"));
    p.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    p.list->setMinimumSize(280, 260);
    listLabel->setBuddy(p.list);
    p.model = new ValueQueryModel(parent);
    p.model->setObjectName(QStringLiteral("Data1"));
    p.list->setModel(p.model);

    p.byDay = closingButton(parent, QStringLiteral("Command1"), byDayCaption);
    auto* singleLabel = new QLabel(QStringLiteral("個別顧客"), parent);
    p.single = closingButton(parent, QStringLiteral("Command2"), QStringLiteral("個別顧客発行"));
    singleLabel->setBuddy(p.single);
    p.close = closingButton(parent, QStringLiteral("Command3"), QStringLiteral("終了"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(p.byDay);
    buttons->addSpacing(16);
    buttons->addWidget(singleLabel);
    buttons->addWidget(p.single);
    buttons->addStretch(1);
    buttons->addWidget(p.close);

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(listLabel);
    listColumn->addWidget(p.list, 1);
    p.layout = new QHBoxLayout;
    p.layout->addLayout(listColumn, 1);
    p.layout->addSpacing(12);
    p.layout->addLayout(buttons);
    return p;
}
