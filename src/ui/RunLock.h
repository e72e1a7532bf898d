#pragma once
// A screen that starts a closing run (invoices, year-end, old-data
// deletion) takes the shop's run lock first, so that two computers on one
// server never run them at once.

#include "db/ExclusiveRun.h"

#include <QString>
#include <memory>

class Database;

// The lock for `runName`, held until the pointer goes; null when another
// computer holds it, after the operator has been told which one under
// `title`.
std::unique_ptr<ExclusiveRun> holdRunOrTell(Database& db, const QString& runName, const QString& title);
