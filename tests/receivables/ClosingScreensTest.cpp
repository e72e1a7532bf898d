// Invoice issuing as the operator works it: the closing date and closing
// day, the walk through the closing day's customers, the single customer
// from the picker, and the confirmation screen's three buttons with what
// they print and write.
#include "ui/Screens.h"
#include "customers/CustomerScreens.h"
#include "print/RecordingSurface.h"
#include "receivables/ClosingData.h"
#include "receivables/ClosingScreensFixture.h"
#include "receivables/DayBoxTyping.h"
#include "receivables/ClosingScreens.h"
#include "receivables/InvoiceIssuingScreens.h"
#include "receivables/ReceiptIssuingScreens.h"
#include "print/QtPrintSurface.h"
#include "support/Controls.h"
#include "support/ListViews.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/DateBoxes.h"
#include "ui/ValueModel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <gtest/gtest.h>

using namespace closing;

namespace {

QString boxText(const QObject* screen, const char* name)
{
    auto* box = control<QLineEdit>(screen, QString::fromUtf8(name));
    return box ? box->text() : QStringLiteral("<missing>");
}

// The texts of one printed invoice page, by position.
QString textAt(const RecordingSurface& s, int x, int y)
{
    const PrintItem* item = s.textAt(x, y);
    return item ? item->text : QStringLiteral("<nothing>");
}

class InvoiceScreens : public ClosingScreensFixture {
protected:
    PrintCapture capture;

    // The confirmation screen does `action` on every customer in turn.
    void onConfirmation(std::function<void(frm売掛請求書画面確認&)> action)
    {
        ui->onScreen(QStringLiteral("frm売掛請求書画面確認"),
                     [action](QDialog& d) { action(static_cast<frm売掛請求書画面確認&>(d)); });
    }
};

} // namespace

TEST_F(InvoiceScreens, OpeningShowsTodayAndTheCustomersOfTodaysClosingDay)
{
    const Date today = Date::today();
    addCustomer(db, {"T1", QStringLiteral("今日　一郎"), "0", "0", "0", today.day()});
    addCustomer(db, {"M1", QStringLiteral("月末　次郎"), "0", "0", "0", 31});
    addCustomer(db, {"M2", QStringLiteral("月末　三郎"), "0", "0", "0", 31});

    frm売掛請求書発行 screen(testSession());
    EXPECT_EQ(screen.objectName(), "frm売掛請求書発行");
    EXPECT_EQ(screen.windowTitle(), "売掛請求書発行");
    EXPECT_EQ(screen.closingDate(), today);
    EXPECT_EQ(screen.closingDayBox->value(), today.day());
    QStringList expected = {QStringLiteral("今日　一郎")};
    if (today.day() == 31)
        expected << QStringLiteral("月末　次郎") << QStringLiteral("月末　三郎");
    EXPECT_EQ(listTexts(screen.customerList), expected);
    EXPECT_EQ(screen.byDayButton->text(), "締切指定日別発行");
    EXPECT_EQ(screen.singleCustomerButton->text(), "個別顧客発行");
    EXPECT_EQ(screen.closeButton->text(), "終了");
    // Captions name their boxes, the note stands beside the day.
    QStringList buddies;
    for (QLabel* label : screen.findChildren<QLabel*>())
        if (label->buddy())
            buddies << label->text() + "→" + label->buddy()->objectName();
    EXPECT_TRUE(buddies.contains("締切日→Text年"));
    EXPECT_TRUE(buddies.contains("締切指定日→Text締切指定日"));
    EXPECT_TRUE(buddies.contains("対象顧客→DBList1"));
    bool note = false;
    for (QLabel* label : screen.findChildren<QLabel*>())
        note = note || label->text() == "月末は３１日とする。";
    EXPECT_TRUE(note);

    // 45 is out of range: the month end.
    screen.closingDayBox->setValue(45);
    EXPECT_EQ(screen.closingDayBox->value(), 31);
    EXPECT_EQ(screen.closingDay(), 31);
    EXPECT_EQ(listTexts(screen.customerList), QStringList({QStringLiteral("月末　次郎"), QStringLiteral("月末　三郎")}));
    screen.closingDayBox->setValue(-3);
    EXPECT_EQ(screen.closingDay(), 31);
    screen.closingDayBox->setValue(0);
    EXPECT_EQ(screen.closingDay(), 0);
    EXPECT_TRUE(listTexts(screen.customerList).isEmpty());

    // 2001 / 02 / 31 is 3 March 2001, the closing date the confirmations get.
    screen.dateBoxes->setParts(2001, 2, 31);
    EXPECT_EQ(screen.closingDate(), Date::fromParts(2001, 3, 3));
    EXPECT_EQ(screen.monthBox->value(), 3);
    EXPECT_EQ(screen.dayBox->value(), 3);
}

TEST_F(InvoiceScreens, TheListFollowsTheClosingDayAsItIsTyped)
{
    addCustomer(db, {"D1", QStringLiteral("一日　一郎"), "0", "0", "0", 1});
    addCustomer(db, {"D15", QStringLiteral("十五日　花子"), "0", "0", "0", 15});
    addCustomer(db, {"M1", QStringLiteral("月末　次郎"), "0", "0", "0", 31});
    frm売掛請求書発行 screen(testSession());
    screen.show();
    screen.closingDayBox->setValue(20);
    ASSERT_TRUE(listTexts(screen.customerList).isEmpty());

    // Each digit changes the list at once, without Enter or a change of focus.
    EXPECT_EQ(listAfterEachDigit(screen.closingDayBox, screen.customerList, QStringLiteral("15")),
              QStringList({QStringLiteral("一日　一郎"), QStringLiteral("十五日　花子")}));
    EXPECT_EQ(screen.closingDay(), 15);
    // A day beyond any month, typed, is the month's end and says so.
    EXPECT_EQ(listAfterEachDigit(screen.closingDayBox, screen.customerList, QStringLiteral("45")),
              QStringList({QString(), QStringLiteral("月末　次郎")}));
    EXPECT_EQ(screen.closingDayBox->value(), 31);
}

TEST_F(InvoiceScreens, ClosingDayRunWalksEveryCustomerOneConfirmationAtATime)
{
    addCustomer(db, {"A", QStringLiteral("青木"), "10000", "10000", "5000", 20});
    addCustomer(db, {"X", QStringLiteral("別の日"), "100", "0", "0", 10});
    addCustomer(db, {"B", QStringLiteral("馬場"), "2000", "0", "1000", 20});
    addCustomer(db, {"C", QStringLiteral("千葉"), "8000", "3000", "0", 20, 0, Date::fromParts(2001, 1, 31)});
    addLine(db, "A", Date::fromParts(2001, 2, 10), "3000", "1");
    addLine(db, "A", Date::fromParts(2001, 2, 28), "2000", "1");
    addLine(db, "B", Date::fromParts(2001, 2, 15), "1000", "1");

    frm売掛請求書発行 screen(testSession());
    screen.closingDayBox->setValue(20);
    screen.dateBoxes->setParts(2001, 2, 28);

    QStringList seen;
    int shown = 0;
    onConfirmation([&](frm売掛請求書画面確認& d) {
        seen << d.customerFrame->findChild<QLineEdit*>("顧客コード")->text();
        // The closing date of the issuing screen, for every customer.
        EXPECT_EQ(d.closingDate(), Date::fromParts(2001, 2, 28));
        switch (shown++) {
        case 0: clickButton(&d, "Command1"); break; // print and close
        case 1: clickButton(&d, "Command3"); break; // skip
        default: clickButton(&d, "Command2"); break; // close without printing
        }
    });
    screen.issueForClosingDay();
    EXPECT_EQ(seen, QStringList({"A", "B", "C"}));

    // A: two invoices of one page each, then closed.
    ASSERT_EQ(capture.count(), 2);
    EXPECT_EQ(capture.documentNames(), QStringList({"請求書", "請求書"}));
    for (const auto& page : capture.surfaces()) {
        EXPECT_EQ(textAt(*page, 700, 2552), QStringLiteral("合計請求金額　 \\5,000円"));
        EXPECT_EQ(textAt(*page, 7500, 2552), QStringLiteral("請求締切日　2001 / 02 / 28"));
        EXPECT_EQ(textAt(*page, 7500, 3600), QStringLiteral("今回売上金額　\\5,000円"));
        EXPECT_EQ(textAt(*page, 780, 1287), QStringLiteral("青木　様"));
        EXPECT_TRUE(page->ended());
    }
    EXPECT_EQ(stored(db, "A").lastInvoice, yen("5000"));
    EXPECT_EQ(lineCount(db, "A"), 0);
    // B: skipped, nothing changed.
    EXPECT_EQ(stored(db, "B").lastInvoice, yen("2000"));
    EXPECT_EQ(stored(db, "B").sales, yen("1000"));
    EXPECT_EQ(lineCount(db, "B"), 1);
    // C: 8000 − 3000 with no lines, closed without printing.
    EXPECT_EQ(stored(db, "C").lastInvoice, yen("5000"));
    EXPECT_EQ(stored(db, "C").previousClosing, Date::fromParts(2001, 2, 28));
    EXPECT_EQ(stored(db, "C").payments, Currency());
    EXPECT_EQ(stored(db, "X").lastInvoice, yen("100"));
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(InvoiceScreens, NoCustomerOnTheClosingDayIsSaid)
{
    addCustomer(db, {"A", QStringLiteral("青木"), "0", "0", "0", 20});
    frm売掛請求書発行 screen(testSession());
    screen.closingDayBox->setValue(5);
    screen.issueForClosingDay();
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "該当顧客がありません。");
    EXPECT_EQ(ui->messages[0].title, "エラーメッセージ");
    EXPECT_TRUE(ui->openedScreens.isEmpty());
}

TEST_F(InvoiceScreens, SingleCustomerComesFromThePickerAndAClosedPickerDoesNothing)
{
    addCustomer(db, {"A", QStringLiteral("青木"), "8000", "3000", "0", 20});
    addCustomer(db, {"B", QStringLiteral("馬場"), "0", "0", "700", 5});
    addLine(db, "B", Date::fromParts(2024, 5, 1), "700", "1");
    frm売掛請求書発行 screen(testSession());
    screen.dateBoxes->setParts(2024, 5, 31);

    ui->onScreen("frm顧客選択", [](QDialog& d) { d.reject(); });
    screen.issueForOneCustomer();
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択"}));

    // The closing day plays no part: B closes on the 5th.
    ui->onScreen("frm顧客選択", [](QDialog& d) {
        testSession().customer.code = "B";
        d.accept();
    });
    onConfirmation([](frm売掛請求書画面確認& d) { clickButton(&d, "Command2"); });
    screen.issueForOneCustomer();
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択", "frm顧客選択", "frm売掛請求書画面確認"}));
    EXPECT_EQ(stored(db, "B").lastInvoice, yen("700"));
    EXPECT_EQ(stored(db, "B").previousClosing, Date::fromParts(2024, 5, 31));
    EXPECT_EQ(stored(db, "A").lastInvoice, yen("8000"));
    EXPECT_EQ(capture.count(), 0);
}

TEST_F(InvoiceScreens, ConfirmationShowsTheCustomerTheLinesAndTheTotals)
{
    addCustomer(db, {"A", QStringLiteral("青木　花子"), "10000", "4000", "5000", 20, 0, Date::fromParts(2024, 4, 20),
                     Date::fromParts(2024, 5, 2)});
    addLine(db, "A", Date::fromParts(2024, 5, 3), "105", "0.5", QStringLiteral("半端米"));
    addLine(db, "A", Date::fromParts(2024, 5, 1), "3000", "1", QStringLiteral("灯油１８Ｌ"), 2, 5);
    addLine(db, "A", Date::fromParts(2024, 5, 21), "999", "1");
    testSession().customer.code = "A";
    const Date closingDate = Date::fromParts(2024, 5, 20);

    frm売掛請求書画面確認 d(testSession(), closingDate);
    EXPECT_EQ(d.objectName(), "frm売掛請求書画面確認");
    EXPECT_EQ(d.windowTitle(), "請求書確認");
    EXPECT_EQ(d.customerFrame->title(), "顧客相手先");
    EXPECT_EQ(boxText(&d, "顧客コード"), "A");
    EXPECT_EQ(boxText(&d, "顧客名前"), QStringLiteral("青木　花子"));
    EXPECT_EQ(boxText(&d, "顧客住所１"), QStringLiteral("東京都架空区試験町A"));
    EXPECT_EQ(boxText(&d, "顧客郵便番号"), "100-A");
    EXPECT_EQ(boxText(&d, "顧客売掛前回請求金額"), "10000");
    EXPECT_EQ(boxText(&d, "顧客売掛入金額"), "4000");
    EXPECT_EQ(boxText(&d, "顧客売掛締後売上額"), "5000");
    EXPECT_EQ(d.detailTotalBox->text(), "3052");
    EXPECT_EQ(d.totalBilledBox->text(), "9052");
    // The sales by rate as the invoice prints them, each line its own slip
    // here: 52 + 2 of tax (2.6 down) containing 2, and 3000 with tax
    // included containing 142 (142.86 down). Rate 1 (0.05), the lower, is
    // the reduced rate of the test installation's file.
    EXPECT_EQ(d.taxByRateField->objectName(), "lbl税率別内訳");
    EXPECT_EQ(d.taxByRateField->text(), QStringLiteral("5%対象 3,054円 消費税 144円※（消費税は伝票ごとに計算）"));
    // 3052 of lines against 5000 of sales since closing.
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "請求商品明細の合計を正しいものとします。");
    EXPECT_EQ(ui->messages[0].title, "エラーメッセージ");

    // The grid: by date, amounts in yen, the line after the closing day left out.
    QAbstractItemModel* m = d.lineGrid->model();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->index(0, 1).data().toString(), "2024/05/01");
    EXPECT_EQ(m->index(0, 5).data().toString(), QStringLiteral("灯油１８Ｌ"));
    EXPECT_EQ(m->index(0, 8).data().toString(), "3000");
    EXPECT_EQ(m->index(1, 7).data().toString(), "0.5");
    EXPECT_EQ(m->index(1, 8).data().toString(), "52");
    EXPECT_EQ(m->headerData(8, Qt::Horizontal).toString(), "金額");

    // The session's chosen customer and the screen's invoice, for the print-out.
    const SessionState& s = testSession();
    EXPECT_EQ(s.customer.name, QStringLiteral("青木　花子"));
    EXPECT_EQ(s.customer.creditSalesSinceClosing, yen("5000"));
    EXPECT_EQ(d.invoice().lineCount(), 2);
    EXPECT_EQ(d.invoice().currentSales, yen("3052"));
    EXPECT_EQ(d.invoice().previousClosingDate, Date::fromParts(2024, 4, 20));
    EXPECT_EQ(d.invoice().lastPaymentDate, Date::fromParts(2024, 5, 2));

    // Printed twice: the lines, the head, the previous period.
    d.show();
    clickButton(&d, "Command1");
    ASSERT_EQ(capture.count(), 2);
    for (const auto& page : capture.surfaces()) {
        EXPECT_EQ(textAt(*page, 700, 2552), QStringLiteral("合計請求金額　 \\9,052円"));
        EXPECT_EQ(textAt(*page, 4000, 3000), QStringLiteral("前回請求締日　2024 / 04 / 20"));
        EXPECT_EQ(textAt(*page, 7500, 3000), QStringLiteral("前回請求金額　\\10,000円"));
        EXPECT_EQ(textAt(*page, 7500, 3300), QStringLiteral("前回入金金額　\\4,000円"));
        EXPECT_EQ(textAt(*page, 1300, 4306), "2024/05/01"); // row 1 at 4000 + 284 + 22
        EXPECT_EQ(textAt(*page, 1300, 4590), "2024/05/03");
        EXPECT_EQ(page->findStarting(QStringLiteral("2024/05/21")), nullptr);
    }
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(lineCount(db, "A"), 1); // the line of the 21st
    const Stored after = stored(db, "A");
    EXPECT_EQ(after.lastInvoice, yen("9052"));
    EXPECT_EQ(after.sales, yen("1948"));
    EXPECT_EQ(after.payments, Currency());
    EXPECT_TRUE(after.lastPayment.isZero());
}

TEST_F(InvoiceScreens, NothingToBillIsSaidButUpdateOnlyStillClosesThePeriod)
{
    addCustomer(db, {"Z", QStringLiteral("零"), "0", "0", "0", 20, 0, Date::fromParts(2024, 4, 20)});
    const Date closingDate = Date::fromParts(2024, 5, 20);
    {
        testSession().customer.code = "Z";
        frm売掛請求書画面確認 d(testSession(), closingDate);
        d.show();
        clickButton(&d, "Command1");
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(ui->messages[0].text, "今回は請求書発行の必要がありません。");
        EXPECT_EQ(ui->messages[0].title, "エラーメッセージ");
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(capture.count(), 0);
        EXPECT_EQ(stored(db, "Z").previousClosing, Date::fromParts(2024, 4, 20));
    }
    {
        testSession().customer.code = "Z";
        frm売掛請求書画面確認 d(testSession(), closingDate);
        d.show();
        clickButton(&d, "Command2");
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(stored(db, "Z").previousClosing, Date::fromParts(2024, 5, 20));
        EXPECT_EQ(stored(db, "Z").lastInvoice, Currency());
        EXPECT_EQ(capture.count(), 0);
    }
    // Cancel leaves everything.
    addCustomer(db, {"C", QStringLiteral("取消"), "500", "0", "0", 20});
    testSession().customer.code = "C";
    frm売掛請求書画面確認 d(testSession(), closingDate);
    d.show();
    clickButton(&d, "Command3");
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(stored(db, "C").lastInvoice, yen("500"));
    EXPECT_TRUE(stored(db, "C").previousClosing.isZero());
}

TEST_F(InvoiceScreens, AFailedPrintIsReportedAndThePeriodStaysOpenToPrintAgain)
{
    addCustomer(db, {"A", QStringLiteral("青木"), "1000", "0", "2000", 20});
    addLine(db, "A", Date::fromParts(2024, 5, 1), "2000", "1");
    testSession().customer.code = "A";
    const Date closingDate = Date::fromParts(2024, 5, 20);
    frm売掛請求書画面確認 d(testSession(), closingDate);
    d.show();

    capture.failOpening(QStringLiteral("プリンターに接続できません。"));
    clickButton(&d, "Command1");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->messages[0].text.contains("プリンターに接続できません。"));
    EXPECT_TRUE(ui->messages[0].text.contains("締め処理は行っていません"));
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(lineCount(db, "A"), 1);
    EXPECT_EQ(stored(db, "A").lastInvoice, yen("1000"));
    EXPECT_EQ(ui->busyDepth, 0);

    capture.failOpening(std::nullopt);
    clickButton(&d, "Command1");
    EXPECT_EQ(capture.count(), 2);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(lineCount(db, "A"), 0);
    EXPECT_EQ(stored(db, "A").lastInvoice, yen("3000"));
}

TEST_F(InvoiceScreens, AnUnknownCustomerEndsTheConfirmationWhileOpening)
{
    testSession().customer.code = "NOBODY";
    EXPECT_EQ(openInvoiceConfirmation(testSession(), Date::fromParts(2024, 5, 20), nullptr), -1);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->messages[0].text.contains("NOBODY"));
    EXPECT_TRUE(ui->openedScreens.isEmpty());
}

namespace {

// May's credit lines of customer C0012 at today's rates, each with the tax
// row its slip stored: rice at 8 % with the tax added (2000 + 160, and 52 +
// 4), kerosene at 10 % with the tax included (3000); 5216 in all.
void addMonthAtBothRates(Database& db)
{
    const QString taxName = QStringLiteral("　　　消費税");
    addLine(db, "C0012", Date::fromParts(2024, 5, 1), "2000", "1", QStringLiteral("コシヒカリ５ｋｇ"), 1, 1);
    addLine(db, "C0012", Date::fromParts(2024, 5, 1), "160", "1", taxName, 99, 9, QStringLiteral("999900"));
    addLine(db, "C0012", Date::fromParts(2024, 5, 8), "1500", "2", QStringLiteral("灯油１８Ｌ"), 2, 5);
    addLine(db, "C0012", Date::fromParts(2024, 5, 15), "105", "0.5", QStringLiteral("量り売り米"), 1, 1);
    addLine(db, "C0012", Date::fromParts(2024, 5, 15), "4", "1", taxName, 99, 9, QStringLiteral("999900"));
}

} // namespace

TEST_F(InvoiceScreens, ScreensRenderWithEveryCaptionWhole)
{
    // Today's rates: rice at 8 % with the tax added by its slip, kerosene
    // at 10 % with the tax included.
    testSession().config.taxRate1() = QStringLiteral("0.10");
    testSession().config.taxRate2() = QStringLiteral("0.08");
    testSession().config.reducedRate = 2;
    addCustomer(db, {"C0012", QStringLiteral("山田　太郎"), "12000", "12000", "5216", 20, 25,
                     Date::fromParts(2024, 4, 20), Date::fromParts(2024, 5, 2)});
    addMonthAtBothRates(db);
    const QString folder = pictureFolder(installation.dir());
    auto render = [&](QWidget& w, const QString& name) {
        savePicture(w, folder, name);
        // Every button shows its whole caption.
        for (QPushButton* b : w.findChildren<QPushButton*>()) {
            if (b->isVisible()) {
                EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text()) + 8) << b->text().toStdString();
            }
        }
    };
    frm売掛請求書発行 issuing(testSession());
    issuing.closingDayBox->setValue(20);
    issuing.dateBoxes->setParts(2024, 5, 20);
    render(issuing, QStringLiteral("invoice-issuing.png"));
    testSession().customer.code = "C0012";
    frm売掛請求書画面確認 confirmation(testSession(), issuing.closingDate());
    render(confirmation, QStringLiteral("invoice-confirm.png"));
    // 8 %: 2000 + 160 and 52 + 4 (each its own slip here); 10 %: 3000
    // containing 272 (272.7 down).
    EXPECT_EQ(confirmation.taxByRateField->text(),
              QStringLiteral("10%対象 3,000円 消費税 272円　8%対象 2,216円 消費税 164円※（消費税は伝票ごとに計算）"));
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(InvoiceScreens, AMonthAtBothRatesPrintsItsInvoiceAndThenItsReceipt)
{
    // A registered shop at today's rates; the month's invoice printed on
    // its confirmation, then the receipt that collects it, both as PDF
    // pages (the pictures of the documents are made from them).
    SessionState& s = testSession();
    s.config.taxRate1() = QStringLiteral("0.10");
    s.config.taxRate2() = QStringLiteral("0.08");
    s.config.reducedRate = 2;
    s.config.registrationNumber = QStringLiteral("T7123456789012");
    addCustomer(db, {"C0012", QStringLiteral("山田　太郎"), "0", "0", "5216", 20, 25, Date::fromParts(2024, 4, 20)});
    addMonthAtBothRates(db);
    const QString folder = pictureFolder(installation.dir());
    QStringList files;
    PrintSurfaceFactory previous = installPrintSurfaceFactory([&](const QString& name) -> std::unique_ptr<PrintSurface> {
        const QString file = name == QStringLiteral("請求書") ? QStringLiteral("month-invoice-%1.pdf").arg(files.size() + 1)
                                                               : QStringLiteral("month-receipt.pdf");
        files << QDir(folder).filePath(file);
        return std::make_unique<QtPrintSurface>(name, files.back());
    });
    s.customer.code = "C0012";
    {
        frm売掛請求書画面確認 confirmation(s, Date::fromParts(2024, 5, 20));
        confirmation.show();
        clickButton(&confirmation, "Command1");
        EXPECT_EQ(confirmation.result(), QDialog::Accepted);
    }
    ASSERT_EQ(files.size(), 2); // the customer's copy and the shop's
    {
        frm売掛領収書画面確認 receipt(s);
        receipt.show();
        clickButton(&receipt, "Command1");
    }
    installPrintSurfaceFactory(std::move(previous));
    ASSERT_EQ(files.size(), 3);
    for (const QString& file : files) {
        QFile pdf(file);
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << file.toStdString();
        EXPECT_EQ(pdf.read(5), "%PDF-");
        EXPECT_GT(pdf.size(), 1000);
    }
    // The closing kept the invoice's figures, which the receipt printed.
    const std::optional<ClosedInvoice> kept = readClosedInvoice(db, "C0012");
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->taxByRate.rates.size(), 2u);
    EXPECT_EQ(kept->taxByRate.rates[0].total, yen("3000"));
    EXPECT_EQ(kept->taxByRate.rates[1].total, yen("2216"));
    EXPECT_EQ(kept->totalBilled, yen("5216"));
}
