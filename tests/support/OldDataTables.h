#pragma once
// Old data held in memory, in the shape the old file's reader gives: what
// the import tests read instead of a Jet file.

#include "core/OperatorError.h"
#include "oldfile/OldDataSource.h"

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
