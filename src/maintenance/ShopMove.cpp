#include "maintenance/ShopMove.h"

#include "core/FileReplace.h"
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "db/Dialect.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cmath>
#include <optional>

namespace {

// Rows per INSERT statement: few round trips to a server, and within the
// number of values one statement may bind.
constexpr int RowsPerStatement = 500;
constexpr int ValuesPerStatement = 30000;

QString failed(const QString& problem)
{
    return QStringLiteral("店のデータを移せませんでした。\n%1\n移し先は何も変わっていません。").arg(problem);
}

// The year-end row goes in last: the rules refuse rows dated in a period it
// closed, and the copied rows are the shop's own, not new entries.
QStringList copyOrder(QStringList tables)
{
    QStringList last;
    for (auto it = tables.begin(); it != tables.end();) {
        if (tableKey(*it) == tableKey(QStringLiteral("年次更新ＴＢＬ"))) {
            last << *it;
            it = tables.erase(it);
        } else {
            ++it;
        }
    }
    return tables + last;
}

// The rows a new shop starts with, per table (a file made for the purpose:
// both kinds are seeded alike).
const QMap<QString, qint64>& seedRowCounts()
{
    static const QMap<QString, qint64> counts = [] {
        QTemporaryDir dir;
        if (!dir.isValid())
            throw BackupError(QStringLiteral("作業用のディレクトリを作れません。"));
        Database fresh = Database::create(dir.filePath(QStringLiteral("new.db")));
        return shopRowCounts(fresh);
    }();
    return counts;
}

// The server tables that keep the order of entry in a column of their own.
bool hasRowOrder(Database& db, const QString& table)
{
    if (!db.onServer())
        return true;
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM pg_attribute WHERE attrelid = to_regclass(?)"
                                    " AND attname = 'rowid' AND NOT attisdropped"),
                     {quotedName(table)})
               .toLongLong() > 0;
}

QVariant valueFor(const QVariant& value, ValueKind kind)
{
    if (value.isNull())
        return value;
    switch (kind) {
    case ValueKind::Integer:
    case ValueKind::Currency:
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            return qlonglong(std::llround(value.toDouble()));
        if (value.typeId() == QMetaType::Bool)
            return qlonglong(value.toBool() ? 1 : 0);
        return value;
    default:
        return value;
    }
}

QString placeholders(int columns, int rows)
{
    QString one = QStringLiteral("(");
    for (int c = 0; c < columns; ++c)
        one += c == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
    one += u')';
    QStringList all;
    all.reserve(rows);
    for (int r = 0; r < rows; ++r)
        all << one;
    return all.join(QStringLiteral(", "));
}

void copyTable(Database& from, const QString& fromTable, Database& to, const QString& toTable)
{
    const QVector<ColumnInfo> sourceColumns = tableColumns(from, fromTable);
    const QVector<ColumnInfo> targetColumns = tableColumns(to, toTable);
    QMap<QString, QString> sourceByKey;
    for (const ColumnInfo& c : sourceColumns)
        sourceByKey.insert(tableKey(c.name), c.name);
    if (sourceColumns.size() != targetColumns.size())
        throw BackupError(failed(QStringLiteral("表 %1 の列の数が移し元（%2 列）と移し先（%3 列）で違います。")
                                     .arg(toTable)
                                     .arg(sourceColumns.size())
                                     .arg(targetColumns.size())));
    QStringList selected;
    QStringList inserted;
    for (const ColumnInfo& c : targetColumns) {
        const auto source = sourceByKey.constFind(tableKey(c.name));
        if (source == sourceByKey.constEnd())
            throw BackupError(failed(QStringLiteral("移し元の表 %1 に列 %2 がありません。").arg(fromTable, c.name)));
        selected << quotedName(*source);
        inserted << quotedName(c.name);
    }

    QString order;
    if (hasRowOrder(from, fromTable)) {
        order = QStringLiteral(" ORDER BY rowid");
    } else {
        QStringList positions;
        for (int i = 1; i <= selected.size(); ++i)
            positions << QString::number(i);
        order = QStringLiteral(" ORDER BY ") + positions.join(QStringLiteral(", "));
    }
    QSqlQuery rows = from.exec(QStringLiteral("SELECT ") + selected.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
                               + quotedName(fromTable) + order);

    const int columns = int(targetColumns.size());
    const int perStatement = std::max(1, std::min(RowsPerStatement, ValuesPerStatement / std::max(1, columns)));
    const QString head = QStringLiteral("INSERT INTO ") + quotedName(toTable) + QStringLiteral(" (")
                         + inserted.join(QStringLiteral(", ")) + QStringLiteral(") VALUES ");
    const QString fullStatement = head + placeholders(columns, perStatement);
    QVariantList values;
    values.reserve(perStatement * columns);
    int pending = 0;
    auto flush = [&] {
        if (pending == 0)
            return;
        to.exec(pending == perStatement ? fullStatement : head + placeholders(columns, pending), values);
        values.clear();
        pending = 0;
    };
    while (rows.next()) {
        for (int c = 0; c < columns; ++c)
            values << valueFor(rows.value(c), targetColumns[c].kind);
        if (++pending == perStatement)
            flush();
    }
    flush();
}

// The serial counters of a database, by table key: how far each table's
// serials have gone, which may be past its largest serial when rows were
// removed. A file keeps them in sqlite_sequence; a server in the identity
// sequences (a sequence never used says nothing).
QMap<QString, qint64> serialCounters(Database& db)
{
    QMap<QString, qint64> counters;
    if (!db.onServer()) {
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'sqlite_sequence'")).toLongLong() == 0)
            return counters;
        QSqlQuery q = db.exec(QStringLiteral("SELECT name, seq FROM sqlite_sequence"));
        while (q.next())
            counters.insert(tableKey(q.value(0).toString()), q.value(1).toLongLong());
        return counters;
    }
    QSqlQuery q = db.exec(QStringLiteral(
        "SELECT c.relname, pg_sequence_last_value(pg_get_serial_sequence(quote_ident(c.relname), a.attname)::regclass)"
        " FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace"
        " WHERE n.nspname = current_schema() AND c.relkind = 'r' AND a.attidentity = 'd' AND NOT a.attisdropped"));
    while (q.next()) {
        if (!q.value(1).isNull())
            counters.insert(tableKey(q.value(0).toString()), q.value(1).toLongLong());
    }
    return counters;
}

// Sets the target's serial counters past the largest serial of each table
// and past the source's counter, so a serial handed out before is never
// handed out again.
void setSerialCounters(Database& to, const QMap<QString, qint64>& sourceCounters)
{
    if (to.onServer()) {
        struct Serial {
            QString table;
            QString column;
        };
        QVector<Serial> serials;
        QSqlQuery q = to.exec(QStringLiteral(
            "SELECT c.relname, a.attname FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid"
            " JOIN pg_namespace n ON n.oid = c.relnamespace"
            " WHERE n.nspname = current_schema() AND c.relkind = 'r' AND a.attidentity = 'd' AND NOT a.attisdropped"));
        while (q.next())
            serials.append({q.value(0).toString(), q.value(1).toString()});
        for (const Serial& s : serials) {
            const qint64 largest = to.scalar(QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2").arg(quotedName(s.column), quotedName(s.table)))
                                       .toLongLong();
            const qint64 counter = std::max(largest, sourceCounters.value(tableKey(s.table), 0));
            // setval(…, 1, false): the next serial is 1, as in a new shop.
            to.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), ?, ?)"),
                    {quotedName(s.table), s.column, qlonglong(std::max<qint64>(counter, 1)), counter > 0});
        }
        return;
    }
    // A file moves its counter to the largest serial as rows come in; a
    // counter the source had gone further with is carried over.
    QStringList tables;
    QSqlQuery q = to.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND sql LIKE '%AUTOINCREMENT%'"));
    while (q.next())
        tables << q.value(0).toString();
    for (const QString& table : tables) {
        const qint64 counter = sourceCounters.value(tableKey(table), 0);
        if (counter <= 0)
            continue;
        to.exec(QStringLiteral("UPDATE sqlite_sequence SET seq = ? WHERE name = ? AND seq < ?"), {qlonglong(counter), table, qlonglong(counter)});
        to.exec(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT ?, ? WHERE NOT EXISTS"
                               " (SELECT 1 FROM sqlite_sequence WHERE name = ?)"),
                {table, qlonglong(counter), table});
    }
}

QString yen(const Currency& amount)
{
    return amount.toString() + QStringLiteral("円");
}

} // namespace

QMap<QString, qint64> shopRowCounts(Database& db)
{
    QMap<QString, qint64> counts;
    for (const QString& table : shopTableNames(db))
        counts.insert(tableKey(table), db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + quotedName(table)).toLongLong());
    return counts;
}

ReceivablesAgreement receivablesAgreement(Database& db)
{
    ReceivablesAgreement a;
    a.account = currencyValue(db.scalar(QStringLiteral(
        "SELECT COALESCE(SUM(CASE WHEN 経理借方コード = 110 THEN 経理金額 ELSE 0 END), 0)"
        " - COALESCE(SUM(CASE WHEN 経理貸方コード = 110 THEN 経理金額 ELSE 0 END), 0) FROM 経理マスター")));
    a.customers = currencyValue(db.scalar(QStringLiteral(
        "SELECT COALESCE(SUM(顧客売掛前回請求金額), 0) - COALESCE(SUM(顧客売掛入金額), 0)"
        " + COALESCE(SUM(顧客売掛締後売上額), 0) FROM 顧客マスター")));
    return a;
}

QString shopDataProblem(Database& db)
{
    const QString integrity = integrityProblem(db);
    if (!integrity.isEmpty())
        return QStringLiteral("データベースが壊れています。\n") + integrity;
    const ReceivablesAgreement receivables = receivablesAgreement(db);
    if (!receivables.agrees())
        return QStringLiteral("売掛金（110）の残高 %1 と顧客の売掛残高の合計 %2 が一致しません（差額 %3）。")
            .arg(yen(receivables.account), yen(receivables.customers), yen(receivables.account - receivables.customers));
    return QString();
}

void copyShop(Database& from, Database& to)
{
    if (from.kind() == to.kind() && from.path() == to.path())
        throw BackupError(failed(QStringLiteral("移し元と移し先が同じデータベースです。")));
    const int sourceVersion = from.schemaVersion();
    const int targetVersion = to.schemaVersion();
    if (sourceVersion != targetVersion)
        throw BackupError(failed(QStringLiteral("移し元（版 %1）と移し先（版 %2）でデータベースの版が違います。")
                                     .arg(sourceVersion)
                                     .arg(targetVersion)));

    QMap<QString, QString> targetTables;
    for (const QString& table : shopTableNames(to))
        targetTables.insert(tableKey(table), table);

    // Only a new shop takes the copy: nothing of another shop is mixed in.
    const QMap<QString, qint64>& seeds = seedRowCounts();
    const QMap<QString, qint64> targetCounts = shopRowCounts(to);
    for (auto it = targetCounts.constBegin(); it != targetCounts.constEnd(); ++it) {
        if (it.value() != seeds.value(it.key(), 0))
            throw BackupError(failed(QStringLiteral("移し先のデータベースは新しい店ではありません（表 %1 に %2 件あります）。"
                                                    "新しく作ったデータベースにだけ移せます。")
                                         .arg(targetTables.value(it.key()))
                                         .arg(it.value())));
    }

    // One view of the source for the whole copy, while others may still
    // be writing to it.
    Transaction reading(from);
    if (from.onServer())
        from.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
    const QStringList sourceTables = copyOrder(shopTableNames(from));
    for (const QString& table : sourceTables) {
        if (!targetTables.contains(tableKey(table)))
            throw BackupError(failed(QStringLiteral("移し先に表 %1 がありません。").arg(table)));
    }

    Transaction writing(to);
    try {
        for (auto it = targetCounts.constBegin(); it != targetCounts.constEnd(); ++it) {
            if (it.value() > 0)
                to.exec(QStringLiteral("DELETE FROM ") + quotedName(targetTables.value(it.key())));
        }
        for (const QString& table : sourceTables)
            copyTable(from, table, to, targetTables.value(tableKey(table)));
        setSerialCounters(to, serialCounters(from));
    } catch (const DatabaseError& e) {
        throw BackupError(failed(QStringLiteral("行を書き込めませんでした。（%1）").arg(e.databaseText())));
    }

    // The checks a restore makes, on what is about to be committed.
    const QMap<QString, qint64> sourceCounts = shopRowCounts(from);
    const QMap<QString, qint64> copiedCounts = shopRowCounts(to);
    for (const QString& table : sourceTables) {
        const qint64 source = sourceCounts.value(tableKey(table));
        const qint64 copied = copiedCounts.value(tableKey(table));
        if (source != copied)
            throw BackupError(failed(QStringLiteral("表 %1：移し元 %2 件、移し先 %3 件で一致しません。").arg(table).arg(source).arg(copied)));
    }
    const QString problem = shopDataProblem(to);
    if (!problem.isEmpty())
        throw BackupError(failed(problem));
    writing.commit();
}

void moveShopToServer(const Configuration& config, const ServerLocation& server, const QString& shopFolder)
{
    if (isServerLocation(config.databasePath))
        throw BackupError(QStringLiteral("この店のデータはすでにサーバーにあります（%1）。").arg(shownLocation(config.databasePath)));
    if (!QFileInfo(shopFolder).isDir())
        throw BackupError(QStringLiteral("店のディレクトリ %1 がありません。").arg(QDir::toNativeSeparators(shopFolder)));
    Database from(config.databasePath);

    const QString location = serverLocationText(server);
    std::optional<Database> to;
    {
        // A new shop made there by an earlier attempt is used as it is; the
        // copy refuses anything more than a new shop.
        Database probe(location);
        if (holdsTables(probe))
            to.emplace(std::move(probe));
    }
    if (!to)
        to.emplace(Database::create(location));
    copyShop(from, *to);

    QString error;
    const QString serverFile = QDir(shopFolder).filePath(ServerFileName);
    if (!replaceFileContents(serverFile, serverFileBytes(server), error))
        throw BackupError(QStringLiteral("データはサーバーに移しましたが、%1 を書き込めませんでした：%2\n"
                                         "この店は次の起動でもファイル %3 を使います。")
                              .arg(QDir::toNativeSeparators(serverFile), error, QDir::toNativeSeparators(config.databasePath)));
}

void moveShopToFile(const Configuration& config, const QString& newFilePath)
{
    if (!isServerLocation(config.databasePath))
        throw BackupError(QStringLiteral("この店のデータはサーバーにはありません（%1）。").arg(QDir::toNativeSeparators(config.databasePath)));
    if (QFileInfo::exists(newFilePath))
        throw BackupError(QStringLiteral("ファイル %1 はすでにあります。新しいファイル名を指定してください。")
                              .arg(QDir::toNativeSeparators(newFilePath)));
    Database from(config.databasePath);
    try {
        Database to = Database::create(newFilePath);
        copyShop(from, to);
    } catch (...) {
        // The connection is closed: no half-filled file stays.
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(newFilePath + QLatin1String(suffix));
        throw;
    }
}

void useFileAgain(const QString& shopFolder)
{
    const QString serverFile = QDir(shopFolder).filePath(ServerFileName);
    const QString off = serverFile + QStringLiteral(".off");
    if (!QFileInfo(serverFile).isFile())
        throw BackupError(QStringLiteral("%1 がありません。この店はすでにファイルを使っています。").arg(QDir::toNativeSeparators(serverFile)));
    QFile::remove(off);
    if (!QFile::rename(serverFile, off))
        throw BackupError(QStringLiteral("%1 の名前を %2 に変えられませんでした。").arg(QDir::toNativeSeparators(serverFile),
                                                                                  QDir::toNativeSeparators(off)));
}
