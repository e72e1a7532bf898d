#pragma once
// What the two kinds of database say differently, in one place: the shop's
// tables and their columns, row locks, the lock a posting batch takes, the
// column checks of a copying statement and the integrity check. The rest of
// the program writes SQL that both understand.

#include "db/ValueKind.h"

#include <QString>
#include <QStringList>
#include <QVector>

class Database;

struct ColumnInfo {
    QString name;
    ValueKind kind = ValueKind::Text;
};

// A table's or column's name as SQL quotes it, whatever it holds.
QString quotedName(const QString& name);

// A table's or column's name as both kinds match it: a server spells the
// ASCII letters of a name in lower case (勘定科目tbl), a file keeps them as
// written.
QString tableKey(const QString& name);

// True when the database (on a server: its schema) holds any table at all,
// the shop's or another's.
bool holdsTables(Database& db);

// The shop's tables, in the order they were made; the database's own
// bookkeeping (the schema version on a server) is left out. A server
// spells ASCII letters of a name in lower case (勘定科目tbl): SQL reaches
// the table by either spelling.
QStringList shopTableNames(Database& db);

// A table's name as Qt's table model must be given it. Qt lowers every
// letter of an unquoted name it looks up on a server, full-width ones too
// (ＴＢＬ → ｔｂｌ), while the server lowered only the ASCII ones: the name
// goes quoted, spelled as the server keeps it.
QString tableNameForModel(const Database& db, const QString& table);

// A table's columns in order with their kinds. The rowid a server keeps for
// the order of entry is left out: the file has it hidden.
QVector<ColumnInfo> tableColumns(Database& db, const QString& table);

// Appended to a SELECT that reads rows the caller then writes from what it
// read: on a server the rows stay locked until the transaction ends, so a
// second computer's write waits instead of being lost. A file has one
// writer at a time already.
QString forUpdate(const Database& db);

// A batch that moves every held row (the daily update) first keeps other
// computers from adding held rows until it commits, so each row is either
// in this run, whole, or left for the next one. Inside a transaction.
void lockAgainstNewRows(Database& db, const QStringList& tables);

// Rows added to a table of numbered rows (the held sales and journal)
// from now on get serials after `last`: the file's sqlite_sequence, the
// server's identity sequence.
void setLastSerial(Database& db, const QString& table, const QString& serialColumn, qint64 last);

// For one copying statement whose values were checked where they came from:
// the file's column checks are switched off and back on (a server's column
// types are its checks and cost nothing to keep).
class ColumnChecksOff {
public:
    explicit ColumnChecksOff(Database& db);
    ~ColumnChecksOff();
    ColumnChecksOff(const ColumnChecksOff&) = delete;
    ColumnChecksOff& operator=(const ColumnChecksOff&) = delete;

private:
    Database& db_;
};

// Gives the space of deleted rows back, outside any transaction. A file is
// rewritten smaller (VACUUM). On a server only the shop's own tables are
// vacuumed, in place: their space is reused and the other computers go on
// working meanwhile, where rewriting them would lock them out.
void compactDatabase(Database& db);

// What is wrong with the database's own structure, or empty when nothing
// is: SQLite's integrity check of every page (quick: without the index
// cross-checks); on a server, whose storage is the server's to keep, that
// every table of the schema is there and answers.
QString integrityProblem(Database& db, bool quick = false);
