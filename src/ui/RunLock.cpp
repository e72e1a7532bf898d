#include "ui/RunLock.h"

#include "ui/UiService.h"

std::unique_ptr<ExclusiveRun> holdRunOrTell(Database& db, const QString& runName, const QString& title)
{
    try {
        return std::make_unique<ExclusiveRun>(db, runName);
    } catch (const RunHeldElsewhere& e) {
        ui().showMessage(e.message(), title);
        return nullptr;
    }
}
