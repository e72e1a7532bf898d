// The connection class: SQL functions, transactions, errors, and that a
// database file is never created behind the operator's back.
#include "core/Currency.h"
#include "core/Date.h"
#include "db/Database.h"
#include "support/ShopData.h"
#include "support/TestInstallation.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <limits>
#include <sqlite3.h>

namespace {

qint64 ticks(const char* text)
{
    return yen(text).ticks();
}

void insertHoldingLine(Database& db, int slip, const QString& customer, const char* price, const char* quantity)
{
    insertSalesLine(db, QStringLiteral("売上商品マスター仮"),
                    {.slip = slip,
                     .date = day(2001, 2, 16),
                     .customer = customer,
                     .productCode = QStringLiteral("1001"),
                     .price = yen(price),
                     .quantity = yen(quantity)});
}

} // namespace

TEST(DatabaseFunctions, LineAmountsAndDayNumbersAreExact)
{
    TestInstallation inst;
    Database db = inst.database();
    // 105 × 0.5 = 52.5, whole part 52; 0.29 × 100 is exactly 29 (not 28.99...).
    EXPECT_EQ(db.scalar("SELECT CUR_INT(CUR_MUL(?, ?))", {ticks("105"), ticks("0.5")}).toLongLong(), ticks("52"));
    EXPECT_EQ(db.scalar("SELECT CUR_INT(CUR_MUL(?, ?))", {ticks("0.29"), ticks("100")}).toLongLong(), ticks("29"));
    // Whole part toward minus infinity: a refund line of -12.5 counts -13.
    EXPECT_EQ(db.scalar("SELECT CUR_INT(?)", {ticks("-12.5")}).toLongLong(), ticks("-13"));
    // Products are rounded to four places, half to even.
    EXPECT_EQ(db.scalar("SELECT CUR_MUL(?, ?)", {ticks("0.0001"), ticks("0.5")}).toLongLong(), 0);
    EXPECT_EQ(db.scalar("SELECT CUR_MUL(?, ?)", {ticks("0.0003"), ticks("0.5")}).toLongLong(), 2);
    EXPECT_TRUE(db.scalar("SELECT CUR_MUL(NULL, 1)").isNull());
    // A date with a time of day still belongs to its day.
    EXPECT_EQ(db.scalar("SELECT DAYNUM(?)", {36938.75}).toLongLong(), 36938);

    // The amount of a slip summed in SQL, as every listing computes it.
    insertHoldingLine(db, 1, "1", "105", "0.5");
    insertHoldingLine(db, 1, "1", "1000", "3");
    EXPECT_EQ(currencyValue(db.scalar("SELECT SUM(CUR_INT(CUR_MUL(売上単価, 売上個数))) FROM 売上商品マスター仮")),
              Currency::fromUnits(3052));
}

namespace {

// The database's refusal of a statement, or an empty text when it ran.
QString refusal(Database& db, const QString& sql, const QVariantList& params = {})
{
    try {
        db.exec(sql, params);
    } catch (const DatabaseError& e) {
        return e.databaseText().isEmpty() ? QStringLiteral("refused") : e.databaseText();
    }
    return QString();
}

} // namespace

TEST(DatabaseFunctions, MoneyFunctionsRefuseOverflowAndArgumentsOfAnotherKind)
{
    TestInstallation inst;
    Database db = inst.database();
    // 1980 yen × 4901234567894 (a barcode in the quantity box) is no amount.
    EXPECT_NE(refusal(db, "SELECT CUR_MUL(?, ?)", {ticks("1980"), ticks("4901234567894")}), QString());
    EXPECT_NE(refusal(db, "SELECT CUR_INT(?)", {std::numeric_limits<qint64>::min()}), QString());
    // A SINGLE column (10 kg of rice per unit) handed to CUR_MUL was read as
    // ticks: 10 × quantity 2 gave 0.002. CUR_MUL now refuses a real number,
    // and SNG_MUL gives the product of a SINGLE and a CURRENCY value.
    // A value bound to a statement reaches a server as a bare literal that
    // takes the kind of the function's argument; there the kinds are
    // those of columns, and a real or text column is no money argument.
    if (!testingOnServer()) {
        EXPECT_NE(refusal(db, "SELECT CUR_MUL(?, ?)", {10.0, ticks("2")}), QString());
        EXPECT_NE(refusal(db, "SELECT CUR_INT(?)", {QStringLiteral("1980")}), QString());
    }
    EXPECT_NE(refusal(db, "SELECT CUR_MUL(CAST(? AS REAL), ?)", {10.0, ticks("2")}), QString());
    EXPECT_NE(refusal(db, "SELECT CUR_INT(CAST(? AS TEXT))", {QStringLiteral("1980")}), QString());
    EXPECT_DOUBLE_EQ(db.scalar("SELECT SNG_MUL(?, ?)", {10.0, ticks("2")}).toDouble(), 20.0);
    EXPECT_DOUBLE_EQ(db.scalar("SELECT SNG_MUL(?, ?)", {2.5, ticks("0.5")}).toDouble(), 1.25);
    EXPECT_TRUE(db.scalar("SELECT SNG_MUL(NULL, 1)").isNull());
    db.exec("INSERT INTO 商品マスター (単品コード, 単品米キロ) VALUES ('R10', 10)");
    insertHoldingLine(db, 1, "1", "4500", "2");
    db.exec("UPDATE 売上商品マスター仮 SET 売上単品コード = 'R10'");
    EXPECT_DOUBLE_EQ(db.scalar("SELECT SUM(SNG_MUL(単品米キロ, 売上個数)) FROM 売上商品マスター仮, 商品マスター"
                               " WHERE 売上単品コード = 単品コード").toDouble(), 20.0);
    // A date written as text is no day serial ('2024-05-01' read as a day in 1905).
    if (!testingOnServer()) {
        EXPECT_NE(refusal(db, "SELECT DAYNUM(?)", {QStringLiteral("2024-05-01")}), QString());
    }
    EXPECT_NE(refusal(db, "SELECT DAYNUM(CAST(? AS TEXT))", {QStringLiteral("2024-05-01")}), QString());
}

TEST(DatabaseFunctions, WholeDayBoundsUseTheDateIndexes)
{
    TestInstallation inst;
    Database db = inst.database();
    const Date from = Date::fromParts(2024, 4, 1), to = Date::fromParts(2024, 4, 30);
    auto plan = [&](const QString& sql) {
        QString details;
        if (testingOnServer()) {
            // A server plans a few rows as one sequential read whatever its
            // indexes; with that read made dear it shows the index a
            // statement can use. Its EXPLAIN takes no bound values.
            QString statement = sql;
            for (const QVariant& bound : {dayStart(from), dayAfter(to)})
                statement.replace(statement.indexOf(u'?'), 1, QString::number(bound.toDouble(), 'g', 17));
            db.exec("SET enable_seqscan = off");
            QSqlQuery q = db.exec("EXPLAIN " + statement);
            while (q.next())
                details += q.value(0).toString() + u'\n';
            q.finish();
            db.exec("RESET enable_seqscan");
            return details;
        }
        QSqlQuery q = db.exec("EXPLAIN QUERY PLAN " + sql, {dayStart(from), dayAfter(to)});
        while (q.next())
            details += q.value(3).toString() + u'\n';
        return details;
    };
    // SQLite says "USING INDEX <name>", a server "Index Scan using "<name>""
    // or "Bitmap Index Scan on "<name>""; a whole-table read is "SCAN" or
    // "Seq Scan".
    auto usingIndex = [](const QString& name) {
        return testingOnServer() ? u'"' + name + u'"' : QStringLiteral("USING INDEX ") + name;
    };
    const QString tableRead = testingOnServer() ? QStringLiteral("Seq Scan") : QStringLiteral("SCAN");
    const QString trialBalance = plan("SELECT SUM(経理金額) FROM 経理マスター WHERE 経理年月日 >= ? AND 経理年月日 < ?");
    EXPECT_TRUE(trialBalance.contains(usingIndex("経理_日付"))) << trialBalance.toStdString();
    const QString oldSales = plan("DELETE FROM 売上商品マスター WHERE 売上年月日 >= ? AND 売上年月日 < ?");
    EXPECT_TRUE(oldSales.contains(usingIndex("売上_日付"))) << oldSales.toStdString();
    EXPECT_FALSE(oldSales.contains(tableRead)) << oldSales.toStdString();

    // The bounds take whole days: a row at 23:00 on the last day is inside,
    // one at 00:00 the day after is not, one the day before the first is not.
    const QString insert = "INSERT INTO 経理マスター (経理シリアル, 経理伝票番号, 経理年月日, 経理金額) VALUES (?, 1, ?, ?)";
    db.exec(insert, {1, double(to.dayNumber()) + 23.0 / 24, ticks("100")});
    db.exec(insert, {2, double(to.dayNumber() + 1), ticks("20")});
    db.exec(insert, {3, double(from.dayNumber() - 1) + 0.5, ticks("3")});
    db.exec(insert, {4, double(from.dayNumber()), ticks("4000")});
    EXPECT_EQ(currencyValue(db.scalar("SELECT SUM(経理金額) FROM 経理マスター WHERE 経理年月日 >= ? AND 経理年月日 < ?",
                                      {dayStart(from), dayAfter(to)})),
              Currency::fromUnits(4100));
}

TEST(DatabaseTransactions, AllOrNothing)
{
    TestInstallation inst;
    Database db = inst.database();
    {
        Transaction tx(db);
        insertHoldingLine(db, 1, "1", "100", "1");
        // leaving without commit rolls back
    }
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);

    {
        Transaction outer(db);
        insertHoldingLine(db, 2, "1", "100", "1");
        {
            Transaction inner(db);
            insertHoldingLine(db, 3, "1", "100", "1");
        }
        outer.commit();
    }
    QStringList slips;
    QSqlQuery held = db.exec("SELECT 売上伝票番号 FROM 売上商品マスター仮 ORDER BY 売上伝票番号");
    while (held.next())
        slips << held.value(0).toString();
    held.finish();
    EXPECT_EQ(slips, QStringList{"2"});

    // A failing statement inside a transaction leaves nothing of it.
    try {
        Transaction tx(db);
        insertHoldingLine(db, 4, "1", "100", "1");
        db.exec("INSERT INTO 売上商品マスター仮 (売上伝票番号) VALUES (5)"); // NOT NULL columns missing
        tx.commit();
        FAIL() << "the insert should have failed";
    } catch (const DatabaseError&) {
    }
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 1);
}

TEST(DatabaseErrors, CarryTheStatementAndTheDatabaseMessage)
{
    TestInstallation inst;
    Database db = inst.database();
    try {
        db.exec("SELECT 無い列 FROM 顧客マスター");
        FAIL();
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.statement().contains("無い列"));
        EXPECT_TRUE(e.databaseText().contains("無い列"));
    }
}

TEST(DatabaseFiles, NeverCreatedSilentlyAndNeverOverwritten)
{
    TestInstallation inst({.withDatabase = false});
    const QString path = inst.path("無い.db");
    EXPECT_THROW(Database{path}, DatabaseError);
    EXPECT_FALSE(QFileInfo::exists(path));

    {
        Database created = Database::create(path);
        EXPECT_EQ(created.schemaVersion(), SchemaVersion);
        created.exec("INSERT INTO 店コードＴＢＬ VALUES (1, '本店')");
    }
    EXPECT_THROW(Database::create(path), DatabaseError);
    Database reopened(path);
    EXPECT_EQ(rowCount(reopened, QStringLiteral("店コードＴＢＬ")), 1);
}

TEST(DatabaseFiles, ValuesRoundTripInTheirStoredForms)
{
    TestInstallation inst;
    Database db = inst.database();
    const Date day = Date::fromParts(2001, 2, 16);
    db.exec("INSERT INTO 顧客マスター (顧客コード, 顧客売掛前回請求金額, 顧客売掛前回締め日) VALUES ('1', ?, ?)",
            {sqlValue(Currency::parse("-1234.5").value()), sqlValue(day)});
    QSqlQuery q = db.exec("SELECT 顧客売掛前回請求金額, 顧客売掛前回締め日, 顧客ガスコード, 顧客売掛請求先コード, 顧客登録日"
                          " FROM 顧客マスター");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(currencyValue(q.value(0)).toString(), "-1234.5");
    EXPECT_EQ(dateValue(q.value(1)), day);
    // A new customer is neither a gas customer nor billed to another.
    EXPECT_EQ(q.value(2).toString(), "0");
    EXPECT_EQ(q.value(3).toString(), "0");
    EXPECT_EQ(dateValue(q.value(4)), Date::today());
}

// A shop's database of the first version is brought to the current one in
// place, keeping its rows, and ends with exactly the tables, indexes,
// triggers and views of a new database.
TEST(DatabaseFiles, AnOlderDatabaseIsUpgradedToTheSchemaOfANewOne)
{
    TestInstallation inst({.withDatabase = false});
    const QString oldPath = inst.path("旧.db");
    // A database as the first release made it: the base schema alone.
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(oldPath.toUtf8().constData(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw, schemaScript().toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }
    const auto objects = [](Database& db) {
        QStringList names;
        QSqlQuery q = db.exec("SELECT type || ' ' || name FROM sqlite_master WHERE name NOT LIKE 'sqlite%' ORDER BY 1");
        while (q.next())
            names << q.value(0).toString();
        return names;
    };
    Database old(oldPath);
    ASSERT_EQ(old.schemaVersion(), 1);
    old.exec("INSERT INTO 店コードＴＢＬ VALUES (1, '本店')");
    EXPECT_EQ(upgradeSchema(old), 1);
    EXPECT_EQ(old.schemaVersion(), SchemaVersion);
    EXPECT_EQ(rowCount(old, QStringLiteral("店コードＴＢＬ")), 1);
    Database fresh = Database::create(inst.path("新.db"));
    EXPECT_EQ(objects(old), objects(fresh));
    EXPECT_TRUE(objects(fresh).contains("table 年次更新ＴＢＬ"));
    // Nothing is done twice.
    EXPECT_EQ(upgradeSchema(old), SchemaVersion);
    EXPECT_EQ(old.schemaVersion(), SchemaVersion);
}
