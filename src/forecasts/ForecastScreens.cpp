#include "forecasts/ForecastScreens.h"

#include "ui/ErrorGuard.h"
#include "ui/Screens.h"
#include "session/Session.h"
#include "forecasts/GasForecast.h"
#include "forecasts/KeroseneForecast.h"
#include "forecasts/RiceForecast.h"
#include "print/PrintSurface.h"
#include "print/ReportEngine.h"
#include "ui/ScreenWidgets.h"
#include "ui/CsvButton.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"
#include "ui/ValueModel.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString StartCaption = QStringLiteral("年　　　　　　　月　　　　　　日から");
const QString EndCaption = QStringLiteral("年　　　　　　　月　　　　　　日まで");
const QString WholeTable = QStringLiteral("SELECT * FROM 配達予定 ORDER BY 配達年月日, rowid");

// A date as the old form showed it: the year box before its caption, the
// month box over the blanks between "年" and "月", the day box over those
// between "月" and "日". The three boxes keep their DateBoxes (which does the
// carry); only their place on the screen is this row's.
class CaptionedDate : public QWidget {
public:
    CaptionedDate(QWidget* parent, DateBoxes* boxes, QLabel* caption) : QWidget(parent)
    {
        QSpinBox* year = boxes->yearBox();
        QSpinBox* month = boxes->monthBox();
        QSpinBox* day = boxes->dayBox();
        caption->setParent(this);
        for (QSpinBox* box : {year, month, day})
            box->setParent(this);
        boxes->hide(); // its own small captions give way to the caption here

        const QString text = caption->text();
        const int monthAt = int(text.indexOf(QStringLiteral("月")));
        const int dayAt = int(text.indexOf(QStringLiteral("日")));
        const int boxWidth = std::max({month->minimumWidth(), month->minimumSizeHint().width(),
                                       day->minimumSizeHint().width()});
        // A caption font large enough that the narrower gap holds a box.
        QFont font = caption->font();
        for (int i = 0; i < 20; ++i) {
            const QFontMetrics fm(font);
            const int gap = fm.horizontalAdvance(text.mid(monthAt + 1, dayAt - monthAt - 1));
            if (gap - 6 >= boxWidth)
                break;
            font.setPointSizeF(font.pointSizeF() + 1);
        }
        caption->setFont(font);
        const QFontMetrics fm(font);
        const int height = std::max(year->sizeHint().height(), fm.height() + 4);
        const int yearWidth = std::max(year->sizeHint().width(), year->minimumWidth());
        const int captionX = yearWidth + 4;
        auto at = [&](int index) { return captionX + fm.horizontalAdvance(text.left(index)); };
        const int monthGap0 = at(int(text.indexOf(QStringLiteral("年"))) + 1);
        const int dayGap0 = at(monthAt + 1);
        year->setGeometry(0, 0, yearWidth, height);
        month->setGeometry(monthGap0 + 3, 0, at(monthAt) - monthGap0 - 6, height);
        day->setGeometry(dayGap0 + 3, 0, at(dayAt) - dayGap0 - 6, height);
        const int width = at(int(text.size())) + 4;
        caption->setGeometry(captionX, 0, width - captionX, height);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        caption->lower();
        caption->setBuddy(year);
        setFixedSize(width, height);
    }
};

QString periodText(const ForecastPeriod& p)
{
    return p.from.toShortString() + QStringLiteral(" ～ ") + p.to.toShortString();
}

} // namespace

DeliveryForecastScreen::DeliveryForecastScreen(SessionState& state, QWidget* parent, const QString& screenName,
                                               const QString& caption)
    : QDialog(parent), state_(state), db_(state.config.databasePath)
{
    setObjectName(screenName);
    setWindowTitle(caption);

    startDate = new DateBoxes(this, QStringLiteral("Text2"), QStringLiteral("Text3"), QStringLiteral("Text4"));
    startYearBox = startDate->yearBox();
    startMonthBox = startDate->monthBox();
    startDayBox = startDate->dayBox();
    startCaption = new QLabel(StartCaption, this);
    startCaption->setObjectName(QStringLiteral("startCaption"));
    endDate = new DateBoxes(this, QStringLiteral("Text7"), QStringLiteral("Text8"), QStringLiteral("Text9"));
    endYearBox = endDate->yearBox();
    endMonthBox = endDate->monthBox();
    endDayBox = endDate->dayBox();
    endCaption = new QLabel(EndCaption, this);
    endCaption->setObjectName(QStringLiteral("endCaption"));
    auto* startRow = new CaptionedDate(this, startDate, startCaption);
    auto* endRow = new CaptionedDate(this, endDate, endCaption);

    scheduleGrid = new QTableView(this);
    scheduleGrid->setObjectName(QStringLiteral("DBGrid1"));
    scheduleGrid->setAccessibleName(QStringLiteral("配達予定"));
    scheduleGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    scheduleGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    scheduleGrid->setMinimumSize(720, 360);
    scheduleRows = new ValueQueryModel(this);
    scheduleRows->setObjectName(QStringLiteral("Data1"));
    scheduleGrid->setModel(scheduleRows);

    runButton = commandButton(this, QStringLiteral("Command1"), QStringLiteral("実行"), QSize(110, 36));
    printButton = commandButton(this, QStringLiteral("Command3"), QStringLiteral("印刷"), QSize(110, 36));
    finishButton = commandButton(this, QStringLiteral("Command2"), QStringLiteral("中止・終了"), QSize(110, 36));

    auto* dates = new QVBoxLayout;
    dates->setSpacing(8);
    dates->addWidget(startRow);
    dates->addWidget(endRow);
    auto* top = new QHBoxLayout;
    top->addLayout(dates);
    top->addStretch(1);
    csvOutputButton = csvButton(this, scheduleGrid, caption);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(runButton);
    buttons->addWidget(printButton);
    buttons->addWidget(csvOutputButton);
    buttons->addStretch(1);
    buttons->addWidget(finishButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(scheduleGrid, 1);
    layout->addLayout(buttons);

    setTabOrder(startYearBox, startMonthBox);
    setTabOrder(startMonthBox, startDayBox);
    setTabOrder(startDayBox, endYearBox);
    setTabOrder(endYearBox, endMonthBox);
    setTabOrder(endMonthBox, endDayBox);
    setTabOrder(endDayBox, runButton);
    setTabOrder(runButton, printButton);
    setTabOrder(printButton, csvOutputButton);
    setTabOrder(csvOutputButton, finishButton);
    setTabOrder(finishButton, scheduleGrid);
    enableEnterNavigation(this);

    connect(runButton, &QPushButton::clicked, this, [this] { run(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(finishButton, &QPushButton::clicked, this, [this] { finish(); });

    // Opening: today − 30 days to today + 30 days, and the table as the
    // last run of any of the three forecasts left it.
    const Date today = Date::today();
    startDate->setDate(today.addDays(-30));
    endDate->setDate(today.addDays(30));
    showWholeTable();
    resize(sizeHint().width(), 600);
}

DeliveryForecastScreen::~DeliveryForecastScreen()
{
    // The grid's statement ends before the screen's connection closes.
    scheduleRows->clear();
}

ForecastPeriod DeliveryForecastScreen::period() const
{
    return {startDate->date(), endDate->date()};
}

void DeliveryForecastScreen::showRows(const QString& sql, const QVariantList& params)
{
    try {
        scheduleRows->setStatement(db_, sql, params);
    } catch (const std::exception& e) {
        scheduleRows->clear();
        ui().showMessage(errorMessage(e), errorTitle());
    }
    useValueColumns(*scheduleGrid);
    scheduleGrid->horizontalHeader()->setStretchLastSection(true);
}

void DeliveryForecastScreen::showWholeTable()
{
    showRows(WholeTable, {});
}

void DeliveryForecastScreen::showAfterRun(const ForecastPeriod&)
{
    showWholeTable();
}

void DeliveryForecastScreen::run()
{
    BusyCursor busy;
    const ForecastPeriod p = period();
    // The grid lets go of 配達予定 before the run deletes from it.
    scheduleRows->clear();
    try {
        runForecast(db_, p);
    } catch (const std::exception& e) {
        ui().showMessage(errorMessage(e), errorTitle());
    }
    showAfterRun(p);
}

void DeliveryForecastScreen::finish()
{
    scheduleRows->clear();
    clearDeliverySchedule(db_);
    accept();
}

void DeliveryForecastScreen::print()
{
    try {
        printReport(state_.config, DeliveryReport,
                    {{}, windowTitle() + QStringLiteral("　") + periodText(period())});
    } catch (const PrintError& e) {
        ui().showMessage(QStringLiteral("配達予定を印刷できませんでした。\n") + e.message(), QStringLiteral("印刷エラー"));
    }
}

// ---- the three forecasts ----------------------------------------------------

frm顧客米予定::frm顧客米予定(SessionState& state, QWidget* parent)
    : DeliveryForecastScreen(state, parent, QStringLiteral("frm顧客米予定"), QStringLiteral("顧客米予定"))
{
}

void frm顧客米予定::runForecast(Database& db, const ForecastPeriod& period)
{
    runRiceForecast(db, period);
}

frm顧客灯油予定::frm顧客灯油予定(SessionState& state, QWidget* parent)
    : DeliveryForecastScreen(state, parent, QStringLiteral("frm顧客灯油予定"), QStringLiteral("顧客灯油予定"))
{
}

void frm顧客灯油予定::runForecast(Database& db, const ForecastPeriod& period)
{
    runKeroseneForecast(db, period);
}

frmガス配送予定::frmガス配送予定(SessionState& state, QWidget* parent)
    : DeliveryForecastScreen(state, parent, QStringLiteral("frmガス配送予定"), QStringLiteral("ガス配送予定"))
{
}

void frmガス配送予定::runForecast(Database& db, const ForecastPeriod& period)
{
    runGasForecast(db, period, Date::today());
}

void frmガス配送予定::showAfterRun(const ForecastPeriod& period)
{
    showRows(gasScheduleStatement(), gasScheduleParameters(period));
}

void registerForecastScreens()
{
    registerScreen(QStringLiteral("frm顧客米予定"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm顧客米予定(state, parent); });
    registerScreen(QStringLiteral("frm顧客灯油予定"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frm顧客灯油予定(state, parent); });
    registerScreen(QStringLiteral("frmガス配送予定"),
                   [](SessionState& state, QWidget* parent) -> QDialog* { return new frmガス配送予定(state, parent); });
}
