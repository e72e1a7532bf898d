// The code-table editors as the operator uses them: what each lists, adding,
// deleting, storing, refreshing, and what a refused change says.
#include "masters/MasterData.h"

#include "app/MainWindow.h"
#include "customers/CustomerScreens.h"
#include "ui/Screens.h"
#include "masters/GridEditors.h"
#include "masters/MasterScreens.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/ValueModel.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList column(const GridEditor& editor, int col)
{
    QStringList texts;
    for (int row = 0; row < editor.rowCount(); ++row)
        texts << editor.cellText(row, col);
    return texts;
}

QStringList headings(const GridEditor& editor)
{
    QStringList texts;
    auto* model = editor.grid->model();
    for (int col = 0; col < model->columnCount(); ++col)
        texts << model->headerData(col, Qt::Horizontal).toString();
    return texts;
}

// Types into a cell as the grid's editor does.
bool type(GridEditor& editor, int row, int col, const QString& text)
{
    return editor.values()->setData(editor.values()->index(row, col), text, Qt::EditRole);
}

QString caption(const GridEditor& editor)
{
    return editor.navigator->caption();
}

} // namespace

TEST(GridEditors, EveryMenuItemOfTheMasterMenusOpensItsEditor)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    registerMasterScreens();
    // The customer master's two screens are registered with the customers.
    registerCustomerScreens();
    // The names the main window opens, as its menus carry them (the rice
    // level with a hiragana べ).
    int editors = 0;
    for (const MenuDefinition& menu : mainMenuDefinitions()) {
        for (const MenuItemDefinition& item : menu.items) {
            if (!item.screen)
                continue;
            const QString screen = QString::fromUtf8(item.screen);
            bool isEditor = false;
            for (const GridEditorDefinition& d : gridEditorDefinitions())
                isEditor = isEditor || d.screenName == screen;
            if (!isEditor)
                continue;
            ++editors;
            EXPECT_TRUE(isScreenAvailable(screen)) << item.screen;
        }
    }
    EXPECT_EQ(editors, 17);
    EXPECT_TRUE(isScreenAvailable("frm設定会社"));
    EXPECT_TRUE(isScreenAvailable("frm顧客新規登録"));
    EXPECT_TRUE(isScreenAvailable("frm顧客変更"));
}

TEST(GridEditors, TitlesRecordSourcesAndButtons)
{
    TestInstallation inst;
    ScriptedUiScope scripted;
    registerMasterScreens();
    struct Expect {
        const char* screen;
        const char* title;
        const char* firstHeading;
        int columns;
    };
    const Expect expected[] = {
        {"frm設定店コード", "店コードTBL", "店コード", 2},
        {"frm設定担当者", "担当者コードTBL", "担当者コード", 2},
        {"frm設定仕入先", "仕入先設定", "経理仕入経費先コード", 2},
        {"frm設定経費先", "経理借方相手先ＴＢＬ", "経理仕入経費先コード", 2},
        {"frm設定決済方法", "決済方法", "決済方法コード", 10},
        {"frm設定引落銀行", "引落銀行ＴＢＬ", "引落銀行コード", 3},
        {"frm設定口座種別", "設定引落口座種別", "引落口座種別コード", 2},
        {"frm設定売掛条件", "売掛条件ＴＢＬ", "売掛条件ＩＤ", 2},
        {"frm設定米サービスレべル", "設定米サービスレべル", "米ＳＬＩＤ", 2},
        {"frm設定灯油サービスレベル", "設定灯油サービスレベル", "灯油ＳＬＩＤ", 2},
        {"frm設定ガスタイプ", "顧客ガスタイプＴＢＬ", "ガスタイプコード", 2},
        {"frm設定ガスデータ種別", "ガスデータ種別コードＴＢＬ", "ガスデータ種別コード", 2},
        {"frm設定勘定科目", "設定勘定科目", "科目番号", 6},
        {"frm設定売上種別", "売上種別コードＴＢＬ", "売上種別コード", 2},
        {"frm商品部門", "商品部門マスター", "部門コード", 3},
        {"frm商品商品", "商品マスター", "単品コード", 7},
        {"frm商品税区分", "商品税区分", "税区分コード", 2},
    };
    for (const Expect& e : expected) {
        const QString screen = QString::fromUtf8(e.screen);
        scripted->onScreen(screen, [&](QDialog& d) {
            auto& editor = dynamic_cast<GridEditor&>(d);
            EXPECT_EQ(editor.windowTitle(), QString::fromUtf8(e.title)) << e.screen;
            ASSERT_EQ(editor.grid->model()->columnCount(), e.columns) << e.screen;
            EXPECT_EQ(headings(editor).first(), QString::fromUtf8(e.firstHeading)) << e.screen;
            EXPECT_EQ(control<QPushButton>(&d, "cmdAdd")->text(), "追加(&A)");
            EXPECT_EQ(control<QPushButton>(&d, "cmdDelete")->text(), "削除(&D)");
            EXPECT_EQ(control<QPushButton>(&d, "cmdUpdate")->text(), "更新(&U)");
            EXPECT_EQ(control<QPushButton>(&d, "cmdClose")->text(), "閉じる(&C)");
            auto* refresh = d.findChild<QPushButton*>("cmdRefresh");
            if (screen == "frm商品部門") {
                EXPECT_EQ(refresh, nullptr);
            } else {
                ASSERT_NE(refresh, nullptr) << e.screen;
                EXPECT_EQ(refresh->text(), "再表示(&R)");
            }
            EXPECT_NE(d.findChild<QWidget*>("picButtons"), nullptr);
            EXPECT_NE(d.findChild<QWidget*>("datPrimaryRS"), nullptr);
            clickButton(&d, "cmdClose");
        });
        EXPECT_EQ(openScreen(testSession(), screen, screen, nullptr), QDialog::Rejected) << e.screen;
    }
    EXPECT_TRUE(scripted->messages.empty()) << scripted->lastMessage().toStdString();

    // The seeded chart of accounts shows in account order with its headings.
    frm設定勘定科目 accounts(testSession());
    EXPECT_EQ(headings(accounts), QStringList({"科目番号", "勘定科目名", "期首残高", "借方金額", "貸方金額", "現在残高"}));
    EXPECT_EQ(column(accounts, 0).mid(0, 5), QStringList({"10", "20", "30", "40", "110"}));
    EXPECT_EQ(caption(accounts), "Record: 1");
}

TEST(GridEditors, SuppliersBelow10000AndExpensePayeesFrom10000InCodeOrder)
{
    TestInstallation inst;
    Database db = inst.database();
    // Inserted out of order: the editors sort by code, not by insertion.
    for (auto [code, name] : std::initializer_list<std::pair<int, const char*>>{
             {20000, "電力会社"}, {5, "米問屋"}, {10000, "運送店"}, {9999, "ガス卸"}, {300, "灯油卸"}})
        addCodeRow(db, "経理借方相手先ＴＢＬ", code, QString::fromUtf8(name));
    ScriptedUiScope scripted;

    frm設定仕入先 suppliers(testSession());
    frm設定経費先 payees(testSession());
    EXPECT_EQ(column(suppliers, 0), QStringList({"5", "300", "9999"}));
    EXPECT_EQ(column(suppliers, 1), QStringList({"米問屋", "灯油卸", "ガス卸"}));
    EXPECT_EQ(column(payees, 0), QStringList({"10000", "20000"}));

    // A new row typed in the supplier editor may carry a payee's code: it is
    // stored, leaves the supplier list, and the payee editor lists it in
    // code order after "再表示".
    suppliers.addClicked();
    ASSERT_EQ(suppliers.currentRow(), 3);
    EXPECT_EQ(caption(suppliers), "Record: 4");
    ASSERT_TRUE(type(suppliers, 3, 0, "15000"));
    ASSERT_TRUE(type(suppliers, 3, 1, "新聞店"));
    suppliers.updateClicked();
    EXPECT_TRUE(scripted->messages.empty()) << scripted->lastMessage().toStdString();
    EXPECT_EQ(column(suppliers, 0), QStringList({"5", "300", "9999"}));
    EXPECT_EQ(countRows(db, "経理借方相手先ＴＢＬ", "経理仕入経費先コード = 15000"), 1);

    EXPECT_EQ(column(payees, 0), QStringList({"10000", "20000"}));
    payees.refreshClicked();
    EXPECT_EQ(column(payees, 0), QStringList({"10000", "15000", "20000"}));
    EXPECT_EQ(column(payees, 1), QStringList({"運送店", "新聞店", "電力会社"}));
    EXPECT_EQ(caption(payees), "Record: 1");

    // And the other way round: a supplier's code typed among the payees.
    payees.addClicked();
    ASSERT_TRUE(type(payees, 3, 0, "42"));
    ASSERT_TRUE(type(payees, 3, 1, "酒店"));
    payees.updateClicked();
    suppliers.refreshClicked();
    EXPECT_EQ(column(suppliers, 0), QStringList({"5", "42", "300", "9999"}));
}

TEST(GridEditors, AmountsAreShownAndTypedAsYen)
{
    TestInstallation inst;
    Database db = inst.database();
    db.exec("UPDATE 勘定科目TBL SET 期首残高 = 1050000, 現在残高 = -35000 WHERE 科目番号 = 10");
    db.exec("INSERT INTO 商品マスター VALUES ('4901', 1, 'コシヒカリ５ｋｇ', 'ｺｼﾋｶﾘ', 21000000, 5, 0)");
    ScriptedUiScope scripted;

    frm設定勘定科目 accounts(testSession());
    EXPECT_EQ(accounts.cellText(0, 2), "105");
    EXPECT_EQ(accounts.cellText(0, 5), "-3.5");
    ASSERT_TRUE(type(accounts, 0, 2, "2,000"));
    accounts.updateClicked();
    EXPECT_EQ(db.scalar("SELECT 期首残高 FROM 勘定科目TBL WHERE 科目番号 = 10").toLongLong(), 20000000);
    EXPECT_EQ(accounts.cellText(0, 2), "2000");

    frm商品商品 products(testSession());
    EXPECT_EQ(products.cellText(0, 4), "2100");
    EXPECT_EQ(products.cellText(0, 5), "5");
    ASSERT_TRUE(type(products, 0, 4, "１９８０"));
    products.updateClicked();
    EXPECT_EQ(db.scalar("SELECT 単品売価 FROM 商品マスター").toLongLong(), 19800000);
    EXPECT_EQ(db.scalar("SELECT typeof(単品売価) FROM 商品マスター").toString(), "integer");
    EXPECT_TRUE(scripted->messages.empty()) << scripted->lastMessage().toStdString();
}

TEST(GridEditors, TextThatIsNoAmountIsRefusedWithTheColumnNamed)
{
    TestInstallation inst;
    Database db = inst.database();
    db.exec("UPDATE 勘定科目TBL SET 期首残高 = 1050000 WHERE 科目番号 = 10");
    ScriptedUiScope scripted;
    frm設定勘定科目 accounts(testSession());
    accounts.show();

    // Through the grid's own editor, as the operator types.
    const QModelIndex cell = accounts.values()->index(0, 2);
    accounts.grid->setCurrentIndex(cell);
    accounts.grid->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(accounts.grid->indexWidget(cell));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "105");
    editor->setText("百円");
    QTest::keyClick(editor, Qt::Key_Return);
    // The grid commits the editor, then the message follows.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].text, "「期首残高」には金額を入力して下さい。\n入力された「百円」は使えません。");
    EXPECT_EQ(scripted->messages[0].title, "設定勘定科目");
    EXPECT_EQ(accounts.cellText(0, 2), "105");
    EXPECT_FALSE(accounts.hasPendingEdits());
    accounts.closeClicked();
    EXPECT_EQ(db.scalar("SELECT 期首残高 FROM 勘定科目TBL WHERE 科目番号 = 10").toLongLong(), 1050000);
}

TEST(GridEditors, DeletingMovesToTheNextRowOrTheLastAndEmptiesTheGrid)
{
    TestInstallation inst;
    Database db = inst.database();
    for (int code : {1, 2, 3, 4})
        addCodeRow(db, "店コードＴＢＬ", code, QStringLiteral("店%1").arg(code));
    ScriptedUiScope scripted;
    frm設定店コード shops(testSession());

    // A middle row: the row that followed takes its place.
    ASSERT_TRUE(shops.moveTo(1));
    EXPECT_EQ(caption(shops), "Record: 2");
    shops.deleteClicked();
    EXPECT_EQ(column(shops, 0), QStringList({"1", "3", "4"}));
    EXPECT_EQ(shops.currentRow(), 1);
    EXPECT_EQ(shops.cellText(shops.currentRow(), 0), "3");
    EXPECT_EQ(caption(shops), "Record: 2");

    // The last row: the new last row becomes current.
    ASSERT_TRUE(shops.moveTo(2));
    shops.deleteClicked();
    EXPECT_EQ(column(shops, 0), QStringList({"1", "3"}));
    EXPECT_EQ(shops.currentRow(), 1);
    EXPECT_EQ(caption(shops), "Record: 2");

    shops.deleteClicked();
    shops.deleteClicked();
    // The only row gone: an empty grid, the navigator at no row.
    EXPECT_EQ(shops.rowCount(), 0);
    EXPECT_EQ(shops.currentRow(), -1);
    EXPECT_EQ(caption(shops), "Record: ");
    EXPECT_EQ(countRows(db, "店コードＴＢＬ"), 0);
    // Nothing left to delete: nothing happens.
    shops.deleteClicked();
    EXPECT_TRUE(scripted->messages.empty()) << scripted->lastMessage().toStdString();
}

TEST(GridEditors, AddPutsTheCursorOnANewRowAndAnUntouchedNewRowIsNeverStored)
{
    TestInstallation inst;
    Database db = inst.database();
    for (int code : {1, 2, 5})
        addCodeRow(db, "担当者コードＴＢＬ", code, QStringLiteral("担当%1").arg(code));
    ScriptedUiScope scripted;
    frm設定担当者 staff(testSession());

    staff.addClicked();
    EXPECT_EQ(staff.rowCount(), 4);
    EXPECT_EQ(staff.currentRow(), 3);
    EXPECT_EQ(caption(staff), "Record: 4");
    EXPECT_EQ(staff.cellText(3, 0), "");
    // Pressing "追加" again keeps the one empty row.
    staff.addClicked();
    EXPECT_EQ(staff.rowCount(), 4);

    // Leaving it without typing drops it.
    ASSERT_TRUE(staff.moveTo(0));
    EXPECT_EQ(staff.rowCount(), 3);
    EXPECT_EQ(countRows(db, "担当者コードＴＢＬ"), 3);

    // A typed row is stored when the cursor leaves it, and after "更新" the
    // stored row is current at its place in code order.
    staff.addClicked();
    ASSERT_TRUE(type(staff, 3, 0, "3"));
    ASSERT_TRUE(type(staff, 3, 1, "新人"));
    staff.updateClicked();
    EXPECT_EQ(column(staff, 0), QStringList({"1", "2", "3", "5"}));
    EXPECT_EQ(staff.currentRow(), 2);
    EXPECT_EQ(caption(staff), "Record: 3");
    EXPECT_EQ(db.scalar("SELECT 担当者名 FROM 担当者コードＴＢＬ WHERE 担当者コード = 3").toString(), "新人");

    // An edit is stored when the cursor moves to another row.
    ASSERT_TRUE(type(staff, 0, 1, "山田"));
    EXPECT_TRUE(staff.hasPendingEdits());
    ASSERT_TRUE(staff.moveTo(3));
    EXPECT_FALSE(staff.hasPendingEdits());
    EXPECT_EQ(db.scalar("SELECT 担当者名 FROM 担当者コードＴＢＬ WHERE 担当者コード = 1").toString(), "山田");
    EXPECT_EQ(staff.cellText(staff.currentRow(), 0), "5");

    // An emptied name is an empty text, not a missing value.
    ASSERT_TRUE(type(staff, 3, 1, ""));
    staff.updateClicked();
    EXPECT_TRUE(scripted->messages.empty()) << scripted->lastMessage().toStdString();
    EXPECT_EQ(db.scalar("SELECT typeof(担当者名) FROM 担当者コードＴＢＬ WHERE 担当者コード = 5").toString(), "text");
}

TEST(GridEditors, TheGridMovingToAnotherRowStoresTheRowItLeft)
{
    TestInstallation inst;
    Database db = inst.database();
    for (int code : {1, 2})
        addCodeRow(db, "売掛条件ＴＢＬ", code, QStringLiteral("条件%1").arg(code));
    ScriptedUiScope scripted;
    frm設定売掛条件 terms(testSession());
    terms.show();
    ASSERT_TRUE(type(terms, 0, 1, "月末締め"));
    // The grid's own cursor (a click, the arrow keys) moves first; the row
    // left is stored once the grid has settled.
    terms.grid->setCurrentIndex(terms.values()->index(1, 1));
    EXPECT_EQ(caption(terms), "Record: 2");
    QCoreApplication::processEvents();
    EXPECT_EQ(db.scalar("SELECT 売掛条件 FROM 売掛条件ＴＢＬ WHERE 売掛条件ＩＤ = 1").toString(), "月末締め");
    EXPECT_EQ(terms.currentRow(), 1);
    EXPECT_EQ(caption(terms), "Record: 2");
}

TEST(GridEditors, ProductMasterSpeaksItsOwnTwoMessages)
{
    TestInstallation inst;
    Database db = inst.database();
    db.exec("INSERT INTO 商品マスター (単品コード, 単品名称) VALUES ('1001', '米'), ('1002', '灯油'), ('1003', '電池')");
    // 1002 has been sold; its sales line keeps it.
    db.exec("INSERT INTO 売上商品マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上単品コード,"
            " 売上単価, 売上個数) VALUES (1, 7, 45000, '100', '1002         ', 10000000, 10000)");
    ScriptedUiScope scripted;
    frm商品商品 products(testSession());

    ASSERT_TRUE(products.moveTo(1));
    products.deleteClicked();
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].text, "この商品は、削除できません。");
    EXPECT_EQ(scripted->messages[0].title, "エラー");
    EXPECT_EQ(countRows(db, "商品マスター", "単品コード = '1002'"), 1);
    EXPECT_EQ(column(products, 0), QStringList({"1001", "1002", "1003"}));
    // As after a delete, the cursor goes on to the next row.
    EXPECT_EQ(products.currentRow(), 2);

    // A code already in use, added; the row stays in the grid to be changed.
    products.addClicked();
    ASSERT_TRUE(type(products, 3, 0, "1001"));
    ASSERT_TRUE(type(products, 3, 2, "新米"));
    products.updateClicked();
    ASSERT_EQ(scripted->messages.size(), 2u);
    EXPECT_EQ(scripted->messages[1].text, "商品コードが重複しています。変更して下さい。");
    EXPECT_EQ(scripted->messages[1].title, "エラー");
    EXPECT_EQ(countRows(db, "商品マスター"), 3);
    EXPECT_EQ(products.rowCount(), 4);
    EXPECT_EQ(products.cellText(3, 2), "新米");

    // Changed to a free code, the same row is stored.
    ASSERT_TRUE(type(products, 3, 0, "1004"));
    products.updateClicked();
    EXPECT_EQ(scripted->messages.size(), 2u);
    EXPECT_EQ(db.scalar("SELECT 単品名称 FROM 商品マスター WHERE 単品コード = '1004'").toString(), "新米");
    EXPECT_EQ(products.cellText(products.currentRow(), 0), "1004");

    // An existing product changed to a code in use: the same message, and
    // nothing changed.
    ASSERT_TRUE(products.moveTo(0));
    ASSERT_TRUE(type(products, 0, 0, "1003"));
    products.updateClicked();
    ASSERT_EQ(scripted->messages.size(), 3u);
    EXPECT_EQ(scripted->messages[2].text, "商品コードが重複しています。変更して下さい。");
    EXPECT_EQ(countRows(db, "商品マスター", "単品コード = '1001'"), 1);

    // Other refusals are told as what they are: a product without a code.
    ASSERT_TRUE(type(products, 0, 0, "1001"));
    products.addClicked();
    ASSERT_EQ(products.currentRow(), 4);
    ASSERT_TRUE(type(products, 4, 2, "名無し"));
    products.updateClicked();
    ASSERT_EQ(scripted->messages.size(), 4u);
    EXPECT_EQ(scripted->messages[3].text, "「単品コード」は、必ず入力して下さい。");
    EXPECT_EQ(countRows(db, "商品マスター"), 4);
}

TEST(GridEditors, OtherEditorsNameTheRuleThatRefusedTheChange)
{
    TestInstallation inst;
    Database db = inst.database();
    addCodeRow(db, "店コードＴＢＬ", 1, "本店");
    db.exec("INSERT INTO 引落銀行ＴＢＬ VALUES (9, '試験銀行', 'ｼｹﾝ')");
    ScriptedUiScope scripted;

    frm設定店コード shops(testSession());
    shops.addClicked();
    ASSERT_TRUE(type(shops, 1, 0, "1"));
    ASSERT_TRUE(type(shops, 1, 1, "支店"));
    shops.updateClicked();
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].text, "「店コード」の値が重複しています。変更して下さい。");
    EXPECT_EQ(scripted->messages[0].title, "エラー");

    // The grid stays usable: the row is corrected and stored.
    ASSERT_TRUE(type(shops, 1, 0, "2"));
    shops.updateClicked();
    EXPECT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(countRows(db, "店コードＴＢＬ"), 2);

    // A number code left empty is given the next free number.
    shops.addClicked();
    ASSERT_TRUE(type(shops, 2, 1, "出張所"));
    shops.updateClicked();
    EXPECT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(db.scalar("SELECT 店コード FROM 店コードＴＢＬ WHERE 店名 = '出張所'").toInt(), 3);
    EXPECT_EQ(caption(shops), "Record: 3");

    // The three editors with the data-error wording.
    frm設定引落銀行 banks(testSession());
    banks.addClicked();
    ASSERT_TRUE(type(banks, 1, 0, "9"));
    banks.updateClicked();
    ASSERT_EQ(scripted->messages.size(), 2u);
    EXPECT_EQ(scripted->messages[1].text, "Data error event hit err:「引落銀行コード」の値が重複しています。変更して下さい。");
    EXPECT_EQ(countRows(db, "引落銀行ＴＢＬ"), 1);
}

TEST(GridEditors, LeavingARefusedRowReturnsToItAndEscTakesTheEditsBack)
{
    TestInstallation inst;
    Database db = inst.database();
    for (int code : {1, 2, 3})
        addCodeRow(db, "米サービスレベルＴＢＬ", code, QStringLiteral("レベル%1").arg(code));
    ScriptedUiScope scripted;
    frm設定米サービスレべル levels(testSession());
    levels.show();

    ASSERT_TRUE(type(levels, 0, 0, "3"));
    EXPECT_FALSE(levels.moveTo(2));
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].text, "「米ＳＬＩＤ」の値が重複しています。変更して下さい。");
    EXPECT_EQ(levels.currentRow(), 0);
    EXPECT_EQ(levels.cellText(0, 0), "3");

    levels.grid->setFocus();
    QTest::keyClick(levels.grid, Qt::Key_Escape);
    EXPECT_TRUE(levels.isVisible()); // Esc took the edit back, it did not close the screen
    EXPECT_EQ(levels.cellText(0, 0), "1");
    EXPECT_FALSE(levels.hasPendingEdits());
    EXPECT_TRUE(levels.moveTo(2));
    EXPECT_EQ(db.scalar("SELECT group_concat(米ＳＬＩＤ) FROM 米サービスレベルＴＢＬ").toString(), "1,2,3");
}

TEST(GridEditors, ClosingWithARefusedEditAsksBeforeDroppingIt)
{
    TestInstallation inst;
    Database db = inst.database();
    addCodeRow(db, "灯油サービスレベルＴＢＬ", 1, "毎週");
    addCodeRow(db, "灯油サービスレベルＴＢＬ", 2, "隔週");
    ScriptedUiScope scripted;
    scripted->onScreen("frm設定灯油サービスレベル", [&](QDialog& d) {
        auto& editor = dynamic_cast<GridEditor&>(d);
        ASSERT_TRUE(type(editor, 1, 0, "1"));
        scripted->answers = {false};
        clickButton(&d, "cmdClose");
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(scripted->questions.size(), 1u);
        EXPECT_EQ(scripted->questions[0].text, "保存できなかった変更があります。\n変更を取り消して閉じますか？");
        // A good edit is stored on closing.
        ASSERT_TRUE(type(editor, 1, 0, "4"));
        clickButton(&d, "cmdClose");
    });
    registerMasterScreens();
    EXPECT_EQ(openScreen(testSession(), "frm設定灯油サービスレベル", "灯油サービスレベル設定", nullptr), QDialog::Rejected);
    EXPECT_EQ(scripted->questions.size(), 1u);
    EXPECT_EQ(db.scalar("SELECT group_concat(灯油ＳＬＩＤ) FROM 灯油サービスレベルＴＢＬ").toString(), "1,4");
    EXPECT_EQ(scripted->busyDepth, 0);
}

TEST(GridEditors, TheGridFollowsTheWindowSize)
{
    TestInstallation inst;
    Database db = inst.database();
    db.exec("INSERT INTO 商品マスター VALUES ('4901001', 1, 'コシヒカリ５ｋｇ', 'ｺｼﾋｶﾘ', 21000000, 5, 0),"
            " ('4901002', 1, 'あきたこまち１０ｋｇ', 'ｱｷﾀｺﾏﾁ', 39800000, 10, 0),"
            " ('5001', 2, '灯油１８Ｌ', 'ﾄｳﾕ', 19800000, 0, 18), ('7001', 3, '単三電池４本', 'ﾃﾞﾝﾁ', 3980000, 0, 0)");
    ScriptedUiScope scripted;
    frm商品商品 products(testSession());
    products.resize(800, 500);
    products.show();
    QCoreApplication::processEvents();
    const int small = products.grid->height();
    saveScreenshot(products, "grid-editor.png");
    products.resize(1000, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(products.grid->height(), small + 200);
    EXPECT_EQ(products.buttonPanel->geometry().bottom() + 8 + 1, products.height());
}
