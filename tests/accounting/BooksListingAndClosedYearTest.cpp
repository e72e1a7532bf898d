// The transfer-slip listing as it is read from the books, and the books of
// a period the year-end closed refusing its dates on every path that
// writes them.
#include "AccountingData.h"

#include "accounting/Books.h"
#include "accounting/TransferSlips.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

using namespace accounting;

namespace {

class TransferSlipListing : public ::testing::Test {
protected:
    TestInstallation install;
    Database db = install.database();

    void SetUp() override
    {
        addSmallBooks(db);
        db.exec(QStringLiteral("INSERT INTO 経理借方相手先ＴＢＬ VALUES (5, '米問屋')"));
        db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ) VALUES ('77', '試験商店', 'ｼｹﾝ')"));
    }
};

// Two customers with balances, receivables at 5000, and the period up to
// 2024/04/30 closed by the year-end over one cash sale of 04/10.
class ClosedBooks : public ::testing::Test {
protected:
    TestInstallation install;
    Database db = install.database();

    void SetUp() override
    {
        db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客売掛前回請求金額) VALUES"
                               " ('C1', '山田　太郎', ?), ('C2', '青木　花子', 0)"),
                {sqlValue(yen(5000))});
        setAccount(db, 110, QStringLiteral("売掛金"), 5000);
        addJournal(db, 90, at(day(2024, 4, 10)), 1000, 10, 5000);
        runYearEnd(db, day(2024, 4, 30));
    }
};

} // namespace

TEST_F(TransferSlipListing, ListingKeepsRowsWithoutCounterpartyOrCustomerInSlipOrder)
{
    // A purchase (credit counterparty 0) and a sale (debit counterparty 0) on
    // one day, entered out of slip order; a row on the day before the range.
    const Date d = day(2024, 3, 10);
    addJournal(db, 502, at(d, 0.2), 1200, 5500, 10, 5, QStringLiteral("0"));
    addJournal(db, 501, at(d, 0.8), 3300, 110, 5000, 0, QStringLiteral("77"));
    addJournal(db, 503, at(d), 10, 10, 5000, 0, QStringLiteral("99"));
    addJournal(db, 500, at(day(2024, 3, 9), 0.99), 1, 10, 5000);

    std::vector<TransferSlipRow> r = loadTransferSlips(db, d, d);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].slipNumber, 501);
    EXPECT_EQ(r[0].debitAccountName, QStringLiteral("売掛金"));
    EXPECT_EQ(r[0].creditAccountName, QStringLiteral("外税売上１"));
    EXPECT_EQ(r[0].counterpartyName, QString());
    EXPECT_EQ(r[0].customerName, QStringLiteral("試験商店"));
    EXPECT_EQ(r[0].amount, yen(3300));
    EXPECT_EQ(r[1].slipNumber, 502);
    EXPECT_EQ(r[1].counterpartyName, QStringLiteral("米問屋"));
    EXPECT_EQ(r[1].customerName, QString());
    EXPECT_EQ(r[2].slipNumber, 503); // a customer code matching no customer: blank
    EXPECT_EQ(r[2].customerName, QString());

    // The fixture's 03/31 23:59 row is in a range ending that day; the
    // 04/01 row is not.
    r = loadTransferSlips(db, day(2024, 3, 31), PeriodEnd);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].slipNumber, 109);

    // With code-0 rows in both tables the names of code 0 appear.
    db.exec(QStringLiteral("INSERT INTO 経理借方相手先ＴＢＬ VALUES (0, '相手先なし')"));
    db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客名前カナ) VALUES ('0', '顧客なし', 'ﾅｼ')"));
    r = loadTransferSlips(db, d, d);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].counterpartyName, QStringLiteral("相手先なし"));
    EXPECT_EQ(r[1].customerName, QStringLiteral("顧客なし"));
}

TEST_F(ClosedBooks, TheBooksRefuseAClosedDateOnEveryPathThatWritesThem)
{
    // Whatever path writes them (a later correction in the review, a row
    // added by hand), the tables refuse a date in the closed period, at any
    // time of its last day.
    const auto refused = [&](const QString& sql, const QVariantList& params) {
        try {
            db.exec(sql, params);
        } catch (const DatabaseError& e) {
            return e.databaseText().contains(QStringLiteral("年次更新で締めた期間の日付です。"));
        }
        return false;
    };
    const QString journalRow = QStringLiteral(
        "INSERT INTO 経理マスター仮 (経理伝票番号, 経理年月日, 経理金額, 経理借方コード, 経理貸方コード) VALUES (1, ?, 0, 10, 5000)");
    EXPECT_TRUE(refused(journalRow, {at(day(2024, 4, 30), 0.999)}));
    EXPECT_TRUE(refused(QStringLiteral("INSERT INTO 経理マスター (経理伝票番号, 経理年月日) VALUES (1, ?)"),
                        {at(day(2023, 1, 1))}));
    EXPECT_TRUE(refused(QStringLiteral("INSERT INTO 売上商品マスター仮 (売上伝票番号, 売上年月日, 売上顧客コード) VALUES (1, ?, 'C1')"),
                        {at(day(2024, 4, 1))}));
    EXPECT_TRUE(refused(QStringLiteral("INSERT INTO ガスデータ (ガス年月日, ガス相手先コード) VALUES (?, 'C1')"),
                        {at(day(2024, 4, 30))}));
    db.exec(journalRow, {at(day(2024, 5, 1))});
    EXPECT_TRUE(refused(QStringLiteral("UPDATE 経理マスター仮 SET 経理年月日 = ?"), {at(day(2024, 4, 30))}));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 経理マスター仮")).toInt(), 1);

    // The journal row of 04/10 was carried and deleted; the ledger of cash
    // opens at its carried balance.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 経理マスター")).toInt(), 0);
    EXPECT_EQ(currencyValue(db.scalar(QStringLiteral("SELECT 期首残高 FROM 勘定科目TBL WHERE 科目番号 = 10"))), yen(1000));
}
