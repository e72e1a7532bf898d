// The customer master: registering a new customer with its three checks,
// and the change screen with its pickers, update and delete.
#include "masters/MasterData.h"

#include "ui/Screens.h"
#include "session/Session.h"
#include "customers/CustomerChange.h"
#include "customers/CustomerPicker.h"
#include "customers/CustomerRegistration.h"
#include "customers/CustomerScreens.h"
#include "masters/CodePicker.h"
#include "masters/MasterScreens.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/ValueModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void addCustomer(Database& db, const QString& code, const QString& kana, const QString& name)
{
    db.exec("INSERT INTO 顧客マスター (顧客コード, 顧客名前カナ, 顧客名前) VALUES (?, ?, ?)", {code, kana, name});
}

// In the customer picker: shows the customer `code` and confirms.
void chooseCustomer(QDialog& d, const QString& code)
{
    auto& picker = dynamic_cast<frm顧客選択&>(d);
    for (int row = 0; row < picker.customerModel->rowCount(); ++row)
        if (picker.customerModel->index(row, 0).data().toString() == code) {
            picker.showCustomer(row);
            picker.confirm();
            return;
        }
    ADD_FAILURE() << "customer " << code.toStdString() << " is not listed";
}

void fill(frm顧客新規登録& screen, const QStringList& texts)
{
    for (int i = 0; i < texts.size(); ++i)
        screen.boxes[i]->setText(texts[i]);
}

QStringList boxTexts(const frm顧客新規登録& screen)
{
    QStringList texts;
    for (QLineEdit* box : screen.boxes)
        texts << box->text();
    return texts;
}

struct Shop {
    TestInstallation inst;
    Database db = inst.database();
    ScriptedUiScope scripted;
    Shop()
    {
        registerCustomerScreens();
        registerMasterScreens();
        addCustomer(db, "100", "ｱﾍﾞ ﾀﾛｳ", "阿部　太郎");
        addCustomer(db, "200", "ｶﾜｲ ｻﾌﾞﾛｳ", "河合　三郎");
        db.exec("UPDATE 顧客マスター SET 顧客売掛前回請求金額 = 1050000, 顧客売掛入金額 = 20000,"
                " 顧客売掛前回締め日 = 45412, 顧客登録日 = 45000, 顧客灯油サービスレベル = 20,"
                " 顧客ガスボンベ１ = 50, 顧客売掛締切日 = 31 WHERE 顧客コード = '100'");
        addCodeRow(db, "灯油サービスレベルＴＢＬ", 10, "毎週");
        addCodeRow(db, "灯油サービスレベルＴＢＬ", 20, "隔週");
        addCodeRow(db, "灯油サービスレベルＴＢＬ", 30, "月一回");
    }
};

} // namespace

TEST(CustomerRegistration, CaptionsAndTheThreeChecksInTheirOrder)
{
    Shop shop;
    frm顧客新規登録 screen(testSession());
    screen.show();
    saveScreenshot(screen, "customer-registration.png");
    EXPECT_EQ(screen.objectName(), "frm顧客新規登録");
    EXPECT_EQ(screen.windowTitle(), "顧客マスター新規登録");
    QStringList captions;
    for (int i = 0; i < frm顧客新規登録::BoxCount; ++i) {
        EXPECT_EQ(screen.captions[i]->buddy(), screen.boxes[i]);
        captions << screen.captions[i]->text();
    }
    EXPECT_EQ(captions, QStringList({"顧客コード(半角数字１３桁以内)", "顧客名前(全角１２桁以内)",
                                     "顧客名前カナ(半角カナ１６桁以内)", "顧客電話番号(半角数字１６桁以内)",
                                     "顧客郵便番号(半角数字１０桁以内)", "顧客住所１(全角１５桁以内)",
                                     "顧客住所２（全角１５桁以内）"}));
    EXPECT_EQ(control<QPushButton>(&screen, "cmdAdd")->text(), "追加(&A)");
    EXPECT_EQ(control<QPushButton>(&screen, "cmdClose")->text(), "閉じる(&C)");

    auto& messages = shop.scripted->messages;
    // Empty code first, even with the kana name empty too.
    fill(screen, {"", "新井　一郎", ""});
    screen.addClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "顧客コードは、必ず入力して下さい。");
    EXPECT_EQ(messages[0].title, "エラー");

    // A code of blanks is not empty: the kana check speaks next.
    fill(screen, {"   ", "新井　一郎", ""});
    screen.addClicked();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "顧客カナ名前は、必ず入力して下さい。");

    // A code in use is found before the kana check would matter.
    fill(screen, {"100", "新井　一郎", "ｱﾗｲ ｲﾁﾛｳ"});
    screen.addClicked();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].text, "顧客コードが重複しています。変更して下さい。");
    // Trailing blanks make no new code.
    fill(screen, {"100  "});
    screen.addClicked();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[3].text, "顧客コードが重複しています。変更して下さい。");

    EXPECT_EQ(countRows(shop.db, "顧客マスター"), 2);
    // The typed values stay for correcting.
    EXPECT_EQ(boxTexts(screen).mid(0, 3), QStringList({"100  ", "新井　一郎", "ｱﾗｲ ｲﾁﾛｳ"}));

    // Changed to a free code, the same "追加" stores the customer and the
    // screen is ready for the next one.
    fill(screen, {"300", "新井　一郎", "ｱﾗｲ ｲﾁﾛｳ", "03-1234-5678", "100-0001", "東京都架空区", "一丁目"});
    screen.addClicked();
    EXPECT_EQ(messages.size(), 4u);
    EXPECT_EQ(boxTexts(screen), QStringList({"", "", "", "", "", "", ""}));
    EXPECT_EQ(screen.focusWidget(), screen.boxes[0]);
    EXPECT_EQ(countRows(shop.db, "顧客マスター"), 3);
}

TEST(CustomerChange, ThePickerFirstThenThe32BoxesOfTheCustomer)
{
    Shop shop;
    shop.scripted->onScreen("frm顧客選択", [](QDialog& d) { chooseCustomer(d, "100"); });
    shop.scripted->onScreen("frm顧客変更", [](QDialog& d) {
        auto& screen = dynamic_cast<frm顧客変更&>(d);
        EXPECT_EQ(screen.windowTitle(), "顧客マスター");
        QStringList captions;
        for (int i = 0; i < CustomerBoxCount; ++i) {
            EXPECT_EQ(screen.boxes[i]->objectName(), QStringLiteral("txtFields_%1").arg(i));
            EXPECT_EQ(screen.captions[i]->buddy(), screen.boxes[i]);
            captions << screen.captions[i]->text();
        }
        EXPECT_EQ(captions, QStringList({
                                "顧客コード（半角数字13桁以内）", "顧客ガスコード（半角数字13桁以内）",
                                "顧客名前（全角１２桁以内）", "顧客名前カナ（半角カナ１６桁以内）",
                                "顧客電話番号（半角数字１６桁以内）", "顧客郵便番号（半角数字１０桁以内）",
                                "顧客住所１（全角１５桁以内）", "顧客住所２（全角１５桁以内）",
                                "顧客店コード（クリックして選択）", "顧客担当コード（クリックして選択）",
                                "顧客登録日（変更不可）", "顧客最終売上日（変更不可）",
                                "顧客売掛条件（クリックして選択）", "顧客売掛締切日（１－３１日月末は３１）",
                                "顧客売掛集金日（１－３１日月末は３１）", "顧客売掛前回請求金額（変更不可）",
                                "顧客売掛前回締め日（変更不可）", "顧客売掛入金額（変更不可）",
                                "顧客売掛入金日（変更不可）", "顧客売掛締後売上額（変更不可）",
                                "顧客売掛請求先コード（クリックして選択）", "顧客引落銀行コード（クリックして選択）",
                                "顧客引落銀行支店コード:", "顧客引落口座種別（クリックして選択）",
                                "顧客引落口座番号:", "顧客米サービスレベル（クリックして選択）",
                                "顧客灯油サービスレベル（クリックして選択）", "顧客灯油タンク容量:",
                                "顧客ガスタイプ:", "顧客ガスボンベ１:", "顧客ガスボンベ２:",
                                "顧客決済方法コード（クリックして選択）"}));
        EXPECT_EQ(screen.boxes[0]->text(), "100");
        EXPECT_EQ(screen.boxes[2]->text(), "阿部　太郎");
        EXPECT_EQ(screen.boxes[10]->text(), "2023/03/15");
        EXPECT_EQ(screen.boxes[11]->text(), ""); // never sold
        EXPECT_EQ(screen.boxes[13]->text(), "31");
        EXPECT_EQ(screen.boxes[15]->text(), "105");
        EXPECT_EQ(screen.boxes[16]->text(), "2024/04/30");
        EXPECT_EQ(screen.boxes[17]->text(), "2");
        EXPECT_EQ(screen.boxes[20]->text(), "0");
        EXPECT_EQ(screen.boxes[26]->text(), "20");
        EXPECT_EQ(screen.boxes[29]->text(), "50");
        // The boxes marked "変更不可", and the dates, are read only.
        for (int i : {10, 11, 15, 16, 17, 18, 19})
            EXPECT_TRUE(screen.boxes[i]->isReadOnly()) << i;
        for (int i : {0, 2, 13, 20, 22, 26, 29})
            EXPECT_FALSE(screen.boxes[i]->isReadOnly()) << i;
        EXPECT_EQ(control<QPushButton>(&d, "cmdUpdate")->text(), "更新(&U)");
        EXPECT_EQ(control<QPushButton>(&d, "cmdDelete")->text(), "削除(&D)");
        EXPECT_EQ(control<QPushButton>(&d, "cmdClose")->text(), "閉じる(&C)");
        saveScreenshot(d, "customer-change.png");
        clickButton(&d, "cmdClose");
    });
    EXPECT_EQ(openScreen(testSession(), "frm顧客変更", "変更・削除", nullptr), QDialog::Rejected);
    EXPECT_EQ(shop.scripted->openedScreens, QStringList({"frm顧客選択", "frm顧客変更"}));
    EXPECT_TRUE(shop.scripted->messages.empty()) << shop.scripted->lastMessage().toStdString();
}

TEST(CustomerChange, ClosesAtOnceWhenThePickerIsClosedWithoutAChoice)
{
    Shop shop;
    shop.scripted->onScreen("frm顧客選択", [](QDialog& d) { d.close(); });
    EXPECT_EQ(openScreen(testSession(), "frm顧客変更", "変更・削除", nullptr), -1);
    EXPECT_EQ(shop.scripted->openedScreens, QStringList({"frm顧客選択"}));
    EXPECT_TRUE(shop.scripted->messages.empty());
}

TEST(CustomerChange, ClickedBoxesOpenTheirPickers)
{
    Shop shop;
    frm顧客変更 screen(testSession(), "200");
    screen.show();

    // The billing customer comes from the customer picker.
    shop.scripted->onScreen("frm顧客選択", [](QDialog& d) { chooseCustomer(d, "100"); });
    QTest::mouseClick(screen.boxes[20], Qt::LeftButton);
    EXPECT_EQ(screen.boxes[20]->text(), "100");

    // The kerosene service level from its picker, which is handed the
    // box's code.
    screen.boxes[26]->setText("30");
    shop.scripted->onScreen("frm灯油サービスレベル選択", [](QDialog& d) {
        auto& picker = dynamic_cast<CodePicker&>(d);
        EXPECT_EQ(picker.previousCode(), 30);
        EXPECT_EQ(picker.nameList->currentIndex().data().toString(), "月一回");
        picker.chooseName(picker.shownNames().indexOf("毎週"));
        picker.confirm();
    });
    QTest::mouseClick(screen.boxes[26], Qt::LeftButton);
    EXPECT_EQ(screen.boxes[26]->text(), "10");

    // Cancelled, the box keeps its code.
    shop.scripted->onScreen("frm灯油サービスレベル選択", [](QDialog& d) {
        auto& picker = dynamic_cast<CodePicker&>(d);
        picker.chooseName(picker.shownNames().indexOf("隔週"));
        picker.cancel();
    });
    QTest::mouseClick(screen.boxes[26], Qt::LeftButton);
    EXPECT_EQ(screen.boxes[26]->text(), "10");

    // A box without a picker opens nothing.
    QTest::mouseClick(screen.boxes[2], Qt::LeftButton);
    EXPECT_EQ(shop.scripted->openedScreens,
              QStringList({"frm顧客選択", "frm灯油サービスレベル選択", "frm灯油サービスレベル選択"}));

    screen.updateClicked();
    EXPECT_TRUE(shop.scripted->messages.empty()) << shop.scripted->lastMessage().toStdString();
    EXPECT_EQ(screen.result(), QDialog::Accepted);
    QSqlQuery q = shop.db.exec("SELECT 顧客売掛請求先コード, 顧客灯油サービスレベル FROM 顧客マスター WHERE 顧客コード = '200'");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "100");
    EXPECT_EQ(q.value(1).toInt(), 10);
}

TEST(CustomerChange, UpdateWritesOnlyWhatWasChangedAndRefusesWrongValues)
{
    Shop shop;
    {
        frm顧客変更 screen(testSession(), "100");
        screen.boxes[13]->setText("32");
        screen.updateClicked();
        ASSERT_EQ(shop.scripted->messages.size(), 1u);
        EXPECT_EQ(shop.scripted->messages[0].text, "「顧客売掛締切日」には 1 から 31 までの日を入力して下さい（月末は 31）。");
        EXPECT_NE(screen.result(), QDialog::Accepted);

        screen.boxes[13]->setText("20");
        screen.boxes[20]->setText("999");
        screen.updateClicked();
        ASSERT_EQ(shop.scripted->messages.size(), 2u);
        EXPECT_EQ(shop.scripted->messages[1].text, "「顧客売掛請求先コード」の顧客「999」は登録されていません。");

        screen.boxes[20]->setText("0");
        screen.boxes[2]->setText("阿部　太一");
        screen.boxes[29]->setText("２０");
        screen.updateClicked();
        EXPECT_EQ(shop.scripted->messages.size(), 2u);
        EXPECT_EQ(screen.result(), QDialog::Accepted);
    }
    QSqlQuery q = shop.db.exec("SELECT 顧客売掛締切日, 顧客名前, 顧客ガスボンベ１, 顧客売掛前回請求金額, 顧客登録日"
                               " FROM 顧客マスター WHERE 顧客コード = '100'");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 20);
    EXPECT_EQ(q.value(1).toString(), "阿部　太一");
    EXPECT_EQ(q.value(2).toDouble(), 20.0);
    EXPECT_EQ(q.value(3).toLongLong(), 1050000); // shown as 105, never written back
    EXPECT_EQ(q.value(4).toDouble(), 45000.0);

    // A code taken by another customer: the data-error message, nothing written.
    frm顧客変更 screen(testSession(), "100");
    screen.boxes[0]->setText("200");
    screen.updateClicked();
    ASSERT_EQ(shop.scripted->messages.size(), 3u);
    EXPECT_EQ(shop.scripted->messages[2].text, "Data error event hit err:顧客コードが重複しています。変更して下さい。");
    EXPECT_EQ(countRows(shop.db, "顧客マスター", "顧客コード = '100'"), 1);
}

TEST(CustomerChange, ACustomerWithPostedSalesCannotBeDeleted)
{
    Shop shop;
    shop.db.exec("INSERT INTO 売上商品マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上単品コード,"
                 " 売上単価, 売上個数) VALUES (1, 7, 45000, '100', '1001', 10000000, 10000)");
    {
        frm顧客変更 screen(testSession(), "100");
        screen.deleteClicked();
        ASSERT_EQ(shop.scripted->messages.size(), 1u);
        EXPECT_EQ(shop.scripted->messages[0].text, "過去のデータが残っているため顧客の削除ができません。");
        EXPECT_EQ(shop.scripted->messages[0].title, "エラー");
        EXPECT_NE(screen.result(), QDialog::Accepted);
        EXPECT_EQ(countRows(shop.db, "顧客マスター", "顧客コード = '100'"), 1);
    }
    // A customer billed to another keeps that one too.
    shop.db.exec("UPDATE 顧客マスター SET 顧客売掛請求先コード = '100' WHERE 顧客コード = '200'");
    {
        frm顧客変更 screen(testSession(), "200");
        screen.deleteClicked();
        EXPECT_EQ(shop.scripted->messages.size(), 1u);
        EXPECT_EQ(screen.result(), QDialog::Accepted);
        EXPECT_EQ(countRows(shop.db, "顧客マスター", "顧客コード = '200'"), 0);
    }
}
