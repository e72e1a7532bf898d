// The payment screen: the customer picker first, the customer's details, the
// "ＯＫ" rule, the stored row and its place in the pre-posting review.
#include "app/MainWindow.h"
#include "session/Routines.h"
#include "ui/Screens.h"
#include "customers/CustomerPicker.h"
#include "customers/CustomerScreens.h"
#include "receivables/PaymentScreen.h"
#include "receivables/ReceivableScreens.h"
#include "sales/PostingScreens.h"
#include "sales/PrePostingReview.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "support/Typing.h"
#include "ui/DateBoxes.h"
#include "ui/JapaneseFont.h"
#include "PaymentData.h"
#include "support/ListViews.h"
#include "support/Pictures.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PaymentScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addPaymentShop(db);
        registerCustomerScreens();
        registerReceivableScreens();
        registerPostingScreens();
    }

    // The customer picker: the name, 2024/05/01 as the date, "ＯＫ" (or the
    // close box).
    void pickCustomer(const QString& kana, bool confirm = true)
    {
        ui->onScreen(QStringLiteral("frm顧客選択"), [kana, confirm](QDialog& dialog) {
            auto& d = static_cast<frm顧客選択&>(dialog);
            clickListRow(d.customerList, kana);
            d.dateBoxes->setParts(2024, 5, 1);
            if (confirm)
                clickButton(&d, QStringLiteral("Command2"));
            else
                d.close();
        });
    }

    // Opens the payment screen from the main window's button.
    void startPayment(const std::function<void(frm売掛入金&)>& onScreen)
    {
        ui->onScreen(QStringLiteral("frm売掛入金"), [onScreen](QDialog& d) { onScreen(static_cast<frm売掛入金&>(d)); });
        frmTQメイン w(testSession());
        w.show();
        clickButton(&w, QStringLiteral("cmd売掛入金"));
    }

    QString counterInFile() const
    {
        return parseConfiguration(inst.configurationFileBytes(), QStringLiteral("test")).counterText();
    }

    TestInstallation inst;
    ScriptedUiScope ui;
    Database db = inst.database();
};

} // namespace

TEST_F(PaymentScreenTest, OpensOnTheBilledAmountAndOffersOkOnlyWithAmountAndMeans)
{
    pickCustomer(QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
    startPayment([&](frm売掛入金& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("売掛入金"));
        EXPECT_EQ(d.customerFrame->title(), QStringLiteral("顧客相手先"));
        EXPECT_EQ(labelText(&d, "lbl顧客コード"), QStringLiteral("12"));
        EXPECT_EQ(labelText(&d, "lbl顧客名前"), QStringLiteral("山田　太郎"));
        EXPECT_EQ(labelText(&d, "lbl顧客カナ名前"), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
        EXPECT_EQ(labelText(&d, "lbl顧客住所１"), QStringLiteral("東京都試験区１－１"));
        EXPECT_EQ(labelText(&d, "lbl顧客住所２"), QStringLiteral("試験荘２０１"));
        EXPECT_EQ(labelText(&d, "lbl顧客電話番号"), QStringLiteral("03-1111-2222"));
        EXPECT_EQ(labelText(&d, "lbl郵便番号"), QStringLiteral("100-0001"));
        EXPECT_EQ(labelText(&d, "lbl請求額"), QStringLiteral("5000"));
        EXPECT_EQ(labelText(&d, "lbl既入金額"), QStringLiteral("1200"));
        EXPECT_EQ(labelText(&d, "lbl締後売上額"), QStringLiteral("3150"));
        EXPECT_EQ(labelText(&d, "lbl入金年月日"), QStringLiteral("2024/05/01"));
        // Accounts 1 to 999 by number.
        EXPECT_EQ(listTexts(d.meansOfPaymentList), QStringList({"現金", "普通預金", "当座預金", "郵便貯金", "小切手", "売掛金"}));

        EXPECT_EQ(d.amountBox->text(), QStringLiteral("5000"));
        EXPECT_FALSE(d.okButton->isVisible());
        clickListRow(d.meansOfPaymentList, QStringLiteral("普通預金"));
        EXPECT_EQ(d.journal().debitAccount, 20);
        EXPECT_TRUE(d.okButton->isVisible());

        typeOver(d.amountBox, QString());
        EXPECT_FALSE(d.okButton->isVisible());
        for (const char* zero : {"0", "-", "0.00", "－０"}) {
            typeOver(d.amountBox, QString::fromUtf8(zero));
            EXPECT_FALSE(d.okButton->isVisible()) << zero;
        }
        // The box takes no letters; text that gets in all the same is no
        // amount.
        typeOver(d.amountBox, QStringLiteral("12ab"));
        EXPECT_EQ(d.amountBox->text(), QStringLiteral("12"));
        EXPECT_TRUE(d.okButton->isVisible());
        d.amountBox->setText(QStringLiteral("12ab"));
        EXPECT_FALSE(d.okButton->isVisible());
        EXPECT_EQ(d.journal().amount, Currency());
        typeOver(d.amountBox, QStringLiteral("2,500"));
        EXPECT_TRUE(d.okButton->isVisible());
        EXPECT_EQ(d.journal().amount, yen("2500"));

        clickButton(&d, QStringLiteral("Command2")); // キャンセル
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択", "frm売掛入金"}));
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(counterInFile(), QStringLiteral(" 1"));
}

TEST_F(PaymentScreenTest, NegativePaymentByChequeIsOneRowListedInTheReview)
{
    pickCustomer(QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
    startPayment([&](frm売掛入金& d) {
        typeOver(d.amountBox, QStringLiteral("-300"));
        EXPECT_FALSE(d.okButton->isVisible());
        clickListRow(d.meansOfPaymentList, QStringLiteral("小切手"));
        clickButton(&d, QStringLiteral("Command1"));
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    EXPECT_TRUE(ui->messages.empty()) << ui->lastMessage().toStdString();
    const QString day = QString::number(Date::fromParts(2024, 5, 1).serial());
    EXPECT_EQ(holdingLedgerRows(db), QStringList({"1|" + day + "|-3000000|100|0|110|12           "}));
    EXPECT_EQ(counterInFile(), QStringLiteral(" 2"));
    EXPECT_EQ(testSession().config.slipCounter, 2);
    // The balance waits for the daily update.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 顧客売掛入金額 FROM 顧客マスター WHERE 顧客コード = '12'")).toLongLong(),
              12000000);

    frm転記前確認 review(testSession());
    ASSERT_EQ(review.ledgerGrid->model()->rowCount(), 1);
    QStringList row;
    for (int c = 1; c < review.ledgerGrid->model()->columnCount(); ++c)
        row << review.ledgerGrid->model()->index(0, c).data().toString();
    EXPECT_EQ(row, QStringList({"1", "2024/05/01", "-300", "小切手", "売掛金", "山田　太郎"}));
    EXPECT_EQ(review.selectedSlipNumber(), 1);
}

TEST_F(PaymentScreenTest, PickerClosedWithoutChoiceEndsThePayment)
{
    pickCustomer(QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"), false);
    startPayment([](frm売掛入金&) { ADD_FAILURE() << "payment screen shown without a customer"; });
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択"}));
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
}

TEST_F(PaymentScreenTest, RefusedRowIsReportedAndTheScreenStaysOpen)
{
    db.exec(QStringLiteral("CREATE TRIGGER fail BEFORE INSERT ON 経理マスター仮 BEGIN SELECT RAISE(ABORT, '書き込み失敗'); END"));
    pickCustomer(QStringLiteral("ｱｵｷ ﾊﾅｺ"));
    startPayment([&](frm売掛入金& d) {
        EXPECT_EQ(d.amountBox->text(), QStringLiteral("0"));
        EXPECT_FALSE(d.okButton->isVisible());
        typeOver(d.amountBox, QStringLiteral("1000"));
        clickListRow(d.meansOfPaymentList, QStringLiteral("現金"));
        clickButton(&d, QStringLiteral("Command1"));
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(ui->messages[0].text, QStringLiteral("入金を記録できませんでした。何も記録していません。\n書き込み失敗"));
        clickButton(&d, QStringLiteral("Command2"));
    });
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(testSession().config.slipCounter, 1);
    EXPECT_EQ(counterInFile(), QStringLiteral(" 1"));
}

// Renders the payment screen; with HIMAWARI_SCREENSHOTS set the picture is
// kept in that folder.
TEST_F(PaymentScreenTest, RendersTheScreen)
{
    useJapaneseFont();
    SessionState& s = testSession();
    choosePictureCustomer(s, QStringLiteral("12"), yen("5000"), yen("1200"), yen("3150"));
    frm売掛入金 d(s);
    d.show();
    clickListRow(d.meansOfPaymentList, QStringLiteral("普通預金"));
    savePicture(d, pictureFolder(inst.dir()), QStringLiteral("payment.png"));
    expectButtonsFitCaptions(d);
}

TEST_F(PaymentScreenTest, EnterAloneFromTheMeansListToAStoredPayment)
{
    pickCustomer(QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
    startPayment([&](frm売掛入金& d) {
        d.activateWindow();
        QApplication::processEvents();
        // The means of payment must be chosen first, so the cursor starts there.
        ASSERT_EQ(d.focusWidget(), d.meansOfPaymentList);
        QTest::keyClick(d.meansOfPaymentList, Qt::Key_Down); // 普通預金
        QTest::keyClick(d.meansOfPaymentList, Qt::Key_Return);
        EXPECT_EQ(d.journal().debitAccount, 20);
        ASSERT_EQ(d.focusWidget(), d.amountBox);
        QTest::keyClicks(d.amountBox, QStringLiteral("4500"));
        EXPECT_EQ(d.amountBox->text(), QStringLiteral("4500")) << "the billed amount is replaced as typed";
        QTest::keyClick(d.amountBox, Qt::Key_Return);
        ASSERT_EQ(d.focusWidget(), d.okButton);
        EXPECT_TRUE(d.okButton->isDefault()) << "the button Enter presses is drawn as the default";
        QTest::keyClick(d.okButton, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    const QString day = QString::number(Date::fromParts(2024, 5, 1).serial());
    EXPECT_EQ(holdingLedgerRows(db), QStringList({"1|" + day + "|45000000|20|0|110|12           "}));
    EXPECT_EQ(counterInFile(), QStringLiteral(" 2"));
}

TEST_F(PaymentScreenTest, EnterWithoutAMeansOfPaymentNeverReachesCancel)
{
    pickCustomer(QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
    startPayment([&](frm売掛入金& d) {
        d.activateWindow();
        QApplication::processEvents();
        // No means chosen: ＯＫ is hidden and the next button is "キャンセル".
        d.amountBox->setFocus();
        QTest::keyClick(d.amountBox, Qt::Key_Return);
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(d.isVisible()) << "two Enters threw the payment away";
        clickButton(&d, QStringLiteral("Command2"));
    });
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
}

TEST_F(PaymentScreenTest, APaymentDatedInTheClosedYearIsRefused)
{
    db.exec(QStringLiteral("INSERT INTO 年次更新ＴＢＬ (年次更新期末日, 年次更新実行日) VALUES (?, ?)"),
            {sqlValue(Date::fromParts(2024, 5, 1)), sqlValue(Date::fromParts(2024, 5, 2))});
    pickCustomer(QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
    startPayment([&](frm売掛入金& d) {
        clickListRow(d.meansOfPaymentList, QStringLiteral("現金"));
        clickButton(&d, QStringLiteral("Command1"));
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(ui->messages[0].text, QStringLiteral("2024/05/01 までの期間は年次更新で締めてあります。\n"
                                                       "2024/05/01 の日付では記録できません。2024/05/02 以降の日付にしてください。"));
        clickButton(&d, QStringLiteral("Command2"));
    });
    EXPECT_TRUE(holdingLedgerRows(db).isEmpty());
    EXPECT_EQ(counterInFile(), QStringLiteral(" 1"));
    EXPECT_EQ(testSession().config.slipCounter, 1);
}
