// Start-up: a configuration or database that cannot be used ends in a
// message and an orderly stop with nothing written; a counter left behind
// by a crash is moved past the numbers already used.
#include "session/Routines.h"
#include "app/Startup.h"
#include "db/Database.h"
#include "db/DatabaseLocation.h"
#include "masters/CompanySettings.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/Screens.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files, QDir::Name);
}

// Rewrites the installation's configuration file with values changed
// (index 15 the prefix, 16 the counter).
void setValues(TestInstallation& inst, std::initializer_list<std::pair<int, QString>> changes)
{
    Configuration c = inst.defaultConfiguration();
    for (const auto& [index, value] : changes)
        c.values[index] = value;
    inst.writeConfigurationFile(configurationBytes(c, "HMWcfg.dat"));
}

// The first `count` lines of a file, each with its CR LF.
QByteArray firstLines(const QByteArray& bytes, int count)
{
    qsizetype end = -2;
    for (int line = 0; line < count; ++line)
        end = bytes.indexOf("\r\n", end + 2);
    return bytes.left(end + 2);
}

} // namespace

TEST(StartUp, ConfigurationProblemsStopTheProgramAndWriteNothing)
{
    struct Case {
        const char* what;
        std::function<void(TestInstallation&)> damage;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"missing file", [](TestInstallation& i) { QFile::remove(i.configurationPath()); }, "が見つかりません。"},
        {"17 lines",
         [](TestInstallation& i) {
             i.writeConfigurationFile(firstLines(i.configurationFileBytes(), 17));
         },
         "の値が 17 行しかありません（18 行必要です）。"},
        {"counter not a number", [](TestInstallation& i) { setValues(i, {{16, "abc"}}); },
         "の 17 行目（伝票番号）が数値ではありません：「abc」"},
    };
    for (const Case& c : cases) {
        TestInstallation inst({.withDatabase = false, .readIntoSession = false});
        ScriptedUiScope ui;
        c.damage(inst);
        const QByteArray before = inst.configurationFileBytes();
        const QStringList filesBefore = filesIn(inst.dir());

        EXPECT_FALSE(startUp(testSession(), inst.dir())) << c.what;
        ASSERT_EQ(ui->messages.size(), 1u) << c.what;
        EXPECT_TRUE(ui->lastMessage().contains(QDir::toNativeSeparators(inst.configurationPath()))) << c.what;
        EXPECT_TRUE(ui->lastMessage().contains(QString::fromUtf8(c.expected))) << ui->lastMessage().toStdString();
        EXPECT_TRUE(ui->lastMessage().endsWith("プログラムを終了します。"));
        EXPECT_EQ(ui->messages[0].title, QStringLiteral("起動エラー"));
        EXPECT_TRUE(ui->questions.empty()) << c.what;
        EXPECT_EQ(inst.configurationFileBytes(), before) << c.what;
        EXPECT_EQ(filesIn(inst.dir()), filesBefore) << c.what;
    }
}

TEST(StartUp, MissingDatabaseIsReportedAndCreatedOnlyWhenAsked)
{
    {
        TestInstallation inst({.withDatabase = false, .readIntoSession = false});
        ScriptedUiScope ui;
        ui->answers = {false};
        EXPECT_FALSE(startUp(testSession(), inst.dir()));
        ASSERT_EQ(ui->questions.size(), 1u);
        EXPECT_TRUE(ui->questions[0].text.contains(inst.databasePath()));
        EXPECT_FALSE(QFileInfo::exists(inst.databasePath()));
    }
    {
        TestInstallation inst({.withDatabase = false, .readIntoSession = false});
        ScriptedUiScope ui;
        ui->answers = {true};
        EXPECT_TRUE(startUp(testSession(), inst.dir())) << ui->lastMessage().toStdString();
        EXPECT_TRUE(ui->messages.empty());
        Database db = inst.database();
        EXPECT_EQ(db.scalar("SELECT 勘定科目名 FROM 勘定科目TBL WHERE 科目番号 = 3079").toString(), QStringLiteral("仮受消費税"));
        EXPECT_EQ(testSession().config.companyName(), QStringLiteral("テスト商店"));
        EXPECT_EQ(testSession().daysPerMonth[2][3], 28.0f);
        EXPECT_EQ(testSession().daysPerMonth[12][3], 31.0f);
        // The new, empty database is offered the old program's data; declined
        // here, no screen opens.
        ASSERT_EQ(ui->yesNoQuestions.size(), 1u);
        EXPECT_EQ(ui->yesNoQuestions[0].text, oldDataOffer());
        EXPECT_TRUE(ui->openedScreens.isEmpty());
    }
    {
        // Accepted: the import screen opens before the main window.
        TestInstallation inst({.withDatabase = false, .readIntoSession = false});
        ScriptedUiScope ui;
        registerScreen(QStringLiteral("frm旧データ取り込み"), [](SessionState&, QWidget* parent) -> QDialog* {
            auto* screen = new QDialog(parent);
            screen->setObjectName(QStringLiteral("frm旧データ取り込み"));
            return screen;
        });
        ui->onScreen(QStringLiteral("frm旧データ取り込み"), [](QDialog& screen) { screen.reject(); });
        ui->answers = {true};
        ui->yesNoAnswers = {true};
        EXPECT_TRUE(startUp(testSession(), inst.dir()));
        EXPECT_EQ(ui->openedScreens, QStringList({QStringLiteral("frm旧データ取り込み")}));
    }
}

TEST(StartUp, AFileThatIsNotOurDatabaseStopsTheProgram)
{
    TestInstallation inst({.withDatabase = false, .readIntoSession = false});
    ScriptedUiScope ui;
    QFile file(inst.databasePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("これはデータベースではありません");
    file.close();
    EXPECT_FALSE(startUp(testSession(), inst.dir()));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->lastMessage().startsWith("データベースを開けません。")) << ui->lastMessage().toStdString();
    EXPECT_TRUE(ui->lastMessage().contains(inst.databasePath()));
}

TEST(StartUp, CounterLeftBehindByACrashMovesPastTheUsedNumbers)
{
    TestInstallation inst({.withDatabase = true, .readIntoSession = false});
    ScriptedUiScope ui;
    setValues(inst, {{16, " 5"}});
    {
        Database db = inst.database();
        // Slip 5 was stored, then the program died before the file said 6;
        // a journal entry numbered 9 from the same crash, and numbers of
        // other prefixes that are no concern of this counter.
        db.exec("INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード) VALUES (5, 36938, '1')");
        db.exec("INSERT INTO 経理マスター (経理シリアル, 経理伝票番号, 経理年月日) VALUES (1, 9, 36938)");
        db.exec("INSERT INTO 売掛マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード) VALUES (1, 300000050, 36938, '1')");
    }
    EXPECT_TRUE(startUp(testSession(), inst.dir()));
    EXPECT_EQ(testSession().config.slipCounter, 10);
    EXPECT_EQ(currentSlipNumber(testSession().config), 10);
    testSession().config = readConfiguration(inst.configurationPath());
    EXPECT_EQ(testSession().config.counterText(), " 10");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->lastMessage().contains("伝票番号を 5 から 10 に進めました。"));

    // A clean start leaves the file as it is.
    const QByteArray before = inst.configurationFileBytes();
    EXPECT_TRUE(startUp(testSession(), inst.dir()));
    EXPECT_EQ(inst.configurationFileBytes(), before);
    EXPECT_EQ(ui->messages.size(), 1u);

    // Under prefix 3 only the 3xxxxxxxx numbers count.
    setValues(inst, {{15, " 3"}, {16, " 20"}});
    EXPECT_TRUE(startUp(testSession(), inst.dir()));
    EXPECT_EQ(testSession().config.slipCounter, 51);
    EXPECT_EQ(currentSlipNumber(testSession().config), 300000051);
}

TEST(StartUp, ADatabaseOfTheFirstVersionIsBroughtToTheCurrentOne)
{
    TestInstallation inst({.withDatabase = false, .readIntoSession = false});
    ScriptedUiScope ui;
    {
        // The base schema alone, as the first release made a shop's file.
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(inst.databasePath().toUtf8().constData(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw, schemaScript().toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw, "INSERT INTO 店コードＴＢＬ VALUES (1, '本店')", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }
    EXPECT_TRUE(startUp(testSession(), inst.dir())) << ui->lastMessage().toStdString();
    EXPECT_TRUE(ui->messages.empty()) << ui->lastMessage().toStdString();
    Database db = inst.database();
    EXPECT_EQ(db.schemaVersion(), SchemaVersion);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 店コードＴＢＬ").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM sqlite_master WHERE name = '年次更新ＴＢＬ'").toInt(), 1);
}

TEST(StartUp, AnOlderInstallationsFileOf18LinesStartsAndGainsTheTwoNewLinesAtTheNextWrite)
{
    TestInstallation inst({.withDatabase = true, .readIntoSession = false});
    ScriptedUiScope ui;
    // The file as an older release left it: the 18 values and nothing after,
    // rate 1 at 0.10 and rate 2 at 0.08.
    Configuration c = inst.defaultConfiguration();
    c.taxRate1() = "0.10";
    c.counterText() = " 7";
    c.slipCounter = 7;
    const QByteArray old = firstLines(configurationBytes(c, "HMWcfg.dat"), 18);
    ASSERT_EQ(old.count("\r\n"), 18);
    ASSERT_TRUE(old.endsWith("\" 1234\"\r\n"));
    inst.writeConfigurationFile(old);

    ASSERT_TRUE(startUp(testSession(), inst.dir())) << ui->lastMessage().toStdString();
    EXPECT_TRUE(ui->messages.empty()) << ui->lastMessage().toStdString();
    // No number, and the lower rate, rate 2, is the reduced one.
    EXPECT_EQ(testSession().config.registrationNumber, "");
    EXPECT_EQ(testSession().config.reducedRate, 2);
    EXPECT_EQ(testSession().config.slipCounter, 7);
    // Starting writes nothing.
    EXPECT_EQ(inst.configurationFileBytes(), old);

    // The settings saved unchanged: the 18 old lines byte for byte, then the
    // empty number and rate 2.
    {
        frm設定会社 screen(testSession());
        screen.show();
        ui->answers = {true};
        clickButton(&screen, "Command1");
        EXPECT_FALSE(screen.isVisible());
    }
    EXPECT_EQ(inst.configurationFileBytes(), old + "\"\"\r\n\"2\"\r\n");
    // A stored slip's write afterwards moves only the counter.
    writeConfiguration(testSession().config);
    QByteArray next = old;
    next.replace("\" 7\"\r\n", "\" 8\"\r\n");
    EXPECT_EQ(inst.configurationFileBytes(), next + "\"\"\r\n\"2\"\r\n");
    // And the next start reads the same.
    ASSERT_TRUE(startUp(testSession(), inst.dir()));
    EXPECT_EQ(testSession().config.reducedRate, 2);
    EXPECT_EQ(testSession().config.slipCounter, 8);
}

TEST(StartUp, AShopOnAServerIsFilledOnlyWhenAskedAndCountsItsOwnPrefix)
{
    OnTestServer server;
    if (!server.available())
        GTEST_SKIP() << "no PostgreSQL server (HIMAWARI_TEST_SERVER is not set)";
    {
        TestInstallation inst({.withDatabase = false, .readIntoSession = false});
        ScriptedUiScope ui;
        ui->answers = {false};
        EXPECT_FALSE(startUp(testSession(), inst.dir()));
        ASSERT_EQ(ui->questions.size(), 1u);
        EXPECT_TRUE(ui->questions[0].text.startsWith(QStringLiteral("サーバーのデータベースに表がありません。")));
        EXPECT_TRUE(ui->questions[0].text.contains(QStringLiteral("のデータベース himawari_test"))) << ui->questions[0].text.toStdString();
        EXPECT_EQ(Database(inst.databasePath()).schemaVersion(), 0);
    }
    TestInstallation inst({.withDatabase = false, .readIntoSession = false});
    {
        ScriptedUiScope ui;
        ui->answers = {true};
        EXPECT_TRUE(startUp(testSession(), inst.dir())) << ui->lastMessage().toStdString();
        EXPECT_TRUE(isServerLocation(testSession().config.databasePath));
        Database db = inst.database();
        EXPECT_EQ(db.schemaVersion(), SchemaVersion);
        EXPECT_EQ(db.scalar("SELECT 勘定科目名 FROM 勘定科目TBL WHERE 科目番号 = 3079").toString(), QStringLiteral("仮受消費税"));
        // Old data goes into a file shop, so a server shop is not offered it.
        EXPECT_TRUE(ui->yesNoQuestions.empty());
    }
    {
        // The other counter (prefix 1) stored slip 100000007 and a crash left
        // this one's file at 5 after it had used 5 and 6: only this prefix's
        // numbers move this counter.
        ScriptedUiScope ui;
        Database db = inst.database();
        db.exec("INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード) VALUES (5, 36938, '1'), (6, 36938, '1')");
        db.exec("INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日) VALUES (100000007, 36938)");
        setValues(inst, {{16, " 5"}});
        EXPECT_TRUE(startUp(testSession(), inst.dir()));
        EXPECT_EQ(testSession().config.slipCounter, 7);
        setValues(inst, {{15, " 1"}, {16, " 3"}});
        EXPECT_TRUE(startUp(testSession(), inst.dir()));
        EXPECT_EQ(testSession().config.slipCounter, 8);
        EXPECT_EQ(currentSlipNumber(testSession().config), 100000008);
    }
    {
        // A server that does not answer stops the start with its words.
        ScriptedUiScope ui;
        QFile::remove(inst.path(ServerFileName));
        ServerLocation nowhere = *serverLocation(testServerLocation());
        nowhere.port = 1;
        QFile file(inst.path(ServerFileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(serverFileBytes(nowhere));
        file.close();
        EXPECT_FALSE(startUp(testSession(), inst.dir()));
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_TRUE(ui->lastMessage().startsWith(QStringLiteral("データベースを開けません。"))) << ui->lastMessage().toStdString();
        EXPECT_TRUE(ui->lastMessage().contains(QStringLiteral("サーバーに接続できません"))) << ui->lastMessage().toStdString();
    }
}
