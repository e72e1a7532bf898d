#include "gas/GasTotalsScreen.h"
#include "gas/GasTotalsPrinting.h"

#include "ui/ErrorGuard.h"
#include "session/Session.h"
#include "print/PrintSurface.h"
#include "ui/ScreenWidgets.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/CsvButton.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("ガス集計");

QLineEdit* totalBox(const char* objectName, const QString& caption, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(objectName));
    box->setAccessibleName(caption);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0,000,000,000.00")) + 16);
    return box;
}

QLabel* captionLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lbl") + text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

frmガス集計::frmガス集計(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath)
{
    setObjectName(QStringLiteral("frmガス集計"));
    setWindowTitle(Title);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    // The range: from the first of this month to today.
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
    startBoxes->setParts(today.year(), today.month(), 1);
    endBoxes->setDate(today);

    listButton = commandButton(this, QStringLiteral("Command1"), QStringLiteral("ガスデータの表示"));
    printButton = commandButton(this, QStringLiteral("Command3"), QStringLiteral("印刷・集計"));
    finishButton = commandButton(this, QStringLiteral("Command2"), QStringLiteral("中止・終了"));

    auto* range = new QGridLayout;
    range->setHorizontalSpacing(8);
    range->addWidget(startBoxes, 0, 0);
    range->addWidget(new QLabel(QStringLiteral("から"), this), 0, 1);
    range->addWidget(endBoxes, 1, 0);
    range->addWidget(new QLabel(QStringLiteral("まで"), this), 1, 1);
    range->setColumnMinimumWidth(2, 24);
    range->addWidget(listButton, 0, 3, 2, 1, Qt::AlignVCenter);
    range->setColumnStretch(4, 1);
    layout->addLayout(range);

    // The listed events.
    eventRows = new ValueQueryModel(this);
    eventGrid = new QTableView(this);
    eventGrid->setObjectName(QStringLiteral("DBGrid1"));
    eventGrid->setAccessibleName(QStringLiteral("ガスデータ"));
    eventGrid->setModel(eventRows);
    eventGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    eventGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    eventGrid->verticalHeader()->setVisible(false);
    eventGrid->setMinimumSize(760, 300);
    layout->addWidget(eventGrid, 1);

    // The totals of the range.
    usageTotalBox = totalBox("Text1", QStringLiteral("使用量合計"), this);
    deliveredTotalBox = totalBox("Text5", QStringLiteral("配送量合計"), this);
    remainingTotalBox = totalBox("Text6", QStringLiteral("残ガス量合計"), this);
    amountTotalBox = totalBox("Text10", QStringLiteral("金額合計"), this);
    auto* sums = new QGridLayout;
    sums->setHorizontalSpacing(8);
    int column = 0;
    for (QLineEdit* box : {usageTotalBox, deliveredTotalBox, remainingTotalBox, amountTotalBox}) {
        sums->addWidget(captionLabel(box->accessibleName(), box, this), 0, column);
        sums->addWidget(box, 1, column);
        ++column;
    }
    sums->setColumnStretch(column, 1);
    layout->addLayout(sums);

    csvOutputButton = csvButton(this, eventGrid, Title);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(csvOutputButton);
    buttons->addWidget(printButton);
    buttons->addWidget(finishButton);
    layout->addLayout(buttons);

    setTabOrderChain({startYearBox, startMonthBox, startDayBox, endYearBox, endMonthBox, endDayBox, listButton, eventGrid,
                      csvOutputButton, printButton, finishButton});
    enableEnterNavigation(this);

    connect(listButton, &QPushButton::clicked, this, [this] { listEvents(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(finishButton, &QPushButton::clicked, this, [this] { finish(); });

    load();
    startYearBox->setFocus();
}

frmガス集計::~frmガス集計()
{
    eventRows->clear();
}

void frmガス集計::load()
{
    const BusyCursor busy;
    const Date start = startBoxes->date();
    const Date end = endBoxes->date();
    eventRows->setStatement(db_, gas::eventListStatement(), gas::rangeParams(start, end));
    eventRows->rowCountAll();
    useValueColumns(*eventGrid);
    events_ = gas::loadEvents(db_, start, end);
    totals_ = gas::loadTotals(db_, start, end);

    auto show = [](QLineEdit* box, const auto& value, ValueKind kind) {
        box->setText(value ? displayText(QVariant::fromValue(*value), kind) : QString());
    };
    usageTotalBox->setText(totals_.usage ? totals_.usage->toString() : QString());
    show(deliveredTotalBox, totals_.delivered, ValueKind::Single);
    show(remainingTotalBox, totals_.remaining, ValueKind::Single);
    amountTotalBox->setText(totals_.amount ? totals_.amount->toString() : QString());
}

void frmガス集計::listEvents()
{
    load();
}

void frmガス集計::print()
{
    // The list as last loaded, under the dates the boxes show now.
    try {
        const BusyCursor busy;
        gas::printGasTotals(state_.config.companyName(), startBoxes->date(), endBoxes->date(), events_, totals_);
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), errorTitle());
    }
}

void frmガス集計::finish()
{
    reject();
}
