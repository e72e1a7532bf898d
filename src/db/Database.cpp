#include "db/Database.h"

#include "core/Currency.h"
#include "core/Date.h"
#include "db/DatabaseLocation.h"
#include "db/Dialect.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QRegularExpression>
#include <QSysInfo>
#include <atomic>
#include <cmath>
#include <sqlite3.h>
#include <stdexcept>

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

QString& computerNameValue()
{
    static QString name;
    return name;
}

// The server's message without its decoration: "ERROR:  text", then lines
// of context and the SQLSTATE in brackets. A rule's Japanese text then
// reads as it does from the file.
QString serverMessage(const QString& text)
{
    QString message = text;
    for (const QString& head : {QStringLiteral("ERROR:  "), QStringLiteral("FATAL:  ")})
        if (message.startsWith(head))
            message = message.mid(head.size());
    const qsizetype end = message.indexOf(u'\n');
    if (end >= 0)
        message.truncate(end);
    static const QRegularExpression state(QStringLiteral("\\([0-9A-Z]{5}\\)$"));
    message.remove(state);
    return message.trimmed();
}

// A refusal of the server in the words the file gives for the same thing,
// so the screens that explain a refusal (a duplicate code, a missing value,
// a value of the wrong kind, a busy database) read both alike. Anything
// else keeps the server's own message.
QString inFileWords(const QString& state, const QString& text)
{
    const QString message = serverMessage(text);
    if (state == u"23505") {
        // duplicate key value violates unique constraint "表_pkey"
        // DETAIL:  Key (列1, 列2)=(…) already exists.
        static const QRegularExpression constraint(QStringLiteral("constraint \"(.+?)(_pkey|_key|_\\w+_key)?\"$"));
        static const QRegularExpression key(QStringLiteral("Key \\((.+?)\\)="));
        const QString table = constraint.match(message).captured(1);
        QStringList columns;
        // The server quotes a name that is not all lower case.
        for (QString c : key.match(text).captured(1).split(QStringLiteral(", "), Qt::SkipEmptyParts))
            columns << table + u'.' + c.remove(u'"');
        return QStringLiteral("UNIQUE constraint failed: ") + columns.join(QStringLiteral(", "));
    }
    if (state == u"23502") {
        // null value in column "列" of relation "表" violates not-null constraint
        static const QRegularExpression form(QStringLiteral("column \"(.+?)\" of relation \"(.+?)\""));
        const QRegularExpressionMatch m = form.match(message);
        if (m.hasMatch())
            return QStringLiteral("NOT NULL constraint failed: %1.%2").arg(m.captured(2), m.captured(1));
    }
    if (state == u"22P02" || state == u"22003" || state == u"42804")
        return QStringLiteral("datatype mismatch (%1)").arg(message);
    if (state == u"55P03" || state == u"40P01" || state == u"40001")
        return QStringLiteral("database is locked (%1)").arg(message);
    return message;
}

// The database's own words where it has them (a rule's Japanese text),
// else Qt's description.
DatabaseError queryError(const QSqlQuery& query, const QString& sql, bool server)
{
    const QSqlError e = query.lastError();
    QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    if (server)
        text = inFileWords(e.nativeErrorCode(), text);
    return DatabaseError(text, sql);
}

// A real number bound on a server goes as text, which the server reads
// into a number column only when it is one of that kind: 19.8 for a money
// column (whole ticks) is refused, as the file's column check refuses it,
// where a bare 19.8 would be rounded without a word.
QVariant boundOnServer(const QVariant& value)
{
    if (value.typeId() == QMetaType::Double && !value.isNull())
        return QString::number(value.toDouble(), 'g', 17);
    if (value.typeId() == QMetaType::Float && !value.isNull())
        return QString::number(double(value.toFloat()), 'g', 9);
    return value;
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

void Database::setComputerName(const QString& name)
{
    computerNameValue() = name;
}

QString Database::computerName()
{
    if (computerNameValue().isEmpty())
        computerNameValue() = QSysInfo::machineHostName();
    return computerNameValue();
}

Database::Database(const QString& path)
{
    if (isServerLocation(path)) {
        openServerConnection(path);
        return;
    }
    if (!QFileInfo::exists(path))
        throw DatabaseError(QStringLiteral("データベースファイルが見つかりません。"), path);
    openConnection(path);
}

Database Database::create(const QString& path)
{
    if (isServerLocation(path)) {
        Database db;
        db.openServerConnection(path);
        if (holdsTables(db))
            throw DatabaseError(QStringLiteral("サーバーのデータベースにすでに表があります。新しい店には空のデータベースが必要です。"),
                                shownLocation(path));
        Transaction transaction(db);
        db.execScript(serverSchemaScript());
        transaction.commit();
        return db;
    }
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

void Database::openServerConnection(const QString& path)
{
    path_ = path;
    kind_ = DatabaseKind::Server;
    std::optional<ServerLocation> server;
    try {
        server = serverLocation(path);
    } catch (const std::invalid_argument& e) {
        throw DatabaseError(QStringLiteral("サーバーの指定が読めません：%1").arg(QString::fromUtf8(e.what())), path);
    }
    connectionName_ = QStringLiteral("himawari-%1").arg(++connectionCounter);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName_);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(connectionName_);
        connectionName_.clear();
        throw DatabaseError(QStringLiteral("PostgreSQL に接続する部品（libqt6sql6-psql）がありません。"), shownLocation(path));
    }
    db.setHostName(server->host);
    db.setPort(server->port);
    db.setDatabaseName(server->databaseName);
    db.setUserName(server->user);
    db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    if (!db.open()) {
        const QString text = serverMessage(db.lastError().databaseText().isEmpty() ? db.lastError().text()
                                                                                   : db.lastError().databaseText());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        connectionName_.clear();
        throw DatabaseError(QStringLiteral("サーバーに接続できません：%1").arg(text), shownLocation(path));
    }
    setApplicationName(computerName());
    // The server's notices (what a DROP … CASCADE took along, a schema
    // that is there already) are no news to the operator.
    exec(QStringLiteral("SET client_min_messages = warning"));
    if (!server->schema.isEmpty()) {
        exec(QStringLiteral("CREATE SCHEMA IF NOT EXISTS ") + server->schema);
        exec(QStringLiteral("SELECT set_config('search_path', ?, false)"), {server->schema});
    }
    // A slip stored at the other counter while this one waits is seen by
    // the next statement; an hour-long wait for a lock is no answer.
    exec(QStringLiteral("SET lock_timeout = '60s'"));
}

void Database::setApplicationName(const QString& name)
{
    // The server keeps 63 bytes of it.
    QString shortened = name;
    while (shortened.toUtf8().size() > 63)
        shortened.chop(1);
    exec(QStringLiteral("SELECT set_config('application_name', ?, false)"), {shortened});
}

Database::Database(Database&& other) noexcept
    : connectionName_(std::move(other.connectionName_)), path_(std::move(other.path_)), kind_(other.kind_),
      transactionDepth_(other.transactionDepth_), lastChanges_(other.lastChanges_)
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
    if (kind_ == DatabaseKind::Server)
        return nullptr;
    QVariant v = connection().driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

QSqlQuery Database::exec(const QString& sql, const QVariantList& params)
{
    const bool server = kind_ == DatabaseKind::Server;
    QSqlQuery query(connection());
    // A forward-only query on a server reads its rows one at a time off the
    // connection, which then runs no other statement until they are all
    // read; a routine that asks something per row of a list would fail.
    // There the whole result comes at once instead.
    query.setForwardOnly(!server);
    if (server && params.isEmpty()) {
        // Unprepared: one round trip, and a text of several statements runs.
        if (!query.exec(sql))
            throw queryError(query, sql, server);
        lastChanges_ = query.numRowsAffected();
        return query;
    }
    if (!query.prepare(sql))
        throw queryError(query, sql, server);
    for (const QVariant& p : params)
        query.addBindValue(server ? boundOnServer(p) : p);
    if (!query.exec())
        throw queryError(query, sql, server);
    if (server)
        lastChanges_ = query.numRowsAffected();
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
    if (kind_ == DatabaseKind::Server) {
        exec(script);
        return;
    }
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
    if (kind_ == DatabaseKind::Server)
        return lastChanges_;
    return sqlite3_changes(handle());
}

int Database::schemaVersion()
{
    if (kind_ == DatabaseKind::Server) {
        if (!scalar(QStringLiteral("SELECT to_regclass('スキーマ版ＴＢＬ') IS NOT NULL")).toBool())
            return 0;
        return scalar(QStringLiteral("SELECT MAX(版) FROM スキーマ版ＴＢＬ")).toInt();
    }
    return scalar(QStringLiteral("PRAGMA user_version")).toInt();
}

int upgradeSchema(Database& db)
{
    const int found = db.schemaVersion();
    // A server database is made at the current version; it has no older
    // ones to bring up yet.
    if (found <= 0 || found >= SchemaVersion || db.onServer())
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
    // The server keeps its own buffers; nothing to set per connection.
    if (db_.onServer())
        return;
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
    if (db_.onServer())
        return;
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
        // A server has savepoints only inside a transaction; the outermost
        // one begins it.
        if (db_.onServer() && db_.transactionDepth_ == 1)
            db_.exec(QStringLiteral("BEGIN"));
        else
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
    const bool outermost = db_.transactionDepth_ == 1;
    --db_.transactionDepth_;
    if (db_.onServer()) {
        db_.rollbackQuietly(outermost ? QStringLiteral("ROLLBACK")
                                      : QStringLiteral("ROLLBACK TO SAVEPOINT %1; RELEASE SAVEPOINT %1").arg(name_));
        return;
    }
    // Roll back on the raw handle: a destructor must not throw, and a failed
    // rollback leaves nothing better to do than to report it to nobody.
    QByteArray sql = ("ROLLBACK TO " + name_ + "; RELEASE " + name_).toUtf8();
    sqlite3_exec(db_.handle(), sql.constData(), nullptr, nullptr, nullptr);
}

void Database::rollbackQuietly(const QString& statement)
{
    QSqlQuery query(connection());
    query.exec(statement);
}

void Transaction::commit()
{
    if (!open_)
        return;
    if (db_.onServer() && db_.transactionDepth_ == 1)
        db_.exec(QStringLiteral("COMMIT"));
    else
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
