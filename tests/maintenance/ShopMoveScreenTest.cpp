// The screen that moves a shop onto a server and back: nothing switches
// before the copy is checked, the other computer's steps are told, and the
// way back keeps the file the shop left behind.
#include "db/DatabaseLocation.h"
#include "maintenance/ShopMoveScreen.h"
#include "session/Routines.h"
#include "support/Controls.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/JapaneseFont.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

// A database of its own on the test server for the shop to move into,
// dropped at the end.
class ServerDatabase {
public:
    explicit ServerDatabase(const QString& name) : name_(name)
    {
        Database admin(testServerLocation());
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS ") + name_);
        admin.exec(QStringLiteral("CREATE DATABASE ") + name_);
        location_ = *serverLocation(testServerLocation());
        location_.databaseName = name_;
    }
    ~ServerDatabase()
    {
        try {
            Database admin(testServerLocation());
            admin.exec(QStringLiteral("DROP DATABASE IF EXISTS ") + name_ + QStringLiteral(" WITH (FORCE)"));
        } catch (const std::exception&) {
        }
    }
    const ServerLocation& location() const { return location_; }

private:
    QString name_;
    ServerLocation location_;
};

void addShopRows(Database& db)
{
    db.exec("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客売掛締後売上額) VALUES ('1001', '青木　花子', 105000000)");
    db.exec("INSERT INTO 経理マスター (経理シリアル, 経理伝票番号, 経理年月日, 経理金額, 経理借方コード, 経理貸方コード,"
            " 経理貸方相手先コード) VALUES (1, 1, 45413, 105000000, 110, 5000, '1001')");
}

} // namespace

TEST(ShopMoveScreen, MovesTheShopOntoTheServerAndBackKeepingWhatItLeft)
{
    if (testServerLocation().isEmpty())
        GTEST_SKIP() << "no PostgreSQL server (HIMAWARI_TEST_SERVER is not set)";
    useJapaneseFont();
    TestInstallation installation;
    ScriptedUiScope ui;
    SessionState& s = testSession();
    {
        Database db(s.config.databasePath);
        addShopRows(db);
    }
    const QString file = s.config.databasePath;
    const ServerDatabase server(QStringLiteral("move_%1").arg(QCoreApplication::applicationPid()));

    frmサーバー移行 screen(s);
    screen.show();
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("データベースの移行"));
    EXPECT_TRUE(screen.currentLabel->text().startsWith(QStringLiteral("今のデータベース：")));
    EXPECT_TRUE(screen.toServerButton->isEnabled());
    EXPECT_FALSE(screen.toFileButton->isEnabled());
    screen.hostBox->setText(server.location().host);
    screen.portBox->setValue(server.location().port);
    screen.databaseBox->setText(server.location().databaseName);
    screen.userBox->setText(server.location().user);

    // "キャンセル" changes nothing.
    ui->answers = {false};
    clickButton(&screen, "cmdサーバーへ");
    EXPECT_FALSE(QFileInfo::exists(installation.path(ServerFileName)));
    EXPECT_EQ(s.config.databasePath, file);

    ui->answers = {true};
    clickButton(&screen, "cmdサーバーへ");
    ASSERT_TRUE(isServerLocation(s.config.databasePath)) << ui->lastMessage().toStdString();
    EXPECT_TRUE(ui->lastMessage().startsWith(QStringLiteral("サーバーへ移しました。"))) << ui->lastMessage().toStdString();
    EXPECT_TRUE(ui->lastMessage().contains(QStringLiteral("伝票番号の頭番号（16 行目）")));
    EXPECT_EQ(readConfiguration(installation.configurationPath()).databasePath, s.config.databasePath);
    {
        Database onServer(s.config.databasePath);
        EXPECT_EQ(onServer.scalar("SELECT 顧客名前 FROM 顧客マスター WHERE 顧客コード = '1001'").toString(),
                  QStringLiteral("青木　花子"));
        // A slip stored on the server from now on lands there.
        onServer.exec("UPDATE 顧客マスター SET 顧客名前 = '青木　花' WHERE 顧客コード = '1001'");
    }
    EXPECT_FALSE(screen.toServerButton->isEnabled());
    EXPECT_TRUE(screen.toFileButton->isEnabled());
    savePicture(screen, pictureFolder(installation.dir()), QStringLiteral("shop-move.png"));

    // A second shop cannot move into the same, no longer empty, database.
    const SessionState first = s;
    {
        TestInstallation second;
        SessionState& s2 = testSession();
        frmサーバー移行 again(s2);
        again.hostBox->setText(server.location().host);
        again.portBox->setValue(server.location().port);
        again.databaseBox->setText(server.location().databaseName);
        again.userBox->setText(server.location().user);
        ui->answers = {true};
        EXPECT_FALSE(again.moveToServer());
        EXPECT_TRUE(ui->lastMessage().startsWith(QStringLiteral("サーバーへ移せませんでした。店のデータは今までどおりファイルにあります。")))
            << ui->lastMessage().toStdString();
        EXPECT_FALSE(QFileInfo::exists(second.path(ServerFileName)));
        EXPECT_FALSE(isServerLocation(s2.config.databasePath));
    }
    testSession() = first;

    // Back to the file: the server's rows, and the file it left kept beside.
    const QString before = screen.currentLabel->text();
    ui->answers = {true};
    clickButton(&screen, "cmdファイルへ");
    EXPECT_EQ(s.config.databasePath, file) << ui->lastMessage().toStdString();
    EXPECT_TRUE(ui->lastMessage().startsWith(QStringLiteral("ファイルへ戻しました。"))) << ui->lastMessage().toStdString();
    EXPECT_TRUE(ui->lastMessage().contains(QStringLiteral(".before-server-")));
    EXPECT_FALSE(QFileInfo::exists(installation.path(ServerFileName)));
    EXPECT_TRUE(QFileInfo::exists(installation.path(ServerFileName + QStringLiteral(".off"))));
    EXPECT_EQ(readConfiguration(installation.configurationPath()).databasePath, file);
    Database back(file);
    EXPECT_EQ(back.scalar("SELECT 顧客名前 FROM 顧客マスター WHERE 顧客コード = '1001'").toString(), QStringLiteral("青木　花"));
    EXPECT_NE(screen.currentLabel->text(), before);
}
