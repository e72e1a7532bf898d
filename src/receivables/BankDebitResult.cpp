#include "receivables/BankDebitResult.h"

#include "core/Text.h"
#include "receivables/BankDebitOutput.h"
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
#include <QSqlQuery>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

// ------------------------------------------------------------ logic

QString NotAResultFile::message()
{
    return QStringLiteral("このファイルには振替結果コードの入った明細がありません。"
                          "銀行から返された結果ファイルではないため、何も記録していません。");
}

ResultPlan planResultRun(Database& db, const bankfile::ResultFile& file)
{
    if (!file.hasResultCodes())
        throw NotAResultFile();
    ResultPlan plan;
    plan.fingerprint = file.fingerprint;
    for (const bankfile::ResultRecord& r : file.dataRecords) {
        if (!r.debited()) {
            plan.notDebited += 1;
            if (r.amount)
                plan.notDebitedTotal += *r.amount;
            continue;
        }
        if (!r.amount || r.customerCode.trimmed().isEmpty()) {
            plan.unreadable.push_back(r.recordNumber);
            continue;
        }
        const QVariant code =
            db.scalar(QStringLiteral("SELECT 顧客コード FROM 顧客マスター WHERE 顧客コード = ?"), {r.customerCode});
        if (code.isValid() && !code.isNull()) {
            plan.payments.push_back({r.recordNumber, code.toString(), *r.amount});
            plan.paymentsTotal += *r.amount;
        } else {
            plan.unmatched.push_back({r.recordNumber, r.customerCode, *r.amount});
            plan.unmatchedTotal += *r.amount;
        }
    }
    return plan;
}

void ensureResultRunTable(Database& db)
{
    // The same statements as in the schema of a new shop, for databases
    // made before the table existed.
    db.exec(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS 引落結果処理ＴＢＬ (\n"
        "    引落結果シリアル     INTEGER PRIMARY KEY AUTOINCREMENT,\n"
        "    引落結果指紋         TEXT NOT NULL,\n"
        "    引落結果ファイル名   TEXT NOT NULL DEFAULT '',\n"
        "    引落結果処理日       DATE NOT NULL CHECK (typeof(引落結果処理日) IN ('integer', 'real', 'null')),\n"
        "    引落結果入金日       DATE NOT NULL CHECK (typeof(引落結果入金日) IN ('integer', 'real', 'null')),\n"
        "    引落結果件数         INTEGER NOT NULL DEFAULT 0,\n"
        "    引落結果金額         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(引落結果金額) IN ('integer', 'null')),\n"
        "    引落結果先頭伝票番号 INTEGER NOT NULL DEFAULT 0,\n"
        "    引落結果最終伝票番号 INTEGER NOT NULL DEFAULT 0\n"
        ")"));
    db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS 引落結果_指紋 ON 引落結果処理ＴＢＬ (引落結果指紋)"));
}

std::optional<ProcessedRun> previousRun(Database& db, const QByteArray& fingerprint)
{
    ensureResultRunTable(db);
    QSqlQuery q = db.exec(QStringLiteral("SELECT 引落結果処理日, 引落結果入金日, 引落結果件数, 引落結果金額, 引落結果ファイル名"
                                         " FROM 引落結果処理ＴＢＬ WHERE 引落結果指紋 = ? ORDER BY 引落結果シリアル DESC LIMIT 1"),
                          {QString::fromLatin1(fingerprint)});
    if (!q.next())
        return std::nullopt;
    ProcessedRun run;
    run.processedOn = dateValue(q.value(0));
    run.paymentDate = dateValue(q.value(1));
    run.payments = q.value(2).toInt();
    run.total = currencyValue(q.value(3));
    run.fileName = q.value(4).toString();
    return run;
}

void checkSlipNumbers(const Configuration& config, int count)
{
    if (count <= 0)
        return;
    constexpr std::int64_t Largest = std::numeric_limits<std::int32_t>::max();
    currentSlipNumber(config); // the first number
    const std::int64_t last = std::int64_t(config.slipPrefix) * 100000000 + config.slipCounter + count - 1;
    // The counter moves past the last number used.
    if (last > Largest || std::int64_t(config.slipCounter) + count > Largest)
        throw SlipNumberOverflow();
}

BookedRun bookResultRun(Database& db, Configuration& config, const ResultPlan& plan, const Date& paymentDate,
                        int debitAccount, const QString& fileName, const QString& configPath)
{
    BookedRun booked;
    const int count = int(plan.payments.size());
    if (count == 0)
        return booked;
    checkSlipNumbers(config, count);
    ensureResultRunTable(db);
    booked.firstSlipNumber = currentSlipNumber(config);
    booked.lastSlipNumber = booked.firstSlipNumber + (count - 1);
    {
        Transaction tx(db);
        std::int32_t number = booked.firstSlipNumber;
        for (const ResultPlan::Payment& p : plan.payments) {
            db.exec(QStringLiteral("INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理金額, 経理借方コード,"
                                   " 経理借方相手先コード, 経理貸方コード, 経理貸方相手先コード) VALUES (?, ?, ?, ?, 0, ?, ?)"),
                    {number, sqlValue(paymentDate), sqlValue(p.amount), debitAccount, PaymentCreditAccount, p.customerCode});
            ++number;
        }
        db.exec(QStringLiteral("INSERT INTO 引落結果処理ＴＢＬ (引落結果指紋, 引落結果ファイル名, 引落結果処理日, 引落結果入金日,"
                               " 引落結果件数, 引落結果金額, 引落結果先頭伝票番号, 引落結果最終伝票番号) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                {QString::fromLatin1(plan.fingerprint), fileName, sqlValue(Date::today()),
                 sqlValue(paymentDate), count, sqlValue(plan.paymentsTotal), booked.firstSlipNumber, booked.lastSlipNumber});
        tx.commit();
    }
    // Every row took one number: the counter moves past the last one, and
    // the file is rewritten once. A file that cannot be written leaves the
    // counter in memory advanced all the same, so this run never reuses a
    // number; start-up moves the file's counter past the numbers in use.
    config.slipCounter += count - 1;
    try {
        WriteConfiguration(config, configPath);
    } catch (const ConfigurationError& e) {
        booked.counterError = e.message();
    }
    return booked;
}

namespace {

QString yen(Currency amount)
{
    return text::format(amount, QStringLiteral("#,##0"));
}

} // namespace

QString resultRunSummary(const ResultPlan& plan)
{
    QStringList lines;
    lines << QStringLiteral("入金を記録した顧客：%1 件　%2 円").arg(plan.payments.size()).arg(yen(plan.paymentsTotal));
    lines << QStringLiteral("引き落とされなかった顧客：%1 件　%2 円").arg(plan.notDebited).arg(yen(plan.notDebitedTotal));
    QStringList codes;
    for (const ResultPlan::Unmatched& u : plan.unmatched)
        codes << u.customerCode;
    lines << QStringLiteral("顧客マスターにない顧客：%1 件　%2 円").arg(plan.unmatched.size()).arg(yen(plan.unmatchedTotal))
                 + (codes.isEmpty() ? QString() : QStringLiteral("（顧客コード %1）").arg(codes.join(QStringLiteral("、"))));
    if (!plan.unmatched.empty())
        lines << QStringLiteral("　引き落とされたこの入金は記録していません。顧客を確かめ、売掛入金で記録して下さい。");
    if (!plan.unreadable.empty()) {
        QStringList numbers;
        for (int n : plan.unreadable)
            numbers << QString::number(n);
        lines << QStringLiteral("金額か顧客コードが読めない明細：%1 件（%2 行目）").arg(plan.unreadable.size()).arg(numbers.join(u','));
        lines << QStringLiteral("　この明細の入金は記録していません。銀行の明細を確かめ、売掛入金で記録して下さい。");
    }
    return lines.join(u'\n');
}

QString repeatedRunQuestion(const ProcessedRun& run)
{
    return QStringLiteral("このファイルは %1 に処理済みです（入金日 %2、%3 件　%4 円）。\n"
                          "もう一度処理すると、同じ入金が二重に記録されます。処理を続けますか？")
        .arg(run.processedOn.toShortString(), run.paymentDate.toShortString())
        .arg(run.payments)
        .arg(yen(run.total));
}

// ------------------------------------------------------------ the screen

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

frm売掛FD入力::frm売掛FD入力(QWidget* parent)
    : QDialog(parent), db_(session().config.databasePath), fileName_(NoMethod)
{
    setObjectName(QStringLiteral("frm売掛FD入力"));
    setWindowTitle(QStringLiteral("売掛ＦＤ入力"));

    Data1 = new ValueQueryModel(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    DBList1 = listView(QStringLiteral("DBList1"), Data1, this);
    Data2 = new ValueQueryModel(this);
    Data2->setObjectName(QStringLiteral("Data2"));
    DBList2 = listView(QStringLiteral("DBList2"), Data2, this);

    dateBoxes = new DateBoxes(this);
    Text年 = dateBoxes->yearBox();
    Text月 = dateBoxes->monthBox();
    Text日 = dateBoxes->dayBox();

    Command1 = commandButton(this, QStringLiteral("Command1"), QStringLiteral("後処理開始"));
    Command2 = commandButton(this, QStringLiteral("Command2"), QStringLiteral("終了・中止"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(16);
    lists->addWidget(captionFor(DBList1, QStringLiteral("処理する相手先"), this), 0, 0);
    lists->addWidget(DBList1, 1, 0);
    lists->addWidget(captionFor(DBList2, QStringLiteral("入金先"), this), 0, 1);
    lists->addWidget(DBList2, 1, 1);
    layout->addLayout(lists, 1);

    // The caption runs above the three boxes, each word over its box, so
    // the boxes' own unit labels are not shown here.
    auto* dateLabel = captionFor(Text年, QStringLiteral("入金年　　　　　月　　　　　　　日"), this);
    alignUnderCaption(*dateBoxes, dateLabel->fontMetrics());
    auto* date = new QVBoxLayout;
    date->setSpacing(4);
    date->addWidget(dateLabel);
    date->addWidget(dateBoxes);
    layout->addLayout(date);

    layout->addLayout(bankDriveRow(this, lblドライブ, cmdドライブ));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    layout->addLayout(buttons);

    setTabOrder(DBList1, DBList2);
    setTabOrder(DBList2, Text年);
    setTabOrder(Text年, Text月);
    setTabOrder(Text月, Text日);
    setTabOrder(Text日, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, cmdドライブ);
    enableEnterNavigation(this);

    // Opening: today as the payment date, no method (file name "1"), no
    // means (account 0), "後処理開始" hidden.
    Data1->setStatement(db_, settlementMethodsStatement());
    Data1->rowCountAll();
    DBList1->setModelColumn(1);
    Data2->setStatement(db_, paymentMeansStatement());
    Data2->rowCountAll();
    DBList2->setModelColumn(1);
    session().customer.slipDate = dateBoxes->date();
    session().journal.debitAccount = 0;
    lblドライブ->setText(QDir::toNativeSeparators(bankfile::bankDriveFolder()));
    Command1->setVisible(false);

    connect(DBList1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = DBList1->selectionModel()->selectedIndexes();
        if (!rows.isEmpty())
            DBList1_Click(rows.first().row());
    });
    connect(DBList2->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = DBList2->selectionModel()->selectedIndexes();
        if (!rows.isEmpty())
            DBList2_Click(rows.first().row());
    });
    connect(dateBoxes, &DateBoxes::dateChanged, this, [](const Date& date) { session().customer.slipDate = date; });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(cmdドライブ, &QPushButton::clicked, this, [this] { cmdドライブ_Click(); });
}

frm売掛FD入力::~frm売掛FD入力()
{
    Data1->clear();
    Data2->clear();
}

void frm売掛FD入力::updateStartVisibility()
{
    Command1->setVisible(fileName_ != NoMethod && session().journal.debitAccount != 0);
}

void frm売掛FD入力::DBList1_Click(int row)
{
    const QVariant code = Data1->storedData(row, 0);
    if (code.isValid() && !code.isNull()) {
        if (const auto method = readSettlementMethod(db_, code.toInt())) {
            fileName_ = method->fileName;
            methodName_ = method->name;
        }
    }
    updateStartVisibility();
}

void frm売掛FD入力::DBList2_Click(int row)
{
    // A row that cannot be read leaves the means as it was.
    const QVariant account = Data2->storedData(row, 0);
    if (account.isValid() && !account.isNull())
        session().journal.debitAccount = account.toInt();
    updateStartVisibility();
}

void frm売掛FD入力::Command1_Click()
{
    SessionState& s = session();
    if (fileName_ == NoMethod || s.journal.debitAccount == 0)
        return;
    if (const QString problem = bankfile::fileNameProblem(methodName_, fileName_); !problem.isEmpty()) {
        ui().showMessage(problem, ErrorTitle);
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
        plan = planResultRun(db_, bankfile::readResultFile(bytes));
        checkSlipNumbers(s.config, int(plan.payments.size()));
    } catch (const NotAResultFile&) {
        ui().showMessage(NotAResultFile::message() + u'\n' + QDir::toNativeSeparators(path), ErrorTitle);
        return;
    } catch (const SlipNumberOverflow& e) {
        ui().showMessage(e.message() + QStringLiteral("\n何も記録していません。"), ErrorTitle);
        return;
    }

    if (!plan.payments.empty()) {
        if (const auto earlier = previousRun(db_, plan.fingerprint)) {
            if (!ui().ask(repeatedRunQuestion(*earlier), Title))
                return;
        }
    }

    BookedRun booked;
    try {
        BusyCursor busy;
        booked = bookResultRun(db_, s.config, plan, s.customer.slipDate, s.journal.debitAccount, fileName_.trimmed());
    } catch (const SlipNumberOverflow& e) {
        ui().showMessage(e.message() + QStringLiteral("\n何も記録していません。"), ErrorTitle);
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

void frm売掛FD入力::Command2_Click()
{
    reject();
}

void frm売掛FD入力::cmdドライブ_Click()
{
    if (chooseBankDriveFolder(this))
        lblドライブ->setText(QDir::toNativeSeparators(bankfile::bankDriveFolder()));
}
