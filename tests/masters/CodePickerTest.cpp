// The code pickers' contract: the caller's previous code, the code a click
// stores, and what "ＯＫ", "キャンセル" and the close box return.
#include "masters/MasterData.h"

#include "ui/Screens.h"
#include "session/Session.h"
#include "masters/CodePicker.h"
#include "masters/MasterScreens.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"

#include <QListView>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void addLevels(Database& db)
{
    // Inserted out of code order: the list is in code order.
    addCodeRow(db, "灯油サービスレベルＴＢＬ", 30, "月一回");
    addCodeRow(db, "灯油サービスレベルＴＢＬ", 10, "毎週");
    addCodeRow(db, "灯油サービスレベルＴＢＬ", 20, "隔週");
}

// Clicks the list entry showing `name` with the mouse.
void clickName(CodePicker& picker, const QString& name)
{
    const int row = picker.shownNames().indexOf(name);
    ASSERT_GE(row, 0) << name.toStdString();
    const QModelIndex index = picker.nameList->model()->index(row, picker.nameList->modelColumn());
    QTest::mouseClick(picker.nameList->viewport(), Qt::LeftButton, {}, picker.nameList->visualRect(index).center());
}

} // namespace

TEST(CodePickers, TitlesTablesAndTheListInCodeOrder)
{
    TestInstallation inst;
    Database db = inst.database();
    addLevels(db);
    ScriptedUiScope scripted;
    registerMasterScreens();
    const char* const expected[][2] = {
        {"frm店コード選択", "店コード選択"},         {"frm担当者選択", "担当者選択"},
        {"frm売掛条件選択", "売掛条件選択"},         {"frm決済方法選択", "決済方法選択"},
        {"frm引落銀行選択", "引落銀行選択"},         {"frm口座種別選択", "口座種別選択"},
        {"frm米サービスレベル選択", "米サービスレベル選択"}, {"frm灯油サービスレベル選択", "灯油サービスレベル選択"},
        {"frm勘定科目選択", "勘定科目選択"},
    };
    for (const auto& e : expected) {
        const QString screen = QString::fromUtf8(e[0]);
        scripted->onScreen(screen, [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(e[1]));
            EXPECT_EQ(control<QPushButton>(&d, "Command1")->text(), "ＯＫ");
            EXPECT_EQ(control<QPushButton>(&d, "Command2")->text(), "キャンセル");
            EXPECT_NE(d.findChild<QListView*>("DBList1"), nullptr);
            // "ＯＫ" appears only once a name is clicked.
            EXPECT_FALSE(control<QPushButton>(&d, "Command1")->isVisible());
            clickButton(&d, "Command2");
        });
        EXPECT_EQ(openScreen(testSession(), screen, screen, nullptr), QDialog::Rejected) << e[0];
    }

    frm灯油サービスレベル選択 kerosene(testSession());
    kerosene.show();
    saveScreenshot(kerosene, "code-picker.png");
    EXPECT_EQ(kerosene.shownNames(), QStringList({"毎週", "隔週", "月一回"}));
    frm勘定科目選択 accounts(testSession());
    EXPECT_EQ(accounts.shownNames().mid(0, 3), QStringList({"現金", "普通預金", "当座預金"}));
    EXPECT_TRUE(scripted->messages.empty());
}

TEST(CodePickers, OkReturnsTheClickedCodeAndCancelThePreviousOne)
{
    TestInstallation inst;
    Database db = inst.database();
    addLevels(db);
    ScriptedUiScope scripted;
    registerMasterScreens();

    // "ＯＫ" after a click: the clicked name's code.
    scripted->onScreen("frm灯油サービスレベル選択", [](QDialog& d) {
        auto& picker = dynamic_cast<CodePicker&>(d);
        // The caller's current choice is marked, not chosen.
        EXPECT_EQ(picker.nameList->currentIndex().data().toString(), "毎週");
        clickName(picker, "月一回");
        EXPECT_TRUE(picker.okButton->isVisible());
        EXPECT_EQ(picker.returnedCode(), 30);
        EXPECT_EQ(picker.previousCode(), 10);
        clickButton(&d, "Command1");
    });
    EXPECT_EQ(pickCode(testSession(), "frm灯油サービスレベル選択", 10, nullptr), 30);

    // "キャンセル" after a click: the previous code, not the clicked one.
    scripted->onScreen("frm灯油サービスレベル選択", [](QDialog& d) {
        auto& picker = dynamic_cast<CodePicker&>(d);
        clickName(picker, "隔週");
        clickButton(&d, "Command2");
        EXPECT_EQ(picker.returnedCode(), 10);
    });
    EXPECT_EQ(pickCode(testSession(), "frm灯油サービスレベル選択", 10, nullptr), 10);

    // The close box after a click: what was stored last.
    scripted->onScreen("frm灯油サービスレベル選択", [](QDialog& d) {
        auto& picker = dynamic_cast<CodePicker&>(d);
        clickName(picker, "毎週");
        picker.chooseName(picker.shownNames().indexOf("隔週"));
        d.close();
    });
    EXPECT_EQ(pickCode(testSession(), "frm灯油サービスレベル選択", 30, nullptr), 20);

    // The close box with no click: the previous code, even right after a
    // picker that ended on another code.
    {
        frm灯油サービスレベル選択 other(testSession());
        other.chooseName(other.shownNames().indexOf("月一回"));
        EXPECT_EQ(other.returnedCode(), 30);
    }
    scripted->onScreen("frm灯油サービスレベル選択", [](QDialog& d) { d.close(); });
    EXPECT_EQ(pickCode(testSession(), "frm灯油サービスレベル選択", 20, nullptr), 20);

    // A double click chooses and confirms at once.
    scripted->onScreen("frm灯油サービスレベル選択", [](QDialog& d) {
        auto& picker = dynamic_cast<CodePicker&>(d);
        const int row = picker.shownNames().indexOf("隔週");
        const QModelIndex index = picker.nameList->model()->index(row, 1);
        const QPoint at = picker.nameList->visualRect(index).center();
        QTest::mousePress(picker.nameList->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(picker.nameList->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(picker.nameList->viewport(), Qt::LeftButton, {}, at);
    });
    EXPECT_EQ(pickCode(testSession(), "frm灯油サービスレベル選択", 10, nullptr), 20);
}
