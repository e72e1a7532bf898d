// The screen that moves an old shop in: the file named, read beside the
// live database, the summary per table with its checks, and the live
// database replaced only on the operator's word.
#include "maintenance/OldDataImportScreen.h"
#include "session/Routines.h"
#include "support/Controls.h"
#include "support/OldDataTables.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/JapaneseFont.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

OldValue text(const char* s) { return QString::fromUtf8(s); }
OldValue whole(std::int64_t i) { return i; }
OldValue yen(std::int64_t units) { return Currency::fromUnits(units); }

TableSource oldShop()
{
    TableSource s;
    s.add({QStringLiteral("顧客マスター"),
           {{"顧客コード", JetType::Text},
            {"顧客名前", JetType::Text},
            {"顧客売掛前回請求金額", JetType::Currency},
            {"顧客旧メモ", JetType::Memo}},
           {{text("1001"), text("青木　花子"), yen(8000), text("")},
            {text("1002"), text("井上　一郎"), yen(2500), text("")},
            {text("1003"), text("上田　三郎"), yen(0), text("")}}});
    s.add({QStringLiteral("商品マスター"),
           {{"単品コード", JetType::Text}, {"単品名称", JetType::Text}, {"単品売価", JetType::Currency}},
           {{text("1001"), text("県産こしひかり　５ｋｇ"), yen(2980)}, {text("2001"), text("灯油　１８Ｌ缶"), yen(2160)}}});
    s.add({QStringLiteral("経理マスター"),
           oldJournalColumns(),
           {{whole(1), whole(1), Date::fromParts(2024, 5, 1), yen(10500), whole(110), whole(5000)}}});
    s.add({QStringLiteral("旧作業表"), {{"列", JetType::Text}}, {}});
    return s;
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class OldDataImportScreenTest : public ::testing::Test {
protected:
    TestInstallation installation;
    ScriptedUiScope ui;
    SessionState& s = testSession();
};

} // namespace

TEST_F(OldDataImportScreenTest, ShowsWhatItReadAndReplacesTheLiveDatabaseOnlyWhenAsked)
{
    useJapaneseFont();
    const QByteArray liveBefore = bytesOf(s.config.databasePath);
    frm旧データ取り込み screen(s);
    screen.show();
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("旧データの取り込み"));
    EXPECT_FALSE(screen.replaceButton->isEnabled());
    ASSERT_TRUE(screen.readOldData(oldShop()));

    // One row per table of ours, with the counts and the columns left.
    ASSERT_EQ(screen.summaryGrid->rowCount(), 3);
    EXPECT_EQ(screen.summaryGrid->item(0, 0)->text(), QStringLiteral("顧客マスター"));
    EXPECT_EQ(screen.summaryGrid->item(0, 1)->text(), "3");
    EXPECT_EQ(screen.summaryGrid->item(0, 2)->text(), "3");
    EXPECT_EQ(screen.summaryGrid->item(0, 3)->text(), QStringLiteral("顧客旧メモ"));
    const QString notes = screen.notesLabel->text();
    EXPECT_TRUE(notes.contains(QStringLiteral("売掛金（110）の残高 10500円 と顧客の売掛残高の合計は一致しています。")))
        << notes.toStdString();
    EXPECT_TRUE(notes.contains(QStringLiteral("このプログラムにない旧ファイルの表（取り込みません）：旧作業表")));
    EXPECT_TRUE(screen.replaceButton->isEnabled());
    screen.fileBox->setText(QStringLiteral("/home/shop/旧データ/HIMAWARI.mdb"));
    savePicture(screen, pictureFolder(installation.dir()), QStringLiteral("old-data-import.png"));
    EXPECT_EQ(bytesOf(s.config.databasePath), liveBefore);

    // "No" to the question changes nothing.
    ui->answers = {false};
    clickButton(&screen, "cmd置換");
    EXPECT_EQ(bytesOf(s.config.databasePath), liveBefore);
    EXPECT_TRUE(QFileInfo::exists(stagedOldDataPath(s.config)));

    // "Yes": the old shop is live, the replaced database kept.
    ui->answers = {true};
    clickButton(&screen, "cmd置換");
    EXPECT_EQ(screen.result(), QDialog::Accepted);
    EXPECT_FALSE(QFileInfo::exists(stagedOldDataPath(s.config)));
    Database live(s.config.databasePath);
    EXPECT_EQ(live.scalar(QStringLiteral("SELECT COUNT(*) FROM 顧客マスター")).toInt(), 3);
    ASSERT_FALSE(ui->messages.empty());
    EXPECT_TRUE(ui->lastMessage().startsWith(QStringLiteral("旧データに置き換えました。\n置き換える前のデータベース：")))
        << ui->lastMessage().toStdString();
}

TEST_F(OldDataImportScreenTest, FilesThatCannotBeReadOrHoldNothingOfOursChangeNothing)
{
    const QByteArray liveBefore = bytesOf(s.config.databasePath);
    frm旧データ取り込み screen(s);
    screen.show();
    // No file named.
    clickButton(&screen, "cmd読込");
    EXPECT_EQ(ui->lastMessage(), QStringLiteral("旧データのファイルを指定してください。"));
    // A file that is no old database.
    QFile notJet(installation.path(QStringLiteral("memo.mdb")));
    ASSERT_TRUE(notJet.open(QIODevice::WriteOnly));
    notJet.write(QByteArray(4096, 'x'));
    notJet.close();
    screen.fileBox->setText(notJet.fileName());
    clickButton(&screen, "cmd読込");
    EXPECT_TRUE(ui->lastMessage().endsWith(QStringLiteral("\n\n今のデータベースはそのままです。"))) << ui->lastMessage().toStdString();
    EXPECT_FALSE(screen.replaceButton->isEnabled());
    // Old data with none of our tables is not put in place of a shop.
    TableSource foreign;
    foreign.add({QStringLiteral("Products"), {{"ProductID", JetType::LongInteger}}, {{whole(1)}}});
    ASSERT_TRUE(screen.readOldData(foreign));
    EXPECT_EQ(screen.summaryGrid->rowCount(), 0);
    EXPECT_TRUE(screen.notesLabel->text().startsWith(QStringLiteral("次の問題があるため置き換えられません：\n"
                                                                    "このファイルには取り込める表がありません")));
    EXPECT_FALSE(screen.replaceButton->isEnabled());
    // Leaving removes what was read; the live database is as it was.
    clickButton(&screen, "cmd終了");
    EXPECT_FALSE(QFileInfo::exists(stagedOldDataPath(s.config)));
    EXPECT_EQ(bytesOf(s.config.databasePath), liveBefore);
}
