#pragma once
// The backup tests' installation: the shop's files and two empty backup
// directories beside them.

#include "maintenance/Backup.h"
#include "support/TestInstallation.h"
#include "MaintenanceData.h"

#include <QDir>
#include <QStringList>
#include <gtest/gtest.h>

namespace maintenance {

inline QStringList filesIn(const QString& folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    files.sort();
    return files;
}

class BackupFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(inst.path(QStringLiteral("backup1")));
        QDir().mkpath(inst.path(QStringLiteral("backup2")));
    }

    BackupLocation location(int number) { return backupLocation(testSession().config, number, inst.configurationPath()); }
    QString backupFile(int number, const QString& name) const
    {
        return inst.path(QStringLiteral("backup%1/").arg(number) + name);
    }
    // Sets the slip counter in memory and in HMWcfg.dat.
    void setCounter(int counter)
    {
        testSession().config.slipCounter = counter;
        testSession().config.counterText() = text::Str(std::int64_t(counter));
        inst.writeConfigurationFile(configurationBytes(testSession().config, inst.configurationPath()));
    }

    TestInstallation inst;
};

} // namespace maintenance
