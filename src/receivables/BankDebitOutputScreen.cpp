#include "receivables/BankDebitOutputScreen.h"

#include "ui/ErrorGuard.h"
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

frm売掛FD出力::frm売掛FD出力(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath)
{
    setObjectName(QStringLiteral("frm売掛FD出力"));
    setWindowTitle(QStringLiteral("売掛ＦＤ出力"));

    methodModel = new ValueQueryModel(this);
    methodModel->setObjectName(QStringLiteral("Data1"));
    methodList = new QListView(this);
    methodList->setObjectName(QStringLiteral("DBList1"));
    methodList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    methodList->setSelectionMode(QAbstractItemView::SingleSelection);
    methodList->setModel(methodModel);
    methodList->setMinimumSize(260, 110);

    dateBoxes = new DateBoxes(this);
    yearBox = dateBoxes->yearBox();
    monthBox = dateBoxes->monthBox();
    dayBox = dateBoxes->dayBox();

    countBox = displayBox(QStringLiteral("Text件数"), this);
    totalBox = displayBox(QStringLiteral("Text合計金額"), this);

    customerModel = new ValueQueryModel(this);
    customerModel->setObjectName(QStringLiteral("Data2"));
    customerGrid = new QTableView(this);
    customerGrid->setObjectName(QStringLiteral("DBGrid1"));
    customerGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    customerGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    customerGrid->setModel(customerModel);
    useValueColumns(*customerGrid);
    customerGrid->setMinimumSize(860, 260);

    writeButton = commandButton(this, QStringLiteral("Command1"), QStringLiteral("ＦＤ出力"));
    finishButton = commandButton(this, QStringLiteral("Command2"), QStringLiteral("終了"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    auto* top = new QGridLayout;
    top->setHorizontalSpacing(10);
    top->addWidget(captionFor(methodList, QStringLiteral("決済方法"), this), 0, 0, Qt::AlignTop);
    top->addWidget(methodList, 0, 1, 4, 1);
    top->setColumnMinimumWidth(2, 24);
    top->addWidget(captionFor(yearBox, QStringLiteral("引落日"), this), 0, 3);
    top->addWidget(dateBoxes, 0, 4);
    top->addWidget(captionFor(countBox, QStringLiteral("件数"), this), 1, 3);
    top->addWidget(countBox, 1, 4, Qt::AlignLeft);
    top->addWidget(captionFor(totalBox, QStringLiteral("合計金額"), this), 2, 3);
    top->addWidget(totalBox, 2, 4, Qt::AlignLeft);
    top->setRowStretch(3, 1);
    top->setColumnStretch(5, 1);
    layout->addLayout(top);

    layout->addWidget(captionFor(customerGrid, QStringLiteral("該当顧客残高一覧"), this));
    layout->addWidget(customerGrid, 1);

    layout->addLayout(bankDriveRow(this, driveFolderLabel, driveFolderButton));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(writeButton);
    buttons->addWidget(finishButton);
    layout->addLayout(buttons);

    setTabOrder(methodList, yearBox);
    setTabOrder(yearBox, monthBox);
    setTabOrder(monthBox, dayBox);
    setTabOrder(dayBox, customerGrid);
    setTabOrder(customerGrid, writeButton);
    setTabOrder(writeButton, finishButton);
    setTabOrder(finishButton, driveFolderButton);
    enableEnterNavigation(this);

    // Opening: the methods, today as the debit date, nothing selected.
    methodModel->setStatement(db_, settlementMethodsStatement());
    methodModel->rowCountAll();
    methodList->setModelColumn(1);
    debitDate_ = dateBoxes->date();
    countBox->setText(QStringLiteral("0"));
    totalBox->setText(QStringLiteral("0"));
    driveFolderLabel->setText(QDir::toNativeSeparators(bankfile::bankDriveFolder()));
    writeButton->setVisible(false);

    connect(methodList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = methodList->selectionModel()->selectedIndexes();
        if (!rows.isEmpty())
            chooseMethod(rows.first().row());
    });
    connect(dateBoxes, &DateBoxes::dateChanged, this, [this](const Date& date) { debitDate_ = date; });
    connect(writeButton, &QPushButton::clicked, this, [this] { writeFile(); });
    connect(finishButton, &QPushButton::clicked, this, [this] { finish(); });
    connect(driveFolderButton, &QPushButton::clicked, this, [this] { changeDriveFolder(); });
    methodList->setFocus();
}

frm売掛FD出力::~frm売掛FD出力()
{
    methodModel->clear();
    customerModel->clear();
}

void frm売掛FD出力::chooseMethod(int row)
{
    const QVariant code = methodModel->storedData(row, 0);
    if (!code.isValid() || code.isNull())
        return;
    method_ = readSettlementMethod(db_, code.toInt());
    showSelection();
}

void frm売掛FD出力::showSelection()
{
    if (!method_) {
        customerModel->clear();
        countBox->setText(QStringLiteral("0"));
        totalBox->setText(QStringLiteral("0"));
        writeButton->setVisible(false);
        return;
    }
    customerModel->setStatement(db_, debitCustomersStatement(), {method_->code});
    customerModel->rowCountAll();
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
    countBox->setText(QString::number(count));
    totalBox->setText(count != 0 ? total.toString() : QStringLiteral("0"));
    writeButton->setVisible(count > 0);
}

void frm売掛FD出力::writeFile()
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

void frm売掛FD出力::finish()
{
    reject();
}

void frm売掛FD出力::changeDriveFolder()
{
    if (chooseBankDriveFolder(this))
        driveFolderLabel->setText(QDir::toNativeSeparators(bankfile::bankDriveFolder()));
}
