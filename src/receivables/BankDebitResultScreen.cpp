#include "receivables/BankDebitResultScreen.h"

#include "db/ExclusiveRun.h"
#include "db/ClosedPeriod.h"
#include "receivables/BankDebitOutput.h"
#include "receivables/BankDebitOutputScreen.h"
#include "receivables/BankDebitResult.h"
#include "receivables/ReceivablePayment.h"
#include "ui/ScreenWidgets.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QDir>
#include <QFontMetrics>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString Title = QStringLiteral("銀行引落報告ＦＤ後処理");
const QString ErrorTitle = QStringLiteral("エラー");
const QString NoMethod = QStringLiteral("1");

QListView* listView(const QString& name, ValueQueryModel* model, QWidget* parent)
{
    auto* view = new QListView(parent);
    view->setObjectName(name);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setModel(model);
    view->setMinimumSize(240, 150);
    return view;
}

// Places the year box under "入金年", the month box under "月" and the day
// box under "日" of the caption: the words stand at full-width positions 0-2,
// 8 and 16.
void alignUnderCaption(DateBoxes& boxes, const QFontMetrics& metrics)
{
    auto* row = qobject_cast<QHBoxLayout*>(boxes.layout());
    if (!row)
        return;
    for (QLabel* unit : boxes.findChildren<QLabel*>())
        unit->hide();
    const int em = metrics.horizontalAdvance(QChar(0x3000));
    QSpinBox* year = boxes.yearBox();
    QSpinBox* month = boxes.monthBox();
    QSpinBox* day = boxes.dayBox();
    const int yearWidth = std::max(year->minimumWidth(), 3 * em);
    const int monthLeft = std::max(yearWidth + 8, int(8.5 * em) - month->minimumWidth() / 2);
    const int dayLeft = std::max(monthLeft + month->minimumWidth() + 8, int(16.5 * em) - day->minimumWidth() / 2);
    year->setFixedWidth(yearWidth);
    month->setFixedWidth(month->minimumWidth());
    day->setFixedWidth(day->minimumWidth());
    row->setSpacing(0);
    // Items: year, 年, month, 月, day, 日, stretch; hidden labels take no room.
    row->insertSpacing(2, monthLeft - yearWidth);
    row->insertSpacing(5, dayLeft - monthLeft - month->minimumWidth());
}

} // namespace

frm売掛FD入力::frm売掛FD入力(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath), fileName_(NoMethod)
{
    setObjectName(QStringLiteral("frm売掛FD入力"));
    setWindowTitle(QStringLiteral("売掛ＦＤ入力"));

    methodModel = new ValueQueryModel(this);
    methodModel->setObjectName(QStringLiteral("Data1"));
    methodList = listView(QStringLiteral("DBList1"), methodModel, this);
    meansOfPaymentModel = new ValueQueryModel(this);
    meansOfPaymentModel->setObjectName(QStringLiteral("Data2"));
    meansOfPaymentList = listView(QStringLiteral("DBList2"), meansOfPaymentModel, this);

    dateBoxes = new DateBoxes(this);
    yearBox = dateBoxes->yearBox();
    monthBox = dateBoxes->monthBox();
    dayBox = dateBoxes->dayBox();

    startButton = commandButton(this, QStringLiteral("Command1"), QStringLiteral("後処理開始"));
    finishButton = commandButton(this, QStringLiteral("Command2"), QStringLiteral("終了・中止"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(16);
    lists->addWidget(captionFor(methodList, QStringLiteral("処理する相手先"), this), 0, 0);
    lists->addWidget(methodList, 1, 0);
    lists->addWidget(captionFor(meansOfPaymentList, QStringLiteral("入金先"), this), 0, 1);
    lists->addWidget(meansOfPaymentList, 1, 1);
    layout->addLayout(lists, 1);

    // The caption runs above the three boxes, each word over its box, so
    // the boxes' own unit labels are not shown here.
    auto* dateLabel = captionFor(yearBox, QStringLiteral("入金年　　　　　月　　　　　　　日"), this);
    alignUnderCaption(*dateBoxes, dateLabel->fontMetrics());
    auto* date = new QVBoxLayout;
    date->setSpacing(4);
    date->addWidget(dateLabel);
    date->addWidget(dateBoxes);
    layout->addLayout(date);

    layout->addLayout(bankDriveRow(this, driveFolderLabel, driveFolderButton));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(startButton);
    buttons->addWidget(finishButton);
    layout->addLayout(buttons);

    setTabOrder(methodList, meansOfPaymentList);
    setTabOrder(meansOfPaymentList, yearBox);
    setTabOrder(yearBox, monthBox);
    setTabOrder(monthBox, dayBox);
    setTabOrder(dayBox, startButton);
    setTabOrder(startButton, finishButton);
    setTabOrder(finishButton, driveFolderButton);
    enableEnterNavigation(this);

    // Opening: today as the payment date, no method (file name "1"), no
    // means (account 0), "後処理開始" hidden.
    methodModel->setStatement(db_, settlementMethodsStatement());
    methodModel->rowCountAll();
    methodList->setModelColumn(1);
    meansOfPaymentModel->setStatement(db_, paymentMeansStatement());
    meansOfPaymentModel->rowCountAll();
    meansOfPaymentList->setModelColumn(1);
    state_.customer.slipDate = dateBoxes->date();
    debitAccount_ = 0;
    driveFolderLabel->setText(QDir::toNativeSeparators(bankfile::bankDriveFolder()));
    startButton->setVisible(false);

    connect(methodList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = methodList->selectionModel()->selectedIndexes();
        if (!rows.isEmpty())
            chooseMethod(rows.first().row());
    });
    connect(meansOfPaymentList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = meansOfPaymentList->selectionModel()->selectedIndexes();
        if (!rows.isEmpty())
            chooseMeansOfPayment(rows.first().row());
    });
    connect(dateBoxes, &DateBoxes::dateChanged, this, [this](const Date& date) { state_.customer.slipDate = date; });
    connect(startButton, &QPushButton::clicked, this, [this] { start(); });
    connect(finishButton, &QPushButton::clicked, this, [this] { finish(); });
    connect(driveFolderButton, &QPushButton::clicked, this, [this] { changeDriveFolder(); });
    methodList->setFocus();
}

frm売掛FD入力::~frm売掛FD入力()
{
    methodModel->clear();
    meansOfPaymentModel->clear();
}

void frm売掛FD入力::updateStartVisibility()
{
    startButton->setVisible(fileName_ != NoMethod && debitAccount_ != 0);
}

void frm売掛FD入力::chooseMethod(int row)
{
    const QVariant code = methodModel->storedData(row, 0);
    if (code.isValid() && !code.isNull()) {
        if (const auto method = readSettlementMethod(db_, code.toInt())) {
            fileName_ = method->fileName;
            methodName_ = method->name;
        }
    }
    updateStartVisibility();
}

void frm売掛FD入力::chooseMeansOfPayment(int row)
{
    // A row that cannot be read leaves the means as it was.
    const QVariant account = meansOfPaymentModel->storedData(row, 0);
    if (account.isValid() && !account.isNull())
        debitAccount_ = account.toInt();
    updateStartVisibility();
}

void frm売掛FD入力::start()
{
    SessionState& s = state_;
    if (fileName_ == NoMethod || debitAccount_ == 0)
        return;
    if (const QString problem = bankfile::fileNameProblem(methodName_, fileName_); !problem.isEmpty()) {
        ui().showMessage(problem, ErrorTitle);
        return;
    }
    // A payment date in the period the year-end closed is refused before
    // the operator fetches the floppy.
    try {
        requireOpenPeriod(db_, s.customer.slipDate);
    } catch (const ClosedPeriodError& e) {
        ui().showMessage(e.message(), ErrorTitle);
        return;
    }
    const QString folder = QDir::toNativeSeparators(bankfile::bankDriveFolder());
    if (!ui().ask(QStringLiteral("銀行引落報告ＦＤをドライブＡ：に入れて下さい。\n") + folder, Title))
        return;

    const QString path = bankfile::bankFilePath(fileName_);
    QByteArray bytes;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            ui().showMessage(QStringLiteral("ファイルが見つかりません。\n") + QDir::toNativeSeparators(path), ErrorTitle);
            return;
        }
        BusyCursor busy;
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            ui().showMessage(QStringLiteral("ファイル %1 を読めません：%2\n何も記録していません。")
                                 .arg(QDir::toNativeSeparators(path), file.errorString()),
                             ErrorTitle);
            return;
        }
    }

    ResultPlan plan;
    try {
        BusyCursor busy;
        plan = planResultRun(db_, bankfile::readResultFile(bytes), s.customer.slipDate);
    } catch (const DamagedResultFile& e) {
        ui().showMessage(e.message() + u'\n' + QDir::toNativeSeparators(path), ErrorTitle);
        return;
    } catch (const NotAResultFile& e) {
        ui().showMessage(e.message() + u'\n' + QDir::toNativeSeparators(path), ErrorTitle);
        return;
    }

    // The same file run again books every payment again, once the operator
    // has said so; another file books only what is not in the books yet.
    std::optional<ProcessedRun> earlier;
    if (!plan.payments.empty() || !plan.alreadyBooked.empty())
        earlier = previousRun(db_, plan.fingerprint);
    if (earlier)
        bookEarlierPaymentsAgain(plan);
    try {
        checkSlipNumbers(s.config, int(plan.payments.size()));
    } catch (const SlipNumberOverflow&) {
        ui().showMessage(slipNumbersMessage(s.config, int(plan.payments.size())), ErrorTitle);
        return;
    }
    // Enter on these questions must not book a payment twice: キャンセル is
    // their default.
    if (earlier) {
        if (!ui().ask(repeatedRunQuestion(*earlier), Title, UiService::Preset::Cancel))
            return;
    } else if (!plan.alreadyBooked.empty()) {
        if (plan.payments.empty()) {
            ui().showMessage(everyPaymentBookedMessage(plan), Title);
            return;
        }
        if (!ui().ask(alreadyBookedQuestion(plan), Title, UiService::Preset::Cancel))
            return;
    }

    BookedRun booked;
    try {
        // Another computer on the same server may be running the same file.
        const ExclusiveRun run(db_, QStringLiteral("引落結果処理"));
        BusyCursor busy;
        booked = bookResultRun(db_, s.config, plan, s.customer.slipDate, debitAccount_, fileName_.trimmed());
    } catch (const SlipNumberOverflow&) {
        ui().showMessage(slipNumbersMessage(s.config, int(plan.payments.size())), ErrorTitle);
        return;
    } catch (const RunHeldElsewhere& e) {
        ui().showMessage(e.message(), ErrorTitle);
        return;
    } catch (const ClosedPeriodError& e) {
        ui().showMessage(e.message(), ErrorTitle);
        return;
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("入金を記録できませんでした。何も記録していません。\n%1").arg(e.databaseText()), ErrorTitle);
        return;
    }
    if (!booked.counterError.isEmpty())
        ui().showMessage(QStringLiteral("入金は記録しましたが、次の伝票番号を設定ファイルに書き込めませんでした。\n")
                             + booked.counterError,
                         ErrorTitle);
    ui().showMessage(QStringLiteral("書込が完了しました。\n") + resultRunSummary(plan), QStringLiteral("完了"));
}

void frm売掛FD入力::finish()
{
    reject();
}

void frm売掛FD入力::changeDriveFolder()
{
    if (chooseBankDriveFolder(this))
        driveFolderLabel->setText(QDir::toNativeSeparators(bankfile::bankDriveFolder()));
}
