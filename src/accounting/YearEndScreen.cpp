#include "accounting/YearEndScreen.h"

#include "accounting/Books.h"
#include "accounting/ScreenParts.h"
#include "session/Session.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

frm更新年次::frm更新年次(QWidget* parent) : QDialog(parent), db_(session().config.databasePath)
{
    using namespace accounting::parts;
    setObjectName(QStringLiteral("frm更新年次"));
    setWindowTitle(QStringLiteral("年次更新"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    Label1 = new QLabel(QStringLiteral("残高の繰り越し処理"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    Label1->setFont(big);
    layout->addWidget(Label1);

    dateBoxes = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    dateBoxes->setObjectName(QStringLiteral("dateBoxes"));
    Text7 = dateBoxes->yearBox();
    Text8 = dateBoxes->monthBox();
    Text9 = dateBoxes->dayBox();
    Command1 = button("Command1", QStringLiteral("実行"), this);
    Command4 = button("Command4", QStringLiteral("中止・終了"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(captionLabel(QStringLiteral("期末"), Text7, this));
    top->addWidget(dateBoxes);
    top->addSpacing(24);
    top->addWidget(Command1);
    top->addStretch(1);
    top->addWidget(Command4);
    layout->addLayout(top);

    Data1 = new ValueQueryModel(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    DBGrid1 = grid("DBGrid1", QStringLiteral("勘定科目"), this);
    DBGrid1->setModel(Data1);
    DBGrid1->setMinimumSize(720, 360);
    layout->addWidget(DBGrid1, 1);

    setTabOrderChain({Text7, Text8, Text9, Command1, Command4, DBGrid1});
    enableEnterNavigation(this);

    const Date today = Date::today();
    dateBoxes->setDate(today);
    session().journal.entryDate = today;
    showChart();

    connect(dateBoxes, &DateBoxes::dateChanged, this, [](const Date& date) { session().journal.entryDate = date; });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    Text7->setFocus();
}

frm更新年次::~frm更新年次()
{
    Data1->clear();
}

void frm更新年次::showChart()
{
    Data1->setStatement(db_, QStringLiteral("SELECT 科目番号, 勘定科目名, 期首残高, 借方金額, 貸方金額, 現在残高"
                                            " FROM 勘定科目TBL ORDER BY 科目番号"));
    Data1->rowCountAll();
    useValueColumns(*DBGrid1);
}

void frm更新年次::Command1_Click()
{
    const Date periodEnd = dateBoxes->date();
    session().journal.entryDate = periodEnd;

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
        const BusyCursor busy;
        // The grid's read statement is ended before the chart is rewritten.
        Data1->clear();
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

void frm更新年次::Command4_Click()
{
    reject();
}
