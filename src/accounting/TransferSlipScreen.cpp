#include "accounting/TransferSlipScreen.h"

#include "accounting/JournalCsv.h"
#include "accounting/ScreenParts.h"
#include "accounting/TransferSlipPrinting.h"
#include "ui/CsvButton.h"
#include "ui/ErrorGuard.h"
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

frm経理振替伝票::frm経理振替伝票(SessionState& state, QWidget* parent) : QDialog(parent), db_(state.config.databasePath)
{
    using namespace accounting::parts;
    setObjectName(QStringLiteral("frm経理振替伝票"));
    setWindowTitle(QStringLiteral("振替伝票発行"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    startBoxes = new DateBoxes(this, QStringLiteral("Text2"), QStringLiteral("Text3"), QStringLiteral("Text4"));
    startBoxes->setObjectName(QStringLiteral("startBoxes"));
    startYearBox = startBoxes->yearBox();
    startMonthBox = startBoxes->monthBox();
    startDayBox = startBoxes->dayBox();
    endBoxes = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    endBoxes->setObjectName(QStringLiteral("endBoxes"));
    endYearBox = endBoxes->yearBox();
    endMonthBox = endBoxes->monthBox();
    endDayBox = endBoxes->dayBox();
    const Date today = Date::today();
    startBoxes->setDate(today.addDays(-30));
    endBoxes->setDate(today);

    runButton = button("Command1", QStringLiteral("実行"), this);
    printButton = button("Command3", QStringLiteral("印刷"), this);
    finishButton = button("Command2", QStringLiteral("中止・終了"), this);

    auto* range = new QGridLayout;
    range->setHorizontalSpacing(8);
    range->addWidget(startBoxes, 0, 0);
    auto* from = new QLabel(QStringLiteral("から"), this);
    from->setBuddy(startYearBox);
    range->addWidget(from, 0, 1);
    range->addWidget(endBoxes, 1, 0);
    auto* until = new QLabel(QStringLiteral("まで"), this);
    until->setBuddy(endYearBox);
    range->addWidget(until, 1, 1);
    range->setColumnMinimumWidth(2, 24);
    range->addWidget(runButton, 0, 3, 2, 1, Qt::AlignVCenter);
    range->setColumnStretch(4, 1);
    layout->addLayout(range);

    slipRows = new ValueQueryModel(this);
    slipRows->setObjectName(QStringLiteral("Data1"));
    slipGrid = grid("DBGrid1", QStringLiteral("振替伝票"), this);
    slipGrid->setModel(slipRows);
    slipGrid->setMinimumSize(820, 360);
    layout->addWidget(slipGrid, 1);

    csvOutputButton = csvButton(this, slipGrid, QStringLiteral("振替伝票"));
    journalOutputButton = button("cmd仕訳CSV", QStringLiteral("仕訳CSV出力"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(journalOutputButton);
    buttons->addStretch(1);
    buttons->addWidget(csvOutputButton);
    buttons->addWidget(printButton);
    buttons->addWidget(finishButton);
    layout->addLayout(buttons);

    setTabOrderChain({startYearBox, startMonthBox, startDayBox, endYearBox, endMonthBox, endDayBox, runButton, slipGrid,
                      journalOutputButton, csvOutputButton, printButton, finishButton});
    enableEnterNavigation(this);

    connect(runButton, &QPushButton::clicked, this, [this] { run(); });
    connect(journalOutputButton, &QPushButton::clicked, this, [this] { writeJournal(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(finishButton, &QPushButton::clicked, this, [this] { finish(); });

    load();
    startYearBox->setFocus();
}

frm経理振替伝票::~frm経理振替伝票()
{
    slipRows->clear();
}

void frm経理振替伝票::load()
{
    const BusyCursor busy;
    const Date start = startBoxes->date();
    const Date end = endBoxes->date();
    // The copy of the chart is refilled first, with no read of it open.
    slipRows->clear();
    rows_ = accounting::loadTransferSlips(db_, start, end);
    slipRows->setStatement(db_, accounting::transferSlipStatement(), accounting::transferSlipParams(start, end),
                           {{QStringLiteral("経理年月日"), ValueKind::Date},
                            {QStringLiteral("経理金額"), ValueKind::Currency},
                            {QStringLiteral("経理伝票番号"), ValueKind::Integer}});
    slipRows->rowCountAll();
    useValueColumns(*slipGrid);
}

void frm経理振替伝票::run()
{
    load();
}

void frm経理振替伝票::print()
{
    // The list as last loaded, under the dates the boxes show now.
    try {
        const BusyCursor busy;
        accounting::printTransferSlips(startBoxes->date(), endBoxes->date(), rows_);
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), errorTitle());
    }
}

void frm経理振替伝票::writeJournal()
{
    const Date start = startBoxes->date();
    const Date end = endBoxes->date();
    writeCsvAndTell(accounting::JournalCsvName, [&] { return accounting::journalCsvRows(db_, start, end); });
}

void frm経理振替伝票::finish()
{
    reject();
}
