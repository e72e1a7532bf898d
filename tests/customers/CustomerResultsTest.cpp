// The customer results screen: the history as people read it, the opening
// steps that set the previous-sale date and the selected slip, and
// "前回どおり".
#include "customers/CustomerData.h"
#include "customers/CustomerResults.h"
#include "customers/CustomerScreens.h"
#include "ui/Screens.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/JapaneseFont.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QListView>
#include <QTest>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

const Date May1 = Date::fromParts(2024, 5, 1);
const Date May2 = Date::fromParts(2024, 5, 2);

QStringList gridRow(const QDialog& screen, int row)
{
    auto* grid = screen.findChild<QTableView*>("grdDataGrid");
    QStringList cells;
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        cells << grid->model()->index(row, column).data().toString();
    return cells;
}

void chooseCustomer(const QString& code, const QString& name)
{
    testSession().customer.code = code;
    testSession().customer.name = name;
}

} // namespace

TEST(CustomerResults, ShowsTheHistoryInYenAndDatesAndOffersTheLatestSlip)
{
    TestInstallation inst;
    Database db = inst.database();
    addSale(db, {11, May1, "C1", 2, 0, "201", "灯油１８Ｌ", "99.5", "3"});
    addTaxLine(db, 11, May1, "C1", "14");
    addSale(db, {12, May2, "C1", 1, 0, "4901", "コシヒカリ", "2100", "2"});
    addSale(db, {12, May2, "C1", 3, 9, "77", "配達料", "300", "1"});
    addTaxLine(db, 12, May2, "C1", "210");
    addSale(db, {10, May2, "C1", 1, 0, "OLD"}); // same day, lower number
    chooseCustomer("C1", QStringLiteral("渡辺　花子"));
    testSession().lineCount = 0;

    ScriptedUiScope scripted;
    scripted->onScreen("frm顧客実績表示", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "顧客実績表示");
        EXPECT_EQ(control<QLabel>(&d, "Label1")->text(), QStringLiteral("渡辺　花子"));
        auto* grid = control<QTableView>(&d, "grdDataGrid");
        ASSERT_EQ(grid->model()->rowCount(), 6);
        EXPECT_EQ(gridRow(d, 0), QStringList({"11", "2024/05/01", "2", "0", "201", QStringLiteral("灯油１８Ｌ"), "99.5",
                                              "3", "298"}));
        EXPECT_EQ(gridRow(d, 2).at(0), "10");
        EXPECT_EQ(grid->model()->headerData(8, Qt::Horizontal).toString(), "金額");
        EXPECT_EQ(grid->currentIndex().row(), 5); // on the last line
        auto* repeat = control<QPushButton>(&d, "Command2");
        EXPECT_TRUE(repeat->isVisible());
        EXPECT_EQ(repeat->text(), "前回どおり");
        EXPECT_EQ(control<QPushButton>(&d, "Command1")->text(), "ＯＫ");
        clickButton(&d, "Command2");
    });
    frm顧客実績表示 screen(testSession());
    EXPECT_EQ(testSession().previousSaleDate, May2);
    EXPECT_EQ(screen.selectedSlipNumber(), 12);
    EXPECT_EQ(ui().runModal(screen), QDialog::Accepted);

    // Slip 12 repeated up to its tax line; slip 10 of the same day is not.
    ASSERT_EQ(testSession().lineCount, 2);
    EXPECT_EQ(testSession().lines[1].productCode.trimmed(), "4901");
    EXPECT_EQ(testSession().lines[1].amount, Currency::fromUnits(4200));
    EXPECT_EQ(testSession().lines[2].productCode.trimmed(), "77");
    EXPECT_EQ(testSession().lines[2].taxCategory, 9);
}

TEST(CustomerResults, TheEnquiryPicksACustomerAndHidesTheRepeat)
{
    TestInstallation inst;
    Database db = inst.database();
    addCustomer(db, {"C0", QStringLiteral("ｱｵｷ"), QStringLiteral("青木　一郎")});
    addCustomer(db, {"C1", QStringLiteral("ﾜﾀﾅﾍﾞ"), QStringLiteral("渡辺　花子")});
    addSale(db, {12, May2, "C1", 1, 0, "4901"});
    registerCustomerScreens();

    ScriptedUiScope scripted;
    scripted->onScreen("frm顧客選択", [](QDialog& d) {
        clickButton(&d, "Command1_43"); // わ
        auto* list = control<QListView>(&d, "DBList1");
        list->setCurrentIndex(list->model()->index(0, list->modelColumn()));
        QTest::keyClick(list, Qt::Key_Return);
        clickButton(&d, "Command2");
    });
    scripted->onScreen("frm顧客実績表示", [](QDialog& d) {
        EXPECT_EQ(control<QLabel>(&d, "Label1")->text(), QStringLiteral("渡辺　花子"));
        EXPECT_EQ(gridRow(d, 0).at(4), "4901");
        EXPECT_FALSE(control<QPushButton>(&d, "Command2")->isVisible());
        EXPECT_EQ(dynamic_cast<frm顧客実績表示&>(d).selectedSlipNumber(), 12);
        clickButton(&d, "Command1"); // ＯＫ changes nothing
    });
    // As the main menu's enquiry does: the picker, then the results with
    // "前回どおり" hidden after the screen's own opening steps.
    ASSERT_EQ(openScreen(testSession(), "frm顧客選択", "顧客選択", nullptr), QDialog::Accepted);
    const auto hideRepeat = [](QDialog& screen) { screen.findChild<QPushButton*>("Command2")->setVisible(false); };
    EXPECT_EQ(openScreen(testSession(), "frm顧客実績表示", "実績出力", nullptr, hideRepeat), QDialog::Accepted);
    EXPECT_EQ(scripted->openedScreens, QStringList({"frm顧客選択", "frm顧客実績表示"}));
    EXPECT_TRUE(scripted->messages.empty());
    EXPECT_EQ(testSession().lineCount, 0);
    EXPECT_EQ(testSession().previousSaleDate, May2);
}

TEST(CustomerResults, AMissingDatabaseIsReportedNotFatal)
{
    TestInstallation inst({.withDatabase = false});
    registerCustomerScreens();
    ScriptedUiScope scripted;
    EXPECT_EQ(openScreen(testSession(), "frm顧客実績表示", "実績出力", nullptr), -1);
    EXPECT_EQ(openScreen(testSession(), "frm顧客選択ガス", "顧客選択", nullptr), -1);
    ASSERT_EQ(scripted->messages.size(), 2u);
    EXPECT_TRUE(scripted->messages[0].text.contains("データベース")) << scripted->messages[0].text.toStdString();
    EXPECT_TRUE(scripted->openedScreens.isEmpty());
}

TEST(CustomerResults, ACustomerWithoutPostedSalesHasNoRepeatAndNoPreviousDate)
{
    TestInstallation inst;
    Database db = inst.database();
    addSale(db, {12, May2, "C1"});
    addSale(db, {13, May2, "C2"}, QStringLiteral("売上商品マスター仮")); // held, not posted
    // Left from the customer before.
    testSession().previousSaleDate = May1;
    chooseCustomer("C2", QStringLiteral("新規　客"));

    ScriptedUiScope scripted;
    scripted->onScreen("frm顧客実績表示", [](QDialog& d) {
        EXPECT_EQ(control<QTableView>(&d, "grdDataGrid")->model()->rowCount(), 0);
        EXPECT_FALSE(control<QPushButton>(&d, "Command2")->isVisible());
        clickButton(&d, "Command1");
    });
    frm顧客実績表示 screen(testSession());
    EXPECT_EQ(ui().runModal(screen), QDialog::Accepted);
    // The slip of the new customer must not print another's previous date.
    EXPECT_TRUE(testSession().previousSaleDate.isZero());
    // Nothing to repeat: no slip of another customer is offered.
    EXPECT_EQ(screen.selectedSlipNumber(), 0);
}

TEST(CustomerResults, ASlipNumberedZeroIsNotOffered)
{
    TestInstallation inst;
    Database db = inst.database();
    addSale(db, {0, May2, "C1"});
    chooseCustomer("C1", QStringLiteral("渡辺　花子"));
    frm顧客実績表示 screen(testSession());
    EXPECT_TRUE(screen.repeatButton->isHidden());
    EXPECT_EQ(screen.selectedSlipNumber(), 0);
    EXPECT_EQ(testSession().previousSaleDate, May2);
}

// Opens at the width of its columns: every column in view without a sideways
// scroll, every heading whole. The picture goes to HIMAWARI_SCREENSHOTS when
// set (the documentation's customer-results.png), else to the test's folder.
TEST(CustomerResults, OpensWideEnoughForEveryColumnAndHeading)
{
    useJapaneseFont();
    TestInstallation inst;
    Database db = inst.database();
    addSale(db, {101, Date::fromParts(2024, 4, 12), "C1", 2, 0, "201", "灯油１８Ｌ", "1850", "2"});
    addTaxLine(db, 101, Date::fromParts(2024, 4, 12), "C1", "185");
    addSale(db, {150, Date::fromParts(2024, 5, 20), "C1", 1, 0, "4901234567890", "新潟県産コシヒカリ精米５ｋｇ", "2380",
                 "1"});
    addSale(db, {150, Date::fromParts(2024, 5, 20), "C1", 2, 0, "202", "灯油ポリ缶", "99.5", "12.5"});
    addTaxLine(db, 150, Date::fromParts(2024, 5, 20), "C1", "251");
    chooseCustomer("C1", QStringLiteral("渡辺　花子"));

    frm顧客実績表示 screen(testSession());
    screen.show();
    QApplication::processEvents();
    QTableView* grid = screen.historyGrid;
    QHeaderView* header = grid->horizontalHeader();
    int columns = 0;
    for (int c = 0; c < header->count(); ++c) {
        EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c))
            << header->model()->headerData(c, Qt::Horizontal).toString().toStdString();
        columns += header->sectionSize(c);
    }
    EXPECT_EQ(header->model()->headerData(7, Qt::Horizontal).toString(), "売上個数");
    EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 0);
    EXPECT_GE(grid->viewport()->width(), columns);
    EXPECT_EQ(header->sectionViewportPosition(8) + header->sectionSize(8), columns); // 金額, the last, in view

    const QString folder = qEnvironmentVariable("HIMAWARI_SCREENSHOTS", inst.dir());
    QDir().mkpath(folder);
    EXPECT_TRUE(screen.grab().save(QDir(folder).filePath(QStringLiteral("customer-results.png"))));
}
