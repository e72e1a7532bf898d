// Old-data deletion: the cut-off day counts whole (a time of day on it is
// deleted, the next day stays), the date boxes carry, nothing but the one
// table is touched, each gas customer keeps the reading the next bill is
// measured from, and the file really becomes smaller.
#include "maintenance/OldDataDeletion.h"
#include "maintenance/OldDataDeletionScreens.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "MaintenanceData.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace maintenance;

namespace {

QStringList salesDates(Database& db, const QString& table = QStringLiteral("売上商品マスター"))
{
    QStringList dates;
    QSqlQuery q = db.exec(QStringLiteral("SELECT 売上年月日 FROM %1 ORDER BY 売上年月日").arg(table));
    while (q.next())
        dates << QString::number(q.value(0).toDouble(), 'f', 4);
    return dates;
}

QString serial(const Date& d)
{
    return QString::number(d.serial(), 'f', 4);
}

// Every gas row as "customer|kind|date|reading", in date order.
QStringList gasRows(Database& db)
{
    QStringList rows;
    QSqlQuery q = db.exec(QStringLiteral("SELECT RTRIM(ガス相手先コード), ガスデータ種別コード, ガス年月日, ガス検針値"
                                         " FROM ガスデータ ORDER BY ガス年月日, ガスデータ種別コード"));
    while (q.next())
        rows << QStringLiteral("%1|%2|%3|%4")
                    .arg(q.value(0).toString())
                    .arg(q.value(1).toInt())
                    .arg(dateValue(q.value(2)).toShortString(), currencyValue(q.value(3)).toString());
    return rows;
}

void setBoxes(OldDataDeletionScreen& s, int year, int month, int dayOfMonth)
{
    s.yearBox->setValue(year);
    s.monthBox->setValue(month);
    s.dayBox->setValue(dayOfMonth);
}

class OldDataDeletionTest : public ::testing::Test {
protected:
    // Four posted lines around the cut-off 2022-05-01, and the same dates in
    // the holding table and the receivables detail, which must stay.
    void addRowsAroundTheCutoff()
    {
        for (const Date& d : cutoffDates) {
            addSalesLine(db, 1, d, QStringLiteral("12"), QStringLiteral("米"), "2000", "1");
            addSalesLine(db, 2, d, QStringLiteral("12"), QStringLiteral("米"), "2000", "1", QStringLiteral("売上商品マスター仮"));
            addSalesLine(db, 3, d, QStringLiteral("12"), QStringLiteral("米"), "2000", "1", QStringLiteral("売掛マスター"));
        }
        db.exec(QStringLiteral("INSERT INTO 経理マスター (経理伝票番号, 経理年月日, 経理金額, 経理借方コード,"
                               " 経理借方相手先コード, 経理貸方コード, 経理貸方相手先コード) VALUES (1, ?, ?, 110, 0, 5000, 'C1')"),
                {sqlValue(day(2022, 4, 30)), sqlValue(yen("2000"))});
    }

    // Gas customers around the cut-off 2022-05-01:
    //  G1: readings 2021-01-10 (unpadded code) and 2022-02-10 (padded), a
    //      cylinder change and a delivery, all before the cut-off;
    //  G2: an opening reading before the cut-off, a reading after it;
    //  G3: an opening reading and a reading on its latest day, then a
    //      reading without billing (kind 7).
    void addGasCustomers()
    {
        addGasRow(db, day(2021, 1, 10), 1, QStringLiteral("G1"), "100");
        addGasRow(db, day(2021, 6, 1), 5, QStringLiteral("G1"), "0");
        addGasRow(db, day(2022, 2, 10), 1, QStringLiteral("G1           "), "150");
        addGasRow(db, day(2022, 3, 1), 6, QStringLiteral("G1"), "0");
        addGasRow(db, day(2021, 3, 1), 8, QStringLiteral("G2"), "10");
        addGasRow(db, day(2022, 6, 1), 1, QStringLiteral("G2"), "40");
        addGasRow(db, day(2022, 4, 1), 8, QStringLiteral("G3"), "0");
        addGasRow(db, day(2022, 4, 1), 1, QStringLiteral("G3"), "20");
        addGasRow(db, day(2022, 4, 15), 7, QStringLiteral("G3"), "25");
    }

    TestInstallation inst;
    ScriptedUiScope ui;
    Database db = inst.database();
    const Date cutoffDates[4] = {day(2022, 4, 30), day(2022, 5, 1), at(2022, 5, 1, 23, 30), day(2022, 5, 2)};
};

} // namespace

TEST_F(OldDataDeletionTest, SalesLinesOnOrBeforeTheCutoffDayGoAndNothingElse)
{
    addRowsAroundTheCutoff();
    EXPECT_EQ(countOldSalesLines(db, day(2022, 5, 1)).rows, 3);
    EXPECT_EQ(deleteOldSalesLines(db, day(2022, 5, 1)), 3);
    EXPECT_EQ(salesDates(db), QStringList({serial(day(2022, 5, 2))}));
    // The holding table, the receivables detail and the journal stay.
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 4);
    EXPECT_EQ(rowCount(db, QStringLiteral("売掛マスター")), 4);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター")), 1);
    // A cut-off carrying a time of day still means the whole day.
    EXPECT_EQ(deleteOldSalesLines(db, at(2022, 5, 2, 0, 1)), 1);
}

TEST_F(OldDataDeletionTest, EachGasCustomerKeepsTheReadingTheNextBillIsMeasuredFrom)
{
    addGasCustomers();
    const DeletionCount count = countOldGasData(db, day(2022, 5, 1));
    EXPECT_EQ(count.rows, 5);
    EXPECT_EQ(count.readingsKept, 3);
    EXPECT_EQ(deleteOldGasData(db, day(2022, 5, 1)), 5);
    EXPECT_EQ(gasRows(db), QStringList({"G1|1|2022/02/10|150", "G3|1|2022/04/01|20", "G3|8|2022/04/01|0",
                                        "G2|1|2022/06/01|40"}));
    // Once a later reading exists, the earlier ones may go too.
    addGasRow(db, day(2022, 5, 20), 1, QStringLiteral("G1"), "180");
    EXPECT_EQ(deleteOldGasData(db, day(2022, 5, 10)), 1);
}

TEST_F(OldDataDeletionTest, CutoffAfterTodayIsRecognised)
{
    const Date today = day(2024, 2, 29);
    EXPECT_FALSE(isAfterToday(at(2024, 2, 29, 23, 59), today));
    EXPECT_TRUE(isAfterToday(day(2024, 3, 1), today));
    EXPECT_FALSE(isAfterToday(day(2022, 3, 1), today));
}

TEST_F(OldDataDeletionTest, SalesScreenProposesTodayTwoYearsBackAndDeletesAfterTheQuestion)
{
    frm削除商品 screen;
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

TEST_F(OldDataDeletionTest, OutOfRangeBoxesCarryIntoTheCutoffThatIsUsed)
{
    addRowsAroundTheCutoff();
    frm削除商品 screen;
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

TEST_F(OldDataDeletionTest, FutureCutoffAndUnfinishedBoxesDeleteNothing)
{
    addRowsAroundTheCutoff();
    frm削除商品 screen;
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

TEST_F(OldDataDeletionTest, GasScreenSaysWhatIsDeletedAndWhatIsKept)
{
    addGasCustomers();
    frm削除ガス screen;
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

TEST_F(OldDataDeletionTest, TheFileBecomesSmaller)
{
    {
        Transaction tx(db);
        for (int i = 0; i < 3000; ++i)
            addSalesLine(db, 100 + i, day(2020, 1, 1 + i % 300), QStringLiteral("4901234567894"),
                         QStringLiteral("精米１０ｋｇ　特別栽培"), "4200", "2");
        tx.commit();
    }
    const qint64 before = QFileInfo(inst.databasePath()).size();
    frm削除商品 screen;
    screen.show();
    setBoxes(screen, 2021, 12, 31);
    ui->answers = {true};
    clickButton(&screen, QStringLiteral("Command2"));
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター")), 0);
    EXPECT_LT(QFileInfo(inst.databasePath()).size(), before / 2);
}
