// Hostile typing into every text box of the entry screens and the code-table
// editors: quotes and SQL fragments, 10,000-character text, control
// characters and half-/full-width mixtures. Nothing may be stored that the
// operator did not confirm, no statement may change meaning (every table is
// still there with the rows it had), and the program stays up: whatever goes
// wrong reaches the operator as a message, never as an escaped exception.
#include "HostileText.h"

#include "ui/ErrorGuard.h"
#include "session/Routines.h"
#include "ui/Screens.h"
#include "session/Session.h"
#include "customers/CustomerPicker.h"
#include "customers/CustomerRegistration.h"
#include "customers/CustomerScreens.h"
#include "gas/GasScreens.h"
#include "masters/CompanySettings.h"
#include "masters/GridEditor.h"
#include "masters/GridEditors.h"
#include "masters/MasterScreens.h"
#include "receivables/ReceivableScreens.h"
#include "sales/SalesScreens.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/ValueModel.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Every table with its row count, and the schema's own text: a statement
// that changed meaning would drop, add or empty something here.
QMap<QString, qlonglong> tableRows(Database& db)
{
    QMap<QString, qlonglong> rows;
    QStringList tables;
    QSqlQuery q = db.exec("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
    while (q.next())
        tables << q.value(0).toString();
    for (const QString& t : tables)
        rows.insert(t, db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(t)).toLongLong());
    return rows;
}

QString schemaText(Database& db)
{
    QString text;
    QSqlQuery q = db.exec("SELECT type || name || ifnull(sql, '') FROM sqlite_master ORDER BY type, name");
    while (q.next())
        text += q.value(0).toString() + u'\n';
    return text;
}

// The scripted operator turned hostile: every screen that opens gets the
// hostile texts in each of its boxes, with Enter after each, and is then
// closed. Questions are answered "no" and input prompts get hostile text.
// A customer picker that opens an entry screen chooses its first customer.
class HostileUi : public ScriptedUi {
public:
    int depth = 0;
    bool chooseCustomer = false;
    QStringList typedScreens;
    QMap<QString, int> boxesTyped; // per screen, the boxes that took every text

    bool ask(const QString& text, const QString& title, Preset preset = Preset::Ok) override
    {
        questions.push_back({text, title, preset});
        return false;
    }
    std::optional<QString> inputText(const QString& prompt, const QString& title, const QString&) override
    {
        prompts.push_back({prompt, title});
        const QStringList all = hostile::texts();
        return all[prompts.size() % all.size()];
    }
    int runModal(QDialog& dialog) override
    {
        openedScreens << dialog.objectName();
        dialog.setResult(QDialog::Rejected);
        dialog.show();
        if (auto* picker = dynamic_cast<frm顧客選択*>(&dialog); picker && chooseCustomer && depth == 0) {
            chooseCustomer = false;
            picker->showAll();
            if (picker->customerModel->rowCount() > 0) {
                picker->showCustomer(0);
                picker->confirm();
            }
        } else if (depth < 2) {
            ++depth;
            typeEverywhere(dialog);
            --depth;
        }
        dialog.hide();
        return dialog.result();
    }

    // Every hostile text into every box the operator can type into, the way
    // the operator does it: focus, select all, type (or paste the long
    // ones), Enter.
    void typeIntoGrid(GridEditor& editor, const QStringList& texts);
    void typeEverywhere(QDialog& dialog)
    {
        typedScreens << dialog.objectName();
        const QStringList texts = hostile::texts();
        if (auto* editor = dynamic_cast<GridEditor*>(&dialog)) {
            typeIntoGrid(*editor, texts);
            return;
        }
        const QList<QLineEdit*> boxes = dialog.findChildren<QLineEdit*>();
        for (QLineEdit* box : boxes) {
            for (const QString& text : texts) {
                QPointer<QLineEdit> alive(box);
                if (!alive || !dialog.isVisible())
                    return;
                if (!box->isVisible() || !box->isEnabled() || box->isReadOnly())
                    break;
                box->setFocus();
                box->selectAll();
                bool ascii = text.size() <= 40, printable = true;
                for (QChar c : text) {
                    ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7f;
                    printable = printable && c.unicode() >= 0x20 && c.unicode() != 0x7f;
                }
                if (ascii) {
                    QTest::keyClicks(box, text);
                } else if (printable) {
                    // Japanese arrives committed by the input method.
                    QInputMethodEvent commit;
                    commit.setCommitString(text);
                    QApplication::sendEvent(box, &commit);
                } else {
                    box->insert(text); // pasted
                }
                if (alive && dialog.isVisible())
                    QTest::keyClick(box, Qt::Key_Return);
                if (text == texts.back())
                    ++boxesTyped[dialog.objectName()];
            }
        }
    }
};

// The grid's own cell editor: a new row, then every cell of it opened,
// typed into and left with Enter.
void HostileUi::typeIntoGrid(GridEditor& editor, const QStringList& texts)
{
    QTest::mouseClick(editor.addButton, Qt::LeftButton);
    QTableView* view = editor.grid;
    const int columns = view->model()->columnCount();
    for (int col = 0; col < columns; ++col) {
        if (view->isColumnHidden(col))
            continue;
        for (const QString& text : texts) {
            if (!editor.isVisible())
                return;
            const int row = editor.rowCount() - 1;
            const QModelIndex index = view->model()->index(row, col);
            // An editor the Enter moved on to is left untouched.
            for (QLineEdit* e : view->viewport()->findChildren<QLineEdit*>())
                if (e->isVisible())
                    QTest::keyClick(e, Qt::Key_Escape);
            view->setCurrentIndex(index);
            view->edit(index);
            QLineEdit* box = nullptr;
            for (QLineEdit* e : view->viewport()->findChildren<QLineEdit*>())
                if (e->isVisible())
                    box = e;
            if (!box)
                break; // a cell that cannot be edited
            box->selectAll();
            box->insert(text);
            QTest::keyClick(box, Qt::Key_Return);
            if (text == texts.back())
                ++boxesTyped[editor.objectName()];
        }
    }
}

class HostileUiScope {
public:
    HostileUiScope()
    {
        auto hostileUi = std::make_unique<HostileUi>();
        ui_ = hostileUi.get();
        previous_ = installUiService(std::move(hostileUi));
    }
    ~HostileUiScope() { installUiService(std::move(previous_)); }
    HostileUi* operator->() { return ui_; }

private:
    HostileUi* ui_;
    std::unique_ptr<UiService> previous_;
};

struct Shop {
    TestInstallation inst;
    Database db = inst.database();
    Shop()
    {
        registerCustomerScreens();
        registerSalesScreens();
        registerMasterScreens();
        registerReceivableScreens();
        registerGasScreens();
        const QString customer = QStringLiteral(
            "INSERT INTO 顧客マスター (顧客コード, 顧客ガスコード, 顧客名前, 顧客名前カナ, 顧客ガスボンベ１) VALUES (?, ?, ?, ?, ?)");
        db.exec(customer, {QStringLiteral("501"), QStringLiteral("1"), QStringLiteral("北村　一郎"), QStringLiteral("ｷﾀﾑﾗ ｲﾁﾛｳ"), 20.0});
        db.exec(customer, {QStringLiteral("600"), QStringLiteral("0"), QStringLiteral("東　商店"), QStringLiteral("ﾋｶﾞｼ ｼｮｳﾃﾝ"), 0.0});
        db.exec("INSERT INTO 商品部門マスター (部門コード, 部門名) VALUES (1, '米')");
        db.exec("INSERT INTO 商品マスター (単品コード, 部門コード, 単品名称, 単品名称カナ, 単品売価) VALUES ('1001', 1, 'コシヒカリ５kg', 'ｺｼﾋｶﾘ', ?)",
                {sqlValue(Currency::fromUnits(2500))});
        db.exec("INSERT INTO 担当者コードＴＢＬ (担当者コード, 担当者名) VALUES (1, '店主')");
    }
};

} // namespace

namespace {

// Opens each screen with the hostile operator and checks that no error
// escaped; then that every table is there with the rows it had (bar the
// tables the screens edit a row at a time as the cursor leaves it), the
// database is sound and the configuration file unchanged.
int typeIntoScreens(const QStringList& screens, const QStringList& editedTables)
{
    Shop shop;
    HostileUiScope hostileUi;
    QMap<QString, qlonglong> rowsBefore = tableRows(shop.db);
    const QString schemaBefore = schemaText(shop.db);
    const QByteArray configurationBefore = shop.inst.configurationFileBytes();

    for (const QString& screen : screens) {
        SCOPED_TRACE(screen.toStdString());
        hostileUi->chooseCustomer = screen != QStringLiteral("frm顧客選択") && screen != QStringLiteral("frm顧客選択ガス");
        const auto messagesBefore = hostileUi->messages.size();
        int typedBefore = 0;
        for (int n : hostileUi->boxesTyped)
            typedBefore += n;
        try {
            openScreen(testSession(), screen, screen, nullptr);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "escaped: " << e.what();
        }
        int typed = 0;
        for (int n : hostileUi->boxesTyped)
            typed += n;
        EXPECT_GT(typed, typedBefore) << "never typed into";
        for (auto i = messagesBefore; i < hostileUi->messages.size(); ++i)
            EXPECT_FALSE(hostile::isEscapedError(hostileUi->messages[i])) << hostileUi->messages[i].text.toStdString();
        // "中止" leaves what was typed in the session; the file is the truth.
        testSession().config = parseConfiguration(shop.inst.configurationFileBytes(), QStringLiteral("HMWcfg.dat"));
    }

    QMap<QString, qlonglong> rowsAfter = tableRows(shop.db);
    for (const QString& table : editedTables) {
        EXPECT_TRUE(tableRows(shop.db).contains(table)) << table.toStdString();
        rowsBefore.remove(table);
        rowsAfter.remove(table);
    }
    EXPECT_EQ(rowsAfter, rowsBefore);
    EXPECT_EQ(schemaText(shop.db), schemaBefore);
    EXPECT_EQ(shop.db.scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_EQ(shop.inst.configurationFileBytes(), configurationBefore);
    int typed = 0;
    for (int n : hostileUi->boxesTyped)
        typed += n;
    return typed;
}

} // namespace

TEST(HostileTyping, EntryScreensStoreNothingThatWasNotConfirmed)
{
    const int boxes = typeIntoScreens({QStringLiteral("frm売上"), QStringLiteral("frm商品選択"), QStringLiteral("frm売掛入金"),
                     QStringLiteral("frmガス入力"), QStringLiteral("frm顧客新規登録"), QStringLiteral("frm顧客変更"),
                     QStringLiteral("frm設定会社"), QStringLiteral("frm顧客選択"), QStringLiteral("frm顧客選択ガス")},
                    {});
    // The pickers' search and detail boxes, the payment, the gas readings,
    // the 7 + 25 customer boxes and the 16 company boxes.
    EXPECT_GE(boxes, 60);
}

TEST(HostileTyping, GridEditorsTakeEveryCellWithoutHarmToOtherTables)
{
    QStringList screens, tables;
    for (const GridEditorDefinition& d : gridEditorDefinitions()) {
        screens << d.screenName;
        tables << d.table;
    }
    // At least the code and one name cell of each of the 17 editors.
    EXPECT_GE(typeIntoScreens(screens, tables), 34);
}
