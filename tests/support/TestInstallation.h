#pragma once
// A fresh installation per test: its own temporary directory holding
// HMWcfg.dat and a database with the seed rows of a new shop. The session is
// read from it and the directory is the current one while the test runs.

#include "support/TestSession.h"
#include "support/QtPrinters.h"
#include "db/Database.h"

#include <QTemporaryDir>
#include <memory>

class TestInstallation {
public:
    struct Options {
        bool withDatabase = true;
        bool readIntoSession = true;
    };
    TestInstallation();
    explicit TestInstallation(Options options);
    ~TestInstallation();

    QString dir() const { return dir_.path(); }
    QString path(const QString& fileName) const { return dir_.filePath(fileName); }
    QString configurationPath() const { return path(QStringLiteral("HMWcfg.dat")); }
    // The database's file, or on a server its location (a schema of its own
    // in the test server's database, dropped at the end).
    QString databasePath() const { return serverPath_.isEmpty() ? path(QStringLiteral("himawari.db")) : serverPath_; }
    bool onServer() const { return !serverPath_.isEmpty(); }

    // Opens a connection to the installation's database.
    Database database() const { return Database(databasePath()); }
    // The configuration file's bytes as they are now.
    QByteArray configurationFileBytes() const;
    // The slip counter as HMWcfg.dat holds it now, in its stored text.
    QString counterInFile() const;
    // Writes bytes as the configuration file.
    void writeConfigurationFile(const QByteArray& bytes) const;

    // The configuration a test installation starts with: a test shop, rates
    // 0.05 and 0.08, prefix 0, counter 1, administrator code 1234, the
    // database in this directory.
    Configuration defaultConfiguration() const;

private:
    QTemporaryDir dir_;
    QString previousDirectory_;
    QString serverPath_;
};

// The test program runs its tests on the server HIMAWARI_TEST_SERVER names
// (the program's --server option; see TestCoreMain.cpp).
bool testingOnServer();
void setTestingOnServer(bool onServer);
// The test server's location ("postgresql: host=… dbname=…"), or empty.
QString testServerLocation();

// For the length of a screen test: its installations are made on the test
// server when there is one (available() tells).
class OnTestServer {
public:
    OnTestServer() { setTestingOnServer(!testServerLocation().isEmpty()); }
    ~OnTestServer() { setTestingOnServer(false); }
    OnTestServer(const OnTestServer&) = delete;
    OnTestServer& operator=(const OnTestServer&) = delete;
    bool available() const { return testingOnServer(); }
};

// The demo installation named in HIMAWARI_DEMO_DIR, which the documentation's
// pictures and print-outs come from: reads its HMWcfg.dat into the test's
// session and returns true; returns false, reading nothing, when no demo
// installation is named.
bool readDemoInstallation();
