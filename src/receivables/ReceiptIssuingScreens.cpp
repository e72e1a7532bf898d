#include "receivables/ReceiptIssuingScreens.h"

#include "session/ErrorGuard.h"
#include "session/Screens.h"
#include "session/Session.h"
#include "core/Text.h"
#include "print/PrintSurface.h"
#include "receivables/ClosingScreens.h"
#include "receivables/ReceiptIssuing.h"
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

frm売掛領収書発行::frm売掛領収書発行(QWidget* parent) : QDialog(parent), db_(session().config.databasePath)
{
    setObjectName(QStringLiteral("frm売掛領収書発行"));
    setWindowTitle(QStringLiteral("売掛領収書発行"));

    auto* dayLabel = new QLabel(QStringLiteral("集金指定日"), this);
    Text集金指定日 = dayOfMonthBox(this, QStringLiteral("Text集金指定日"));
    dayLabel->setBuddy(Text集金指定日);
    auto* dayUnit = new QLabel(QStringLiteral("日"), this);
    auto* monthEnd = new QLabel(QStringLiteral("月末は３１日とする。"), this);

    const IssuingPanel panel = issuingPanel(this, QStringLiteral("集金指定日別発行"));
    DBList1 = panel.list;
    Data1 = panel.model;
    Command1 = panel.byDay;
    Command2 = panel.single;
    Command3 = panel.close;

    auto* form = new QHBoxLayout;
    form->addWidget(dayLabel);
    form->addWidget(Text集金指定日);
    form->addWidget(dayUnit);
    form->addSpacing(12);
    form->addWidget(monthEnd);
    form->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(panel.layout, 1);

    setTabOrderChain({Text集金指定日, DBList1, Command1, Command2, Command3});
    enableEnterNavigation(this);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });

    // Opening: today's day of the month as the collection day.
    {
        const QSignalBlocker block(Text集金指定日);
        Text集金指定日->setValue(Date::today().day());
    }
    connect(Text集金指定日, &QSpinBox::valueChanged, this, [this] { Text集金指定日_Change(); });
    Text集金指定日_Change();
}

frm売掛領収書発行::~frm売掛領収書発行()
{
    Data1->clear();
}

void frm売掛領収書発行::Text集金指定日_Change()
{
    collectionDay_ = settleDayBox(Text集金指定日);
    loadList();
}

void frm売掛領収書発行::loadList()
{
    const BoundStatement s = collectionDayCustomers(collectionDay_);
    Data1->setStatement(db_, s.sql, s.params);
    Data1->rowCountAll();
    DBList1->setModelColumn(1);
}

void frm売掛領収書発行::Command1_Click()
{
    const QStringList codes = collectionDayCustomerCodes(db_, collectionDay_);
    if (codes.isEmpty()) {
        ui().showMessage(QStringLiteral("該当顧客がありません。"), errorTitle());
        return;
    }
    for (const QString& code : codes) {
        session().customer.code = code;
        openScreen(ConfirmationScreen, ConfirmationCaption, this);
    }
}

void frm売掛領収書発行::Command2_Click()
{
    if (openScreen(QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), this) != QDialog::Accepted)
        return;
    openScreen(ConfirmationScreen, ConfirmationCaption, this);
}

void frm売掛領収書発行::Command3_Click()
{
    accept();
}

// ---- frm売掛領収書画面確認 --------------------------------------------------

frm売掛領収書画面確認::frm売掛領収書画面確認(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm売掛領収書画面確認"));
    setWindowTitle(QStringLiteral("領収書画面確認"));

    Frame1 = new CustomerFrame(this);
    Command1 = closingButton(this, QStringLiteral("Command1"), QStringLiteral("確認－領収書発行"));
    Command2 = closingButton(this, QStringLiteral("Command2"), QStringLiteral("キャンセル"));
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    // Opening: the customer read once; the screen keeps no connection.
    SessionState& s = session();
    {
        Database db(s.config.databasePath);
        account_ = readCustomerAccount(db, s.customer.code);
    }
    if (!account_) {
        ui().showMessage(QStringLiteral("顧客コード %1 の顧客が見つかりません。").arg(s.customer.code), errorTitle());
        return;
    }
    Frame1->showAccount(*account_);
    chooseCustomer(*account_, s.customer);
    s.invoice.closingDate = account_->previousClosingDate;
    const bool billed = !account_->lastInvoiceAmount.isZero();
    Command1->setVisible(billed);
    (billed ? Command1 : Command2)->setDefault(true);
}

void frm売掛領収書画面確認::Command1_Click()
{
    const SessionState& s = session();
    if (nothingToCollect(s.customer.lastInvoiceAmount, s.customer.paymentsSinceClosing)) {
        ui().showMessage(QStringLiteral("今回は請求額がありません。"), errorTitle());
        reject();
        return;
    }
    ReceiptSheet sheet;
    sheet.figures = receiptFigures(s.customer.lastInvoiceAmount, text::valCurrency(s.config.taxRate1()));
    sheet.closingDate = s.invoice.closingDate;
    sheet.collectionDay = account_->collectionDay;
    sheet.issueDate = Date::today();
    try {
        BusyCursor busy;
        PrintReceiptSheet(sheet, s.customer, s.config);
    } catch (const PrintError& e) {
        ui().showMessage(QStringLiteral("領収書を印刷できませんでした。\n") + e.message(), QStringLiteral("印刷エラー"));
        return;
    }
    accept();
}

void frm売掛領収書画面確認::Command2_Click()
{
    reject();
}
