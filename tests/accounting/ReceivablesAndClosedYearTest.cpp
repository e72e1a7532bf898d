// Entries that move the customers' receivables (account 110) name their
// customer, so the daily update keeps 110 equal to the customers' balances;
// entries into a year the year-end closed are refused; and the keyboard
// alone, Enter after Enter, takes an entry from the first box to a stored
// row.
#include "AccountingData.h"

#include "accounting/AccountingScreens.h"
#include "accounting/Books.h"
#include "accounting/EntryScreens.h"
#include "session/Routines.h"
#include "ui/Screens.h"
#include "db/ClosedPeriod.h"
#include "masters/MasterScreens.h"
#include "sales/DailyUpdate.h"
#include "support/Controls.h"
#include "support/ScriptedUi.h"
#include "support/TestInstallation.h"
#include "ui/DateBoxes.h"
#include "ui/ValueModel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>

namespace {

int rowOfCode(QListView* view, qlonglong code)
{
    auto* model = static_cast<ValueQueryModel*>(view->model());
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->storedData(row, 0).toLongLong() == code)
            return row;
    return -1;
}

// Moves the list's cursor to `code` with the arrow keys, from its first row.
void arrowTo(QListView* view, qlonglong code)
{
    const int row = rowOfCode(view, code);
    ASSERT_GE(row, 0) << "code " << code << " not offered";
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < row; ++i)
        QTest::keyClick(view, Qt::Key_Down);
    ASSERT_EQ(view->currentIndex().row(), row);
}

void clickCode(QListView* view, qlonglong code)
{
    const int row = rowOfCode(view, code);
    ASSERT_GE(row, 0) << "code " << code << " not offered";
    const QModelIndex index = view->model()->index(row, view->modelColumn());
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

QWidget* focusOf(QWidget* screen)
{
    return screen->focusWidget();
}

QString holdingRows(Database& db)
{
    QStringList rows;
    QSqlQuery q = db.exec(QStringLiteral("SELECT 経理伝票番号, 経理年月日, 経理金額, 経理借方コード, 経理貸方コード,"
                                         " 経理貸方相手先コード FROM 経理マスター仮 ORDER BY 経理シリアル"));
    while (q.next())
        rows << QStringLiteral("%1|%2|%3|%4|%5|%6")
                    .arg(q.value(0).toString(), dateValue(q.value(1)).toShortString(),
                         currencyValue(q.value(2)).toString(), q.value(3).toString(), q.value(4).toString(),
                         q.value(5).toString());
    return rows.join(u'\n');
}

// Account 110's balance in the books (opening + debits − credits, posted
// journal) against the sum of the customers' balances.
std::pair<Currency, Currency> receivablesInStep(Database& db)
{
    const Currency opening =
        currencyValue(db.scalar(QStringLiteral("SELECT 期首残高 FROM 勘定科目TBL WHERE 科目番号 = 110")));
    const Currency debits = currencyValue(
        db.scalar(QStringLiteral("SELECT COALESCE(SUM(経理金額), 0) FROM 経理マスター WHERE 経理借方コード = 110")));
    const Currency credits = currencyValue(
        db.scalar(QStringLiteral("SELECT COALESCE(SUM(経理金額), 0) FROM 経理マスター WHERE 経理貸方コード = 110")));
    const Currency balances = currencyValue(db.scalar(QStringLiteral(
        "SELECT SUM(顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額) FROM 顧客マスター")));
    return {opening + debits - credits, balances};
}

class ReceivablesEntryTest : public ::testing::Test {
protected:
    TestInstallation install;
    Database db = install.database();
    ScriptedUiScope scripted;
    QString pickedCustomer; // what the stand-in customer picker chooses; empty: closed without a choice
    int pickerOpenings = 0;

    void SetUp() override
    {
        registerMasterScreens();
        registerAccountingScreens();
        // The customer picker is the customers' own screen; here a stand-in
        // that leaves the chosen customer in the session as it does.
        registerScreen(QStringLiteral("frm顧客選択"), [](SessionState&, QWidget* parent) -> QDialog* {
            auto* d = new QDialog(parent);
            d->setObjectName(QStringLiteral("frm顧客選択"));
            return d;
        });
        scripted->onScreen(QStringLiteral("frm顧客選択"), [this](QDialog& d) {
            ++pickerOpenings;
            if (pickedCustomer.isEmpty()) {
                d.reject();
                return;
            }
            testSession().customer.code = pickedCustomer;
            d.accept();
        });
        db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客売掛前回請求金額) VALUES"
                               " ('C1', '山田　太郎', ?), ('C2', '青木　花子', 0)"),
                {sqlValue(yen(5000))});
        setAccount(db, 110, QStringLiteral("売掛金"), 5000);
    }

    void run(const QString& name, std::function<void(accounting::JournalEntryScreen&)> drive)
    {
        scripted->onScreen(name, [drive](QDialog& dialog) {
            dialog.activateWindow();
            QApplication::processEvents();
            drive(static_cast<accounting::JournalEntryScreen&>(dialog));
        });
        openScreen(testSession(), name, name, nullptr);
    }
};

} // namespace

TEST_F(ReceivablesEntryTest, AJournalEntryCreditingReceivablesNamesItsCustomerAndPosts)
{
    // Cash 10 debit, receivables 110 credit, 1500 yen: a payment booked as
    // a journal entry. Without a customer the daily update used to refuse
    // every row over it ("顧客コード「0」").
    run(QStringLiteral("frm経理入力"), [&](accounting::JournalEntryScreen& s) {
        EXPECT_FALSE(s.customerField->isVisible());
        s.amountBox->setText(QStringLiteral("1500"));
        clickCode(s.leftList, 10);
        EXPECT_FALSE(s.chooseCustomerButton->isVisible());
        clickCode(s.rightList, 110);
        // 110 chosen: the customer is asked for, ＯＫ waits for it.
        EXPECT_FALSE(s.storeButton->isVisible());
        EXPECT_TRUE(s.chooseCustomerButton->isVisible());
        EXPECT_EQ(s.customerField->text(), QStringLiteral("売掛金（110）の仕訳です。「顧客選択」で顧客を選んでください。"));
        // A picker closed without a choice leaves it so.
        clickButton(&s, QStringLiteral("cmd顧客選択"));
        EXPECT_FALSE(s.storeButton->isVisible());
        pickedCustomer = QStringLiteral("C1");
        clickButton(&s, QStringLiteral("cmd顧客選択"));
        EXPECT_EQ(s.customerField->text(), QStringLiteral("C1　山田　太郎"));
        EXPECT_TRUE(s.storeButton->isVisible());
        clickButton(&s, QStringLiteral("Command1"));
    });
    EXPECT_EQ(pickerOpenings, 2);
    const QString today = Date::today().toShortString();
    EXPECT_EQ(holdingRows(db), QStringLiteral("1|%1|1500|10|110|C1           ").arg(today));

    const PostingResult posted = postHoldingRows(db, Date::today());
    EXPECT_EQ(posted.customersPaid, 1);
    EXPECT_EQ(currencyValue(db.scalar(QStringLiteral("SELECT 顧客売掛入金額 FROM 顧客マスター WHERE 顧客コード = 'C1'"))),
              yen(1500));
    const auto [books, customers] = receivablesInStep(db);
    EXPECT_EQ(books, yen(3500));
    EXPECT_EQ(customers, yen(3500));
}

TEST_F(ReceivablesEntryTest, AnEntryDebitingReceivablesChargesItsCustomerAndLeavingOneForgetsIt)
{
    run(QStringLiteral("frm経理入力"), [&](accounting::JournalEntryScreen& s) {
        s.amountBox->setText(QStringLiteral("800"));
        clickCode(s.leftList, 110);
        pickedCustomer = QStringLiteral("C1");
        clickButton(&s, QStringLiteral("cmd顧客選択"));
        // Choosing another debit drops the customer; back on 110 it is asked again.
        clickCode(s.leftList, 10);
        EXPECT_FALSE(s.chooseCustomerButton->isVisible());
        clickCode(s.leftList, 110);
        clickCode(s.rightList, 5000);
        EXPECT_FALSE(s.storeButton->isVisible());
        pickedCustomer = QStringLiteral("C2");
        clickButton(&s, QStringLiteral("cmd顧客選択"));
        clickButton(&s, QStringLiteral("Command1"));
    });
    const QString today = Date::today().toShortString();
    EXPECT_EQ(holdingRows(db), QStringLiteral("1|%1|800|110|5000|C2           ").arg(today));

    // A credit slip's own debit row beside it charges through its sales line
    // only.
    db.exec(QStringLiteral("INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード, 売上種別コード,"
                           " 売上単品コード, 売上単品名, 売上単価, 売上個数) VALUES (7, ?, 'C1', 1, '12', '米', ?, ?)"),
            {sqlValue(Date::today()), sqlValue(yen(300)), sqlValue(yen(1))});
    db.exec(QStringLiteral("INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理金額, 経理借方コード, 経理貸方コード,"
                           " 経理貸方相手先コード) VALUES (7, ?, ?, 110, 5000, 'C1')"),
            {sqlValue(Date::today()), sqlValue(yen(300))});

    const PostingResult posted = postHoldingRows(db, Date::today());
    EXPECT_EQ(posted.customersDebited, 1);
    QSqlQuery q = db.exec(QStringLiteral("SELECT 顧客コード, 顧客売掛入金額, 顧客売掛締後売上額 FROM 顧客マスター ORDER BY 顧客コード"));
    QStringList totals;
    while (q.next())
        totals << q.value(0).toString() + u'|' + currencyValue(q.value(1)).toString() + u'|'
                      + currencyValue(q.value(2)).toString();
    EXPECT_EQ(totals, QStringList({"C1|0|300", "C2|-800|0"}));
    const auto [books, customers] = receivablesInStep(db);
    EXPECT_EQ(books, yen(6100));
    EXPECT_EQ(customers, yen(6100));
}

TEST_F(ReceivablesEntryTest, APurchasePaidFromReceivablesAsksForTheCustomerToo)
{
    db.exec(QStringLiteral("INSERT INTO 経理借方相手先ＴＢＬ VALUES (5, '米問屋')"));
    run(QStringLiteral("frm仕入"), [&](accounting::JournalEntryScreen& s) {
        s.amountBox->setText(QStringLiteral("2000"));
        clickCode(s.leftList, 5);
        clickCode(s.middleList, 5500);
        clickCode(s.rightList, 110);
        EXPECT_FALSE(s.storeButton->isVisible());
        pickedCustomer = QStringLiteral("C1");
        clickButton(&s, QStringLiteral("cmd顧客選択"));
        clickButton(&s, QStringLiteral("Command1"));
    });
    EXPECT_EQ(holdingRows(db), QStringLiteral("1|%1|2000|5500|110|C1           ").arg(Date::today().toShortString()));
}

TEST_F(ReceivablesEntryTest, EnterAloneTakesAJournalEntryFromTheAmountToAStoredRow)
{
    run(QStringLiteral("frm経理入力"), [&](accounting::JournalEntryScreen& s) {
        ASSERT_EQ(focusOf(&s), s.amountBox) << "the amount is the first box";
        QTest::keyClicks(s.amountBox, QStringLiteral("1500"));
        QTest::keyClick(s.amountBox, Qt::Key_Return);
        ASSERT_EQ(focusOf(&s), s.leftList);
        // Enter chooses the row under the cursor: the first, 10 現金.
        QTest::keyClick(s.leftList, Qt::Key_Return);
        EXPECT_EQ(s.entry().debitAccount, 10);
        ASSERT_EQ(focusOf(&s), s.middleList);
        // The counterparty may stay empty: Enter passes it by.
        QTest::keyClick(s.middleList, Qt::Key_Return);
        EXPECT_EQ(s.entry().debitCounterparty, 0);
        ASSERT_EQ(focusOf(&s), s.rightList);
        arrowTo(s.rightList, 110);
        QTest::keyClick(s.rightList, Qt::Key_Return);
        EXPECT_EQ(s.entry().creditAccount, 110);
        // ＯＫ is still hidden: Enter reaches the customer button, drawn as
        // the default, and presses it.
        ASSERT_EQ(focusOf(&s), s.chooseCustomerButton);
        EXPECT_TRUE(s.chooseCustomerButton->isDefault());
        pickedCustomer = QStringLiteral("C1");
        QTest::keyClick(s.chooseCustomerButton, Qt::Key_Return);
        ASSERT_EQ(focusOf(&s), s.storeButton);
        EXPECT_TRUE(s.storeButton->isDefault());
        EXPECT_FALSE(s.chooseCustomerButton->isDefault());
        QTest::keyClick(s.storeButton, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(s.result(), QDialog::Accepted);
    });
    EXPECT_EQ(holdingRows(db), QStringLiteral("1|%1|1500|10|110|C1           ").arg(Date::today().toShortString()));
}

TEST_F(ReceivablesEntryTest, EnterNeverLandsOnCancelWhileTheEntryIsIncomplete)
{
    run(QStringLiteral("frm経費"), [&](accounting::JournalEntryScreen& s) {
        // Nothing chosen: from the last list the next button would be
        // "キャンセル", and the next Enter would throw the entry away.
        s.rightList->setFocus();
        QTest::keyClick(s.rightList, Qt::Key_Return);
        EXPECT_NE(focusOf(&s), s.cancelButton);
        EXPECT_TRUE(s.isVisible());
        // On a focused "キャンセル" Enter does press it.
        s.cancelButton->setFocus();
        QTest::keyClick(s.cancelButton, Qt::Key_Return);
        EXPECT_EQ(s.result(), QDialog::Rejected);
    });
    EXPECT_EQ(holdingRows(db), QString());
}

// ---------------------------------------------------------------- closed years

class ClosedYearTest : public ReceivablesEntryTest {
protected:
    void SetUp() override
    {
        ReceivablesEntryTest::SetUp();
        addJournal(db, 90, at(day(2024, 4, 10)), 1000, 10, 5000);
        accounting::runYearEnd(db, day(2024, 4, 30));
    }

    // Runs an entry screen with the given date and a complete cash sale.
    void enter(const QString& screen, const Date& date)
    {
        db.exec(QStringLiteral("INSERT OR IGNORE INTO 経理借方相手先ＴＢＬ VALUES (5, '米問屋'), (10001, '電力会社')"));
        setAccount(db, 6010, QStringLiteral("水道光熱費"), 0);
        run(screen, [&](accounting::JournalEntryScreen& s) {
            s.dateBoxes->setDate(date);
            s.amountBox->setText(QStringLiteral("700"));
            if (screen == QStringLiteral("frm経理入力")) {
                clickCode(s.leftList, 10);
                clickCode(s.rightList, 5000);
            } else {
                clickCode(s.counterpartyList(), screen == QStringLiteral("frm仕入") ? 5 : 10001);
                clickCode(s.debitList(), screen == QStringLiteral("frm仕入") ? 5500 : 6010);
                clickCode(s.creditList(), 10);
            }
            clickButton(&s, QStringLiteral("Command1"));
            if (s.isVisible())
                clickButton(&s, QStringLiteral("Command2"));
        });
    }
};

TEST_F(ClosedYearTest, TheYearEndKeepsItsDateAndEntriesDatedUpToItAreRefusedOnEveryScreen)
{
    ASSERT_TRUE(closedThrough(db).has_value());
    EXPECT_EQ(*closedThrough(db), day(2024, 4, 30));
    const std::int32_t counter = testSession().config.slipCounter;
    for (const char* screen : {"frm仕入", "frm経費", "frm経理入力"}) {
        for (const Date& date : {day(2024, 4, 30), day(2024, 4, 20)}) {
            scripted->messages.clear();
            enter(QString::fromUtf8(screen), date);
            ASSERT_EQ(scripted->messages.size(), 1u) << screen;
            EXPECT_EQ(scripted->messages[0].text,
                      QStringLiteral("2024/04/30 までの期間は年次更新で締めてあります。\n"
                                     "%1 の日付では記録できません。2024/05/01 以降の日付にしてください。")
                          .arg(date.toShortString()))
                << screen;
        }
    }
    EXPECT_EQ(holdingRows(db), QString());
    EXPECT_EQ(testSession().config.slipCounter, counter);

    // The first day after the closed period is open.
    scripted->messages.clear();
    enter(QStringLiteral("frm経理入力"), day(2024, 5, 1));
    EXPECT_TRUE(scripted->messages.empty()) << scripted->lastMessage().toStdString();
    EXPECT_EQ(holdingRows(db), QStringLiteral("%1|2024/05/01|700|10|5000|0").arg(counter));
}
