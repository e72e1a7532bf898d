#include "customers/CustomerResults.h"

#include "session/Session.h"
#include "customers/CustomerHistory.h"
#include "ui/ValueModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Makes the grid wide enough for its row numbers and every column at the
// width of its heading and texts, with room for the vertical scroll bar a
// long history brings, so that nothing needs a sideways scroll.
void fitGridToColumns(QTableView& grid)
{
    QHeaderView* header = grid.horizontalHeader();
    header->resizeSections(QHeaderView::ResizeToContents);
    int width = 2 * grid.frameWidth() + grid.verticalHeader()->sizeHint().width()
                + grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid.verticalScrollBar());
    for (int column = 0; column < header->count(); ++column)
        width += header->sectionSize(column);
    grid.setMinimumWidth(std::max(grid.minimumWidth(), width));
}

} // namespace

frm顧客実績表示::frm顧客実績表示(QWidget* parent) : QDialog(parent), db_(session().config.databasePath)
{
    setObjectName(QStringLiteral("frm顧客実績表示"));
    setWindowTitle(QStringLiteral("顧客実績表示"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont nameFont = Label1->font();
    nameFont.setPointSize(nameFont.pointSize() + 4);
    nameFont.setBold(true);
    Label1->setFont(nameFont);

    grdDataGrid = new QTableView(this);
    grdDataGrid->setObjectName(QStringLiteral("grdDataGrid"));
    grdDataGrid->setAccessibleName(QStringLiteral("顧客実績"));
    grdDataGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDataGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDataGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDataGrid->setMinimumSize(760, 320);
    Data1 = new ValueQueryModel(this);
    grdDataGrid->setModel(Data1);
    useValueColumns(*grdDataGrid);

    Command2 = new QPushButton(QStringLiteral("前回どおり"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setMinimumSize(120, 36);
    Command1 = new QPushButton(QStringLiteral("ＯＫ"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setMinimumSize(120, 36);
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(grdDataGrid, 1);
    layout->addLayout(buttons);

    // Opening: the name, the history, and the latest posted slip.
    SessionState& s = session();
    Label1->setText(s.customer.name);
    Data1->setStatement(db_, customerHistoryStatement(), {s.customer.code},
                        {{HistoryAmountColumn, ValueKind::Currency}});
    const int rows = Data1->rowCountAll();
    fitGridToColumns(*grdDataGrid);
    const std::optional<LatestSlip> latest = latestPostedSlip(db_, s.customer.code);
    if (rows == 0 || !latest) {
        // No posted sale: no date to print after "Prv." for this customer.
        s.previousSaleDate = Date();
        Command2->setVisible(false);
        Command1->setDefault(true);
        return;
    }
    const QModelIndex last = Data1->index(rows - 1, 0);
    grdDataGrid->setCurrentIndex(last);
    grdDataGrid->scrollTo(last);
    s.previousSaleDate = latest->saleDate;
    if (!latest->slipNumber) {
        Command2->setVisible(false);
        Command1->setDefault(true);
        return;
    }
    s.selectedSlipNumber = *latest->slipNumber;
    Command2->setVisible(s.selectedSlipNumber != 0);
    Command1->setDefault(true);
}

frm顧客実績表示::~frm顧客実績表示()
{
    // The grid's statement ends before the screen's connection closes.
    Data1->clear();
}

void frm顧客実績表示::Command2_Click()
{
    repeatPreviousSlip(db_, session());
    accept();
}

void frm顧客実績表示::Command1_Click()
{
    accept();
}
