// The main window: title, buttons, the whole menu bar, the administrator
// lock, the version box, and screens that are not available yet.
#include "app/AboutDialog.h"
#include "app/AdminDialog.h"
#include "app/MainWindow.h"
#include "print/PrintSurface.h"
#include "session/Routines.h"
#include "ui/Screens.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The menu bar as text: "menu objectName 'caption' on|off" and under it
// "  item objectName 'caption'" or "  ----" for a separator.
QString menuBarText(frmTQメイン& w)
{
    QStringList lines;
    for (QAction* top : w.menuBar()->actions()) {
        lines << QStringLiteral("%1 '%2' %3").arg(top->objectName(), top->text(), top->isEnabled() ? "on" : "off");
        for (QAction* item : top->menu()->actions())
            lines << (item->isSeparator() ? QStringLiteral("  ----")
                                          : QStringLiteral("  %1 '%2'").arg(item->objectName(), item->text()));
    }
    return lines.join(u'\n');
}

QStringList enabledMenus(frmTQメイン& w)
{
    QStringList names;
    for (QAction* top : w.menuBar()->actions())
        if (top->isEnabled())
            names << top->objectName();
    return names;
}

const QStringList lockedMenus = {"売上", "ガス", "売掛管理", "経理入力", "顧客管理", "顧客処理", "印刷"};
const QStringList unlockedMenus = {"売上", "ガス", "売掛管理", "経理入力", "経理処理", "顧客管理", "顧客処理", "商品管理", "設定", "更新", "印刷"};

// Opens the administrator screen by clicking the title label and types.
void enterAdministratorCode(frmTQメイン& w, ScriptedUi& ui, const QString& typed, bool expectClosed = true)
{
    ui.onScreen("frm管理者", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("管理者"));
        control<QLineEdit>(&d, "Text1")->setText(typed);
        clickButton(&d, "Command1");
        EXPECT_EQ(d.isVisible(), !expectClosed) << typed.toStdString();
        if (d.isVisible())
            d.reject();
    });
    QTest::mouseClick(w.titleLabel, Qt::LeftButton);
}

} // namespace

TEST(MainWindow, TitleLabelAndButtons)
{
    TestInstallation inst;
    frmTQメイン w(testSession());
    EXPECT_EQ(w.objectName(), QStringLiteral("frmTQメイン"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("テスト商店　管理プログラム"));
    EXPECT_EQ(control<QLabel>(&w, "Label1")->text(), QStringLiteral("ひまわり帳"));
    EXPECT_EQ(control<QPushButton>(&w, "cmd売上")->text(), QStringLiteral("売上"));
    EXPECT_EQ(control<QPushButton>(&w, "cmdガス入力")->text(), QStringLiteral("ガス入力"));
    EXPECT_EQ(control<QPushButton>(&w, "cmd売掛入金")->text(), QStringLiteral("売掛入金"));
    EXPECT_EQ(control<QPushButton>(&w, "cmd終了")->text(), QStringLiteral("終了"));

    w.show();
    clickButton(&w, "cmd終了");
    EXPECT_FALSE(w.isVisible());
}

TEST(MainWindow, WholeMenuBarInOrderWithItsStartState)
{
    TestInstallation inst;
    frmTQメイン w(testSession());
    const QString expected = QStringLiteral(
        "売上 '売上' on\n"
        "  売上伝票 '売上伝票入力'\n  売上税率別 '税率別売上一覧'\n"
        "ガス 'ガス' on\n"
        "  ガス入力 'ガス入力'\n  ガス配送予定 '配送予定'\n  ガス集計 'ガス集計'\n"
        "FD処理 'ＦＤ処理' off\n"
        "売掛管理 '売掛管理' on\n"
        "  売掛入金 '入金'\n  ----\n  売掛請求書発行 '請求書発行'\n  売掛領収書発行 '領収書発行'\n  ----\n"
        "  売掛残高変更 '残高変更'\n  売掛残高一覧 '掛残高一覧発行'\n  ----\n"
        "  売掛FD出力 'ＦＤ(銀行引落)出力'\n  売掛FD入力 'ＦＤ（銀行引落）後処理'\n"
        "経理入力 '経理入力' on\n"
        "  経理仕入 '仕入'\n  ----\n  経理経費 '経費入力'\n  ----\n  経理経理入力 '経理入力'\n"
        "経理処理 '経理処理' off\n"
        "  経理残高資産表 '残高試算表出力'\n  経理振替伝票 '振替伝票出力'\n  経理勘定帳 '各勘定帳出力'\n"
        "顧客管理 '顧客管理' on\n"
        "  顧客新規登録 '新規登録'\n  顧客変更 '変更・削除'\n"
        "顧客処理 '顧客処理' on\n"
        "  顧客米予定 '米予定出力'\n  顧客灯油予定 '灯油予定出力'\n  顧客実績 '実績出力'\n"
        "商品管理 '商品管理' off\n"
        "  商品部門 '部門設定変更'\n  商品商品 '商品設定変更'\n  ----\n  商品販売数 '販売数集計'\n  商品税区分 '税区分設定'\n"
        "設定 '設定' off\n"
        "  設定店コード '店コード設定'\n  設定担当者 '担当者名設定'\n  設定仕入先 '仕入先設定'\n  設定経費先 '経費先設定'\n"
        "  ----\n"
        "  設定決済方法 '決済方法設定'\n  設定引落銀行 '引落銀行設定'\n  設定口座種別 '引落口座種別設定'\n"
        "  設定売掛条件 '売掛条件設定'\n  ----\n"
        "  設定米サービスレベル '米サービスレベル設定'\n  設定灯油サービスレベル '灯油サービスレベル設定'\n"
        "  設定ガスタイプ '顧客ガスタイプ設定'\n  設定ガスデータ種別 'ガスデータ種別設定'\n  ----\n"
        "  設定勘定科目 '勘定科目設定'\n  設定売上種別 '売上種別コード設定'\n  ----\n  設定会社 '会社設定'\n  ----\n"
        "  バージョン情報 'バージョン情報'\n"
        "更新 '更新・データ削除' off\n"
        "  更新日次 '日次更新'\n  更新年次 '年次更新'\n  ----\n  削除売上商品データ '削除売上商品データ'\n"
        "  削除ガスデータ '削除ガスデータ'\n  ----\n  バックアップ 'データファイル　バックアップ'\n"
        "  旧データ取り込み '旧データの取り込み'\n  サーバー移行 'データベースの移行'\n"
        "印刷 '印刷' on\n"
        "  印刷プレビュー '印刷前にプレビューする'");
    EXPECT_EQ(menuBarText(w).toStdString(), expected.toStdString());
}

// Whether print-outs are previewed: a checkable item, off at start, whose
// state is the session's; a main window built later shows it.
TEST(MainWindow, PrintPreviewIsAnItemTheOperatorChecksForTheSession)
{
    TestInstallation inst;
    struct Off {
        ~Off() { setPreviewBeforePrinting(false); }
    } offAfterwards;
    frmTQメイン w(testSession());
    QAction* item = w.findChild<QAction*>("印刷プレビュー");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(w.menu("印刷")->actions().contains(item));
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(previewBeforePrinting());

    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(previewBeforePrinting());
    {
        frmTQメイン later(testSession());
        EXPECT_TRUE(later.findChild<QAction*>("印刷プレビュー")->isChecked());
    }
    item->trigger();
    EXPECT_FALSE(previewBeforePrinting());
}

TEST(MainWindow, AdministratorLock)
{
    TestInstallation inst;
    ScriptedUiScope ui;
    frmTQメイン w(testSession());
    EXPECT_EQ(enabledMenus(w), lockedMenus);

    // Empty: the screen stays open, nothing changes.
    enterAdministratorCode(w, *ui, "", false);
    EXPECT_EQ(enabledMenus(w), lockedMenus);
    // Wrong: closes silently, still locked.
    enterAdministratorCode(w, *ui, "4321");
    EXPECT_EQ(enabledMenus(w), lockedMenus);
    EXPECT_TRUE(ui->messages.empty());
    // Letters are no code.
    enterAdministratorCode(w, *ui, "abc");
    EXPECT_EQ(enabledMenus(w), lockedMenus);
    // Right, at the next try: the four menus open and stay open; the floppy
    // menu never does.
    enterAdministratorCode(w, *ui, "1234");
    EXPECT_EQ(enabledMenus(w), unlockedMenus);
    enterAdministratorCode(w, *ui, "9999");
    EXPECT_EQ(enabledMenus(w), unlockedMenus);
    EXPECT_TRUE(w.menu("FD処理")->actions().isEmpty());
    EXPECT_EQ(ui->openedScreens.size(), 5);

    // A new window (a new run) starts locked again.
    frmTQメイン again(testSession());
    EXPECT_EQ(enabledMenus(again), lockedMenus);
    // The code typed and Enter: the one box's default button is pressed.
    ui->onScreen("frm管理者", [](QDialog& d) {
        d.activateWindow();
        auto* code = control<QLineEdit>(&d, "Text1");
        code->setFocus();
        QTest::keyClicks(code, QStringLiteral("1234"));
        QTest::keyClick(code, Qt::Key_Return);
        EXPECT_FALSE(d.isVisible());
    });
    QTest::mouseClick(again.titleLabel, Qt::LeftButton);
    EXPECT_EQ(enabledMenus(again), unlockedMenus);
}

TEST(MainWindow, AdministratorCodeZero)
{
    TestInstallation inst;
    ScriptedUiScope ui;
    testSession().config.adminCode = 0;
    frmTQメイン w(testSession());
    enterAdministratorCode(w, *ui, "x");
    EXPECT_EQ(enabledMenus(w), lockedMenus);
    enterAdministratorCode(w, *ui, "0");
    EXPECT_EQ(enabledMenus(w), unlockedMenus);

    EXPECT_TRUE(administratorCodeMatches(QStringLiteral(" １２３４ "), 1234));
    EXPECT_FALSE(administratorCodeMatches(QStringLiteral("12ab"), 12));
}

TEST(MainWindow, AdministratorCodeIsComparedAsTyped)
{
    // The entry was rounded before the comparison, so these opened code 1234.
    for (const char* typed : {"1234.5", "1233.5", "12.34e2", "1234.0001", "1.234E3"})
        EXPECT_FALSE(administratorCodeMatches(QString::fromUtf8(typed), 1234)) << typed;
    EXPECT_TRUE(administratorCodeMatches(QStringLiteral("1234"), 1234));
    EXPECT_TRUE(administratorCodeMatches(QStringLiteral("1234.0"), 1234));
    EXPECT_TRUE(administratorCodeMatches(QStringLiteral("-5"), -5));

    TestInstallation inst;
    ScriptedUiScope ui;
    frmTQメイン w(testSession());
    enterAdministratorCode(w, *ui, "1234.5");
    EXPECT_EQ(enabledMenus(w), lockedMenus);
}

TEST(MainWindow, ScreensOpenModallyAndUnbuiltOnesSaySo)
{
    TestInstallation inst;
    ScriptedUiScope ui;
    frmTQメイン w(testSession());
    w.show();

    // A function not built yet says so by its caption and opens nothing.
    triggerAction(&w, "ガス配送予定");
    clickButton(&w, "cmd売掛入金");
    triggerAction(&w, "顧客実績");
    ASSERT_EQ(ui->messages.size(), 3u);
    EXPECT_EQ(ui->messages[0].text, notAvailableMessage("配送予定"));
    EXPECT_TRUE(ui->messages[0].text.contains("「配送予定」はまだ使用できません。"));
    EXPECT_EQ(ui->messages[1].text, notAvailableMessage("売掛入金"));
    EXPECT_EQ(ui->messages[2].text, notAvailableMessage("実績出力"));
    EXPECT_TRUE(ui->openedScreens.isEmpty());

    // A registered screen is created for each opening and destroyed after.
    int created = 0;
    QPointer<QDialog> last;
    registerScreen("frm売上", [&](SessionState&, QWidget* parent) {
        ++created;
        auto* d = new QDialog(parent);
        d->setObjectName("frm売上");
        last = d;
        return d;
    });
    ui->onScreen("frm売上", [](QDialog& d) { d.accept(); });
    clickButton(&w, "cmd売上");
    clickButton(&w, "cmd売上");
    EXPECT_EQ(created, 2);
    EXPECT_TRUE(last.isNull());
    EXPECT_EQ(ui->openedScreens, QStringList({"frm売上", "frm売上"}));

    // Enter, main or keypad, on the focused button opens its screen too.
    w.activateWindow();
    w.salesButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.salesButton, Qt::Key_Return);
    QTest::keyClick(w.salesButton, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(created, 4);
}

TEST(MainWindow, VersionBox)
{
    TestInstallation inst;
    ScriptedUiScope ui;
    frmTQメイン w(testSession());
    enterAdministratorCode(w, *ui, "1234");
    ui->onScreen("frmAbout", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("ひまわり帳のﾊﾞｰｼﾞｮﾝ情報"));
        EXPECT_EQ(control<QLabel>(&d, "lblTitle")->text(), QStringLiteral("ひまわり帳"));
        EXPECT_TRUE(control<QLabel>(&d, "lblVersion")->text().startsWith(QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.")));
        EXPECT_EQ(control<QPushButton>(&d, "cmdSysInfo")->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
        clickButton(&d, "cmdSysInfo");
        EXPECT_TRUE(d.isVisible());
        clickButton(&d, "cmdOK");
        EXPECT_FALSE(d.isVisible());
    });
    triggerAction(&w, "バージョン情報");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
}

namespace {

// Stand-ins for the customer picker and the results screen: the menu item
// "実績出力" is the main window's flow, whatever the screens show.
QDialog* fakeScreen(QWidget* parent, const char* name, bool withRepeatButton)
{
    auto* d = new QDialog(parent);
    d->setObjectName(QString::fromUtf8(name));
    if (withRepeatButton) {
        auto* repeat = new QPushButton(QStringLiteral("前回どおり"), d);
        repeat->setObjectName("Command2");
    }
    return d;
}

} // namespace

TEST(MainWindow, CustomerResultsFromTheMenuOfferNoRepeatAndNeedAChosenCustomer)
{
    TestInstallation inst;
    ScriptedUiScope ui;
    frmTQメイン w(testSession());
    w.show();
    registerScreen("frm顧客選択", [](SessionState&, QWidget* p) { return fakeScreen(p, "frm顧客選択", false); });
    registerScreen("frm顧客実績表示", [](SessionState&, QWidget* p) { return fakeScreen(p, "frm顧客実績表示", true); });

    // The picker closed by its close box: no results screen.
    ui->onScreen("frm顧客選択", [](QDialog& d) { d.reject(); });
    triggerAction(&w, "顧客実績");
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択"}));

    // A customer chosen: the results come without "前回どおり".
    bool repeatVisible = true;
    ui->onScreen("frm顧客選択", [](QDialog& d) { d.accept(); });
    ui->onScreen("frm顧客実績表示", [&](QDialog& d) {
        repeatVisible = d.findChild<QPushButton*>("Command2")->isVisible();
        d.accept();
    });
    triggerAction(&w, "顧客実績");
    EXPECT_EQ(ui->openedScreens, QStringList({"frm顧客選択", "frm顧客選択", "frm顧客実績表示"}));
    EXPECT_FALSE(repeatVisible);
    EXPECT_TRUE(ui->messages.empty());
}

TEST(MainWindow, AnErrorInsideAScreenEndsInAMessageAndTheProgramStaysUp)
{
    TestInstallation inst;
    ScriptedUiScope ui;
    frmTQメイン w(testSession());
    w.show();
    // Errors thrown by a screen's opening, by its handlers while it is shown,
    // and by a handler reached through the event loop.
    registerScreen("frm売掛入金", [](SessionState&, QWidget* p) -> QDialog* { throw DatabaseError("disk I/O error", "INSERT ..."); });
    clickButton(&w, "cmd売掛入金");
    registerScreen("frmガス入力", [](SessionState&, QWidget* p) { return fakeScreen(p, "frmガス入力", false); });
    ui->onScreen("frmガス入力", [](QDialog&) { throw SlipBufferFull(); });
    clickButton(&w, "cmdガス入力");
    registerScreen("frm売上", [](SessionState&, QWidget* p) {
        QDialog* d = fakeScreen(p, "frm売上", false);
        auto* store = new QPushButton(QStringLiteral("記録"), d);
        store->setObjectName("Command4");
        QObject::connect(store, &QPushButton::clicked, d, [] { throw ConfigurationError("設定ファイルを書き込めません。"); });
        return d;
    });
    ui->onScreen("frm売上", [](QDialog& d) {
        QTest::mouseClick(d.findChild<QPushButton*>("Command4"), Qt::LeftButton);
        d.accept();
    });
    clickButton(&w, "cmd売上");

    ASSERT_EQ(ui->messages.size(), 3u);
    EXPECT_TRUE(ui->messages[0].text.contains("disk I/O error"));
    EXPECT_EQ(ui->messages[0].title, QStringLiteral("エラーメッセージ"));
    EXPECT_EQ(ui->messages[1].text, QStringLiteral("伝票の明細がいっぱいです。これ以上明細を追加できません。"));
    EXPECT_EQ(ui->messages[2].text, QStringLiteral("設定ファイルを書き込めません。"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(ui->openedScreens, QStringList({"frmガス入力", "frm売上"}));
}
