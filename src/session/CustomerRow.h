#pragma once
// One reader for the customer fields that pickers, frames and closings
// share, by column name, so a statement may select them in any order and
// add columns of its own.

#include "session/Values.h"

class QSqlQuery;

// The card of the customer row the query stands on; the statement selects
// at least the columns the card holds (顧客コード … 顧客売掛締後売上額).
CustomerCard customerCardOf(const QSqlQuery& row);
