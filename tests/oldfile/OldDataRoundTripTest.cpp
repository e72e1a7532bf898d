// Every table of our schema through the import: a shop database with rows
// in each table is read through the old-data interface, as the old file's
// reader gives its tables, and imported into a new file; every value comes
// out as it went in, the largest amount and a missing date among them.
#include "oldfile/OldDataImport.h"

#include "db/Database.h"
#include "support/OldDataTables.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Every row of a table, each as the text of its values with their storage
// class, sorted: what must be equal before and after.
QStringList contents(Database& db, const QString& table)
{
    QStringList rows;
    const int columns = db.scalar(QStringLiteral("SELECT COUNT(*) FROM pragma_table_info(?)"), {table}).toInt();
    for (QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM \"%1\"").arg(table)); q.next();) {
        QStringList values;
        for (int c = 0; c < columns; ++c) {
            const QVariant v = q.value(c);
            values << (v.isNull() ? QStringLiteral("NULL")
                                  : QStringLiteral("%1:%2").arg(QString::fromLatin1(v.typeName()), v.toString()));
        }
        rows << values.join(u'|');
    }
    rows.sort();
    return rows;
}

// Two rows in every table beside its seed rows: Japanese text, the largest
// and a negative amount, a date with its time and a missing one where the
// column allows it, a single and whole numbers.
void fillEveryTable(Database& db)
{
    QStringList tables;
    for (QSqlQuery q = db.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"
                                              " AND name NOT LIKE 'sqlite%' ORDER BY rowid"));
         q.next();)
        tables << q.value(0).toString();
    // The year-end's period last: dates before it may no longer be written.
    tables.removeAll(QStringLiteral("年次更新ＴＢＬ"));
    tables << QStringLiteral("年次更新ＴＢＬ");
    Transaction tx(db);
    for (const QString& table : tables) {
        QStringList names;
        QVariantList first, second;
        for (QSqlQuery q = db.exec(QStringLiteral("SELECT name, type, \"notnull\" FROM pragma_table_info(?) ORDER BY cid"),
                                   {table});
             q.next();) {
            const QString name = q.value(0).toString();
            const QString type = q.value(1).toString().toUpper();
            const bool required = q.value(2).toBool();
            names << QStringLiteral("\"%1\"").arg(name);
            if (type == u"CURRENCY") {
                first << QVariant(qlonglong(std::numeric_limits<std::int64_t>::max()));
                second << QVariant(qlonglong(-12345));
            } else if (type == u"DATE") {
                first << QVariant(table == u"年次更新ＴＢＬ" ? 2.0 : 45000.75);
                second << (required ? QVariant(table == u"年次更新ＴＢＬ" ? 3.0 : 45001.0) : QVariant());
            } else if (type == u"SINGLE") {
                first << QVariant(double(0.1f));
                second << QVariant(-2.5);
            } else if (type == u"INTEGER") {
                first << QVariant(qlonglong(900001));
                second << QVariant(qlonglong(900002));
            } else {
                first << QVariant(QStringLiteral("ひまわり①ｶﾅ"));
                second << QVariant(QStringLiteral("米・灯油「二」"));
            }
        }
        const QString insert = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                   .arg(table, names.join(u','), QStringList(names.size(), QStringLiteral("?")).join(u','));
        db.exec(insert, first);
        db.exec(insert, second);
    }
    tx.commit();
}

} // namespace

TEST(OldDataImport, EveryTableOfOursComesThroughWithEveryValueAsItWas)
{
    QTemporaryDir dir;
    const QString oldPath = dir.filePath(QStringLiteral("旧.db"));
    {
        Database old = Database::create(oldPath);
        fillEveryTable(old);
    }
    const DatabaseSource source(oldPath);
    const QString newPath = dir.filePath(QStringLiteral("新.db"));
    const ImportSummary summary = importOldData(source, newPath);

    Database old(oldPath);
    Database imported(newPath);
    const QStringList tables = source.tableNames();
    ASSERT_GE(tables.size(), 30);
    EXPECT_EQ(summary.tables.size(), tables.size());
    EXPECT_TRUE(summary.oldTablesNotKept.isEmpty());
    EXPECT_TRUE(summary.tablesNotInOldData.isEmpty());
    for (const QString& table : tables) {
        SCOPED_TRACE(table.toStdString());
        const QStringList before = contents(old, table);
        ASSERT_GE(before.size(), 2);
        EXPECT_EQ(contents(imported, table), before);
    }
    // The largest amount kept to its last tick (922,337,203,685,477.5807 yen).
    EXPECT_EQ(imported.scalar(QStringLiteral("SELECT 顧客売掛前回請求金額 FROM 顧客マスター WHERE 顧客コード = 'ひまわり①ｶﾅ'"))
                  .toLongLong(),
              std::numeric_limits<std::int64_t>::max());
}
