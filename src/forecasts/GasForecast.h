#pragma once
// The LP-gas delivery schedule: for every gas customer forecast by method 1
// or 2 (meter readings) or 6 (delivered quantities), a consumption rate for
// each calendar month learnt from the gas history, a replay of the history
// to the gas left now, and the day on which it runs low. Methods 2 and 6
// forecast a second cylinder too, its row marked "*".
//
// Amounts and rates are single precision (float), rounded after each
// operation; a meter reading (CURRENCY) becomes a float when read.

#include "forecasts/DeliverySchedule.h"

#include <optional>
#include <vector>

class Database;

// One row of a customer's gas history (ガスデータ, kinds other than 9).
struct GasEvent {
    Date date;            // ガス年月日
    int kind = 0;         // ガスデータ種別コード
    float reading = 0;    // ガス検針値
    float delivered = 0;  // ガス配送量
    float leftover = 0;   // ガス残ガス量
};

// The gas customer as the schedule reads it.
struct GasCustomer {
    QString code;
    QString name;
    QString phone;
    float cylinder1 = 0; // 顧客ガスボンベ１
    float cylinder2 = 0; // 顧客ガスボンベ２
    int method = 0;      // 顧客ガスタイプ: 1, 2 or 6; other values are not forecast
};

// The forecasting methods.
namespace gasMethod {
constexpr int Meter = 1;          // meter readings, one forecast
constexpr int MeterTwo = 2;       // meter readings, a second forecast from a full cylinder
constexpr int Delivery = 6;       // delivered quantities, a second forecast from the reserve
}

// The month table of a history. Meter series: rate = 2 × (reading −
// previous reading) / days; delivery series: rate = (delivered − left over)
// / days. A rate of an interval of no days, or one not above 0, is 0.
forecast::MonthProfile gasMonthTable(const std::vector<GasEvent>& history, bool meterSeries);

// The state the history is replayed to: gas left in the cylinder in use and
// in the spare one, and the date from which the forecast walks.
struct GasState {
    float remaining = 0;
    float reserve = 0;
    Date lastDate;
    float lastReading = 0;
};
// Meter replay (methods 1 and 2): readings use gas, kind 5 is a change to
// full cylinders, kind 6 a delivery with a reading, kind 8 a reading only.
GasState gasMeterReplay(const std::vector<GasEvent>& history, float cylinder1, float cylinder2);
// Delivery replay (method 6): kind 5 is a change to full cylinders, kind 6
// adds a full first cylinder.
GasState gasDeliveryReplay(const std::vector<GasEvent>& history, float cylinder1, float cylinder2);

// Where one forecast ends.
struct GasForecastDay {
    enum class Outcome {
        Walked,    // the day the remaining gas is used up, from the walk
        Exhausted, // nothing left: the last date, listed whatever the range
        GaveUp,    // the walk went more than 10000 days past today
    };
    Outcome outcome = Outcome::GaveUp;
    Date date;
};
// The walk from `lastDate` with `remaining` gas at the month rates. Gives
// up once the last day of a month walked lies more than 10000 days after
// `today`.
GasForecastDay gasForecastDay(const forecast::MonthProfile& table, const Date& lastDate, float remaining,
                              const Date& today);

// The rows of one customer (none, one or two); a customer that is not
// forecast (method not 1, 2 or 6; fewer than two history rows; two rows of
// one day) gets none. Walked days are listed only from the period's start
// to its end, both included.
std::vector<DeliveryRow> forecastGasCustomer(const GasCustomer& customer, const std::vector<GasEvent>& history,
                                             const ForecastPeriod& period, const Date& today);

// The rows of every customer whose 顧客ガスコード is not "0", in customer
// order (the table's own); nothing is written.
std::vector<DeliveryRow> forecastGas(Database& db, const ForecastPeriod& period, const Date& today);
// forecastGas, and 配達予定 replaced by its rows in one transaction.
std::vector<DeliveryRow> runGasForecast(Database& db, const ForecastPeriod& period, const Date& today);

// The statement of the schedule's grid: the rows of 配達予定 from the
// period's start to its end (whole days, both included), by date; its two
// parameters are gasScheduleParameters(period).
QString gasScheduleStatement();
QVariantList gasScheduleParameters(const ForecastPeriod& period);
