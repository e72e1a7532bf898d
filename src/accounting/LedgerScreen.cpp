#include "accounting/LedgerScreen.h"

#include "accounting/ScreenParts.h"
#include "ui/CsvButton.h"
#include "ui/ErrorGuard.h"
#include "masters/CodePicker.h"
#include "print/PrintSurface.h"
#include "print/ReportEngine.h"
#include "ui/UiService.h"
#include "ui/EnterNavigation.h"
#include "ui/ValueModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

frm経理勘定帳::frm経理勘定帳(SessionState& state, std::int64_t account, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath)
{
    using namespace accounting::parts;
    setObjectName(QStringLiteral("frm経理勘定帳"));
    setWindowTitle(QStringLiteral("経理勘定帳"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    accountNameLabel = new QLabel(this);
    accountNameLabel->setObjectName(QStringLiteral("Label1"));
    accountNameLabel->setAccessibleName(QStringLiteral("勘定科目名"));
    QFont big = accountNameLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    accountNameLabel->setFont(big);
    layout->addWidget(accountNameLabel);

    lineRows = new ValueQueryModel(this);
    lineRows->setObjectName(QStringLiteral("Data2"));
    linesGrid = grid("DBGrid1", QStringLiteral("各勘定帳"), this);
    linesGrid->setModel(lineRows);
    linesGrid->setMinimumSize(680, 360);
    layout->addWidget(linesGrid, 1);

    printButton = button("Command2", QStringLiteral("印刷"), this);
    finishButton = button("Command1", QStringLiteral("終了"), this);
    csvOutputButton = csvButton(this, linesGrid, QStringLiteral("各勘定帳"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(csvOutputButton);
    buttons->addWidget(printButton);
    buttons->addWidget(finishButton);
    layout->addLayout(buttons);
    setTabOrder(linesGrid, csvOutputButton);
    setTabOrder(csvOutputButton, printButton);
    setTabOrder(printButton, finishButton);

    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(finishButton, &QPushButton::clicked, this, [this] { finish(); });

    {
        const BusyCursor busy;
        ledger_ = accounting::buildLedger(db_, account);
        accountNameLabel->setText(ledger_.accountName.left(30));
        showLines();
    }
    enableEnterNavigation(this);
    linesGrid->setFocus();
}

frm経理勘定帳::~frm経理勘定帳()
{
    lineRows->clear();
}

void frm経理勘定帳::showLines()
{
    lineRows->setStatement(db_, accounting::ledgerLinesStatement());
    const int rows = lineRows->rowCountAll();
    useValueColumns(*linesGrid);
    // The final balance in view.
    if (rows > 0) {
        linesGrid->selectRow(rows - 1);
        linesGrid->scrollToBottom();
    }
}

void frm経理勘定帳::print()
{
    try {
        const QString subtitle = ledger_.accountExists
                                     ? QStringLiteral("%1　%2").arg(ledger_.account).arg(ledger_.accountName)
                                     : QString::number(ledger_.account);
        printReport(state_.config, QStringLiteral("各勘定帳.rpt"), {{}, subtitle});
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), errorTitle());
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("勘定帳を印刷できませんでした。\n%1").arg(e.databaseText()), errorTitle());
    }
}

void frm経理勘定帳::finish()
{
    lineRows->clear();
    try {
        accounting::clearLedger(db_);
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("勘定帳の作業表を空にできませんでした。\n%1").arg(e.databaseText()), errorTitle());
    }
    accept();
}

QDialog* openAccountLedger(SessionState& state, QWidget* parent)
{
    const std::int32_t account = pickCode(state, QStringLiteral("frm勘定科目選択"), DefaultLedgerAccount, parent);
    return new frm経理勘定帳(state, account, parent);
}
