#pragma once
// Bringing the old program's data into a new database file of this
// program: every table of our schema the old data has, by its name, and in
// it every column of ours the old table has, by its name, converted to the
// kind our column keeps. All of it is one transaction in a file made for
// it; the live database is never touched here.

#include "core/OperatorError.h"
#include "oldfile/OldDataSource.h"

#include <QList>
#include <QString>
#include <QStringList>

// A value the import cannot keep: one that breaks the kind of its column, a
// key that repeats, a required value that is missing. Names the table, the
// row by its key and the value, so the operator can find it in the old
// program. The new file is removed by then.
class OldDataImportError : public OperatorError {
public:
    OldDataImportError(const QString& table, const QString& key, const QString& column, const QString& value,
                       const QString& reason);
    const QString& table() const { return table_; }
    // The row's key as "列=値" pairs, or its place ("12行目") in a table
    // without a key.
    const QString& key() const { return key_; }
    const QString& column() const { return column_; }
    const QString& value() const { return value_; }

private:
    QString table_;
    QString key_;
    QString column_;
    QString value_;
};

struct ImportedTable {
    QString table;
    int rowsRead = 0;
    int rowsWritten = 0;
    // Columns of the old table our table lacks (their values are left behind).
    QStringList oldColumnsNotKept;
    // Columns of ours the old table lacks (their defaults are written).
    QStringList columnsDefaulted;
};

struct ImportSummary {
    // Our tables the old data has, in the order of our schema.
    QList<ImportedTable> tables;
    // Tables of the old data our schema lacks.
    QStringList oldTablesNotKept;
    // Our tables the old data lacks: they stay as in a new shop.
    QStringList tablesNotInOldData;
};

// Creates `newDatabasePath` with our schema (it must not exist) and copies
// the old data into it. On any failure the new file is removed and the
// error passes on: an OldDataImportError for a value, an OperatorError for
// the file.
ImportSummary importOldData(const OldDataSource& source, const QString& newDatabasePath);
