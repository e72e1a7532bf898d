// The generated ten years must be a shop the program could have left:
// the books agree before and after the program's own daily update and
// invoice closing, and the same volume always gives the same shop.
#include "TenYears.h"

#include "db/Database.h"
#include "receivables/InvoiceIssuing.h"
#include "sales/DailyUpdate.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const Date Today = Date::fromParts(2025, 1, 10);

TenYearsVolume smallShop()
{
    TenYearsVolume v;
    v.customers = 80;
    v.slips = 2000;
    v.journalRows = 6000;
    v.gasCustomers = 40; // more than every eighth of 80: only 10 are gas customers
    v.gasMonths = 24;
    return v;
}

struct Generated {
    QTemporaryDir dir;
    Database db = Database::create(dir.filePath(QStringLiteral("shop.db")));
    TenYears made = generateTenYears(db, Today, smallShop());
};

TEST(TenYears, GeneratesEveryKindOfCustomerAndRowInAgreeingBooks)
{
    Generated g;
    EXPECT_EQ(g.made.first, Date::fromParts(2015, 1, 10));
    EXPECT_EQ(g.made.customers, 80);
    EXPECT_EQ(g.made.salesLines, 12000);
    EXPECT_EQ(g.made.journalRows, 6000);
    EXPECT_EQ(g.made.gasRows, 10 * 24);
    EXPECT_EQ(g.made.bankDebitCustomers, 20);
    EXPECT_EQ(g.made.lastSlipNumber, 1000000 + 2000 + 2999);
    EXPECT_GT(g.made.receivableLines, 0);

    // Last closing: closing day 5 → 5 December, 31 → 31 December.
    EXPECT_EQ(dateValue(g.db.scalar(QStringLiteral("SELECT 顧客売掛前回締め日 FROM 顧客マスター WHERE 顧客コード = '00006'"))),
              Date::fromParts(2024, 12, 5));
    EXPECT_EQ(dateValue(g.db.scalar(QStringLiteral("SELECT 顧客売掛前回締め日 FROM 顧客マスター WHERE 顧客コード = '00005'"))),
              Date::fromParts(2024, 12, 31));
    // A customer billed to another has no receivable lines of its own.
    EXPECT_EQ(g.db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売掛マスター r JOIN 顧客マスター c"
                                         " ON c.顧客コード = r.売上顧客コード WHERE c.顧客売掛請求先コード <> '0'"))
                  .toInt(),
              0);
    // Nothing dated on or after today.
    EXPECT_EQ(g.db.scalar(QStringLiteral("SELECT COUNT(*) FROM 売上商品マスター WHERE 売上年月日 >= ?"), {dayStart(Today)}).toInt(), 0);

    const TenYearsBooks b = readBooks(g.db);
    EXPECT_EQ(b.account110, b.customerBalances);
    EXPECT_EQ(b.creditSalesSinceClosing, b.openReceivableLines);
    EXPECT_EQ(b.linesOutsideOpenPeriod, 0);
    EXPECT_NE(b.customerBalances, Currency());
}

TEST(TenYears, TheSameVolumeGivesTheSameShop)
{
    Generated a;
    Generated b;
    const QString figures = QStringLiteral("SELECT (SELECT SUM(売上単価 * 売上個数 % 9973) FROM 売上商品マスター)"
                                           " || '/' || (SELECT SUM(経理金額) FROM 経理マスター)"
                                           " || '/' || (SELECT 期首残高 FROM 勘定科目TBL WHERE 科目番号 = 110)");
    EXPECT_EQ(a.db.scalar(figures).toString(), b.db.scalar(figures).toString());
    EXPECT_EQ(readBooks(a.db).customerBalances, readBooks(b.db).customerBalances);
}

TEST(TenYears, AHoldingDayPostedAndAClosingDayClosedKeepTheBooks)
{
    Generated g;
    const int next = addHoldingDay(g.db, Today, 600, 200, g.made.lastSlipNumber + 1);
    EXPECT_GT(next, g.db.scalar(QStringLiteral("SELECT MAX(経理伝票番号) FROM 経理マスター仮")).toInt());
    EXPECT_EQ(g.db.scalar(QStringLiteral("SELECT COUNT(*) FROM 経理マスター仮")).toInt(), 200);

    const PostingResult r = postHoldingRows(g.db, Today);
    EXPECT_EQ(r.salesLines, 600);
    EXPECT_EQ(r.ledgerRows, 200);
    EXPECT_NO_THROW(checkBooks(g.db));

    const Date closing = Date::fromParts(2025, 1, 5);
    Configuration rates;
    rates.taxRate1() = QStringLiteral("0.1");
    rates.taxRate2() = QStringLiteral("0.08");
    rates.reducedRate = 2;
    int closed = 0;
    for (const QString& code : closingDayCustomerCodes(g.db, 5)) {
        const std::optional<InvoiceComputation> c = computeInvoice(g.db, code, closing, rates);
        ASSERT_TRUE(c);
        if (nothingToBill(c->invoice))
            continue;
        closeBillingPeriod(g.db, code, c->invoice);
        ++closed;
    }
    EXPECT_GT(closed, 5);
    EXPECT_NO_THROW(checkBooks(g.db));
}

} // namespace
