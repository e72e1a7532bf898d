#pragma once
// Old data held in memory, in the shape the old file's reader gives: what
// the import tests read instead of a Jet file.

#include "core/OperatorError.h"
#include "db/Database.h"
#include "oldfile/OldDataSource.h"

#include <QSqlQuery>

// Old data held in memory, in the shape the old file's reader gives.
class TableSource : public OldDataSource {
public:
    struct Table {
        QString name;
        QList<OldColumn> columns;
        QList<OldRow> rows;
    };

    TableSource& add(Table table)
    {
        tables_.append(std::move(table));
        return *this;
    }

    QStringList tableNames() const override
    {
        QStringList names;
        for (const Table& t : tables_)
            names << t.name;
        return names;
    }
    QList<OldColumn> columns(const QString& table) const override { return find(table).columns; }
    void readRows(const QString& table, const std::function<void(const OldRow&)>& row) const override
    {
        for (const OldRow& r : find(table).rows)
            row(r);
    }

private:
    const Table& find(const QString& name) const
    {
        for (const Table& t : tables_)
            if (t.name == name)
                return t;
        throw OperatorError(QStringLiteral("no table ") + name);
    }
    QList<Table> tables_;
};

// The declared kind of a column of ours as the old file's type.
inline JetType jetTypeOf(const QString& declared)
{
    const QString t = declared.toUpper();
    if (t == u"CURRENCY")
        return JetType::Currency;
    if (t == u"DATE")
        return JetType::DateTime;
    if (t == u"SINGLE")
        return JetType::Single;
    if (t == u"INTEGER")
        return JetType::LongInteger;
    return JetType::Text;
}

// A database of ours read as old data: the columns' declared kinds as the
// old file's types, the values as the reader gives them.
class DatabaseSource : public OldDataSource {
public:
    explicit DatabaseSource(const QString& path) : db_(path) {}

    QStringList tableNames() const override
    {
        QStringList names;
        for (QSqlQuery q = db_.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"
                                                   " AND name NOT LIKE 'sqlite%' ORDER BY name"));
             q.next();)
            names << q.value(0).toString();
        return names;
    }
    QList<OldColumn> columns(const QString& table) const override
    {
        QList<OldColumn> columns;
        for (QSqlQuery q = db_.exec(QStringLiteral("SELECT name, type FROM pragma_table_info(?) ORDER BY cid"), {table});
             q.next();)
            columns.append({q.value(0).toString(), jetTypeOf(q.value(1).toString())});
        return columns;
    }
    void readRows(const QString& table, const std::function<void(const OldRow&)>& row) const override
    {
        const QList<OldColumn> cols = columns(table);
        for (QSqlQuery q = db_.exec(QStringLiteral("SELECT * FROM \"%1\"").arg(table)); q.next();) {
            OldRow r;
            for (int c = 0; c < cols.size(); ++c) {
                const QVariant v = q.value(c);
                if (v.isNull())
                    r << OldValue(std::monostate{});
                else if (cols[c].type == JetType::Currency)
                    r << OldValue(Currency::fromTicks(v.toLongLong()));
                else if (cols[c].type == JetType::DateTime)
                    r << OldValue(Date::fromSerial(v.toDouble()));
                else if (cols[c].type == JetType::Single)
                    r << OldValue(float(v.toDouble()));
                else if (cols[c].type == JetType::LongInteger)
                    r << OldValue(std::int64_t(v.toLongLong()));
                else
                    r << OldValue(v.toString());
            }
            row(r);
        }
    }

private:
    mutable Database db_;
};

// The columns of an old 経理マスター with the amounts and accounts only.
inline QList<OldColumn> oldJournalColumns()
{
    return {{"経理シリアル", JetType::LongInteger}, {"経理伝票番号", JetType::LongInteger},
            {"経理年月日", JetType::DateTime},     {"経理金額", JetType::Currency},
            {"経理借方コード", JetType::Integer},  {"経理貸方コード", JetType::Integer}};
}
