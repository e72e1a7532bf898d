// Bringing old data into a new database file, from old tables the test
// builds: names matched, values converted by our columns' kinds exactly,
// and a value that cannot be kept stops everything with its table, key and
// value named, leaving no file behind.
#include "oldfile/OldDataImport.h"
#include "oldfile/JetFile.h"
#include "support/OldDataTables.h"

#include "db/Database.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

OldValue text(const char* s)
{
    return QString::fromUtf8(s);
}
OldValue integer(std::int64_t i)
{
    return i;
}
OldValue ticks(std::int64_t t)
{
    return Currency::fromTicks(t);
}
OldValue serial(double s)
{
    return Date::fromSerial(s);
}
const OldValue null = std::monostate{};

TableSource::Table products(QList<OldRow> rows)
{
    return {QStringLiteral("商品マスター"),
            {{"単品コード", JetType::Text},
             {"単品名称", JetType::Text},
             {"部門コード", JetType::Byte},
             {"単品売価", JetType::Currency},
             {"旧棚番号", JetType::Text},
             {"単品灯油Ｌ", JetType::Single}},
            rows};
}

TableSource::Table sales(QList<OldRow> rows)
{
    return {QStringLiteral("売上商品マスター"),
            {{"売上シリアル", JetType::LongInteger},
             {"売上伝票番号", JetType::LongInteger},
             {"売上年月日", JetType::DateTime},
             {"売上顧客コード", JetType::Text},
             {"売上単品コード", JetType::Text},
             {"売上単品名", JetType::Text},
             {"売上単価", JetType::Currency},
             {"売上個数", JetType::Currency}},
            rows};
}

struct Refusal {
    QString message;
    QString table;
    QString key;
    QString column;
    QString value;
};

Refusal refusal(const OldDataSource& source, const QString& path)
{
    try {
        importOldData(source, path);
    } catch (const OldDataImportError& e) {
        return {e.message(), e.table(), e.key(), e.column(), e.value()};
    } catch (const OperatorError& e) {
        return {e.message(), {}, {}, {}, {}};
    }
    return {QStringLiteral("(imported)"), {}, {}, {}, {}};
}

} // namespace

TEST(OldDataImport, CopiesTablesAndColumnsByNameWithExactValues)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("取り込み.db");
    TableSource source;
    source.add(products({
        {text("4901234567890"), text("灯油"), integer(3), ticks(1234567), text("A-1"), OldValue(0.1f)},
        {text("12"), null, integer(7), ticks(-2900), null, null},
    }));
    source.add(sales({
        {integer(41), integer(1001), serial(36938.0), text("1001"), text("12"), text("米"), ticks(3980000),
         ticks(25000)},
        {integer(9), integer(1001), serial(2958101.25), text("1001"), text("12"), text("米"), ticks(1), ticks(-10000)},
    }));
    source.add({QStringLiteral("勘定科目TBL"),
                {{"科目番号", JetType::LongInteger}, {"勘定科目名", JetType::Text}, {"期首残高", JetType::Currency}},
                {{integer(10), text("現金"), ticks(123456789012345)}, {integer(7777), text("旧科目"), null}}});
    source.add({QStringLiteral("旧メモ"), {{"メモ", JetType::Memo}}, {{text("x")}}});

    const ImportSummary summary = importOldData(source, path);

    ASSERT_EQ(summary.tables.size(), 3);
    // In the order of our schema, not of the old file.
    EXPECT_EQ(summary.tables[0].table, "商品マスター");
    EXPECT_EQ(summary.tables[0].rowsRead, 2);
    EXPECT_EQ(summary.tables[0].rowsWritten, 2);
    EXPECT_EQ(summary.tables[0].oldColumnsNotKept, QStringList({"旧棚番号"}));
    EXPECT_EQ(summary.tables[0].columnsDefaulted, QStringList({"単品名称カナ", "単品米キロ"}));
    EXPECT_EQ(summary.tables[1].table, "売上商品マスター");
    EXPECT_EQ(summary.tables[1].rowsWritten, 2);
    EXPECT_EQ(summary.tables[1].columnsDefaulted, QStringList({"売上種別コード", "売上部門コード", "売上税区分コード"}));
    EXPECT_EQ(summary.tables[2].table, "勘定科目TBL");
    EXPECT_EQ(summary.tables[2].rowsWritten, 2);
    EXPECT_EQ(summary.oldTablesNotKept, QStringList({"旧メモ"}));
    EXPECT_TRUE(summary.tablesNotInOldData.contains("顧客マスター"));
    EXPECT_TRUE(summary.tablesNotInOldData.contains("税区分ＴＢＬ"));
    EXPECT_FALSE(summary.tablesNotInOldData.contains("商品マスター"));

    Database db(path);
    QSqlQuery q = db.exec("SELECT 単品コード, 単品名称, 部門コード, 単品売価, typeof(単品売価), 単品灯油Ｌ, 単品米キロ "
                          "FROM 商品マスター ORDER BY 単品コード");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "12");
    EXPECT_EQ(q.value(1).toString(), ""); // null into a column with a default: the default
    EXPECT_EQ(q.value(2).toLongLong(), 7);
    EXPECT_EQ(q.value(3).toLongLong(), -2900);
    EXPECT_EQ(q.value(5).toDouble(), 0.0);
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(1).toString(), "灯油");
    EXPECT_EQ(q.value(3).toLongLong(), 1234567);
    EXPECT_EQ(q.value(4).toString(), "integer");
    // The float itself, not the decimal 0.1.
    EXPECT_EQ(q.value(5).toDouble(), double(0.1f));
    EXPECT_EQ(q.value(6).toDouble(), 0.0);

    q = db.exec("SELECT 売上シリアル, 売上年月日, 売上単価, 売上個数, 売上種別コード FROM 売上商品マスター "
                "ORDER BY 売上シリアル");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toLongLong(), 9);
    EXPECT_EQ(q.value(1).toDouble(), 2958101.25); // the time of day kept
    EXPECT_EQ(q.value(2).toLongLong(), 1);
    EXPECT_EQ(q.value(3).toLongLong(), -10000);
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toLongLong(), 41);
    EXPECT_EQ(dateValue(q.value(1)), Date::fromParts(2001, 2, 16));
    EXPECT_EQ(q.value(2).toLongLong(), 3980000);
    EXPECT_EQ(q.value(4).toLongLong(), 0);

    // The old accounts replace the new shop's seed rows; a table the old
    // data lacks keeps them.
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 勘定科目TBL").toInt(), 2);
    EXPECT_EQ(db.scalar("SELECT 期首残高 FROM 勘定科目TBL WHERE 科目番号 = 10").toLongLong(), 123456789012345);
    EXPECT_EQ(db.scalar("SELECT 期首残高 FROM 勘定科目TBL WHERE 科目番号 = 7777").toLongLong(), 0);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 税区分ＴＢＬ").toInt(), 5);
    EXPECT_EQ(db.schemaVersion(), SchemaVersion);
}

TEST(OldDataImport, ConvertsNeighbouringKindsOnlyWhenNothingIsLost)
{
    QTemporaryDir dir;
    TableSource source;
    // Whole numbers of any old kind into integers, Yes as the old -1, a
    // number into a text code, a Double into a Single as its float.
    source.add({QStringLiteral("商品マスター"),
                {{"単品コード", JetType::LongInteger},
                 {"部門コード", JetType::Double},
                 {"単品売価", JetType::LongInteger},
                 {"単品米キロ", JetType::Double}},
                {{integer(120), OldValue(4.0), integer(105), OldValue(0.3)}}});
    source.add({QStringLiteral("店コードＴＢＬ"),
                {{"店コード", JetType::Boolean}, {"店名", JetType::Text}},
                {{OldValue(true), text("本店")}, {OldValue(false), text("支店")}}});
    importOldData(source, dir.filePath("a.db"));
    Database db(dir.filePath("a.db"));
    QSqlQuery q = db.exec("SELECT 単品コード, typeof(単品コード), 部門コード, 単品売価, 単品米キロ FROM 商品マスター");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "120");
    EXPECT_EQ(q.value(1).toString(), "text");
    EXPECT_EQ(q.value(2).toLongLong(), 4);
    EXPECT_EQ(q.value(3).toLongLong(), 1050000);
    EXPECT_EQ(q.value(4).toDouble(), double(0.3f));
    EXPECT_EQ(db.scalar("SELECT 店名 FROM 店コードＴＢＬ WHERE 店コード = -1").toString(), "本店");
    EXPECT_EQ(db.scalar("SELECT 店名 FROM 店コードＴＢＬ WHERE 店コード = 0").toString(), "支店");

    // A fraction into an integer column, a date into an amount, a text that
    // is no number: each stops the import with the row named by its key.
    const struct {
        OldValue value;
        QString column;
        QString shown;
    } breaking[] = {
        {OldValue(2.5), "部門コード", "2.5"},
        {serial(36938.0), "単品売価", "2001/02/16"},
        {text("十二"), "部門コード", "「十二」"},
        {ticks(15000), "部門コード", "1.5"},
    };
    int n = 0;
    for (const auto& b : breaking) {
        TableSource bad;
        OldRow row{text("4901"), integer(1), ticks(0)};
        row[b.column == "部門コード" ? 1 : 2] = b.value;
        bad.add({QStringLiteral("商品マスター"),
                 {{"単品コード", JetType::Text}, {"部門コード", JetType::Text}, {"単品売価", JetType::Currency}},
                 {{text("1"), integer(1), ticks(0)}, row}});
        const QString path = dir.filePath(QStringLiteral("bad%1.db").arg(++n));
        const Refusal r = refusal(bad, path);
        EXPECT_EQ(r.table, "商品マスター") << r.message.toStdString();
        EXPECT_EQ(r.key, "単品コード=「4901」");
        EXPECT_EQ(r.column, b.column);
        EXPECT_EQ(r.value, b.shown);
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_EQ(refusal(TableSource().add({QStringLiteral("商品マスター"),
                                         {{"単品コード", JetType::Text}, {"部門コード", JetType::Text}},
                                         {{text("4901"), text("abc")}}}),
                      dir.filePath("msg.db"))
                  .message,
              QStringLiteral("旧データの表「商品マスター」の 単品コード=「4901」 の列「部門コード」の値 「abc」 は取り込めません: "
                             "整数の列には入りません。\n取り込みは中止しました。元のデータは変わっていません。"));
}

TEST(OldDataImport, StopsOnARepeatedKeyOrAMissingRequiredValueAndLeavesNoFile)
{
    QTemporaryDir dir;

    // Codes compare without trailing blanks: "1001" and "1001  " are one key.
    TableSource twice;
    twice.add({QStringLiteral("顧客マスター"),
               {{"顧客コード", JetType::Text}, {"顧客名前", JetType::Text}},
               {{text("1001"), text("山田")}, {text("1002"), text("佐藤")}, {text("1001  "), text("山田２")}}});
    const QString path = dir.filePath("new.db");
    Refusal r = refusal(twice, path);
    EXPECT_EQ(r.table, "顧客マスター");
    EXPECT_EQ(r.key, "顧客コード=「1001  」");
    EXPECT_TRUE(r.message.contains("キーが重複しています")) << r.message.toStdString();
    EXPECT_FALSE(QFile::exists(path));

    // A sale without its date: a table with no default for it.
    TableSource undated;
    undated.add(sales({{integer(5), integer(1), null, text("1001"), text("12"), text("米"), ticks(1), ticks(1)}}));
    r = refusal(undated, path);
    EXPECT_EQ(r.table, "売上商品マスター");
    EXPECT_EQ(r.key, "売上シリアル=5");
    EXPECT_EQ(r.column, "売上年月日");
    EXPECT_EQ(r.value, "(空)");
    EXPECT_TRUE(r.message.contains("値が必要です"));
    EXPECT_FALSE(QFile::exists(path));

    // A table without a key names the row by its place.
    TableSource gas;
    gas.add({QStringLiteral("ガスデータ"),
             {{"ガス年月日", JetType::DateTime}, {"ガス相手先コード", JetType::Text}, {"ガス検針値", JetType::Currency}},
             {{serial(40000), text("1001"), ticks(10)}, {serial(40001), text("1001"), text("xx")}}});
    r = refusal(gas, path);
    EXPECT_EQ(r.key, "2行目");
    EXPECT_EQ(r.column, "ガス検針値");

    // An existing file is never written over, and stays as it was.
    {
        QFile existing(path);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("live");
    }
    r = refusal(TableSource(), path);
    EXPECT_EQ(r.message, QStringLiteral("データベースの処理に失敗しました。処理を中止しました。\n同じ名前のファイルがすでにあります。"));
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "live");
}

TEST(OldDataImport, FromAJetFileWhoseTablesAreNoneOfOurs)
{
    const QString sample = QStringLiteral(HIMAWARI_JET_FIXTURES "/nwind.mdb");
    if (!QFileInfo::exists(sample))
        GTEST_SKIP() << "the sample file " << qPrintable(sample) << " is absent; the import is not tested on it";
    QTemporaryDir dir;
    const JetFile file(sample, "CP1252");
    const ImportSummary summary = importOldData(file, dir.filePath("new.db"));
    EXPECT_TRUE(summary.tables.isEmpty());
    EXPECT_EQ(summary.oldTablesNotKept, file.tableNames());
    EXPECT_EQ(summary.oldTablesNotKept.size(), 9);
    EXPECT_TRUE(summary.tablesNotInOldData.contains("顧客マスター"));
    Database db(dir.filePath("new.db"));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 税区分ＴＢＬ").toInt(), 5);
}
