#include "accounting/YearEndScreen.h"

#include "accounting/Books.h"
#include "accounting/ScreenParts.h"
#include "session/Session.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/RunLock.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

frm更新年次::frm更新年次(SessionState& state, QWidget* parent) : QDialog(parent), db_(state.config.databasePath)
{
    using namespace accounting::parts;
    setObjectName(QStringLiteral("frm更新年次"));
    setWindowTitle(QStringLiteral("年次更新"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    headingLabel = new QLabel(QStringLiteral("残高の繰り越し処理"), this);
    headingLabel->setObjectName(QStringLiteral("Label1"));
    QFont big = headingLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    headingLabel->setFont(big);
    layout->addWidget(headingLabel);

    dateBoxes = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    dateBoxes->setObjectName(QStringLiteral("dateBoxes"));
    yearBox = dateBoxes->yearBox();
    monthBox = dateBoxes->monthBox();
    dayBox = dateBoxes->dayBox();
    runButton = button("Command1", QStringLiteral("実行"), this);
    finishButton = button("Command4", QStringLiteral("中止・終了"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(captionLabel(QStringLiteral("期末"), yearBox, this));
    top->addWidget(dateBoxes);
    top->addSpacing(24);
    top->addWidget(runButton);
    top->addStretch(1);
    top->addWidget(finishButton);
    layout->addLayout(top);

    chartRows = new ValueQueryModel(this);
    chartRows->setObjectName(QStringLiteral("Data1"));
    chartGrid = grid("DBGrid1", QStringLiteral("勘定科目"), this);
    chartGrid->setModel(chartRows);
    chartGrid->setMinimumSize(720, 360);
    layout->addWidget(chartGrid, 1);

    setTabOrderChain({yearBox, monthBox, dayBox, runButton, finishButton, chartGrid});
    enableEnterNavigation(this);

    dateBoxes->setDate(Date::today());
    showChart();

    connect(runButton, &QPushButton::clicked, this, [this] { run(); });
    connect(finishButton, &QPushButton::clicked, this, [this] { finish(); });
    yearBox->setFocus();
}

frm更新年次::~frm更新年次()
{
    chartRows->clear();
}

void frm更新年次::showChart()
{
    chartRows->setStatement(db_, QStringLiteral("SELECT 科目番号, 勘定科目名, 期首残高, 借方金額, 貸方金額, 現在残高"
                                                " FROM 勘定科目TBL ORDER BY 科目番号"));
    chartRows->rowCountAll();
    useValueColumns(*chartGrid);
}

void frm更新年次::run()
{
    const Date periodEnd = dateBoxes->date();

    // Amounts on accounts the chart does not know would be deleted without
    // being carried: refuse before asking anything.
    std::vector<accounting::UnplacedJournalRow> unplaced = accounting::unplacedJournalRows(db_, periodEnd);
    if (!unplaced.empty()) {
        ui().showMessage(accounting::UnplacedJournalRowsError(std::move(unplaced)).message(), YearEndTitle);
        return;
    }
    if (const int unposted = accounting::unpostedHoldingRows(db_, periodEnd); unposted > 0) {
        ui().showMessage(accounting::UnpostedHoldingRowsError(unposted).message(), YearEndTitle);
        return;
    }

    if (!ui().ask(YearEndDateQuestion, YearEndTitle))
        return;
    if (!ui().ask(YearEndDeleteQuestion, YearEndTitle))
        return;

    {
        // Another computer on the same server may be closing invoices or
        // deleting old data: the year-end waits for it.
        const std::unique_ptr<ExclusiveRun> run = holdRunOrTell(db_, QStringLiteral("年次更新"), YearEndTitle);
        if (!run)
            return;
        const BusyCursor busy;
        // The grid's read statement is ended before the chart is rewritten.
        chartRows->clear();
        try {
            accounting::runYearEnd(db_, periodEnd);
        } catch (const accounting::UnplacedJournalRowsError& e) {
            showChart();
            ui().showMessage(e.message(), YearEndTitle);
            return;
        } catch (const accounting::UnpostedHoldingRowsError& e) {
            showChart();
            ui().showMessage(e.message(), YearEndTitle);
            return;
        } catch (const std::exception& e) {
            showChart();
            ui().showMessage(QStringLiteral("残高の繰越処理ができませんでした。何も変更していません。\n%1")
                                 .arg(QString::fromStdString(e.what())),
                             YearEndTitle);
            return;
        }
        showChart();
    }
    ui().showMessage(YearEndDoneMessage, YearEndDoneTitle);
}

void frm更新年次::finish()
{
    reject();
}
