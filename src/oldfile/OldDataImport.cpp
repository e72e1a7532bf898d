#include "oldfile/OldDataImport.h"

#include "db/Database.h"
#include "db/ValueKind.h"

#include <QFile>
#include <algorithm>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <cmath>
#include <limits>
#include <optional>

namespace {

struct OurColumn {
    QString name;
    ValueKind kind = ValueKind::Text;
    bool required = false;   // NOT NULL
    bool hasDefault = false;
    bool key = false;
};

QString kindName(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Text: return QStringLiteral("文字");
    case ValueKind::Integer: return QStringLiteral("整数");
    case ValueKind::Currency: return QStringLiteral("金額・数量");
    case ValueKind::Date: return QStringLiteral("日付");
    case ValueKind::Single: return QStringLiteral("小数");
    }
    return {};
}

QStringList ourTables(Database& db)
{
    QStringList tables;
    QSqlQuery q = db.exec(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
    while (q.next())
        tables << q.value(0).toString();
    return tables;
}

QList<OurColumn> ourColumns(Database& db, const QString& table)
{
    QList<OurColumn> columns;
    QSqlQuery q = db.exec(QStringLiteral("SELECT name, type, \"notnull\", dflt_value IS NOT NULL, pk "
                                         "FROM pragma_table_info(?) ORDER BY cid"),
                          {table});
    while (q.next())
        columns.append({q.value(0).toString(), kindOfDeclaredType(q.value(1).toString()), q.value(2).toBool(),
                        q.value(3).toBool(), q.value(4).toInt() > 0});
    return columns;
}

std::optional<std::int64_t> wholeNumber(double d)
{
    // Within the range a double holds every integer exactly.
    if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9007199254740992.0)
        return std::nullopt;
    return std::int64_t(d);
}

// The value our column of `kind` keeps for an old value, or nullopt when
// the old value breaks the kind. Null stays an invalid QVariant.
std::optional<QVariant> convert(const OldValue& value, ValueKind kind)
{
    if (isNull(value))
        return QVariant();
    switch (kind) {
    case ValueKind::Text:
        if (const auto* s = std::get_if<QString>(&value))
            return QVariant(*s);
        if (const auto* i = std::get_if<std::int64_t>(&value))
            return QVariant(QString::number(*i));
        return std::nullopt;
    case ValueKind::Integer:
        if (const auto* i = std::get_if<std::int64_t>(&value))
            return QVariant(qint64(*i));
        // Yes is stored as -1 by the old program, as its own code reads it.
        if (const auto* b = std::get_if<bool>(&value))
            return QVariant(qint64(*b ? -1 : 0));
        if (const auto* c = std::get_if<Currency>(&value)) {
            if (c->ticks() % Currency::Scale != 0)
                return std::nullopt;
            return QVariant(qint64(c->ticks() / Currency::Scale));
        }
        if (const auto* d = std::get_if<double>(&value)) {
            if (auto whole = wholeNumber(*d))
                return QVariant(qint64(*whole));
            return std::nullopt;
        }
        if (const auto* f = std::get_if<float>(&value)) {
            if (auto whole = wholeNumber(double(*f)))
                return QVariant(qint64(*whole));
            return std::nullopt;
        }
        if (const auto* s = std::get_if<QString>(&value)) {
            bool ok = false;
            const qint64 n = s->trimmed().toLongLong(&ok);
            if (ok)
                return QVariant(n);
        }
        return std::nullopt;
    case ValueKind::Currency:
        if (const auto* c = std::get_if<Currency>(&value))
            return sqlValue(*c);
        try {
            if (const auto* i = std::get_if<std::int64_t>(&value))
                return sqlValue(Currency::fromUnits(*i));
            if (const auto* d = std::get_if<double>(&value))
                return sqlValue(Currency::fromDouble(*d));
            if (const auto* f = std::get_if<float>(&value))
                return sqlValue(Currency::fromDouble(double(*f)));
        } catch (const CurrencyOverflow&) {
            return std::nullopt;
        }
        if (const auto* s = std::get_if<QString>(&value)) {
            if (auto parsed = Currency::parse(*s))
                return sqlValue(*parsed);
        }
        return std::nullopt;
    case ValueKind::Date:
        if (const auto* d = std::get_if<Date>(&value))
            return sqlValue(*d);
        if (const auto* i = std::get_if<std::int64_t>(&value))
            return QVariant(double(*i));
        if (const auto* x = std::get_if<double>(&value)) {
            if (std::isfinite(*x))
                return QVariant(*x);
        }
        return std::nullopt;
    case ValueKind::Single:
        // Kept as the float's own value, the way the program writes a
        // single: a Double is narrowed to the float it would have been.
        if (const auto* f = std::get_if<float>(&value))
            return QVariant(double(*f));
        if (const auto* d = std::get_if<double>(&value)) {
            if (std::isfinite(*d) && std::fabs(*d) <= std::numeric_limits<float>::max())
                return QVariant(double(float(*d)));
            return std::nullopt;
        }
        if (const auto* i = std::get_if<std::int64_t>(&value))
            return QVariant(double(float(*i)));
        if (const auto* c = std::get_if<Currency>(&value))
            return QVariant(double(float(c->toDouble())));
        return std::nullopt;
    }
    return std::nullopt;
}

QString rowKey(const QList<OurColumn>& ours, const QList<int>& sourceIndex, const OldRow& row, int rowNumber)
{
    QStringList parts;
    for (int c = 0; c < ours.size(); ++c)
        if (ours[c].key && sourceIndex[c] >= 0)
            parts << QStringLiteral("%1=%2").arg(ours[c].name, describeOldValue(row.value(sourceIndex[c])));
    if (parts.isEmpty())
        return QStringLiteral("%1行目").arg(rowNumber);
    return parts.join(QStringLiteral("、"));
}

void copyTable(Database& db, const OldDataSource& source, const QString& table, ImportedTable& summary)
{
    const QList<OurColumn> ours = ourColumns(db, table);
    const QList<OldColumn> old = source.columns(table);

    QList<int> sourceIndex;
    for (const OurColumn& column : ours) {
        int found = -1;
        for (int i = 0; i < old.size(); ++i)
            if (old[i].name == column.name)
                found = i;
        sourceIndex << found;
        if (found < 0)
            summary.columnsDefaulted << column.name;
    }
    for (const OldColumn& column : old) {
        const bool kept = std::any_of(ours.begin(), ours.end(), [&](const OurColumn& c) { return c.name == column.name; });
        if (!kept)
            summary.oldColumnsNotKept << column.name;
    }

    // A new shop's seed rows give way to the old shop's own.
    db.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));

    // One statement for each set of columns written: a null in a column
    // with a default leaves the column out, so the default is written.
    QHash<QString, QSqlQuery> statements;
    int rowNumber = 0;
    source.readRows(table, [&](const OldRow& row) {
        ++rowNumber;
        ++summary.rowsRead;
        QStringList names;
        QString pattern;
        QVariantList values;
        for (int c = 0; c < ours.size(); ++c) {
            if (sourceIndex[c] < 0)
                continue;
            const OldValue& value = row.value(sourceIndex[c]);
            const std::optional<QVariant> converted = convert(value, ours[c].kind);
            if (!converted)
                throw OldDataImportError(table, rowKey(ours, sourceIndex, row, rowNumber), ours[c].name,
                                         describeOldValue(value),
                                         QStringLiteral("%1の列には入りません").arg(kindName(ours[c].kind)));
            if (!converted->isValid() && ours[c].required) {
                if (ours[c].hasDefault)
                    continue;
                throw OldDataImportError(table, rowKey(ours, sourceIndex, row, rowNumber), ours[c].name,
                                         describeOldValue(value), QStringLiteral("値が必要です"));
            }
            names << QStringLiteral("\"%1\"").arg(ours[c].name);
            pattern += QString::number(c) + QLatin1Char(',');
            values << *converted;
        }
        auto it = statements.find(pattern);
        if (it == statements.end()) {
            QSqlQuery q(db.connection());
            const QString sql = names.isEmpty()
                ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table)
                : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                      .arg(table, names.join(QLatin1Char(',')),
                           QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')));
            if (!q.prepare(sql))
                throw DatabaseError(q.lastError().databaseText(), sql);
            it = statements.insert(pattern, q);
        }
        QSqlQuery& q = it.value();
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        if (!q.exec()) {
            const QString text = q.lastError().databaseText();
            const QString reason = text.contains(QLatin1String("UNIQUE")) ? QStringLiteral("キーが重複しています")
                                                                          : QStringLiteral("書き込めません(%1)").arg(text);
            throw OldDataImportError(table, rowKey(ours, sourceIndex, row, rowNumber), QString(), QString(), reason);
        }
        ++summary.rowsWritten;
    });
}

QString errorMessage(const QString& table, const QString& key, const QString& column, const QString& value,
                     const QString& reason)
{
    QString where = QStringLiteral("旧データの表「%1」の %2").arg(table, key);
    if (!column.isEmpty())
        where += QStringLiteral(" の列「%1」の値 %2").arg(column, value);
    return QStringLiteral("%1 は取り込めません: %2。\n取り込みは中止しました。元のデータは変わっていません。").arg(where, reason);
}

} // namespace

OldDataImportError::OldDataImportError(const QString& table, const QString& key, const QString& column,
                                       const QString& value, const QString& reason)
    : OperatorError(errorMessage(table, key, column, value, reason),
                    errorMessage(table, key, column, value, reason).toStdString()),
      table_(table), key_(key), column_(column), value_(value)
{
}

ImportSummary importOldData(const OldDataSource& source, const QString& newDatabasePath)
{
    ImportSummary summary;
    // Made before the work starts, so a failure below is this import's own
    // file to remove (an existing file is refused by create and kept).
    std::optional<Database> db(Database::create(newDatabasePath));
    try {
        const QStringList oldTables = source.tableNames();
        const QStringList tables = ourTables(*db);
        {
            BatchMemory memory(*db);
            Transaction transaction(*db);
            for (const QString& table : tables) {
                if (!oldTables.contains(table)) {
                    summary.tablesNotInOldData << table;
                    continue;
                }
                ImportedTable imported;
                imported.table = table;
                copyTable(*db, source, table, imported);
                summary.tables << imported;
            }
            transaction.commit();
        }
        for (const QString& table : oldTables)
            if (!tables.contains(table))
                summary.oldTablesNotKept << table;
    } catch (...) {
        db.reset();
        QFile::remove(newDatabasePath);
        throw;
    }
    return summary;
}
