// The gas input screen driven by objectName: the gas picker first, the
// customer and the history, the boxes of each kind, "ＯＫ" and what it stores.
#include "session/Routines.h"
#include "ui/Screens.h"
#include "customers/CustomerPicker.h"
#include "customers/CustomerScreens.h"
#include "gas/GasInputScreen.h"
#include "gas/GasScreens.h"
#include "support/Controls.h"
#include "support/Grids.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "support/Typing.h"
#include "ui/DateBoxes.h"
#include "GasData.h"
#include "support/ListViews.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace gastest;

namespace {

// Which of the five boxes and the payment list are visible, in the order
// meter, usage, delivered, remaining, amount, payment ("1" shown, "0" not).
QString shownBoxes(const frmガス入力& d)
{
    QString shown;
    for (QWidget* w : std::initializer_list<QWidget*>{d.meterBox, d.usageBox, d.deliveredBox, d.remainingBox, d.amountBox,
                                                      d.meansOfPaymentList})
        shown += w->isVisible() ? u'1' : u'0';
    return shown;
}

class GasInputScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addGasCustomers(db);
        registerCustomerScreens();
        registerGasScreens();
    }

    // The gas picker: the name, "ＯＫ" (or the close box).
    void pickCustomer(const QString& kana, bool confirm = true)
    {
        ui->onScreen(QStringLiteral("frm顧客選択ガス"), [kana, confirm](QDialog& dialog) {
            auto& d = static_cast<frm顧客選択&>(dialog);
            clickListRow(d.customerList, kana);
            if (confirm)
                clickButton(&d, QStringLiteral("Command2"));
            else
                d.close();
        });
    }

    int openGasInputScreen(const std::function<void(frmガス入力&)>& onScreen)
    {
        ui->onScreen(QStringLiteral("frmガス入力"), [onScreen](QDialog& d) { onScreen(static_cast<frmガス入力&>(d)); });
        return openScreen(testSession(), QStringLiteral("frmガス入力"), QStringLiteral("ガス入力"), nullptr);
    }

    TestInstallation inst;
    ScriptedUiScope ui;
    Database db = inst.database();
};

} // namespace

TEST_F(GasInputScreenTest, OpensAfterTheGasPickerOnTheCustomerAndItsHistoryWithNoBoxYet)
{
    addGasRow(db, day(2024, 3, 20), 8, "501", "1100");
    addGasRow(db, day(2024, 3, 1), 1, "501", "1000", "0", 0, 0, "3240", 110);
    addGasRow(db, day(2024, 3, 10), 6, "501", "1050.5", "0", 20, 0);
    addGasRow(db, day(2024, 3, 10), 1, "501", "1050", "50", 0, 0, "1620", 10);
    addGasRow(db, day(2024, 3, 2), 1, "502", "7");
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"));
    openGasInputScreen([&](frmガス入力& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("ガス入力"));
        EXPECT_EQ(d.customerFrame->title(), QStringLiteral("顧客相手先"));
        const QStringList values{"501",        "北村　一郎", "ｷﾀﾑﾗ ｲﾁﾛｳ", "長野県試験村３－４", "北村荘",
                                 "0263-11-2222", "390-0001",  "5000",      "1000",               "2000"};
        for (int i = 0; i < values.size(); ++i)
            EXPECT_EQ(control<QLabel>(&d, QStringLiteral("Label%1").arg(i + 1))->text(), values[i]) << i + 1;
        EXPECT_EQ(control<QLabel>(&d, QStringLiteral("Label11"))->text(), QStringLiteral("顧客コード"));
        EXPECT_EQ(control<QLabel>(&d, QStringLiteral("Label36"))->text(), QStringLiteral("締後売上額"));
        EXPECT_EQ(control<QLabel>(&d, QStringLiteral("Label36"))->buddy(), control<QLabel>(&d, QStringLiteral("Label10")));

        EXPECT_EQ(d.dateBoxes->date(), Date::today());
        EXPECT_EQ(d.entry().entryDate, Date::today());
        EXPECT_EQ(d.entry().customerCode, QStringLiteral("501"));
        EXPECT_EQ(d.entry().kind, 0);

        EXPECT_EQ(listTexts(d.kindList),
                  QStringList({"検針請求", "ボンベ交換", "ボンベ配送", "検針", "開栓検針", "ボンベ販売"}));
        EXPECT_EQ(listTexts(d.meansOfPaymentList), QStringList({"現金", "普通預金", "当座預金", "郵便貯金", "売掛金"}));
        EXPECT_EQ(shownBoxes(d), QStringLiteral("000000"));
        EXPECT_FALSE(d.storeButton->isVisible());
        EXPECT_TRUE(d.cancelButton->isVisible());

        // The customer's rows only, oldest first; on one day by kind name
        // (ボンベ配送 before 検針請求), as people read yen and dates.
        ASSERT_EQ(d.historyGrid->model()->rowCount(), 4);
        EXPECT_EQ(gridRow(d.historyGrid, 0), QStringList({"2024/03/01", "検針請求", "1000", "0", "0", "0", "3240"}));
        EXPECT_EQ(gridRow(d.historyGrid, 1), QStringList({"2024/03/10", "ボンベ配送", "1050.5", "0", "20", "0", "0"}));
        EXPECT_EQ(gridRow(d.historyGrid, 2), QStringList({"2024/03/10", "検針請求", "1050", "50", "0", "0", "1620"}));
        EXPECT_EQ(gridRow(d.historyGrid, 3), QStringList({"2024/03/20", "開栓検針", "1100", "0", "0", "0", "0"}));

        // A date typed with carry: month 13 is January of the next year.
        d.dateBoxes->setParts(2024, 13, 5);
        EXPECT_EQ(d.entry().entryDate, day(2025, 1, 5));
        EXPECT_EQ(d.yearBox->value(), 2025);
        clickButton(&d, QStringLiteral("Command2"));
    });
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択ガス", "frmガス入力"}));
    EXPECT_EQ(rowCount(db, QStringLiteral("ガスデータ")), 5);
}

TEST_F(GasInputScreenTest, EachKindShowsExactlyItsBoxesAndAnUnknownKindNone)
{
    db.exec(QStringLiteral("INSERT INTO ガスデータ種別コードＴＢＬ VALUES (2, '点検')"));
    addGasRow(db, day(2024, 3, 1), 8, "501", "1000");
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"));
    openGasInputScreen([&](frmガス入力& d) {
        const std::pair<const char*, const char*> kinds[] = {
            {"検針請求", "110011"}, {"ボンベ交換", "101100"}, {"ボンベ配送", "101000"}, {"検針", "110000"},
            {"開栓検針", "100000"}, {"ボンベ販売", "001111"}, {"点検", "000000"},
        };
        for (const auto& [name, shown] : kinds) {
            clickListRow(d.kindList, QString::fromUtf8(name));
            EXPECT_EQ(shownBoxes(d), QString::fromUtf8(shown)) << name;
            // Every caption goes with its box.
            for (QLineEdit* box : {d.meterBox, d.usageBox, d.deliveredBox, d.remainingBox, d.amountBox}) {
                QLabel* caption = nullptr;
                for (QLabel* l : d.findChildren<QLabel*>())
                    if (l->buddy() == box)
                        caption = l;
                ASSERT_NE(caption, nullptr) << box->objectName().toStdString();
                EXPECT_EQ(caption->isVisible(), box->isVisible()) << caption->text().toStdString();
            }
        }
        EXPECT_EQ(d.entry().kind, 2);
        // An unknown kind never completes, whatever is in the boxes.
        EXPECT_FALSE(d.storeButton->isVisible());
    });
}

TEST_F(GasInputScreenTest, SwitchingTheKindClearsEveryBoxAndThePaymentChoice)
{
    addGasRow(db, day(2024, 3, 1), 1, "501", "1234.5");
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"));
    openGasInputScreen([&](frmガス入力& d) {
        clickListRow(d.kindList, QStringLiteral("検針請求"));
        typeOver(d.meterBox, QStringLiteral("1250"));
        typeOver(d.amountBox, QStringLiteral("3240"));
        clickListRow(d.meansOfPaymentList, QStringLiteral("売掛金"));
        EXPECT_EQ(d.entry().paymentAccount, 110);
        EXPECT_TRUE(d.storeButton->isVisible());

        clickListRow(d.kindList, QStringLiteral("ボンベ販売"));
        for (QLineEdit* box : {d.meterBox, d.usageBox, d.deliveredBox, d.remainingBox, d.amountBox})
            EXPECT_TRUE(box->text().isEmpty()) << box->objectName().toStdString();
        const GasEntry& e = d.entry();
        EXPECT_EQ(e.kind, 9);
        EXPECT_TRUE(e.meterValue.isZero());
        EXPECT_TRUE(e.usage.isZero());
        EXPECT_TRUE(e.amount.isZero());
        EXPECT_EQ(e.paymentAccount, 0);
        EXPECT_TRUE(d.meansOfPaymentList->selectionModel()->selectedIndexes().isEmpty());
        EXPECT_FALSE(d.storeButton->isVisible());

        // The means must be picked again.
        typeOver(d.amountBox, QStringLiteral("9800"));
        typeOver(d.deliveredBox, QStringLiteral("20"));
        typeOver(d.remainingBox, QStringLiteral("0"));
        EXPECT_FALSE(d.storeButton->isVisible());
        clickListRow(d.meansOfPaymentList, QStringLiteral("売掛金"));
        EXPECT_TRUE(d.storeButton->isVisible());

        // Kinds 5 and 6 start the delivered quantity at "0", which is not
        // yet a delivery.
        clickListRow(d.kindList, QStringLiteral("ボンベ交換"));
        EXPECT_EQ(d.deliveredBox->text(), QStringLiteral("0"));
        EXPECT_TRUE(d.remainingBox->text().isEmpty());
        typeOver(d.meterBox, QStringLiteral("1260"));
        typeOver(d.remainingBox, QStringLiteral("3.5"));
        EXPECT_FALSE(d.storeButton->isVisible());
        typeOver(d.deliveredBox, QStringLiteral("20"));
        EXPECT_TRUE(d.storeButton->isVisible());
        typeOver(d.remainingBox, QStringLiteral("0"));
        EXPECT_FALSE(d.storeButton->isVisible()) << "kind 5 needs remaining gas";
    });
}

TEST_F(GasInputScreenTest, UsageIsMeasuredFromTheLastReadingAndMustNotBeNegative)
{
    addGasRow(db, day(2024, 3, 1), 1, "501", "1234.5");
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"));
    openGasInputScreen([&](frmガス入力& d) {
        clickListRow(d.kindList, QStringLiteral("検針請求"));
        EXPECT_TRUE(d.usageBox->isReadOnly());
        typeOver(d.meterBox, QStringLiteral("1250"));
        EXPECT_EQ(d.usageBox->text(), QStringLiteral("15.5"));
        EXPECT_EQ(d.entry().usage, yen("15.5"));
        typeOver(d.amountBox, QStringLiteral("3240"));
        clickListRow(d.meansOfPaymentList, QStringLiteral("現金"));
        EXPECT_TRUE(d.storeButton->isVisible());

        typeOver(d.meterBox, QStringLiteral("1200"));
        EXPECT_EQ(d.usageBox->text(), QStringLiteral("-34.5"));
        EXPECT_FALSE(d.storeButton->isVisible());

        // Full-width digits as an input method types them.
        typeOver(d.meterBox, QStringLiteral("１２５０"));
        EXPECT_EQ(d.usageBox->text(), QStringLiteral("15.5"));
        EXPECT_TRUE(d.storeButton->isVisible());

        // Part yen, no amount, or a meter beyond any reading keep "ＯＫ" hidden.
        typeOver(d.amountBox, QStringLiteral("3240.5"));
        EXPECT_FALSE(d.storeButton->isVisible());
        typeOver(d.amountBox, QStringLiteral("0"));
        EXPECT_FALSE(d.storeButton->isVisible());
        typeOver(d.amountBox, QStringLiteral("3,240"));
        EXPECT_TRUE(d.storeButton->isVisible());
        d.meterBox->setText(QStringLiteral("1e20"));
        EXPECT_FALSE(d.storeButton->isVisible());
        EXPECT_TRUE(d.usageBox->text().isEmpty());
        d.meterBox->setText(QStringLiteral("1250"));
        d.deliveredBox->setText(QStringLiteral("1e39")); // hidden box: not part of kind 1
        EXPECT_TRUE(d.storeButton->isVisible());
    });
}

TEST_F(GasInputScreenTest, ASameDayMeterExchangeUnderRenamedKindsIsListedAndMeasuredAsStored)
{
    setSlipNumbering(inst, 0, 41);
    renameKind(db, 1, "検針");
    renameKind(db, 8, "メーター交換");
    addGasRow(db, day(2024, 3, 1), 1, "501", "5230");
    addGasRow(db, day(2024, 3, 1), 8, "501", "0");
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"));
    openGasInputScreen([&](frmガス入力& d) {
        // The day's events as they happened, not as their names sort.
        ASSERT_EQ(d.historyGrid->model()->rowCount(), 2);
        EXPECT_EQ(gridRow(d.historyGrid, 0).mid(0, 3), QStringList({"2024/03/01", "検針", "5230"}));
        EXPECT_EQ(gridRow(d.historyGrid, 1).mid(0, 3), QStringList({"2024/03/01", "メーター交換", "0"}));
        clickListRow(d.kindList, QStringLiteral("検針"));
        typeOver(d.meterBox, QStringLiteral("13"));
        EXPECT_EQ(d.usageBox->text(), QStringLiteral("13"));
        typeOver(d.amountBox, QStringLiteral("3240"));
        clickListRow(d.meansOfPaymentList, QStringLiteral("現金"));
        EXPECT_TRUE(d.storeButton->isVisible());
        clickButton(&d, QStringLiteral("Command1"));
    });
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(gasRows(db).last().section(u'|', 1, 4), QStringLiteral("1|501|13|13"));
}

TEST_F(GasInputScreenTest, Kind8StoresOnlyTheMeterAndTakesNoSlipNumber)
{
    setSlipNumbering(inst, 0, 41);
    pickCustomer(QStringLiteral("ﾐﾅﾐ ﾊﾅｺ"));
    const int result = openGasInputScreen([&](frmガス入力& d) {
        d.dateBoxes->setParts(2024, 4, 5);
        clickListRow(d.kindList, QStringLiteral("開栓検針"));
        typeOver(d.meterBox, QStringLiteral("12.5"));
        ASSERT_TRUE(d.storeButton->isVisible());
        clickButton(&d, QStringLiteral("Command1"));
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(gasRows(db), QStringList{QStringLiteral("2024/04/05|8|502|12.5|0|0|0|0|0")});
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 0);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 41"));
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(GasInputScreenTest, Kind9StoresTheSaleWithMeterAndUsageZero)
{
    setSlipNumbering(inst, 0, 41);
    addGasRow(db, day(2024, 3, 1), 1, "501", "1234.5");
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"));
    const int result = openGasInputScreen([&](frmガス入力& d) {
        d.dateBoxes->setParts(2024, 4, 5);
        // A meter typed under kind 1 is gone once the kind changes.
        clickListRow(d.kindList, QStringLiteral("検針請求"));
        typeOver(d.meterBox, QStringLiteral("1300"));
        clickListRow(d.kindList, QStringLiteral("ボンベ販売"));
        typeOver(d.amountBox, QStringLiteral("9800"));
        typeOver(d.deliveredBox, QStringLiteral("20"));
        typeOver(d.remainingBox, QStringLiteral("0"));
        clickListRow(d.meansOfPaymentList, QStringLiteral("売掛金"));
        clickButton(&d, QStringLiteral("Command1"));
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(gasRows(db).last(), QStringLiteral("2024/04/05|9|501|0|0|20|0|9800|110"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 売上伝票番号 || '|' || 売上種別コード FROM 売上商品マスター仮")).toString(),
              QStringLiteral("41|1"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 経理伝票番号 || '|' || 経理借方コード || '|' || 経理貸方コード FROM 経理マスター仮"))
                  .toString(),
              QStringLiteral("41|110|3075"));
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 42"));
}

TEST_F(GasInputScreenTest, ACustomerWithoutReadingsIsToldToStartWithKind8)
{
    pickCustomer(QStringLiteral("ﾐﾅﾐ ﾊﾅｺ"));
    openGasInputScreen([&](frmガス入力& d) {
        clickListRow(d.kindList, QStringLiteral("検針"));
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(ui->messages[0].text,
                  QStringLiteral("この顧客にはまだメーター値の記録がないため、使用量を計算できません。\n"
                                 "最初のメーター値は「開栓検針」（種別 8）で入力してください。"));
        EXPECT_EQ(ui->messages[0].title, QStringLiteral("ガス入力"));
        typeOver(d.meterBox, QStringLiteral("100"));
        EXPECT_TRUE(d.usageBox->text().isEmpty());
        EXPECT_FALSE(d.storeButton->isVisible());

        clickListRow(d.kindList, QStringLiteral("開栓検針"));
        EXPECT_EQ(ui->messages.size(), 1u);
        typeOver(d.meterBox, QStringLiteral("100"));
        EXPECT_TRUE(d.storeButton->isVisible());
    });
}

TEST_F(GasInputScreenTest, NoScreenWithoutAGasCustomer)
{
    // The picker closed without a choice.
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"), false);
    EXPECT_EQ(openGasInputScreen([](frmガス入力&) { ADD_FAILURE() << "opened"; }), -1);
    EXPECT_EQ(ui->openedScreens, QStringList{QStringLiteral("frm顧客選択ガス")});
    EXPECT_TRUE(ui->messages.empty());

    // A customer who takes no gas, however the picker came to return it.
    ui->onScreen(QStringLiteral("frm顧客選択ガス"), [](QDialog& d) {
        testSession().customer.code = QStringLiteral("600");
        d.accept();
    });
    EXPECT_EQ(openGasInputScreen([](frmガス入力&) { ADD_FAILURE() << "opened"; }), -1);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(ui->messages[0].text.startsWith(QStringLiteral("顧客コード 600 はガスの顧客ではありません。")));
    EXPECT_EQ(rowCount(db, QStringLiteral("ガスデータ")), 0);
}

TEST_F(GasInputScreenTest, ARefusedSlipNumberIsReportedAndTheScreenStaysOpen)
{
    setSlipNumbering(inst, 30, 41);
    addGasRow(db, day(2024, 3, 1), 1, "501", "1234.5");
    const QByteArray fileBefore = inst.configurationFileBytes();
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"));
    const int result = openGasInputScreen([&](frmガス入力& d) {
        clickListRow(d.kindList, QStringLiteral("検針請求"));
        typeOver(d.meterBox, QStringLiteral("1250"));
        typeOver(d.amountBox, QStringLiteral("3240"));
        clickListRow(d.meansOfPaymentList, QStringLiteral("売掛金"));
        clickButton(&d, QStringLiteral("Command1"));
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(ui->messages[0].text, QStringLiteral("伝票番号が上限を超えました。伝票を登録できません。"));
        EXPECT_TRUE(d.isVisible());
        clickButton(&d, QStringLiteral("Command2"));
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(rowCount(db, QStringLiteral("ガスデータ")), 1);
    EXPECT_EQ(rowCount(db, QStringLiteral("売上商品マスター仮")), 0);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 0);
    EXPECT_EQ(inst.configurationFileBytes(), fileBefore);
}

TEST_F(GasInputScreenTest, ScreenshotsOfKind1AndKind9)
{
    addGasRow(db, day(2024, 3, 1), 8, "501", "1200");
    addGasRow(db, day(2024, 3, 31), 1, "501", "1234.5", "34.5", 0, 0, "2980", 110);
    addGasRow(db, day(2024, 4, 2), 9, "501", "0", "0", 20, 3.5, "9800", 10);
    const QString folder = pictureFolder(inst.dir());
    auto render = [&](frmガス入力& d, const QString& name) {
        savePicture(d, folder, name);
        expectButtonsFitCaptions(d);
        expectLabelsFitTexts(d, CaptionCheck::ShownOnly);
    };
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"));
    openGasInputScreen([&](frmガス入力& d) {
        clickListRow(d.kindList, QStringLiteral("検針請求"));
        typeOver(d.meterBox, QStringLiteral("1268"));
        typeOver(d.amountBox, QStringLiteral("3240"));
        clickListRow(d.meansOfPaymentList, QStringLiteral("売掛金"));
        render(d, QStringLiteral("gas-input-kind1.png"));
        clickListRow(d.kindList, QStringLiteral("ボンベ販売"));
        typeOver(d.amountBox, QStringLiteral("9800"));
        typeOver(d.deliveredBox, QStringLiteral("20"));
        typeOver(d.remainingBox, QStringLiteral("2.5"));
        clickListRow(d.meansOfPaymentList, QStringLiteral("現金"));
        render(d, QStringLiteral("gas-input-kind9.png"));
    });
}

TEST_F(GasInputScreenTest, EnterAloneTakesAReadingFromTheKindListToAStoredRow)
{
    setSlipNumbering(inst, 0, 41);
    addGasRow(db, day(2024, 3, 1), 1, "501", "1000");
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"));
    const int result = openGasInputScreen([&](frmガス入力& d) {
        d.activateWindow();
        QApplication::processEvents();
        d.dateBoxes->setParts(2024, 4, 5);
        d.kindList->setFocus();
        // Enter chooses the kind under the cursor, the first: 検針請求.
        QTest::keyClick(d.kindList, Qt::Key_Return);
        EXPECT_EQ(d.entry().kind, 1);
        ASSERT_EQ(d.focusWidget(), d.meterBox);
        QTest::keyClicks(d.meterBox, QStringLiteral("1250"));
        QTest::keyClick(d.meterBox, Qt::Key_Return);
        ASSERT_EQ(d.focusWidget(), d.amountBox) << "the usage is measured, not typed";
        QTest::keyClicks(d.amountBox, QStringLiteral("3240"));
        QTest::keyClick(d.amountBox, Qt::Key_Return);
        ASSERT_EQ(d.focusWidget(), d.meansOfPaymentList);
        QTest::keyClick(d.meansOfPaymentList, Qt::Key_End); // 売掛金
        QTest::keyClick(d.meansOfPaymentList, Qt::Key_Return);
        EXPECT_EQ(d.entry().paymentAccount, 110);
        ASSERT_EQ(d.focusWidget(), d.storeButton);
        EXPECT_TRUE(d.storeButton->isDefault());
        QTest::keyClick(d.storeButton, Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(ui->messages.empty()) << ui->lastMessage().toStdString();
    EXPECT_EQ(gasRows(db).last(), QStringLiteral("2024/04/05|1|501|1250|250|0|0|3240|110"));
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 42"));
}

TEST_F(GasInputScreenTest, AnEventDatedInTheClosedYearIsRefused)
{
    setSlipNumbering(inst, 0, 41);
    addGasRow(db, day(2024, 3, 1), 1, "501", "1000");
    db.exec(QStringLiteral("INSERT INTO 年次更新ＴＢＬ (年次更新期末日, 年次更新実行日) VALUES (?, ?)"),
            {sqlValue(day(2024, 4, 30)), sqlValue(day(2024, 5, 7))});
    pickCustomer(QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"));
    openGasInputScreen([&](frmガス入力& d) {
        d.dateBoxes->setParts(2024, 4, 30);
        clickListRow(d.kindList, QStringLiteral("検針請求"));
        typeOver(d.meterBox, QStringLiteral("1250"));
        typeOver(d.amountBox, QStringLiteral("3240"));
        clickListRow(d.meansOfPaymentList, QStringLiteral("現金"));
        clickButton(&d, QStringLiteral("Command1"));
        EXPECT_TRUE(d.isVisible());
        clickButton(&d, QStringLiteral("Command2"));
    });
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("2024/04/30 までの期間は年次更新で締めてあります。\n"
                                                   "2024/04/30 の日付では記録できません。2024/05/01 以降の日付にしてください。"));
    EXPECT_EQ(gasRows(db).size(), 1);
    EXPECT_EQ(rowCount(db, QStringLiteral("経理マスター仮")), 0);
    EXPECT_EQ(inst.counterInFile(), QStringLiteral(" 41"));
}
