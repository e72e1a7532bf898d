// The transfer-slip print-out, and the listing, trial balance, ledger and
// year-end screens driven as the operator drives them.
#include "AccountingData.h"

#include "accounting/AccountingScreens.h"
#include "accounting/LedgerScreen.h"
#include "accounting/TransferSlipPrinting.h"
#include "accounting/TransferSlipScreen.h"
#include "accounting/TransferSlips.h"
#include "accounting/TrialBalanceScreen.h"
#include "accounting/YearEndScreen.h"
#include "ui/Screens.h"
#include "masters/MasterScreens.h"
#include "print/RecordingSurface.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/DateBoxes.h"
#include "ui/ValueModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

using namespace accounting;

namespace {

class ListingTest : public ::testing::Test {
protected:
    TestInstallation install;
    Database db = install.database();
    ScriptedUiScope scripted;

    void SetUp() override
    {
        addSmallBooks(db);
        registerMasterScreens();
        registerAccountingScreens();
        db.exec(QStringLiteral("INSERT INTO 経理借方相手先ＴＢＬ VALUES (5, '米問屋')"));
        db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ) VALUES ('77', '試験商店', 'ｼｹﾝ')"));
    }

    std::vector<TransferSlipRow> rows(int count)
    {
        std::vector<TransferSlipRow> r(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            r[std::size_t(i)].slipNumber = 1000 + i;
            r[std::size_t(i)].date = day(2024, 3, 1);
            r[std::size_t(i)].debitAccountName = QStringLiteral("現金");
            r[std::size_t(i)].amount = yen(1234567);
            r[std::size_t(i)].creditAccountName = QStringLiteral("売上");
        }
        return r;
    }
};

} // namespace

TEST_F(ListingTest, PrintPlacesFiveLineGroupsSixtyToAPageWithHeadingsOnEveryPage)
{
    RecordingSurface surface;
    printTransferSlips(surface, day(2024, 3, 1), day(2024, 3, 31), rows(61));
    surface.endDocument();

    const PrintItem* title = surface.find(QStringLiteral("振替伝票　　　　2024/03/01　-　2024/03/31"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, 700);
    EXPECT_EQ(title->y, 500);
    EXPECT_EQ(title->fontSize, 9.5);
    EXPECT_EQ(title->fontName, TransferSlipFontName);
    EXPECT_EQ(surface.findAll(QStringLiteral("振替伝票　　　　2024/03/01　-　2024/03/31")).size(), 1u);

    auto slipLine = [&](int n) { return surface.find(QString::number(1000 + n - 1)); };
    const std::pair<int, int> expected[] = {{1, 1500}, {5, 2300}, {6, 2700}, {60, 15500}};
    for (const auto& [n, y] : expected) {
        const PrintItem* item = slipLine(n);
        ASSERT_NE(item, nullptr) << n;
        EXPECT_EQ(item->x, 1350) << n;
        EXPECT_EQ(item->y, y) << n;
        EXPECT_EQ(item->page, 1) << n;
    }
    const PrintItem* row61 = slipLine(61);
    ASSERT_NE(row61, nullptr);
    EXPECT_EQ(row61->page, 2);
    EXPECT_EQ(row61->y, 1500);

    const std::vector<const PrintItem*> headings = surface.findAll(QStringLiteral("伝票番号"));
    ASSERT_EQ(headings.size(), 2u);
    EXPECT_EQ(headings[1]->page, 2);
    EXPECT_EQ(headings[1]->y, 1000);
    EXPECT_EQ(headings[1]->x, 1350);
    const std::pair<const char*, int> columns[] = {{"年月日", 2400},   {"借方科目", 3450},   {"経理金額", 4900},
                                                   {"貸方科目", 6400}, {"借方相手先", 7900}, {"顧客名前", 9400}};
    for (const auto& [caption, x] : columns) {
        const PrintItem* h = surface.find(QString::fromUtf8(caption));
        ASSERT_NE(h, nullptr) << caption;
        EXPECT_EQ(h->x, x) << caption;
        EXPECT_EQ(h->y, 1000) << caption;
    }

    // The amount " ##,###,###" ends at 700 + 5500; the date and names start
    // at their columns.
    const std::vector<const PrintItem*> amounts = surface.findAll(QStringLiteral(" 1,234,567"));
    ASSERT_EQ(amounts.size(), 61u);
    EXPECT_EQ(amounts[0]->x + RecordingSurface::nominalWidth(amounts[0]->text, 9.5), 6200);
    EXPECT_EQ(amounts[0]->y, 1500);
    const PrintItem* date = surface.textAt(2400, 1500);
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->text, QStringLiteral("2024/03/01"));
    ASSERT_NE(surface.textAt(3450, 1500), nullptr);
    EXPECT_EQ(surface.textAt(3450, 1500)->text, QStringLiteral("現金"));
    EXPECT_EQ(surface.textAt(6400, 1500)->text, QStringLiteral("売上"));
}

// Read with the printer face's widths (a half-width character 95 twips at
// 9.5 points): at the widest value of every column, each item's ink ends
// at least one half-width character before the next item's begins.
TEST_F(ListingTest, PrintedColumnsStayClearOfEachOtherAtTheirWidestValues)
{
    std::vector<TransferSlipRow> r = rows(1);
    r[0].slipNumber = 2147483647; // ten digits, the widest slip number
    r[0].date = day(2024, 12, 28);
    r[0].debitAccountName = QStringLiteral("車両運搬具減価償却累計額");
    r[0].amount = yen(99999999);
    r[0].creditAccountName = QStringLiteral("未払法人税及び住民税等");
    r[0].counterpartyName = QStringLiteral("株式会社ひまわり米穀卸売");
    r[0].customerName = QStringLiteral("株式会社ひまわり高原リゾートホテル別館");
    RecordingSurface surface;
    printTransferSlips(surface, day(2024, 12, 1), day(2024, 12, 31), r);

    const auto items = surface.row(1500);
    ASSERT_EQ(items.size(), 7u);
    QStringList texts;
    for (const PrintItem* t : items)
        texts << t->text;
    EXPECT_EQ(texts.mid(0, 2), QStringList({"2147483647", "2024/12/28"}));
    EXPECT_EQ(texts[3], QStringLiteral(" 99,999,999"));
    for (std::size_t i = 0; i + 1 < items.size(); ++i)
        EXPECT_GE(RecordingSurface::inkExtent(*items[i + 1]).left - RecordingSurface::inkExtent(*items[i]).right, 95)
            << items[i]->text.toStdString() << " | " << items[i + 1]->text.toStdString();
    // The slip number from 1350 to 2300, the date from 2400 to 3350, the
    // debit account from 3450.
    EXPECT_EQ(RecordingSurface::inkExtent(*items[0]).right, 2300);
    EXPECT_EQ(items[1]->x, 2400);
    EXPECT_EQ(RecordingSurface::inkExtent(*items[1]).right, 3350);
    EXPECT_EQ(items[2]->x, 3450);
    EXPECT_LE(RecordingSurface::inkExtent(*items[6]).right, PrintSurface::RightEdge);
}

TEST_F(ListingTest, SixtyLinesLeaveASecondPageOfHeadingsAndAnEmptyRangeTitleAndHeadings)
{
    RecordingSurface full;
    printTransferSlips(full, day(2024, 3, 1), day(2024, 3, 31), rows(60));
    EXPECT_EQ(full.pageCount(), 2);
    EXPECT_EQ(full.findAll(QStringLiteral("伝票番号")).size(), 2u);

    RecordingSurface empty;
    printTransferSlips(empty, day(2024, 3, 1), day(2024, 3, 31), {});
    EXPECT_EQ(empty.pageCount(), 1);
    EXPECT_EQ(empty.texts().size(), 8u); // the title and seven headings
}

TEST_F(ListingTest, ListingScreenOpensOnTheLastThirtyDaysAndPrintsWhatItLoaded)
{
    const Date today = Date::today();
    addJournal(db, 600, at(today, 0.5), 4200, 10, 5000);
    addJournal(db, 601, at(today.addDays(-30)), 100, 10, 5000);
    addJournal(db, 602, at(today.addDays(-31), 0.99), 100, 10, 5000);
    frm経理振替伝票 screen(testSession());
    screen.show();
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("振替伝票発行"));
    EXPECT_EQ(screen.startBoxes->date(), today.addDays(-30));
    EXPECT_EQ(screen.endBoxes->date(), today);
    ASSERT_EQ(screen.loadedRows().size(), 2u);
    EXPECT_EQ(screen.slipRows->rowCount(), 2);

    screen.startBoxes->setDate(day(2024, 3, 1));
    screen.endBoxes->setDate(PeriodEnd);
    clickButton(&screen, QStringLiteral("Command1"));
    EXPECT_EQ(screen.loadedRows().size(), 9u);

    PrintCapture capture;
    clickButton(&screen, QStringLiteral("Command3"));
    ASSERT_EQ(capture.count(), 1);
    EXPECT_TRUE(capture.surface(0).ended());
    EXPECT_NE(capture.surface(0).find(QStringLiteral("101")), nullptr);
}

TEST_F(ListingTest, TrialBalanceScreenComputesShowsPrintsAndClearsOnAnyClose)
{
    frm経理残高試算表 screen(testSession());
    screen.show();
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("経理残高試算表"));
    EXPECT_FALSE(control<QPushButton>(&screen, QStringLiteral("Command1"))->isVisible());
    screen.dateBoxes->setDate(PeriodEnd);
    EXPECT_EQ(screen.dateBoxes->date(), PeriodEnd);
    clickButton(&screen, QStringLiteral("Command3"));
    EXPECT_EQ(control<QLineEdit>(&screen, QStringLiteral("Text1"))->text(), QStringLiteral("30800"));
    EXPECT_EQ(control<QLineEdit>(&screen, QStringLiteral("Text2"))->text(), QStringLiteral("4000"));
    EXPECT_EQ(currentOf(db, 10), yen(112600));

    PrintCapture capture;
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& page = capture.surface(0);
    EXPECT_NE(page.find(QStringLiteral("112,600")), nullptr);
    EXPECT_NE(page.find(QStringLiteral("30,800")), nullptr);

    // Closed with the window's close box, not "終了": the columns are 0 all the same.
    screen.reject();
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 勘定科目TBL WHERE 借方金額 <> 0 OR 貸方金額 <> 0 OR 現在残高 <> 0"))
                  .toInt(),
              0);
}

TEST_F(ListingTest, LedgerScreenStartsFromAccount10AndEmptiesItsTableOnLeaving)
{
    scripted->onScreen(QStringLiteral("frm勘定科目選択"), [](QDialog& picker) { picker.reject(); });
    int lines = -1;
    QString name;
    scripted->onScreen(QStringLiteral("frm経理勘定帳"), [&](QDialog& dialog) {
        auto& screen = static_cast<frm経理勘定帳&>(dialog);
        name = control<QLabel>(&screen, QStringLiteral("Label1"))->text();
        lines = screen.lineRows->rowCount();
        EXPECT_EQ(screen.ledger().closing, yen(162600));
        PrintCapture capture;
        clickButton(&screen, QStringLiteral("Command2"));
        ASSERT_EQ(capture.count(), 1);
        EXPECT_NE(capture.surface(0).find(QStringLiteral("162,600")), nullptr);
        clickButton(&screen, QStringLiteral("Command1"));
    });
    openScreen(testSession(), QStringLiteral("frm経理勘定帳"), QStringLiteral("各勘定帳出力"), nullptr);
    EXPECT_EQ(name, QStringLiteral("現金"));
    EXPECT_EQ(lines, 8);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 各勘定帳")).toInt(), 0);
}

TEST_F(ListingTest, YearEndScreenAsksTwiceAndCancelAtEitherQuestionChangesNothing)
{
    const QStringList before = dumpBooks(db);
    for (const std::deque<bool>& answers : {std::deque<bool>{false}, std::deque<bool>{true, false}}) {
        frm更新年次 screen(testSession());
        screen.show();
        screen.dateBoxes->setDate(PeriodEnd);
        scripted->answers = answers;
        clickButton(&screen, QStringLiteral("Command1"));
        EXPECT_TRUE(scripted->answers.empty());
        EXPECT_EQ(dumpBooks(db), before);
    }
    EXPECT_EQ(scripted->questions.at(0).text, YearEndDateQuestion);
    EXPECT_EQ(scripted->questions.at(0).title, YearEndTitle);
    EXPECT_EQ(scripted->questions.at(2).text, YearEndDeleteQuestion);
    EXPECT_TRUE(scripted->messages.empty());

    frm更新年次 screen(testSession());
    screen.show();
    screen.dateBoxes->setDate(PeriodEnd);
    scripted->answers = {true, true};
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_FALSE(scripted->messages.empty());
    EXPECT_EQ(scripted->lastMessage(), YearEndDoneMessage);
    EXPECT_EQ(scripted->messages.back().title, YearEndDoneTitle);
    EXPECT_EQ(figuresOf(db, 10).opening, yen(112600));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 経理マスター")).toInt(), 1);
}

TEST_F(ListingTest, YearEndScreenRefusesUnknownAccountsAndUnpostedRowsBeforeAsking)
{
    addJournal(db, 140, at(day(2024, 3, 15)), 700, 7777, 10);
    const QStringList before = dumpBooks(db);
    frm更新年次 screen(testSession());
    screen.show();
    screen.dateBoxes->setDate(PeriodEnd);
    clickButton(&screen, QStringLiteral("Command1"));
    EXPECT_TRUE(scripted->questions.empty());
    EXPECT_TRUE(scripted->lastMessage().contains(QStringLiteral("伝票番号 140：借方 7777")));
    EXPECT_EQ(dumpBooks(db), before);

    db.exec(QStringLiteral("DELETE FROM 経理マスター WHERE 経理伝票番号 = 140"));
    db.exec(QStringLiteral("INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理金額, 経理借方コード, 経理貸方コード)"
                           " VALUES (150, ?, ?, 10, 5499)"),
            {at(day(2024, 3, 30)), sqlValue(yen(100))});
    // Posted after the year-end, the row would land in the closed period:
    // the year-end is refused until the daily update has run.
    const QStringList withHolding = dumpBooks(db);
    clickButton(&screen, QStringLiteral("Command1"));
    EXPECT_EQ(scripted->lastMessage(),
              QStringLiteral("期末までの日付で、まだ日次更新していない経理データが 1 件あります。\n"
                             "締めた後では繰越に入れられないため、年次更新はしませんでした。先に日次更新をしてください。"));
    EXPECT_TRUE(scripted->questions.empty());
    EXPECT_EQ(dumpBooks(db), withHolding);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 年次更新ＴＢＬ")).toInt(), 0);
}
