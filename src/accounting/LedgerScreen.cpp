#include "accounting/LedgerScreen.h"

#include "accounting/ScreenParts.h"
#include "session/ErrorGuard.h"
#include "session/Session.h"
#include "masters/CodePicker.h"
#include "print/PrintSurface.h"
#include "print/ReportEngine.h"
#include "ui/UiService.h"
#include "ui/EnterNavigation.h"
#include "ui/ValueModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

frm経理勘定帳::frm経理勘定帳(std::int64_t account, QWidget* parent)
    : QDialog(parent), db_(session().config.databasePath)
{
    using namespace accounting::parts;
    setObjectName(QStringLiteral("frm経理勘定帳"));
    setWindowTitle(QStringLiteral("経理勘定帳"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAccessibleName(QStringLiteral("勘定科目名"));
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    Label1->setFont(big);
    layout->addWidget(Label1);

    Data2 = new ValueQueryModel(this);
    Data2->setObjectName(QStringLiteral("Data2"));
    DBGrid1 = grid("DBGrid1", QStringLiteral("各勘定帳"), this);
    DBGrid1->setModel(Data2);
    DBGrid1->setMinimumSize(680, 360);
    layout->addWidget(DBGrid1, 1);

    Command2 = button("Command2", QStringLiteral("印刷"), this);
    Command1 = button("Command1", QStringLiteral("終了"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    layout->addLayout(buttons);
    setTabOrder(DBGrid1, Command2);
    setTabOrder(Command2, Command1);

    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    {
        const BusyCursor busy;
        ledger_ = accounting::buildLedger(db_, account);
        Label1->setText(ledger_.accountName.left(30));
        showLines();
    }
    enableEnterNavigation(this);
    DBGrid1->setFocus();
}

frm経理勘定帳::~frm経理勘定帳()
{
    Data2->clear();
}

void frm経理勘定帳::showLines()
{
    Data2->setStatement(db_, accounting::ledgerLinesStatement());
    const int rows = Data2->rowCountAll();
    useValueColumns(*DBGrid1);
    // The final balance in view.
    if (rows > 0) {
        DBGrid1->selectRow(rows - 1);
        DBGrid1->scrollToBottom();
    }
}

void frm経理勘定帳::Command2_Click()
{
    try {
        const QString subtitle = ledger_.accountExists
                                     ? QStringLiteral("%1　%2").arg(ledger_.account).arg(ledger_.accountName)
                                     : QString::number(ledger_.account);
        PrintReport(session().config, QStringLiteral("各勘定帳.rpt"), {{}, subtitle});
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), errorTitle());
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("勘定帳を印刷できませんでした。\n%1").arg(e.databaseText()), errorTitle());
    }
}

void frm経理勘定帳::Command1_Click()
{
    Data2->clear();
    try {
        accounting::clearLedger(db_);
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("勘定帳の作業表を空にできませんでした。\n%1").arg(e.databaseText()), errorTitle());
    }
    accept();
}

QDialog* openAccountLedger(QWidget* parent)
{
    const std::int32_t account = pickCode(QStringLiteral("frm勘定科目選択"), DefaultLedgerAccount, parent);
    return new frm経理勘定帳(account, parent);
}
