// The company settings: the boxes bound to HMWcfg.dat's values, the
// tax-rate rule, the administrator code, and what "ＯＫ" and "中止" leave in
// the file and in the session.
#include "session/Routines.h"
#include "ui/Screens.h"
#include "session/Session.h"
#include "masters/CompanySettings.h"
#include "masters/MasterData.h"
#include "masters/MasterScreens.h"
#include "support/Controls.h"
#include "support/Pictures.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"

#include <QDir>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The file's values, decoded.
QStringList fileValues(const TestInstallation& inst)
{
    QStringDecoder sjis("Shift_JIS");
    const QString text = sjis.decode(inst.configurationFileBytes());
    QStringList values;
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        values << line.mid(1, line.size() - 2);
    return values;
}

// Empties the box and types the text key by key, as the operator does.
void retype(QLineEdit* box, const QString& text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

} // namespace

TEST(CompanySettings, BoxesCaptionsAndValues)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    frm設定会社 screen(testSession());
    screen.show();
    EXPECT_EQ(screen.objectName(), "frm設定会社");
    EXPECT_EQ(screen.windowTitle(), "会社設定");
    EXPECT_EQ(control<QPushButton>(&screen, "Command1")->text(), "ＯＫ");
    EXPECT_EQ(control<QPushButton>(&screen, "Command2")->text(), "中止");

    // Box, caption and value in screen order; Text14 (the database
    // directory) stands before Text13 (backup directory 1).
    QStringList shown;
    QStringList order;
    for (QLabel* label : screen.findChildren<QLabel*>()) {
        QWidget* field = label->buddy();
        ASSERT_NE(field, nullptr) << label->text().toStdString();
        order << field->objectName();
        if (auto* box = qobject_cast<QLineEdit*>(field))
            shown << label->text() + "=" + box->text();
        else if (auto* choice = qobject_cast<QComboBox*>(field))
            shown << label->text() + "=" + choice->currentText();
        else
            ADD_FAILURE() << "neither a box nor a choice: " << field->objectName().toStdString();
    }
    // The reduced rate and the registration number stand after the two
    // rates they belong with.
    EXPECT_EQ(order, QStringList({"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9",
                                  "Text10", "Text11", "Combo軽減税率", "Text17", "Text12", "Text14", "Text13", "Text15",
                                  "Text16"}));
    const QString dir = inst.dir() + "/";
    // The installation's file names no reduced rate: the lower rate, 1.
    EXPECT_EQ(shown, QStringList({"会社名=テスト商店", "住所=東京都架空区試験町１－２－３", "電話番号=03-0000-0000",
                                  "会社付属１=米・灯油・プロパンガス", "会社付属２=", "会社付属３=",
                                  "納品書コメント=毎度ありがとうございます", "銀行口座１=試験銀行　本店　普通　1234567",
                                  "銀行口座２=", "消費税率１=0.05", "消費税率２=0.08", "軽減税率=消費税率１", "登録番号=",
                                  "データベース名=himawari.db", "データベース　パス=" + dir,
                                  "バックアップ　デレクトリーパス=" + dir + "backup1/",
                                  "バックアップ　２=" + dir + "backup2/", "管理者用コード= 1234"}));
    auto* choice = control<QComboBox>(&screen, "Combo軽減税率");
    ASSERT_EQ(choice->count(), 2);
    EXPECT_EQ(choice->itemText(0), "消費税率１");
    EXPECT_EQ(choice->itemText(1), "消費税率２");

    // Tab, and so Enter, follows the screen from top to bottom, then ＯＫ.
    QStringList tabs;
    QWidget* w = screen.boxes[1];
    for (int i = 0; i < 20; ++i) {
        tabs << w->objectName();
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || !w->isEnabled() || w->objectName().isEmpty())
            w = w->nextInFocusChain();
    }
    EXPECT_EQ(tabs, QStringList({"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9",
                                 "Text10", "Text11", "Combo軽減税率", "Text17", "Text12", "Text14", "Text13", "Text15",
                                 "Text16", "Command1", "Command2"}));
    expectLabelsFitTexts(screen);
    expectButtonsFitCaptions(screen);
}

TEST(CompanySettings, ShownWithANumberAndTheSecondRateReduced)
{
    TestInstallation inst;
    readDemoInstallation(); // the documentation's picture shows the demo shop
    testSession().config.registrationNumber = "T9234567890123";
    testSession().config.reducedRate = 2;
    ScriptedUiScope scripted;
    frm設定会社 screen(testSession());
    EXPECT_EQ(screen.registrationBox->text(), "T9234567890123");
    EXPECT_EQ(screen.reducedRateChoice->currentText(), "消費税率２");
    screen.show();
    screen.adjustSize();
    QApplication::processEvents();
    saveScreenshot(screen, "company-settings.png");
    expectLabelsFitTexts(screen);
    // No box or caption runs into another.
    const QList<QWidget*> parts = screen.findChildren<QWidget*>();
    for (QWidget* a : parts) {
        for (QWidget* b : parts) {
            if (a != b && a->parentWidget() == &screen && b->parentWidget() == &screen && a->isVisible()
                && b->isVisible()) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " " << b->objectName().toStdString();
            }
        }
    }
}

TEST(CompanySettings, TaxRatesAboveOneOrNegativeBecomeZero)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    frm設定会社 screen(testSession());
    QLineEdit* rate1 = screen.boxes[10];
    QLineEdit* rate2 = screen.boxes[11];

    retype(rate1, "0.08");
    EXPECT_EQ(rate1->text(), "0.08");
    EXPECT_EQ(testSession().config.taxRate1(), "0.08");

    retype(rate1, "8");
    EXPECT_EQ(rate1->text(), "0");
    EXPECT_EQ(testSession().config.taxRate1(), "0");

    retype(rate2, "-0.1");
    EXPECT_EQ(rate2->text(), "0");
    EXPECT_EQ(testSession().config.taxRate2(), "0");

    retype(rate2, "1");
    EXPECT_EQ(rate2->text(), "1");
    EXPECT_EQ(testSession().config.taxRate2(), "1");

    // Full-width digits typed through an input method count alike.
    rate2->setText("１．５");
    EXPECT_EQ(rate2->text(), "0");

    // Emptied, the box holds an empty text, not "0".
    rate1->setText("0.05");
    rate1->clear();
    EXPECT_EQ(rate1->text(), "");
    EXPECT_EQ(testSession().config.taxRate1(), "");
    EXPECT_TRUE(testSession().config.taxRate1().isEmpty());

    // Letters are no rate: refused with the box named, the value kept.
    rate2->setText("0.1");
    QTest::keyClicks(rate2, "x");
    EXPECT_EQ(rate2->text(), "0.1");
    EXPECT_EQ(testSession().config.taxRate2(), "0.1");
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].text, "「消費税率２」には数値を入力して下さい。");
    EXPECT_EQ(scripted->messages[0].title, "会社設定");
}

TEST(CompanySettings, AdministratorCodeIsRoundedHalfToEven)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    frm設定会社 screen(testSession());
    QLineEdit* code = screen.boxes[16];

    code->setText("4321");
    EXPECT_EQ(testSession().config.adminCode, 4321);
    EXPECT_EQ(testSession().config.adminCodeText(), "4321");
    code->setText("12.5");
    EXPECT_EQ(testSession().config.adminCode, 12);
    code->setText("13.5");
    EXPECT_EQ(testSession().config.adminCode, 14);
    code->setText("");
    EXPECT_EQ(testSession().config.adminCode, 0);

    code->setText("77");
    code->setText("3000000000");
    EXPECT_EQ(code->text(), "77");
    EXPECT_EQ(testSession().config.adminCode, 77);
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].text, "「管理者用コード」の値が大きすぎます。");
}

TEST(CompanySettings, AValueWithADoubleQuoteIsRefused)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    frm設定会社 screen(testSession());
    QLineEdit* name = screen.boxes[1];
    name->setText("ひまわり商店");
    QTest::keyClicks(name, "\"");
    EXPECT_EQ(name->text(), "ひまわり商店");
    EXPECT_EQ(testSession().config.companyName(), "ひまわり商店");
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].text, "「会社名」に使えない文字（\" または改行）が含まれています。");

    // A character Shift_JIS cannot hold is refused alike.
    screen.boxes[2]->setText("住所😀");
    EXPECT_EQ(screen.boxes[2]->text(), "東京都架空区試験町１－２－３");
    ASSERT_EQ(scripted->messages.size(), 2u);
    EXPECT_TRUE(scripted->messages[1].text.startsWith("「住所」に Shift_JIS で書けない文字")) << scripted->messages[1].text.toStdString();

    // The slip that follows can still write the file.
    EXPECT_NO_THROW(writeConfiguration(testSession().config));
}

TEST(CompanySettings, OkWritesTheFileAndLeavesTheSlipCounterAsItWas)
{
    TestInstallation inst;
    testSession().config.slipCounter = 41;
    writeConfiguration(testSession().config); // the file now says 42, as after a stored slip
    ASSERT_EQ(fileValues(inst).at(16), " 42");
    ScriptedUiScope scripted;
    registerMasterScreens();
    scripted->onScreen("frm設定会社", [&](QDialog& d) {
        auto& screen = dynamic_cast<frm設定会社&>(d);
        screen.boxes[1]->setText("ひまわり商店");
        screen.boxes[10]->setText("0.1");
        screen.boxes[12]->setText("shop.db");
        screen.boxes[16]->setText("12.4");
        // The operator changes his mind once, then confirms.
        scripted->answers = {false, true};
        clickButton(&d, "Command1");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(fileValues(inst).at(0), "テスト商店");
        clickButton(&d, "Command1");
    });
    EXPECT_EQ(openScreen(testSession(), "frm設定会社", "会社設定", nullptr), QDialog::Accepted);
    EXPECT_TRUE(scripted->messages.empty()) << scripted->lastMessage().toStdString();
    ASSERT_EQ(scripted->questions.size(), 2u);
    EXPECT_EQ(scripted->questions[0].text, "会社データを書換します。よろしいですか？");
    EXPECT_EQ(scripted->questions[0].title, "会社設定の変更");

    const QStringList values = fileValues(inst);
    ASSERT_EQ(values.size(), 20);
    EXPECT_EQ(values[0], "ひまわり商店");
    EXPECT_EQ(values[9], "0.1");
    EXPECT_EQ(values[11], "shop.db");
    EXPECT_EQ(values[16], " 42");
    EXPECT_EQ(values[15], " 0");
    EXPECT_EQ(values[17], " 12");
    // Read back: the database path is rebuilt and the counter is the file's.
    EXPECT_EQ(testSession().config.slipCounter, 42);
    EXPECT_EQ(testSession().config.databasePath, inst.dir() + "/shop.db");
    EXPECT_EQ(testSession().config.adminCode, 12);
    EXPECT_EQ(testSession().config.adminCodeText(), " 12");
}

TEST(CompanySettings, LetteringTheAdministratorCodeIsRefused)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    frm設定会社 screen(testSession());
    screen.boxes[16]->end(false);
    QTest::keyClicks(screen.boxes[16], "9");
    EXPECT_EQ(screen.boxes[16]->text(), " 12349");
    QTest::keyClicks(screen.boxes[16], "a");
    EXPECT_EQ(screen.boxes[16]->text(), " 12349");
    EXPECT_EQ(testSession().config.adminCode, 12349);
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].text, "「管理者用コード」には数値を入力して下さい。");
}

TEST(CompanySettings, CancelKeepsTheFileButLaterScreensSeeTheEditedValues)
{
    TestInstallation inst;
    const QByteArray before = inst.configurationFileBytes();
    ScriptedUiScope scripted;
    registerMasterScreens();
    scripted->onScreen("frm設定会社", [](QDialog& d) {
        auto& screen = dynamic_cast<frm設定会社&>(d);
        screen.boxes[1]->setText("ひまわり商店");
        screen.boxes[11]->setText("0.1");
        clickButton(&d, "Command2");
    });
    EXPECT_EQ(openScreen(testSession(), "frm設定会社", "会社設定", nullptr), QDialog::Rejected);
    EXPECT_EQ(inst.configurationFileBytes(), before);
    EXPECT_TRUE(scripted->questions.empty());
    EXPECT_EQ(testSession().config.companyName(), "ひまわり商店");
    EXPECT_EQ(testSession().config.taxRate2(), "0.1");

    // The next opening shows them, and a slip's totals use the new rate.
    frm設定会社 again(testSession());
    EXPECT_EQ(again.boxes[1]->text(), "ひまわり商店");
    testSession().lineCount = 1;
    testSession().lines[1].taxCategory = 1;
    testSession().lines[1].amount = Currency::fromUnits(1000);
    ASSERT_TRUE(computeSlipTotals(testSession()));
    EXPECT_EQ(testSession().totals.consumptionTax, Currency::fromUnits(100));
}

TEST(CompanySettings, AFileThatCannotBeWrittenIsReportedAndTheCounterKept)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    frm設定会社 screen(testSession());
    screen.show();
    // The file's place is taken by a folder: nothing can be written there.
    QFile::remove(inst.configurationPath());
    QDir(inst.dir()).mkdir("HMWcfg.dat");
    scripted->answers = {true};
    screen.confirm();
    EXPECT_TRUE(screen.isVisible());
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_TRUE(scripted->messages[0].text.startsWith("設定ファイル")) << scripted->messages[0].text.toStdString();
    EXPECT_EQ(testSession().config.slipCounter, 1);
}

TEST(CompanySettings, ARegistrationNumberThatIsNotOneIsRefusedAndNothingWritten)
{
    TestInstallation inst;
    const QByteArray before = inst.configurationFileBytes();
    ScriptedUiScope scripted;
    frm設定会社 screen(testSession());
    screen.show();
    // The operator has changed the shop's name too: it is not written either.
    screen.boxes[1]->setText("ひまわり商店");
    for (const QString& typed : {QStringLiteral("1234567890123"), QStringLiteral("T123"),
                                 QStringLiteral("T92345678901234"), QStringLiteral("Tabcdefghijklm")}) {
        SCOPED_TRACE(typed.toStdString());
        scripted->messages.clear();
        screen.registrationBox->setText(typed);
        screen.boxes[1]->setFocus();
        clickButton(&screen, "Command1");
        ASSERT_EQ(scripted->messages.size(), 1u);
        EXPECT_EQ(scripted->messages[0].text, "登録番号は「T」と13桁の数字で入力してください。");
        EXPECT_EQ(scripted->messages[0].title, "会社設定");
        EXPECT_TRUE(scripted->questions.empty());
        EXPECT_TRUE(screen.isVisible());
        EXPECT_EQ(screen.focusWidget(), screen.registrationBox);
        EXPECT_EQ(screen.registrationBox->text(), typed);
        EXPECT_EQ(inst.configurationFileBytes(), before);
        EXPECT_EQ(testSession().config.registrationNumber, "");
    }
}

TEST(CompanySettings, ADoubtfulCheckDigitIsAskedAboutBeforeTheWrite)
{
    TestInstallation inst;
    const QByteArray before = inst.configurationFileBytes();
    const QStringList valuesBefore = fileValues(inst);
    ScriptedUiScope scripted;
    frm設定会社 screen(testSession());
    screen.show();
    // Typed full-width; 1 is not the check digit of 234567890123 (9 is).
    screen.registrationBox->setText("T１２３４５６７８９０１２３");

    // "No": back to the box, nothing asked further, nothing written.
    scripted->answers = {false};
    clickButton(&screen, "Command1");
    ASSERT_EQ(scripted->questions.size(), 1u);
    EXPECT_EQ(scripted->questions[0].text, "登録番号の先頭の数字（チェックデジット）が残りの12桁と合いません。\n"
                                           "番号をもう一度お確かめください。このまま登録しますか？");
    EXPECT_EQ(scripted->questions[0].title, "会社設定");
    // Enter on the question keeps the operator from storing a mistyped number.
    EXPECT_EQ(scripted->questions[0].preset, UiService::Preset::Cancel);
    EXPECT_TRUE(screen.isVisible());
    EXPECT_EQ(screen.focusWidget(), screen.registrationBox);
    EXPECT_EQ(inst.configurationFileBytes(), before);
    EXPECT_EQ(testSession().config.registrationNumber, "");

    // "Yes", then the usual confirmation: stored as typed, in half-width.
    scripted->answers = {true, true};
    clickButton(&screen, "Command1");
    ASSERT_EQ(scripted->questions.size(), 3u);
    EXPECT_EQ(scripted->questions[1].title, "会社設定");
    EXPECT_EQ(scripted->questions[2].text, "会社データを書換します。よろしいですか？");
    EXPECT_FALSE(screen.isVisible());
    EXPECT_TRUE(scripted->messages.empty()) << scripted->lastMessage().toStdString();
    const QStringList values = fileValues(inst);
    ASSERT_EQ(values.size(), 20);
    EXPECT_EQ(values[18], "T1234567890123");
    EXPECT_EQ(testSession().config.registrationNumber, "T1234567890123");
    // The rest of the file as it was: the counter is not moved.
    EXPECT_EQ(values.mid(0, 18), valuesBefore.mid(0, 18));
    EXPECT_EQ(values[16], " 1");
}

TEST(CompanySettings, AValidNumberIsStoredWithoutAQuestionAndTheReducedRateAsValue20)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    {
        frm設定会社 screen(testSession());
        screen.show();
        // Full-width with a small t and blanks around, as an input method
        // leaves it; 9 is the check digit of 234567890123.
        screen.registrationBox->setText("　ｔ９２３４５６７８９０１２３ ");
        screen.reducedRateChoice->setCurrentIndex(1);
        // The choice is in force at once, like every other value.
        EXPECT_EQ(testSession().config.reducedRate, 2);
        scripted->answers = {true};
        clickButton(&screen, "Command1");
        ASSERT_EQ(scripted->questions.size(), 1u);
        EXPECT_EQ(scripted->questions[0].text, "会社データを書換します。よろしいですか？");
        EXPECT_FALSE(screen.isVisible());
    }
    QStringList values = fileValues(inst);
    ASSERT_EQ(values.size(), 20);
    EXPECT_EQ(values[18], "T9234567890123");
    EXPECT_EQ(values[19], "2");
    EXPECT_EQ(testSession().config.reducedRate, 2);
    EXPECT_TRUE(inst.configurationFileBytes().endsWith("\"T9234567890123\"\r\n\"2\"\r\n"));

    // Opened again: both shown as stored; back to rate 1, the number emptied.
    frm設定会社 again(testSession());
    again.show();
    EXPECT_EQ(again.registrationBox->text(), "T9234567890123");
    EXPECT_EQ(again.reducedRateChoice->currentText(), "消費税率２");
    again.reducedRateChoice->setCurrentIndex(0);
    again.registrationBox->clear();
    scripted->answers = {true};
    clickButton(&again, "Command1");
    EXPECT_EQ(scripted->questions.size(), 2u);
    values = fileValues(inst);
    ASSERT_EQ(values.size(), 20);
    EXPECT_EQ(values[18], "");
    EXPECT_EQ(values[19], "1");
    EXPECT_EQ(values[16], " 1");
    EXPECT_EQ(testSession().config.registrationNumber, "");
    EXPECT_EQ(testSession().config.reducedRate, 1);
}

TEST(CompanySettings, ANumberTypedThenCancelledIsNotInForce)
{
    TestInstallation inst;
    testSession().config.registrationNumber = "T9234567890123";
    ScriptedUiScope scripted;
    frm設定会社 screen(testSession());
    screen.show();
    screen.registrationBox->setText("T12");
    // Declining the confirmation leaves the number as it was, too.
    scripted->answers = {false};
    screen.registrationBox->setText("T8000000000001");
    clickButton(&screen, "Command1");
    EXPECT_TRUE(screen.isVisible());
    EXPECT_EQ(testSession().config.registrationNumber, "T9234567890123");
    screen.registrationBox->setText("T12");
    clickButton(&screen, "Command2");
    EXPECT_EQ(testSession().config.registrationNumber, "T9234567890123");
}
