// The connection class: SQL functions, transactions, errors, and that a
// database file is never created behind the operator's back.
#include "core/Currency.h"
#include "core/Date.h"
#include "db/Database.h"
#include "support/TestInstallation.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

qint64 ticks(const char* text)
{
    return Currency::parse(QString::fromUtf8(text))->ticks();
}

int countRows(Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
}

void insertHoldingLine(Database& db, int slip, const QString& customer, const char* price, const char* quantity)
{
    db.exec(QStringLiteral("INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード, 売上単品コード, 売上単価, 売上個数)"
                           " VALUES (?, ?, ?, '1001', ?, ?)"),
            {slip, sqlValue(Date::fromParts(2001, 2, 16)), customer, ticks(price), ticks(quantity)});
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

TEST(DatabaseTransactions, AllOrNothing)
{
    TestInstallation inst;
    Database db = inst.database();
    {
        Transaction tx(db);
        insertHoldingLine(db, 1, "1", "100", "1");
        // leaving without commit rolls back
    }
    EXPECT_EQ(countRows(db, "売上商品マスター仮"), 0);

    {
        Transaction outer(db);
        insertHoldingLine(db, 2, "1", "100", "1");
        {
            Transaction inner(db);
            insertHoldingLine(db, 3, "1", "100", "1");
        }
        outer.commit();
    }
    EXPECT_EQ(db.scalar("SELECT GROUP_CONCAT(売上伝票番号) FROM 売上商品マスター仮").toString(), "2");

    // A failing statement inside a transaction leaves nothing of it.
    try {
        Transaction tx(db);
        insertHoldingLine(db, 4, "1", "100", "1");
        db.exec("INSERT INTO 売上商品マスター仮 (売上伝票番号) VALUES (5)"); // NOT NULL columns missing
        tx.commit();
        FAIL() << "the insert should have failed";
    } catch (const DatabaseError&) {
    }
    EXPECT_EQ(countRows(db, "売上商品マスター仮"), 1);
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
    EXPECT_EQ(countRows(reopened, "店コードＴＢＬ"), 1);
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
