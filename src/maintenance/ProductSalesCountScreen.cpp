#include "maintenance/ProductSalesCountScreen.h"

#include "session/Session.h"
#include "core/Text.h"
#include "db/Database.h"
#include "print/PrintSurface.h"
#include "sales/ProductPicker.h"
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

frm商品販売数::frm商品販売数(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm商品販売数"));
    setWindowTitle(Title);
    db_ = std::make_unique<Database>(session().config.databasePath);

    Label1 = new QLabel(QStringLiteral("品名"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setText(text::fixed(session().product.productName, 24));
    Text1->setMinimumWidth(Text1->fontMetrics().horizontalAdvance(QString(24, QChar(0x3000))) / 2 + 60);
    Label1->setBuddy(Text1);

    // Start: today 30 days back; end: today.
    const Date today = Date::today();
    start_ = new DateBoxes(this, QStringLiteral("Text2"), QStringLiteral("Text3"), QStringLiteral("Text4"));
    start_->setDate(today.addDays(-30));
    Text2 = start_->yearBox();
    Text3 = start_->monthBox();
    Text4 = start_->dayBox();
    Label2 = new QLabel(QStringLiteral("から"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    end_ = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    end_->setDate(today);
    Text7 = end_->yearBox();
    Text8 = end_->monthBox();
    Text9 = end_->dayBox();
    Label3 = new QLabel(QStringLiteral("まで"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    // The start boxes' own labels read 年 月 日; the range words name the rows.
    Text2->setAccessibleDescription(QStringLiteral("開始日"));
    Text7->setAccessibleDescription(QStringLiteral("終了日"));

    Command1 = new QPushButton(QStringLiteral("販売データの表示"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);

    Data1 = new ValueQueryModel(this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("販売データ"));
    DBGrid1->setModel(Data1);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 8);
    useValueColumns(*DBGrid1);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setMinimumSize(560, 260);

    Label4 = new QLabel(QStringLiteral("個数合計"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Text5 = new QLineEdit(this);
    Text5->setObjectName(QStringLiteral("Text5"));
    Text5->setReadOnly(true);
    Text5->setAlignment(Qt::AlignRight);
    Label4->setBuddy(Text5);
    Label5 = new QLabel(QStringLiteral("金額合計"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Text10 = new QLineEdit(this);
    Text10->setObjectName(QStringLiteral("Text10"));
    Text10->setReadOnly(true);
    Text10->setAlignment(Qt::AlignRight);
    Label5->setBuddy(Text10);

    Command3 = new QPushButton(QStringLiteral("印刷・集計"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAutoDefault(false);
    Command2 = new QPushButton(QStringLiteral("中止・終了"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);
    for (QPushButton* b : {Command1, Command3, Command2})
        b->setMinimumSize(140, 34);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(10);
    form->addWidget(Label1, 0, 0);
    form->addWidget(Text1, 0, 1, 1, 2);
    form->addWidget(start_, 1, 1);
    form->addWidget(Label2, 1, 2);
    form->addWidget(end_, 2, 1);
    form->addWidget(Label3, 2, 2);
    form->setColumnStretch(3, 1);
    form->addWidget(Command1, 2, 4, Qt::AlignRight);

    auto* totals = new QHBoxLayout;
    totals->addStretch(1);
    totals->addWidget(Label4);
    totals->addWidget(Text5);
    totals->addSpacing(16);
    totals->addWidget(Label5);
    totals->addWidget(Text10);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command3);
    buttons->addWidget(Command2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    layout->addLayout(form);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(totals);
    layout->addLayout(buttons);
    enableEnterNavigation(this);
}

frm商品販売数::~frm商品販売数()
{
    // The grid's statement ends before its connection closes.
    Data1->clear();
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
    return {session().product.productCode, startDate(), endDate()};
}

void frm商品販売数::Command1_Click()
{
    if (session().product.productCode.trimmed().isEmpty()) {
        reject();
        return;
    }
    const ProductSalesQuery q = query();
    Data1->setStatement(*db_, productSalesListingStatement(), productSalesParameters(q));
    DBGrid1->resizeColumnsToContents();
    const ProductSalesTotals totals = productSalesTotals(*db_, q);
    Text5->setText(totals.any ? totals.quantity.toString() : QString());
    Text10->setText(totals.any ? totals.amount.toString() : QString());
}

void frm商品販売数::Command3_Click()
{
    try {
        PrintProductSales(session().config, query(), session().product.productName);
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), Title);
    }
}

QDialog* openProductSalesCount(QWidget* parent)
{
    // A picker closed without a choice leaves no product: blank beforehand.
    session().product.productCode = text::fixed(QString(), 13);
    frm商品選択2 picker(parent);
    ui().runModal(picker);
    if (session().product.productCode.trimmed().isEmpty())
        return nullptr;
    return new frm商品販売数(parent);
}
