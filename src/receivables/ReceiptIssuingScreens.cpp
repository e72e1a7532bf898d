#include "receivables/ReceiptIssuingScreens.h"

#include "ui/ErrorGuard.h"
#include "ui/Screens.h"
#include "session/Session.h"
#include "core/Text.h"
#include "print/PrintSurface.h"
#include "receivables/ClosingScreens.h"
#include "receivables/ReceiptIssuing.h"
#include "receivables/ReceiptPrinting.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString ConfirmationScreen = QStringLiteral("frm売掛領収書画面確認");
const QString ConfirmationCaption = QStringLiteral("領収書画面確認");

} // namespace

// ---- frm売掛領収書発行 ------------------------------------------------------

frm売掛領収書発行::frm売掛領収書発行(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath)
{
    setObjectName(QStringLiteral("frm売掛領収書発行"));
    setWindowTitle(QStringLiteral("売掛領収書発行"));

    auto* dayLabel = new QLabel(QStringLiteral("集金指定日"), this);
    collectionDayBox = dayOfMonthBox(this, QStringLiteral("Text集金指定日"));
    dayLabel->setBuddy(collectionDayBox);
    auto* dayUnit = new QLabel(QStringLiteral("日"), this);
    auto* monthEnd = new QLabel(QStringLiteral("月末は３１日とする。"), this);

    const IssuingPanel panel = issuingPanel(this, QStringLiteral("集金指定日別発行"));
    customerList = panel.list;
    customerModel = panel.model;
    byDayButton = panel.byDay;
    singleCustomerButton = panel.single;
    closeButton = panel.close;

    auto* form = new QHBoxLayout;
    form->addWidget(dayLabel);
    form->addWidget(collectionDayBox);
    form->addWidget(dayUnit);
    form->addSpacing(12);
    form->addWidget(monthEnd);
    form->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(panel.layout, 1);

    setTabOrderChain({collectionDayBox, customerList, byDayButton, singleCustomerButton, closeButton});
    enableEnterNavigation(this);

    connect(byDayButton, &QPushButton::clicked, this, [this] { issueForCollectionDay(); });
    connect(singleCustomerButton, &QPushButton::clicked, this, [this] { issueForOneCustomer(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { closeClicked(); });

    // Opening: today's day of the month as the collection day.
    {
        const QSignalBlocker block(collectionDayBox);
        collectionDayBox->setValue(Date::today().day());
    }
    connect(collectionDayBox, &QSpinBox::valueChanged, this, [this] { collectionDayChanged(); });
    collectionDayChanged();
}

frm売掛領収書発行::~frm売掛領収書発行()
{
    customerModel->clear();
}

void frm売掛領収書発行::collectionDayChanged()
{
    collectionDay_ = settleDayBox(collectionDayBox);
    loadList();
}

void frm売掛領収書発行::loadList()
{
    const BoundStatement s = collectionDayCustomers(collectionDay_);
    customerModel->setStatement(db_, s.sql, s.params);
    customerModel->rowCountAll();
    customerList->setModelColumn(1);
}

void frm売掛領収書発行::issueForCollectionDay()
{
    const QStringList codes = collectionDayCustomerCodes(db_, collectionDay_);
    if (codes.isEmpty()) {
        ui().showMessage(QStringLiteral("該当顧客がありません。"), errorTitle());
        return;
    }
    for (const QString& code : codes) {
        state_.customer.code = code;
        openScreen(state_, ConfirmationScreen, ConfirmationCaption, this);
    }
}

void frm売掛領収書発行::issueForOneCustomer()
{
    if (openScreen(state_, QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), this) != QDialog::Accepted)
        return;
    openScreen(state_, ConfirmationScreen, ConfirmationCaption, this);
}

void frm売掛領収書発行::closeClicked()
{
    accept();
}

// ---- frm売掛領収書画面確認 --------------------------------------------------

frm売掛領収書画面確認::frm売掛領収書画面確認(SessionState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frm売掛領収書画面確認"));
    setWindowTitle(QStringLiteral("領収書画面確認"));

    customerFrame = new CustomerFrame(this);
    confirmButton = closingButton(this, QStringLiteral("Command1"), QStringLiteral("確認－領収書発行"));
    cancelButton = closingButton(this, QStringLiteral("Command2"), QStringLiteral("キャンセル"));
    connect(confirmButton, &QPushButton::clicked, this, [this] { confirmAndPrint(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(confirmButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(customerFrame);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    // Opening: the customer read once; the screen keeps no connection.
    SessionState& s = state_;
    {
        Database db(s.config.databasePath);
        account_ = readCustomerAccount(db, s.customer.code);
        if (account_)
            closedInvoice_ = readClosedInvoice(db, s.customer.code);
    }
    if (!account_) {
        ui().showMessage(QStringLiteral("顧客コード %1 の顧客が見つかりません。").arg(s.customer.code), errorTitle());
        return;
    }
    customerFrame->showAccount(*account_);
    chooseCustomer(*account_, s.customer);
    closingDate_ = account_->previousClosingDate;
    const bool billed = !account_->lastInvoiceAmount.isZero();
    confirmButton->setVisible(billed);
    (billed ? confirmButton : cancelButton)->setDefault(true);
}

void frm売掛領収書画面確認::confirmAndPrint()
{
    const SessionState& s = state_;
    if (nothingToCollect(s.customer.lastInvoiceAmount, s.customer.paymentsSinceClosing)) {
        ui().showMessage(QStringLiteral("今回は請求額がありません。"), errorTitle());
        reject();
        return;
    }
    ReceiptSheet sheet;
    sheet.figures = receiptFigures(s.customer.lastInvoiceAmount, text::valCurrency(s.config.taxRate1()));
    sheet.closingDate = closingDate_;
    sheet.breakdown = receiptBreakdown(closedInvoice_, s.customer.lastInvoiceAmount, closingDate_);
    if (closedInvoice_)
        sheet.taxByRate = closedInvoice_->taxByRate;
    sheet.collectionDay = account_->collectionDay;
    sheet.issueDate = Date::today();
    try {
        BusyCursor busy;
        printReceiptSheet(sheet, s.customer, s.config);
    } catch (const PrintError& e) {
        ui().showMessage(QStringLiteral("領収書を印刷できませんでした。\n") + e.message(), QStringLiteral("印刷エラー"));
        return;
    }
    accept();
}

void frm売掛領収書画面確認::cancel()
{
    reject();
}
