#pragma once
// The operator's words for a change the database refused. SQLite reports
// its rules in English ("UNIQUE constraint failed: 店コードＴＢＬ.店コード");
// the editors show what went wrong in Japanese and name the column. A rule
// of our own schema (a trigger) already speaks Japanese and is shown as it
// stands.

#include <QString>

// A Japanese description of the database's own error text.
QString databaseErrorDescription(const QString& databaseText);

// The kind of rule that refused the change, for screens that word some
// refusals in their own way.
enum class RefusedRule { Duplicate, Missing, WrongKind, Rule, Busy, Other };
RefusedRule refusedRule(const QString& databaseText);
