// Receipt issuing as the operator works it: the collection day and its
// customers, the picker, the confirmation screen's button rule and what it
// prints; nothing is written to the database.
#include "ui/Screens.h"
#include "customers/CustomerScreens.h"
#include "print/RecordingSurface.h"
#include "receivables/ClosingData.h"
#include "receivables/ClosingScreensFixture.h"
#include "receivables/DayBoxTyping.h"
#include "receivables/ClosingScreens.h"
#include "receivables/InvoiceIssuing.h"
#include "receivables/ReceiptIssuing.h"
#include "receivables/ReceiptIssuingScreens.h"
#include "support/Controls.h"
#include "support/ListViews.h"
#include "support/Pictures.h"
#include "support/ShopData.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace closing;

namespace {

class ReceiptScreens : public ClosingScreensFixture {
protected:
    PrintCapture capture;
};

} // namespace

TEST_F(ReceiptScreens, OpeningListsTheCustomersOfTodaysCollectionDay)
{
    const int today = Date::today().day();
    addCustomer(db, {"T1", QStringLiteral("今日　一郎"), "0", "0", "0", 0, today});
    addCustomer(db, {"M1", QStringLiteral("月末　次郎"), "0", "0", "0", 0, 31});
    frm売掛領収書発行 screen(testSession());
    EXPECT_EQ(screen.objectName(), "frm売掛領収書発行");
    EXPECT_EQ(screen.windowTitle(), "売掛領収書発行");
    EXPECT_EQ(screen.collectionDayBox->value(), today);
    EXPECT_TRUE(listTexts(screen.customerList).contains(QStringLiteral("今日　一郎")));
    EXPECT_EQ(screen.byDayButton->text(), "集金指定日別発行");
    EXPECT_EQ(screen.singleCustomerButton->text(), "個別顧客発行");
    EXPECT_EQ(screen.closeButton->text(), "終了");

    screen.collectionDayBox->setValue(40);
    EXPECT_EQ(screen.collectionDayBox->value(), 31);
    EXPECT_EQ(screen.collectionDay(), 31);
    EXPECT_EQ(listTexts(screen.customerList), QStringList({QStringLiteral("月末　次郎")}));

    screen.collectionDayBox->setValue(7);
    screen.issueForCollectionDay();
    ASSERT_EQ(ui->messages.size(), today == 7 ? 0u : 1u);
    if (today != 7) {
        EXPECT_EQ(ui->messages[0].text, "該当顧客がありません。");
        EXPECT_EQ(ui->messages[0].title, "エラーメッセージ");
    }
}

TEST_F(ReceiptScreens, TheListFollowsTheCollectionDayAsItIsTyped)
{
    addCustomer(db, {"D1", QStringLiteral("一日　一郎"), "0", "0", "0", 0, 1});
    addCustomer(db, {"D15", QStringLiteral("十五日　花子"), "0", "0", "0", 0, 15});
    frm売掛領収書発行 screen(testSession());
    screen.show();
    screen.collectionDayBox->setValue(20);
    ASSERT_TRUE(listTexts(screen.customerList).isEmpty());
    EXPECT_EQ(listAfterEachDigit(screen.collectionDayBox, screen.customerList, QStringLiteral("15")),
              QStringList({QStringLiteral("一日　一郎"), QStringLiteral("十五日　花子")}));
    EXPECT_EQ(screen.collectionDay(), 15);
}

TEST_F(ReceiptScreens, CollectionDayRunPrintsOnlyWhereSomethingIsOwedAndWritesNothing)
{
    addCustomer(db, {"A", QStringLiteral("青木"), "5000", "2000", "700", 20, 25, Date::fromParts(2024, 4, 20)});
    addCustomer(db, {"B", QStringLiteral("馬場"), "5000", "5000", "0", 20, 25});
    addCustomer(db, {"C", QStringLiteral("千葉"), "0", "0", "300", 20, 25});
    addCustomer(db, {"X", QStringLiteral("別の日"), "900", "0", "0", 20, 10});
    const QStringList before = tableRows(db, QStringLiteral("顧客マスター"));

    frm売掛領収書発行 screen(testSession());
    screen.collectionDayBox->setValue(25);
    QStringList seen;
    ui->onScreen("frm売掛領収書画面確認", [&](QDialog& dialog) {
        auto& d = static_cast<frm売掛領収書画面確認&>(dialog);
        const QString code = d.customerFrame->findChild<QLineEdit*>("顧客コード")->text();
        seen << code;
        if (code == "C") {
            // Nothing was invoiced: the confirm button is not offered.
            EXPECT_FALSE(d.confirmButton->isVisible());
            clickButton(&d, "Command2");
            return;
        }
        EXPECT_TRUE(d.confirmButton->isVisible());
        clickButton(&d, "Command1");
    });
    screen.issueForCollectionDay();
    EXPECT_EQ(seen, QStringList({"A", "B", "C"}));

    // A: the full 5000, payments not deducted; the closing date from the row.
    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& sheet = capture.surface(0);
    EXPECT_EQ(capture.documentNames(), QStringList({"領収書"}));
    ASSERT_NE(sheet.textAt(700, 2552), nullptr);
    EXPECT_EQ(sheet.textAt(700, 2552)->text, QStringLiteral("領収金額　 \\5,000円"));
    EXPECT_EQ(sheet.textAt(8000, 2500)->text, QStringLiteral("2024 / 04 / 20　締切分"));
    EXPECT_EQ(sheet.textAt(6000, 9200)->text, QStringLiteral("集金予定日　 25日"));
    EXPECT_EQ(sheet.textAt(780, 1287)->text, QStringLiteral("青木　様"));
    // A's last closing kept no figures by rate: the receipt refers to the
    // invoice rather than working the tax out on one rate.
    EXPECT_EQ(sheet.textAt(1400, 3200)->text,
              QStringLiteral("内訳　税率別の金額と消費税額は、2024 / 04 / 20 締切分の請求書をご覧ください。"));

    // B: paid in full.
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "今回は請求額がありません。");
    EXPECT_EQ(ui->messages[0].title, "エラーメッセージ");
    EXPECT_EQ(tableRows(db, QStringLiteral("顧客マスター")), before);
}

TEST_F(ReceiptScreens, ReceiptOfAnInvoiceClosedWithItsRatesPrintsThemFromTheClosing)
{
    // The customer was billed 3300 on 20 April: 1100 at 10 %, 2160 at 8 %,
    // 40 of stamps; the closing kept those figures.
    addCustomer(db, {"A", QStringLiteral("青木　花子"), "0", "0", "0", 20, 25});
    InvoiceValues invoice;
    invoice.closingDate = Date::fromParts(2024, 4, 20);
    invoice.currentSales = invoice.totalBilled = yen("3300");
    invoice.taxByRate.rates = {{yen("0.1"), false, yen("1100"), yen("100")}, {yen("0.08"), true, yen("2160"), yen("160")}};
    invoice.taxByRate.notTaxable = yen("40");
    closeBillingPeriod(db, "A", invoice);
    testSession().customer.code = "A";
    frm売掛領収書画面確認 d(testSession());
    d.show();
    clickButton(&d, "Command1");
    ASSERT_EQ(capture.count(), 1);
    const RecordingSurface& sheet = capture.surface(0);
    ASSERT_NE(sheet.textAt(1400, 3200), nullptr);
    EXPECT_EQ(sheet.textAt(1400, 3200)->text, QStringLiteral("内訳　10%対象　\\1,100円（うち消費税　\\100円）"));
    EXPECT_EQ(sheet.textAt(1400, 3400)->text, QStringLiteral("　　　8%対象　\\2,160円（うち消費税　\\160円）　※軽減税率"));
    EXPECT_EQ(sheet.textAt(1400, 3600)->text, QStringLiteral("　　　非課税　\\40円"));

    // A payment recorded since does not change what the receipt is for.
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛入金額 = ? WHERE 顧客コード = 'A'"), {sqlValue(yen("1000"))});
    frm売掛領収書画面確認 again(testSession());
    again.show();
    clickButton(&again, "Command1");
    ASSERT_EQ(capture.count(), 2);
    EXPECT_EQ(capture.surface(1).textAt(1400, 3200)->text, QStringLiteral("内訳　10%対象　\\1,100円（うち消費税　\\100円）"));

    // An amount changed on the balance screen no longer matches the
    // figures: the invoice is referred to.
    db.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛前回請求金額 = ? WHERE 顧客コード = 'A'"), {sqlValue(yen("3500"))});
    frm売掛領収書画面確認 changed(testSession());
    changed.show();
    clickButton(&changed, "Command1");
    ASSERT_EQ(capture.count(), 3);
    EXPECT_EQ(capture.surface(2).textAt(1400, 3200)->text,
              QStringLiteral("内訳　税率別の金額と消費税額は、2024 / 04 / 20 締切分の請求書をご覧ください。"));
}

TEST_F(ReceiptScreens, ConfirmationTakesTheCustomerFromTheRowAndTheClosingDateToo)
{
    addCustomer(db, {"A", QStringLiteral("青木　花子"), "56000", "0", "1200", 20, 25, Date::fromParts(2024, 4, 20)});
    testSession().customer.code = "A";
    testSession().customer.lastInvoiceAmount = yen("1");
    testSession().config.taxRate1() = "0.10";
    frm売掛領収書画面確認 d(testSession());
    EXPECT_EQ(d.objectName(), "frm売掛領収書画面確認");
    EXPECT_EQ(d.windowTitle(), "領収書画面確認");
    EXPECT_EQ(d.confirmButton->text(), "確認－領収書発行");
    EXPECT_EQ(d.cancelButton->text(), "キャンセル");
    EXPECT_EQ(d.customerFrame->findChild<QLineEdit*>("顧客売掛前回請求金額")->text(), "56000");
    EXPECT_EQ(d.customerFrame->findChild<QLineEdit*>("顧客売掛締後売上額")->text(), "1200");
    EXPECT_EQ(testSession().customer.lastInvoiceAmount, yen("56000"));
    EXPECT_EQ(testSession().customer.name, QStringLiteral("青木　花子"));
    EXPECT_EQ(d.closingDate(), Date::fromParts(2024, 4, 20));

    d.show();
    clickButton(&d, "Command1");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(capture.count(), 1);
    // 56000 at 0.10: a stamp is due.
    EXPECT_NE(capture.surface(0).find("印紙"), nullptr);
    EXPECT_EQ(capture.surface(0).textAt(1600, 3800)->text.left(2), eraName(Date::today()));
}

TEST_F(ReceiptScreens, PickerAndAFailedPrint)
{
    addCustomer(db, {"A", QStringLiteral("青木"), "3000", "0", "0", 20, 25});
    frm売掛領収書発行 screen(testSession());
    ui->onScreen("frm顧客選択", [](QDialog& d) { d.reject(); });
    screen.issueForOneCustomer();
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択"}));

    ui->onScreen("frm顧客選択", [](QDialog& d) {
        testSession().customer.code = "A";
        d.accept();
    });
    capture.failOpening(QStringLiteral("プリンターに接続できません。"));
    bool stayedOpen = false;
    ui->onScreen("frm売掛領収書画面確認", [&](QDialog& d) {
        clickButton(&d, "Command1");
        stayedOpen = d.isVisible();
    });
    screen.issueForOneCustomer();
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->messages[0].text.contains("領収書を印刷できませんでした。"));
    EXPECT_TRUE(ui->messages[0].text.contains("プリンターに接続できません。"));
    EXPECT_EQ(ui->busyDepth, 0);
}

TEST_F(ReceiptScreens, ScreensRenderWithEveryCaptionWhole)
{
    addCustomer(db, {"C0012", QStringLiteral("山田　太郎"), "5000", "2000", "700", 20, 25, Date::fromParts(2024, 4, 20)});
    const QString folder = pictureFolder(installation.dir());
    auto render = [&](QWidget& w, const QString& name) { savePicture(w, folder, name); };
    frm売掛領収書発行 issuing(testSession());
    issuing.collectionDayBox->setValue(25);
    render(issuing, QStringLiteral("receipt-issuing.png"));
    testSession().customer.code = "C0012";
    frm売掛領収書画面確認 confirmation(testSession());
    render(confirmation, QStringLiteral("receipt-confirm.png"));
}
