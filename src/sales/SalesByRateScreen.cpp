#include "sales/SalesByRateScreen.h"

#include "db/Database.h"
#include "print/PrintSurface.h"
#include "print/ReportEngine.h"
#include "sales/SalesByRatePrinting.h"
#include "session/Session.h"
#include "ui/CsvButton.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QStringList Headings = {QStringLiteral("区分"), QStringLiteral("税率"), QStringLiteral("税込金額"),
                              QStringLiteral("税抜金額"), QStringLiteral("消費税額")};

QStandardItem* cell(const QString& text, bool number)
{
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

frm税率別売上一覧::frm税率別売上一覧(SessionState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frm税率別売上一覧"));
    setWindowTitle(SalesByRateTitle);
    db_ = std::make_unique<Database>(state_.config.databasePath);

    periodCaption = new QLabel(QStringLiteral("期間"), this);
    periodCaption->setObjectName(QStringLiteral("Label期間"));
    // From the first day of this month to today.
    const Date today = Date::today();
    from_ = new DateBoxes(this, QStringLiteral("Text開始年"), QStringLiteral("Text開始月"), QStringLiteral("Text開始日"));
    from_->setParts(today.year(), today.month(), 1);
    fromYearBox = from_->yearBox();
    fromMonthBox = from_->monthBox();
    fromDayBox = from_->dayBox();
    fromLabel = new QLabel(QStringLiteral("から"), this);
    fromLabel->setObjectName(QStringLiteral("Labelから"));
    to_ = new DateBoxes(this, QStringLiteral("Text終了年"), QStringLiteral("Text終了月"), QStringLiteral("Text終了日"));
    to_->setDate(today);
    toYearBox = to_->yearBox();
    toMonthBox = to_->monthBox();
    toDayBox = to_->dayBox();
    toLabel = new QLabel(QStringLiteral("まで"), this);
    toLabel->setObjectName(QStringLiteral("Labelまで"));
    // The boxes' own labels read 年 月 日; the range words name the rows.
    periodCaption->setBuddy(fromYearBox);
    fromYearBox->setAccessibleDescription(QStringLiteral("開始日"));
    toYearBox->setAccessibleDescription(QStringLiteral("終了日"));

    computeButton = new QPushButton(QStringLiteral("集計"), this);
    computeButton->setObjectName(QStringLiteral("cmd集計"));

    rows_ = new QStandardItemModel(0, int(Headings.size()), this);
    rows_->setHorizontalHeaderLabels(Headings);
    figuresGrid = new QTableView(this);
    figuresGrid->setObjectName(QStringLiteral("grd税率別売上"));
    figuresGrid->setAccessibleName(QStringLiteral("税率別売上"));
    figuresGrid->setModel(rows_);
    figuresGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    figuresGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    figuresGrid->verticalHeader()->setVisible(false);
    figuresGrid->verticalHeader()->setDefaultSectionSize(figuresGrid->fontMetrics().height() + 8);
    // Room for twelve rows (two rates, non-taxable and the sum, three
    // times) and amounts of ten figures.
    const int digit = figuresGrid->fontMetrics().horizontalAdvance(QStringLiteral("0,000,000,000")) + 24;
    figuresGrid->horizontalHeader()->setMinimumSectionSize(60);
    figuresGrid->setColumnWidth(0, figuresGrid->fontMetrics().horizontalAdvance(QStringLiteral("未計上")) + 32);
    figuresGrid->setColumnWidth(1, figuresGrid->fontMetrics().horizontalAdvance(QStringLiteral("10%対象（軽減税率）")) + 32);
    for (int c = 2; c < 5; ++c)
        figuresGrid->setColumnWidth(c, digit);
    figuresGrid->horizontalHeader()->setStretchLastSection(true);
    int width = 4;
    for (int c = 0; c < 5; ++c)
        width += figuresGrid->columnWidth(c);
    figuresGrid->setMinimumSize(width, figuresGrid->horizontalHeader()->sizeHint().height()
                                           + 12 * figuresGrid->verticalHeader()->defaultSectionSize() + 6);

    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("lbl集計結果"));

    printButton = new QPushButton(QStringLiteral("印刷"), this);
    printButton->setObjectName(QStringLiteral("cmd印刷"));
    pdfButton = new QPushButton(QStringLiteral("ＰＤＦ保存"), this);
    pdfButton->setObjectName(QStringLiteral("cmdPDF"));
    finishButton = new QPushButton(QStringLiteral("終了"), this);
    finishButton->setObjectName(QStringLiteral("cmd終了"));
    for (QPushButton* b : {computeButton, printButton, pdfButton, finishButton}) {
        b->setAutoDefault(false);
        b->setMinimumSize(120, 34);
    }
    connect(computeButton, &QPushButton::clicked, this, [this] { compute(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(pdfButton, &QPushButton::clicked, this, [this] { savePdf(); });
    connect(finishButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(10);
    form->addWidget(periodCaption, 0, 0);
    form->addWidget(from_, 0, 1);
    form->addWidget(fromLabel, 0, 2);
    form->addWidget(to_, 1, 1);
    form->addWidget(toLabel, 1, 2);
    form->setColumnStretch(3, 1);
    form->addWidget(computeButton, 1, 4, Qt::AlignRight);

    csvOutputButton = csvButton(this, figuresGrid, SalesByRateTitle);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(csvOutputButton);
    buttons->addWidget(printButton);
    buttons->addWidget(pdfButton);
    buttons->addWidget(finishButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    layout->addLayout(form);
    layout->addWidget(figuresGrid, 1);
    layout->addWidget(statusLabel);
    layout->addLayout(buttons);
    setTabOrderChain({fromYearBox, fromMonthBox, fromDayBox, toYearBox, toMonthBox, toDayBox, computeButton,
                      figuresGrid, csvOutputButton, printButton, pdfButton, finishButton});
    enableEnterNavigation(this);
}

frm税率別売上一覧::~frm税率別売上一覧() = default;

Date frm税率別売上一覧::fromDate() const
{
    return from_->date();
}

Date frm税率別売上一覧::toDate() const
{
    return to_->date();
}

bool frm税率別売上一覧::compute()
{
    try {
        BusyCursor busy;
        const SalesByRate figures = salesByRate(*db_, state_.config, {fromDate(), toDate()});
        showFigures(figures);
        return true;
    } catch (const SalesByRateRangeError& e) {
        clearFigures();
        ui().showMessage(e.message(), SalesByRateTitle);
        return false;
    }
}

void frm税率別売上一覧::print()
{
    if (!compute())
        return;
    try {
        printSalesByRate(state_.config, *figures_);
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), SalesByRateTitle);
    }
}

void frm税率別売上一覧::savePdf()
{
    if (!compute())
        return;
    try {
        saveSalesByRatePdf(state_.config, *figures_);
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), SalesByRateTitle);
    }
}

void frm税率別売上一覧::showFigures(const SalesByRate& figures)
{
    figures_ = figures;
    rows_->removeRows(0, rows_->rowCount());
    for (const SalesByRateLine& line : salesByRateLines(figures)) {
        rows_->appendRow({cell(line.section, false), cell(line.caption, false), cell(amountText(line.total), true),
                          cell(amountText(line.base), true), cell(amountText(line.tax), true)});
    }
    const QString period = salesByRatePeriod(figures.range);
    if (figures.empty())
        statusLabel->setText(period + QStringLiteral("　この期間の売上はありません。"));
    else
        statusLabel->setText(period + QStringLiteral("　計上済 %1 枚、未計上 %2 枚の伝票を集計しました。")
                                          .arg(figures.posted.slips)
                                          .arg(figures.held.slips));
}

void frm税率別売上一覧::clearFigures()
{
    figures_.reset();
    rows_->removeRows(0, rows_->rowCount());
    statusLabel->clear();
}
