// The schema of a new shop: the tables the screens name, the column order
// the posting copies rely on, the deletion rules and the seed rows.
#include "core/Date.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "support/ShopData.h"
#include "support/TestInstallation.h"

#include <QDate>
#include <QSqlQuery>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

QString kindName(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Integer:
        return QStringLiteral("INTEGER");
    case ValueKind::Currency:
        return QStringLiteral("CURRENCY");
    case ValueKind::Date:
        return QStringLiteral("DATE");
    case ValueKind::Single:
        return QStringLiteral("SINGLE");
    case ValueKind::Text:
        break;
    }
    return QStringLiteral("TEXT");
}

// "name:TYPE" of each column in order: the declared type in a file, the
// kind of the column's type on a server.
QStringList columns(Database& db, const QString& table)
{
    QStringList names;
    if (db.onServer()) {
        for (const ColumnInfo& c : tableColumns(db, table))
            names << c.name + QStringLiteral(":") + kindName(c.kind);
        return names;
    }
    QSqlQuery q = db.exec(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"), {table});
    while (q.next())
        names << q.value(0).toString() + QStringLiteral(":") + q.value(1).toString();
    return names;
}

QString codesOf(Database& db, const QString& sql)
{
    QStringList codes;
    QSqlQuery q = db.exec(sql);
    while (q.next())
        codes << q.value(0).toString();
    return codes.join(u',');
}

void addCustomer(Database& db, const QString& code, const QString& billedTo = QStringLiteral("0"))
{
    insertCustomer(db, {.code = code, .name = QStringLiteral("テスト"), .billTo = billedTo});
}

// Deletes the customer and returns the database's refusal, or an empty text.
QString deleteCustomer(Database& db, const QString& code)
{
    try {
        db.exec("DELETE FROM 顧客マスター WHERE 顧客コード = ?", {code});
        return {};
    } catch (const DatabaseError& e) {
        return e.databaseText();
    }
}

const QString salesColumns = QStringLiteral(
    "売上シリアル:INTEGER,売上伝票番号:INTEGER,売上年月日:DATE,売上顧客コード:TEXT,売上種別コード:INTEGER,"
    "売上部門コード:INTEGER,売上税区分コード:INTEGER,売上単品コード:TEXT,売上単品名:TEXT,売上単価:CURRENCY,"
    "売上個数:CURRENCY");

} // namespace

TEST(Schema, PostingCopiesHaveTheSameColumnsInTheSameOrder)
{
    TestInstallation inst;
    Database db = inst.database();
    EXPECT_EQ(columns(db, "売上商品マスター仮").join(u','), salesColumns);
    EXPECT_EQ(columns(db, "売上商品マスター").join(u','), salesColumns);
    EXPECT_EQ(columns(db, "売掛マスター").join(u','), salesColumns);
    const QString journal = QStringLiteral(
        "経理シリアル:INTEGER,経理伝票番号:INTEGER,経理年月日:DATE,経理金額:CURRENCY,経理借方コード:INTEGER,"
        "経理借方相手先コード:INTEGER,経理貸方コード:INTEGER,経理貸方相手先コード:TEXT");
    EXPECT_EQ(columns(db, "経理マスター仮").join(u','), journal);
    EXPECT_EQ(columns(db, "経理マスター").join(u','), journal);

    // The daily update's copy: holding rows move with their serials.
    db.exec("INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード) VALUES (7, 36938, '1')");
    db.exec("INSERT INTO 売上商品マスター SELECT * FROM 売上商品マスター仮");
    db.exec("INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理貸方相手先コード) VALUES (7, 36938, '1')");
    db.exec("INSERT INTO 経理マスター SELECT * FROM 経理マスター仮");
    EXPECT_EQ(db.scalar("SELECT 売上伝票番号 FROM 売上商品マスター").toInt(), 7);
    EXPECT_EQ(db.scalar("SELECT 経理伝票番号 FROM 経理マスター").toInt(), 7);
}

TEST(Schema, EveryTableTheScreensNameExists)
{
    TestInstallation inst;
    Database db = inst.database();
    const QString expected = QStringLiteral(
        "ガスデータ,ガスデータ種別コードＴＢＬ,勘定科目TBL,勘定科目TBLＣＯＰＹ,各勘定帳,商品マスター,商品部門マスター,"
        "売上商品マスター,売上商品マスター仮,売上種別コードＴＢＬ,売掛マスター,売掛条件ＴＢＬ,店コードＴＢＬ,"
        "引落口座種別ＴＢＬ,引落銀行ＴＢＬ,担当者コードＴＢＬ,決済方法ＴＢＬ,灯油サービスレベルＴＢＬ,税区分ＴＢＬ,"
        "米サービスレベルＴＢＬ,経理マスター,経理マスター仮,経理借方相手先ＴＢＬ,配達予定,顧客ガスタイプＴＢＬ,顧客マスター,"
        "引落結果処理ＴＢＬ,引落結果入金ＴＢＬ,年次更新ＴＢＬ,請求内訳ＴＢＬ");
    QStringList tables =
        db.onServer() ? shopTableNames(db)
                      : codesOf(db, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'")
                            .split(u',');
    tables.sort();
    QStringList want = expected.split(u',');
    if (db.onServer())
        for (QString& name : want)
            name = tableKey(name);
    want.sort();
    EXPECT_EQ(tables, want);
    // The customer master has its 32 fields, the bank fields of a direct
    // debit among them.
    EXPECT_EQ(columns(db, "顧客マスター").size(), 32);
    EXPECT_EQ(columns(db, "決済方法ＴＢＬ").size(), 10);
}

TEST(Schema, CodesCompareEqualWithTrailingBlanks)
{
    TestInstallation inst;
    Database db = inst.database();
    db.exec("INSERT INTO 商品マスター (単品コード, 単品名称) VALUES ('12', '新米５ｋｇ')");
    db.exec("INSERT INTO 売上商品マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上単品コード)"
            " VALUES (1, 1, 36938, '1', '12           ')");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 商品マスター, 売上商品マスター WHERE 単品コード = 売上単品コード").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 売上商品マスター WHERE 売上単品コード = ?", {"12"}).toInt(), 1);
    // A padded copy of an existing code is the same code, not a new product.
    EXPECT_THROW(db.exec("INSERT INTO 商品マスター (単品コード) VALUES ('12   ')"), DatabaseError);
}

TEST(Schema, CustomerWithHistoryCannotBeDeleted)
{
    TestInstallation inst;
    Database db = inst.database();
    const QString refused = QStringLiteral("過去のデータが残っているため顧客の削除ができません。");
    // Each table that carries a customer code keeps its customer on its own.
    const QStringList references = {
        "INSERT INTO 売上商品マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード) VALUES (1, 1, 36938, ?)",
        "INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード) VALUES (1, 36938, ?)",
        "INSERT INTO 売掛マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード) VALUES (1, 1, 36938, ?)",
        "INSERT INTO 経理マスター (経理シリアル, 経理伝票番号, 経理年月日, 経理貸方相手先コード) VALUES (1, 1, 36938, ?)",
        "INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理貸方相手先コード) VALUES (1, 36938, ?)",
        "INSERT INTO ガスデータ (ガス年月日, ガス相手先コード) VALUES (36938, ?)",
    };
    int n = 0;
    for (const QString& insert : references) {
        const QString code = QString::number(100 + ++n);
        addCustomer(db, code);
        // The row carries the code blank-padded, as the slip writes it.
        db.exec(insert, {code + QStringLiteral("   ")});
        EXPECT_EQ(deleteCustomer(db, code), refused) << insert.toStdString();
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 顧客マスター WHERE 顧客コード = ?", {code}).toInt(), 1);
        // Nor may its code change under the rows that carry it.
        EXPECT_THROW(db.exec("UPDATE 顧客マスター SET 顧客コード = 'X' WHERE 顧客コード = ?", {code}), DatabaseError);
    }

    // A customer others are billed to stays while they are.
    addCustomer(db, "200");
    addCustomer(db, "201", "200");
    EXPECT_EQ(deleteCustomer(db, "200"), refused);
    // A customer billed to itself by its own code is no obstacle.
    addCustomer(db, "300");
    db.exec("UPDATE 顧客マスター SET 顧客売掛請求先コード = '300' WHERE 顧客コード = '300'");
    EXPECT_EQ(deleteCustomer(db, "300"), QString());

    // Without history the customer goes, and its code may be changed.
    addCustomer(db, "400");
    db.exec("UPDATE 顧客マスター SET 顧客コード = '401' WHERE 顧客コード = '400'");
    EXPECT_EQ(deleteCustomer(db, "401"), QString());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 顧客マスター WHERE 顧客コード IN ('400', '401', '300')").toInt(), 0);
}

TEST(Schema, ProductSoldCannotBeDeleted)
{
    TestInstallation inst;
    Database db = inst.database();
    db.exec("INSERT INTO 商品マスター (単品コード) VALUES ('4901'), ('4902'), ('4903'), ('4904')");
    db.exec("INSERT INTO 売上商品マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上単品コード)"
            " VALUES (1, 1, 36938, '1', '4901         ')");
    db.exec("INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード, 売上単品コード) VALUES (2, 36938, '1', '4902')");
    db.exec("INSERT INTO 売掛マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上単品コード)"
            " VALUES (3, 3, 36938, '1', '4903')");
    for (const char* code : {"4901", "4902", "4903"}) {
        try {
            db.exec("DELETE FROM 商品マスター WHERE 単品コード = ?", {QString::fromUtf8(code)});
            ADD_FAILURE() << code << " was deleted";
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.databaseText(), QStringLiteral("この商品は、削除できません。"));
        }
    }
    db.exec("DELETE FROM 商品マスター WHERE 単品コード = '4904'");
    EXPECT_EQ(codesOf(db, "SELECT 単品コード FROM 商品マスター ORDER BY 1"), "4901,4902,4903");
}

TEST(Schema, ProductCodeOfASoldProductCannotBeChanged)
{
    TestInstallation inst;
    Database db = inst.database();
    db.exec("INSERT INTO 商品マスター (単品コード) VALUES ('4901'), ('4902')");
    db.exec("INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード, 売上単品コード) VALUES (2, 36938, '1', '4901')");
    try {
        db.exec("UPDATE 商品マスター SET 単品コード = '5901' WHERE 単品コード = '4901'");
        ADD_FAILURE() << "the code of a sold product was changed";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.databaseText(), QStringLiteral("売上データが残っているため商品コードは変更できません。"));
    }
    db.exec("UPDATE 商品マスター SET 単品コード = '5902' WHERE 単品コード = '4902'");
    EXPECT_EQ(codesOf(db, "SELECT 単品コード FROM 商品マスター ORDER BY 1"), "4901,5902");
}

TEST(Schema, ColumnsHoldOnlyTheirKind)
{
    TestInstallation inst;
    Database db = inst.database();
    auto refused = [&](const QString& sql, const QVariantList& params) {
        try {
            db.exec(sql, params);
        } catch (const DatabaseError&) {
            return true;
        }
        return false;
    };
    const QString product = "INSERT INTO 商品マスター (単品コード, 単品売価, 単品米キロ) VALUES (?, ?, ?)";
    // A price bound as a real number of yen, or as text that is no number,
    // would read back as a wrong amount.
    EXPECT_TRUE(refused(product, {"A", 19.8, 0}));
    EXPECT_TRUE(refused(product, {"B", QStringLiteral("1980円"), 0}));
    EXPECT_TRUE(refused(product, {"C", 19800000, QStringLiteral("十")}));
    EXPECT_FALSE(refused(product, {"D", qint64(19800000), 10.0}));
    EXPECT_FALSE(refused(product, {"E", qint64(0), 2.5}));
    // A QDate is bound as the text 2024-05-01, which DAYNUM read as 1905.
    const QString gas = "INSERT INTO ガスデータ (ガス年月日, ガス相手先コード, ガス金額) VALUES (?, '1', 0)";
    EXPECT_TRUE(refused(gas, {QDate(2024, 5, 1)}));
    EXPECT_TRUE(refused(gas, {QStringLiteral("2024/05/01")}));
    EXPECT_FALSE(refused(gas, {sqlValue(Date::fromParts(2024, 5, 1))}));
    if (db.onServer()) {
        // A server column's type is its rule: every money, date and single
        // column of the schema has its kind, and refuses a text.
        int checked = 0;
        for (const QString& table : shopTableNames(db))
            for (const ColumnInfo& c : tableColumns(db, table)) {
                if (c.kind != ValueKind::Currency && c.kind != ValueKind::Date && c.kind != ValueKind::Single)
                    continue;
                EXPECT_TRUE(refused(QStringLiteral("UPDATE %1 SET %2 = '1980円' WHERE 1 = 0").arg(table, c.name), {}))
                    << table.toStdString() << "." << c.name.toStdString();
                ++checked;
            }
        EXPECT_GE(checked, 40);
        return;
    }
    // Every CURRENCY, DATE and SINGLE column of the schema carries its rule.
    QSqlQuery columns = db.exec(
        "SELECT m.name, p.name, p.type FROM sqlite_master m, pragma_table_info(m.name) p"
        " WHERE m.type = 'table' AND p.type IN ('CURRENCY', 'DATE', 'SINGLE')");
    int checked = 0;
    while (columns.next()) {
        const QString table = columns.value(0).toString(), column = columns.value(1).toString();
        const QString sql = db.scalar("SELECT sql FROM sqlite_master WHERE name = ?", {table}).toString();
        EXPECT_TRUE(sql.contains("CHECK (typeof(" + column + ")")) << table.toStdString() << "." << column.toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 40);
}

TEST(Schema, SeedRowsOfANewShop)
{
    TestInstallation inst;
    Database db = inst.database();
    // The accounts the program posts to without asking.
    EXPECT_EQ(codesOf(db, "SELECT 科目番号 FROM 勘定科目TBL WHERE 科目番号 IN (10, 110, 3075, 3079, 5000, 5010, 5050, 5060, 5090)"
                          " ORDER BY 1"),
              "10,110,3075,3079,5000,5010,5050,5060,5090");
    // Every range the screens select from has accounts to offer.
    for (auto [low, high] : {std::pair{1, 999}, {3000, 4999}, {5000, 5499}, {5500, 5999}, {6000, 7999}, {9000, 9999}})
        EXPECT_GT(db.scalar("SELECT COUNT(*) FROM 勘定科目TBL WHERE 科目番号 BETWEEN ? AND ?", {low, high}).toInt(), 0)
            << low << "-" << high;
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 勘定科目TBL WHERE 勘定科目名 = ''").toInt(), 0);
    EXPECT_EQ(codesOf(db, "SELECT 税区分コード FROM 税区分ＴＢＬ ORDER BY 1"), "0,1,5,6,9");
    EXPECT_EQ(codesOf(db, "SELECT 売上種別コード FROM 売上種別コードＴＢＬ ORDER BY 1"), "0,1");
    EXPECT_EQ(codesOf(db, "SELECT ガスデータ種別コード FROM ガスデータ種別コードＴＢＬ ORDER BY 1"), "1,5,6,7,8,9");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 顧客マスター").toInt(), 0);
}
