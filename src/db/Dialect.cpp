#include "db/Dialect.h"

#include "db/Database.h"

#include <QSqlQuery>

QString quotedName(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString tableKey(const QString& name)
{
    QString key = name;
    for (QChar& c : key) {
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return key;
}

bool holdsTables(Database& db)
{
    if (!db.onServer())
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'")).toLongLong() > 0;
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = current_schema()"))
               .toLongLong()
           > 0;
}

QStringList shopTableNames(Database& db)
{
    QStringList names;
    QSqlQuery q = db.onServer()
                      ? db.exec(QStringLiteral("SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
                                               " WHERE n.nspname = current_schema() AND c.relkind = 'r'"
                                               " AND c.relname <> 'スキーマ版ＴＢＬ' ORDER BY c.oid"))
                      : db.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"
                                               " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
    while (q.next())
        names << q.value(0).toString();
    return names;
}

QString tableNameForModel(const Database& db, const QString& table)
{
    if (!db.onServer())
        return table;
    return quotedName(tableKey(table));
}

QVector<ColumnInfo> tableColumns(Database& db, const QString& table)
{
    QVector<ColumnInfo> columns;
    if (!db.onServer()) {
        QSqlQuery q = db.exec(QStringLiteral("SELECT name, type FROM pragma_table_info(?) ORDER BY cid"), {table});
        while (q.next())
            columns.append({q.value(0).toString(), kindOfDeclaredType(q.value(1).toString())});
        return columns;
    }
    QSqlQuery q = db.exec(QStringLiteral("SELECT a.attname, t.typname FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid"
                                         " WHERE a.attrelid = to_regclass(?) AND a.attnum > 0 AND NOT a.attisdropped"
                                         " AND a.attname <> 'rowid' ORDER BY a.attnum"),
                          {table});
    while (q.next()) {
        const QString type = q.value(1).toString();
        ValueKind kind = ValueKind::Text;
        if (type == u"currency")
            kind = ValueKind::Currency;
        else if (type == u"dateserial")
            kind = ValueKind::Date;
        else if (type == u"single")
            kind = ValueKind::Single;
        else if (type.startsWith(u"int"))
            kind = ValueKind::Integer;
        columns.append({q.value(0).toString(), kind});
    }
    return columns;
}

QString forUpdate(const Database& db)
{
    return db.onServer() ? QStringLiteral(" FOR UPDATE") : QString();
}

void lockAgainstNewRows(Database& db, const QStringList& tables)
{
    if (!db.onServer() || tables.isEmpty())
        return;
    // EXCLUSIVE lets the other computers read on, and waits for a slip they
    // are storing to be committed first.
    db.exec(QStringLiteral("LOCK TABLE ") + tables.join(QStringLiteral(", ")) + QStringLiteral(" IN EXCLUSIVE MODE"));
}

void setLastSerial(Database& db, const QString& table, const QString& serialColumn, qint64 last)
{
    if (db.onServer()) {
        // A sequence cannot go below 1; is_called false makes 1 the next.
        db.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), ?, ?)"),
                {table, serialColumn, qMax<qint64>(last, 1), last >= 1});
        return;
    }
    db.exec(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = ?"), {table});
    db.exec(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"), {table, last});
}

ColumnChecksOff::ColumnChecksOff(Database& db) : db_(db)
{
    if (!db_.onServer())
        db_.exec(QStringLiteral("PRAGMA ignore_check_constraints = ON"));
}

ColumnChecksOff::~ColumnChecksOff()
{
    if (db_.onServer())
        return;
    try {
        db_.exec(QStringLiteral("PRAGMA ignore_check_constraints = OFF"));
    } catch (const DatabaseError&) {
    }
}

void compactDatabase(Database& db)
{
    if (!db.onServer()) {
        db.exec(QStringLiteral("VACUUM"));
        return;
    }
    db.exec(QStringLiteral("VACUUM ") + shopTableNames(db).join(QStringLiteral(", ")));
}

QString integrityProblem(Database& db, bool quick)
{
    if (!db.onServer()) {
        QSqlQuery q = db.exec(quick ? QStringLiteral("PRAGMA quick_check") : QStringLiteral("PRAGMA integrity_check"));
        QStringList lines;
        while (q.next())
            lines << q.value(0).toString();
        return lines == QStringList{QStringLiteral("ok")} ? QString() : lines.join(u'\n');
    }
    for (const QString& table : shopTableNames(db))
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table);
    return QString();
}
