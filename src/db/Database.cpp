#include "db/Database.h"

#include "core/Currency.h"
#include "core/Date.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <atomic>
#include <cmath>
#include <sqlite3.h>

DatabaseError::DatabaseError(const QString& databaseText, const QString& statement)
    : std::runtime_error((databaseText + QStringLiteral("\n") + statement).toStdString()),
      databaseText_(databaseText), statement_(statement)
{
}

namespace {

std::atomic<int> connectionCounter{0};

// Reads a CURRENCY argument: stored as integer ticks, but an expression may
// hand over a real number.
std::int64_t ticksArgument(sqlite3_value* v)
{
    if (sqlite3_value_type(v) == SQLITE_INTEGER)
        return sqlite3_value_int64(v);
    return std::llround(sqlite3_value_double(v));
}

void curMul(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    Currency product = Currency::fromTicks(ticksArgument(argv[0])) * Currency::fromTicks(ticksArgument(argv[1]));
    sqlite3_result_int64(ctx, product.ticks());
}

void curInt(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, Currency::fromTicks(ticksArgument(argv[0])).Int().ticks());
}

void dayNum(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(std::floor(sqlite3_value_double(argv[0]))));
}

// The database's own words where it has them (a rule's Japanese text),
// else Qt's description.
DatabaseError queryError(const QSqlQuery& query, const QString& sql)
{
    const QSqlError e = query.lastError();
    return DatabaseError(e.databaseText().isEmpty() ? e.text() : e.databaseText(), sql);
}

void registerFunctions(sqlite3* h)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(h, "CUR_MUL", 2, flags, nullptr, curMul, nullptr, nullptr);
    sqlite3_create_function(h, "CUR_INT", 1, flags, nullptr, curInt, nullptr, nullptr);
    sqlite3_create_function(h, "DAYNUM", 1, flags, nullptr, dayNum, nullptr, nullptr);
}

} // namespace

Database::Database(const QString& path)
{
    if (!QFileInfo::exists(path))
        throw DatabaseError(QStringLiteral("データベースファイルが見つかりません。"), path);
    openConnection(path);
}

Database Database::create(const QString& path)
{
    if (QFileInfo::exists(path))
        throw DatabaseError(QStringLiteral("同じ名前のファイルがすでにあります。"), path);
    try {
        Database db;
        db.openConnection(path);
        db.execScript(QStringLiteral("BEGIN;\n") + schemaScript() + QStringLiteral("\nCOMMIT;"));
        return db;
    } catch (...) {
        // The connection is closed by now; a half-made file must not stay.
        QFile::remove(path);
        throw;
    }
}

void Database::openConnection(const QString& path)
{
    path_ = path;
    connectionName_ = QStringLiteral("himawari-%1").arg(++connectionCounter);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        connectionName_.clear();
        throw DatabaseError(text, path);
    }
    sqlite3* h = handle();
    if (!h)
        throw DatabaseError(QStringLiteral("SQLite の接続を取得できません。"), path);
    registerFunctions(h);
}

Database::Database(Database&& other) noexcept
    : connectionName_(std::move(other.connectionName_)), path_(std::move(other.path_)),
      transactionDepth_(other.transactionDepth_)
{
    other.connectionName_.clear();
}

Database::~Database()
{
    if (connectionName_.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(connectionName_, false);
}

sqlite3* Database::handle() const
{
    QVariant v = connection().driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

QSqlQuery Database::exec(const QString& sql, const QVariantList& params)
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw queryError(query, sql);
    for (const QVariant& p : params)
        query.addBindValue(p);
    if (!query.exec())
        throw queryError(query, sql);
    return query;
}

QVariant Database::scalar(const QString& sql, const QVariantList& params)
{
    QSqlQuery query = exec(sql, params);
    if (!query.next())
        return {};
    return query.value(0);
}

void Database::execScript(const QString& script)
{
    char* error = nullptr;
    QByteArray utf8 = script.toUtf8();
    if (sqlite3_exec(handle(), utf8.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        QString text = QString::fromUtf8(error ? error : "unknown error");
        sqlite3_free(error);
        // Leave no transaction of the script open behind the failure.
        if (!sqlite3_get_autocommit(handle()))
            sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw DatabaseError(text, script.left(200));
    }
}

int Database::changes() const
{
    return sqlite3_changes(handle());
}

int Database::schemaVersion()
{
    return scalar(QStringLiteral("PRAGMA user_version")).toInt();
}

Transaction::Transaction(Database& db) : db_(db)
{
    name_ = QStringLiteral("tx%1").arg(++db_.transactionDepth_);
    try {
        db_.exec(QStringLiteral("SAVEPOINT ") + name_);
    } catch (...) {
        --db_.transactionDepth_;
        throw;
    }
}

Transaction::~Transaction()
{
    if (!open_)
        return;
    // Roll back on the raw handle: a destructor must not throw, and a failed
    // rollback leaves nothing better to do than to report it to nobody.
    QByteArray sql = ("ROLLBACK TO " + name_ + "; RELEASE " + name_).toUtf8();
    sqlite3_exec(db_.handle(), sql.constData(), nullptr, nullptr, nullptr);
    --db_.transactionDepth_;
}

void Transaction::commit()
{
    if (!open_)
        return;
    db_.exec(QStringLiteral("RELEASE ") + name_);
    open_ = false;
    --db_.transactionDepth_;
}

QVariant sqlValue(const Currency& value)
{
    return QVariant(qint64(value.ticks()));
}

QVariant sqlValue(const Date& value)
{
    return QVariant(value.serial());
}

Currency currencyValue(const QVariant& stored)
{
    if (stored.typeId() == QMetaType::Double)
        return Currency::fromTicks(std::llround(stored.toDouble()));
    return Currency::fromTicks(stored.toLongLong());
}

Date dateValue(const QVariant& stored)
{
    return Date::fromSerial(stored.toDouble());
}
