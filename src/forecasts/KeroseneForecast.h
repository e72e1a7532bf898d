#pragma once
// The kerosene delivery forecast: for every customer with a tank, a
// consumption rate for each calendar month learnt from the intervals
// between deliveries, and the day on which the last delivery (at most 70 %
// of the tank) is used up. At most one row per customer, with the plain name,
// when that day lies in the period, both ends included.
//
// Litres and rates are single precision (float), rounded after each
// operation.

#include "forecasts/DeliverySchedule.h"

#include <optional>
#include <vector>

class Database;

// One delivery day: its date and the litres delivered on it (単品灯油Ｌ ×
// 売上個数, summed over the day's lines).
struct KeroseneDelivery {
    Date date;
    float litres = 0;
};

// The amount the forecast starts from: the last delivery, but no more than
// 0.7 × the tank's capacity (a 200-litre tank is forecast from at most 140).
float keroseneStartingLitres(float tankCapacity, float lastLitres);

// The month profile of the deliveries in date order: each interval's rate
// is the litres of its later delivery over its days. nullopt when two
// deliveries share a whole day (an interval of no days) or there are fewer
// than two.
std::optional<forecast::MonthProfile> keroseneProfile(const std::vector<KeroseneDelivery>& deliveries);

// The day on which `remaining` litres, counted from `lastDelivery`, are used
// up at the profile's month rates. nullopt when there is no such day up to
// `walkEnd`: the walk stops once a month starting after it is reached (the
// rates of returns can keep the tank from ever running dry), and a negative
// amount or a rate of 0 at the final division gives no day.
std::optional<Date> keroseneEmptyDay(const forecast::MonthProfile& profile, const Date& lastDelivery,
                                     float remaining, const Date& walkEnd);

// The rows of every customer with a tank, in customer order (the table's
// own); nothing is written.
std::vector<DeliveryRow> forecastKerosene(Database& db, const ForecastPeriod& period);
// forecastKerosene, and 配達予定 replaced by its rows in one transaction.
std::vector<DeliveryRow> runKeroseneForecast(Database& db, const ForecastPeriod& period);
