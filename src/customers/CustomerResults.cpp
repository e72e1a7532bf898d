#include "customers/CustomerResults.h"

#include "session/Session.h"
#include "customers/CustomerHistory.h"
#include "ui/CsvButton.h"
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

frm顧客実績表示::frm顧客実績表示(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath)
{
    setObjectName(QStringLiteral("frm顧客実績表示"));
    setWindowTitle(QStringLiteral("顧客実績表示"));

    customerNameLabel = new QLabel(this);
    customerNameLabel->setObjectName(QStringLiteral("Label1"));
    QFont nameFont = customerNameLabel->font();
    nameFont.setPointSize(nameFont.pointSize() + 4);
    nameFont.setBold(true);
    customerNameLabel->setFont(nameFont);

    historyGrid = new QTableView(this);
    historyGrid->setObjectName(QStringLiteral("grdDataGrid"));
    historyGrid->setAccessibleName(QStringLiteral("顧客実績"));
    historyGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    historyGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    historyGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    historyGrid->setMinimumSize(760, 320);
    historyModel = new ValueQueryModel(this);
    historyGrid->setModel(historyModel);
    useValueColumns(*historyGrid);

    repeatButton = new QPushButton(QStringLiteral("前回どおり"), this);
    repeatButton->setObjectName(QStringLiteral("Command2"));
    repeatButton->setMinimumSize(120, 36);
    okButton = new QPushButton(QStringLiteral("ＯＫ"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setMinimumSize(120, 36);
    connect(repeatButton, &QPushButton::clicked, this, [this] { repeatLatestSlip(); });
    connect(okButton, &QPushButton::clicked, this, [this] { confirm(); });

    csvOutputButton = csvButton(this, historyGrid, QStringLiteral("顧客実績_") + state.customer.name.trimmed());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(csvOutputButton);
    buttons->addStretch(1);
    buttons->addWidget(repeatButton);
    buttons->addWidget(okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(customerNameLabel);
    layout->addWidget(historyGrid, 1);
    layout->addLayout(buttons);

    // Opening: the name, the history, and the latest posted slip.
    SessionState& s = state_;
    customerNameLabel->setText(s.customer.name);
    historyModel->setStatement(db_, customerHistoryStatement(), {s.customer.code},
                        {{HistoryAmountColumn, ValueKind::Currency}});
    const int rows = historyModel->rowCountAll();
    fitGridToColumns(*historyGrid);
    const std::optional<LatestSlip> latest = latestPostedSlip(db_, s.customer.code);
    if (rows == 0 || !latest) {
        // No posted sale: no date to print after "Prv." for this customer.
        s.previousSaleDate = Date();
        repeatButton->setVisible(false);
        okButton->setDefault(true);
        return;
    }
    const QModelIndex last = historyModel->index(rows - 1, 0);
    historyGrid->setCurrentIndex(last);
    historyGrid->scrollTo(last);
    s.previousSaleDate = latest->saleDate;
    if (!latest->slipNumber) {
        repeatButton->setVisible(false);
        okButton->setDefault(true);
        return;
    }
    selectedSlipNumber_ = *latest->slipNumber;
    repeatButton->setVisible(selectedSlipNumber_ != 0);
    okButton->setDefault(true);
}

frm顧客実績表示::~frm顧客実績表示()
{
    // The grid's statement ends before the screen's connection closes.
    historyModel->clear();
}

void frm顧客実績表示::repeatLatestSlip()
{
    repeatPreviousSlip(db_, state_, selectedSlipNumber_);
    accept();
}

void frm顧客実績表示::confirm()
{
    accept();
}
