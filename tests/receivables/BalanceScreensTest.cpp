// Balances: the change of one customer's billed amount and the list of
// balances with its print-out.
#include "ui/Screens.h"
#include "customers/CustomerScreens.h"
#include "print/RecordingSurface.h"
#include "receivables/BalanceChange.h"
#include "receivables/BalanceChangeScreen.h"
#include "receivables/BalanceList.h"
#include "receivables/BalanceListScreen.h"
#include "receivables/ClosingData.h"
#include "receivables/ClosingScreensFixture.h"
#include "receivables/ClosingScreens.h"
#include "support/Controls.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "support/Typing.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace closing;

namespace {

class Balances : public ClosingScreensFixture {
protected:
    // The change screen for customer `code`, driven by `action`.
    int openChange(const QString& code, std::function<void(frm売掛残高変更&)> action)
    {
        ui->onScreen("frm顧客選択", [code](QDialog& d) {
            testSession().customer.code = code;
            d.accept();
        });
        ui->onScreen("frm売掛残高変更", [action](QDialog& d) { action(static_cast<frm売掛残高変更&>(d)); });
        return openScreen(testSession(), "frm売掛残高変更", "売掛残高変更", nullptr);
    }
};

QStringList names(const std::vector<BalanceRow>& rows)
{
    QStringList out;
    for (const BalanceRow& r : rows)
        out << r.name;
    return out;
}

} // namespace

TEST_F(Balances, ChangingTheBilledAmountMovesTheBalanceByTheDifferenceOnly)
{
    addCustomer(db, {"A", QStringLiteral("青木"), "10000", "4000", "2500", 20, 25, Date::fromParts(2024, 4, 20),
                     Date::fromParts(2024, 5, 2)});
    ASSERT_EQ(readBalanceList(db).size(), 1u);
    EXPECT_EQ(readBalanceList(db)[0].balance, yen("8500"));

    const int result = openChange("A", [](frm売掛残高変更& d) {
        EXPECT_EQ(d.windowTitle(), "売掛残高変更");
        EXPECT_EQ(d.customerFrame->title(), "顧客相手先");
        EXPECT_EQ(d.customerFrame->findChild<QLineEdit*>("顧客売掛前回請求金額")->text(), "10000");
        EXPECT_EQ(d.customerFrame->findChild<QLineEdit*>("顧客売掛入金額")->text(), "4000");
        EXPECT_EQ(d.customerFrame->findChild<QLineEdit*>("顧客売掛締後売上額")->text(), "2500");
        EXPECT_EQ(d.billedBox->text(), "10000");
        EXPECT_FALSE(d.okButton->isVisible());
        typeOver(d.billedBox, "12,000");
        EXPECT_TRUE(d.okButton->isVisible());
        clickButton(&d, "Command1");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(readBalanceList(db)[0].balance, yen("10500"));
    const Stored after = stored(db, "A");
    EXPECT_EQ(after.lastInvoice, yen("12000"));
    EXPECT_EQ(after.payments, yen("4000"));
    EXPECT_EQ(after.sales, yen("2500"));
    EXPECT_EQ(after.previousClosing, Date::fromParts(2024, 4, 20));
    EXPECT_EQ(after.lastPayment, Date::fromParts(2024, 5, 2));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 経理マスター仮").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM 経理マスター").toInt(), 0);
}

TEST_F(Balances, OnlyAValidAmountCanBeStoredAndCancelWritesNothing)
{
    addCustomer(db, {"A", QStringLiteral("青木"), "10000", "0", "0"});
    openChange("A", [](frm売掛残高変更& d) {
        typeOver(d.billedBox, "12ab");
        EXPECT_FALSE(d.okButton->isVisible());
        typeOver(d.billedBox, "1.2.3");
        EXPECT_FALSE(d.okButton->isVisible());
        // Full-width digits committed by the input method.
        typeOver(d.billedBox, "");
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("７０００"));
        QCoreApplication::sendEvent(d.billedBox, &commit);
        EXPECT_EQ(d.billedBox->text(), QStringLiteral("７０００"));
        EXPECT_TRUE(d.okButton->isVisible());
        clickButton(&d, "Command2");
    });
    EXPECT_EQ(stored(db, "A").lastInvoice, yen("10000"));

    // An emptied box is 0.
    openChange("A", [](frm売掛残高変更& d) {
        typeOver(d.billedBox, "");
        EXPECT_TRUE(d.okButton->isVisible());
        clickButton(&d, "Command1");
    });
    EXPECT_EQ(stored(db, "A").lastInvoice, Currency());

    // A negative amount (money owed to the customer) is an amount.
    openChange("A", [](frm売掛残高変更& d) {
        typeOver(d.billedBox, "-300");
        clickButton(&d, "Command1");
    });
    EXPECT_EQ(stored(db, "A").lastInvoice, yen("-300"));
    EXPECT_EQ(typedBilledAmount("  "), Currency());
    EXPECT_FALSE(typedBilledAmount("abc"));
}

TEST_F(Balances, PickerClosedWithoutAChoiceEndsTheChangeScreen)
{
    addCustomer(db, {"A", QStringLiteral("青木"), "10000", "0", "0"});
    ui->onScreen("frm顧客選択", [](QDialog& d) { d.reject(); });
    EXPECT_EQ(openScreen(testSession(), "frm売掛残高変更", "売掛残高変更", nullptr), -1);
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択"}));
    EXPECT_EQ(stored(db, "A").lastInvoice, yen("10000"));
}

TEST_F(Balances, ListHasNonZeroBalancesLargestFirstCreditsLast)
{
    addCustomer(db, {"A", QStringLiteral("八千五百"), "10000", "4000", "2500"});
    addCustomer(db, {"B", QStringLiteral("過払い"), "0", "300", "0"});
    addCustomer(db, {"C", QStringLiteral("ゼロ"), "5000", "5000", "0"});
    addCustomer(db, {"D", QStringLiteral("二万"), "0", "0", "20000"});
    addCustomer(db, {"E", QStringLiteral("百その一"), "100", "0", "0"});
    addCustomer(db, {"F", QStringLiteral("百その二"), "0", "0", "100"});
    addCustomer(db, {"G", QStringLiteral("大口過払い"), "0", "0", "-10000"});

    const std::vector<BalanceRow> rows = readBalanceList(db);
    EXPECT_EQ(names(rows), QStringList({"二万", "八千五百", "百その一", "百その二", "過払い", "大口過払い"}));
    EXPECT_EQ(rows[1].lastInvoiceAmount, yen("10000"));
    EXPECT_EQ(rows[1].paymentsSinceClosing, yen("4000"));
    EXPECT_EQ(rows[1].creditSalesSinceClosing, yen("2500"));
    EXPECT_EQ(rows[4].balance, yen("-300"));

    frm売掛残高一覧 screen(testSession());
    EXPECT_EQ(screen.objectName(), "frm売掛残高一覧");
    EXPECT_EQ(screen.windowTitle(), "顧客マスター");
    EXPECT_EQ(screen.printButton->text(), "印刷");
    EXPECT_EQ(screen.closeButton->text(), "閉じる(&C)");
    QAbstractItemModel* m = screen.balanceGrid->model();
    ASSERT_EQ(m->rowCount(), 6);
    ASSERT_EQ(m->columnCount(), 5);
    QStringList headings;
    for (int c = 0; c < 5; ++c)
        headings << m->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headings, QStringList({"顧客名前", "顧客売掛前回請求金額", "顧客売掛入金額", "顧客売掛締後売上額",
                                     "売掛残高"}));
    // Yen as people read them, not ticks.
    EXPECT_EQ(m->index(1, 1).data().toString(), "10000");
    EXPECT_EQ(m->index(1, 4).data().toString(), "8500");
    EXPECT_EQ(m->index(4, 4).data().toString(), "-300");

    EXPECT_EQ(screen.recordLabel->text(), "Record: 1");
    screen.nextButton->click();
    EXPECT_EQ(screen.recordLabel->text(), "Record: 2");
    screen.lastButton->click();
    EXPECT_EQ(screen.recordLabel->text(), "Record: 6");
    screen.nextButton->click();
    EXPECT_EQ(screen.recordLabel->text(), "Record: 6");
    screen.balanceGrid->setCurrentIndex(m->index(3, 0));
    EXPECT_EQ(screen.recordLabel->text(), "Record: 4");
    screen.previousButton->click();
    EXPECT_EQ(screen.recordLabel->text(), "Record: 3");
    screen.firstButton->click();
    EXPECT_EQ(screen.recordLabel->text(), "Record: 1");
}

TEST_F(Balances, AllBalancesZeroGiveAnEmptyGrid)
{
    addCustomer(db, {"C", QStringLiteral("ゼロ"), "5000", "5000", "0"});
    EXPECT_TRUE(readBalanceList(db).empty());
    frm売掛残高一覧 screen(testSession());
    EXPECT_EQ(screen.balanceGrid->model()->rowCount(), 0);
    EXPECT_EQ(screen.recordLabel->text(), "Record: ");
    screen.nextButton->click();
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(Balances, PrintGoesThroughTheBalanceReport)
{
    addCustomer(db, {"A", QStringLiteral("青木"), "10000", "4000", "2500"});
    addCustomer(db, {"B", QStringLiteral("馬場"), "0", "300", "0"});
    PrintCapture capture;
    frm売掛残高一覧 screen(testSession());
    screen.show();
    clickButton(&screen, "Command1");
    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& page = capture.surface(0);
    EXPECT_EQ(capture.documentNames(), QStringList({"売掛残高一覧"}));
    ASSERT_NE(page.find("売掛残高一覧"), nullptr);
    ASSERT_NE(page.find(QStringLiteral("青木")), nullptr);
    ASSERT_NE(page.find(QStringLiteral("馬場")), nullptr);
    // Largest first, as on the screen.
    EXPECT_LT(page.find(QStringLiteral("青木"))->y, page.find(QStringLiteral("馬場"))->y);
    EXPECT_NE(page.find("8,500"), nullptr);
    EXPECT_NE(page.find("-300"), nullptr);
    EXPECT_NE(page.find("8,200"), nullptr); // the total of the balances
    EXPECT_EQ(ui->busyDepth, 0);
    EXPECT_GT(ui->busyCount, 0);

    capture.failOpening(QStringLiteral("プリンターに接続できません。"));
    clickButton(&screen, "Command1");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->messages[0].text.contains("プリンターに接続できません。"));
}

// Every row of the list as the grid shows it, largest first, a credit
// balance negative, a name with a comma quoted; the rows of zero balance
// are left out as on the screen.
TEST_F(Balances, CsvOutputWritesTheWholeListAsShown)
{
    addCustomer(db, {"A", QStringLiteral("青木, 米店"), "10000", "4000", "2500"});
    addCustomer(db, {"B", QStringLiteral("馬場"), "0", "300", "0"});
    addCustomer(db, {"C", QStringLiteral("ゼロ"), "5000", "5000", "0"});
    addCustomer(db, {"D", QStringLiteral("\"大口\""), "0", "0", "20000"});
    frm売掛残高一覧 screen(testSession());
    screen.show();
    clickButton(&screen, "cmdCSV");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("CSV出力"));
    const QString told = QStringLiteral("CSVファイルに出力しました。\n");
    ASSERT_TRUE(ui->messages[0].text.startsWith(told)) << ui->messages[0].text.toStdString();
    const QString path = ui->messages[0].text.mid(told.size());
    EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(installation.path(QStringLiteral("出力"))).absolutePath());
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QStringLiteral("売掛残高一覧_"))) << path.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("\xEF\xBB\xBF")
                  + QStringLiteral("顧客名前,顧客売掛前回請求金額,顧客売掛入金額,顧客売掛締後売上額,売掛残高\r\n"
                                   "\"\"\"大口\"\"\",0,0,20000,20000\r\n"
                                   "\"青木, 米店\",10000,4000,2500,8500\r\n"
                                   "馬場,0,300,0,-300\r\n")
                        .toUtf8());
}

TEST_F(Balances, ScreensRenderWithEveryCaptionWhole)
{
    addCustomer(db, {"C0012", QStringLiteral("山田　太郎"), "10000", "4000", "2500"});
    addCustomer(db, {"C0013", QStringLiteral("鈴木　花子"), "0", "300", "0"});
    addCustomer(db, {"C0014", QStringLiteral("佐藤　一郎"), "23000", "0", "4800"});
    const QString folder = pictureFolder(installation.dir());
    auto render = [&](QWidget& w, const QString& name) { savePicture(w, folder, name); };
    frm売掛残高一覧 list(testSession());
    render(list, QStringLiteral("balance-list-screen.png"));
    testSession().customer.code = "C0012";
    frm売掛残高変更 change(testSession());
    typeOver(change.billedBox, "12000");
    render(change, QStringLiteral("balance-change.png"));
}
