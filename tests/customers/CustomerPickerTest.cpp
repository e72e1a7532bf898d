// The customer pickers as the operator uses them: kana buttons, a click or
// Enter on a name, the slip date, "ＯＫ" and the close box.
#include "customers/CustomerData.h"
#include "customers/CustomerPicker.h"
#include "customers/CustomerScreens.h"
#include "ui/Screens.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The kana names the list shows, top to bottom.
QStringList shownNames(const QDialog& picker)
{
    auto* list = picker.findChild<QListView*>("DBList1");
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        names << list->model()->index(row, list->modelColumn()).data().toString();
    return names;
}

QString box(const QDialog& picker, const QString& name)
{
    auto* line = control<QLineEdit>(&picker, name);
    return line ? line->text() : QString();
}

// Clicks the list row showing `kana`, as the mouse does.
void clickName(const QDialog& picker, const QString& kana)
{
    auto* list = picker.findChild<QListView*>("DBList1");
    const int row = shownNames(picker).indexOf(kana);
    ASSERT_GE(row, 0) << kana.toStdString() << " is not listed";
    const QModelIndex index = list->model()->index(row, list->modelColumn());
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

void addShop(Database& db)
{
    // Table order differs from kana order: the first row is ﾜﾀﾅﾍﾞ.
    addCustomer(db, {"900", QStringLiteral("ﾜﾀﾅﾍﾞ ﾊﾅｺ"), QStringLiteral("渡辺　花子"), "0", 1050000, 20000, 123456});
    addCustomer(db, {"100", QStringLiteral("ｱﾍﾞ ﾀﾛｳ"), QStringLiteral("阿部　太郎"), "5", 0, 0, 0, 20});
    addCustomer(db, {"200", QStringLiteral("ｶﾞﾓｳ ｼﾞﾛｳ"), QStringLiteral("蒲生　次郎"), "0"});
    addCustomer(db, {"300", QStringLiteral("ｶﾜｲ ｻﾌﾞﾛｳ"), QStringLiteral("河合　三郎"), "8", 0, 0, 0, 50});
    addCustomer(db, {"400", QString(), QStringLiteral("名無し"), "0"});
}

} // namespace

TEST(CustomerPicker, ScreenNamesAndControls)
{
    TestInstallation inst;
    Database db = inst.database();
    registerCustomerScreens();
    EXPECT_TRUE(isScreenAvailable("frm顧客選択"));
    EXPECT_TRUE(isScreenAvailable("frm顧客選択ガス"));
    EXPECT_TRUE(isScreenAvailable("frm顧客実績表示"));

    frm顧客選択 picker(testSession());
    EXPECT_EQ(picker.objectName(), "frm顧客選択");
    EXPECT_EQ(picker.windowTitle(), "顧客選択");
    QString captions;
    for (int i = 0; i < KanaInitialCount; ++i) {
        auto* button = picker.findChild<QPushButton*>(QStringLiteral("Command1_%1").arg(i));
        ASSERT_TRUE(button) << i;
        EXPECT_EQ(button, picker.initialButtons[i]);
        captions += button->text();
    }
    EXPECT_EQ(captions, "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわ");
    EXPECT_EQ(control<QPushButton>(&picker, "Command3")->text(), "全");
    EXPECT_EQ(control<QPushButton>(&picker, "Command2")->text(), "ＯＫ");
    // Every detail box has its caption as buddy, for screen readers.
    QStringList buddies;
    for (QLabel* label : picker.findChildren<QLabel*>())
        if (auto* line = qobject_cast<QLineEdit*>(label->buddy()))
            buddies << label->text() + "→" + line->objectName();
    EXPECT_EQ(buddies, QStringList({"顧客コード→顧客コード", "顧客名前→顧客名前", "顧客カナ名前→顧客名前カナ",
                                    "住所１→顧客住所１", "住所２→顧客住所２", "電話番号→顧客電話番号",
                                    "郵便番号→顧客郵便番号", "前回請求額→顧客売掛前回請求金額",
                                    "既入金額→顧客売掛入金額", "締後売上額→顧客売掛締後売上額"}));

    frm顧客選択ガス gas(testSession());
    EXPECT_EQ(gas.objectName(), "frm顧客選択ガス");
    EXPECT_EQ(gas.windowTitle(), "顧客選択ガス");
}

TEST(CustomerPicker, OkWithoutAChoiceReturnsTheFirstRowOfTheTable)
{
    TestInstallation inst;
    Database db = inst.database();
    addShop(db);
    ScriptedUiScope scripted;
    scripted->onScreen("frm顧客選択", [](QDialog& d) {
        // The list starts with ｱﾍﾞ after the empty name; the details do not.
        EXPECT_EQ(shownNames(d).mid(0, 2), QStringList({QString(), QStringLiteral("ｱﾍﾞ ﾀﾛｳ")}));
        EXPECT_EQ(box(d, "顧客コード"), "900");
        EXPECT_EQ(box(d, "顧客売掛前回請求金額"), "105");
        // The list marks the name of the customer shown.
        EXPECT_EQ(control<QListView>(&d, "DBList1")->currentIndex().data().toString(), QStringLiteral("ﾜﾀﾅﾍﾞ ﾊﾅｺ"));
        clickButton(&d, "Command2");
    });
    frm顧客選択 picker(testSession());
    EXPECT_EQ(ui().runModal(picker), QDialog::Accepted);

    const ChosenCustomer& c = testSession().customer;
    EXPECT_EQ(c.code, "900");
    EXPECT_EQ(c.name, QStringLiteral("渡辺　花子"));
    EXPECT_EQ(c.kanaName, QStringLiteral("ﾜﾀﾅﾍﾞ ﾊﾅｺ"));
    EXPECT_EQ(c.address1, QStringLiteral("住所１の900"));
    EXPECT_EQ(c.address2, QStringLiteral("住所２の900"));
    EXPECT_EQ(c.telephone, "0120-900");
    EXPECT_EQ(c.postalCode, "100-900");
    // 1050000 ticks stored are 105 yen, not 1050000.
    EXPECT_EQ(c.lastInvoiceAmount, Currency::fromUnits(105));
    EXPECT_EQ(c.paymentsSinceClosing, Currency::fromUnits(2));
    EXPECT_EQ(c.creditSalesSinceClosing, *Currency::parse("12.3456"));
    EXPECT_EQ(c.slipDate, Date::today());
}

TEST(CustomerPicker, KanaButtonsNarrowTheListAndAClickShowsTheCustomer)
{
    TestInstallation inst;
    Database db = inst.database();
    addShop(db);
    ScriptedUiScope scripted;
    scripted->onScreen("frm顧客選択", [](QDialog& d) {
        clickButton(&d, "Command1_5"); // か
        EXPECT_EQ(shownNames(d), QStringList({QStringLiteral("ｶﾜｲ ｻﾌﾞﾛｳ"), QStringLiteral("ｶﾞﾓｳ ｼﾞﾛｳ")}));
        EXPECT_EQ(box(d, "顧客コード"), "900"); // the details stay until a click
        clickButton(&d, "Command1_43"); // わ
        EXPECT_EQ(shownNames(d), QStringList({QStringLiteral("ﾜﾀﾅﾍﾞ ﾊﾅｺ")}));
        clickButton(&d, "Command1_1"); // い: nobody
        EXPECT_TRUE(shownNames(d).isEmpty());
        clickButton(&d, "Command3"); // 全, the empty name included
        EXPECT_EQ(shownNames(d).size(), 5);

        clickName(d, QStringLiteral("ｶﾞﾓｳ ｼﾞﾛｳ"));
        EXPECT_EQ(box(d, "顧客コード"), "200");
        EXPECT_EQ(box(d, "顧客名前"), QStringLiteral("蒲生　次郎"));
        EXPECT_EQ(box(d, "顧客売掛前回請求金額"), "0");
        clickButton(&d, "Command2");
    });
    frm顧客選択 picker(testSession());
    EXPECT_EQ(ui().runModal(picker), QDialog::Accepted);
    EXPECT_EQ(testSession().customer.code, "200");
    EXPECT_EQ(testSession().customer.name, QStringLiteral("蒲生　次郎"));
    EXPECT_EQ(testSession().customer.lastInvoiceAmount, Currency());
}

TEST(CustomerPicker, TheKeyboardFindsAndChoosesAName)
{
    TestInstallation inst;
    Database db = inst.database();
    addShop(db);
    ScriptedUiScope scripted;
    scripted->onScreen("frm顧客選択", [](QDialog& d) {
        auto* list = control<QListView>(&d, "DBList1");
        list->setFocus();
        for (QChar letter : QStringLiteral("ｶﾜ")) // typing finds the name
            QTest::sendKeyEvent(QTest::Click, list, Qt::Key_unknown, QString(letter), Qt::NoModifier);
        EXPECT_EQ(list->currentIndex().data().toString(), QStringLiteral("ｶﾜｲ ｻﾌﾞﾛｳ"));
        EXPECT_EQ(box(d, "顧客コード"), "900");
        QTest::keyClick(list, Qt::Key_Return); // Enter chooses it
        EXPECT_EQ(box(d, "顧客コード"), "300");
        EXPECT_TRUE(d.isVisible()); // and does not yet confirm
        clickButton(&d, "Command2");
    });
    frm顧客選択 picker(testSession());
    EXPECT_EQ(ui().runModal(picker), QDialog::Accepted);
    EXPECT_EQ(testSession().customer.code, "300");
}

TEST(CustomerPicker, TheDateCarriesAndIsTheSlipDateAtOnce)
{
    TestInstallation inst;
    Database db = inst.database();
    addShop(db);
    testSession().customer.code = "PREV";
    ScriptedUiScope scripted;
    scripted->onScreen("frm顧客選択", [](QDialog& d) {
        EXPECT_EQ(testSession().customer.slipDate, Date::today());
        control<QSpinBox>(&d, "Text9")->setValue(15);
        control<QSpinBox>(&d, "Text7")->setValue(2000);
        control<QSpinBox>(&d, "Text8")->setValue(13);
        // Month 13 of 2000 is January 2001, shown and set at once.
        EXPECT_EQ(control<QSpinBox>(&d, "Text7")->value(), 2001);
        EXPECT_EQ(control<QSpinBox>(&d, "Text8")->value(), 1);
        EXPECT_EQ(testSession().customer.slipDate, Date::fromParts(2001, 1, 15));
        control<QSpinBox>(&d, "Text9")->setValue(0); // day 0: the last day of the month before
        EXPECT_EQ(testSession().customer.slipDate, Date::fromParts(2000, 12, 31));
        clickName(d, QStringLiteral("ｱﾍﾞ ﾀﾛｳ"));
        d.close(); // the close box
    });
    frm顧客選択 picker(testSession());
    EXPECT_EQ(ui().runModal(picker), QDialog::Rejected);
    // Closed without "ＯＫ": the customer is as it was.
    EXPECT_EQ(testSession().customer.code, "PREV");
    EXPECT_EQ(testSession().customer.slipDate, Date::fromParts(2000, 12, 31));
}

TEST(CustomerPicker, AnEmptyCustomerTableReturnsNoCustomer)
{
    TestInstallation inst;
    testSession().customer.code = "PREV";
    ScriptedUiScope scripted;
    scripted->onScreen("frm顧客選択", [](QDialog& d) {
        EXPECT_TRUE(shownNames(d).isEmpty());
        EXPECT_EQ(box(d, "顧客コード"), "");
        EXPECT_EQ(box(d, "顧客売掛前回請求金額"), "");
        clickButton(&d, "Command2");
    });
    frm顧客選択 picker(testSession());
    EXPECT_EQ(ui().runModal(picker), QDialog::Rejected);
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].text, "顧客が登録されていません。");
    EXPECT_EQ(scripted->messages[0].title, "顧客選択");
    EXPECT_EQ(testSession().customer.code, "PREV");
}

TEST(GasCustomerPicker, OffersOnlyGasCustomersAndSetsTheCylinder)
{
    TestInstallation inst;
    Database db = inst.database();
    addShop(db);
    ScriptedUiScope scripted;
    scripted->onScreen("frm顧客選択ガス", [](QDialog& d) {
        EXPECT_EQ(shownNames(d), QStringList({QStringLiteral("ｱﾍﾞ ﾀﾛｳ"), QStringLiteral("ｶﾜｲ ｻﾌﾞﾛｳ")}));
        // Not one button shows a customer whose gas code is "0".
        for (int i = 0; i < KanaInitialCount; ++i) {
            clickButton(&d, QStringLiteral("Command1_%1").arg(i));
            for (const QString& name : shownNames(d))
                EXPECT_TRUE(name == QStringLiteral("ｱﾍﾞ ﾀﾛｳ") || name == QStringLiteral("ｶﾜｲ ｻﾌﾞﾛｳ"))
                    << name.toStdString() << " under button " << i;
        }
        clickButton(&d, "Command3");
        EXPECT_EQ(shownNames(d).size(), 2);
        // The details start on the first gas customer of the table.
        EXPECT_EQ(box(d, "顧客コード"), "100");
        clickName(d, QStringLiteral("ｶﾜｲ ｻﾌﾞﾛｳ"));
        EXPECT_FLOAT_EQ(dynamic_cast<frm顧客選択&>(d).gasCylinderSize(), 50.0f); // set by the click
        clickButton(&d, "Command2");
    });
    frm顧客選択ガス picker(testSession());
    EXPECT_EQ(ui().runModal(picker), QDialog::Accepted);
    EXPECT_EQ(testSession().customer.code, "300");
    EXPECT_FLOAT_EQ(picker.gasCylinderSize(), 50.0f);

    // Confirmed without a click: the cylinder is that of the customer shown.
    scripted->onScreen("frm顧客選択ガス", [](QDialog& d) { clickButton(&d, "Command2"); });
    frm顧客選択ガス again(testSession());
    EXPECT_EQ(ui().runModal(again), QDialog::Accepted);
    EXPECT_EQ(testSession().customer.code, "100");
    EXPECT_FLOAT_EQ(again.gasCylinderSize(), 20.0f);
}
