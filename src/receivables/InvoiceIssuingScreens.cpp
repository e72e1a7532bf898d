#include "receivables/InvoiceIssuingScreens.h"

#include "session/ErrorGuard.h"
#include "session/Screens.h"
#include "session/Session.h"
#include "core/Text.h"
#include "print/PrintSurface.h"
#include "print/SlipPrinting.h"
#include "receivables/ClosingScreens.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString ConfirmationScreen = QStringLiteral("frm売掛請求書画面確認");
const QString ConfirmationCaption = QStringLiteral("請求書確認");

QLineEdit* amountBox(QWidget* parent, const QString& name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setAlignment(Qt::AlignRight);
    box->setMinimumWidth(130);
    return box;
}

} // namespace

// ---- frm売掛請求書発行 ------------------------------------------------------

frm売掛請求書発行::frm売掛請求書発行(QWidget* parent) : QDialog(parent), db_(session().config.databasePath)
{
    setObjectName(QStringLiteral("frm売掛請求書発行"));
    setWindowTitle(QStringLiteral("売掛請求書発行"));

    auto* dateLabel = new QLabel(QStringLiteral("締切日"), this);
    dateBoxes = new DateBoxes(this);
    Text年 = dateBoxes->yearBox();
    Text月 = dateBoxes->monthBox();
    Text日 = dateBoxes->dayBox();
    dateLabel->setBuddy(Text年);

    auto* dayLabel = new QLabel(QStringLiteral("締切指定日"), this);
    Text締切指定日 = dayOfMonthBox(this, QStringLiteral("Text締切指定日"));
    dayLabel->setBuddy(Text締切指定日);
    auto* dayUnit = new QLabel(QStringLiteral("日"), this);
    auto* monthEnd = new QLabel(QStringLiteral("月末は３１日とする。"), this);

    const IssuingPanel panel = issuingPanel(this, QStringLiteral("締切指定日別発行"));
    DBList1 = panel.list;
    Data1 = panel.model;
    Command1 = panel.byDay;
    Command2 = panel.single;
    Command3 = panel.close;

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->addWidget(dateLabel, 0, 0);
    form->addWidget(dateBoxes, 0, 1, 1, 3);
    form->addWidget(dayLabel, 1, 0);
    form->addWidget(Text締切指定日, 1, 1);
    form->addWidget(dayUnit, 1, 2);
    form->addWidget(monthEnd, 1, 3);
    form->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(panel.layout, 1);

    setTabOrderChain({Text年, Text月, Text日, Text締切指定日, DBList1, Command1, Command2, Command3});
    enableEnterNavigation(this);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });

    // Opening: today as the closing date, today's day as the closing day.
    const Date today = Date::today();
    dateBoxes->setDate(today);
    session().invoice.closingDate = dateBoxes->date();
    connect(dateBoxes, &DateBoxes::dateChanged, this, [](const Date& d) { session().invoice.closingDate = d; });
    {
        const QSignalBlocker block(Text締切指定日);
        Text締切指定日->setValue(today.day());
    }
    connect(Text締切指定日, &QSpinBox::valueChanged, this, [this] { Text締切指定日_Change(); });
    Text締切指定日_Change();
}

frm売掛請求書発行::~frm売掛請求書発行()
{
    // The list's statement ends before the screen's connection closes.
    Data1->clear();
}

Date frm売掛請求書発行::closingDate() const
{
    return dateBoxes->date();
}

void frm売掛請求書発行::Text締切指定日_Change()
{
    closingDay_ = settleDayBox(Text締切指定日);
    loadList();
}

void frm売掛請求書発行::loadList()
{
    const BoundStatement s = closingDayCustomers(closingDay_);
    Data1->setStatement(db_, s.sql, s.params);
    // Every row read, so the list holds no open statement while the
    // confirmation screens update the customers on their own connection.
    Data1->rowCountAll();
    DBList1->setModelColumn(1);
}

void frm売掛請求書発行::Command1_Click()
{
    const QStringList codes = closingDayCustomerCodes(db_, closingDay_);
    if (codes.isEmpty()) {
        ui().showMessage(QStringLiteral("該当顧客がありません。"), errorTitle());
        return;
    }
    // Each customer is confirmed, closed or skipped on its own screen
    // before the next one is shown.
    for (const QString& code : codes) {
        session().customer.code = code;
        session().invoice.closingDate = closingDate();
        openScreen(ConfirmationScreen, ConfirmationCaption, this);
    }
}

void frm売掛請求書発行::Command2_Click()
{
    // A picker closed without a choice invoices nobody.
    if (openScreen(QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), this) != QDialog::Accepted)
        return;
    session().invoice.closingDate = closingDate();
    openScreen(ConfirmationScreen, ConfirmationCaption, this);
}

void frm売掛請求書発行::Command3_Click()
{
    accept();
}

// ---- frm売掛請求書画面確認 --------------------------------------------------

frm売掛請求書画面確認::frm売掛請求書画面確認(QWidget* parent)
    : QDialog(parent), db_(session().config.databasePath)
{
    setObjectName(QStringLiteral("frm売掛請求書画面確認"));
    setWindowTitle(QStringLiteral("請求書確認"));

    Frame1 = new CustomerFrame(this);

    auto* gridLabel = new QLabel(QStringLiteral("売掛明細"), this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setMinimumSize(820, 240);
    gridLabel->setBuddy(DBGrid1);
    Data1 = new ValueQueryModel(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    DBGrid1->setModel(Data1);

    auto* totalLabel = new QLabel(QStringLiteral("明細合計"), this);
    Text明細合計 = amountBox(this, QStringLiteral("Text明細合計"));
    totalLabel->setBuddy(Text明細合計);
    auto* billedLabel = new QLabel(QStringLiteral("合計請求金額"), this);
    Text合計請求金額 = amountBox(this, QStringLiteral("Text合計請求金額"));
    billedLabel->setBuddy(Text合計請求金額);

    Command1 = closingButton(this, QStringLiteral("Command1"), QStringLiteral("確認－請求書発行"));
    Command2 = closingButton(this, QStringLiteral("Command2"), QStringLiteral("更新のみ"));
    Command3 = closingButton(this, QStringLiteral("Command3"), QStringLiteral("キャンセル"));
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });

    auto* totals = new QHBoxLayout;
    totals->addStretch(1);
    totals->addWidget(totalLabel);
    totals->addWidget(Text明細合計);
    totals->addSpacing(16);
    totals->addWidget(billedLabel);
    totals->addWidget(Text合計請求金額);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(gridLabel);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(totals);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    Command1->setDefault(true);

    // Opening: the customer, its lines up to the closing date, the invoice.
    SessionState& s = session();
    computed_ = computeInvoice(db_, s.customer.code, s.invoice.closingDate);
    if (!computed_) {
        ui().showMessage(QStringLiteral("顧客コード %1 の顧客が見つかりません。").arg(s.customer.code), errorTitle());
        return;
    }
    Frame1->showAccount(computed_->customer);
    chooseCustomer(computed_->customer, s.customer);
    s.invoice = computed_->invoice;

    const BoundStatement lines = invoiceLinesStatement(computed_->customer.code, s.invoice.closingDate);
    Data1->setStatement(db_, lines.sql, lines.params, {{InvoiceAmountColumn, ValueKind::Currency}});
    const QStringList headings = {QStringLiteral("シリアル"), QStringLiteral("年月日"),   QStringLiteral("部門"),
                                  QStringLiteral("税区分"),   QStringLiteral("商品コード"), QStringLiteral("商品名"),
                                  QStringLiteral("単価"),     QStringLiteral("個数"),     QStringLiteral("金額")};
    for (int c = 0; c < headings.size(); ++c)
        Data1->setHeading(c, headings[c]);
    Data1->rowCountAll();
    useValueColumns(*DBGrid1);

    Text明細合計->setText(s.invoice.currentSales.toString());
    Text合計請求金額->setText(s.invoice.totalBilled.toString());
    if (computed_->detailTotalDiffers)
        ui().showMessage(QStringLiteral("請求商品明細の合計を正しいものとします。"), errorTitle());
}

frm売掛請求書画面確認::~frm売掛請求書画面確認()
{
    Data1->clear();
}

bool frm売掛請求書画面確認::closePeriod()
{
    // The grid reads 売掛マスター on this connection: its statement ends
    // before the lines are deleted.
    Data1->clear();
    try {
        BusyCursor busy;
        closeBillingPeriod(db_, computed_->customer.code, session().invoice);
    } catch (const std::exception& e) {
        ui().showMessage(errorMessage(e) + QStringLiteral("\n\nこの顧客の締め処理は行っていません。"), errorTitle());
        const BoundStatement lines = invoiceLinesStatement(computed_->customer.code, session().invoice.closingDate);
        Data1->setStatement(db_, lines.sql, lines.params, {{InvoiceAmountColumn, ValueKind::Currency}});
        return false;
    }
    return true;
}

void frm売掛請求書画面確認::Command1_Click()
{
    if (nothingToBill(session().invoice)) {
        Data1->clear();
        ui().showMessage(QStringLiteral("今回は請求書発行の必要がありません。"), errorTitle());
        reject();
        return;
    }
    // One copy for the customer, one for the shop. The period is closed
    // only when both were printed, so a failed print can be repeated.
    try {
        BusyCursor busy;
        PrintBatch batch;
        const SessionState& s = session();
        const Date issued = Date::today();
        for (int copy = 0; copy < 2; ++copy)
            PrintInvoice(s.config, s.customer, s.invoice, issued);
    } catch (const PrintError& e) {
        ui().showMessage(QStringLiteral("請求書を印刷できませんでした。\n") + e.message()
                             + QStringLiteral("\n\nこの顧客の締め処理は行っていません。"
                                              "もう一度「確認－請求書発行」を押すと印刷し直します。"),
                         QStringLiteral("印刷エラー"));
        return;
    }
    if (closePeriod())
        accept();
}

void frm売掛請求書画面確認::Command2_Click()
{
    if (closePeriod())
        accept();
}

void frm売掛請求書画面確認::Command3_Click()
{
    reject();
}
