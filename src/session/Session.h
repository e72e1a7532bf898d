#pragma once
// The session state shared by every screen of one run (mdlTQメイン): the
// configuration values, the chosen customer and slip date, the slip line
// buffer with its totals, the product being chosen and the days-per-month
// table. One operator, one thread: plain data. main() keeps the one state of
// a run; the main window hands it to every screen it opens, and a screen
// hands it on to the screens it opens.

#include "session/Values.h"

#include <array>
#include <cstdint>

struct SessionState {
    Configuration config;
    ChosenCustomer customer;
    int saleKind = saleKind::Cash;
    ProductBeingChosen product;

    static constexpr int SlipCapacity = 10;
    std::array<SlipLine, SlipCapacity + 1> lines; // positions 1..10; 0 unused
    int lineCount = 0;
    SlipTotals totals;

    // Days-per-month table: months 0..12 by columns 0..3. Column 3 holds the
    // days of months 1..12 (February always 28); the other columns are work
    // space of the delivery forecasts.
    std::array<std::array<float, 4>, 13> daysPerMonth{};

    // Date of the chosen customer's latest posted sale, printed after "Prv."
    Date previousSaleDate;
};

// Fills column 3 of the days-per-month table, as the main window does on
// loading.
void fillDaysPerMonth(SessionState& state);
