#pragma once
// The year-end closes the books up to its period end: the journal rows up to
// that day are summed into the opening balances and deleted. Anything
// written later with a date in that closed period would never be carried
// forward and would throw the books out of step with the carry-forward, so
// every write of an entry, slip, payment or gas event asks here first.

#include "core/Date.h"
#include "core/OperatorError.h"

#include <QString>
#include <optional>
#include <stdexcept>

class Database;

// A write dated on or before the last year-end's period end.
class ClosedPeriodError : public OperatorError {
public:
    ClosedPeriodError(const Date& closedThrough, const Date& refusedDay);
    const Date& closedThrough() const { return closedThrough_; }

private:
    Date closedThrough_;
    Date refusedDay_;
};

// The period end of the latest year-end run (whole day), or nullopt before
// the first one.
std::optional<Date> closedThrough(Database& db);

// Throws ClosedPeriodError when `day` lies on or before the closed period's
// end, at any time of that day.
void requireOpenPeriod(Database& db, const Date& day);

// Keeps the period end of a year-end run, inside the run's transaction.
void recordYearEnd(Database& db, const Date& periodEnd, const Date& runOn);
