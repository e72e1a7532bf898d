#include "accounting/TrialBalanceScreen.h"

#include "accounting/Books.h"
#include "accounting/ScreenParts.h"
#include "session/ErrorGuard.h"
#include "session/Session.h"
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

frm経理残高試算表::frm経理残高試算表(QWidget* parent) : QDialog(parent), db_(session().config.databasePath)
{
    using namespace accounting::parts;
    setObjectName(QStringLiteral("frm経理残高試算表"));
    setWindowTitle(QStringLiteral("経理残高試算表"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);

    dateBoxes = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    dateBoxes->setObjectName(QStringLiteral("dateBoxes"));
    Text7 = dateBoxes->yearBox();
    Text8 = dateBoxes->monthBox();
    Text9 = dateBoxes->dayBox();
    Command3 = button("Command3", QStringLiteral("作成"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(dateBoxes);
    auto* until = new QLabel(QStringLiteral("までの試算表を作成します。"), this);
    until->setObjectName(QStringLiteral("Label1"));
    until->setBuddy(Text7);
    top->addWidget(until);
    top->addSpacing(24);
    top->addWidget(Command3);
    top->addStretch(1);
    layout->addLayout(top);

    Data1 = new ValueQueryModel(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    DBGrid1 = grid("DBGrid1", QStringLiteral("勘定科目"), this);
    DBGrid1->setModel(Data1);
    DBGrid1->setMinimumSize(720, 360);
    layout->addWidget(DBGrid1, 1);

    Text1 = totalBox("Text1", QStringLiteral("売上合計"), this);
    Text2 = totalBox("Text2", QStringLiteral("経費合計"), this);
    Command1 = button("Command1", QStringLiteral("印刷"), this);
    Command2 = button("Command2", QStringLiteral("終了"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(captionLabel(QStringLiteral("売上合計"), Text1, this));
    bottom->addWidget(Text1);
    bottom->addSpacing(16);
    bottom->addWidget(captionLabel(QStringLiteral("経費合計"), Text2, this));
    bottom->addWidget(Text2);
    bottom->addStretch(1);
    bottom->addWidget(Command1);
    bottom->addWidget(Command2);
    layout->addLayout(bottom);

    setTabOrderChain({Text7, Text8, Text9, Command3, DBGrid1, Command1, Command2});
    enableEnterNavigation(this);

    // Opening: the chart as stored, today's date (also the journal buffer's),
    // nothing to print yet.
    const Date today = Date::today();
    dateBoxes->setDate(today);
    session().journal.entryDate = today;
    Command1->setVisible(false);
    showChart();

    connect(dateBoxes, &DateBoxes::dateChanged, this, [this](const Date& date) { session().journal.entryDate = date; });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    Text7->setFocus();
}

frm経理残高試算表::~frm経理残高試算表()
{
    Data1->clear();
}

void frm経理残高試算表::showChart()
{
    Data1->setStatement(db_, QStringLiteral("SELECT 科目番号, 勘定科目名, 期首残高, 借方金額, 貸方金額, 現在残高"
                                            " FROM 勘定科目TBL ORDER BY 科目番号"));
    Data1->rowCountAll();
    useValueColumns(*DBGrid1);
}

void frm経理残高試算表::Command3_Click()
{
    const BusyCursor busy;
    // The grid's read statement is ended before the chart is rewritten.
    Data1->clear();
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
    Text1->setText(displayText(sqlValue(totals.sales), ValueKind::Currency));
    Text2->setText(displayText(sqlValue(totals.expenses), ValueKind::Currency));
    Command1->setVisible(true);
}

void frm経理残高試算表::Command1_Click()
{
    try {
        PrintReport(session().config, QStringLiteral("残高試算表.rpt"),
                    {{}, QStringLiteral("%1 現在").arg(dateBoxes->date().toShortString())});
    } catch (const PrintError& e) {
        ui().showMessage(e.message(), errorTitle());
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("試算表を印刷できませんでした。\n%1").arg(e.databaseText()), errorTitle());
    }
}

void frm経理残高試算表::Command2_Click()
{
    accept();
}

void frm経理残高試算表::done(int result)
{
    // However the screen closes, the work columns go back to 0.
    if (!cleared_) {
        cleared_ = true;
        Data1->clear();
        try {
            accounting::clearTrialBalance(db_);
        } catch (const DatabaseError& e) {
            ui().showMessage(QStringLiteral("試算表の作業欄を 0 に戻せませんでした。\n%1").arg(e.databaseText()),
                             errorTitle());
        }
    }
    QDialog::done(result);
}
