#pragma once
// The installation the invoice, receipt and balance screen tests run in: a
// fresh shop, the scripted operator, and the customer picker and closing
// screens in the screen table.

#include "customers/CustomerScreens.h"
#include "receivables/ClosingScreens.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

namespace closing {

class ClosingScreensFixture : public ::testing::Test {
protected:
    TestInstallation installation;
    Database db = installation.database();
    ScriptedUiScope ui;

    void SetUp() override
    {
        registerCustomerScreens();
        registerClosingScreens();
    }
};

} // namespace closing
