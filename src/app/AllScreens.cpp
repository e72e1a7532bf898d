#include "app/AllScreens.h"

#include "accounting/AccountingScreens.h"
#include "customers/CustomerScreens.h"
#include "forecasts/ForecastScreens.h"
#include "gas/GasScreens.h"
#include "maintenance/MaintenanceScreens.h"
#include "masters/MasterScreens.h"
#include "receivables/BankDebitScreens.h"
#include "receivables/ClosingScreens.h"
#include "receivables/ReceivableScreens.h"
#include "sales/PostingScreens.h"
#include "sales/SalesScreens.h"

void registerAllScreens()
{
    registerCustomerScreens();
    registerSalesScreens();
    registerMasterScreens();
    registerMaintenanceScreens();
    registerPostingScreens();
    registerReceivableScreens();
    registerClosingScreens();
    registerBankDebitScreens();
    registerGasScreens();
    registerForecastScreens();
    registerAccountingScreens();
}
