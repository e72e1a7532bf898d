// The pre-posting review and the daily update screen: the listings, the
// selected slip number, deleting a slip, "確認ＯＫ", and the daily update
// from the review through the question to the posted rows.
#include "ui/Screens.h"
#include "sales/DailyUpdateScreen.h"
#include "sales/PostingScreens.h"
#include "sales/PrePostingReview.h"
#include "support/Controls.h"
#include "support/Grids.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/JapaneseFont.h"
#include "ui/ValueModel.h"
#include "PostingData.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace posting;

namespace {

QStringList headings(QTableView* grid)
{
    QStringList texts;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        texts << grid->model()->headerData(c, Qt::Horizontal).toString();
    return texts;
}

void clickGridRow(QTableView* grid, int row)
{
    const QModelIndex index = grid->model()->index(row, 1);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

class PostingScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addCustomer(db, QStringLiteral("C1"), QStringLiteral("山田　太郎"));
        addCustomer(db, QStringLiteral("C2"), QStringLiteral("青木　花子"));
        db.exec(QStringLiteral("INSERT INTO 勘定科目TBL (科目番号, 勘定科目名) VALUES (100, '小切手')"));
        registerPostingScreens();
    }

    // Two slips in each holding table, listed, and rows the listings leave
    // out: a line of an unknown customer and an expense with no customer.
    void addWaitingRows()
    {
        addSale(db, 1, 9, day, QStringLiteral("C2"), 1, "1500", "2", QStringLiteral("灯油１８Ｌ"));
        addSale(db, 2, 3, day, QStringLiteral("C1"), 0, "99.5", "3", QStringLiteral("精米"));
        addSale(db, 3, 3, day, QStringLiteral("C1"), 0, "25", "1", QStringLiteral("　　　消費税"));
        addSale(db, 4, 123, day, QStringLiteral("ZZZ"), 1, "10", "1");
        addLedger(db, 1, 7, day, "3000", 110, 5000, QStringLiteral("C2"));
        addLedger(db, 2, 5, day, "-300", 100, 110, QStringLiteral("C1"));
        addLedger(db, 3, 123, day, "800", 6010, 10, QStringLiteral("0"));
    }

    TestInstallation inst;
    ScriptedUiScope ui;
    Database db = inst.database();
    const double day = Date::fromParts(2024, 5, 1).serial();
};

} // namespace

TEST_F(PostingScreensTest, ListingsShowTheCustomersRowsAsPeopleReadThem)
{
    addWaitingRows();
    // The copy of the chart is stale: the review refreshes it first.
    db.exec(QStringLiteral("DELETE FROM 勘定科目TBLＣＯＰＹ"));
    frm転記前確認 d(testSession());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("転記処理前の確認"));
    EXPECT_EQ(d.salesLabel->text(), QStringLiteral("売上商品マスター仮"));
    EXPECT_EQ(d.ledgerLabel->text(), QStringLiteral("経理マスター仮"));
    EXPECT_EQ(d.salesLabel->buddy(), d.salesGrid);
    EXPECT_EQ(d.deleteButton->text(), QStringLiteral("削除"));
    EXPECT_EQ(d.okButton->text(), QStringLiteral("確認ＯＫ"));

    ASSERT_EQ(d.salesGrid->model()->rowCount(), 3);
    EXPECT_EQ(gridRow(d.salesGrid, 0), QStringList({"2", "3", "2024/05/01", "山田　太郎", "精米", "99.5", "3"}));
    EXPECT_EQ(gridRow(d.salesGrid, 1), QStringList({"3", "3", "2024/05/01", "山田　太郎", "　　　消費税", "25", "1"}));
    EXPECT_EQ(gridRow(d.salesGrid, 2), QStringList({"1", "9", "2024/05/01", "青木　花子", "灯油１８Ｌ", "1500", "2"}));

    ASSERT_EQ(d.ledgerGrid->model()->rowCount(), 2);
    EXPECT_EQ(gridRow(d.ledgerGrid, 0), QStringList({"2", "5", "2024/05/01", "-300", "小切手", "売掛金", "山田　太郎"}));
    EXPECT_EQ(gridRow(d.ledgerGrid, 1), QStringList({"1", "7", "2024/05/01", "3000", "売掛金", "外税売上１", "青木　花子"}));
    EXPECT_EQ(headings(d.ledgerGrid).mid(4, 2),
              QStringList({"勘定科目TBL.勘定科目名", "勘定科目TBLＣＯＰＹ.勘定科目名"}));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 勘定科目TBLＣＯＰＹ")).toInt(),
              db.scalar(QStringLiteral("SELECT COUNT(*) FROM 勘定科目TBL")).toInt());
}

TEST_F(PostingScreensTest, SelectedNumberFollowsTheLastLoadedListingAndTheClickedRow)
{
    addWaitingRows();
    {
        frm転記前確認 d(testSession());
        // The ledger listing is loaded second: its first row wins.
        EXPECT_EQ(d.selectedSlipNumber(), 5);
        d.show();
        clickGridRow(d.salesGrid, 2);
        EXPECT_EQ(d.selectedSlipNumber(), 9);
        clickGridRow(d.ledgerGrid, 1);
        EXPECT_EQ(d.selectedSlipNumber(), 7);
    }

    // With no customer rows in the ledger, the first sales row's number.
    db.exec(QStringLiteral("DELETE FROM 経理マスター仮 WHERE 経理貸方相手先コード <> '0'"));
    {
        frm転記前確認 d(testSession());
        EXPECT_EQ(d.selectedSlipNumber(), 3);
    }

    // With both listings empty the number the review was opened with stays,
    // and "削除" offers it, deleting nothing.
    db.exec(QStringLiteral("DELETE FROM 売上商品マスター仮 WHERE 売上顧客コード <> 'ZZZ'"));
    {
        frm転記前確認 d(testSession(), nullptr, 42);
        d.show();
        EXPECT_EQ(d.selectedSlipNumber(), 42);
        ui->answers.push_back(true);
        clickButton(&d, QStringLiteral("Command1"));
        ASSERT_EQ(ui->questions.size(), 1u);
        EXPECT_EQ(ui->questions[0].text, QStringLiteral("伝票番号42のデータを削除します。よろしいですか？"));
        EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 1);
        EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 1);
        EXPECT_TRUE(ui->messages.empty());
    }

    // Nothing selected: a message and no question.
    frm転記前確認 d(testSession());
    d.show();
    clickButton(&d, QStringLiteral("Command1"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("伝票番号を指定(クリック)してから削除ボタンを押して下さい。"));
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(ui->questions.size(), 1u);
}

TEST_F(PostingScreensTest, DeletingASlipRemovesAllItsRowsInBothTables)
{
    addWaitingRows();
    addSale(db, 5, 123, day, QStringLiteral("C2"), 1, "200", "1", QStringLiteral("配達料"));
    addLedger(db, 4, 123, day, "200", 110, 5090, QStringLiteral("C2"));
    frm転記前確認 d(testSession());
    d.show();
    clickGridRow(d.salesGrid, 3); // slip 123, 配達料
    ASSERT_EQ(d.selectedSlipNumber(), 123);

    // Cancel keeps everything.
    ui->answers.push_back(false);
    clickButton(&d, QStringLiteral("Command1"));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 5);

    ui->answers.push_back(true);
    clickButton(&d, QStringLiteral("Command1"));
    ASSERT_EQ(ui->questions.size(), 2u);
    EXPECT_EQ(ui->questions[1].text, QStringLiteral("伝票番号123のデータを削除します。よろしいですか？"));
    EXPECT_EQ(ui->questions[1].title, QStringLiteral("データの削除"));
    // The listed rows and those of no customer go together.
    EXPECT_EQ(tableRows(db, QStringLiteral("売上商品マスター仮")).size(), 3);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター仮 WHERE 売上伝票番号 = 123")).toInt(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 経理マスター仮 WHERE 経理伝票番号 = 123")).toInt(), 0);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 2);
    // Reloaded: the ledger's first row is current again.
    EXPECT_EQ(d.salesGrid->model()->rowCount(), 3);
    EXPECT_EQ(d.selectedSlipNumber(), 5);
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(PostingScreensTest, DeletionThatFailsDeletesNeitherTable)
{
    addWaitingRows();
    db.exec(QStringLiteral("CREATE TRIGGER fail BEFORE DELETE ON 経理マスター仮 BEGIN SELECT RAISE(ABORT, '削除失敗'); END"));
    frm転記前確認 d(testSession(), nullptr, 123);
    d.show();
    d.setSelectedSlipNumber(123);
    ui->answers.push_back(true);
    clickButton(&d, QStringLiteral("Command1"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text,
              QStringLiteral("伝票番号123のデータを削除できませんでした。何も削除していません。\n削除失敗"));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 4);
    EXPECT_EQ(d.salesGrid->model()->rowCount(), 3);
}

TEST_F(PostingScreensTest, ConfirmSaysNothingToPostWhenNoCustomerRowIsListed)
{
    addLedger(db, 1, 11, day, "800", 6010, 10, QStringLiteral("0"));
    frm転記前確認 d(testSession());
    d.show();
    clickButton(&d, QStringLiteral("Command2"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("転記するデータがありません。"));
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("エラー"));
    EXPECT_FALSE(d.isVisible());

    addSale(db, 1, 12, day, QStringLiteral("C1"), 0, "10", "1");
    frm転記前確認 d2(testSession());
    d2.show();
    clickButton(&d2, QStringLiteral("Command2"));
    EXPECT_EQ(ui->messages.size(), 1u);
    EXPECT_FALSE(d2.isVisible());
}

TEST_F(PostingScreensTest, DailyUpdateShowsTheReviewFirstThenPostsUpToToday)
{
    const double today = Date::today().serial();
    addSale(db, 1, 21, today + 0.5, QStringLiteral("C1"), 1, "1500", "2");
    addSale(db, 2, 22, today + 1, QStringLiteral("C1"), 1, "700", "1");
    addLedger(db, 1, 23, today, "400", 10, 110, QStringLiteral("C2"));
    addLedger(db, 2, 24, today + 1, "800", 6010, 10, QStringLiteral("0"));
    ui->onScreen(QStringLiteral("frm転記前確認"), [&](QDialog& d) {
        // The question is not shown yet.
        EXPECT_FALSE(ui->openedScreens.contains(QStringLiteral("frm更新日次")));
        clickButton(&d, QStringLiteral("Command2"));
    });
    ui->onScreen(QStringLiteral("frm更新日次"), [](QDialog& dialog) {
        auto& d = static_cast<frm更新日次&>(dialog);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("日次更新"));
        EXPECT_EQ(d.questionLabel->text(), QStringLiteral("データの転記をしてもよろしいか？"));
        EXPECT_EQ(d.cancelButton->text(), QStringLiteral("キャンセル"));
        clickButton(&d, QStringLiteral("Command2"));
        EXPECT_FALSE(d.isVisible());
    });

    EXPECT_EQ(openScreen(testSession(), QStringLiteral("frm更新日次"), QStringLiteral("日次更新"), nullptr), QDialog::Accepted);

    EXPECT_EQ(ui->openedScreens, QStringList({"frm転記前確認", "frm更新日次"}));
    EXPECT_TRUE(ui->messages.empty()) << ui->lastMessage().toStdString();
    EXPECT_GT(ui->busyCount, 0);
    EXPECT_EQ(ui->busyDepth, 0);
    EXPECT_EQ(customerTotals(db, QStringLiteral("C1")), QStringLiteral("4000|0|0.0000"));
    EXPECT_EQ(customerTotals(db, QStringLiteral("C2")), QStringLiteral("1000|400|") + serialText(today));
    EXPECT_EQ(tableRows(db, QStringLiteral("売上商品マスター仮")).size(), 1);
    EXPECT_EQ(tableRows(db, QStringLiteral("経理マスター仮")).size(), 1);
    EXPECT_EQ(rowCount(db, QStringLiteral("売掛マスター")), 1);
}

TEST_F(PostingScreensTest, DailyUpdateCancelledOrRefusedChangesNothing)
{
    const double today = Date::today().serial();
    addSale(db, 1, 31, today, QStringLiteral("C1"), 1, "100", "1");
    addSale(db, 2, 32, today, QStringLiteral("NOBODY"), 1, "100", "1");
    const QStringList before = snapshot(db);
    ui->onScreen(QStringLiteral("frm転記前確認"), [](QDialog& d) { d.close(); });
    ui->onScreen(QStringLiteral("frm更新日次"), [](QDialog& d) { clickButton(&d, QStringLiteral("Command1")); });
    EXPECT_EQ(openScreen(testSession(), QStringLiteral("frm更新日次"), QStringLiteral("日次更新"), nullptr), QDialog::Rejected);
    EXPECT_EQ(snapshot(db), before);
    EXPECT_TRUE(ui->messages.empty());

    ui->onScreen(QStringLiteral("frm更新日次"), [](QDialog& d) { clickButton(&d, QStringLiteral("Command2")); });
    EXPECT_EQ(openScreen(testSession(), QStringLiteral("frm更新日次"), QStringLiteral("日次更新"), nullptr), QDialog::Rejected);
    EXPECT_EQ(snapshot(db), before);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("日次更新"));
    EXPECT_TRUE(ui->messages[0].text.contains(QStringLiteral("伝票番号 32　顧客コード「NOBODY」")))
        << ui->messages[0].text.toStdString();
    EXPECT_EQ(ui->busyDepth, 0);
}

// Renders the review with rows and the daily update's question; with
// HIMAWARI_SCREENSHOTS set the pictures are kept in that folder.
TEST_F(PostingScreensTest, RendersTheScreens)
{
    useJapaneseFont();
    addWaitingRows();
    const QString folder = pictureFolder(inst.dir());
    auto render = [&](QWidget& w, const QString& name) {
        savePicture(w, folder, name);
        expectButtonsFitCaptions(w);
    };
    frm転記前確認 review(testSession());
    render(review, QStringLiteral("pre-posting-review.png"));
    frm更新日次 update(testSession());
    render(update, QStringLiteral("daily-update.png"));
}

TEST_F(PostingScreensTest, DailyUpdateStartsOnCancelAndEnterOnAFocusedOkPosts)
{
    const double today = Date::today().serial();
    addSale(db, 1, 31, today, QStringLiteral("C1"), 1, "100", "1");
    const QStringList before = snapshot(db);
    ui->onScreen(QStringLiteral("frm転記前確認"), [](QDialog& d) { d.close(); });
    // A stray Enter posts nothing: the cursor stands on キャンセル.
    ui->onScreen(QStringLiteral("frm更新日次"), [](QDialog& dialog) {
        auto& d = static_cast<frm更新日次&>(dialog);
        d.activateWindow();
        QApplication::processEvents();
        ASSERT_EQ(d.focusWidget(), d.cancelButton);
        EXPECT_TRUE(d.cancelButton->isDefault());
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(openScreen(testSession(), QStringLiteral("frm更新日次"), QStringLiteral("日次更新"), nullptr), QDialog::Rejected);
    EXPECT_EQ(snapshot(db), before);
    // On ＯＫ, drawn as the default while it has the cursor, Enter posts.
    ui->onScreen(QStringLiteral("frm更新日次"), [](QDialog& dialog) {
        auto& d = static_cast<frm更新日次&>(dialog);
        d.activateWindow();
        QApplication::processEvents();
        d.okButton->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(d.okButton->isDefault());
        EXPECT_FALSE(d.cancelButton->isDefault());
        QTest::keyClick(d.okButton, Qt::Key_Enter, Qt::KeypadModifier);
    });
    EXPECT_EQ(openScreen(testSession(), QStringLiteral("frm更新日次"), QStringLiteral("日次更新"), nullptr), QDialog::Accepted);
    EXPECT_EQ(rowCount(db, QStringLiteral("売掛マスター")), 1);
}
