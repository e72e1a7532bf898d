// The three forecast screens: their opening, a run that refills 配達予定
// while the grid still reads it, the gas schedule's filtered grid, the
// print-out and "中止・終了".
#include "ForecastData.h"
#include "ui/Screens.h"
#include "forecasts/ForecastScreens.h"
#include "print/PrintSurface.h"
#include "print/RecordingSurface.h"
#include "support/Controls.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/DateBoxes.h"
#include "ui/ValueModel.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSpinBox>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

class ForecastScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<Database>(install.database());
        addForecastProducts(*db);
    }
    TestInstallation install;
    ScriptedUiScope ui;
    std::unique_ptr<Database> db;
    const Date today = Date::today();
};

TEST_F(ForecastScreens, OpenWithTheLastMonthAndTheNextAndWhatTheTableHolds)
{
    db->exec(QStringLiteral("INSERT INTO 配達予定 (配達年月日, 配達顧客名, 配達商品個数) VALUES (?, '前回の顧客', ?)"),
             {sqlValue(today.addDays(400)), sqlValue(Currency::fromUnits(3))});

    registerForecastScreens();
    const std::pair<QString, QString> screens[] = {{QStringLiteral("frm顧客米予定"), QStringLiteral("顧客米予定")},
                                                   {QStringLiteral("frm顧客灯油予定"), QStringLiteral("顧客灯油予定")},
                                                   {QStringLiteral("frmガス配送予定"), QStringLiteral("ガス配送予定")}};
    for (const auto& [name, title] : screens) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(isScreenAvailable(name));
        ui->onScreen(name, [&](QDialog& screen) {
            EXPECT_EQ(screen.windowTitle(), title);
            const Date from = today.addDays(-30);
            const Date to = today.addDays(30);
            EXPECT_EQ(control<QSpinBox>(&screen, QStringLiteral("Text2"))->value(), from.year());
            EXPECT_EQ(control<QSpinBox>(&screen, QStringLiteral("Text3"))->value(), from.month());
            EXPECT_EQ(control<QSpinBox>(&screen, QStringLiteral("Text4"))->value(), from.day());
            EXPECT_EQ(control<QSpinBox>(&screen, QStringLiteral("Text7"))->value(), to.year());
            EXPECT_EQ(control<QSpinBox>(&screen, QStringLiteral("Text8"))->value(), to.month());
            EXPECT_EQ(control<QSpinBox>(&screen, QStringLiteral("Text9"))->value(), to.day());
            auto* start = control<QLabel>(&screen, QStringLiteral("startCaption"));
            auto* end = control<QLabel>(&screen, QStringLiteral("endCaption"));
            EXPECT_EQ(start->text(), QStringLiteral("年　　　　　　　月　　　　　　日から"));
            EXPECT_EQ(end->text(), QStringLiteral("年　　　　　　　月　　　　　　日まで"));
            EXPECT_EQ(start->buddy()->objectName(), QStringLiteral("Text2"));
            EXPECT_EQ(end->buddy()->objectName(), QStringLiteral("Text7"));
            // The month and day boxes stand in the blanks of the caption,
            // between its "年" and "月" and between "月" and "日".
            auto* month = control<QSpinBox>(&screen, QStringLiteral("Text3"));
            auto* dayBox = control<QSpinBox>(&screen, QStringLiteral("Text4"));
            EXPECT_LT(control<QSpinBox>(&screen, QStringLiteral("Text2"))->geometry().right(), start->x());
            EXPECT_GT(month->x(), start->x());
            EXPECT_GT(dayBox->x(), month->geometry().right());
            EXPECT_LT(dayBox->geometry().right(), start->geometry().right());
            EXPECT_EQ(control<QAbstractButton>(&screen, QStringLiteral("Command1"))->text(), QStringLiteral("実行"));
            EXPECT_EQ(control<QAbstractButton>(&screen, QStringLiteral("Command3"))->text(), QStringLiteral("印刷"));
            EXPECT_EQ(control<QAbstractButton>(&screen, QStringLiteral("Command2"))->text(),
                      QStringLiteral("中止・終了"));
            // Whatever the last run of any forecast left, dated or not.
            auto* grid = control<QTableView>(&screen, QStringLiteral("DBGrid1"));
            ASSERT_EQ(grid->model()->rowCount(), 1);
            EXPECT_EQ(grid->model()->index(0, 1).data().toString(), QStringLiteral("前回の顧客"));
            EXPECT_EQ(grid->model()->index(0, 4).data().toString(), QStringLiteral("3"));
        });
        openScreen(testSession(), name, title, nullptr);
    }
    EXPECT_EQ(ui->openedScreens.size(), 3);
}

TEST_F(ForecastScreens, ASecondRunReplacesTheFirstWhileTheGridStillReadsIt)
{
    // 300 customers, each with 10 kg on two days 30 days apart: one
    // forecast on day `next`, the next ones 30 and 60 days later.
    const std::int64_t first = today.dayNumber() - 200;
    {
        Transaction t(*db);
        for (int i = 0; i < 300; ++i) {
            const QString code = QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0'));
            addCustomer(*db, {code, QStringLiteral("顧客") + code});
            addSale(*db, code, day(first + i % 7), QStringLiteral("R10"), QStringLiteral("1"));
            addSale(*db, code, day(first + 30 + i % 7), QStringLiteral("R10"), QStringLiteral("1"));
        }
        t.commit();
    }
    const std::int64_t next = first + 60;

    frm顧客米予定 screen(testSession());
    screen.show();
    // A window holding each customer's first date: 300 rows, more than
    // the grid reads at once.
    screen.startDate->setDate(day(next - 1));
    screen.endDate->setDate(day(next + 7));
    const int busyBefore = ui->busyCount;
    clickButton(&screen, QStringLiteral("Command1"));
    EXPECT_GT(ui->busyCount, busyBefore);
    EXPECT_EQ(ui->busyDepth, 0);
    EXPECT_TRUE(ui->messages.empty()) << ui->lastMessage().toStdString();
    EXPECT_EQ(rowCount(*db, QStringLiteral("配達予定")), 300);
    EXPECT_TRUE(screen.scheduleRows->queryModel()->canFetchMore());

    // Two dates each: the first date and the one a cycle later, with "*".
    screen.endDate->setDate(day(next + 37));
    clickButton(&screen, QStringLiteral("Command1"));
    EXPECT_TRUE(ui->messages.empty()) << ui->lastMessage().toStdString();
    EXPECT_EQ(rowCount(*db, QStringLiteral("配達予定")), 600);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 配達予定 WHERE 配達顧客名 GLOB '[*]*'")).toInt(), 300);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(DISTINCT 配達顧客名) FROM 配達予定")).toInt(), 600);
    EXPECT_EQ(screen.scheduleRows->rowCountAll(), 600);
    // The grid by date.
    EXPECT_EQ(screen.scheduleRows->storedData(0, 0).toDouble(), double(next));
    EXPECT_EQ(screen.scheduleRows->storedData(599, 0).toDouble(), double(next + 36));
}

TEST_F(ForecastScreens, GasGridShowsThePeriodWhileTheTableKeepsExhaustedCustomers)
{
    auto gasCustomer = [&](const QString& code, const QString& name) {
        TestCustomer c{code, name, QStringLiteral("0480-00")};
        c.gasCode = QStringLiteral("1");
        c.gasType = 1;
        c.cylinder1 = 50;
        c.cylinder2 = 50;
        addCustomer(*db, c);
    };
    const std::int64_t t = today.dayNumber();
    // 20 used in 10 days: 30 left, 20 of it before the delivery: about
    // ten days from the last reading.
    gasCustomer(QStringLiteral("G1"), QStringLiteral("予定　あり"));
    addGasEvent(*db, QStringLiteral("G1"), {day(t - 20), 1, QStringLiteral("100")});
    addGasEvent(*db, QStringLiteral("G1"), {day(t - 10), 1, QStringLiteral("110")});
    // Used up 100 days ago: written at that date, outside the period.
    gasCustomer(QStringLiteral("G2"), QStringLiteral("ガス　切れ"));
    addGasEvent(*db, QStringLiteral("G2"), {day(t - 120), 1, QStringLiteral("100")});
    addGasEvent(*db, QStringLiteral("G2"), {day(t - 100), 1, QStringLiteral("200")});

    frmガス配送予定 screen(testSession());
    screen.show();
    clickButton(&screen, QStringLiteral("Command1"));
    EXPECT_EQ(rowCount(*db, QStringLiteral("配達予定")), 2);
    ASSERT_EQ(screen.scheduleRows->rowCountAll(), 1);
    EXPECT_EQ(screen.scheduleRows->index(0, 1).data().toString(), QStringLiteral("予定　あり"));
    EXPECT_EQ(screen.scheduleRows->index(0, 3).data().toString(), QStringLiteral("ＬＰＧ"));
    EXPECT_EQ(screen.scheduleRows->index(0, 4).data().toString(), QStringLiteral("50"));
    // The CSV file holds the row the grid shows, not the whole table.
    const QString shownDate = screen.scheduleRows->index(0, 0).data().toString();
    clickButton(&screen, QStringLiteral("cmdCSV"));
    const QDir output(install.path(QStringLiteral("出力")));
    const QStringList files = output.entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("ガス配送予定_"))) << files[0].toStdString();
    QFile file(output.absoluteFilePath(files[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBF")
                                  + QStringLiteral("配達年月日,配達顧客名,配達顧客電話,配達商品名,配達商品個数\r\n"
                                                   "%1,予定　あり,0480-00,ＬＰＧ,50\r\n")
                                        .arg(shownDate)
                                        .toUtf8());
    savePicture(screen, pictureFolder(install.dir()), QStringLiteral("gas-delivery-forecast.png"));
    // With the period reaching back to it, the exhausted customer shows.
    screen.startDate->setDate(day(t - 100));
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_EQ(screen.scheduleRows->rowCountAll(), 2);
    EXPECT_EQ(screen.scheduleRows->index(0, 1).data().toString(), QStringLiteral("ガス　切れ"));
    EXPECT_EQ(screen.scheduleRows->index(0, 0).data().toString(), day(t - 100).toShortString());
}

TEST_F(ForecastScreens, PrintsTheListThroughTheReport)
{
    addCustomer(*db, {QStringLiteral("K1"), QStringLiteral("灯油　一郎"), QStringLiteral("03-1111-2222"), 200});
    const Date last = today.addDays(-5);
    addSale(*db, QStringLiteral("K1"), last.addDays(-20), QStringLiteral("K1"), QStringLiteral("100"));
    addSale(*db, QStringLiteral("K1"), last, QStringLiteral("K1"), QStringLiteral("20"));
    frm顧客灯油予定 screen(testSession());
    screen.show();
    clickButton(&screen, QStringLiteral("Command1"));
    ASSERT_EQ(rowCount(*db, QStringLiteral("配達予定")), 1);
    const Date forecastDay = readDeliverySchedule(*db).at(0).date;

    PrintCapture capture;
    clickButton(&screen, QStringLiteral("Command3"));
    EXPECT_TRUE(ui->messages.empty()) << ui->lastMessage().toStdString();
    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& page = capture.surface(0);
    EXPECT_TRUE(page.ended());
    EXPECT_TRUE(page.find(QStringLiteral("配達予定表")));
    EXPECT_TRUE(page.findStarting(QStringLiteral("顧客灯油予定　") + screen.period().from.toShortString()));
    const PrintItem* name = page.find(QStringLiteral("灯油　一郎"));
    ASSERT_TRUE(name);
    const PrintItem* date = page.find(forecastDay.toShortString());
    ASSERT_TRUE(date);
    EXPECT_EQ(date->y, name->y);
    EXPECT_TRUE(page.find(QStringLiteral("03-1111-2222")));
    EXPECT_TRUE(page.findStarting(QStringLiteral("灯油配達（１Ｌ）")));
    EXPECT_TRUE(page.find(QStringLiteral("20")));

    // No printer: the operator is told, nothing else happens.
    capture.failOpening(QStringLiteral("プリンターが見つかりません。"));
    clickButton(&screen, QStringLiteral("Command3"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->messages[0].text.startsWith(QStringLiteral("配達予定を印刷できませんでした。")));
    EXPECT_EQ(rowCount(*db, QStringLiteral("配達予定")), 1);
}

TEST_F(ForecastScreens, StopAndCloseEmptiesTheTable)
{
    db->exec(QStringLiteral("INSERT INTO 配達予定 (配達年月日, 配達顧客名) VALUES (?, '前回の顧客')"),
             {sqlValue(today)});
    frm顧客米予定 screen(testSession());
    screen.show();
    ASSERT_EQ(screen.scheduleRows->rowCount(), 1);
    clickButton(&screen, QStringLiteral("Command2"));
    EXPECT_EQ(screen.result(), QDialog::Accepted);
    EXPECT_EQ(rowCount(*db, QStringLiteral("配達予定")), 0);
}

TEST_F(ForecastScreens, DateBoxesCarryIntoTheNextUnit)
{
    frm顧客灯油予定 screen(testSession());
    screen.startDate->setParts(2024, 13, 1);
    EXPECT_EQ(screen.period().from, Date::fromParts(2025, 1, 1));
    screen.endDayBox->setValue(0); // day 0: the last day of the month before
    const Date to = screen.period().to;
    EXPECT_EQ(to.day(), Date::fromParts(to.year(), to.month() + 1, 0).day());
    EXPECT_EQ(screen.endDayBox->value(), to.day());
}

} // namespace
