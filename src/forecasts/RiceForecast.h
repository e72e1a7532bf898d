#pragma once
// The rice delivery forecast: from each customer's posted rice purchases,
// the kilograms the household uses per day, the cycle after which it needs
// rice again, and the next deliveries inside the window, written to
// 配達予定 with the last rice product bought and its quantity.
//
// Weights and rates are single precision (float), rounded after each
// operation; day numbers and the cycle are whole numbers.

#include "forecasts/DeliverySchedule.h"

#include <cstdint>
#include <optional>
#include <vector>

class Database;

// One purchase day: its whole day number and the kilograms of rice bought
// on it (単品米キロ × 売上個数, summed over the day's lines).
struct RicePurchaseDay {
    std::int64_t day = 0;
    float kilograms = 0;
};

struct RiceCycle {
    float averageRate = 0;   // A, kilograms per day
    std::int32_t cycle = 0;  // C = Int(K / A), days
    std::int64_t nextDay = 0; // N = Int(L) + C, a day number
};

// The average rate, the cycle and the next date from the purchase days in
// date order. nullopt when the customer gets no forecast: fewer than two
// purchase days, two of them on one day number, or a cycle that is not a
// positive whole number of days within 32 bits (an average of 0, or returns
// that leave it tiny or negative, or a last day that is a net return).
std::optional<RiceCycle> riceCycle(const std::vector<RicePurchaseDay>& days);

// A forecast date and the number of "*" put in front of the name.
struct StarredDay {
    std::int64_t day = 0;
    int stars = 0;

    friend bool operator==(const StarredDay&, const StarredDay&) = default;
};

// The listed deliveries of a customer whose next date is `nextDay`: up to
// three, one cycle apart, each strictly after the window's start and
// strictly before its end. Dates on or before the start are moved on by a
// cycle (twice at most), each move adding a "*"; every later row has one "*"
// more than the one before.
std::vector<StarredDay> riceDeliveryDays(std::int64_t nextDay, std::int32_t cycle, const ForecastPeriod& window);

// The rows of every customer, in customer order (the table's own), then
// date; nothing is written.
std::vector<DeliveryRow> forecastRice(Database& db, const ForecastPeriod& window);
// forecastRice, and 配達予定 replaced by its rows in one transaction.
std::vector<DeliveryRow> runRiceForecast(Database& db, const ForecastPeriod& window);
