// Moving a shop onto the server and back: every row arrives value for value
// in its order of entry, the serials go on above the copied ones, and a
// target that is not a new shop or a source whose receivables do not agree
// is refused with the target left as it was.
#include "maintenance/ShopMove.h"

#include "db/DatabaseLocation.h"
#include "db/Dialect.h"
#include "support/TestInstallation.h"
#include "MaintenanceData.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <algorithm>
#include <gtest/gtest.h>

using namespace maintenance;

namespace {

// Every row of a table as one text, the columns in the file's order by
// name, each value as its kind keeps it: ticks, day serials to the last
// digit, floats, integers and the text exactly (trailing blanks included).
QStringList rowsOf(Database& db, const QString& table, bool inOrderOfEntry)
{
    QString name;
    for (const QString& t : shopTableNames(db)) {
        if (tableKey(t) == tableKey(table))
            name = t;
    }
    const QVector<ColumnInfo> columns = tableColumns(db, name);
    QStringList selected;
    for (const ColumnInfo& c : columns)
        selected << quotedName(c.name);
    QSqlQuery q = db.exec(QStringLiteral("SELECT ") + selected.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
                          + quotedName(name) + (inOrderOfEntry ? QStringLiteral(" ORDER BY rowid") : QString()));
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < columns.size(); ++i) {
            const QVariant v = q.value(i);
            switch (columns[i].kind) {
            case ValueKind::Currency:
                values << QString::number(currencyValue(v).ticks());
                break;
            case ValueKind::Date:
                values << QString::number(v.toDouble(), 'g', 17);
                break;
            case ValueKind::Single:
                values << QString::number(float(v.toDouble()), 'g', 9);
                break;
            case ValueKind::Integer:
                values << QString::number(v.toLongLong());
                break;
            case ValueKind::Text:
                values << u'[' + v.toString() + u']';
                break;
            }
        }
        rows << values.join(u'|');
    }
    if (!inOrderOfEntry)
        rows.sort();
    return rows;
}

// The tables a server keeps in their order of entry.
bool keepsOrderOfEntry(const QString& table)
{
    static const QStringList tables{QStringLiteral("顧客マスター"), QStringLiteral("ガスデータ"), QStringLiteral("配達予定"),
                                    QStringLiteral("各勘定帳")};
    return tables.contains(table);
}

class ShopMoveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testingOnServer())
            GTEST_SKIP() << "needs the server";
        server = *serverLocation(inst.databasePath());
        shopFolder = inst.path(QStringLiteral("shop"));
        QDir().mkpath(shopFolder);
        shopFile = inst.path(QStringLiteral("shop/himawari.db"));
        Database::create(shopFile);
        fileConfig = testSession().config;
        fileConfig.databasePath = shopFile;
        serverConfig = testSession().config;
        serverConfig.databasePath = serverLocationText(server);
    }

    // A small shop: customers (one code with trailing blanks), posted and
    // held slips, the journal, gas data, a year-end, a bank run and a
    // delivery list, with account 110 agreeing with the customers.
    void fillShop(Database& db)
    {
        Transaction tx(db);
        insertCustomer(db, {.code = QStringLiteral("C1"), .name = QStringLiteral("山田　太郎"), .kana = QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"),
                            .lastInvoice = yen("12345"), .previousClosing = day(2024, 3, 31), .payments = yen("2000"),
                            .sales = yen("3300"), .tank = 90.5, .cylinder1 = 0.1});
        insertCustomer(db, {.code = QStringLiteral("A01  "), .name = QStringLiteral("鈴木商店（本店）"), .billTo = QStringLiteral("C1"),
                            .lastInvoice = yen("0"), .sales = yen("700")});
        insertCustomer(db, {.code = QStringLiteral("Z9"), .name = QStringLiteral("末尾空白　"), .address1 = QStringLiteral("架空市１－２ ")});
        // The journal: sales debiting 110, a payment crediting it.
        insertLedgerRow(db, QStringLiteral("経理マスター"), {.serial = 1, .slip = 101, .date = day(2024, 3, 1), .amount = yen("12345"),
                                                         .debit = 110, .credit = 410, .creditCounterparty = QStringLiteral("C1")});
        insertLedgerRow(db, QStringLiteral("経理マスター"), {.serial = 2, .slip = 102, .date = at(2024, 4, 2, 10, 30), .amount = yen("2000"),
                                                         .debit = 100, .credit = 110, .creditCounterparty = QStringLiteral("C1")});
        insertLedgerRow(db, QStringLiteral("経理マスター"), {.serial = 5, .slip = 103, .date = day(2024, 4, 5), .amount = yen("4000"),
                                                         .debit = 110, .credit = 410, .creditCounterparty = QStringLiteral("A01")});
        insertLedgerRow(db, QStringLiteral("経理マスター仮"), {.slip = 201, .date = day(2024, 4, 20), .amount = yen("550"),
                                                          .debit = 110, .credit = 410, .creditCounterparty = QStringLiteral("C1")});
        addSalesLine(db, 101, day(2024, 3, 1), QStringLiteral("12"), QStringLiteral("特選コシヒカリ　５ｋｇ"), "2450.5", "3");
        addSalesLine(db, 103, day(2024, 4, 5), QStringLiteral("20"), QStringLiteral("灯油１８Ｌ"), "1980", "1.5",
                     QStringLiteral("売掛マスター"));
        // Held slips: the counter went to 3 and the third line was deleted,
        // so the next serial is 4 whatever the largest serial says.
        for (int i = 0; i < 3; ++i)
            addSalesLine(db, 201, day(2024, 4, 20), QStringLiteral("12"), QStringLiteral("米"), "100", "1",
                         QStringLiteral("売上商品マスター仮"));
        db.exec(QStringLiteral("DELETE FROM 売上商品マスター仮 WHERE 売上シリアル = 3"));
        addGasRow(db, at(2024, 4, 1, 9, 15), 1, QStringLiteral("C1"), "1234.5");
        addGasRow(db, day(2024, 3, 1), 2, QStringLiteral("A01  "), "99");
        db.exec(QStringLiteral("INSERT INTO 年次更新ＴＢＬ (年次更新期末日, 年次更新実行日) VALUES (?, ?)"),
                {sqlValue(day(2023, 12, 31)), sqlValue(at(2024, 1, 10, 17, 45))});
        db.exec(QStringLiteral("INSERT INTO 引落結果処理ＴＢＬ (引落結果指紋, 引落結果ファイル名, 引落結果処理日, 引落結果入金日,"
                               " 引落結果件数, 引落結果金額, 引落結果先頭伝票番号, 引落結果最終伝票番号)"
                               " VALUES ('ab12', '引落結果４月.txt', ?, ?, 1, ?, 102, 102)"),
                {sqlValue(day(2024, 4, 2)), sqlValue(day(2024, 4, 2)), sqlValue(yen("2000"))});
        db.exec(QStringLiteral("INSERT INTO 引落結果入金ＴＢＬ (引落入金結果シリアル, 引落入金顧客コード, 引落入金引落日,"
                               " 引落入金金額, 引落入金伝票番号) VALUES (1, 'C1', ?, ?, 102)"),
                {sqlValue(day(2024, 4, 2)), sqlValue(yen("2000"))});
        for (int i = 0; i < 3; ++i)
            db.exec(QStringLiteral("INSERT INTO 配達予定 (配達年月日, 配達顧客名, 配達商品名, 配達商品個数) VALUES (?, ?, ?, ?)"),
                    {sqlValue(day(2024, 4, 21)), QStringLiteral("客%1").arg(3 - i), QStringLiteral("灯油"), sqlValue(yen("1"))});
        db.exec(QStringLiteral("INSERT INTO 店コードＴＢＬ VALUES (7, '支店')"));
        tx.commit();
    }

    void expectSameRows(Database& a, Database& b)
    {
        const QStringList tables = shopTableNames(a);
        ASSERT_EQ(tables.size(), shopTableNames(b).size());
        for (const QString& table : tables) {
            const bool ordered = keepsOrderOfEntry(table) || (!a.onServer() && !b.onServer());
            EXPECT_EQ(rowsOf(a, table, ordered), rowsOf(b, table, ordered)) << table.toStdString();
        }
    }

    qint64 nextHeldSerial(Database& db)
    {
        addSalesLine(db, 202, day(2024, 4, 22), QStringLiteral("12"), QStringLiteral("米"), "100", "1",
                     QStringLiteral("売上商品マスター仮"));
        return db.scalar(QStringLiteral("SELECT MAX(売上シリアル) FROM 売上商品マスター仮")).toLongLong();
    }

    TestInstallation inst{TestInstallation::Options{.withDatabase = false}};
    ServerLocation server;
    QString shopFolder;
    QString shopFile;
    Configuration fileConfig;
    Configuration serverConfig;
};

} // namespace

TEST_F(ShopMoveTest, MovesAShopToTheServerAndBackValueForValue)
{
    {
        Database file(shopFile);
        fillShop(file);
    }
    const QByteArray fileBefore = fileBytes(shopFile);

    moveShopToServer(fileConfig, server, shopFolder);

    // The shop uses the server from its next start; the file is untouched.
    EXPECT_EQ(fileBytes(QDir(shopFolder).filePath(QStringLiteral("HMWsrv.dat"))), serverFileBytes(server));
    EXPECT_EQ(fileBytes(shopFile), fileBefore);
    Database file(shopFile);
    {
        Database onServer(serverLocationText(server));
        expectSameRows(file, onServer);
        EXPECT_EQ(rowsOf(onServer, QStringLiteral("顧客マスター"), true).value(1),
                  rowsOf(file, QStringLiteral("顧客マスター"), true).value(1));
        EXPECT_EQ(onServer.scalar(QStringLiteral("SELECT 顧客コード FROM 顧客マスター WHERE 顧客名前 = '鈴木商店（本店）'")).toString(),
                  QStringLiteral("A01  "));
        EXPECT_EQ(onServer.scalar(QStringLiteral("SELECT 配達顧客名 FROM 配達予定 ORDER BY rowid")).toString(), QStringLiteral("客3"));
        // The seed rows came with the shop, not twice.
        EXPECT_EQ(rowCount(onServer, QStringLiteral("勘定科目TBL")), rowCount(file, QStringLiteral("勘定科目TBL")));
        // The serials go on where the file's counters were: the held lines
        // past the deleted third, the journal past its largest.
        EXPECT_EQ(nextHeldSerial(onServer), 4);
        insertLedgerRow(onServer, QStringLiteral("経理マスター仮"), {.slip = 203, .date = day(2024, 4, 22), .amount = yen("1")});
        EXPECT_EQ(onServer.scalar(QStringLiteral("SELECT MAX(経理シリアル) FROM 経理マスター仮")).toLongLong(), 2);
        onServer.exec(QStringLiteral("INSERT INTO 年次更新ＴＢＬ (年次更新期末日, 年次更新実行日) VALUES (?, ?)"),
                      {sqlValue(day(2023, 12, 31)), sqlValue(day(2024, 1, 1))});
        EXPECT_EQ(onServer.scalar(QStringLiteral("SELECT MAX(年次更新シリアル) FROM 年次更新ＴＢＬ")).toLongLong(), 2);
        onServer.exec(QStringLiteral("DELETE FROM 年次更新ＴＢＬ WHERE 年次更新シリアル = 2"));
        onServer.exec(QStringLiteral("DELETE FROM 経理マスター仮 WHERE 経理伝票番号 = 203"));
    }

    // And back to a new file: the same rows as the first file, in the same
    // order, and the held lines' counter (now 4) carried over.
    const QString backFile = inst.path(QStringLiteral("back.db"));
    moveShopToFile(serverConfig, backFile);
    Database back(backFile);
    {
        Database onServer(serverLocationText(server));
        expectSameRows(onServer, back);
    }
    for (const QString& table : shopTableNames(file)) {
        if (table == u"売上商品マスター仮")
            continue;
        EXPECT_EQ(rowsOf(file, table, true), rowsOf(back, table, true)) << table.toStdString();
    }
    EXPECT_EQ(back.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = '売上商品マスター仮'")).toLongLong(), 4);
    EXPECT_EQ(back.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = '年次更新ＴＢＬ'")).toLongLong(), 2);
    EXPECT_EQ(nextHeldSerial(back), 5);
    EXPECT_EQ(back.schemaVersion(), SchemaVersion);
    EXPECT_EQ(integrityProblem(back), QString());

    // Switching back to the file keeps the server location under another name.
    useFileAgain(shopFolder);
    EXPECT_FALSE(QFile::exists(QDir(shopFolder).filePath(QStringLiteral("HMWsrv.dat"))));
    EXPECT_EQ(fileBytes(QDir(shopFolder).filePath(QStringLiteral("HMWsrv.dat.off"))), serverFileBytes(server));
}

TEST_F(ShopMoveTest, CopiesMoreRowsThanOneStatementHolds)
{
    {
        Database file(shopFile);
        insertCustomer(file, {.code = QStringLiteral("C1")});
        file.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1234)"
                                 " INSERT INTO ガスデータ (ガス年月日, ガスデータ種別コード, ガス相手先コード, ガス検針値)"
                                 " SELECT 45000 + i / 7.0, i % 3, 'C1', i * 10000 FROM n"));
    }
    moveShopToServer(fileConfig, server, shopFolder);
    Database file(shopFile);
    Database onServer(serverLocationText(server));
    EXPECT_EQ(rowCount(onServer, QStringLiteral("ガスデータ")), 1234);
    EXPECT_EQ(rowsOf(onServer, QStringLiteral("ガスデータ"), true), rowsOf(file, QStringLiteral("ガスデータ"), true));
}

TEST_F(ShopMoveTest, RefusesATargetThatIsNotANewShop)
{
    {
        Database file(shopFile);
        fillShop(file);
    }
    {
        Database target = Database::create(serverLocationText(server));
        insertCustomer(target, {.code = QStringLiteral("X1"), .name = QStringLiteral("別の店の客")});
    }
    try {
        moveShopToServer(fileConfig, server, shopFolder);
        FAIL() << "a shop was copied over another one";
    } catch (const BackupError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("移し先のデータベースは新しい店ではありません（表 顧客マスター に 1 件あります）。")))
            << e.message().toStdString();
    }
    Database target(serverLocationText(server));
    EXPECT_EQ(rowsOf(target, QStringLiteral("顧客マスター"), true).size(), 1);
    EXPECT_EQ(rowCount(target, QStringLiteral("経理マスター")), 0);
    EXPECT_FALSE(QFile::exists(QDir(shopFolder).filePath(QStringLiteral("HMWsrv.dat"))));
}

TEST_F(ShopMoveTest, RefusesASourceWhoseReceivablesDoNotAgreeAndLeavesTheTargetANewShop)
{
    {
        Database file(shopFile);
        fillShop(file);
        // A journal row on 110 that no customer's balance took.
        insertLedgerRow(file, QStringLiteral("経理マスター"), {.serial = 9, .slip = 104, .date = day(2024, 4, 9), .amount = yen("500"),
                                                           .debit = 110, .credit = 410, .creditCounterparty = QStringLiteral("C1")});
    }
    try {
        moveShopToServer(fileConfig, server, shopFolder);
        FAIL() << "a shop whose receivables do not agree was moved";
    } catch (const BackupError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("売掛金（110）の残高 14845円 と顧客の売掛残高の合計 14345円 が一致しません（差額 500円）。")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("移し先は何も変わっていません。")));
    }
    EXPECT_FALSE(QFile::exists(QDir(shopFolder).filePath(QStringLiteral("HMWsrv.dat"))));
    // The target is a new shop again: seed rows only, so a second attempt
    // after the repair goes through.
    {
        Database target(serverLocationText(server));
        Database fresh = Database::create(inst.path(QStringLiteral("fresh.db")));
        EXPECT_EQ(shopRowCounts(target), shopRowCounts(fresh));
    }
    {
        Database file(shopFile);
        file.exec(QStringLiteral("DELETE FROM 経理マスター WHERE 経理シリアル = 9"));
    }
    EXPECT_NO_THROW(moveShopToServer(fileConfig, server, shopFolder));
    Database target(serverLocationText(server));
    EXPECT_EQ(rowCount(target, QStringLiteral("経理マスター")), 3);
}
