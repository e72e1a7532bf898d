// The product pickers: what they list, what a click shows, when "ＯＫ" can
// be pressed, and the line the sales picker adds to the slip.
#include "session/Routines.h"
#include "sales/ProductPicker.h"
#include "support/Controls.h"
#include "support/ListViews.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "support/Typing.h"
#include "SalesData.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ProductPickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addShopProducts(db);
        clearSlip(testSession());
    }

    TestInstallation inst;
    ScriptedUiScope ui;
    Database db = inst.database();
};

} // namespace

TEST_F(ProductPickerTest, OpensOnDepartmentOneWithNothingChosen)
{
    testSession().product.productCode = QStringLiteral("leftover");
    testSession().product.taxCategory = 6;
    frm商品選択 d(testSession());
    d.show();
    EXPECT_EQ(d.objectName(), QStringLiteral("frm商品選択"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("商品選択"));
    EXPECT_EQ(listTexts(d.departmentList), QStringList({"米", "灯油", "雑貨"}));
    EXPECT_EQ(listTexts(d.productList), QStringList({"コシヒカリ５ｋｇ", "精米１０ｋｇ"}));
    EXPECT_FALSE(d.okButton->isVisible());
    EXPECT_EQ(d.okButton->text(), QStringLiteral("ＯＫ"));
    EXPECT_EQ(d.cancelButton->text(), QStringLiteral("キャンセル"));
    // The previous picker's values are gone: department 1, tax category 0.
    EXPECT_EQ(testSession().product.productCode, QString(13, u' '));
    EXPECT_EQ(d.chosen().departmentCode, 1);
    EXPECT_EQ(d.chosen().taxCategory, 0);
    // Every box is named by its caption.
    const std::pair<const char*, QWidget*> captions[] = {{"商品部門", d.departmentList}, {"商品", d.productList},
                                                         {"商品名カナ", d.kanaNameBox}, {"商品名", d.productNameBox},
                                                         {"単価", d.priceBox},      {"個数", d.quantityBox}};
    for (const auto& [caption, box] : captions) {
        bool found = false;
        for (QLabel* label : d.findChildren<QLabel*>())
            found |= label->text() == QString::fromUtf8(caption) && label->buddy() == box;
        EXPECT_TRUE(found) << caption;
    }
}

TEST_F(ProductPickerTest, ProductOfTheFirstListGivesDepartmentOneAndTaxCategoryZero)
{
    frm商品選択 d(testSession());
    d.show();
    clickListRow(d.productList, QStringLiteral("精米１０ｋｇ"));
    EXPECT_EQ(d.kanaNameBox->text(), QStringLiteral("ｾｲﾏｲ"));
    EXPECT_EQ(d.productNameBox->text(), QStringLiteral("精米１０ｋｇ"));
    EXPECT_EQ(d.priceBox->text(), QStringLiteral("105")); // stored as 1050000 ticks
    EXPECT_EQ(d.focusWidget(), d.quantityBox);
    EXPECT_FALSE(d.okButton->isVisible());

    typeKeyByKey(d.quantityBox, QStringLiteral("0.3"));
    ASSERT_TRUE(d.okButton->isVisible());
    clickButton(&d, QStringLiteral("Command1"));

    const SessionState& s = testSession();
    ASSERT_EQ(s.lineCount, 1);
    const SlipLine& line = s.lines[1];
    EXPECT_EQ(line.departmentCode, 1);
    EXPECT_EQ(line.taxCategory, 0);
    EXPECT_EQ(line.productCode, QStringLiteral("4901234567894"));
    EXPECT_EQ(line.kanaName, QStringLiteral("ｾｲﾏｲ    "));
    EXPECT_EQ(line.productName, text::fixed(QStringLiteral("精米１０ｋｇ"), 24));
    EXPECT_EQ(line.unitPrice, yen("105"));
    EXPECT_EQ(line.quantity, yen("0.3"));
    EXPECT_EQ(line.amount, yen("31")); // 31.5 rounded down
    // Totals recomputed: tax Int(0.05 × 31) = 1.
    EXPECT_EQ(s.totals.taxAddedRate1, yen("31"));
    EXPECT_EQ(s.totals.consumptionTax, yen("1"));
    EXPECT_EQ(s.totals.grandTotal, yen("32"));
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(s.product.productCode, QString(13, u' '));
    EXPECT_TRUE(s.product.quantity.isZero());
    EXPECT_TRUE(ui->prompts.empty());
}

TEST_F(ProductPickerTest, TypedNamePriceAndQuantityMakeTheLine)
{
    frm商品選択 d(testSession());
    d.show();
    clickListRow(d.productList, QStringLiteral("コシヒカリ５ｋｇ")); // code "12", shorter than 13
    EXPECT_EQ(d.priceBox->text(), QStringLiteral("2000"));
    typeKeyByKey(d.kanaNameBox, QStringLiteral("ｺｼﾋｶﾘﾄｸｾﾝﾏｲ"));
    typeKeyByKey(d.productNameBox, QStringLiteral("特選コシヒカリ５ｋｇ　新潟県魚沼産　令和六年産新米"));
    typeKeyByKey(d.priceBox, QStringLiteral("100"));
    typeKeyByKey(d.quantityBox, QStringLiteral("2.5"));
    clickButton(&d, QStringLiteral("Command1"));

    const SlipLine& line = testSession().lines[1];
    ASSERT_EQ(testSession().lineCount, 1);
    EXPECT_EQ(line.productCode, QStringLiteral("12           "));
    EXPECT_EQ(line.kanaName, QStringLiteral("ｺｼﾋｶﾘﾄｸｾ"));
    EXPECT_EQ(line.productName, QStringLiteral("特選コシヒカリ５ｋｇ　新潟県魚沼産　令和六年産新"));
    EXPECT_EQ(line.unitPrice, yen("100"));
    EXPECT_EQ(line.amount, yen("250"));
    // The typed price is for this line only.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 単品売価 FROM 商品マスター WHERE 単品コード = '12'")).toLongLong(), 20000000);
}

TEST_F(ProductPickerTest, DepartmentClickSetsItsTaxCategoryAndProducts)
{
    frm商品選択 d(testSession());
    d.show();
    clickListRow(d.departmentList, QStringLiteral("灯油"));
    EXPECT_EQ(listTexts(d.productList), QStringList({"灯油１８Ｌ"}));
    EXPECT_EQ(d.chosen().departmentCode, 2);
    EXPECT_EQ(d.chosen().taxCategory, 5);
    clickListRow(d.productList, QStringLiteral("灯油１８Ｌ"));
    typeKeyByKey(d.quantityBox, QStringLiteral("２")); // full-width, as an input method types it
    clickButton(&d, QStringLiteral("Command1"));
    ASSERT_EQ(testSession().lineCount, 1);
    EXPECT_EQ(testSession().lines[1].departmentCode, 2);
    EXPECT_EQ(testSession().lines[1].taxCategory, 5);
    EXPECT_EQ(testSession().lines[1].amount, yen("3000"));
    EXPECT_EQ(testSession().totals.taxIncludedRate1, yen("3000"));
    EXPECT_TRUE(testSession().totals.consumptionTax.isZero());
}

TEST_F(ProductPickerTest, OkAppearsOnlyWithAProductAndANonZeroQuantity)
{
    frm商品選択 d(testSession());
    d.show();
    typeKeyByKey(d.quantityBox, QStringLiteral("3"));
    EXPECT_FALSE(d.okButton->isVisible()) << "quantity without a product";
    clickListRow(d.productList, QStringLiteral("コシヒカリ５ｋｇ"));
    EXPECT_EQ(d.quantityBox->text(), QString()) << "the quantity box is emptied for the new product";
    EXPECT_FALSE(d.okButton->isVisible());
    typeKeyByKey(d.quantityBox, QStringLiteral("0"));
    EXPECT_FALSE(d.okButton->isVisible());
    typeKeyByKey(d.quantityBox, QStringLiteral("abc"));
    EXPECT_EQ(d.quantityBox->text(), QString()) << "letters are not taken";
    typeKeyByKey(d.quantityBox, QStringLiteral("1"));
    EXPECT_TRUE(d.okButton->isVisible());
    d.quantityBox->clear();
    EXPECT_FALSE(d.okButton->isVisible());
}

TEST_F(ProductPickerTest, PriceZeroIsAskedForAndZeroEmptyOrCancelAddNoLine)
{
    const std::optional<QString> answers[] = {QStringLiteral("0"), QString(), std::nullopt, QStringLiteral("350")};
    for (const auto& answer : answers) {
        frm商品選択 d(testSession());
        d.show();
        clickListRow(d.departmentList, QStringLiteral("雑貨"));
        clickListRow(d.productList, QStringLiteral("配達料"));
        EXPECT_EQ(d.priceBox->text(), QStringLiteral("0"));
        typeKeyByKey(d.quantityBox, QStringLiteral("1"));
        ui->inputs.push_back(answer);
        clickButton(&d, QStringLiteral("Command1"));
        EXPECT_FALSE(d.isVisible());
    }
    ASSERT_EQ(ui->prompts.size(), 4u);
    EXPECT_EQ(ui->prompts[0].text, QStringLiteral("商品単価を入力してください。"));
    EXPECT_EQ(ui->prompts[0].title, QStringLiteral("単価入力"));
    // Only the answer 350 made a line.
    ASSERT_EQ(testSession().lineCount, 1);
    EXPECT_EQ(testSession().lines[1].unitPrice, yen("350"));
    EXPECT_EQ(testSession().lines[1].taxCategory, 9);
    EXPECT_EQ(testSession().totals.notTaxable, yen("350"));
}

TEST_F(ProductPickerTest, BarcodeInTheQuantityBoxIsRefusedWithAMessage)
{
    frm商品選択 d(testSession());
    d.show();
    clickListRow(d.productList, QStringLiteral("精米１０ｋｇ"));
    typeKeyByKey(d.quantityBox, QStringLiteral("4901234567894"));
    clickButton(&d, QStringLiteral("Command1"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("個数入力"));
    EXPECT_TRUE(ui->messages[0].text.contains(QStringLiteral("4901234567894")));
    EXPECT_TRUE(ui->messages[0].text.contains(QStringLiteral("大きすぎます")));
    EXPECT_EQ(testSession().lineCount, 0);
    EXPECT_TRUE(testSession().totals.grandTotal.isZero());
    EXPECT_TRUE(d.isVisible()) << "the picker stays open for the right quantity";

    // The largest quantity the slip prints is taken.
    typeKeyByKey(d.quantityBox, QStringLiteral("999999"));
    clickButton(&d, QStringLiteral("Command1"));
    ASSERT_EQ(testSession().lineCount, 1);
    EXPECT_EQ(testSession().lines[1].amount, yen("104999895"));
}

TEST_F(ProductPickerTest, PriceBeyondAnyAmountIsRefusedWithAMessage)
{
    frm商品選択 d(testSession());
    d.show();
    clickListRow(d.productList, QStringLiteral("精米１０ｋｇ"));
    typeKeyByKey(d.priceBox, QStringLiteral("99999999999999999999"));
    typeKeyByKey(d.quantityBox, QStringLiteral("1"));
    clickButton(&d, QStringLiteral("Command1"));
    // A price that reads as 0 would ask for the price again; a product that
    // cannot be computed says so instead.
    EXPECT_TRUE(ui->prompts.empty());
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("金額オーバー"));
    // A price whose amount overflows: reported, nothing added.
    typeKeyByKey(d.priceBox, QStringLiteral("900000000000000"));
    typeKeyByKey(d.quantityBox, QStringLiteral("999"));
    clickButton(&d, QStringLiteral("Command1"));
    EXPECT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(testSession().lineCount, 0);
    EXPECT_TRUE(d.isVisible());
}

TEST_F(ProductPickerTest, ALineWhoseSlipTotalsWouldOverflowIsRefusedWithTheCalculationMessage)
{
    // Each line's amount fits, but the second one takes the slip's totals
    // beyond any amount the program keeps.
    for (int i = 0; i < 2; ++i) {
        frm商品選択 d(testSession());
        d.show();
        clickListRow(d.productList, QStringLiteral("精米１０ｋｇ"));
        typeKeyByKey(d.priceBox, QStringLiteral("500000000000000"));
        typeKeyByKey(d.quantityBox, QStringLiteral("1"));
        clickButton(&d, QStringLiteral("Command1"));
        EXPECT_FALSE(d.isVisible());
    }
    EXPECT_EQ(testSession().lineCount, 1);
    EXPECT_EQ(testSession().lines[1].amount, yen("500000000000000"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("計算エラー"));
    EXPECT_EQ(ui->messages[0].text,
              QStringLiteral("金額または数量が大きすぎて計算できません。\n入力した値を確かめてください。"));
}

TEST_F(ProductPickerTest, CancelAddsNothing)
{
    appendSlipLine(testSession(), 1, 0, QStringLiteral("12"), QStringLiteral("米"), "2000", "1");
    computeSlipTotals(testSession());
    frm商品選択 d(testSession());
    d.show();
    clickListRow(d.productList, QStringLiteral("精米１０ｋｇ"));
    typeKeyByKey(d.quantityBox, QStringLiteral("2"));
    clickButton(&d, QStringLiteral("Command2"));
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(testSession().lineCount, 1);
    EXPECT_EQ(testSession().totals.grandTotal, yen("2100"));
    EXPECT_EQ(testSession().product.productCode, QString(13, u' '));
}

TEST_F(ProductPickerTest, PlainPickerReturnsCodeAndNameOnOk)
{
    frm商品選択2 d(testSession());
    d.show();
    EXPECT_EQ(d.objectName(), QStringLiteral("frm商品選択2"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("商品選択"));
    EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("Text3")), nullptr);
    EXPECT_TRUE(d.priceBox->isReadOnly());
    EXPECT_FALSE(d.okButton->isVisible());
    clickListRow(d.departmentList, QStringLiteral("灯油"));
    clickListRow(d.productList, QStringLiteral("灯油１８Ｌ"));
    EXPECT_EQ(d.priceBox->text(), QStringLiteral("1500"));
    ASSERT_TRUE(d.okButton->isVisible());
    clickButton(&d, QStringLiteral("Command1"));
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(testSession().product.productCode, QStringLiteral("201          "));
    EXPECT_EQ(testSession().product.productName, text::fixed(QStringLiteral("灯油１８Ｌ"), 24));
    EXPECT_EQ(testSession().product.departmentCode, 2);
    EXPECT_EQ(testSession().lineCount, 0);
}

TEST_F(ProductPickerTest, PlainPickerCancelBlanksTheCodeAndTheCloseBoxKeepsIt)
{
    testSession().product.productCode = QStringLiteral("PREVIOUS     ");
    {
        frm商品選択2 d(testSession());
        d.show();
        clickListRow(d.productList, QStringLiteral("コシヒカリ５ｋｇ"));
        d.close();
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
    EXPECT_EQ(testSession().product.productCode, QStringLiteral("PREVIOUS     "));
    {
        frm商品選択2 d(testSession());
        d.show();
        clickListRow(d.productList, QStringLiteral("コシヒカリ５ｋｇ"));
        clickButton(&d, QStringLiteral("Command2"));
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
    EXPECT_EQ(testSession().product.productCode, QString(13, u' '));
}

TEST_F(ProductPickerTest, KeyboardAloneAddsALine)
{
    frm商品選択 d(testSession());
    d.show();
    d.activateWindow();
    d.productList->setFocus();
    d.productList->setCurrentRow(1);
    EXPECT_EQ(d.kanaNameBox->text(), QString()) << "moving through the rows chooses nothing";
    QTest::keyClick(d.productList, Qt::Key_Return);
    EXPECT_EQ(d.productNameBox->text(), QStringLiteral("精米１０ｋｇ"));
    ASSERT_EQ(d.focusWidget(), d.quantityBox);
    typeKeyByKey(d.quantityBox, QStringLiteral("4"));
    QTest::keyClick(d.quantityBox, Qt::Key_Return);
    ASSERT_EQ(d.focusWidget(), d.okButton) << "Enter moves on to ＯＫ";
    QTest::keyClick(d.okButton, Qt::Key_Return);
    ASSERT_EQ(testSession().lineCount, 1);
    EXPECT_EQ(testSession().lines[1].amount, yen("420"));
    EXPECT_EQ(d.result(), QDialog::Accepted);
}
