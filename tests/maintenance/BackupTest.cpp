// Backup and restore: the copy holds every committed row, a damaged
// database is never backed up, and a restore brings back the configuration
// at once and a backup of the first version brought to the current one.
#include "session/Routines.h"
#include "maintenance/Backup.h"
#include "BackupData.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace maintenance;

namespace {

class BackupTest : public BackupFixture {};

} // namespace

TEST_F(BackupTest, CopiesCommittedRowsStillInTheWriteAheadLog)
{
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
