#pragma once
// One connection to the shop's database: a file (SQLite) or a database on a
// PostgreSQL server (see DatabaseLocation.h). Every screen opens its own at
// the configured path and closes it when done; statements take the
// operator's values only as bound parameters. What only one kind
// understands goes through Dialect.h.

#include "core/OperatorError.h"
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <stdexcept>
#include <vector>

struct sqlite3;
class Currency;
class Date;

// A statement the database refused: `what()` carries the database's own
// message and the statement, `databaseText()` the message alone (for a
// deletion rule, the Japanese text the rule raises).
// What the operator reads: that the database work failed and was stopped,
// and SQLite's own text.
class DatabaseError : public OperatorError {
public:
    DatabaseError(const QString& databaseText, const QString& statement);
    const QString& databaseText() const { return databaseText_; }
    const QString& statement() const { return statement_; }

private:
    QString databaseText_;
    QString statement_;
};

enum class DatabaseKind { File, Server };

class Database {
public:
    // Opens an existing database file, or connects to the server a server
    // location names; a missing file is a DatabaseError (nothing is created
    // behind the operator's back).
    explicit Database(const QString& path);
    // Creates a new database file with every table and the seed rows of a
    // new shop. Refuses to touch an existing file; a failure leaves no file.
    // On a server the database (or its schema) must hold no tables yet; a
    // failure leaves none.
    static Database create(const QString& path);

    // The name other computers are shown when this one holds a run they
    // must wait for: this computer's host name unless set (the tests name
    // their computers). Connections made afterwards carry it.
    static void setComputerName(const QString& name);
    static QString computerName();
    // On a server, the name this connection shows the others (in
    // pg_stat_activity), cut to what the server keeps.
    void setApplicationName(const QString& name);

    Database(Database&& other) noexcept;
    Database& operator=(Database&&) = delete;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    const QString& path() const { return path_; }
    DatabaseKind kind() const { return kind_; }
    bool onServer() const { return kind_ == DatabaseKind::Server; }
    QSqlDatabase connection() const;
    // The SQLite handle of a file database; null on a server.
    sqlite3* handle() const;

    // Runs one statement with positional parameters ("?") and returns the
    // query positioned before the first row.
    QSqlQuery exec(const QString& sql, const QVariantList& params = {});
    // First column of the first row, or an invalid QVariant when no row.
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    // Runs a script of several statements (schema, maintenance).
    void execScript(const QString& script);
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;

    int schemaVersion();

private:
    Database() = default;
    void openConnection(const QString& path);
    void openServerConnection(const QString& path);
    void rollbackQuietly(const QString& statement);
    QString connectionName_;
    QString path_;
    DatabaseKind kind_ = DatabaseKind::File;
    int transactionDepth_ = 0;
    int lastChanges_ = 0;
    friend class Transaction;
};

// Everything one action writes is one transaction: commit() keeps it,
// leaving the scope without commit() rolls everything back. Transactions
// nest (savepoints), so a routine may open one inside its caller's.
// On a server the outermost one is a transaction of its own (BEGIN …
// COMMIT) at the server's default isolation, read committed.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Database& db_;
    QString name_;
    bool open_ = true;
};

// A batch that reads or writes a large share of the posted tables (the
// daily update, a ledger, the deletion of old years) touches thousands of
// table and index pages. For its length the connection keeps them in
// memory until the commit writes each once: a page cache large enough for
// them (the default 2 MB spills pages to the file mid-transaction), and the
// statement journals and sorters in memory instead of temporary files. The
// settings are put back when it ends. Create it outside any transaction:
// the temporary store can change only there.
class BatchMemory {
public:
    explicit BatchMemory(Database& db);
    ~BatchMemory();
    BatchMemory(const BatchMemory&) = delete;
    BatchMemory& operator=(const BatchMemory&) = delete;

private:
    Database& db_;
    QVariant cacheSize_;
    QVariant tempStore_;
};

// Values as the CURRENCY and DATE columns store them.
QVariant sqlValue(const Currency& value);
QVariant sqlValue(const Date& value);
Currency currencyValue(const QVariant& stored);
Date dateValue(const QVariant& stored);

// Whole-day selections that keep the date indexes in use. A condition on
// whole days is written on the bare column, never through DAYNUM():
//   on or after a day:      x >= ?   bound to dayStart(day)
//   on or before a day:     x <  ?   bound to dayAfter(day)
// and a range is both. The bounds are numbers (a day number bound as text
// would sort after every number).
QVariant dayStart(const Date& day);
QVariant dayAfter(const Date& day);

// The base schema (version 1), as the first release shipped it.
const QString& schemaScript();

// The statements that bring a database of the version before `version` to
// `version`, in order. A new database runs them all after the base schema.
struct SchemaUpgrade {
    int version;
    QString script;
};
const std::vector<SchemaUpgrade>& schemaUpgrades();

// The schema of a server database, the same tables in the server's terms:
// already at SchemaVersion, so it has no upgrades of its own yet.
const QString& serverSchemaScript();

// The schema version this program writes and reads.
constexpr int SchemaVersion = 3;

// Brings a database of an older version to SchemaVersion, every step in one
// transaction (a failure leaves it as it was). Returns the version it found.
// A database of a newer version is left alone (the caller refuses it).
int upgradeSchema(Database& db);
