// "CSV出力" of the trial balance, and the journal for the tax accountant
// from the transfer-slip listing: the files' exact bytes after the buttons
// are pressed on books worked by hand.
#include "AccountingData.h"

#include "accounting/TransferSlipScreen.h"
#include "accounting/TrialBalanceScreen.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/DateBoxes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// The path the last message told, after "CSVファイルに出力しました。".
QString toldPath(const ScriptedUi& scripted)
{
    const QString told = QStringLiteral("CSVファイルに出力しました。\n");
    if (scripted.messages.empty() || scripted.messages.back().title != QStringLiteral("CSV出力")
        || !scripted.lastMessage().startsWith(told))
        return {};
    return scripted.lastMessage().mid(told.size());
}

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QByteArray withMark(const QString& text)
{
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace

// A chart of four accounts, one with a comma in its name; up to 03/31:
//   10    100000 + 30000 − 12000 − 4000 − 500 = 113500
//   5000  30000 (credit side)
//   5500  12000 + 500 = 12500
//   7999  4000
// The 04/01 sale is after the day and not counted.
TEST(CsvOutputScreens, TrialBalanceWritesTheChartAsTheGridShowsIt)
{
    TestInstallation install;
    Database db = install.database();
    ScriptedUiScope scripted;
    db.exec(QStringLiteral("DELETE FROM 勘定科目TBL"));
    setAccount(db, 10, QStringLiteral("現金"), 100000);
    setAccount(db, 5000, QStringLiteral("売上"), 0);
    setAccount(db, 5500, QStringLiteral("仕入"), 0);
    setAccount(db, 7999, QStringLiteral("雑費, その他"), 0);
    addJournal(db, 1, at(day(2024, 3, 1)), 30000, 10, 5000);
    addJournal(db, 2, at(day(2024, 3, 2)), 12000, 5500, 10);
    addJournal(db, 3, at(day(2024, 3, 3)), 4000, 7999, 10);
    addJournal(db, 4, at(PeriodEnd, 0.99), 500, 5500, 10);
    addJournal(db, 5, at(day(2024, 4, 1)), 9000, 10, 5000);

    frm経理残高試算表 screen(testSession());
    screen.show();
    screen.dateBoxes->setDate(PeriodEnd);
    clickButton(&screen, QStringLiteral("Command3"));
    clickButton(&screen, QStringLiteral("cmdCSV"));
    const QString path = toldPath(*scripted);
    ASSERT_FALSE(path.isEmpty()) << scripted->lastMessage().toStdString();
    EXPECT_TRUE(path.startsWith(QDir(install.path(QStringLiteral("出力"))).absolutePath() + QStringLiteral("/残高試算表_")))
        << path.toStdString();
    EXPECT_EQ(contentsOf(path), withMark(QStringLiteral("科目番号,勘定科目名,期首残高,借方金額,貸方金額,現在残高\r\n"
                                                        "10,現金,100000,30000,16500,113500\r\n"
                                                        "5000,売上,0,0,30000,30000\r\n"
                                                        "5500,仕入,0,12500,0,12500\r\n"
                                                        "7999,\"雑費, その他\",0,4000,0,4000\r\n")));
    screen.reject();
}

// The journal of the dates the boxes show, whatever the grid last loaded:
// slips 101 and 102 of 03/01 and 03/02, the purchase from its supplier.
TEST(CsvOutputScreens, TransferSlipListingWritesTheJournalOfItsDates)
{
    TestInstallation install;
    Database db = install.database();
    ScriptedUiScope scripted;
    addSmallBooks(db);
    db.exec(QStringLiteral("INSERT INTO 経理借方相手先ＴＢＬ VALUES (5, '米問屋')"));
    db.exec(QStringLiteral("UPDATE 経理マスター SET 経理借方相手先コード = 5 WHERE 経理伝票番号 = 102"));

    frm経理振替伝票 screen(testSession());
    screen.show();
    EXPECT_EQ(control<QPushButton>(&screen, QStringLiteral("cmd仕訳CSV"))->text(), QStringLiteral("仕訳CSV出力"));
    screen.startBoxes->setDate(day(2024, 3, 1));
    screen.endBoxes->setDate(day(2024, 3, 2));
    clickButton(&screen, QStringLiteral("cmd仕訳CSV"));
    const QString path = toldPath(*scripted);
    ASSERT_FALSE(path.isEmpty()) << scripted->lastMessage().toStdString();
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QStringLiteral("仕訳帳_"))) << path.toStdString();
    EXPECT_EQ(contentsOf(path),
              withMark(QStringLiteral("日付,伝票番号,借方科目コード,借方科目名,貸方科目コード,貸方科目名,相手先,金額\r\n"
                                      "2024/03/01,101,10,現金,5499,売上境界,,30000\r\n"
                                      "2024/03/02,102,5500,米仕入,10,現金,米問屋,12000\r\n")));
}
