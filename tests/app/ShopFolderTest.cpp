// Where an installed copy works: the shop folder named on the command line,
// remembered, or chosen at the first start; and the files of a new shop,
// which start without a question.
#include "app/ShopFolder.h"
#include "app/Startup.h"
#include "db/Database.h"
#include "session/Routines.h"
#include "support/ScriptedUi.h"
#include "support/TestSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ShopFolderTest : public ::testing::Test {
protected:
    QTemporaryDir work;
    ScriptedUiScope ui;
    QString previousDirectory = QDir::currentPath();

    void SetUp() override
    {
        // The operator's settings of this test only.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.filePath(QStringLiteral("settings")));
        QSettings(QStringLiteral("himawari"), QStringLiteral("himawari")).clear();
    }
    void TearDown() override { QDir::setCurrent(previousDirectory); }
};

} // namespace

TEST_F(ShopFolderTest, ABuildFolderCopyWorksBesideItselfAndTheCommandLineNamesAFolder)
{
    const QString build = work.filePath(QStringLiteral("build/bin"));
    EXPECT_EQ(chooseShopFolder(build, {QStringLiteral("himawari")}), build);
    EXPECT_TRUE(ui->prompts.empty());

    const QString named = work.filePath(QStringLiteral("お店"));
    EXPECT_EQ(shopFolderArgument({QStringLiteral("himawari"), QStringLiteral("--shop"), named}), named);
    EXPECT_EQ(shopFolderArgument({QStringLiteral("himawari"), QStringLiteral("--shop")}), std::nullopt);
    EXPECT_EQ(chooseShopFolder(installedProgramDirectory(), {QStringLiteral("himawari"), QStringLiteral("--shop"), named}),
              named);
    EXPECT_TRUE(QFileInfo(named).isDir());
    EXPECT_TRUE(ui->prompts.empty());
    EXPECT_EQ(installedProgramDirectory(), QStringLiteral("/usr/bin"));
}

TEST_F(ShopFolderTest, AnInstalledCopyAsksAtTheFirstStartAndRemembersTheFolder)
{
    const QString chosen = work.filePath(QStringLiteral("ひまわり帳"));
    // A folder that cannot be made (under a file) is refused and asked again.
    QFile blocker(work.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ui->inputs = {work.filePath(QStringLiteral("file/shop")), chosen};
    EXPECT_EQ(chooseShopFolder(installedProgramDirectory(), {QStringLiteral("himawari")}), chosen);
    ASSERT_EQ(ui->prompts.size(), 2u);
    EXPECT_EQ(ui->prompts[0].title, QStringLiteral("データのフォルダ"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->messages[0].text.startsWith(QStringLiteral("このフォルダは使えません")));
    EXPECT_TRUE(QFileInfo(chosen).isDir());

    // The next start goes there without asking.
    EXPECT_EQ(chooseShopFolder(installedProgramDirectory(), {QStringLiteral("himawari")}), chosen);
    EXPECT_EQ(ui->prompts.size(), 2u);

    // A remembered folder that is gone is asked for again; cancelling ends
    // the program.
    QDir(chosen).removeRecursively();
    ui->inputs = {std::nullopt};
    EXPECT_EQ(chooseShopFolder(installedProgramDirectory(), {QStringLiteral("himawari")}), std::nullopt);
    EXPECT_EQ(ui->prompts.size(), 3u);
}

TEST_F(ShopFolderTest, ANewShopStartsWithTodaysRatesAnEmptyDatabaseAndNoQuestion)
{
    const QString shop = work.filePath(QStringLiteral("お店"));
    QDir().mkpath(shop);
    ASSERT_TRUE(prepareNewShop(shop));
    const Configuration c = readConfiguration(QDir(shop).filePath(QStringLiteral("HMWcfg.dat")));
    EXPECT_EQ(c.taxRate1(), QStringLiteral("0.10"));
    EXPECT_EQ(c.taxRate2(), QStringLiteral("0.08"));
    EXPECT_EQ(c.reducedRate, 2);
    EXPECT_TRUE(c.registrationNumber.isEmpty());
    EXPECT_EQ(c.databasePath, QDir(shop).absolutePath() + QStringLiteral("/himawari.db"));
    EXPECT_EQ(c.slipCounter, 1); // the first slip is number 1
    EXPECT_EQ(c.adminCode, 0);
    EXPECT_EQ(Database(c.databasePath).schemaVersion(), SchemaVersion);
    EXPECT_TRUE(newShopMessage(shop).contains(QStringLiteral("管理者用コードは 0 です")));

    // The shop starts as it is, asking nothing.
    SessionState state;
    EXPECT_TRUE(startUp(state, shop));
    EXPECT_TRUE(ui->questions.empty());
    EXPECT_TRUE(ui->messages.empty());

    // A folder that holds a shop is never prepared again.
    const QByteArray before = [&] {
        QFile f(QDir(shop).filePath(QStringLiteral("HMWcfg.dat")));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_FALSE(prepareNewShop(shop));
    QFile after(QDir(shop).filePath(QStringLiteral("HMWcfg.dat")));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}
