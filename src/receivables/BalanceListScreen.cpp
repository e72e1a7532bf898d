#include "receivables/BalanceListScreen.h"

#include "ui/ErrorGuard.h"
#include "session/Session.h"
#include "print/PrintSurface.h"
#include "print/ReportEngine.h"
#include "receivables/BalanceList.h"
#include "ui/CsvButton.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

frm売掛残高一覧::frm売掛残高一覧(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath)
{
    setObjectName(QStringLiteral("frm売掛残高一覧"));
    setWindowTitle(QStringLiteral("顧客マスター"));

    balanceGrid = new QTableView(this);
    balanceGrid->setObjectName(QStringLiteral("grdDataGrid"));
    balanceGrid->setAccessibleName(QStringLiteral("売掛残高一覧"));
    balanceGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    balanceGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    balanceGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    balanceGrid->setMinimumSize(640, 320);
    balanceRows = new ValueQueryModel(this);
    balanceRows->setObjectName(QStringLiteral("datPrimaryRS"));
    balanceGrid->setModel(balanceRows);

    auto navButton = [this](const QString& name, const QString& arrow, const QString& what) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(arrow);
        b->setToolTip(what);
        b->setAccessibleName(what);
        b->setMinimumSize(32, 28);
        return b;
    };
    firstButton = navButton(QStringLiteral("cmdFirst"), QStringLiteral("|◀"), QStringLiteral("最初の行"));
    previousButton = navButton(QStringLiteral("cmdPrevious"), QStringLiteral("◀"), QStringLiteral("前の行"));
    recordLabel = new QLabel(this);
    recordLabel->setObjectName(QStringLiteral("lblRecord"));
    recordLabel->setMinimumWidth(140);
    recordLabel->setAlignment(Qt::AlignCenter);
    nextButton = navButton(QStringLiteral("cmdNext"), QStringLiteral("▶"), QStringLiteral("次の行"));
    lastButton = navButton(QStringLiteral("cmdLast"), QStringLiteral("▶|"), QStringLiteral("最後の行"));

    printButton = new QPushButton(QStringLiteral("印刷"), this);
    printButton->setObjectName(QStringLiteral("Command1"));
    printButton->setMinimumSize(110, 36);
    csvOutputButton = csvButton(this, balanceGrid, QStringLiteral("売掛残高一覧"));
    closeButton = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    closeButton->setMinimumSize(110, 36);

    auto* navigator = new QHBoxLayout;
    navigator->setSpacing(2);
    navigator->addWidget(firstButton);
    navigator->addWidget(previousButton);
    navigator->addWidget(recordLabel);
    navigator->addWidget(nextButton);
    navigator->addWidget(lastButton);
    navigator->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(csvOutputButton);
    buttons->addWidget(printButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(balanceGrid, 1);
    layout->addLayout(navigator);
    layout->addLayout(buttons);

    connect(firstButton, &QToolButton::clicked, this, [this] { moveTo(0); });
    connect(previousButton, &QToolButton::clicked, this,
            [this] { moveTo(std::max(0, balanceGrid->currentIndex().row() - 1)); });
    connect(nextButton, &QToolButton::clicked, this, [this] { moveTo(balanceGrid->currentIndex().row() + 1); });
    connect(lastButton, &QToolButton::clicked, this, [this] { moveTo(balanceRows->rowCount() - 1); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { finish(); });

    // Opening: the balances as they are now. A source that cannot be read
    // is reported and the grid stays empty.
    try {
        balanceRows->setStatement(db_, balanceListStatement(), {}, {{BalanceColumn, ValueKind::Currency}});
        balanceRows->rowCountAll();
    } catch (const std::exception& e) {
        const auto* dbError = dynamic_cast<const DatabaseError*>(&e);
        ui().showMessage(QStringLiteral("Data error event hit err:")
                             + (dbError ? dbError->databaseText() : QString::fromUtf8(e.what())),
                         windowTitle());
        balanceRows->clear();
    }
    useValueColumns(*balanceGrid);
    balanceGrid->horizontalHeader()->setStretchLastSection(true);
    connect(balanceGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { updateCaption(); });
    moveTo(0);
    updateCaption();
}

frm売掛残高一覧::~frm売掛残高一覧()
{
    balanceRows->clear();
}

void frm売掛残高一覧::moveTo(int row)
{
    const int rows = balanceRows->rowCount();
    if (rows == 0)
        return;
    const QModelIndex index = balanceRows->index(std::clamp(row, 0, rows - 1), 0);
    balanceGrid->setCurrentIndex(index);
    balanceGrid->scrollTo(index);
}

void frm売掛残高一覧::updateCaption()
{
    const QModelIndex current = balanceGrid->currentIndex();
    recordLabel->setText(QStringLiteral("Record: ")
                       + (current.isValid() ? QString::number(current.row() + 1) : QString()));
}

void frm売掛残高一覧::print()
{
    // The report reads 顧客マスター itself, as the list shows it.
    try {
        printReport(state_.config, BalanceReport);
    } catch (const PrintError& e) {
        ui().showMessage(QStringLiteral("売掛残高一覧を印刷できませんでした。\n") + e.message(),
                         QStringLiteral("印刷エラー"));
    }
}

void frm売掛残高一覧::finish()
{
    accept();
}
