#pragma once
// The session state shared by every screen of one run (mdlTQメイン): the
// configuration values, the chosen customer and slip date, the slip line
// buffer with its totals, the product being chosen and the days-per-month
// table. One operator, one thread: plain data reached through session().

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
    // Cylinder size (顧客ガスボンベ１) of the customer chosen in the gas
    // customer picker, read by the gas input.
    float gasCylinderSize = 0;
    // The slip last selected: the customer's latest posted slip on the
    // results screen, or the row chosen on the pre-posting confirmation.
    std::int32_t selectedSlipNumber = 0;
    // The invoice being printed.
    InvoiceValues invoice;
    // The ledger row being entered on a payment or journal screen.
    JournalEntry journal;
    // The code pickers (店コード, 担当者, 勘定科目, …): the caller's code,
    // set before it opens one, and the code the picker returns.
    std::int32_t pickerPreviousCode = 0;
    std::int32_t pickerReturnedCode = 0;
    // The gas event being entered on the gas input screen.
    GasEntry gas;
};

SessionState& session();
// Fills column 3 of the days-per-month table, as the main window does on
// loading.
void fillDaysPerMonth(SessionState& state);
