#include "maintenance/Backup.h"

#include "core/FileReplace.h"
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "db/Dialect.h"
#include "db/ExclusiveRun.h"
#include "maintenance/ShopMove.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextStream>
#include <filesystem>
#include <sqlite3.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// SQLite's own description of what failed.
class SqliteFailure : public std::runtime_error {
public:
    explicit SqliteFailure(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The captions of the two backup directories on the company settings screen.
QString directoryCaption(int number)
{
    return number == 2 ? QStringLiteral("バックアップ　２") : QStringLiteral("バックアップ　デレクトリーパス");
}

// A connection of its own to one database file, on the raw handle: the
// copies are made with SQLite's backup API, which Qt's driver does not offer.
class RawConnection {
public:
    RawConnection(const QString& path, int flags)
    {
        const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle_, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString text = handle_ ? QString::fromUtf8(sqlite3_errmsg(handle_)) : QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_close_v2(handle_);
            handle_ = nullptr;
            throw SqliteFailure(text);
        }
        sqlite3_busy_timeout(handle_, 5000);
    }
    ~RawConnection() { close(); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    sqlite3* get() const { return handle_; }
    // Closing ends any transaction left open (rolled back).
    void close()
    {
        if (handle_)
            sqlite3_close_v2(handle_);
        handle_ = nullptr;
    }

private:
    sqlite3* handle_ = nullptr;
};

// The first column of every row of a statement, as text.
QStringList queryTexts(sqlite3* h, const QString& sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
        throw SqliteFailure(QString::fromUtf8(sqlite3_errmsg(h)));
    QStringList texts;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        texts << QString::fromUtf8(text ? text : "");
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw SqliteFailure(QString::fromUtf8(sqlite3_errstr(rc)));
    return texts;
}

void execute(sqlite3* h, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(h, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = QString::fromUtf8(error ? error : sqlite3_errmsg(h));
        sqlite3_free(error);
        throw SqliteFailure(text);
    }
}

QStringList tablesOf(sqlite3* h)
{
    return queryTexts(h, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"
                                        " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"));
}

QMap<QString, qint64> rowCounts(sqlite3* h)
{
    QMap<QString, qint64> counts;
    for (const QString& table : tablesOf(h))
        counts.insert(table, queryTexts(h, QStringLiteral("SELECT COUNT(*) FROM ") + quotedName(table)).value(0).toLongLong());
    return counts;
}

// Copies database `from` into `to` in one step through the backup API; a
// database briefly locked by another connection is waited for.
void copyDatabase(sqlite3* from, sqlite3* to)
{
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        throw SqliteFailure(QString::fromUtf8(sqlite3_errmsg(to)));
    int rc = SQLITE_OK;
    for (int attempt = 0;; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && attempt < 50) {
            sqlite3_sleep(100);
            continue;
        }
        break;
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw SqliteFailure(QString::fromUtf8(sqlite3_errstr(rc)));
}

// A copy stands on its own: no write-ahead log beside it.
void useRollbackJournal(sqlite3* h)
{
    const QString mode = queryTexts(h, QStringLiteral("PRAGMA journal_mode = DELETE")).value(0);
    if (mode.compare(QStringLiteral("delete"), Qt::CaseInsensitive) != 0)
        throw SqliteFailure(QStringLiteral("journal_mode %1").arg(mode));
}

// How thoroughly a copy is checked. A backup reads every page and every
// record (quick_check: a damaged page, a broken tree, a value its column
// refuses); a restore also checks that every index agrees with its table,
// which on ten years of data takes four times as long and is worth it only
// before the data is put back.
enum class Check { Quick, Full };

// What keeps an open database from being this program's data, or an empty
// text.
QString connectionProblem(sqlite3* h, Check check)
{
    try {
        const QStringList integrity = queryTexts(
            h, check == Check::Full ? QStringLiteral("PRAGMA integrity_check") : QStringLiteral("PRAGMA quick_check"));
        if (integrity != QStringList{QStringLiteral("ok")})
            return QStringLiteral("データベースが壊れています。（%1）").arg(integrity.mid(0, 3).join(QStringLiteral("／")));
        const int version = queryTexts(h, QStringLiteral("PRAGMA user_version")).value(0).toInt();
        if (version == 0)
            return QStringLiteral("このファイルはひまわり帳のデータベースではありません。");
        if (version > SchemaVersion)
            return QStringLiteral("このデータベースは新しい版のプログラムで作られています。");
        const QStringList present = tablesOf(h);
        QStringList missing;
        for (const QString& table : schemaTables())
            if (!present.contains(table))
                missing << table;
        if (!missing.isEmpty())
            return QStringLiteral("データベースに表「%1」がありません。").arg(missing.join(QStringLiteral("」「")));
    } catch (const SqliteFailure& e) {
        // A check that stops at a damaged page is a damaged database, not a
        // file of some other kind.
        if ((sqlite3_errcode(h) & 0xff) == SQLITE_CORRUPT)
            return QStringLiteral("データベースが壊れています。（%1）").arg(e.text());
        return QStringLiteral("データベースとして読めません。（%1）").arg(e.text());
    }
    return {};
}

// A new empty file in `folder` for a copy being made; removed again (with
// any journal SQLite left beside it) unless it was renamed into place.
class TemporaryPath {
public:
    TemporaryPath(const QString& folder, const QString& name)
    {
        QTemporaryFile file(QDir(folder).filePath(QStringLiteral(".") + name + QStringLiteral(".XXXXXX.tmp")));
        file.setAutoRemove(false);
        if (!file.open())
            throw BackupError(QStringLiteral("ディレクトリ %1 にファイルを作れません：%2").arg(shown(folder), file.errorString()));
        path_ = file.fileName();
    }
    ~TemporaryPath()
    {
        if (path_.isEmpty())
            return;
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(path_ + QLatin1String(suffix));
    }
    TemporaryPath(const TemporaryPath&) = delete;
    TemporaryPath& operator=(const TemporaryPath&) = delete;

    const QString& path() const { return path_; }
    // Moves the file to `target`, replacing what is there in one step.
    void renameTo(const QString& target)
    {
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(path_.toStdU16String()),
                                std::filesystem::path(target.toStdU16String()), error);
        if (error)
            throw BackupError(QStringLiteral("ファイル %1 を置き換えられません：%2")
                                  .arg(shown(target), QString::fromLocal8Bit(error.message().c_str())));
        path_.clear();
    }

private:
    QString path_;
};

QByteArray readWholeFile(const QString& path, const QString& what)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw BackupError(QStringLiteral("%1 %2 を開けません：%3").arg(what, shown(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw BackupError(QStringLiteral("%1 %2 を読めません：%3").arg(what, shown(path), file.errorString()));
    return bytes;
}

// The backup's configuration file, which must be there and read as this
// program reads it; a restore refuses anything else before it changes a thing.
QByteArray readBackupConfiguration(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw BackupError(QStringLiteral("バックアップの設定ファイル %1 がありません。\n何も変更していません。").arg(shown(path)));
    const QByteArray configuration = readWholeFile(path, QStringLiteral("バックアップの設定ファイル"));
    try {
        parseConfiguration(configuration, QStringLiteral("設定ファイル ") + shown(path));
    } catch (const ConfigurationError& e) {
        throw BackupError(QStringLiteral("バックアップの設定ファイルを読めません。\n%1\n何も変更していません。").arg(e.message()));
    }
    return configuration;
}

// Writes bytes to a file and makes sure they reached the disk.
void writeWholeFile(const QString& path, const QByteArray& bytes, const QString& what)
{
    QFile file(path);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush();
#ifdef Q_OS_UNIX
    ok = ok && ::fsync(file.handle()) == 0;
#endif
    if (!ok)
        throw BackupError(QStringLiteral("%1 %2 を書き込めません：%3").arg(what, shown(path), file.errorString()));
}

// Writes bytes in place of a file in one step (a crash leaves the old file
// or the new one, never a short one).
void replaceFile(const QString& path, const QByteArray& bytes, const QString& what)
{
    QString error;
    if (!replaceFileContents(path, bytes, error))
        throw BackupError(QStringLiteral("%1 %2 を書き込めません：%3").arg(what, shown(path), error));
}

QString canonicalFolder(const QString& folder)
{
    return QDir(folder).canonicalPath();
}

// Keeps the live database as it is now in `target`: through SQLite, so the
// write-ahead log is included; a database SQLite cannot read (the reason
// for many a restore) is kept as its plain bytes.
// Gives the live database the pages of `source` through SQLite: connections
// still open see them, and no stale log can undo it. Throws SqliteFailure
// (the live database is then as it was).
void copyPagesInto(const QString& source, const QString& livePath)
{
    RawConnection from(source, SQLITE_OPEN_READONLY);
    RawConnection live(livePath, SQLITE_OPEN_READWRITE);
    copyDatabase(from.get(), live.get());
}

void keepDatabaseCopy(const QString& livePath, const QString& target)
{
    const QString folder = QFileInfo(target).absolutePath();
    TemporaryPath copy(folder, QFileInfo(target).fileName());
    try {
        RawConnection live(livePath, SQLITE_OPEN_READWRITE);
        RawConnection kept(copy.path(), SQLITE_OPEN_READWRITE);
        copyDatabase(live.get(), kept.get());
        useRollbackJournal(kept.get());
    } catch (const SqliteFailure&) {
        writeWholeFile(copy.path(), readWholeFile(livePath, QStringLiteral("データベースファイル")),
                       QStringLiteral("データベースの控え"));
    }
    copy.renameTo(target);
}

} // namespace

const QStringList& schemaTables()
{
    static const QStringList tables = [] {
        RawConnection memory(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        execute(memory.get(), schemaScript().toUtf8().constData());
        return tablesOf(memory.get());
    }();
    return tables;
}

BackupLocation backupLocation(const Configuration& config, int number, const QString& configurationPath)
{
    BackupLocation where;
    where.number = number;
    where.directory = config.values[12 + number];
    where.databasePath = config.databasePath;
    where.databaseFileName = config.values[11];
    where.configurationPath = configurationPath;
    return where;
}

QString BackupLocation::inDirectory(const QString& fileName) const
{
    return QDir(directory).filePath(fileName);
}

void replaceLiveDatabase(const QString& checkedDatabase, const QString& liveDatabase, const QString& keptAs)
{
    // Without a live database the checked one is copied into its place.
    if (!QFileInfo(liveDatabase).isFile()) {
        keepDatabaseCopy(checkedDatabase, liveDatabase);
        return;
    }
    keepDatabaseCopy(liveDatabase, keptAs);
    try {
        copyPagesInto(checkedDatabase, liveDatabase);
    } catch (const SqliteFailure& e) {
        throw BackupError(QStringLiteral("データベース %1 を置き換えられませんでした。\n（%2）\nデータベースは元のままです。")
                              .arg(shown(liveDatabase), e.text()));
    }
}

QString savedDatabasePath(const BackupLocation& where)
{
    return where.databasePath + QStringLiteral(".before-restore");
}

QString savedConfigurationPath(const BackupLocation& where)
{
    // A server shop has no database file to keep it beside.
    const QString& beside = isServerLocation(where.databasePath) ? where.configurationPath : where.databasePath;
    return QDir(QFileInfo(beside).absolutePath()).filePath(ConfigurationFileName + QStringLiteral(".before-restore"));
}

QString checkBackupDirectory(const BackupLocation& where)
{
    if (where.directory.trimmed().isEmpty())
        throw BackupError(QStringLiteral("バックアップ先のディレクトリ（%1）が設定されていません。\n会社設定で設定してください。")
                              .arg(directoryCaption(where.number)));
    // The folder the copies land in.
    const QString folder = QFileInfo(where.backupDatabasePath()).absolutePath();
    if (!QFileInfo(folder).isDir())
        throw BackupError(QStringLiteral("バックアップ先のディレクトリ %1 がありません。\n"
                                         "ディレクトリを作るか、会社設定で正しいディレクトリを設定してください。")
                              .arg(shown(where.directory)));
    const QString canonical = canonicalFolder(folder);
    if (!isServerLocation(where.databasePath) && canonical == canonicalFolder(QFileInfo(where.databasePath).absolutePath()))
        throw BackupError(QStringLiteral("バックアップ先のディレクトリ %1 はデータベースと同じディレクトリです。\n"
                                         "ファイルを自分自身にコピーすることになるため、別のディレクトリを設定してください。")
                              .arg(shown(where.directory)));
    if (canonical == canonicalFolder(QFileInfo(where.configurationPath).absolutePath()))
        throw BackupError(QStringLiteral("バックアップ先のディレクトリ %1 は設定ファイル %2 と同じディレクトリです。\n"
                                         "ファイルを自分自身にコピーすることになるため、別のディレクトリを設定してください。")
                              .arg(shown(where.directory), ConfigurationFileName));
    return canonical;
}

QString BackupLocation::backupDumpPath() const
{
    QString name = QFileInfo(databaseFileName).completeBaseName();
    if (name.isEmpty()) {
        const std::optional<ServerLocation> server = isServerLocation(databasePath) ? serverLocation(databasePath) : std::nullopt;
        name = server ? server->databaseName : QStringLiteral("himawari");
    }
    return inDirectory(name + QStringLiteral(".dump"));
}

namespace {

// A program of the server's tools: on the PATH, or in the newest of the
// installed server versions.
QString serverTool(const QString& name)
{
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(), [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& version : found) {
        const QString program = versions.filePath(version + QStringLiteral("/bin/") + name);
        if (QFileInfo(program).isExecutable())
            return program;
    }
    throw BackupError(QStringLiteral("サーバーのツール %1 が見つかりません。PostgreSQL のクライアント（%1）を入れてください。").arg(name));
}

QString serverSchema(const ServerLocation& server)
{
    return server.schema.isEmpty() ? QStringLiteral("public") : server.schema;
}

QStringList connectionArguments(const ServerLocation& server)
{
    QStringList arguments;
    if (!server.host.isEmpty())
        arguments << QStringLiteral("--host=") + server.host;
    arguments << QStringLiteral("--port=%1").arg(server.port);
    if (!server.user.isEmpty())
        arguments << QStringLiteral("--username=") + server.user;
    arguments << QStringLiteral("--no-password");
    return arguments;
}

// Runs one of the server's tools to its end. Returns its standard output;
// a tool that fails throws BackupError with `what` and the tool's own words.
QByteArray runTool(const QString& name, const QStringList& arguments, const QString& what, bool keepOutput = true)
{
    QProcess process;
    process.setProgram(serverTool(name));
    process.setArguments(arguments);
    if (!keepOutput)
        process.setStandardOutputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted())
        throw BackupError(QStringLiteral("%1\n（%2 を起動できません：%3）").arg(what, name, process.errorString()));
    process.waitForFinished(-1);
    const QByteArray output = keepOutput ? process.readAllStandardOutput() : QByteArray();
    const QString errors = QString::fromUtf8(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw BackupError(QStringLiteral("%1\n（%2：%3）").arg(what, name, errors.isEmpty() ? process.errorString() : errors));
    return output;
}

// An archive's table of contents: the schema it was made from and the
// tables whose rows it holds ("TABLE DATA <schema> <table> <owner>").
struct ArchiveContents {
    QString schema;
    QStringList dataTables;
    QStringList lines;
};

ArchiveContents archiveContents(const QString& dumpPath, const QString& what)
{
    const QByteArray listing = runTool(QStringLiteral("pg_restore"), {QStringLiteral("--list"), dumpPath}, what);
    ArchiveContents contents;
    contents.lines = QString::fromUtf8(listing).split(u'\n');
    for (const QString& line : contents.lines) {
        if (line.startsWith(u';'))
            continue;
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        const qsizetype data = words.indexOf(QStringLiteral("DATA"));
        if (words.size() >= 5 && data >= 1 && words[data - 1] == u"TABLE" && data + 2 < words.size()) {
            contents.schema = words[data + 1];
            contents.dataTables << tableKey(words[data + 2]);
        }
    }
    return contents;
}

// Why an archive cannot stand for the live shop, or an empty text: it must
// list the rows of every table the shop has, and read to its end.
QString archiveProblem(const QString& dumpPath, const QStringList& shopTables)
{
    try {
        const ArchiveContents contents = archiveContents(dumpPath, QStringLiteral("バックアップを読めません。"));
        for (const QString& table : shopTables) {
            if (!contents.dataTables.contains(tableKey(table)))
                return QStringLiteral("バックアップに表 %1 の行がありません。").arg(table);
        }
        runTool(QStringLiteral("pg_restore"), {QStringLiteral("--file=-"), dumpPath}, QStringLiteral("バックアップを最後まで読めません。"),
                false);
    } catch (const BackupError& e) {
        return e.message();
    }
    return QString();
}

void backUpServerData(const BackupLocation& where)
{
    const QString folder = checkBackupDirectory(where);
    const ServerLocation server = *serverLocation(where.databasePath);
    const QByteArray configuration = readWholeFile(where.configurationPath, QStringLiteral("設定ファイル"));
    QStringList tables;
    try {
        Database live(where.databasePath);
        tables = shopTableNames(live);
    } catch (const DatabaseError& e) {
        throw BackupError(QStringLiteral("サーバーのデータベース %1 に接続できません。\n（%2）\n以前のバックアップはそのまま残っています。")
                              .arg(shownLocation(where.databasePath), e.databaseText()));
    }

    const QString dumpName = QFileInfo(where.backupDumpPath()).fileName();
    TemporaryPath dumpCopy(folder, dumpName);
    TemporaryPath configurationCopy(folder, ConfigurationFileName);
    runTool(QStringLiteral("pg_dump"),
            QStringList{QStringLiteral("--format=custom"), QStringLiteral("--no-owner"),
                        QStringLiteral("--schema=") + quotedName(serverSchema(server)), QStringLiteral("--file=") + dumpCopy.path()}
                + connectionArguments(server) + QStringList{QStringLiteral("--dbname=") + server.databaseName},
            QStringLiteral("サーバーのデータベース %1 をバックアップできませんでした。\n以前のバックアップはそのまま残っています。")
                .arg(shownLocation(where.databasePath)));
    const QString problem = archiveProblem(dumpCopy.path(), tables);
    if (!problem.isEmpty())
        throw BackupError(QStringLiteral("バックアップしたデータベースを確認できませんでした。\n%1\n"
                                         "以前のバックアップはそのまま残っています。").arg(problem));
    writeWholeFile(configurationCopy.path(), configuration, QStringLiteral("設定ファイルのコピー"));
    dumpCopy.renameTo(where.backupDumpPath());
    configurationCopy.renameTo(where.backupConfigurationPath());
}

// The rows per table of a restore script: the lines between each
// "COPY <schema>.<table> (…) FROM stdin;" and its "\.", by table key.
QMap<QString, qint64> scriptRowCounts(const QString& scriptPath)
{
    QMap<QString, qint64> counts;
    QFile script(scriptPath);
    if (!script.open(QIODevice::ReadOnly))
        throw BackupError(QStringLiteral("復元の作業ファイル %1 を読めません：%2").arg(shown(scriptPath), script.errorString()));
    QString table;
    bool inData = false;
    while (!script.atEnd()) {
        const QByteArray line = script.readLine();
        if (inData) {
            if (line == "\\.\n" || line == "\\.") {
                inData = false;
                continue;
            }
            ++counts[table];
            continue;
        }
        if (line.startsWith("COPY ") && line.trimmed().endsWith("FROM stdin;")) {
            QString name = QString::fromUtf8(line.mid(5, line.indexOf(" (") - 5));
            // "<schema>.<table>", either part quoted when it needs to be.
            const qsizetype dot = name.indexOf(QStringLiteral("."));
            if (dot >= 0 && !name.left(dot).contains(u'"'))
                name = name.mid(dot + 1);
            else if (name.startsWith(u'"') && name.indexOf(QStringLiteral("\"."), 1) > 0)
                name = name.mid(name.indexOf(QStringLiteral("\"."), 1) + 2);
            if (name.startsWith(u'"') && name.endsWith(u'"'))
                name = name.mid(1, name.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
            table = tableKey(name);
            counts.insert(table, 0);
            inData = true;
        }
    }
    return counts;
}

void writeScript(const QString& path, const QString& text)
{
    writeWholeFile(path, text.toUtf8(), QStringLiteral("復元の作業ファイル"));
}

RestoreResult restoreServerData(const BackupLocation& where, Configuration& config)
{
    checkBackupDirectory(where);
    const QString dumpPath = where.backupDumpPath();
    const QString sourceConfiguration = where.backupConfigurationPath();
    if (!QFileInfo(dumpPath).isFile())
        throw BackupError(QStringLiteral("バックアップのデータベース %1 がありません。\n何も変更していません。").arg(shown(dumpPath)));
    const QByteArray configuration = readBackupConfiguration(sourceConfiguration);

    const ServerLocation server = *serverLocation(where.databasePath);
    const QString liveSchema = serverSchema(server);
    const QString restoreSchema = liveSchema + QStringLiteral("_restore");
    Database live(where.databasePath);
    ExclusiveRun run(live, QStringLiteral("復元"));
    auto dropRestoreSchema = [&] {
        live.exec(QStringLiteral("DROP SCHEMA IF EXISTS ") + quotedName(restoreSchema) + QStringLiteral(" CASCADE"));
    };
    auto refused = [&](const QString& problem) {
        return BackupError(QStringLiteral("バックアップのデータベース %1 からは復元できません。\n%2\n何も変更していません。")
                               .arg(shown(dumpPath), problem));
    };

    // The archive becomes a script (its own schema's creation left out) in
    // a working folder; reading it to the end is the archive's first check.
    QTemporaryDir work;
    if (!work.isValid())
        throw BackupError(QStringLiteral("復元の作業ディレクトリを作れません。\n何も変更していません。"));
    ArchiveContents contents;
    QString scriptPath = work.filePath(QStringLiteral("restore.sql"));
    try {
        contents = archiveContents(dumpPath, QStringLiteral("バックアップを読めません。"));
        if (contents.schema.isEmpty())
            throw BackupError(QStringLiteral("バックアップに表の行がありません。"));
        QStringList kept;
        for (const QString& line : contents.lines) {
            if (!line.contains(QStringLiteral(" SCHEMA - ")))
                kept << line;
        }
        const QString listPath = work.filePath(QStringLiteral("restore.list"));
        writeScript(listPath, kept.join(u'\n'));
        runTool(QStringLiteral("pg_restore"),
                {QStringLiteral("--no-owner"), QStringLiteral("--use-list=") + listPath, QStringLiteral("--file=") + scriptPath, dumpPath},
                QStringLiteral("バックアップを最後まで読めません。"));
    } catch (const BackupError& e) {
        throw refused(e.message());
    }
    const QMap<QString, qint64> archivedCounts = scriptRowCounts(scriptPath);

    // Loaded in one transaction under the archive's schema name, which is
    // then renamed to the restore schema; a live schema of that name is
    // held aside meanwhile. Other computers see none of it until the
    // commit, and then only the new restore schema.
    const QString archived = contents.schema;
    const QString heldAside = archived + QStringLiteral("_held_for_restore");
    dropRestoreSchema();
    const bool archivedExists =
        live.scalar(QStringLiteral("SELECT COUNT(*) FROM pg_namespace WHERE nspname = ?"), {archived}).toLongLong() > 0;
    QString before;
    QString after;
    if (archivedExists)
        before += QStringLiteral("ALTER SCHEMA %1 RENAME TO %2;\n").arg(quotedName(archived), quotedName(heldAside));
    before += QStringLiteral("CREATE SCHEMA %1;\n").arg(quotedName(archived));
    after += QStringLiteral("ALTER SCHEMA %1 RENAME TO %2;\n").arg(quotedName(archived), quotedName(restoreSchema));
    if (archivedExists)
        after += QStringLiteral("ALTER SCHEMA %1 RENAME TO %2;\n").arg(quotedName(heldAside), quotedName(archived));
    writeScript(work.filePath(QStringLiteral("before.sql")), before);
    writeScript(work.filePath(QStringLiteral("after.sql")), after);
    try {
        runTool(QStringLiteral("psql"),
                QStringList{QStringLiteral("--no-psqlrc"), QStringLiteral("--quiet"), QStringLiteral("--single-transaction"),
                            QStringLiteral("--set=ON_ERROR_STOP=1"), QStringLiteral("--file=") + work.filePath(QStringLiteral("before.sql")),
                            QStringLiteral("--file=") + scriptPath, QStringLiteral("--file=") + work.filePath(QStringLiteral("after.sql"))}
                    + connectionArguments(server) + QStringList{QStringLiteral("--dbname=") + server.databaseName},
                QStringLiteral("バックアップをサーバーに読み込めませんでした。"), false);
    } catch (const BackupError& e) {
        throw refused(e.message());
    }

    // The restored schema is checked before it goes live; a refused one
    // is dropped again.
    ServerLocation restored = server;
    restored.schema = restoreSchema;
    QString problem;
    try {
        Database copy(serverLocationText(restored));
        const int version = copy.schemaVersion();
        if (version != SchemaVersion)
            problem = QStringLiteral("データベースの版 %1 はこのプログラムの版 %2 と違います。").arg(version).arg(SchemaVersion);
        if (problem.isEmpty()) {
            const QMap<QString, qint64> counts = shopRowCounts(copy);
            for (auto it = counts.constBegin(); it != counts.constEnd() && problem.isEmpty(); ++it) {
                if (!archivedCounts.contains(it.key()))
                    problem = QStringLiteral("バックアップに表 %1 の行がありません。").arg(it.key());
                else if (archivedCounts.value(it.key()) != it.value())
                    problem = QStringLiteral("表 %1：バックアップ %2 件、復元 %3 件で一致しません。")
                                  .arg(it.key())
                                  .arg(archivedCounts.value(it.key()))
                                  .arg(it.value());
            }
        }
        if (problem.isEmpty())
            problem = shopDataProblem(copy);
    } catch (const DatabaseError& e) {
        problem = e.databaseText();
    }
    if (!problem.isEmpty()) {
        try {
            dropRestoreSchema();
        } catch (const DatabaseError&) {
        }
        throw refused(problem);
    }

    RestoreResult result;
    if (QFileInfo(where.configurationPath).isFile()) {
        result.savedConfiguration = savedConfigurationPath(where);
        replaceFile(result.savedConfiguration, readWholeFile(where.configurationPath, QStringLiteral("設定ファイル")),
                    QStringLiteral("設定ファイルの控え"));
    }

    // One step: the live schema is kept under a dated name and the
    // restored one takes its name.
    const QString kept = liveSchema + QStringLiteral("_before_restore_")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    auto swap = [&](const QString& from, const QString& to, const QString& third) {
        Transaction tx(live);
        live.exec(QStringLiteral("ALTER SCHEMA %1 RENAME TO %2").arg(quotedName(from), quotedName(to)));
        live.exec(QStringLiteral("ALTER SCHEMA %1 RENAME TO %2").arg(quotedName(third), quotedName(from)));
        tx.commit();
    };
    try {
        swap(liveSchema, kept, restoreSchema);
    } catch (const DatabaseError& e) {
        dropRestoreSchema();
        throw BackupError(QStringLiteral("サーバーのデータベース %1 を復元できませんでした。\n（%2）\nデータベースと設定ファイルは元のままです。")
                              .arg(shownLocation(where.databasePath), e.databaseText()));
    }
    ServerLocation keptLocation = server;
    keptLocation.schema = kept;
    result.savedDatabase = serverLocationText(keptLocation);

    try {
        replaceFile(where.configurationPath, configuration, QStringLiteral("設定ファイル"));
    } catch (const BackupError& e) {
        // Half a restore is no restore: the live schema goes back as well.
        QString undone = QStringLiteral("データベースも復元前に戻しました。");
        try {
            swap(liveSchema, restoreSchema, kept);
            dropRestoreSchema();
        } catch (const DatabaseError&) {
            undone = QStringLiteral("データベースを復元前に戻せませんでした。復元前のデータはスキーマ %1 にあります。").arg(kept);
        }
        throw BackupError(e.message() + u'\n' + undone);
    }
    try {
        config = readConfiguration(where.configurationPath);
    } catch (const ConfigurationError& e) {
        throw BackupError(QStringLiteral("復元した設定ファイルを読めません。\n%1").arg(e.message()));
    }
    return result;
}

} // namespace

void backUpData(const BackupLocation& where)
{
    if (isServerLocation(where.databasePath)) {
        backUpServerData(where);
        return;
    }
    const QString folder = checkBackupDirectory(where);
    if (!QFileInfo(where.databasePath).isFile())
        throw BackupError(QStringLiteral("データベースファイル %1 が見つかりません。").arg(shown(where.databasePath)));
    const QByteArray configuration = readWholeFile(where.configurationPath, QStringLiteral("設定ファイル"));

    TemporaryPath databaseCopy(folder, where.databaseFileName);
    TemporaryPath configurationCopy(folder, ConfigurationFileName);
    try {
        RawConnection live(where.databasePath, SQLITE_OPEN_READWRITE);
        RawConnection copy(databaseCopy.path(), SQLITE_OPEN_READWRITE);
        // One snapshot for the copy and the row counts it is checked against.
        execute(live.get(), "BEGIN");
        const QMap<QString, qint64> counts = rowCounts(live.get());
        copyDatabase(live.get(), copy.get());
        execute(live.get(), "COMMIT");
        useRollbackJournal(copy.get());
        const QString problem = connectionProblem(copy.get(), Check::Quick);
        if (!problem.isEmpty())
            throw BackupError(QStringLiteral("バックアップしたデータベースを確認できませんでした。\n%1\n"
                                             "以前のバックアップはそのまま残っています。").arg(problem));
        if (rowCounts(copy.get()) != counts)
            throw BackupError(QStringLiteral("バックアップしたデータベースの件数が元のデータベースと一致しません。\n"
                                             "以前のバックアップはそのまま残っています。"));
    } catch (const SqliteFailure& e) {
        throw BackupError(QStringLiteral("データベース %1 をバックアップできませんでした。\n（%2）\n"
                                         "以前のバックアップはそのまま残っています。")
                              .arg(shown(where.databasePath), e.text()));
    }
    writeWholeFile(configurationCopy.path(), configuration, QStringLiteral("設定ファイルのコピー"));

    // Both copies are complete and checked: only now do they replace the
    // earlier backup.
    databaseCopy.renameTo(where.backupDatabasePath());
    configurationCopy.renameTo(where.backupConfigurationPath());
}

namespace {

QString fileProblem(const QString& path, Check check)
{
    if (!QFileInfo(path).isFile())
        return QStringLiteral("データベースファイル %1 がありません。").arg(shown(path));
    try {
        RawConnection connection(path, SQLITE_OPEN_READONLY);
        return connectionProblem(connection.get(), check);
    } catch (const SqliteFailure& e) {
        return QStringLiteral("データベースとして読めません。（%1）").arg(e.text());
    }
}

} // namespace

QString databaseProblem(const QString& path)
{
    return fileProblem(path, Check::Full);
}

RestoreResult restoreData(const BackupLocation& where, Configuration& config)
{
    if (isServerLocation(where.databasePath))
        return restoreServerData(where, config);
    checkBackupDirectory(where);
    const QString sourceDatabase = where.backupDatabasePath();
    const QString sourceConfiguration = where.backupConfigurationPath();
    if (!QFileInfo(sourceDatabase).isFile())
        throw BackupError(QStringLiteral("バックアップのデータベースファイル %1 がありません。\n何も変更していません。")
                              .arg(shown(sourceDatabase)));
    const QByteArray configuration = readBackupConfiguration(sourceConfiguration);

    // The backup database is copied beside the live one and checked there,
    // so what is checked is exactly what is restored.
    const QString liveFolder = QFileInfo(where.databasePath).absolutePath();
    if (!QFileInfo(liveFolder).isDir())
        throw BackupError(QStringLiteral("データベースのディレクトリ %1 がありません。\n何も変更していません。").arg(shown(liveFolder)));
    TemporaryPath staged(liveFolder, where.databaseFileName);
    try {
        RawConnection backup(sourceDatabase, SQLITE_OPEN_READONLY);
        RawConnection copy(staged.path(), SQLITE_OPEN_READWRITE);
        copyDatabase(backup.get(), copy.get());
        useRollbackJournal(copy.get());
        const QString problem = connectionProblem(copy.get(), Check::Full);
        if (!problem.isEmpty())
            throw BackupError(QStringLiteral("バックアップのデータベースファイル %1 からは復元できません。\n%2\n何も変更していません。")
                                  .arg(shown(sourceDatabase), problem));
    } catch (const SqliteFailure& e) {
        throw BackupError(QStringLiteral("バックアップのデータベースファイル %1 を読めません。\n（%2）\n何も変更していません。")
                              .arg(shown(sourceDatabase), e.text()));
    }
    // A backup an earlier version made gains what this version adds before
    // it goes live.
    try {
        Database upgraded(staged.path());
        upgradeSchema(upgraded);
    } catch (const DatabaseError& e) {
        throw BackupError(QStringLiteral("バックアップのデータベースファイル %1 を今の版の形にできません。\n（%2）\n何も変更していません。")
                              .arg(shown(sourceDatabase), e.databaseText()));
    }

    // The pair as it is now stays beside the database.
    RestoreResult result;
    const bool liveExists = QFileInfo(where.databasePath).isFile();
    if (liveExists) {
        result.savedDatabase = savedDatabasePath(where);
        keepDatabaseCopy(where.databasePath, result.savedDatabase);
    }
    if (QFileInfo(where.configurationPath).isFile()) {
        result.savedConfiguration = savedConfigurationPath(where);
        replaceFile(result.savedConfiguration, readWholeFile(where.configurationPath, QStringLiteral("設定ファイル")),
                    QStringLiteral("設定ファイルの控え"));
    }

    // The live database takes the backup's pages through SQLite: connections
    // still open see the restored data, and no stale log can undo it.
    if (liveExists) {
        try {
            copyPagesInto(staged.path(), where.databasePath);
        } catch (const SqliteFailure& e) {
            throw BackupError(QStringLiteral("データベース %1 を復元できませんでした。\n（%2）\nデータベースと設定ファイルは元のままです。")
                                  .arg(shown(where.databasePath), e.text()));
        }
    } else {
        staged.renameTo(where.databasePath);
    }

    try {
        replaceFile(where.configurationPath, configuration, QStringLiteral("設定ファイル"));
    } catch (const BackupError& e) {
        // Half a restore is no restore: the database goes back as well.
        QString undone = QStringLiteral("データベースも復元前に戻しました。");
        try {
            if (liveExists) {
                copyPagesInto(result.savedDatabase, where.databasePath);
            } else {
                QFile::remove(where.databasePath);
            }
        } catch (const SqliteFailure&) {
            undone = QStringLiteral("データベースを復元前に戻せませんでした。復元前のデータベースは %1 にあります。")
                         .arg(shown(result.savedDatabase));
        }
        throw BackupError(e.message() + u'\n' + undone);
    }

    try {
        config = readConfiguration(where.configurationPath);
    } catch (const ConfigurationError& e) {
        throw BackupError(QStringLiteral("復元した設定ファイルを読めません。\n%1").arg(e.message()));
    }
    // The staged copy had the full check; the live database now holds its
    // pages, so reading every page again is enough to see they arrived.
    const QString problem = fileProblem(where.databasePath, Check::Quick);
    if (!problem.isEmpty())
        throw BackupError(QStringLiteral("復元したデータベース %1 に問題があります。\n%2\n復元前のデータベースは %3 にあります。")
                              .arg(shown(where.databasePath), problem, shown(result.savedDatabase)));
    return result;
}
