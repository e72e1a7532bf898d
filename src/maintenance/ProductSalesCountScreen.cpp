#include "maintenance/ProductSalesCountScreen.h"

#include "session/Session.h"
#include "core/Text.h"
#include "db/Database.h"
#include "maintenance/ProductSalesCountPrinting.h"
#include "print/PrintSurface.h"
#include "sales/ProductPicker.h"
#include "ui/CsvButton.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
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

const QString Title = QStringLiteral("販売商品集計");

} // namespace

frm商品販売数::frm商品販売数(SessionState& state, const QString& productCode, const QString& productName,
                              QWidget* parent)
    : QDialog(parent), state_(state), productCode_(productCode), productName_(productName)
{
    setObjectName(QStringLiteral("frm商品販売数"));
    setWindowTitle(Title);
    db_ = std::make_unique<Database>(state_.config.databasePath);

    productNameCaption = new QLabel(QStringLiteral("品名"), this);
    productNameCaption->setObjectName(QStringLiteral("Label1"));
    productNameBox = new QLineEdit(this);
    productNameBox->setObjectName(QStringLiteral("Text1"));
    productNameBox->setReadOnly(true);
    productNameBox->setText(text::fixed(productName_, 24));
    productNameBox->setMinimumWidth(
        productNameBox->fontMetrics().horizontalAdvance(QString(24, QChar(0x3000))) / 2 + 60);
    productNameCaption->setBuddy(productNameBox);

    // Start: today 30 days back; end: today.
    const Date today = Date::today();
    start_ = new DateBoxes(this, QStringLiteral("Text2"), QStringLiteral("Text3"), QStringLiteral("Text4"));
    start_->setDate(today.addDays(-30));
    startYearBox = start_->yearBox();
    startMonthBox = start_->monthBox();
    startDayBox = start_->dayBox();
    fromLabel = new QLabel(QStringLiteral("から"), this);
    fromLabel->setObjectName(QStringLiteral("Label2"));
    end_ = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    end_->setDate(today);
    endYearBox = end_->yearBox();
    endMonthBox = end_->monthBox();
    endDayBox = end_->dayBox();
    untilLabel = new QLabel(QStringLiteral("まで"), this);
    untilLabel->setObjectName(QStringLiteral("Label3"));
    // The start boxes' own labels read 年 月 日; the range words name the rows.
    startYearBox->setAccessibleDescription(QStringLiteral("開始日"));
    endYearBox->setAccessibleDescription(QStringLiteral("終了日"));

    listButton = new QPushButton(QStringLiteral("販売データの表示"), this);
    listButton->setObjectName(QStringLiteral("Command1"));
    listButton->setAutoDefault(false);

    salesRows = new ValueQueryModel(this);
    salesGrid = new QTableView(this);
    salesGrid->setObjectName(QStringLiteral("DBGrid1"));
    salesGrid->setAccessibleName(QStringLiteral("販売データ"));
    salesGrid->setModel(salesRows);
    salesGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    salesGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    salesGrid->verticalHeader()->setDefaultSectionSize(salesGrid->fontMetrics().height() + 8);
    useValueColumns(*salesGrid);
    salesGrid->horizontalHeader()->setStretchLastSection(true);
    salesGrid->setMinimumSize(560, 260);

    quantityTotalCaption = new QLabel(QStringLiteral("個数合計"), this);
    quantityTotalCaption->setObjectName(QStringLiteral("Label4"));
    quantityTotalBox = new QLineEdit(this);
    quantityTotalBox->setObjectName(QStringLiteral("Text5"));
    quantityTotalBox->setReadOnly(true);
    quantityTotalBox->setAlignment(Qt::AlignRight);
    quantityTotalCaption->setBuddy(quantityTotalBox);
    amountTotalCaption = new QLabel(QStringLiteral("金額合計"), this);
    amountTotalCaption->setObjectName(QStringLiteral("Label5"));
    amountTotalBox = new QLineEdit(this);
    amountTotalBox->setObjectName(QStringLiteral("Text10"));
    amountTotalBox->setReadOnly(true);
    amountTotalBox->setAlignment(Qt::AlignRight);
    amountTotalCaption->setBuddy(amountTotalBox);

    printButton = new QPushButton(QStringLiteral("印刷・集計"), this);
    printButton->setObjectName(QStringLiteral("Command3"));
    printButton->setAutoDefault(false);
    finishButton = new QPushButton(QStringLiteral("中止・終了"), this);
    finishButton->setObjectName(QStringLiteral("Command2"));
    finishButton->setAutoDefault(false);
    for (QPushButton* b : {listButton, printButton, finishButton})
        b->setMinimumSize(140, 34);
    connect(listButton, &QPushButton::clicked, this, [this] { listSales(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(finishButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(10);
    form->addWidget(productNameCaption, 0, 0);
    form->addWidget(productNameBox, 0, 1, 1, 2);
    form->addWidget(start_, 1, 1);
    form->addWidget(fromLabel, 1, 2);
    form->addWidget(end_, 2, 1);
    form->addWidget(untilLabel, 2, 2);
    form->setColumnStretch(3, 1);
    form->addWidget(listButton, 2, 4, Qt::AlignRight);

    auto* totals = new QHBoxLayout;
    totals->addStretch(1);
    totals->addWidget(quantityTotalCaption);
    totals->addWidget(quantityTotalBox);
    totals->addSpacing(16);
    totals->addWidget(amountTotalCaption);
    totals->addWidget(amountTotalBox);

    csvOutputButton = csvButton(this, salesGrid, Title);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(csvOutputButton);
    buttons->addWidget(printButton);
    buttons->addWidget(finishButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    layout->addLayout(form);
    layout->addWidget(salesGrid, 1);
    layout->addLayout(totals);
    layout->addLayout(buttons);
    enableEnterNavigation(this);
}

frm商品販売数::~frm商品販売数()
{
    // The grid's statement ends before its connection closes.
    salesRows->clear();
}

Date frm商品販売数::startDate() const
{
    return start_->date();
}

Date frm商品販売数::endDate() const
{
    return end_->date();
}

ProductSalesQuery frm商品販売数::query() const
{
    return {productCode_, startDate(), endDate()};
}

void frm商品販売数::listSales()
{
    if (productCode_.trimmed().isEmpty()) {
        reject();
        return;
    }
    const ProductSalesQuery q = query();
    salesRows->setStatement(*db_, productSalesListingStatement(), productSalesParameters(q));
    salesGrid->resizeColumnsToContents();
    const ProductSalesTotals totals = productSalesTotals(*db_, q);
    quantityTotalBox->setText(totals.any ? totals.quantity.toString() : QString());
    amountTotalBox->setText(totals.any ? totals.amount.toString() : QString());
}

void frm商品販売数::print()
{
    try {
        printProductSales(state_.config, query(), productName_);
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), Title);
    }
}

QDialog* openProductSalesCount(SessionState& state, QWidget* parent)
{
    // A picker closed without a choice leaves no product: blank beforehand.
    state.product.productCode = text::fixed(QString(), 13);
    frm商品選択2 picker(state, parent);
    ui().runModal(picker);
    if (state.product.productCode.trimmed().isEmpty())
        return nullptr;
    return new frm商品販売数(state, state.product.productCode, state.product.productName, parent);
}
