// himawari-demo's arguments: the usage on request, options it does not know
// refused before anything is written, and a folder whose name starts with
// "-" still reachable as ./-name.
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "db/Dialect.h"
#include "session/Routines.h"
#include "session/TaxBreakdown.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestInstallation.h"

namespace {

struct DemoRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the demo program in `folder` with `arguments`.
DemoRun runDemo(const QString& folder, const QStringList& arguments)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral(HIMAWARI_DEMO_PROGRAM), arguments);
    DemoRun r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(DemoProgram, HelpPrintsTheUsageAndWritesNothing)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    for (const QStringList& arguments : {QStringList{"--help"}, QStringList{"-h"}, QStringList{"shop", "--help"}}) {
        const DemoRun r = runDemo(work.path(), arguments);
        EXPECT_EQ(r.exitCode, 0) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("usage: himawari-demo DIR [--server 'host=… port=… dbname=… user=…']\n"))) << r.out.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    }
    EXPECT_TRUE(entriesOf(work.path()).isEmpty()) << entriesOf(work.path()).join(' ').toStdString();
}

TEST(DemoProgram, UnknownOptionsAndMissingFoldersAreRefusedOnTheErrorStream)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QStringList refused[] = {{"--force"}, {"-x"}, {"-"}, {"shop", "--verbose"}, {}, {"shop", "other"}};
    for (const QStringList& arguments : refused) {
        const DemoRun r = runDemo(work.path(), arguments);
        EXPECT_EQ(r.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("himawari-demo: "))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("nothing was written"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("usage: himawari-demo DIR"))) << r.err.toStdString();
    }
    EXPECT_TRUE(runDemo(work.path(), {"--force"}).err.startsWith(QStringLiteral("himawari-demo: unknown option --force;")));
    EXPECT_TRUE(entriesOf(work.path()).isEmpty()) << entriesOf(work.path()).join(' ').toStdString();
}

TEST(DemoProgram, AFolderStartingWithADashIsGivenWithItsPath)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const DemoRun r = runDemo(work.path(), {"./-shop"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("demo shop written to ") + work.path() + QStringLiteral("/-shop ")))
        << r.out.toStdString();
    EXPECT_EQ(entriesOf(work.path()), QStringList{"-shop"});
    EXPECT_TRUE(QFileInfo(work.filePath(QStringLiteral("-shop/HMWcfg.dat"))).isFile());
    EXPECT_TRUE(QFileInfo(work.filePath(QStringLiteral("-shop/himawari.db"))).isFile());
}

TEST(DemoProgram, TheDemoShopSellsAtTodaysRatesAsARegisteredShop)
{
    QTemporaryDir work;
    ASSERT_EQ(runDemo(work.path(), {work.path()}).exitCode, 0);
    QFile file(work.filePath(QStringLiteral("HMWcfg.dat")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const Configuration config = parseConfiguration(file.readAll(), QStringLiteral("HMWcfg.dat"));
    EXPECT_EQ(config.taxRate1(), QStringLiteral("0.10"));
    EXPECT_EQ(config.taxRate2(), QStringLiteral("0.08"));
    EXPECT_EQ(config.reducedRate, 2);
    EXPECT_EQ(config.registrationNumber, QStringLiteral("T7123456789012"));

    // Rice on the reduced rate; kerosene and gas on the standard one.
    Database db(work.filePath(QStringLiteral("himawari.db")));
    auto categoryOf = [&](const char* product) {
        return db.scalar(QStringLiteral("SELECT d.税区分 FROM 商品マスター p JOIN 商品部門マスター d ON d.部門コード = p.部門コード"
                                        " WHERE p.単品コード = ?"),
                         {QString::fromUtf8(product)})
            .toInt();
    };
    EXPECT_TRUE(reducedCategory(config, categoryOf("1001")));
    EXPECT_FALSE(reducedCategory(config, categoryOf("2001")));
    EXPECT_FALSE(reducedCategory(config, categoryOf("3001")));
    // The history runs up to yesterday: this year's slips when it is not
    // New Year's Day.
    const Date latest = dateValue(db.scalar(QStringLiteral("SELECT MAX(売上年月日) FROM 売上商品マスター")));
    EXPECT_EQ(latest.year(), Date::today().addDays(-1).year());
}

// With --server the same shop goes into the server's database: the folder
// gets HMWsrv.dat instead of a database file, every table holds as many rows
// as the file demo written the same day, and a second run refuses to write
// into a database that has tables.
TEST(DemoProgram, OnAServerTheSameShopIsWrittenAndTheFolderNamesTheServer)
{
    OnTestServer server;
    if (!server.available())
        GTEST_SKIP() << "No PostgreSQL server (HIMAWARI_TEST_SERVER is not set): the demo shop on a server is not tried.";
    const TestInstallation inst(TestInstallation::Options{.withDatabase = false, .readIntoSession = false});
    const QString connection = inst.databasePath().mid(QStringLiteral("postgresql: ").size());
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());

    const DemoRun onServer = runDemo(work.path(), {"served", "--server", connection});
    ASSERT_EQ(onServer.exitCode, 0) << onServer.err.toStdString();
    EXPECT_EQ(entriesOf(work.filePath(QStringLiteral("served"))),
              (QStringList{"backup1", "backup2", "HMWcfg.dat", "HMWsrv.dat"}));
    QFile serverFile(work.filePath(QStringLiteral("served/HMWsrv.dat")));
    ASSERT_TRUE(serverFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(serverLocationText(parseServerFile(serverFile.readAll())), inst.databasePath());

    ASSERT_EQ(runDemo(work.path(), {"onfile"}).exitCode, 0);
    Database served(inst.databasePath());
    Database onFile(work.filePath(QStringLiteral("onfile/himawari.db")));
    const QStringList tables = shopTableNames(onFile);
    // The server spells the ASCII letters of a name in lower case.
    EXPECT_EQ(shopTableNames(served).size(), tables.size());
    for (const QString& table : tables)
        EXPECT_EQ(served.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toLongLong(),
                  onFile.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toLongLong())
            << table.toStdString();

    const DemoRun again = runDemo(work.path(), {"again", "--server", connection});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.startsWith(QStringLiteral("himawari-demo: "))) << again.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(work.filePath(QStringLiteral("again/HMWcfg.dat"))));
    EXPECT_FALSE(QFileInfo::exists(work.filePath(QStringLiteral("again/HMWsrv.dat"))));
}
