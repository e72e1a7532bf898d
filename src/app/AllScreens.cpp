#include "app/AllScreens.h"

#include "customers/CustomerScreens.h"
#include "maintenance/MaintenanceScreens.h"
#include "masters/MasterScreens.h"
#include "sales/SalesScreens.h"

void registerAllScreens()
{
    registerCustomerScreens();
    registerSalesScreens();
    registerMasterScreens();
    registerMaintenanceScreens();
}
