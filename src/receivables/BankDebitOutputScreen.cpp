#include "receivables/BankDebitOutputScreen.h"

#include "session/ErrorGuard.h"
#include "session/Session.h"
#include "core/Text.h"
#include "receivables/BankDebitOutput.h"
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
#include <QTableView>
#include <QVBoxLayout>

using bankfile::DebitCustomer;
using bankfile::RequestFile;

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
        ui().showMessage(QStringLiteral("報告該当顧客がありません。") + (left.isEmpty() ? QString() : u'\n' + left), errorTitle());
        return;
    }
    if (const QString problem = bankfile::fileNameProblem(method_->name, method_->fileName); !problem.isEmpty()) {
        ui().showMessage(problem, errorTitle());
        return;
    }
    if (!file.problems.empty()) {
        ui().showMessage(requestProblemsMessage(file), errorTitle());
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
                         errorTitle());
        return;
    }
    ui().showMessage(QStringLiteral("書込が完了しました。\n%1\n件数 %2 件　合計金額 %3 円")
                         .arg(QDir::toNativeSeparators(path))
                         .arg(file.count)
                         .arg(text::format(file.total, QStringLiteral("#,##0"))),
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
