#include "receivables/InvoiceIssuingScreens.h"

#include "session/TaxBreakdown.h"

#include "ui/ErrorGuard.h"
#include "ui/Screens.h"
#include "session/Session.h"
#include "core/Text.h"
#include "print/PrintSurface.h"
#include "print/SlipPrinting.h"
#include "receivables/ClosingScreens.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/RunLock.h"
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
#include <memory>

namespace {

// Closing periods while another computer on the same server closes them,
// or carries the year forward, would bill lines twice.
const QString InvoiceRun = QStringLiteral("請求書発行");

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

frm売掛請求書発行::frm売掛請求書発行(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath)
{
    setObjectName(QStringLiteral("frm売掛請求書発行"));
    setWindowTitle(QStringLiteral("売掛請求書発行"));

    auto* dateLabel = new QLabel(QStringLiteral("締切日"), this);
    dateBoxes = new DateBoxes(this);
    yearBox = dateBoxes->yearBox();
    monthBox = dateBoxes->monthBox();
    dayBox = dateBoxes->dayBox();
    dateLabel->setBuddy(yearBox);

    auto* dayLabel = new QLabel(QStringLiteral("締切指定日"), this);
    closingDayBox = dayOfMonthBox(this, QStringLiteral("Text締切指定日"));
    dayLabel->setBuddy(closingDayBox);
    auto* dayUnit = new QLabel(QStringLiteral("日"), this);
    auto* monthEnd = new QLabel(QStringLiteral("月末は３１日とする。"), this);

    const IssuingPanel panel = issuingPanel(this, QStringLiteral("締切指定日別発行"));
    customerList = panel.list;
    customerModel = panel.model;
    byDayButton = panel.byDay;
    singleCustomerButton = panel.single;
    closeButton = panel.close;

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->addWidget(dateLabel, 0, 0);
    form->addWidget(dateBoxes, 0, 1, 1, 3);
    form->addWidget(dayLabel, 1, 0);
    form->addWidget(closingDayBox, 1, 1);
    form->addWidget(dayUnit, 1, 2);
    form->addWidget(monthEnd, 1, 3);
    form->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(panel.layout, 1);

    setTabOrderChain({yearBox, monthBox, dayBox, closingDayBox, customerList, byDayButton, singleCustomerButton, closeButton});
    enableEnterNavigation(this);

    connect(byDayButton, &QPushButton::clicked, this, [this] { issueForClosingDay(); });
    connect(singleCustomerButton, &QPushButton::clicked, this, [this] { issueForOneCustomer(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { closeClicked(); });

    // Opening: today as the closing date, today's day as the closing day.
    const Date today = Date::today();
    dateBoxes->setDate(today);
    {
        const QSignalBlocker block(closingDayBox);
        closingDayBox->setValue(today.day());
    }
    connect(closingDayBox, &QSpinBox::valueChanged, this, [this] { closingDayChanged(); });
    closingDayChanged();
}

frm売掛請求書発行::~frm売掛請求書発行()
{
    // The list's statement ends before the screen's connection closes.
    customerModel->clear();
}

Date frm売掛請求書発行::closingDate() const
{
    return dateBoxes->date();
}

void frm売掛請求書発行::closingDayChanged()
{
    closingDay_ = settleDayBox(closingDayBox);
    loadList();
}

void frm売掛請求書発行::loadList()
{
    const BoundStatement s = closingDayCustomers(closingDay_);
    customerModel->setStatement(db_, s.sql, s.params);
    // Every row read, so the list holds no open statement while the
    // confirmation screens update the customers on their own connection.
    customerModel->rowCountAll();
    customerList->setModelColumn(1);
}

void frm売掛請求書発行::issueForClosingDay()
{
    const QStringList codes = closingDayCustomerCodes(db_, closingDay_);
    if (codes.isEmpty()) {
        ui().showMessage(QStringLiteral("該当顧客がありません。"), errorTitle());
        return;
    }
    const std::unique_ptr<ExclusiveRun> run = holdRunOrTell(db_, InvoiceRun, errorTitle());
    if (!run)
        return;
    // Each customer is confirmed, closed or skipped on its own screen
    // before the next one is shown.
    for (const QString& code : codes) {
        state_.customer.code = code;
        openInvoiceConfirmation(state_, closingDate(), this);
    }
}

void frm売掛請求書発行::issueForOneCustomer()
{
    // A picker closed without a choice invoices nobody.
    if (openScreen(state_, QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), this) != QDialog::Accepted)
        return;
    const std::unique_ptr<ExclusiveRun> run = holdRunOrTell(db_, InvoiceRun, errorTitle());
    if (!run)
        return;
    openInvoiceConfirmation(state_, closingDate(), this);
}

void frm売掛請求書発行::closeClicked()
{
    accept();
}

// ---- frm売掛請求書画面確認 --------------------------------------------------

frm売掛請求書画面確認::frm売掛請求書画面確認(SessionState& state, Date closingDate, QWidget* parent)
    : QDialog(parent), state_(state), closingDate_(closingDate), db_(state.config.databasePath)
{
    setObjectName(QStringLiteral("frm売掛請求書画面確認"));
    setWindowTitle(QStringLiteral("請求書確認"));

    customerFrame = new CustomerFrame(this);

    auto* gridLabel = new QLabel(QStringLiteral("売掛明細"), this);
    lineGrid = new QTableView(this);
    lineGrid->setObjectName(QStringLiteral("DBGrid1"));
    lineGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lineGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    lineGrid->setMinimumSize(820, 240);
    gridLabel->setBuddy(lineGrid);
    lineModel = new ValueQueryModel(this);
    lineModel->setObjectName(QStringLiteral("Data1"));
    lineGrid->setModel(lineModel);

    auto* totalLabel = new QLabel(QStringLiteral("明細合計"), this);
    detailTotalBox = amountBox(this, QStringLiteral("Text明細合計"));
    totalLabel->setBuddy(detailTotalBox);
    auto* billedLabel = new QLabel(QStringLiteral("合計請求金額"), this);
    totalBilledBox = amountBox(this, QStringLiteral("Text合計請求金額"));
    billedLabel->setBuddy(totalBilledBox);

    // The period's sales by rate, as the invoice prints them.
    auto* byRateLabel = new QLabel(QStringLiteral("税率別内訳"), this);
    taxByRateField = new QLabel(this);
    taxByRateField->setObjectName(QStringLiteral("lbl税率別内訳"));
    taxByRateField->setTextInteractionFlags(Qt::TextSelectableByMouse);

    confirmButton = closingButton(this, QStringLiteral("Command1"), QStringLiteral("確認－請求書発行"));
    updateOnlyButton = closingButton(this, QStringLiteral("Command2"), QStringLiteral("更新のみ"));
    cancelButton = closingButton(this, QStringLiteral("Command3"), QStringLiteral("キャンセル"));
    connect(confirmButton, &QPushButton::clicked, this, [this] { confirmAndPrint(); });
    connect(updateOnlyButton, &QPushButton::clicked, this, [this] { updateOnly(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });

    auto* totals = new QHBoxLayout;
    totals->addStretch(1);
    totals->addWidget(totalLabel);
    totals->addWidget(detailTotalBox);
    totals->addSpacing(16);
    totals->addWidget(billedLabel);
    totals->addWidget(totalBilledBox);

    auto* byRate = new QHBoxLayout;
    byRate->addStretch(1);
    byRate->addWidget(byRateLabel);
    byRate->addWidget(taxByRateField);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(confirmButton);
    buttons->addWidget(updateOnlyButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(customerFrame);
    layout->addWidget(gridLabel);
    layout->addWidget(lineGrid, 1);
    layout->addLayout(totals);
    layout->addLayout(byRate);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    confirmButton->setDefault(true);

    // Opening: the customer, its lines up to the closing date, the invoice.
    SessionState& s = state_;
    computed_ = computeInvoice(db_, s.customer.code, closingDate_, s.config);
    if (!computed_) {
        ui().showMessage(QStringLiteral("顧客コード %1 の顧客が見つかりません。").arg(s.customer.code), errorTitle());
        return;
    }
    customerFrame->showAccount(computed_->customer);
    chooseCustomer(computed_->customer, s.customer);
    const InvoiceValues& invoice = computed_->invoice;

    const BoundStatement lines = invoiceLinesStatement(computed_->customer.code, closingDate_);
    lineModel->setStatement(db_, lines.sql, lines.params, {{InvoiceAmountColumn, ValueKind::Currency}});
    const QStringList headings = {QStringLiteral("シリアル"), QStringLiteral("年月日"),   QStringLiteral("部門"),
                                  QStringLiteral("税区分"),   QStringLiteral("商品コード"), QStringLiteral("商品名"),
                                  QStringLiteral("単価"),     QStringLiteral("個数"),     QStringLiteral("金額")};
    for (int c = 0; c < headings.size(); ++c)
        lineModel->setHeading(c, headings[c]);
    lineModel->rowCountAll();
    useValueColumns(*lineGrid);

    detailTotalBox->setText(invoice.currentSales.toString());
    totalBilledBox->setText(invoice.totalBilled.toString());
    taxByRateField->setText(taxByRateText(invoice.taxByRate) + QStringLiteral("（消費税は伝票ごとに計算）"));
    if (computed_->detailTotalDiffers)
        ui().showMessage(QStringLiteral("請求商品明細の合計を正しいものとします。"), errorTitle());
}

frm売掛請求書画面確認::~frm売掛請求書画面確認()
{
    lineModel->clear();
}

bool frm売掛請求書画面確認::closePeriod()
{
    // The grid reads 売掛マスター on this connection: its statement ends
    // before the lines are deleted.
    lineModel->clear();
    try {
        BusyCursor busy;
        closeBillingPeriod(db_, computed_->customer.code, computed_->invoice);
    } catch (const std::exception& e) {
        ui().showMessage(errorMessage(e) + QStringLiteral("\n\nこの顧客の締め処理は行っていません。"), errorTitle());
        const BoundStatement lines = invoiceLinesStatement(computed_->customer.code, closingDate_);
        lineModel->setStatement(db_, lines.sql, lines.params, {{InvoiceAmountColumn, ValueKind::Currency}});
        return false;
    }
    return true;
}

void frm売掛請求書画面確認::confirmAndPrint()
{
    if (nothingToBill(computed_->invoice)) {
        lineModel->clear();
        ui().showMessage(QStringLiteral("今回は請求書発行の必要がありません。"), errorTitle());
        reject();
        return;
    }
    // One copy for the customer, one for the shop. The period is closed
    // only when both were printed, so a failed print can be repeated.
    try {
        BusyCursor busy;
        PrintBatch batch;
        const Date issued = Date::today();
        for (int copy = 0; copy < 2; ++copy)
            printInvoice(state_.config, state_.customer, computed_->invoice, issued);
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

void frm売掛請求書画面確認::updateOnly()
{
    if (closePeriod())
        accept();
}

void frm売掛請求書画面確認::cancel()
{
    reject();
}

int openInvoiceConfirmation(SessionState& state, Date closingDate, QWidget* parent)
{
    return runScreen([&]() -> QDialog* {
        auto screen = std::make_unique<frm売掛請求書画面確認>(state, closingDate, parent);
        return screen->isReady() ? screen.release() : nullptr;
    });
}
