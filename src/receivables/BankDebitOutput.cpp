#include "receivables/BankDebitOutput.h"

#include "session/Session.h"
#include "core/Text.h"
#include "ui/ScreenWidgets.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableView>
#include <QVBoxLayout>

using bankfile::DebitCustomer;
using bankfile::RequestFile;
using bankfile::SettlementMethod;

// ------------------------------------------------------------ logic

const QString LeftOutOfTheFile = QStringLiteral("ファイルに含めない（貸越）");

QString settlementMethodsStatement()
{
    return QStringLiteral("SELECT 決済方法コード, 決済方法 FROM 決済方法ＴＢＬ ORDER BY 決済方法コード");
}

std::optional<SettlementMethod> readSettlementMethod(Database& db, int code)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT 決済方法コード, 決済方法, 決済銀行ファイル名, 決済銀行振替種別コード,"
                                         " 決済銀行振替委託者コード, 決済銀行振替委託者名カナ, 決済銀行名カナ, 決済銀行支店番号,"
                                         " 決済銀行支店名カナ, 決済銀行口座番号 FROM 決済方法ＴＢＬ WHERE 決済方法コード = ?"),
                          {code});
    if (!q.next())
        return std::nullopt;
    SettlementMethod m;
    m.code = q.value(0).toInt();
    m.name = q.value(1).toString();
    m.fileName = q.value(2).toString();
    m.typeCode = q.value(3).toString();
    m.contractorCode = q.value(4).toString();
    m.contractorKana = q.value(5).toString();
    m.bankKana = q.value(6).toString();
    m.branchNumber = q.value(7).toString();
    m.branchKana = q.value(8).toString();
    m.accountNumber = q.value(9).toString();
    return m;
}

QString debitCustomersStatement()
{
    // rowid: the order in which the customers were entered, the table's own.
    return QStringLiteral("SELECT 顧客コード, 顧客名前カナ, 顧客売掛前回請求金額, 顧客引落銀行コード, 顧客引落銀行支店コード,"
                          " 顧客引落口座種別, 顧客引落口座番号,"
                          " CASE WHEN 顧客売掛前回請求金額 < 0 THEN '%1' ELSE '' END AS 備考 FROM 顧客マスター"
                          " WHERE 顧客売掛決済コード = ? AND 顧客売掛前回請求金額 <> 0 ORDER BY rowid")
        .arg(LeftOutOfTheFile);
}

std::vector<DebitCustomer> readDebitCustomers(Database& db, int methodCode)
{
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT c.顧客コード, c.顧客名前カナ, c.顧客売掛前回請求金額, c.顧客引落銀行コード, c.顧客引落銀行支店コード,"
                       " c.顧客引落口座種別, c.顧客引落口座番号, b.引落銀行名カナ, b.引落銀行コード IS NOT NULL"
                       " FROM 顧客マスター AS c LEFT JOIN 引落銀行ＴＢＬ AS b ON b.引落銀行コード = c.顧客引落銀行コード"
                       " WHERE c.顧客売掛決済コード = ? AND c.顧客売掛前回請求金額 <> 0 ORDER BY c.rowid"),
        {methodCode});
    std::vector<DebitCustomer> customers;
    while (q.next()) {
        DebitCustomer c;
        c.code = q.value(0).toString();
        c.kanaName = q.value(1).toString();
        c.amount = currencyValue(q.value(2));
        c.bankCode = q.value(3).toLongLong();
        c.branchCode = q.value(4).toString();
        c.accountType = q.value(5).toLongLong();
        c.accountNumber = q.value(6).toString();
        if (q.value(8).toBool())
            c.bankKana = q.value(7).toString();
        customers.push_back(c);
    }
    return customers;
}

namespace {

QString yen(Currency amount)
{
    return text::format(amount, QStringLiteral("#,##0"));
}

QString customerName(const QString& code, const QString& kana)
{
    return QStringLiteral("顧客 %1 %2").arg(code, kana).trimmed();
}

} // namespace

QString requestProblemsMessage(const RequestFile& file)
{
    QStringList lines;
    bool bankMissing = false;
    for (const bankfile::RequestProblem& p : file.problems)
        bankMissing = bankMissing || p.bankMissing;
    if (bankMissing)
        lines << QStringLiteral("銀行が登録されていません。");
    lines << QStringLiteral("次の内容を直してから、もう一度ＦＤ出力して下さい。ファイルは書き込んでいません。");
    for (const bankfile::RequestProblem& p : file.problems)
        lines << (p.customerCode.isEmpty() ? p.text : customerName(p.customerCode, p.kanaName) + QStringLiteral("：") + p.text);
    return lines.join(u'\n');
}

QString creditBalanceLines(const RequestFile& file)
{
    if (file.creditBalances.empty())
        return QString();
    QStringList lines;
    lines << QStringLiteral("次の顧客は請求金額がマイナス（貸越）のため、ファイルに含めません。");
    for (const DebitCustomer& c : file.creditBalances)
        lines << QStringLiteral("　%1　%2 円").arg(customerName(c.code, c.kanaName), yen(c.amount));
    return lines.join(u'\n');
}

// ------------------------------------------------------------ the drive folder

namespace {
FolderChooser& folderChooser()
{
    static FolderChooser chooser;
    return chooser;
}
} // namespace

void setBankDriveFolderChooser(FolderChooser chooser)
{
    folderChooser() = std::move(chooser);
}

bool chooseBankDriveFolder(QWidget* parent)
{
    const QString current = bankfile::bankDriveFolder();
    QString chosen;
    if (folderChooser()) {
        chosen = folderChooser()(parent, current);
    } else {
        // The dialog starts in the folder in use, or beside it when the
        // default folder does not exist yet.
        const QString start = QDir(current).exists() ? current : QFileInfo(current).absolutePath();
        chosen = QFileDialog::getExistingDirectory(parent, QStringLiteral("ドライブＡ：として使うフォルダ"), start);
    }
    if (chosen.isEmpty())
        return false;
    bankfile::setBankDriveFolder(chosen);
    return true;
}

QHBoxLayout* bankDriveRow(QWidget* parent, QLabel*& folder, QPushButton*& change)
{
    folder = new QLabel(parent);
    folder->setObjectName(QStringLiteral("lblドライブ"));
    folder->setFrameShape(QFrame::StyledPanel);
    folder->setFrameShadow(QFrame::Sunken);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folder->setMinimumWidth(360);
    change = commandButton(parent, QStringLiteral("cmdドライブ"), QStringLiteral("フォルダ変更…"));
    auto* row = new QHBoxLayout;
    row->addWidget(captionFor(folder, QStringLiteral("ドライブＡ："), parent));
    row->addWidget(folder, 1);
    row->addWidget(change);
    return row;
}

// ------------------------------------------------------------ the screen

namespace {

const QString ErrorTitle = QStringLiteral("エラーメッセージ");

QLineEdit* displayBox(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setAlignment(Qt::AlignRight);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000,000,000,000")) + 16);
    return box;
}

} // namespace

frm売掛FD出力::frm売掛FD出力(QWidget* parent) : QDialog(parent), db_(session().config.databasePath)
{
    setObjectName(QStringLiteral("frm売掛FD出力"));
    setWindowTitle(QStringLiteral("売掛ＦＤ出力"));

    Data1 = new ValueQueryModel(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    DBList1 = new QListView(this);
    DBList1->setObjectName(QStringLiteral("DBList1"));
    DBList1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBList1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBList1->setModel(Data1);
    DBList1->setMinimumSize(260, 110);

    dateBoxes = new DateBoxes(this);
    Text年 = dateBoxes->yearBox();
    Text月 = dateBoxes->monthBox();
    Text日 = dateBoxes->dayBox();

    Text件数 = displayBox(QStringLiteral("Text件数"), this);
    Text合計金額 = displayBox(QStringLiteral("Text合計金額"), this);

    Data2 = new ValueQueryModel(this);
    Data2->setObjectName(QStringLiteral("Data2"));
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setModel(Data2);
    useValueColumns(*DBGrid1);
    DBGrid1->setMinimumSize(860, 260);

    Command1 = commandButton(this, QStringLiteral("Command1"), QStringLiteral("ＦＤ出力"));
    Command2 = commandButton(this, QStringLiteral("Command2"), QStringLiteral("終了"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    auto* top = new QGridLayout;
    top->setHorizontalSpacing(10);
    top->addWidget(captionFor(DBList1, QStringLiteral("決済方法"), this), 0, 0, Qt::AlignTop);
    top->addWidget(DBList1, 0, 1, 4, 1);
    top->setColumnMinimumWidth(2, 24);
    top->addWidget(captionFor(Text年, QStringLiteral("引落日"), this), 0, 3);
    top->addWidget(dateBoxes, 0, 4);
    top->addWidget(captionFor(Text件数, QStringLiteral("件数"), this), 1, 3);
    top->addWidget(Text件数, 1, 4, Qt::AlignLeft);
    top->addWidget(captionFor(Text合計金額, QStringLiteral("合計金額"), this), 2, 3);
    top->addWidget(Text合計金額, 2, 4, Qt::AlignLeft);
    top->setRowStretch(3, 1);
    top->setColumnStretch(5, 1);
    layout->addLayout(top);

    layout->addWidget(captionFor(DBGrid1, QStringLiteral("該当顧客残高一覧"), this));
    layout->addWidget(DBGrid1, 1);

    layout->addLayout(bankDriveRow(this, lblドライブ, cmdドライブ));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    layout->addLayout(buttons);

    setTabOrder(DBList1, Text年);
    setTabOrder(Text年, Text月);
    setTabOrder(Text月, Text日);
    setTabOrder(Text日, DBGrid1);
    setTabOrder(DBGrid1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, cmdドライブ);
    enableEnterNavigation(this);

    // Opening: the methods, today as the debit date, nothing selected.
    Data1->setStatement(db_, settlementMethodsStatement());
    Data1->rowCountAll();
    DBList1->setModelColumn(1);
    debitDate_ = dateBoxes->date();
    Text件数->setText(QStringLiteral("0"));
    Text合計金額->setText(QStringLiteral("0"));
    lblドライブ->setText(QDir::toNativeSeparators(bankfile::bankDriveFolder()));
    Command1->setVisible(false);

    connect(DBList1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = DBList1->selectionModel()->selectedIndexes();
        if (!rows.isEmpty())
            DBList1_Click(rows.first().row());
    });
    connect(dateBoxes, &DateBoxes::dateChanged, this, [this](const Date& date) { debitDate_ = date; });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(cmdドライブ, &QPushButton::clicked, this, [this] { cmdドライブ_Click(); });
    DBList1->setFocus();
}

frm売掛FD出力::~frm売掛FD出力()
{
    Data1->clear();
    Data2->clear();
}

void frm売掛FD出力::DBList1_Click(int row)
{
    const QVariant code = Data1->storedData(row, 0);
    if (!code.isValid() || code.isNull())
        return;
    method_ = readSettlementMethod(db_, code.toInt());
    showSelection();
}

void frm売掛FD出力::showSelection()
{
    if (!method_) {
        Data2->clear();
        Text件数->setText(QStringLiteral("0"));
        Text合計金額->setText(QStringLiteral("0"));
        Command1->setVisible(false);
        return;
    }
    Data2->setStatement(db_, debitCustomersStatement(), {method_->code});
    Data2->rowCountAll();
    // The count and total are those of the request: customers with a
    // credit balance are listed but not debited.
    int count = 0;
    Currency total;
    for (const DebitCustomer& c : readDebitCustomers(db_, method_->code)) {
        if (c.amount > Currency()) {
            count += 1;
            total += c.amount;
        }
    }
    Text件数->setText(QString::number(count));
    Text合計金額->setText(count != 0 ? total.toString() : QStringLiteral("0"));
    Command1->setVisible(count > 0);
}

void frm売掛FD出力::Command1_Click()
{
    if (!method_)
        return;
    // Read again: the file holds the customers as they are now.
    showSelection();
    const RequestFile file = bankfile::buildRequestFile(*method_, readDebitCustomers(db_, method_->code), debitDate_);
    if (file.count == 0 && file.problems.empty()) {
        const QString left = creditBalanceLines(file);
        ui().showMessage(QStringLiteral("報告該当顧客がありません。") + (left.isEmpty() ? QString() : u'\n' + left), ErrorTitle);
        return;
    }
    if (const QString problem = bankfile::fileNameProblem(method_->name, method_->fileName); !problem.isEmpty()) {
        ui().showMessage(problem, ErrorTitle);
        return;
    }
    if (!file.problems.empty()) {
        ui().showMessage(requestProblemsMessage(file), ErrorTitle);
        return;
    }

    const QString folder = QDir::toNativeSeparators(bankfile::bankDriveFolder());
    QString question = QStringLiteral("銀行引落報告用ＦＤをドライブＡ：に入れて下さい。\n") + folder;
    if (const QString left = creditBalanceLines(file); !left.isEmpty())
        question += QStringLiteral("\n\n") + left;
    if (!ui().ask(question, QStringLiteral("銀行引落報告用ＦＤ作成")))
        return;

    const QString path = bankfile::bankFilePath(method_->fileName);
    try {
        BusyCursor busy;
        bankfile::writeBankFile(path, file.bytes);
    } catch (const bankfile::DriveError& e) {
        ui().showMessage(e.message() + QStringLiteral("\n銀行引落ファイルは書き込んでいません（前のファイルはそのまま残っています）。"),
                         ErrorTitle);
        return;
    }
    ui().showMessage(QStringLiteral("書込が完了しました。\n%1\n件数 %2 件　合計金額 %3 円")
                         .arg(QDir::toNativeSeparators(path))
                         .arg(file.count)
                         .arg(yen(file.total)),
                     QStringLiteral("完了"));
}

void frm売掛FD出力::Command2_Click()
{
    reject();
}

void frm売掛FD出力::cmdドライブ_Click()
{
    if (chooseBankDriveFolder(this))
        lblドライブ->setText(QDir::toNativeSeparators(bankfile::bankDriveFolder()));
}
