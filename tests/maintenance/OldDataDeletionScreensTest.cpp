// The old-data deletion screens: the proposed cut-off, the date boxes carry,
// the question and the report, and the file really becomes smaller.
#include "maintenance/OldDataDeletion.h"
#include "maintenance/OldDataDeletionScreens.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "OldDataDeletionData.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace maintenance;

namespace {

void setBoxes(OldDataDeletionScreen& s, int year, int month, int dayOfMonth)
{
    s.yearBox->setValue(year);
    s.monthBox->setValue(month);
    s.dayBox->setValue(dayOfMonth);
}

class OldDataDeletionScreensTest : public OldDataDeletionFixture {
protected:
    ScriptedUiScope ui;
};

} // namespace

TEST_F(OldDataDeletionScreensTest, SalesScreenProposesTodayTwoYearsBackAndDeletesAfterTheQuestion)
{
    frm削除商品 screen(testSession());
    screen.show();
    EXPECT_EQ(screen.objectName(), QStringLiteral("frm削除商品"));
    EXPECT_EQ(screen.headingLabel->text(), QStringLiteral("売上商品履歴の削除"));
    EXPECT_EQ(screen.dateLineLabel->text(), QStringLiteral("この日以前のデータを削除します。"));
    EXPECT_EQ(screen.deleteButton->text(), QStringLiteral("削除"));
    EXPECT_EQ(screen.finishButton->text(), QStringLiteral("中止・終了"));
    const Date today = Date::today();
    const Date proposed = Date::fromParts(today.year() - 2, today.month(), today.day());
    EXPECT_EQ(screen.cutoff(), proposed);
    EXPECT_EQ(screen.yearBox->value(), proposed.year());
    EXPECT_EQ(screen.monthBox->value(), proposed.month());
    EXPECT_EQ(screen.dayBox->value(), proposed.day());

    addRowsAroundTheCutoff();
    setBoxes(screen, 2022, 5, 1);
    ui->answers = {false};
    clickButton(&screen, QStringLiteral("Command2"));
    ASSERT_EQ(ui->questions.size(), 1u);
    EXPECT_EQ(ui->questions[0].title, QStringLiteral("顧客売上商品データの削除"));
    EXPECT_EQ(ui->questions[0].text,
              QStringLiteral("上記日付以前の顧客売上商品データを削除します。よろしいですか？\n\n削除する件数：3 件"));
    // Cancel deletes nothing and tells nothing.
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター")), 4);

    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command2"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("顧客売上商品データの削除"));
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("顧客売上商品データの削除が、完了しました。"));
    EXPECT_EQ(ui->busyCount, 1);
    EXPECT_EQ(ui->busyDepth, 0);
    EXPECT_EQ(salesDates(db), QStringList({serial(day(2022, 5, 2))}));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 4);
}

TEST_F(OldDataDeletionScreensTest, OutOfRangeBoxesCarryIntoTheCutoffThatIsUsed)
{
    addRowsAroundTheCutoff();
    frm削除商品 screen(testSession());
    screen.show();
    // Day 31 of April is 1 May.
    setBoxes(screen, 2022, 4, 31);
    EXPECT_EQ(screen.cutoff(), day(2022, 5, 1));
    EXPECT_EQ(screen.monthBox->value(), 5);
    EXPECT_EQ(screen.dayBox->value(), 1);
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command2"));
    EXPECT_EQ(salesDates(db), QStringList({serial(day(2022, 5, 2))}));

    // Month 13 of 2021 is January 2022.
    setBoxes(screen, 2021, 13, 15);
    EXPECT_EQ(screen.cutoff(), day(2022, 1, 15));
    EXPECT_EQ(screen.yearBox->value(), 2022);
    EXPECT_EQ(screen.monthBox->value(), 1);
}

TEST_F(OldDataDeletionScreensTest, FutureCutoffAndUnfinishedBoxesDeleteNothing)
{
    addRowsAroundTheCutoff();
    frm削除商品 screen(testSession());
    screen.show();
    const Date tomorrow = Date::today().addDays(1);
    setBoxes(screen, tomorrow.year(), tomorrow.month(), tomorrow.day());
    clickButton(&screen, QStringLiteral("Command2"));
    EXPECT_TRUE(ui->questions.empty());
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("顧客売上商品データの削除"));
    EXPECT_TRUE(ui->messages[0].text.startsWith(text::format(tomorrow, QStringLiteral("yyyy/mm/dd"))
                                                + QStringLiteral(" は今日より後の日付です。")))
        << ui->messages[0].text.toStdString();
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター")), 4);

    // A year box emptied or half typed gives no cut-off: the button waits.
    setBoxes(screen, 2021, 5, 1);
    auto* yearText = screen.yearBox->findChild<QLineEdit*>();
    ASSERT_NE(yearText, nullptr);
    screen.yearBox->setFocus();
    yearText->selectAll();
    QTest::keyClick(yearText, Qt::Key_Backspace);
    EXPECT_FALSE(screen.deleteButton->isEnabled());
    QTest::keyClicks(yearText, QStringLiteral("20"));
    EXPECT_FALSE(screen.deleteButton->isEnabled());
    QTest::keyClicks(yearText, QStringLiteral("22"));
    EXPECT_TRUE(screen.deleteButton->isEnabled());
    // The year typed but not yet confirmed is the one used.
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command2"));
    EXPECT_EQ(screen.cutoff(), day(2022, 5, 1));
    EXPECT_EQ(salesDates(db), QStringList({serial(day(2022, 5, 2))}));
}

TEST_F(OldDataDeletionScreensTest, GasScreenSaysWhatIsDeletedAndWhatIsKept)
{
    addGasCustomers();
    frm削除ガス screen(testSession());
    screen.show();
    EXPECT_EQ(screen.objectName(), QStringLiteral("frm削除ガス"));
    EXPECT_EQ(screen.headingLabel->text(), QStringLiteral("ガスデータの削除"));
    EXPECT_EQ(screen.dateLineLabel->text(), QStringLiteral("この日以前のガスデータを削除します。"));
    EXPECT_EQ(screen.deleteButton->text(), QStringLiteral("ガスデータの削除"));
    EXPECT_EQ(screen.finishButton->text(), QStringLiteral("中止・終了"));
    setBoxes(screen, 2022, 5, 1);
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command3"));
    ASSERT_EQ(ui->questions.size(), 1u);
    EXPECT_EQ(ui->questions[0].title, QStringLiteral("ガスデータの削除"));
    EXPECT_TRUE(ui->questions[0].text.startsWith(
        QStringLiteral("上記日付以前のガスデータを削除します。よろしいですか？\n\n削除する件数：5 件\n")));
    EXPECT_TRUE(ui->questions[0].text.contains(QStringLiteral("最新の検針データ 3 件")));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("ガスデータ削除完了"));
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("ガスデータの削除が、完了しました。"));
    EXPECT_EQ(rowCount(db, QStringLiteral("ガスデータ")), 4);
}

TEST_F(OldDataDeletionScreensTest, TheFileBecomesSmaller)
{
    {
        Transaction tx(db);
        for (int i = 0; i < 3000; ++i)
            addSalesLine(db, 100 + i, day(2020, 1, 1 + i % 300), QStringLiteral("4901234567894"),
                         QStringLiteral("精米１０ｋｇ　特別栽培"), "4200", "2");
        tx.commit();
    }
    const qint64 before = QFileInfo(inst.databasePath()).size();
    frm削除商品 screen(testSession());
    screen.show();
    setBoxes(screen, 2021, 12, 31);
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command2"));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター")), 0);
    EXPECT_LT(QFileInfo(inst.databasePath()).size(), before / 2);
}
