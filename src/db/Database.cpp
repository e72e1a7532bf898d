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
    : OperatorError(QStringLiteral("データベースの処理に失敗しました。処理を中止しました。\n%1").arg(databaseText),
                    (databaseText + QStringLiteral("\n") + statement).toStdString()),
      databaseText_(databaseText), statement_(statement)
{
}

namespace {

std::atomic<int> connectionCounter{0};

// A CURRENCY argument is integer ticks and nothing else: a real number or a
// text handed to a money function is a mistake in the statement (a SINGLE
// column, whole yen, a date as text), and guessing what it meant gives a
// plausible wrong amount. Returns false after setting the SQL error.
bool ticksArgument(sqlite3_context* ctx, sqlite3_value* v, const char* function, std::int64_t& ticks)
{
    if (sqlite3_value_type(v) != SQLITE_INTEGER) {
        const QByteArray message = QByteArray(function) + ": argument is not a CURRENCY value (integer ticks)";
        sqlite3_result_error(ctx, message.constData(), -1);
        return false;
    }
    ticks = sqlite3_value_int64(v);
    return true;
}

bool anyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    return false;
}

void overflowError(sqlite3_context* ctx, const char* function)
{
    const QByteArray message = QByteArray(function) + ": Currency overflow";
    sqlite3_result_error(ctx, message.constData(), -1);
}

// CUR_MUL(a, b): Currency × Currency, exact, rounded to four places.
void curMul(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::int64_t a = 0, b = 0;
    if (!ticksArgument(ctx, argv[0], "CUR_MUL", a) || !ticksArgument(ctx, argv[1], "CUR_MUL", b))
        return;
    try {
        sqlite3_result_int64(ctx, (Currency::fromTicks(a) * Currency::fromTicks(b)).ticks());
    } catch (const CurrencyOverflow&) {
        overflowError(ctx, "CUR_MUL");
    }
}

// CUR_INT(a): whole part toward minus infinity, still in ticks.
void curInt(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::int64_t a = 0;
    if (!ticksArgument(ctx, argv[0], "CUR_INT", a))
        return;
    try {
        sqlite3_result_int64(ctx, Currency::fromTicks(a).Int().ticks());
    } catch (const CurrencyOverflow&) {
        overflowError(ctx, "CUR_INT");
    }
}

// SNG_MUL(s, c): a SINGLE column (kilograms, litres per unit) times a
// CURRENCY column (a quantity), as a plain number: 10 kg × 2 is 20.
void sngMul(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const int kind = sqlite3_value_type(argv[0]);
    if (kind != SQLITE_INTEGER && kind != SQLITE_FLOAT) {
        sqlite3_result_error(ctx, "SNG_MUL: first argument is not a SINGLE value", -1);
        return;
    }
    std::int64_t c = 0;
    if (!ticksArgument(ctx, argv[1], "SNG_MUL", c))
        return;
    const double single = double(float(sqlite3_value_double(argv[0])));
    sqlite3_result_double(ctx, single * Currency::fromTicks(c).toDouble());
}

// DAYNUM(d): the whole day number of a date serial. A text is no date
// serial: '2024-05-01' would read as 2024, a day in 1905.
void dayNum(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const int kind = sqlite3_value_type(argv[0]);
    if (kind != SQLITE_INTEGER && kind != SQLITE_FLOAT) {
        sqlite3_result_error(ctx, "DAYNUM: argument is not a DATE value (day serial)", -1);
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
    sqlite3_create_function(h, "SNG_MUL", 2, flags, nullptr, sngMul, nullptr, nullptr);
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
        QString script = QStringLiteral("BEGIN;\n") + schemaScript();
        for (const SchemaUpgrade& step : schemaUpgrades())
            script += QStringLiteral("\n") + step.script + QStringLiteral("\nPRAGMA user_version = %1;").arg(step.version);
        db.execScript(script + QStringLiteral("\nCOMMIT;"));
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

int upgradeSchema(Database& db)
{
    const int found = db.schemaVersion();
    if (found <= 0 || found >= SchemaVersion)
        return found;
    QString script = QStringLiteral("BEGIN;\n");
    for (const SchemaUpgrade& step : schemaUpgrades())
        if (step.version > found)
            script += step.script + QStringLiteral("\nPRAGMA user_version = %1;\n").arg(step.version);
    db.execScript(script + QStringLiteral("COMMIT;"));
    return found;
}

BatchMemory::BatchMemory(Database& db) : db_(db)
{
    cacheSize_ = db_.scalar(QStringLiteral("PRAGMA cache_size"));
    db_.exec(QStringLiteral("PRAGMA cache_size = -65536")); // 64 MiB
    if (sqlite3_get_autocommit(db_.handle())) {
        tempStore_ = db_.scalar(QStringLiteral("PRAGMA temp_store"));
        if (tempStore_.toInt() != 2)
            db_.exec(QStringLiteral("PRAGMA temp_store = MEMORY"));
        else
            tempStore_ = QVariant();
    }
}

BatchMemory::~BatchMemory()
{
    // Best effort: a setting that cannot be put back leaves the connection
    // faster, never wrong.
    try {
        db_.exec(QStringLiteral("PRAGMA cache_size = ") + QString::number(cacheSize_.toLongLong()));
        if (tempStore_.isValid() && sqlite3_get_autocommit(db_.handle()))
            db_.exec(QStringLiteral("PRAGMA temp_store = ") + QString::number(tempStore_.toInt()));
    } catch (const DatabaseError&) {
    }
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
    // The columns hold integer ticks only (the schema refuses anything
    // else); a computed REAL (an average) is rounded to the nearest tick.
    if (stored.typeId() == QMetaType::Double)
        return Currency::fromTicks(std::llround(stored.toDouble()));
    return Currency::fromTicks(stored.toLongLong());
}

Date dateValue(const QVariant& stored)
{
    return Date::fromSerial(stored.toDouble());
}

QVariant dayStart(const Date& day)
{
    return QVariant(qint64(day.dayNumber()));
}

QVariant dayAfter(const Date& day)
{
    return QVariant(qint64(day.dayNumber() + 1));
}
