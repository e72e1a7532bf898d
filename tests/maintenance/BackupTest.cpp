// Backup and restore: the copy holds every committed row, a damaged
// database is never backed up, and a restore brings back the configuration
// at once and a backup of the first version brought to the current one.
#include "session/Routines.h"
#include "maintenance/Backup.h"
#include "BackupData.h"
#include "db/DatabaseLocation.h"
#include "db/ExclusiveRun.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace maintenance;

namespace {

class BackupTest : public BackupFixture {};

} // namespace

TEST_F(BackupTest, CopiesCommittedRowsStillInTheWriteAheadLog)
{
    if (testingOnServer())
        GTEST_SKIP() << "a database file's write-ahead log and its copy through SQLite";
    Database live = inst.database();
    live.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    live.exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
    {
        Transaction tx(live);
        for (int i = 0; i < 100; ++i)
            addSalesLine(live, 1000 + i, day(2024, 5, 1), QStringLiteral("12"), QStringLiteral("米"), "100", "1");
        tx.commit();
    }
    ASSERT_TRUE(QFileInfo(inst.databasePath() + QStringLiteral("-wal")).size() > 0);
    // The rows are not in the main file yet: a plain file copy misses them.
    ASSERT_TRUE(QFile::copy(inst.databasePath(), inst.path(QStringLiteral("plain.db"))));
    {
        Database plain(inst.path(QStringLiteral("plain.db")));
        ASSERT_EQ(rowCount(plain, QStringLiteral("売上商品マスター")), 0);
    }

    backUpData(location(1));

    // Exactly the two files, under their own names, and no temporary left.
    EXPECT_EQ(filesIn(inst.path(QStringLiteral("backup1"))), QStringList({"HMWcfg.dat", "himawari.db"}));
    EXPECT_EQ(fileBytes(backupFile(1, QStringLiteral("HMWcfg.dat"))), inst.configurationFileBytes());
    Database backup(backupFile(1, QStringLiteral("himawari.db")));
    EXPECT_EQ(rowCount(backup, QStringLiteral("売上商品マスター")), 100);
    // The copy stands on its own: no log file needed beside it.
    EXPECT_EQ(backup.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    EXPECT_EQ(backup.schemaVersion(), SchemaVersion);
}

// A page of posted sales lines damaged on disk (its kind byte overwritten):
// the database still opens and its row counts still read through the
// indexes, but the copy's check finds the page, so the earlier backup is
// kept rather than replaced by a copy that could never be restored.
TEST_F(BackupTest, RefusesToBackUpADamagedDatabase)
{
    if (testingOnServer())
        GTEST_SKIP() << "a page of a database file damaged on disk";
    backUpData(location(1));
    const QByteArray earlierDatabase = fileBytes(backupFile(1, QStringLiteral("himawari.db")));
    qint64 page = 0;
    qint64 pageSize = 0;
    {
        Database db = inst.database();
        db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                               " INSERT INTO 売上商品マスター (売上伝票番号, 売上年月日, 売上顧客コード, 売上単品名)"
                               " SELECT i, 45400, 'C1', '特選コシヒカリ　５ｋｇ' FROM n"));
        page = db.scalar(QStringLiteral("SELECT pageno FROM dbstat WHERE name = '売上商品マスター'"
                                        " AND pagetype = 'leaf' ORDER BY pageno LIMIT 1 OFFSET 5")).toLongLong();
        pageSize = db.scalar(QStringLiteral("PRAGMA page_size")).toLongLong();
    }
    ASSERT_GT(page, 1);
    QByteArray bytes = fileBytes(inst.databasePath());
    bytes[(page - 1) * pageSize] = '\x01'; // no kind of b-tree page
    writeFile(inst.databasePath(), bytes);

    try {
        backUpData(location(1));
        FAIL() << "a damaged database was backed up";
    } catch (const BackupError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("バックアップしたデータベースを確認できませんでした。\n"
                                                          "データベースが壊れています。")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("以前のバックアップはそのまま残っています。")));
    }
    EXPECT_EQ(fileBytes(backupFile(1, QStringLiteral("himawari.db"))), earlierDatabase);
    EXPECT_EQ(filesIn(inst.path(QStringLiteral("backup1"))), QStringList({"HMWcfg.dat", "himawari.db"}));
}

TEST_F(BackupTest, RestoredConfigurationTakesEffectAtOnce)
{
    if (testingOnServer())
        GTEST_SKIP() << "the restored HMWcfg.dat moves a database file's directory; a server shop's location stays in HMWsrv.dat";
    backUpData(location(1));
    // The backed-up configuration names another database directory and
    // company name.
    Configuration other = parseConfiguration(fileBytes(backupFile(1, QStringLiteral("HMWcfg.dat"))), QStringLiteral("test"));
    other.databaseDirectory() = inst.path(QStringLiteral("moved/"));
    other.companyName() = QStringLiteral("ひまわり米穀店");
    writeFile(backupFile(1, QStringLiteral("HMWcfg.dat")), configurationBytes(other, QStringLiteral("test")));

    restoreData(location(1), testSession().config);
    EXPECT_EQ(testSession().config.databasePath, inst.path(QStringLiteral("moved/himawari.db")));
    EXPECT_EQ(testSession().config.companyName(), QStringLiteral("ひまわり米穀店"));
}

TEST_F(BackupTest, ABackupOfTheFirstVersionIsRestoredAndBroughtToTheCurrentOne)
{
    if (testingOnServer())
        GTEST_SKIP() << "a backup file of the first file schema, written through SQLite";
    backUpData(location(1));
    // The backup's database as the first version made it: the base schema
    // and one row of the shop's.
    const QString backupDatabase = backupFile(1, QStringLiteral("himawari.db"));
    QFile::remove(backupDatabase);
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(backupDatabase.toUtf8().constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, schemaScript().toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "INSERT INTO 店コードＴＢＬ VALUES (7, '支店')", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);

    EXPECT_NO_THROW(restoreData(location(1), testSession().config));
    Database live(inst.databasePath());
    EXPECT_EQ(live.schemaVersion(), SchemaVersion);
    EXPECT_EQ(live.scalar(QStringLiteral("SELECT 店名 FROM 店コードＴＢＬ WHERE 店コード = 7")).toString(),
              QStringLiteral("支店"));
    EXPECT_EQ(live.scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = '年次更新ＴＢＬ'")).toInt(), 1);
    // The backup itself is left as it was.
    Database backup(backupDatabase);
    EXPECT_EQ(backup.schemaVersion(), 1);
}

// A server shop: the archive pg_dump writes, loaded beside the live schema,
// checked, and put in its place in one step.
namespace {

class ServerBackupTest : public BackupFixture {
protected:
    void SetUp() override
    {
        if (!testingOnServer())
            GTEST_SKIP() << "needs the server";
        BackupFixture::SetUp();
        schema = serverLocation(inst.databasePath())->schema;
        Database db = inst.database();
        Transaction tx(db);
        insertCustomer(db, {.code = QStringLiteral("C1"), .name = QStringLiteral("山田　太郎"), .lastInvoice = yen("1000"),
                            .sales = yen("250.5")});
        insertCustomer(db, {.code = QStringLiteral("A01 "), .name = QStringLiteral("鈴木商店")});
        insertLedgerRow(db, QStringLiteral("経理マスター"), {.serial = 1, .slip = 11, .date = day(2024, 4, 1), .amount = yen("1250.5"),
                                                         .debit = 110, .credit = 410, .creditCounterparty = QStringLiteral("C1")});
        for (int i = 0; i < 3; ++i)
            addSalesLine(db, 21, day(2024, 5, 1), QStringLiteral("12"), QStringLiteral("特選米　５ｋｇ"), "2450.5", "1",
                         QStringLiteral("売上商品マスター仮"));
        addGasRow(db, at(2024, 5, 2, 9, 30), 1, QStringLiteral("A01 "), "1234.5");
        tx.commit();
    }
    void TearDown() override
    {
        if (!testingOnServer())
            return;
        // The schemas a restore keeps or leaves are the test's to drop.
        Database server(testServerLocation());
        QSqlQuery q = server.exec(QStringLiteral("SELECT nspname FROM pg_namespace WHERE nspname LIKE ?"), {schema + QStringLiteral("\\_%")});
        QStringList left;
        while (q.next())
            left << q.value(0).toString();
        for (const QString& name : left)
            server.exec(QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(name));
    }

    QStringList shopRows()
    {
        Database db = inst.database();
        return tableRows(db, QStringLiteral("顧客マスター")) + tableRows(db, QStringLiteral("売上商品マスター仮"))
               + tableRows(db, QStringLiteral("経理マスター")) + tableRows(db, QStringLiteral("ガスデータ"));
    }
    void changeRows()
    {
        Database db = inst.database();
        db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客名前 = '変更後' WHERE 顧客コード = 'C1'"));
        db.exec(QStringLiteral("DELETE FROM 売上商品マスター仮 WHERE 売上シリアル = 2"));
        addSalesLine(db, 22, day(2024, 5, 3), QStringLiteral("12"), QStringLiteral("米"), "100", "1", QStringLiteral("売上商品マスター仮"));
        addGasRow(db, day(2024, 5, 4), 2, QStringLiteral("C1"), "7");
    }
    QStringList schemasLike(const QString& pattern)
    {
        Database server(testServerLocation());
        QSqlQuery q = server.exec(QStringLiteral("SELECT nspname FROM pg_namespace WHERE nspname LIKE ? ORDER BY 1"), {pattern});
        QStringList names;
        while (q.next())
            names << q.value(0).toString();
        return names;
    }

    QString schema;
};

} // namespace

TEST_F(ServerBackupTest, BacksUpAndRestoresTheShopAsItWas)
{
    const QStringList before = shopRows();
    backUpData(location(1));
    EXPECT_EQ(filesIn(inst.path(QStringLiteral("backup1"))), QStringList({"HMWcfg.dat", "himawari.dump"}));
    EXPECT_EQ(fileBytes(backupFile(1, QStringLiteral("HMWcfg.dat"))), inst.configurationFileBytes());

    changeRows();
    Configuration changed = testSession().config;
    changed.companyName() = QStringLiteral("変更後の店");
    inst.writeConfigurationFile(configurationBytes(changed, inst.configurationPath()));
    const QStringList afterChange = shopRows();
    ASSERT_NE(afterChange, before);

    const RestoreResult result = restoreData(location(1), testSession().config);
    EXPECT_EQ(shopRows(), before);
    EXPECT_EQ(testSession().config.companyName(), QStringLiteral("テスト商店"));
    EXPECT_EQ(testSession().config.databasePath, inst.databasePath());
    // The held lines' counter came back with the rows: the next is 4 again.
    {
        Database db = inst.database();
        addSalesLine(db, 23, day(2024, 5, 5), QStringLiteral("12"), QStringLiteral("米"), "100", "1", QStringLiteral("売上商品マスター仮"));
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT MAX(売上シリアル) FROM 売上商品マスター仮")).toLongLong(), 4);
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT 顧客コード FROM 顧客マスター WHERE 顧客名前 = '鈴木商店'")).toString(),
                  QStringLiteral("A01 "));
    }
    // The shop as it was before the restore is kept under a dated name.
    const std::optional<ServerLocation> kept = serverLocation(result.savedDatabase);
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->schema.startsWith(schema + QStringLiteral("_before_restore_"))) << kept->schema.toStdString();
    {
        Database keptDb(result.savedDatabase);
        EXPECT_EQ(tableRows(keptDb, QStringLiteral("顧客マスター")) + tableRows(keptDb, QStringLiteral("売上商品マスター仮"))
                      + tableRows(keptDb, QStringLiteral("経理マスター")) + tableRows(keptDb, QStringLiteral("ガスデータ")),
                  afterChange);
    }
    EXPECT_EQ(fileBytes(result.savedConfiguration), configurationBytes(changed, inst.configurationPath()));
    EXPECT_EQ(schemasLike(schema + QStringLiteral("\\_restore")), QStringList());
}

TEST_F(ServerBackupTest, ATruncatedArchiveIsRefusedAndTheLiveShopStays)
{
    backUpData(location(1));
    const QString dump = backupFile(1, QStringLiteral("himawari.dump"));
    const QByteArray whole = fileBytes(dump);
    writeFile(dump, whole.left(whole.size() * 2 / 3));
    changeRows();
    const QStringList live = shopRows();
    const QByteArray configuration = inst.configurationFileBytes();

    try {
        restoreData(location(1), testSession().config);
        FAIL() << "a truncated archive was restored";
    } catch (const BackupError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("バックアップのデータベース %1 からは復元できません。\n").arg(dump)))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("何も変更していません。")));
    }
    EXPECT_EQ(shopRows(), live);
    EXPECT_EQ(inst.configurationFileBytes(), configuration);
    EXPECT_EQ(schemasLike(schema + QStringLiteral("\\_%")), QStringList());
}

// A backup taken while account 110 did not agree with the customers is
// loaded, found wanting by the checks and dropped again.
TEST_F(ServerBackupTest, ABackupWhoseReceivablesDoNotAgreeIsNotPutInPlace)
{
    {
        Database db = inst.database();
        insertLedgerRow(db, QStringLiteral("経理マスター"), {.serial = 2, .slip = 12, .date = day(2024, 4, 2), .amount = yen("300"),
                                                         .debit = 110, .credit = 410, .creditCounterparty = QStringLiteral("C1")});
    }
    backUpData(location(1));
    {
        Database db = inst.database();
        db.exec(QStringLiteral("DELETE FROM 経理マスター WHERE 経理シリアル = 2"));
    }
    const QStringList live = shopRows();
    try {
        restoreData(location(1), testSession().config);
        FAIL() << "a backup whose receivables do not agree was restored";
    } catch (const BackupError& e) {
        EXPECT_TRUE(e.message().contains(
            QStringLiteral("\n売掛金（110）の残高 1550.5円 と顧客の売掛残高の合計 1250.5円 が一致しません（差額 300円）。\n")))
            << e.message().toStdString();
    }
    EXPECT_EQ(shopRows(), live);
    EXPECT_EQ(schemasLike(schema + QStringLiteral("\\_%")), QStringList());
}

TEST_F(ServerBackupTest, ARestoreWaitsUntilNoOtherComputerIsInARun)
{
    backUpData(location(1));
    changeRows();
    const QStringList live = shopRows();
    Database other = inst.database();
    ExclusiveRun invoices(other, QStringLiteral("請求書発行"));
    EXPECT_THROW(restoreData(location(1), testSession().config), RunHeldElsewhere);
    EXPECT_EQ(shopRows(), live);
}
