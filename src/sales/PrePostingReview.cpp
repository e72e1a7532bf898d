#include "sales/PrePostingReview.h"

#include "session/Routines.h"
#include "session/Session.h"
#include "sales/DailyUpdate.h"
#include "ui/ScreenWidgets.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString ErrorTitle = QStringLiteral("エラー");

QTableView* listing(const char* objectName, const QString& accessibleName, ValueQueryModel* data, QWidget* parent)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(QString::fromUtf8(objectName));
    grid->setAccessibleName(accessibleName);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->setVisible(false);
    grid->setMinimumSize(720, 180);
    grid->setModel(data);
    useValueColumns(*grid);
    return grid;
}

} // namespace

frm転記前確認::frm転記前確認(SessionState& state, QWidget* parent, std::int32_t selectedSlipNumber)
    : QDialog(parent), state_(state), db_(state_.config.databasePath), selectedSlipNumber_(selectedSlipNumber)
{
    setObjectName(QStringLiteral("frm転記前確認"));
    setWindowTitle(QStringLiteral("転記処理前の確認"));

    salesModel = new ValueQueryModel(this);
    ledgerModel = new ValueQueryModel(this);
    salesLabel = new QLabel(QStringLiteral("売上商品マスター仮"), this);
    salesLabel->setObjectName(QStringLiteral("Label1"));
    salesGrid = listing("DBGrid1", QStringLiteral("売上商品マスター仮"), salesModel, this);
    salesLabel->setBuddy(salesGrid);
    ledgerLabel = new QLabel(QStringLiteral("経理マスター仮"), this);
    ledgerLabel->setObjectName(QStringLiteral("Label2"));
    ledgerGrid = listing("DBGrid2", QStringLiteral("経理マスター仮"), ledgerModel, this);
    ledgerLabel->setBuddy(ledgerGrid);
    deleteButton = commandButton(this, QStringLiteral("Command1"), QStringLiteral("削除"));
    okButton = commandButton(this, QStringLiteral("Command2"), QStringLiteral("確認ＯＫ"));

    connect(salesGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { currentRowChanged(salesModel, current); });
    connect(ledgerGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { currentRowChanged(ledgerModel, current); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { deleteSlip(); });
    connect(okButton, &QPushButton::clicked, this, [this] { confirm(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(deleteButton);
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->addWidget(salesLabel);
    layout->addWidget(salesGrid, 1);
    layout->addSpacing(8);
    layout->addWidget(ledgerLabel);
    layout->addWidget(ledgerGrid, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    okButton->setDefault(true);
    // Enter in a listing confirms, as the drawn default says; on a focused
    // button it presses that one.
    keepOwnEnter(salesGrid);
    keepOwnEnter(ledgerGrid);
    enableEnterNavigation(this);

    loadHoldingListings();
}

frm転記前確認::~frm転記前確認()
{
    // The listings' statements end before the screen's connection closes.
    clearListings();
}

void frm転記前確認::clearListings()
{
    salesModel->clear();
    ledgerModel->clear();
}

void frm転記前確認::loadHoldingListings()
{
    salesModel->setStatement(db_, holdingSalesStatement());
    salesModel->rowCountAll();
    makeFirstRowCurrent(salesGrid, salesModel);

    // The copy of the chart of accounts names the credit account; it is
    // refilled so that it matches the chart. The ledger listing's read
    // statement is ended first, as the refill writes the table it reads.
    ledgerModel->clear();
    refreshAccountCopy(db_);
    ledgerModel->setStatement(db_, holdingLedgerStatement());
    ledgerModel->rowCountAll();
    ledgerModel->setHeading(4, QStringLiteral("勘定科目TBL.勘定科目名"));
    ledgerModel->setHeading(5, QStringLiteral("勘定科目TBLＣＯＰＹ.勘定科目名"));
    makeFirstRowCurrent(ledgerGrid, ledgerModel);

    fitColumns(salesGrid);
    fitColumns(ledgerGrid);
}

// The columns fit their headings and texts (useValueColumns); the listing
// is made wide enough to show them all without scrolling sideways.
void frm転記前確認::fitColumns(QTableView* grid)
{
    int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        width += grid->columnWidth(column);
    grid->setMinimumWidth(std::max(grid->minimumWidth(), width));
}

void frm転記前確認::makeFirstRowCurrent(QTableView* grid, ValueQueryModel* data)
{
    if (data->rowCount() == 0)
        return; // no current row: the selected number stays as it was
    grid->setCurrentIndex(data->index(0, 0));
}

void frm転記前確認::currentRowChanged(ValueQueryModel* data, const QModelIndex& current)
{
    if (!current.isValid())
        return;
    const QVariant number = data->storedData(current.row(), HoldingSlipNumberColumn);
    if (number.isValid() && !number.isNull())
        selectedSlipNumber_ = std::int32_t(number.toLongLong());
}

void frm転記前確認::deleteSlip()
{
    const std::int32_t number = selectedSlipNumber_;
    if (number == 0) {
        ui().showMessage(QStringLiteral("伝票番号を指定(クリック)してから削除ボタンを押して下さい。"), ErrorTitle);
        return;
    }
    if (!ui().ask(QStringLiteral("伝票番号") + QString::number(number) + QStringLiteral("のデータを削除します。よろしいですか？"),
                  QStringLiteral("データの削除")))
        return;
    clearListings();
    try {
        deleteHoldingSlip(db_, number);
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("伝票番号%1のデータを削除できませんでした。何も削除していません。\n%2")
                             .arg(number)
                             .arg(e.databaseText()),
                         ErrorTitle);
    }
    loadHoldingListings();
}

void frm転記前確認::confirm()
{
    if (salesModel->rowCountAll() == 0 && ledgerModel->rowCountAll() == 0)
        ui().showMessage(QStringLiteral("転記するデータがありません。"), ErrorTitle);
    accept();
}
