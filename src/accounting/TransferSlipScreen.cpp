#include "accounting/TransferSlipScreen.h"

#include "accounting/ScreenParts.h"
#include "session/ErrorGuard.h"
#include "session/Session.h"
#include "print/PrintSurface.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

frm経理振替伝票::frm経理振替伝票(QWidget* parent) : QDialog(parent), db_(session().config.databasePath)
{
    using namespace accounting::parts;
    setObjectName(QStringLiteral("frm経理振替伝票"));
    setWindowTitle(QStringLiteral("振替伝票発行"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    startBoxes = new DateBoxes(this, QStringLiteral("Text2"), QStringLiteral("Text3"), QStringLiteral("Text4"));
    startBoxes->setObjectName(QStringLiteral("startBoxes"));
    Text2 = startBoxes->yearBox();
    Text3 = startBoxes->monthBox();
    Text4 = startBoxes->dayBox();
    endBoxes = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    endBoxes->setObjectName(QStringLiteral("endBoxes"));
    Text7 = endBoxes->yearBox();
    Text8 = endBoxes->monthBox();
    Text9 = endBoxes->dayBox();
    const Date today = Date::today();
    startBoxes->setDate(today.addDays(-30));
    endBoxes->setDate(today);

    Command1 = button("Command1", QStringLiteral("実行"), this);
    Command3 = button("Command3", QStringLiteral("印刷"), this);
    Command2 = button("Command2", QStringLiteral("中止・終了"), this);

    auto* range = new QGridLayout;
    range->setHorizontalSpacing(8);
    range->addWidget(startBoxes, 0, 0);
    auto* from = new QLabel(QStringLiteral("から"), this);
    from->setBuddy(Text2);
    range->addWidget(from, 0, 1);
    range->addWidget(endBoxes, 1, 0);
    auto* until = new QLabel(QStringLiteral("まで"), this);
    until->setBuddy(Text7);
    range->addWidget(until, 1, 1);
    range->setColumnMinimumWidth(2, 24);
    range->addWidget(Command1, 0, 3, 2, 1, Qt::AlignVCenter);
    range->setColumnStretch(4, 1);
    layout->addLayout(range);

    Data1 = new ValueQueryModel(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    DBGrid1 = grid("DBGrid1", QStringLiteral("振替伝票"), this);
    DBGrid1->setModel(Data1);
    DBGrid1->setMinimumSize(820, 360);
    layout->addWidget(DBGrid1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command3);
    buttons->addWidget(Command2);
    layout->addLayout(buttons);

    setTabOrderChain({Text2, Text3, Text4, Text7, Text8, Text9, Command1, DBGrid1, Command3, Command2});
    enableEnterNavigation(this);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    load();
    Text2->setFocus();
}

frm経理振替伝票::~frm経理振替伝票()
{
    Data1->clear();
}

void frm経理振替伝票::load()
{
    const BusyCursor busy;
    const Date start = startBoxes->date();
    const Date end = endBoxes->date();
    // The copy of the chart is refilled first, with no read of it open.
    Data1->clear();
    rows_ = accounting::loadTransferSlips(db_, start, end);
    Data1->setStatement(db_, accounting::transferSlipStatement(), accounting::transferSlipParams(start, end),
                        {{QStringLiteral("経理年月日"), ValueKind::Date},
                         {QStringLiteral("経理金額"), ValueKind::Currency},
                         {QStringLiteral("経理伝票番号"), ValueKind::Integer}});
    Data1->rowCountAll();
    useValueColumns(*DBGrid1);
}

void frm経理振替伝票::Command1_Click()
{
    load();
}

void frm経理振替伝票::Command3_Click()
{
    // The list as last loaded, under the dates the boxes show now.
    try {
        const BusyCursor busy;
        accounting::PrintTransferSlips(startBoxes->date(), endBoxes->date(), rows_);
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), errorTitle());
    }
}

void frm経理振替伝票::Command2_Click()
{
    reject();
}
