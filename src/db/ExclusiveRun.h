#pragma once
// The runs that must not overlap on computers sharing one server database:
// the invoice run, the year-end, the bank result run, the deletion of old
// data and a restore. Each holds the one run lock for its length; another
// computer that tries to start one of them meanwhile is refused and told
// which computer holds it. A database file has one computer, so the lock
// is always granted there.

#include "core/OperatorError.h"

#include <QString>

class Database;

// What the operator reads: which computer runs what, and to wait for it.
class RunHeldElsewhere : public OperatorError {
public:
    RunHeldElsewhere(const QString& computer, const QString& run);
    const QString& computer() const { return computer_; }

private:
    QString computer_;
};

class ExclusiveRun {
public:
    // Takes the lock on this connection for `runName` (shown to the others,
    // e.g. "請求書発行"), or throws RunHeldElsewhere. The lock goes with the
    // connection: a computer that stops or loses the network frees it.
    ExclusiveRun(Database& db, const QString& runName);
    ~ExclusiveRun();
    ExclusiveRun(const ExclusiveRun&) = delete;
    ExclusiveRun& operator=(const ExclusiveRun&) = delete;

private:
    Database& db_;
    bool held_ = false;
};
