// The backup screen: a failure leaves the earlier backup and the live files
// as they were, a refused backup directory or backup pair changes nothing,
// and a restore brings back the database and the slip counter together,
// for connections already open.
#include "session/Routines.h"
#include "maintenance/Backup.h"
#include "maintenance/BackupScreen.h"
#include "sales/SlipStore.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/SlipLines.h"
#include "BackupData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace maintenance;

namespace {

// A one-line cash slip for customer C1 in the session's buffer.
void prepareSlip(SessionState& s)
{
    startSlip(s, QStringLiteral("C1"), day(2024, 5, 1), saleKind::Cash);
    appendSlipLine(s, 9, 9, QStringLiteral("300"), QStringLiteral("配達料"), "500", "1");
    computeSlipTotals(s);
}

int rowsOfSlip(Database& db, int slip)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター仮 WHERE 売上伝票番号 = ?"), {slip}).toInt();
}

class BackupScreenTest : public BackupFixture {
protected:
    ScriptedUiScope ui;
};

} // namespace

TEST_F(BackupScreenTest, BackupScreenAsksNamingTheDirectoryAndReportsCompletion)
{
    const QString dir = testSession().config.backupDirectory(1);
    frmバックアップ screen(testSession());
    screen.show();
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_EQ(ui->questions.size(), 1u);
    EXPECT_EQ(ui->questions[0].title, QStringLiteral("データバックアップ"));
    EXPECT_EQ(ui->questions[0].text, QStringLiteral("データファイルを") + dir + QStringLiteral("へコピーします。よろしいですか？"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("データバックアップ"));
    EXPECT_TRUE(ui->messages[0].text.startsWith(QStringLiteral("データのバックアップが完了しました。")));
    EXPECT_EQ(ui->busyCount, 1);
    EXPECT_EQ(ui->busyDepth, 0);
    EXPECT_EQ(filesIn(inst.path(QStringLiteral("backup1"))), QStringList({"HMWcfg.dat", "himawari.db"}));
    // Directory 2 is a separate button: it writes there and nowhere else.
    EXPECT_TRUE(filesIn(inst.path(QStringLiteral("backup2"))).isEmpty());
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command4"));
    EXPECT_EQ(ui->questions[1].text,
              QStringLiteral("データファイルを") + testSession().config.backupDirectory(2) + QStringLiteral("へコピーします。よろしいですか？"));
    EXPECT_EQ(filesIn(inst.path(QStringLiteral("backup2"))), QStringList({"HMWcfg.dat", "himawari.db"}));
}

TEST_F(BackupScreenTest, CancelledQuestionsCopyNothing)
{
    frmバックアップ screen(testSession());
    screen.show();
    ui->answers = {false};
    clickButton(&screen, QStringLiteral("Command1"));
    EXPECT_TRUE(filesIn(inst.path(QStringLiteral("backup1"))).isEmpty());
    EXPECT_TRUE(ui->messages.empty());

    backUpData(location(1));
    {
        Database db = inst.database();
        addSalesLine(db, 7, day(2024, 5, 1), QStringLiteral("12"), QStringLiteral("米"), "100", "1");
    }
    const QByteArray database = fileBytes(inst.databasePath());
    const QByteArray configuration = inst.configurationFileBytes();
    for (const std::deque<bool>& answers : {std::deque<bool>{false}, std::deque<bool>{true, false}}) {
        ui->answers = answers;
        clickButton(&screen, QStringLiteral("Command2"));
        EXPECT_TRUE(ui->answers.empty());
        EXPECT_EQ(fileBytes(inst.databasePath()), database);
        EXPECT_EQ(inst.configurationFileBytes(), configuration);
    }
    EXPECT_FALSE(QFileInfo::exists(savedDatabasePath(location(1))));
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(ui->busyCount, 0);
}

TEST_F(BackupScreenTest, RefusesADirectoryThatCannotTakeTheCopies)
{
    const QByteArray database = fileBytes(inst.databasePath());
    const QByteArray configuration = inst.configurationFileBytes();
    struct Case {
        QString directory;
        QString named; // what the message must name
    };
    const Case cases[] = {
        {inst.dir() + QStringLiteral("/"), QDir::toNativeSeparators(inst.dir() + QStringLiteral("/"))},
        {QString(), QStringLiteral("バックアップ　デレクトリーパス")},
        {inst.path(QStringLiteral("nowhere/")), QDir::toNativeSeparators(inst.path(QStringLiteral("nowhere/")))},
    };
    frmバックアップ screen(testSession());
    screen.show();
    for (const Case& c : cases) {
        testSession().config.backupDirectory(1) = c.directory;
        for (const char* button : {"Command1", "Command2"}) {
            ui->messages.clear();
            clickButton(&screen, QString::fromUtf8(button));
            ASSERT_EQ(ui->messages.size(), 1u) << c.directory.toStdString();
            EXPECT_TRUE(ui->messages[0].text.contains(c.named)) << ui->messages[0].text.toStdString();
            EXPECT_EQ(ui->messages[0].title,
                      QString::fromUtf8(button) == QStringLiteral("Command1") ? QStringLiteral("データバックアップ")
                                                                                : QStringLiteral("データ復元"));
        }
    }
    // Nothing was asked, nothing was copied, nothing changed.
    EXPECT_TRUE(ui->questions.empty());
    EXPECT_EQ(ui->busyCount, 0);
    EXPECT_EQ(fileBytes(inst.databasePath()), database);
    EXPECT_EQ(inst.configurationFileBytes(), configuration);
    EXPECT_FALSE(QFileInfo::exists(inst.path(QStringLiteral("nowhere"))));
    EXPECT_EQ(filesIn(inst.dir()), QStringList({"HMWcfg.dat", "himawari.db"}));
}

TEST_F(BackupScreenTest, ADirectoryWithoutItsFinalSeparatorIsTheSameFolder)
{
    // Typed without the final "/": the copies still go into the folder,
    // not beside it as "backup1himawari.db".
    testSession().config.backupDirectory(1) = inst.path(QStringLiteral("backup1"));
    frmバックアップ screen(testSession());
    screen.show();
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->messages[0].text.startsWith(QStringLiteral("データのバックアップが完了しました。")))
        << ui->messages[0].text.toStdString();
    EXPECT_EQ(filesIn(inst.path(QStringLiteral("backup1"))), QStringList({"HMWcfg.dat", "himawari.db"}));
    EXPECT_EQ(filesIn(inst.dir()), QStringList({"HMWcfg.dat", "himawari.db"}));
    EXPECT_EQ(location(1).backupDatabasePath(), inst.path(QStringLiteral("backup1/himawari.db")));
    EXPECT_EQ(location(1).backupConfigurationPath(), inst.path(QStringLiteral("backup1/HMWcfg.dat")));
    EXPECT_NO_THROW(restoreData(location(1), testSession().config));

    // The database's own folder is refused however it is written.
    const QString sameFolders[] = {inst.dir(), inst.dir() + QStringLiteral("/"),
                                   inst.path(QStringLiteral("backup1/..")), inst.path(QStringLiteral("backup2/../"))};
    for (const QString& directory : sameFolders) {
        testSession().config.backupDirectory(1) = directory;
        try {
            checkBackupDirectory(location(1));
            ADD_FAILURE() << directory.toStdString() << " accepted";
        } catch (const BackupError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("はデータベースと同じディレクトリです。")))
                << e.message().toStdString();
        }
    }
}

TEST_F(BackupScreenTest, AFailedBackupLeavesTheEarlierOneAsItWas)
{
    backUpData(location(1));
    const QByteArray earlierDatabase = fileBytes(backupFile(1, QStringLiteral("himawari.db")));
    const QByteArray earlierConfiguration = fileBytes(backupFile(1, QStringLiteral("HMWcfg.dat")));
    setCounter(99);
    // The live database has become unreadable.
    writeFile(inst.databasePath(), QByteArray("this is no database at all, just text\n").repeated(200));

    frmバックアップ screen(testSession());
    screen.show();
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("データバックアップ"));
    EXPECT_TRUE(ui->messages[0].text.contains(QStringLiteral("バックアップできませんでした")))
        << ui->messages[0].text.toStdString();
    EXPECT_TRUE(ui->messages[0].text.contains(QStringLiteral("以前のバックアップはそのまま残っています")));
    EXPECT_EQ(ui->busyDepth, 0);
    EXPECT_EQ(fileBytes(backupFile(1, QStringLiteral("himawari.db"))), earlierDatabase);
    EXPECT_EQ(fileBytes(backupFile(1, QStringLiteral("HMWcfg.dat"))), earlierConfiguration);
    EXPECT_EQ(filesIn(inst.path(QStringLiteral("backup1"))), QStringList({"HMWcfg.dat", "himawari.db"}));
}

TEST_F(BackupScreenTest, RefusesABackupThatCannotBeRestored)
{
    const QByteArray database = fileBytes(inst.databasePath());
    const QByteArray configuration = inst.configurationFileBytes();
    const QString backupDatabase = backupFile(1, QStringLiteral("himawari.db"));
    const QString backupConfiguration = backupFile(1, QStringLiteral("HMWcfg.dat"));

    struct Case {
        const char* name;
        std::function<void()> prepare;
        QString expected; // a part of the message
    };
    const Case cases[] = {
        {"empty database file", [&] { writeFile(backupDatabase, {}); },
         QStringLiteral("ひまわり帳のデータベースではありません")},
        {"text file", [&] { writeFile(backupDatabase, QByteArray("顧客一覧\r\n山田,03-1111-2222\r\n").repeated(100)); },
         QStringLiteral("を読めません")},
        {"truncated database", [&] {
             const QByteArray whole = fileBytes(backupDatabase);
             writeFile(backupDatabase, whole.left(whole.size() / 2));
         },
         QDir::toNativeSeparators(backupDatabase)},
        {"no HMWcfg.dat", [&] { QFile::remove(backupConfiguration); },
         QStringLiteral("バックアップの設定ファイル %1 がありません").arg(QDir::toNativeSeparators(backupConfiguration))},
        {"short HMWcfg.dat", [&] { writeFile(backupConfiguration, "\"A\"\r\n\"B\"\r\n"); },
         QStringLiteral("バックアップの設定ファイルを読めません")},
        {"newer schema", [&] {
             Database db(backupDatabase);
             db.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion + 1));
         },
         QStringLiteral("新しい版のプログラム")},
        {"foreign database", [&] {
             QFile::remove(backupDatabase);
             Database db = Database::create(backupDatabase);
             db.exec(QStringLiteral("DROP TABLE ガスデータ"));
         },
         QStringLiteral("表「ガスデータ」がありません")},
    };
    frmバックアップ screen(testSession());
    screen.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(inst.path(QStringLiteral("backup1"))).removeRecursively();
        QDir().mkpath(inst.path(QStringLiteral("backup1")));
        backUpData(location(1));
        c.prepare();
        ui->messages.clear();
        ui->answers = {true, true};
        clickButton(&screen, QStringLiteral("Command2"));
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(ui->messages[0].title, QStringLiteral("データ復元"));
        EXPECT_TRUE(ui->messages[0].text.contains(c.expected)) << ui->messages[0].text.toStdString();
        EXPECT_TRUE(ui->messages[0].text.contains(QStringLiteral("何も変更していません")));
        EXPECT_EQ(fileBytes(inst.databasePath()), database);
        EXPECT_EQ(inst.configurationFileBytes(), configuration);
        // No copy of the pair was kept and no temporary file is left.
        EXPECT_EQ(filesIn(inst.dir()), QStringList({"HMWcfg.dat", "himawari.db"}));
        EXPECT_EQ(ui->busyDepth, 0);
    }
}

TEST_F(BackupScreenTest, RestoreBringsBackTheDatabaseAndTheSlipCounterTogether)
{
    setCounter(41);
    frmバックアップ screen(testSession());
    screen.show();
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_EQ(ui->messages.size(), 1u);

    // A connection that stays open across the restore, as a screen's would;
    // slip 41 is written to the write-ahead log and stays there, so a
    // restore that copied the file alone would be undone by that log.
    Database watcher = inst.database();
    watcher.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    watcher.exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
    ASSERT_EQ(rowsOfSlip(watcher, 41), 0);
    prepareSlip(testSession());
    ASSERT_TRUE(storeSlip(testSession(), inst.configurationPath()));
    ASSERT_GT(rowsOfSlip(watcher, 41), 0);
    ASSERT_GT(QFileInfo(inst.databasePath() + QStringLiteral("-wal")).size(), 0);
    ASSERT_EQ(testSession().config.slipCounter, 42);
    ASSERT_TRUE(inst.configurationFileBytes().contains("\" 42\"\r\n"));

    ui->messages.clear();
    ui->answers = {true, true};
    clickButton(&screen, QStringLiteral("Command2"));
    ASSERT_EQ(ui->questions.size(), 3u);
    EXPECT_EQ(ui->questions[1].title, QStringLiteral("データ復元"));
    EXPECT_EQ(ui->questions[1].text, QStringLiteral("データ復元をするとバックアップ以降のデータは、失われます。よろしいですか？"));
    EXPECT_EQ(ui->questions[2].title, QStringLiteral("データ復元"));
    EXPECT_EQ(ui->questions[2].text, QStringLiteral("データファイルを") + testSession().config.backupDirectory(1)
                                         + QStringLiteral("から復元します。よろしいですか？"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("データ復元"));
    EXPECT_TRUE(ui->messages[0].text.startsWith(QStringLiteral("データの復元が完了しました。")));
    EXPECT_EQ(ui->busyDepth, 0);

    // Slip 41 is gone, also for the connection that was open, and the
    // counter is 41 again, in memory and in the file.
    EXPECT_EQ(rowsOfSlip(watcher, 41), 0);
    {
        Database fresh = inst.database();
        EXPECT_EQ(rowsOfSlip(fresh, 41), 0);
        EXPECT_EQ(fresh.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }
    EXPECT_EQ(testSession().config.slipCounter, 41);
    EXPECT_EQ(inst.configurationFileBytes(), fileBytes(backupFile(1, QStringLiteral("HMWcfg.dat"))));
    EXPECT_FALSE(QFileInfo::exists(inst.databasePath() + QStringLiteral("-journal")));

    // The pair as it was before the restore is kept beside the database,
    // and the message says where.
    const QString savedDatabase = savedDatabasePath(location(1));
    const QString savedConfiguration = savedConfigurationPath(location(1));
    EXPECT_TRUE(ui->messages[0].text.contains(QDir::toNativeSeparators(savedDatabase)));
    ASSERT_TRUE(QFileInfo::exists(savedDatabase));
    {
        Database saved(savedDatabase);
        EXPECT_GT(rowsOfSlip(saved, 41), 0);
    }
    EXPECT_TRUE(fileBytes(savedConfiguration).contains("\" 42\"\r\n"));

    // The next slip stores as 41 without a restart.
    prepareSlip(testSession());
    ASSERT_TRUE(storeSlip(testSession(), inst.configurationPath()));
    EXPECT_GT(rowsOfSlip(watcher, 41), 0);
    EXPECT_EQ(testSession().config.slipCounter, 42);
}

TEST_F(BackupScreenTest, RestoreFromDirectoryTwoReadsItsOwnPair)
{
    setCounter(77);
    backUpData(location(2));
    setCounter(5);
    backUpData(location(1));
    setCounter(200);

    frmバックアップ screen(testSession());
    screen.show();
    ui->answers = {true, true};
    clickButton(&screen, QStringLiteral("Command5"));
    EXPECT_EQ(ui->questions[1].text, QStringLiteral("データファイルを") + testSession().config.backupDirectory(2)
                                         + QStringLiteral("から復元します。よろしいですか？"));
    EXPECT_EQ(testSession().config.slipCounter, 77);
}

// A shop on a server is backed up as the server's dump in the same folder,
// and the restore names the schema the replaced data stays in.
TEST(BackupScreenOnServer, BacksUpTheDumpAndRestoresItKeepingTheReplacedSchema)
{
    OnTestServer server;
    if (!server.available())
        GTEST_SKIP() << "no PostgreSQL server (HIMAWARI_TEST_SERVER is not set)";
    TestInstallation inst;
    ScriptedUiScope ui;
    SessionState& s = testSession();
    QDir().mkpath(inst.path(QStringLiteral("backup1")));
    {
        Database db(s.config.databasePath);
        db.exec("INSERT INTO 顧客マスター (顧客コード, 顧客名前) VALUES ('C1', '青木　花子')");
    }
    frmバックアップ screen(s);
    screen.show();
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->messages[0].text.startsWith(QStringLiteral("データのバックアップが完了しました。\n"))) << ui->messages[0].text.toStdString();
    EXPECT_TRUE(ui->messages[0].text.contains(QStringLiteral("himawari.dump"))) << ui->messages[0].text.toStdString();
    EXPECT_TRUE(QFileInfo::exists(inst.path(QStringLiteral("backup1/himawari.dump"))));
    {
        Database db(s.config.databasePath);
        db.exec("UPDATE 顧客マスター SET 顧客名前 = '変更後' WHERE 顧客コード = 'C1'");
    }
    ui->answers = {true, true};
    clickButton(&screen, QStringLiteral("Command2"));
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_TRUE(ui->messages[1].text.startsWith(QStringLiteral("データの復元が完了しました。\n復元前のデータはサーバーのスキーマ ")))
        << ui->messages[1].text.toStdString();
    Database db(s.config.databasePath);
    EXPECT_EQ(db.scalar("SELECT 顧客名前 FROM 顧客マスター WHERE 顧客コード = 'C1'").toString(), QStringLiteral("青木　花子"));
}
