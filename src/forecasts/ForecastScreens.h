#pragma once
// The three delivery forecast screens share one frame: the period as two
// dates of year, month and day boxes ("から" and "まで"), a grid of the work
// table 配達予定, and the buttons "実行" (run the forecast), "印刷" (print
// "配達予定.rpt") and "中止・終了" (empty 配達予定 and close).
//   frm顧客米予定    rice, from posted rice purchases
//   frm顧客灯油予定  kerosene, from posted kerosene deliveries
//   frmガス配送予定  LP gas, from the gas history
//
// Each run refills 配達予定 on the screen's own connection, in one
// transaction, after the grid's model has let go of the table.

#include "db/Database.h"
#include "forecasts/DeliverySchedule.h"
#include "session/Session.h"

#include <QDialog>
#include <vector>

class DateBoxes;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class ValueQueryModel;

// Registers "frm顧客米予定", "frm顧客灯油予定" and "frmガス配送予定".
void registerForecastScreens();

// The report every forecast prints.
inline const QString DeliveryReport = QStringLiteral("配達予定.rpt");

class DeliveryForecastScreen : public QDialog {
public:
    ~DeliveryForecastScreen() override;

    // Start date: year, month and day, under "年　　　　　　　月　　　　　　日から".
    DateBoxes* startDate;
    QSpinBox* startYearBox;  // Text2
    QSpinBox* startMonthBox; // Text3
    QSpinBox* startDayBox;   // Text4
    QLabel* startCaption;
    // End date, under "年　　　　　　　月　　　　　　日まで".
    DateBoxes* endDate;
    QSpinBox* endYearBox;  // Text7
    QSpinBox* endMonthBox; // Text8
    QSpinBox* endDayBox;   // Text9
    QLabel* endCaption;
    QTableView* scheduleGrid;      // DBGrid1
    ValueQueryModel* scheduleRows; // Data1, the grid's data source: 配達予定
    QPushButton* runButton;        // Command1 "実行"
    QPushButton* csvOutputButton;  // cmdCSV "CSV出力": the rows shown as a CSV file
    QPushButton* printButton;      // Command3 "印刷"
    QPushButton* finishButton;     // Command2 "中止・終了"

    // The period as the boxes show it.
    ForecastPeriod period() const;

    void run();    // run the forecast and show its rows
    void finish(); // empty 配達予定 and close
    void print();  // print "配達予定.rpt"

protected:
    DeliveryForecastScreen(SessionState& state, QWidget* parent, const QString& screenName, const QString& caption);
    // Computes the rows and replaces 配達予定 with them.
    virtual void runForecast(Database& db, const ForecastPeriod& period) = 0;
    // The grid after a run: the whole table by date, unless a screen
    // shows less.
    virtual void showAfterRun(const ForecastPeriod& period);
    // The whole table by date, as on opening.
    void showWholeTable();
    void showRows(const QString& sql, const QVariantList& params);

    SessionState& state_;
    Database db_;
};

class frm顧客米予定 : public DeliveryForecastScreen {
public:
    explicit frm顧客米予定(SessionState& state, QWidget* parent = nullptr);

protected:
    void runForecast(Database& db, const ForecastPeriod& period) override;
};

class frm顧客灯油予定 : public DeliveryForecastScreen {
public:
    explicit frm顧客灯油予定(SessionState& state, QWidget* parent = nullptr);

protected:
    void runForecast(Database& db, const ForecastPeriod& period) override;
};

// The gas schedule's grid shows the rows of the period only; the table
// also keeps the exhausted customers listed at their last date.
class frmガス配送予定 : public DeliveryForecastScreen {
public:
    explicit frmガス配送予定(SessionState& state, QWidget* parent = nullptr);

protected:
    void runForecast(Database& db, const ForecastPeriod& period) override;
    void showAfterRun(const ForecastPeriod& period) override;
};
