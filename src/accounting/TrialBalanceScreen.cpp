#include "accounting/TrialBalanceScreen.h"

#include "accounting/Books.h"
#include "accounting/ScreenParts.h"
#include "ui/CsvButton.h"
#include "ui/ErrorGuard.h"
#include "print/PrintSurface.h"
#include "print/ReportEngine.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QLineEdit* totalBox(const char* objectName, const QString& caption, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(objectName));
    box->setAccessibleName(caption);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-0,000,000,000")) + 16);
    return box;
}

} // namespace

frm経理残高試算表::frm経理残高試算表(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), db_(state.config.databasePath)
{
    using namespace accounting::parts;
    setObjectName(QStringLiteral("frm経理残高試算表"));
    setWindowTitle(QStringLiteral("経理残高試算表"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    dateBoxes = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    dateBoxes->setObjectName(QStringLiteral("dateBoxes"));
    yearBox = dateBoxes->yearBox();
    monthBox = dateBoxes->monthBox();
    dayBox = dateBoxes->dayBox();
    createButton = button("Command3", QStringLiteral("作成"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(dateBoxes);
    auto* until = new QLabel(QStringLiteral("までの試算表を作成します。"), this);
    until->setObjectName(QStringLiteral("Label1"));
    until->setBuddy(yearBox);
    top->addWidget(until);
    top->addSpacing(24);
    top->addWidget(createButton);
    top->addStretch(1);
    layout->addLayout(top);

    chartRows = new ValueQueryModel(this);
    chartRows->setObjectName(QStringLiteral("Data1"));
    chartGrid = grid("DBGrid1", QStringLiteral("勘定科目"), this);
    chartGrid->setModel(chartRows);
    chartGrid->setMinimumSize(720, 360);
    layout->addWidget(chartGrid, 1);

    salesTotalBox = totalBox("Text1", QStringLiteral("売上合計"), this);
    expenseTotalBox = totalBox("Text2", QStringLiteral("経費合計"), this);
    csvOutputButton = csvButton(this, chartGrid, QStringLiteral("残高試算表"));
    printButton = button("Command1", QStringLiteral("印刷"), this);
    finishButton = button("Command2", QStringLiteral("終了"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(captionLabel(QStringLiteral("売上合計"), salesTotalBox, this));
    bottom->addWidget(salesTotalBox);
    bottom->addSpacing(16);
    bottom->addWidget(captionLabel(QStringLiteral("経費合計"), expenseTotalBox, this));
    bottom->addWidget(expenseTotalBox);
    bottom->addStretch(1);
    bottom->addWidget(csvOutputButton);
    bottom->addWidget(printButton);
    bottom->addWidget(finishButton);
    layout->addLayout(bottom);

    setTabOrderChain({yearBox, monthBox, dayBox, createButton, chartGrid, csvOutputButton, printButton, finishButton});
    enableEnterNavigation(this);

    // Opening: the chart as stored, today's date, nothing to print yet.
    dateBoxes->setDate(Date::today());
    printButton->setVisible(false);
    showChart();

    connect(createButton, &QPushButton::clicked, this, [this] { create(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(finishButton, &QPushButton::clicked, this, [this] { finish(); });
    yearBox->setFocus();
}

frm経理残高試算表::~frm経理残高試算表()
{
    chartRows->clear();
}

void frm経理残高試算表::showChart()
{
    chartRows->setStatement(db_, QStringLiteral("SELECT 科目番号, 勘定科目名, 期首残高, 借方金額, 貸方金額, 現在残高"
                                                " FROM 勘定科目TBL ORDER BY 科目番号"));
    chartRows->rowCountAll();
    useValueColumns(*chartGrid);
}

void frm経理残高試算表::create()
{
    const BusyCursor busy;
    // The grid's read statement is ended before the chart is rewritten.
    chartRows->clear();
    accounting::TrialBalanceTotals totals;
    try {
        totals = accounting::computeTrialBalance(db_, dateBoxes->date());
    } catch (const std::exception& e) {
        showChart();
        ui().showMessage(QStringLiteral("試算表を作成できませんでした。\n%1").arg(QString::fromStdString(e.what())),
                         errorTitle());
        return;
    }
    showChart();
    salesTotalBox->setText(displayText(sqlValue(totals.sales), ValueKind::Currency));
    expenseTotalBox->setText(displayText(sqlValue(totals.expenses), ValueKind::Currency));
    printButton->setVisible(true);
}

void frm経理残高試算表::print()
{
    try {
        printReport(state_.config, QStringLiteral("残高試算表.rpt"),
                    {{}, QStringLiteral("%1 現在").arg(dateBoxes->date().toShortString())});
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), errorTitle());
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("試算表を印刷できませんでした。\n%1").arg(e.databaseText()), errorTitle());
    }
}

void frm経理残高試算表::finish()
{
    accept();
}

void frm経理残高試算表::done(int result)
{
    // However the screen closes, the work columns go back to 0.
    if (!cleared_) {
        cleared_ = true;
        chartRows->clear();
        try {
            accounting::clearTrialBalance(db_);
        } catch (const DatabaseError& e) {
            ui().showMessage(QStringLiteral("試算表の作業欄を 0 に戻せませんでした。\n%1").arg(e.databaseText()),
                             errorTitle());
        }
    }
    QDialog::done(result);
}
