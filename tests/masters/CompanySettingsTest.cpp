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
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"

#include <QDir>
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
    saveScreenshot(screen, "company-settings.png");
    EXPECT_EQ(screen.objectName(), "frm設定会社");
    EXPECT_EQ(screen.windowTitle(), "会社設定");
    EXPECT_EQ(control<QPushButton>(&screen, "Command1")->text(), "ＯＫ");
    EXPECT_EQ(control<QPushButton>(&screen, "Command2")->text(), "中止");

    // Box, caption and value in screen order; Text14 (the database
    // directory) stands before Text13 (backup directory 1).
    QStringList shown;
    QStringList order;
    for (QLabel* label : screen.findChildren<QLabel*>()) {
        auto* box = qobject_cast<QLineEdit*>(label->buddy());
        ASSERT_NE(box, nullptr);
        order << box->objectName();
        shown << label->text() + "=" + box->text();
    }
    EXPECT_EQ(order, QStringList({"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9",
                                  "Text10", "Text11", "Text12", "Text14", "Text13", "Text15", "Text16"}));
    const QString dir = inst.dir() + "/";
    EXPECT_EQ(shown, QStringList({"会社名=テスト商店", "住所=東京都架空区試験町１－２－３", "電話番号=03-0000-0000",
                                  "会社付属１=米・灯油・プロパンガス", "会社付属２=", "会社付属３=",
                                  "納品書コメント=毎度ありがとうございます", "銀行口座１=試験銀行　本店　普通　1234567",
                                  "銀行口座２=", "消費税率１=0.05", "消費税率２=0.08", "データベース名=himawari.db",
                                  "データベース　パス=" + dir, "バックアップ　デレクトリーパス=" + dir + "backup1/",
                                  "バックアップ　２=" + dir + "backup2/", "管理者用コード= 1234"}));
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
    ASSERT_EQ(values.size(), 18);
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
