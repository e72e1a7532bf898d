#include "receivables/BalanceListScreen.h"

#include "session/ErrorGuard.h"
#include "session/Session.h"
#include "print/PrintSurface.h"
#include "print/ReportEngine.h"
#include "receivables/BalanceList.h"
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

frm売掛残高一覧::frm売掛残高一覧(QWidget* parent) : QDialog(parent), db_(session().config.databasePath)
{
    setObjectName(QStringLiteral("frm売掛残高一覧"));
    setWindowTitle(QStringLiteral("顧客マスター"));

    grdDataGrid = new QTableView(this);
    grdDataGrid->setObjectName(QStringLiteral("grdDataGrid"));
    grdDataGrid->setAccessibleName(QStringLiteral("売掛残高一覧"));
    grdDataGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDataGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDataGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDataGrid->setMinimumSize(640, 320);
    datPrimaryRS = new ValueQueryModel(this);
    datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));
    grdDataGrid->setModel(datPrimaryRS);

    auto navButton = [this](const QString& name, const QString& arrow, const QString& what) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(arrow);
        b->setToolTip(what);
        b->setAccessibleName(what);
        b->setMinimumSize(32, 28);
        return b;
    };
    cmdFirst = navButton(QStringLiteral("cmdFirst"), QStringLiteral("|◀"), QStringLiteral("最初の行"));
    cmdPrevious = navButton(QStringLiteral("cmdPrevious"), QStringLiteral("◀"), QStringLiteral("前の行"));
    lblRecord = new QLabel(this);
    lblRecord->setObjectName(QStringLiteral("lblRecord"));
    lblRecord->setMinimumWidth(140);
    lblRecord->setAlignment(Qt::AlignCenter);
    cmdNext = navButton(QStringLiteral("cmdNext"), QStringLiteral("▶"), QStringLiteral("次の行"));
    cmdLast = navButton(QStringLiteral("cmdLast"), QStringLiteral("▶|"), QStringLiteral("最後の行"));

    Command1 = new QPushButton(QStringLiteral("印刷"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setMinimumSize(110, 36);
    cmdClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setMinimumSize(110, 36);

    auto* navigator = new QHBoxLayout;
    navigator->setSpacing(2);
    navigator->addWidget(cmdFirst);
    navigator->addWidget(cmdPrevious);
    navigator->addWidget(lblRecord);
    navigator->addWidget(cmdNext);
    navigator->addWidget(cmdLast);
    navigator->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdDataGrid, 1);
    layout->addLayout(navigator);
    layout->addLayout(buttons);

    connect(cmdFirst, &QToolButton::clicked, this, [this] { moveTo(0); });
    connect(cmdPrevious, &QToolButton::clicked, this,
            [this] { moveTo(std::max(0, grdDataGrid->currentIndex().row() - 1)); });
    connect(cmdNext, &QToolButton::clicked, this, [this] { moveTo(grdDataGrid->currentIndex().row() + 1); });
    connect(cmdLast, &QToolButton::clicked, this, [this] { moveTo(datPrimaryRS->rowCount() - 1); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });

    // Opening: the balances as they are now. A source that cannot be read
    // is reported and the grid stays empty.
    try {
        datPrimaryRS->setStatement(db_, balanceListStatement(), {}, {{BalanceColumn, ValueKind::Currency}});
        datPrimaryRS->rowCountAll();
    } catch (const std::exception& e) {
        const auto* dbError = dynamic_cast<const DatabaseError*>(&e);
        ui().showMessage(QStringLiteral("Data error event hit err:")
                             + (dbError ? dbError->databaseText() : QString::fromUtf8(e.what())),
                         windowTitle());
        datPrimaryRS->clear();
    }
    useValueColumns(*grdDataGrid);
    grdDataGrid->horizontalHeader()->setStretchLastSection(true);
    connect(grdDataGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { updateCaption(); });
    moveTo(0);
    updateCaption();
}

frm売掛残高一覧::~frm売掛残高一覧()
{
    datPrimaryRS->clear();
}

void frm売掛残高一覧::moveTo(int row)
{
    const int rows = datPrimaryRS->rowCount();
    if (rows == 0)
        return;
    const QModelIndex index = datPrimaryRS->index(std::clamp(row, 0, rows - 1), 0);
    grdDataGrid->setCurrentIndex(index);
    grdDataGrid->scrollTo(index);
}

void frm売掛残高一覧::updateCaption()
{
    const QModelIndex current = grdDataGrid->currentIndex();
    lblRecord->setText(QStringLiteral("Record: ")
                       + (current.isValid() ? QString::number(current.row() + 1) : QString()));
}

void frm売掛残高一覧::Command1_Click()
{
    // The report reads 顧客マスター itself, as the list shows it.
    try {
        PrintReport(session().config, BalanceReport);
    } catch (const PrintError& e) {
        ui().showMessage(QStringLiteral("売掛残高一覧を印刷できませんでした。\n") + e.message(),
                         QStringLiteral("印刷エラー"));
    }
}

void frm売掛残高一覧::cmdClose_Click()
{
    accept();
}
