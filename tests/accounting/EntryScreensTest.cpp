// The purchase, expense and journal entry screens, driven by objectName:
// what their lists offer, when "ＯＫ" is offered, the holding row they write
// and the shared slip numbers.
#include "AccountingData.h"

#include "accounting/AccountingScreens.h"
#include "accounting/EntryScreens.h"
#include "session/Routines.h"
#include "ui/Screens.h"
#include "masters/MasterScreens.h"
#include "sales/SlipStore.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/SlipLines.h"
#include "support/TestInstallation.h"
#include "ui/DateBoxes.h"
#include "ui/ValueModel.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Codes a list offers, top to bottom (column 0 of its model).
std::vector<qlonglong> listCodes(QListView* view)
{
    std::vector<qlonglong> codes;
    auto* model = static_cast<ValueQueryModel*>(view->model());
    for (int row = 0; row < model->rowCount(); ++row)
        codes.push_back(model->storedData(row, 0).toLongLong());
    return codes;
}

bool offers(QListView* view, qlonglong code)
{
    const std::vector<qlonglong> codes = listCodes(view);
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

void pick(QListView* view, qlonglong code)
{
    ASSERT_NE(view, nullptr);
    const std::vector<qlonglong> codes = listCodes(view);
    const auto found = std::find(codes.begin(), codes.end(), code);
    ASSERT_NE(found, codes.end()) << "code " << code << " not offered";
    const QModelIndex index = view->model()->index(int(found - codes.begin()), view->modelColumn());
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

struct HoldingRow {
    int slip = 0;
    Date date;
    Currency amount;
    int debit = 0;
    int counterparty = 0;
    int credit = 0;
    QString creditCounterparty;
};

std::vector<HoldingRow> holdingRows(Database& db)
{
    std::vector<HoldingRow> rows;
    QSqlQuery q = db.exec(QStringLiteral("SELECT 経理伝票番号, 経理年月日, 経理金額, 経理借方コード, 経理借方相手先コード,"
                                         " 経理貸方コード, 経理貸方相手先コード FROM 経理マスター仮 ORDER BY 経理シリアル"));
    while (q.next())
        rows.push_back({q.value(0).toInt(), dateValue(q.value(1)), currencyValue(q.value(2)), q.value(3).toInt(),
                        q.value(4).toInt(), q.value(5).toInt(), q.value(6).toString()});
    return rows;
}

class EntryScreensTest : public ::testing::Test {
protected:
    TestInstallation install;
    Database db = install.database();
    ScriptedUiScope scripted;

    void SetUp() override
    {
        registerMasterScreens();
        registerAccountingScreens();
        for (const auto& [code, name] : std::initializer_list<std::pair<int, const char*>>{
                 {5, "米問屋"}, {9999, "雑貨問屋"}, {10000, "共通先"}, {10001, "電力会社"}, {20000, "ガス会社"}})
            db.exec(QStringLiteral("INSERT INTO 経理借方相手先ＴＢＬ VALUES (?, ?)"), {code, QString::fromUtf8(name)});
        for (int account : {6000, 7999, 8000, 9000, 9999, 10000})
            setAccount(db, account, QStringLiteral("科目%1").arg(account), 0);
    }

    // Opens a screen through the screen table and runs `drive` on it.
    void run(const QString& name, std::function<void(accounting::JournalEntryScreen&)> drive)
    {
        scripted->onScreen(name, [drive](QDialog& dialog) {
            drive(static_cast<accounting::JournalEntryScreen&>(dialog));
        });
        openScreen(testSession(), name, name, nullptr);
    }
};

} // namespace

TEST_F(EntryScreensTest, PurchaseOffersOkOnlyForACompleteEntryAndStoresANegativeAmount)
{
    run(QStringLiteral("frm仕入"), [](accounting::JournalEntryScreen& s) {
        EXPECT_EQ(s.windowTitle(), QStringLiteral("仕入"));
        EXPECT_EQ(s.dateBoxes->date(), Date::today());
        auto* ok = control<QPushButton>(&s, QStringLiteral("Command1"));
        auto* amount = control<QLineEdit>(&s, QStringLiteral("Text1"));
        EXPECT_FALSE(ok->isVisible());
        EXPECT_EQ(control<QPushButton>(&s, QStringLiteral("Command3"))->text(), QStringLiteral("仕入先の追加入力"));

        amount->setText(QStringLiteral("1200"));
        EXPECT_FALSE(ok->isVisible()); // an amount alone is not an entry
        pick(control<QListView>(&s, QStringLiteral("DBList1")), 5);
        pick(control<QListView>(&s, QStringLiteral("DBList2")), 5500);
        EXPECT_FALSE(ok->isVisible());
        pick(control<QListView>(&s, QStringLiteral("DBList3")), 10);
        EXPECT_TRUE(ok->isVisible());

        amount->setText(QStringLiteral("0"));
        EXPECT_FALSE(ok->isVisible());
        amount->setText(QStringLiteral("12ab"));
        EXPECT_FALSE(ok->isVisible());
        amount->setText(QStringLiteral("－５００"));
        EXPECT_TRUE(ok->isVisible());
        // The date alone leaves ＯＫ as it is; 2024/02/31 rolls into March.
        s.dateBoxes->setParts(2024, 2, 31);
        EXPECT_TRUE(ok->isVisible());
        clickButton(&s, QStringLiteral("Command1"));
    });
    const std::vector<HoldingRow> rows = holdingRows(db);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].slip, 1);
    EXPECT_EQ(rows[0].date, day(2024, 3, 2));
    EXPECT_EQ(rows[0].amount, yen(-500));
    EXPECT_EQ(rows[0].debit, 5500);
    EXPECT_EQ(rows[0].counterparty, 5);
    EXPECT_EQ(rows[0].credit, 10);
    EXPECT_EQ(rows[0].creditCounterparty, QStringLiteral("0"));
    EXPECT_EQ(testSession().config.slipCounter, 2);
    EXPECT_TRUE(install.configurationFileBytes().contains("\" 2\"\r\n"));
}

TEST_F(EntryScreensTest, ListsOfferTheirRangesAndCode10000OnlyOnTheJournal)
{
    run(QStringLiteral("frm経費"), [](accounting::JournalEntryScreen& s) {
        EXPECT_EQ(s.windowTitle(), QStringLiteral("経費"));
        QListView* kinds = control<QListView>(&s, QStringLiteral("DBList2"));
        for (int account : {6000, 6010, 7999, 9000, 9999})
            EXPECT_TRUE(offers(kinds, account)) << account;
        for (int account : {5500, 8000, 10000, 10})
            EXPECT_FALSE(offers(kinds, account)) << account;
        EXPECT_EQ(listCodes(control<QListView>(&s, QStringLiteral("DBList1"))), (std::vector<qlonglong>{10001, 20000}));
        const std::vector<qlonglong> means = listCodes(control<QListView>(&s, QStringLiteral("DBList3")));
        EXPECT_EQ(means, (std::vector<qlonglong>{10, 20, 30, 40, 110}));
        EXPECT_EQ(control<QPushButton>(&s, QStringLiteral("Command3"))->text(), QStringLiteral("経費支払先の追加入力"));
    });
    run(QStringLiteral("frm仕入"), [](accounting::JournalEntryScreen& s) {
        EXPECT_EQ(listCodes(control<QListView>(&s, QStringLiteral("DBList1"))), (std::vector<qlonglong>{5, 9999}));
        const std::vector<qlonglong> kinds = listCodes(control<QListView>(&s, QStringLiteral("DBList2")));
        EXPECT_EQ(kinds, (std::vector<qlonglong>{5500, 5510, 5520, 5530}));
    });
    run(QStringLiteral("frm経理入力"), [](accounting::JournalEntryScreen& s) {
        EXPECT_EQ(s.windowTitle(), QStringLiteral("経理入力"));
        EXPECT_EQ(s.findChild<QPushButton*>(QStringLiteral("Command3")), nullptr);
        EXPECT_EQ(listCodes(control<QListView>(&s, QStringLiteral("DBList2"))),
                  (std::vector<qlonglong>{5, 9999, 10000, 10001, 20000}));
        QListView* debit = control<QListView>(&s, QStringLiteral("DBList1"));
        EXPECT_TRUE(offers(debit, 10));
        EXPECT_TRUE(offers(debit, 10000));
        EXPECT_TRUE(offers(control<QListView>(&s, QStringLiteral("DBList3")), 8000));
    });
}

TEST_F(EntryScreensTest, JournalEntryNeedsNoCounterparty)
{
    run(QStringLiteral("frm経理入力"), [](accounting::JournalEntryScreen& s) {
        auto* ok = control<QPushButton>(&s, QStringLiteral("Command1"));
        control<QLineEdit>(&s, QStringLiteral("Text1"))->setText(QStringLiteral("3,000"));
        pick(control<QListView>(&s, QStringLiteral("DBList1")), 3010);
        EXPECT_FALSE(ok->isVisible());
        pick(control<QListView>(&s, QStringLiteral("DBList3")), 20);
        EXPECT_TRUE(ok->isVisible());
        clickButton(&s, QStringLiteral("Command1"));
    });
    const std::vector<HoldingRow> rows = holdingRows(db);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].amount, yen(3000));
    EXPECT_EQ(rows[0].debit, 3010);
    EXPECT_EQ(rows[0].counterparty, 0);
    EXPECT_EQ(rows[0].credit, 20);
    EXPECT_EQ(rows[0].creditCounterparty, QStringLiteral("0"));
}

TEST_F(EntryScreensTest, CancelWritesNothingAndTheAddButtonRereadsTheList)
{
    scripted->onScreen(QStringLiteral("frm設定経費先"), [this](QDialog& editor) {
        db.exec(QStringLiteral("INSERT INTO 経理借方相手先ＴＢＬ VALUES (10500, '新聞店')"));
        editor.reject();
    });
    run(QStringLiteral("frm経費"), [](accounting::JournalEntryScreen& s) {
        QListView* payees = control<QListView>(&s, QStringLiteral("DBList1"));
        EXPECT_FALSE(offers(payees, 10500));
        clickButton(&s, QStringLiteral("Command3"));
        EXPECT_TRUE(offers(payees, 10500));
        clickButton(&s, QStringLiteral("Command2"));
    });
    EXPECT_TRUE(scripted->openedScreens.contains(QStringLiteral("frm設定経費先")));
    EXPECT_TRUE(holdingRows(db).empty());
    EXPECT_EQ(testSession().config.slipCounter, 1);
}

TEST_F(EntryScreensTest, EntriesAndASalesSlipBetweenThemTakeConsecutiveNumbers)
{
    auto enter = [this](const QString& screen, int counterparty, int debit) {
        run(screen, [=](accounting::JournalEntryScreen& s) {
            control<QLineEdit>(&s, QStringLiteral("Text1"))->setText(QStringLiteral("100"));
            pick(s.counterpartyList(), counterparty);
            pick(s.debitList(), debit);
            pick(s.creditList(), 10);
            clickButton(&s, QStringLiteral("Command1"));
        });
    };
    testSession().config.slipCounter = 41;
    enter(QStringLiteral("frm仕入"), 5, 5500);

    // A cash sale of one line between the two entries.
    db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ) VALUES ('77', '試験商店', 'ｼｹﾝ')"));
    SessionState& st = testSession();
    startSlip(st, QStringLiteral("77"), day(2024, 5, 1), saleKind::Cash);
    appendSlipLine(st, 0, 9, QStringLiteral("1"), QString(), "500", "1");
    computeSlipTotals(st);
    ASSERT_TRUE(storeSlip(db, st));

    enter(QStringLiteral("frm経費"), 10001, 6010);

    std::vector<int> numbers;
    QSqlQuery q = db.exec(QStringLiteral("SELECT 経理伝票番号 FROM 経理マスター仮 ORDER BY 経理シリアル"));
    while (q.next())
        numbers.push_back(q.value(0).toInt());
    ASSERT_GE(numbers.size(), 3u);
    EXPECT_EQ(numbers.front(), 41);
    EXPECT_EQ(numbers.back(), 43);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT DISTINCT 売上伝票番号 FROM 売上商品マスター仮")).toInt(), 42);
    EXPECT_EQ(testSession().config.slipCounter, 44);
}

TEST_F(EntryScreensTest, ASlipNumberBeyondTheRangeIsRefusedBeforeAnythingIsWritten)
{
    testSession().config.slipPrefix = 21;
    testSession().config.slipCounter = 47483648; // 21 × 100000000 + counter > 2147483647
    run(QStringLiteral("frm仕入"), [](accounting::JournalEntryScreen& s) {
        control<QLineEdit>(&s, QStringLiteral("Text1"))->setText(QStringLiteral("100"));
        pick(s.counterpartyList(), 5);
        pick(s.debitList(), 5500);
        pick(s.creditList(), 10);
        clickButton(&s, QStringLiteral("Command1"));
        EXPECT_TRUE(s.isVisible()); // the screen stays, the entry unstored
        clickButton(&s, QStringLiteral("Command2"));
    });
    EXPECT_EQ(scripted->lastMessage(), SlipNumberOverflow().message());
    EXPECT_TRUE(holdingRows(db).empty());
    EXPECT_EQ(testSession().config.slipCounter, 47483648);
}
