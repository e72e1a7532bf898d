#include "support/TestInstallation.h"

#include "db/DatabaseLocation.h"
#include "session/Routines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <atomic>
#include <gtest/gtest.h>

namespace {

bool& serverFlag()
{
    static bool onServer = false;
    return onServer;
}

// A schema name no other test (of this program or another one running at
// the same time) uses.
QString freshSchemaName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

} // namespace

bool testingOnServer()
{
    return serverFlag();
}

void setTestingOnServer(bool onServer)
{
    serverFlag() = onServer;
}

QString testServerLocation()
{
    const QString server = qEnvironmentVariable("HIMAWARI_TEST_SERVER");
    return server.isEmpty() ? QString() : QStringLiteral("postgresql: ") + server;
}

TestInstallation::TestInstallation() : TestInstallation(Options{}) {}

TestInstallation::TestInstallation(Options options)
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary directory");
    previousDirectory_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    testSession() = SessionState{};
    fillDaysPerMonth(testSession());
    Configuration config = defaultConfiguration();
    writeConfigurationFile(configurationBytes(config, configurationPath()));
    if (testingOnServer()) {
        ServerLocation server = *serverLocation(testServerLocation());
        server.schema = freshSchemaName();
        serverPath_ = serverLocationText(server);
        QFile file(path(ServerFileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(serverFileBytes(server)) < 0)
            throw std::runtime_error("cannot write the test server file");
    }
    if (options.withDatabase)
        Database::create(databasePath());
    if (options.readIntoSession)
        testSession().config = readConfiguration(configurationPath());
}

TestInstallation::~TestInstallation()
{
    if (!serverPath_.isEmpty()) {
        try {
            Database server(testServerLocation());
            server.exec(QStringLiteral("DROP SCHEMA IF EXISTS ") + serverLocation(serverPath_)->schema + QStringLiteral(" CASCADE"));
        } catch (const std::exception&) {
        }
    }
    QDir::setCurrent(previousDirectory_);
    testSession() = SessionState{};
}

Configuration TestInstallation::defaultConfiguration() const
{
    Configuration c;
    c.companyName() = QStringLiteral("テスト商店");
    c.address() = QStringLiteral("東京都架空区試験町１－２－３");
    c.telephone() = QStringLiteral("03-0000-0000");
    c.companyLine(1) = QStringLiteral("米・灯油・プロパンガス");
    c.companyLine(2) = QStringLiteral("");
    c.companyLine(3) = QStringLiteral("");
    c.deliveryNoteComment() = QStringLiteral("毎度ありがとうございます");
    c.bankLine(1) = QStringLiteral("試験銀行　本店　普通　1234567");
    c.bankLine(2) = QStringLiteral("");
    c.taxRate1() = QStringLiteral("0.05");
    c.taxRate2() = QStringLiteral("0.08");
    c.databaseFileName() = QStringLiteral("himawari.db");
    c.databaseDirectory() = dir_.path() + QStringLiteral("/");
    c.backupDirectory(1) = dir_.path() + QStringLiteral("/backup1/");
    c.backupDirectory(2) = dir_.path() + QStringLiteral("/backup2/");
    c.prefixText() = QStringLiteral(" 0");
    c.counterText() = QStringLiteral(" 1");
    c.adminCodeText() = QStringLiteral(" 1234");
    c.databasePath = c.databaseDirectory() + c.databaseFileName();
    c.slipPrefix = 0;
    c.slipCounter = 1;
    c.adminCode = 1234;
    return c;
}

QByteArray TestInstallation::configurationFileBytes() const
{
    QFile file(configurationPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString TestInstallation::counterInFile() const
{
    return parseConfiguration(configurationFileBytes(), QStringLiteral("test")).counterText();
}

void TestInstallation::writeConfigurationFile(const QByteArray& bytes) const
{
    QFile file(configurationPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write the test configuration file");
}

bool readDemoInstallation()
{
    const QString demo = qEnvironmentVariable("HIMAWARI_DEMO_DIR");
    if (demo.isEmpty())
        return false;
    testSession().config = readConfiguration(QDir(demo).filePath(QStringLiteral("HMWcfg.dat")));
    return true;
}
