// The invoice run closes a customer's period while the daily update on
// another computer posts that customer's sales or payments: what was posted
// after the invoice was computed stays for the next invoice, and the
// customer's balance is the same before and after the closing.
#include "db/Database.h"
#include "receivables/InvoiceIssuing.h"
#include "session/Routines.h"
#include "support/ShopData.h"
#include "support/TestInstallation.h"

#include <QThread>
#include <exception>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Customer C1's one unbilled line: 5000 yen of rice on 3 May 2024.
void addMaySale(Database& db)
{
    db.exec(QStringLiteral("INSERT INTO 売掛マスター (売上シリアル, 売上伝票番号, 売上年月日, 売上顧客コード, 売上種別コード,"
                           " 売上部門コード, 売上税区分コード, 売上単品コード, 売上単品名, 売上単価, 売上個数)"
                           " VALUES (1, 1, ?, 'C1', 1, 1, 9, '12', '米', ?, ?)"),
            {sqlValue(Date::fromParts(2024, 5, 3)), sqlValue(yen("5000")), sqlValue(yen("1"))});
}

} // namespace

TEST(ClosingRace, SalesTheDailyUpdateAddsWhileAPeriodClosesAreKept)
{
    if (!testingOnServer())
        GTEST_SKIP() << "two computers need a server";
    TestInstallation inst;
    Database db = inst.database();
    const Date closing = Date::fromParts(2024, 5, 20);
    db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客売掛締切日, 顧客売掛前回締め日, 顧客売掛前回請求金額,"
                           " 顧客売掛入金額, 顧客売掛締後売上額) VALUES ('C1', '顧客一', 20, ?, 0, 0, ?)"),
            {sqlValue(Date::fromParts(2024, 4, 20)), sqlValue(yen("5000"))});
    addMaySale(db);
    const std::optional<InvoiceComputation> computed = computeInvoice(db, QStringLiteral("C1"), closing, inst.defaultConfiguration());
    ASSERT_TRUE(computed);
    ASSERT_EQ(computed->invoice.currentSales, yen("5000"));
    ASSERT_EQ(computed->invoice.totalBilled, yen("5000"));

    // The other computer's daily update has raised the customer's sales by
    // 700 and not committed yet when the closing starts.
    Database other(inst.databasePath());
    Transaction daily(other);
    other.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛締後売上額 = 顧客売掛締後売上額 + ? WHERE 顧客コード = 'C1'"),
               {sqlValue(yen("700"))});

    std::exception_ptr failed;
    std::thread closer([&] {
        try {
            Database own(inst.databasePath());
            closeBillingPeriod(own, QStringLiteral("C1"), computed->invoice);
        } catch (...) {
            failed = std::current_exception();
        }
    });
    QThread::msleep(500); // the closing waits for the customer's row
    daily.commit();
    closer.join();
    ASSERT_FALSE(failed);

    // Billed 5000 for the period; the 700 posted meanwhile is the next one's.
    EXPECT_EQ(currencyValue(db.scalar(QStringLiteral("SELECT 顧客売掛前回請求金額 FROM 顧客マスター WHERE 顧客コード = 'C1'"))),
              yen("5000"));
    EXPECT_EQ(currencyValue(db.scalar(QStringLiteral("SELECT 顧客売掛締後売上額 FROM 顧客マスター WHERE 顧客コード = 'C1'"))),
              yen("700"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売掛マスター")).toInt(), 0);
}

TEST(ClosingRace, APaymentPostedAfterTheInvoiceWasComputedStaysForTheNextPeriod)
{
    if (!testingOnServer())
        GTEST_SKIP() << "two computers need a server";
    TestInstallation inst;
    Database db = inst.database();
    const Date closing = Date::fromParts(2024, 5, 20);
    // Billed 2000 last time, 500 paid on 10 May, 5000 of sales since.
    db.exec(QStringLiteral("INSERT INTO 顧客マスター (顧客コード, 顧客名前, 顧客売掛締切日, 顧客売掛前回締め日, 顧客売掛前回請求金額,"
                           " 顧客売掛入金額, 顧客売掛入金日, 顧客売掛締後売上額) VALUES ('C1', '顧客一', 20, ?, ?, ?, ?, ?)"),
            {sqlValue(Date::fromParts(2024, 4, 20)), sqlValue(yen("2000")), sqlValue(yen("500")),
             sqlValue(Date::fromParts(2024, 5, 10)), sqlValue(yen("5000"))});
    addMaySale(db);
    const std::optional<InvoiceComputation> computed = computeInvoice(db, QStringLiteral("C1"), closing, inst.defaultConfiguration());
    ASSERT_TRUE(computed);
    ASSERT_EQ(computed->invoice.totalBilled, yen("6500"));

    // Meanwhile another computer's daily update posts a payment of 300
    // received on 25 May.
    {
        Database other(inst.databasePath());
        other.exec(QStringLiteral("UPDATE 顧客マスター SET 顧客売掛入金額 = 顧客売掛入金額 + ?, 顧客売掛入金日 = ?"
                                  " WHERE 顧客コード = 'C1'"),
                   {sqlValue(yen("300")), sqlValue(Date::fromParts(2024, 5, 25))});
    }
    const auto balance = [&] {
        return currencyValue(db.scalar(QStringLiteral("SELECT 顧客売掛前回請求金額 - 顧客売掛入金額 + 顧客売掛締後売上額"
                                                      " FROM 顧客マスター WHERE 顧客コード = 'C1'")));
    };
    ASSERT_EQ(balance(), yen("6200"));

    closeBillingPeriod(db, QStringLiteral("C1"), computed->invoice);
    // The invoice as printed (6500); the 300 is the next period's payment.
    QSqlQuery q = db.exec(QStringLiteral("SELECT 顧客売掛前回請求金額, 顧客売掛入金額, 顧客売掛入金日, 顧客売掛締後売上額"
                                         " FROM 顧客マスター WHERE 顧客コード = 'C1'"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(currencyValue(q.value(0)), yen("6500"));
    EXPECT_EQ(currencyValue(q.value(1)), yen("300"));
    EXPECT_EQ(dateValue(q.value(2)), Date::fromParts(2024, 5, 25));
    EXPECT_EQ(currencyValue(q.value(3)), Currency());
    EXPECT_EQ(balance(), yen("6200"));
}
