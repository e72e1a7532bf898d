#pragma once
// A database that refuses one write, for tests of what an action leaves
// behind when a statement in its middle fails. The rule is written as a
// SQLite trigger,
//   CREATE TRIGGER name BEFORE INSERT|DELETE|UPDATE OF column ON table
//       [WHEN condition] BEGIN SELECT RAISE(ABORT, 'message'); END
// and on a server made into the same rule in the server's words (a trigger
// function), so one test runs on both kinds of database.

#include "db/Database.h"

#include <QRegularExpression>
#include <stdexcept>

inline void addRefusal(Database& db, const QString& sqliteTrigger)
{
    if (!db.onServer()) {
        db.exec(sqliteTrigger);
        return;
    }
    static const QRegularExpression form(
        QStringLiteral("^\\s*CREATE TRIGGER (\\S+) BEFORE (INSERT|DELETE|UPDATE OF \\S+) ON (\\S+)"
                       "(?: WHEN (.*?))?\\s+BEGIN SELECT RAISE\\(ABORT, '([^']*)'\\); END\\s*$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = form.match(sqliteTrigger);
    if (!m.hasMatch())
        throw std::invalid_argument("addRefusal: not a refusing trigger: " + sqliteTrigger.toStdString());
    const QString name = m.captured(1);
    const QString condition = m.captured(4).isEmpty() ? QStringLiteral("true") : m.captured(4);
    db.exec(QStringLiteral("CREATE FUNCTION %1_拒否() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
                           " IF %2 THEN RAISE EXCEPTION '%3'; END IF;"
                           " RETURN CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END; END $$")
                .arg(name, condition, m.captured(5)));
    db.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION %1_拒否()")
                .arg(name, m.captured(2), m.captured(3)));
}

// Takes the refusal away again.
inline void dropRefusal(Database& db, const QString& name, const QString& table)
{
    if (!db.onServer()) {
        db.exec(QStringLiteral("DROP TRIGGER ") + name);
        return;
    }
    db.exec(QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, table));
    db.exec(QStringLiteral("DROP FUNCTION %1_拒否()").arg(name));
}
